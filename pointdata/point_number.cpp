// The point file's number grammar. The grammar is the file format's own (an exponent
// without digits counts as 0; e or E only; no words; no hexadecimal), so it is scanned by
// hand; the accepted digits go to fast_float, correctly rounded for every length.
#include "pointdata/point_number.h"

#include "pointdata/decimal_float.h"

#include <cassert>
#include <cstdint>
#include <cstring>

namespace {

// Exponents stop growing here while they are read; far beyond any float's reach.
constexpr int32_t EXPONENT_CLAMP = 1000000;
// The most digits whose value a 64-bit mantissa holds exactly.
constexpr int32_t EXACT_DIGITS_MAX = 19;

// Exact powers of ten in float: a mantissa of at most 24 bits times or over one of them is
// one correctly rounded operation (SSE arithmetic, so no wider intermediate precision).
constexpr float FLOAT_POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                         1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr uint64_t FLOAT_MANTISSA_MAX = static_cast<uint64_t>(1) << 24;
constexpr int32_t FLOAT_EXPONENT_MAX = 10;

// True for the bytes the scan's white-space skip passes over: isspace in the C locale but
// for the line feed, which only ever ends a piece, and so ends its scan as its end would.
inline bool IsScanSpace(unsigned char c) { return c == ' ' || c == '\t' || (c >= '\v' && c <= '\r'); }

// True for a decimal digit.
inline bool IsDigit(unsigned char c) { return static_cast<unsigned char>(c - '0') < 10; }

// value, negated when negative (by its sign bit, so -0 stays -0).
inline float WithSign(float value, bool negative) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  bits ^= static_cast<uint32_t>(negative) << 31;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Reads the digits at p into mantissa (wrapping beyond 19 digits); returns the first byte
// after them. A run longer than eight digits goes on eight at a time while eight bytes are
// left before end; short runs, the usual ones, never pay for the test.
inline const char* ReadDigits(const char* p, const char* end, uint64_t* mantissa) {
  int count = 0;
  for (; count < 8 && IsDigit(static_cast<unsigned char>(*p)); ++count, ++p) {
    *mantissa = *mantissa * 10 + static_cast<unsigned char>(*p - '0');
  }
  if (count < 8) return p;
  while (end - p >= 8 && AreEightDigits(p)) {
    *mantissa = *mantissa * 100000000 + EightDigitsValue(p);
    p += 8;
  }
  for (; IsDigit(static_cast<unsigned char>(*p)); ++p) *mantissa = *mantissa * 10 + static_cast<unsigned char>(*p - '0');
  return p;
}

// The float nearest to the unsigned decimal [begin, end), whose digits' value is mantissa
// (exact when there are at most EXACT_DIGITS_MAX digits) times 10^scale. Short values take
// one exact operation; the rest fast_float's correctly rounded conversion, from the
// mantissa already read when it is exact, from the text otherwise. Beyond range the result
// is infinity; below it 0 or a denormal.
inline float ConvertNumber(const char* begin, const char* end, uint64_t mantissa,
                           int32_t digits, int32_t scale) {
  if (digits <= EXACT_DIGITS_MAX) {
    if (mantissa <= FLOAT_MANTISSA_MAX && scale >= -FLOAT_EXPONENT_MAX &&
        scale <= FLOAT_EXPONENT_MAX) {
      float value = static_cast<float>(static_cast<uint32_t>(mantissa));
      return scale < 0 ? value / FLOAT_POWERS_OF_TEN[-scale] : value * FLOAT_POWERS_OF_TEN[scale];
    }
    // A mantissa that cannot decide alone falls through to the text.
    float value;
    if (MantissaToFloat(mantissa, scale, &value)) return value;
  }
  return TextToFloat(begin, end);
}

}  // namespace

// Scans one number at s (text ending with a NUL at end) into value; returns the byte
// after it, or nullptr.
const char* ScanNumber(const char* s, const char* end, float* value) {
  assert(s <= end && (*end == '\0' || *end == '\n'));
  const char* p = s;
  bool negative = *p == '-';
  p += (*p == '-') | (*p == '+');
  const char* mantissaStart = p;
  uint64_t mantissa = 0;
  p = ReadDigits(p, end, &mantissa);
  int32_t digits = static_cast<int32_t>(p - mantissaStart);
  int32_t fractionDigits = 0;
  if (*p == '.') {
    const char* fractionStart = ++p;
    p = ReadDigits(p, end, &mantissa);
    fractionDigits = static_cast<int32_t>(p - fractionStart);
    digits += fractionDigits;
  }
  if (digits == 0) return nullptr;
  // The converted text ends before an exponent without digits, which counts as 0.
  const char* numberEnd = p;
  int32_t exponent = 0;
  if (*p == 'e' || *p == 'E') {
    ++p;
    bool exponentNegative = *p == '-';
    p += (*p == '-') | (*p == '+');
    const char* exponentStart = p;
    for (; IsDigit(static_cast<unsigned char>(*p)); ++p) {
      if (exponent < EXPONENT_CLAMP) exponent = exponent * 10 + (*p - '0');
    }
    if (exponentNegative) exponent = -exponent;
    if (p > exponentStart) numberEnd = p;
  }
  float result = ConvertNumber(mantissaStart, numberEnd, mantissa, digits, exponent - fractionDigits);
  *value = WithSign(result, negative);
  return p;
}

// Scans the piece at s as "%f %f %f" into xyz; returns how many values were written and
// where the scan stopped.
int ScanPiece(const char* s, const char* end, float* xyz, const char** stop) {
  assert(s <= end && (*end == '\0' || *end == '\n'));
  const char* p = s;
  int field = 0;
  for (; field < 3; ++field) {
    while (IsScanSpace(static_cast<unsigned char>(*p))) ++p;
    const char* next = ScanNumber(p, end, &xyz[field]);
    if (next == nullptr) break;
    p = next;
  }
  *stop = p;
  return field;
}
