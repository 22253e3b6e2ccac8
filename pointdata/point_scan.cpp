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

// Exact powers of ten in float: with a mantissa of at most 24 bits the quotient or product
// of two floats is one correctly rounded operation. Where arithmetic runs in extended
// precision (x87) the operation is rounded twice, to 64 bits and then to float on the store;
// with operands of 24 bits that second rounding never changes the result.
constexpr float FLOAT_POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                         1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr uint64_t FLOAT_MANTISSA_MAX = uint64_t(1) << 24;
constexpr int FLOAT_EXPONENT_MAX = 10;

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
// Exact powers of ten in double, for longer mantissas: a mantissa below 2^52 and one double
// operation give the correctly rounded double of the value.
constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr uint64_t DOUBLE_MANTISSA_MAX = (uint64_t(1) << 52) - 1;
constexpr int DOUBLE_EXPONENT_MAX = 22;

// The double of a mantissa up to DOUBLE_MANTISSA_MAX, built from its bits: unlike the
// conversion instruction this does not wait for whatever last used the register.
inline double MantissaValue(uint64_t mantissa) {
  uint64_t bits = 0x4330000000000000ull | mantissa;  // 2^52 + mantissa
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value - 4503599627370496.0;
}
#endif

// The float nearest to mantissa * 10^scale, when one exact operation gets it; false when
// the value needs the library's conversion instead.
inline bool ConvertQuick(uint64_t mantissa, int32_t scale, float* result) {
  if (mantissa <= FLOAT_MANTISSA_MAX && scale >= -FLOAT_EXPONENT_MAX &&
      scale <= FLOAT_EXPONENT_MAX) {
    float value = (float)(uint32_t)mantissa;
    if (scale < 0) {
      *result = value / FLOAT_POWERS_OF_TEN[-scale];
    } else {
      *result = value * FLOAT_POWERS_OF_TEN[scale];
    }
    return true;
  }
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
  if (mantissa <= DOUBLE_MANTISSA_MAX && scale >= -DOUBLE_EXPONENT_MAX &&
      scale <= DOUBLE_EXPONENT_MAX) {
    double value = scale < 0 ? MantissaValue(mantissa) / POWERS_OF_TEN[-scale]
                             : MantissaValue(mantissa) * POWERS_OF_TEN[scale];
    // Rounding the double to float rounds the exact value the same way, except when the
    // double fell exactly halfway between two floats: then the exact value may lie on
    // either side, and only the library can tell. (The value is far from the float's
    // denormals and its overflow here, so the halfway points are those of normal floats:
    // the 29 bits below a float's precision hold exactly their top bit.)
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & 0x1FFFFFFFu) == 0x10000000u) return false;
    *result = (float)value;
    return true;
  }
#endif
  return false;
}

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
  if (digits > 19 || !ConvertQuick(mantissa, scale, &result)) {
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

#if defined(__SSE2__)
// The plain-line scan: a line of three short decimals is classified sixteen bytes at a
// time, and its three numbers are converted together. Every other piece takes the
// general scan above.

// Bytes from a line's start the plain-line scan classifies, and how many it may read
// (a number's word may start near the end of the window).
constexpr size_t PLAIN_LINE_WINDOW = 64;
constexpr size_t PLAIN_LINE_READ = PLAIN_LINE_WINDOW + 16;

// What the plain-line scan knows about one layout of a line. A file's lines mostly share
// a few layouts (the same widths, signs in a few places), so each is analysed once and
// kept in a small table, found by its number bytes.
struct PlainLayout {
  uint64_t numberBytes;  // the layout: the piece's number bytes, points and signs
  uint64_t points;
  uint64_t signs;
  bool plain;            // false: pieces of this layout take the general scan
  // Per number, when plain:
  uint8_t start[3];           // its first byte (the sign, when it has one)
  uint8_t first[3];           // its first digit or point
  uint8_t shift[3];           // bits its word moves up to bring its last byte highest
  uint8_t fractionDigits[3];  // digits after its point
  uint64_t keptBytes[3];      // bytes of the shifted word above the point (all without one)
};
constexpr int PLAIN_LAYOUT_SLOTS = 64;
constexpr int PLAIN_LAYOUT_HASH_SHIFT = 58;  // 64 - log2(PLAIN_LAYOUT_SLOTS)

// Divisors by fraction digits (0 to 7), then the same negated for a '-' sign: the quotient
// takes the divisor's sign, -0 included, exactly as negating it afterwards would.
constexpr float PLAIN_DIVISORS[] = {1e0f,  1e1f,  1e2f,  1e3f,  1e4f,  1e5f,  1e6f,  1e7f,
                                    -1e0f, -1e1f, -1e2f, -1e3f, -1e4f, -1e5f, -1e6f, -1e7f};

// Bit masks of a line's first bytes, bit i for byte i: line feeds, the bytes a number is
// made of (digits, '.', signs), those and white space, points, and signs.
struct LineClasses {
  uint64_t lineFeeds;
  uint64_t numberBytes;
  uint64_t knownBytes;
  uint64_t points;
  uint64_t signs;
};

// The eight bytes at p as one word, the first in its lowest byte (x86 is little-endian).
inline uint64_t LoadWord(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Adds the classes of the 16 bytes at p to classes, as bits shift to shift + 15.
inline void ClassifyBytes(const char* p, int shift, LineClasses* classes) {
  const __m128i bytes = _mm_loadu_si128((const __m128i*)p);
  // Unsigned range tests: low <= byte <= high exactly when byte - low (wrapping) is its
  // own minimum with high - low.
  const __m128i fromZero = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
  const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(fromZero, _mm_set1_epi8(9)), fromZero);
  const __m128i fromTab = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
  const __m128i space = _mm_or_si128(
      _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
      _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8('\r' - '\t')), fromTab));
  const __m128i point = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'));
  const __m128i sign = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('-')),
                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8('+')));
  const __m128i number = _mm_or_si128(digit, _mm_or_si128(point, sign));
  const __m128i lineFeed = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'));
  classes->lineFeeds |= (uint64_t)(uint32_t)_mm_movemask_epi8(lineFeed) << shift;
  classes->numberBytes |= (uint64_t)(uint32_t)_mm_movemask_epi8(number) << shift;
  classes->knownBytes |= (uint64_t)(uint32_t)_mm_movemask_epi8(_mm_or_si128(number, space))
                         << shift;
  classes->points |= (uint64_t)(uint32_t)_mm_movemask_epi8(point) << shift;
  classes->signs |= (uint64_t)(uint32_t)_mm_movemask_epi8(sign) << shift;
}

// Analyses the layout of a plain piece's number bytes (points and signs among them) for
// the plain-line scan: whether its first three runs are short numbers, each an optional
// sign (first in its run) and one to eight characters of digits and at most one '.', at
// least one of them a digit; and if so, where each one's word is and how to gather its
// digits.
void AnalysePlainLayout(uint64_t numberBytes, uint64_t points, uint64_t signs,
                        PlainLayout* layout) {
  layout->numberBytes = numberBytes;
  layout->points = points;
  layout->signs = signs;
  layout->plain = false;
  uint64_t starts = numberBytes & ~(numberBytes << 1);  // first byte of each run
  uint64_t lasts = numberBytes & ~(numberBytes >> 1);   // last byte of each run
  if ((signs & ~starts) != 0) return;                   // a sign inside a run ends a number
  for (int field = 0; field < 3; ++field) {
    if (starts == 0) return;
    int start = __builtin_ctzll(starts);
    int end = __builtin_ctzll(lasts) + 1;
    starts &= starts - 1;
    lasts &= lasts - 1;
    int first = start + (int)((signs >> start) & 1);
    int length = end - first;
    if (length < 1 || length > 8) return;
    uint64_t runPoints = (points >> first) & ((uint64_t(2) << (length - 1)) - 1);
    bool hasPoint = runPoints != 0;
    // A second point ends the number early; a point alone is no number.
    if ((runPoints & (runPoints - 1)) != 0 || length == (int)hasPoint) return;
    // Once the word is shifted up by 8 * (8 - length) bits, the number's last byte is the
    // highest and the point, if any, sits at byte point.
    int point = hasPoint ? 8 - length + __builtin_ctzll(runPoints) : -1;
    layout->start[field] = (uint8_t)start;
    layout->first[field] = (uint8_t)first;
    layout->shift[field] = (uint8_t)(8 * (8 - length));
    layout->fractionDigits[field] = (uint8_t)(hasPoint ? 7 - point : 0);
    layout->keptBytes[field] = hasPoint ? ~uint64_t(0) << (8 * point) << 8 : ~uint64_t(0);
  }
  layout->plain = true;
}

// The digits of one short number of a plain line as a word: the last digit in the highest
// byte, zero bytes below the first. The bytes below the point move up over it.
inline uint64_t GatherDigits(const char* p, const PlainLayout* layout, int field) {
  uint64_t word = LoadWord(p + layout->first[field]) << layout->shift[field];
  uint64_t moved = word << 8;
  return ((word ^ moved) & layout->keptBytes[field]) ^ moved;
}

// Scans the piece at p when it is a plain line: its line feed among the first
// PLAIN_LINE_WINDOW bytes, every byte before it white space, a digit, '.', '+' or '-', and
// its first three runs of the latter short numbers (see AnalysePlainLayout) whose digits'
// value is at most 2^24. Writes the three values as ScanTerminatedPiece would and returns
// the piece's length (line feed included), or returns 0, writing nothing, when the piece
// needs the general scan. The layouts seen so far are kept in layouts, a table of
// PLAIN_LAYOUT_SLOTS (zeroed at first: the zero layout is that of a piece without number
// bytes, which is not plain). PLAIN_LINE_READ bytes from p must be readable.
inline size_t ScanPlainLine(const char* p, PlainLayout* layouts, float* xyz) {
  LineClasses classes = {0, 0, 0, 0, 0};
  ClassifyBytes(p, 0, &classes);
  ClassifyBytes(p + 16, 16, &classes);
  if (classes.lineFeeds == 0) {
    ClassifyBytes(p + 32, 32, &classes);
    ClassifyBytes(p + 48, 48, &classes);
    if (classes.lineFeeds == 0) return 0;
  }
  // The piece ends after the first line feed (a CR before it is white space to the scan).
  int lineFeed = __builtin_ctzll(classes.lineFeeds);
  uint64_t piece = lineFeed == 63 ? ~uint64_t(0) : (uint64_t(2) << lineFeed) - 1;
  if ((classes.knownBytes & piece) != piece) return 0;
  uint64_t numberBytes = classes.numberBytes & piece;
  uint64_t points = classes.points & numberBytes;
  uint64_t signs = classes.signs & numberBytes;
  PlainLayout* layout = &layouts[(numberBytes * 0x9E3779B97F4A7C15ull) >> PLAIN_LAYOUT_HASH_SHIFT];
  if (layout->numberBytes != numberBytes || layout->points != points || layout->signs != signs) {
    AnalysePlainLayout(numberBytes, points, signs, layout);
  }
  if (!layout->plain) return 0;
  // Each run is followed by white space inside the piece (at least the line feed), so the
  // scan takes a short number whole and skips to the next run. Digit bytes to values (the
  // zero bytes stay 0), then pairs (10a + b in 16-bit lanes), fours (100 ab + cd in
  // 32-bit lanes) and eights (10000 abcd + efgh): x, y, z, 0.
  const __m128i zeros = _mm_set1_epi8('0');
  __m128i xy = _mm_subs_epu8(_mm_set_epi64x((long long)GatherDigits(p, layout, 1),
                                            (long long)GatherDigits(p, layout, 0)),
                             zeros);
  __m128i z = _mm_subs_epu8(_mm_set_epi64x(0, (long long)GatherDigits(p, layout, 2)), zeros);
  const __m128i lowBytes = _mm_set1_epi16(0xFF);
  xy = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(xy, lowBytes), _mm_set1_epi16(10)),
                     _mm_srli_epi16(xy, 8));
  z = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(z, lowBytes), _mm_set1_epi16(10)),
                    _mm_srli_epi16(z, 8));
  const __m128i hundreds = _mm_set1_epi32(0x00010064);  // 16-bit lanes 100, 1
  xy = _mm_madd_epi16(xy, hundreds);
  z = _mm_madd_epi16(z, hundreds);
  __m128i values = _mm_madd_epi16(_mm_packs_epi32(xy, z), _mm_set1_epi32(0x00012710));  // 10000, 1
  // Up to 2^24 the value is an exact float and one division rounds correctly.
  if (_mm_movemask_epi8(_mm_cmpgt_epi32(values, _mm_set1_epi32(1 << 24))) != 0) return 0;
  __m128 divisors = _mm_set_ps(
      1.0f, PLAIN_DIVISORS[layout->fractionDigits[2] + (p[layout->start[2]] == '-' ? 8 : 0)],
      PLAIN_DIVISORS[layout->fractionDigits[1] + (p[layout->start[1]] == '-' ? 8 : 0)],
      PLAIN_DIVISORS[layout->fractionDigits[0] + (p[layout->start[0]] == '-' ? 8 : 0)]);
  _mm_storeu_ps(xyz, _mm_div_ps(_mm_cvtepi32_ps(values), divisors));
  return (size_t)lineFeed + 1;
}
#endif

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
  float xyz[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // x, y, z, and room for a four-lane store
#if defined(__SSE2__)
  PlainLayout layouts[PLAIN_LAYOUT_SLOTS] = {};
#endif
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
#if defined(__SSE2__)
    if (avail >= PLAIN_LINE_READ) {
      size_t length = ScanPlainLine(buffer + pos, layouts, xyz);
      if (length != 0) {
        records[stored].x = xyz[0];
        records[stored].y = xyz[1];
        records[stored].z = xyz[2];
        ++stored;
        pos += length;
        continue;
      }
    }
#endif
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
