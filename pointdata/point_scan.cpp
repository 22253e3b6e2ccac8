// The point file's text-mode reader and number grammar.
#include "pointdata/point_scan.h"

#include "app/messages.h"
#include "pointdata/point_file.h"

#include <cfloat>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char CTRL_Z = 0x1A;
// Look-ahead the piece cutter needs: the longest raw piece (253 characters and a CR LF)
// plus the byte after it.
constexpr size_t PIECE_LOOKAHEAD = POINT_PIECE_MAX + 2;
// Exponents are clamped here while they are read; far beyond any float's reach.
constexpr int32_t EXPONENT_CLAMP = 1000000;

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
// Exact powers of ten in double, for the fast conversion (a mantissa below 2^53 and one
// double operation rounds correctly, and rounding that double to float again is harmless).
constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr uint64_t FAST_MANTISSA_MAX = (uint64_t(1) << 52) - 1;
constexpr int FAST_EXPONENT_MAX = 22;

// The double of a mantissa up to FAST_MANTISSA_MAX, built from its bits: unlike the
// conversion instruction this does not wait for whatever last used the register.
inline double MantissaValue(uint64_t mantissa) {
  uint64_t bits = 0x4330000000000000ull | mantissa;  // 2^52 + mantissa
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value - 4503599627370496.0;
}
#else
// Where arithmetic runs in extended precision (x87) only float-sized operands keep the
// single operation correctly rounded.
constexpr float POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                   1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr uint64_t FAST_MANTISSA_MAX = uint64_t(1) << 24;
constexpr int FAST_EXPONENT_MAX = 10;

// The float of a mantissa up to FAST_MANTISSA_MAX (exact).
inline float MantissaValue(uint64_t mantissa) { return (float)(uint32_t)mantissa; }
#endif

// True for the bytes the scan's white-space skip passes over (isspace in the C locale).
inline bool IsScanSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// value, negated when negative (by its sign bit, without a branch).
inline float WithSign(float value, bool negative) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  bits ^= (uint32_t)negative << 31;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// True for a decimal digit.
inline bool IsDigit(unsigned char c) { return (unsigned char)(c - '0') < 10; }

// Converts a well-formed unsigned decimal [s, e) with the correctly rounded library routine,
// filling in the infinity or zero it reports as out of range; decimalMagnitude is the
// power of ten of the leading significant digit.
float ConvertSlow(const char* s, const char* e, int64_t decimalMagnitude) {
  float value = 0.0f;
  std::from_chars_result r = std::from_chars(s, e, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    value = decimalMagnitude >= 0 ? std::numeric_limits<float>::infinity() : 0.0f;
  } else if (r.ec != std::errc()) {
    value = 0.0f;
  }
  return value;
}

// Number of line feeds among the n bytes at p.
inline uint64_t CountLineFeeds(const char* p, size_t n) {
  uint64_t lines = 0;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  while (n - i >= 16) {
    // Up to 255 blocks of 16 bytes per round, counted in byte lanes, then summed.
    size_t blocks = (n - i) / 16;
    if (blocks > 255) blocks = 255;
    __m128i counts = _mm_setzero_si128();
    for (size_t b = 0; b < blocks; ++b, i += 16) {
      __m128i bytes = _mm_loadu_si128((const __m128i*)(p + i));
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, lineFeed));
    }
    __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    lines += (uint64_t)_mm_cvtsi128_si32(sums) + (uint64_t)_mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
  }
#endif
  for (; i < n; ++i) lines += p[i] == '\n';
  return lines;
}

// First line feed among the n bytes at p, or nullptr; short lines are found inline.
inline const char* FindLineFeed(const char* p, size_t n) {
#if defined(__SSE2__)
  if (n >= 32) {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    uint32_t low = (uint32_t)_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)p), lineFeed));
    uint32_t high = (uint32_t)_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)(p + 16)), lineFeed));
    uint32_t both = low | (high << 16);
    if (both != 0) return p + __builtin_ctz(both);
    return (const char*)std::memchr(p + 32, '\n', n - 32);
  }
#endif
  return (const char*)std::memchr(p, '\n', n);
}

}  // namespace

// Reads up to max raw bytes into dest; returns how many (0 at the end).
size_t ReadPointInput(PointInput* input, char* dest, size_t max) {
  if (input->file != nullptr) return std::fread(dest, 1, max, input->file);
  size_t left = input->memorySize - input->memoryOffset;
  size_t n = left < max ? left : max;
  if (n > 0) std::memcpy(dest, input->memory + input->memoryOffset, n);
  input->memoryOffset += n;
  return n;
}

// Puts the input back at its first byte.
void RewindPointInput(PointInput* input) {
  if (input->file != nullptr) {
    std::rewind(input->file);
  } else {
    input->memoryOffset = 0;
  }
}

// Power of ten of the leading significant digit of the digits [begin, end) (a '.' among
// them at point, or none when point is end) scaled by 10^exponent; 0 when all digits are 0.
static int64_t DecimalMagnitude(const char* begin, const char* point, const char* end,
                                int32_t exponent) {
  for (const char* p = begin; p < end; ++p) {
    if (*p == '.' || *p == '0') continue;
    int64_t position = p < point ? (int64_t)(point - p) - 1 : -(int64_t)(p - point);
    return position + exponent;
  }
  return 0;
}

namespace {

// ScanNumber's work. With terminated, the byte at end is a NUL and the loops rely on it
// (and on every other non-number byte) to stop instead of testing for the end.
template <bool terminated>
inline const char* ScanNumberAt(const char* s, const char* end, float* value) {
  const char* p = s;
  char first = (terminated || p < end) ? *p : 0;
  bool negative = first == '-';
  p += (first == '-') | (first == '+');
  const char* mantissaStart = p;
  // The digits' value is exact while there are at most 19 of them (leading zeros included);
  // beyond that it wraps and is not used.
  uint64_t mantissa = 0;
  while ((terminated || p < end) && IsDigit((unsigned char)*p)) {
    mantissa = mantissa * 10 + (unsigned char)(*p - '0');
    ++p;
  }
  const char* point = p;
  int32_t digits = (int32_t)(p - mantissaStart);
  int32_t fractionDigits = 0;
  if ((terminated || p < end) && *p == '.') {
    ++p;
    const char* fractionStart = p;
    while ((terminated || p < end) && IsDigit((unsigned char)*p)) {
      mantissa = mantissa * 10 + (unsigned char)(*p - '0');
      ++p;
    }
    fractionDigits = (int32_t)(p - fractionStart);
    digits += fractionDigits;
  }
  if (digits == 0) return nullptr;
  const char* mantissaEnd = p;
  const char* numberEnd = p;
  int32_t exponent = 0;
  if ((terminated || p < end) && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool exponentNegative = false;
    if ((terminated || q < end) && (*q == '+' || *q == '-')) {
      exponentNegative = *q == '-';
      ++q;
    }
    bool exponentDigits = false;
    for (; (terminated || q < end) && IsDigit((unsigned char)*q); ++q) {
      exponentDigits = true;
      if (exponent < EXPONENT_CLAMP) exponent = exponent * 10 + (*q - '0');
    }
    if (exponentNegative) exponent = -exponent;
    // Without digits the exponent is 0 and the library converts the mantissa alone.
    numberEnd = exponentDigits ? q : mantissaEnd;
    p = q;
  }
  int32_t scale = exponent - fractionDigits;  // value = digits * 10^scale
  float result;
  if (digits <= 19 && mantissa <= FAST_MANTISSA_MAX && scale >= -FAST_EXPONENT_MAX &&
      scale <= FAST_EXPONENT_MAX) {
    if (scale < 0) {
      result = (float)(MantissaValue(mantissa) / POWERS_OF_TEN[-scale]);
    } else {
      result = (float)(MantissaValue(mantissa) * POWERS_OF_TEN[scale]);
    }
  } else {
    int64_t magnitude = DecimalMagnitude(mantissaStart, point, mantissaEnd, exponent);
    result = ConvertSlow(mantissaStart, numberEnd, magnitude);
  }
  *value = WithSign(result, negative);
  return p;
}

// ScanPiece's work; terminated as for ScanNumberAt.
template <bool terminated>
inline int ScanPieceAt(const char* s, const char* end, float* xyz) {
  const char* p = s;
  for (int field = 0; field < 3; ++field) {
    while ((terminated || p < end) && IsScanSpace((unsigned char)*p)) ++p;
    const char* next = ScanNumberAt<terminated>(p, end, &xyz[field]);
    if (next == nullptr) return field;
    p = next;
  }
  return 3;
}

}  // namespace

// Scans one number of the grammar at [s, end) into value; returns the byte after it or nullptr.
const char* ScanNumber(const char* s, const char* end, float* value) {
  return ScanNumberAt<false>(s, end, value);
}

// Scans a piece as "%f %f %f" into xyz; returns how many values were written.
int ScanPiece(const char* s, const char* end, float* xyz) { return ScanPieceAt<false>(s, end, xyz); }

// ScanPiece for a piece whose byte at end is a NUL.
int ScanTerminatedPiece(const char* s, const char* end, float* xyz) {
  return ScanPieceAt<true>(s, end, xyz);
}

// Counts the line feeds before the first Ctrl-Z, reading through buffer.
uint64_t CountPointLines(PointInput* input, char* buffer, size_t bufferSize) {
  uint64_t lines = 0;
  for (;;) {
    size_t n = ReadPointInput(input, buffer, bufferSize);
    if (n == 0) break;
    const char* stop = (const char*)std::memchr(buffer, CTRL_Z, n);
    size_t limit = stop != nullptr ? (size_t)(stop - buffer) : n;
    lines += CountLineFeeds(buffer, limit);
    if (stop != nullptr) break;
  }
  return lines;
}

// Reads pieces from the start of the input into records; returns how many were stored.
int32_t ParsePointPieces(PointInput* input, char* buffer, size_t bufferSize, PointRecord* records,
                         int32_t count) {
  RewindPointInput(input);
  size_t pos = 0;
  size_t filled = 0;
  bool inputEnded = false;
  float xyz[3] = {0.0f, 0.0f, 0.0f};
  int32_t stored = 0;
  // The last byte stays behind the data, for the NUL that ends each piece's text.
  const size_t usable = bufferSize - 1;
  while (stored < count) {
    if (filled - pos < PIECE_LOOKAHEAD && !inputEnded) {
      size_t left = filled - pos;
      std::memmove(buffer, buffer + pos, left);
      pos = 0;
      filled = left;
      while (filled < PIECE_LOOKAHEAD && !inputEnded) {
        size_t n = ReadPointInput(input, buffer + filled, usable - filled);
        if (n == 0) {
          inputEnded = true;
          break;
        }
        const char* stop = (const char*)std::memchr(buffer + filled, CTRL_Z, n);
        if (stop != nullptr) {
          filled = (size_t)(stop - buffer);
          inputEnded = true;
        } else {
          filled += n;
        }
      }
    }
    size_t avail = filled - pos;
    if (avail == 0) break;
    const char* piece = buffer + pos;
    // A piece holds at most POINT_PIECE_MAX delivered characters; only a CR right before
    // the LF is not delivered, so the LF can sit at raw offset POINT_PIECE_MAX at most.
    size_t searchLimit = avail < POINT_PIECE_MAX + 1 ? avail : POINT_PIECE_MAX + 1;
    const char* lf = FindLineFeed(piece, searchLimit);
    size_t rawLength;
    if (lf != nullptr) {
      size_t at = (size_t)(lf - piece);
      bool crBefore = at > 0 && piece[at - 1] == '\r';
      size_t delivered = at + 1 - (crBefore ? 1 : 0);
      rawLength = delivered <= POINT_PIECE_MAX ? at + 1 : POINT_PIECE_MAX;
    } else {
      rawLength = avail < POINT_PIECE_MAX ? avail : POINT_PIECE_MAX;
    }
    char* pieceEnd = buffer + pos + rawLength;
    char saved = *pieceEnd;
    *pieceEnd = 0;
    ScanTerminatedPiece(piece, pieceEnd, xyz);
    *pieceEnd = saved;
    records[stored].x = xyz[0];
    records[stored].y = xyz[1];
    records[stored].z = xyz[2];
    ++stored;
    pos += rawLength;
  }
  return stored;
}

// Byte size of a table of count records, or false when it cannot be represented.
bool PointTableBytes(int64_t count, size_t* bytes) {
  if (count < 0) return false;
  if ((uint64_t)count > std::numeric_limits<size_t>::max() / sizeof(PointRecord)) return false;
  *bytes = (size_t)count * sizeof(PointRecord);
  return true;
}

// Both passes over an opened input into pointTable and loadedFileInfo.vertexCounter.
void LoadPointInput(PointInput* input, char* buffer, size_t bufferSize) {
  uint64_t lines = CountPointLines(input, buffer, bufferSize);
  loadedFileInfo.vertexCounter = (float)lines;
  if (lines > (uint64_t)std::numeric_limits<int32_t>::max()) {
    MessageBoxA(nullptr, MSG_TOO_MANY_POINTS, CAPTION_SHUTDOWN_ERROR, MB_OK | MB_ICONINFORMATION);
    return;
  }
  AllocatePointTable((int32_t)lines);
  if (pointTable.records == nullptr) {
    MessageBoxA(nullptr, MSG_OUT_OF_MEMORY, CAPTION_SHUTDOWN_ERROR, MB_OK | MB_ICONINFORMATION);
    pointTable.count = 0;
    return;
  }
  pointTable.count = (int32_t)lines;
  ParsePointPieces(input, buffer, bufferSize, pointTable.records, pointTable.count);
}
