// The plain-line scan (see point_plain_line.h). Built only where SSE2 is there, which is
// every build of the viewer (x86-64, and i686 with -msse2); elsewhere every piece takes the
// general scan.
#include "pointdata/point_plain_line.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cassert>
#include <cstring>

namespace {

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
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
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
  classes->lineFeeds |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(lineFeed))) << shift;
  classes->numberBytes |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(number))) << shift;
  classes->knownBytes |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(number, space))))
                         << shift;
  classes->points |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(point))) << shift;
  classes->signs |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(sign))) << shift;
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
    int first = start + static_cast<int>((signs >> start) & 1);
    int length = end - first;
    if (length < 1 || length > 8) return;
    uint64_t runPoints = (points >> first) & ((static_cast<uint64_t>(2) << (length - 1)) - 1);
    bool hasPoint = runPoints != 0;
    // A second point ends the number early; a point alone is no number.
    if ((runPoints & (runPoints - 1)) != 0 || length == static_cast<int>(hasPoint)) return;
    // Once the word is shifted up by 8 * (8 - length) bits, the number's last byte is the
    // highest and the point, if any, sits at byte point.
    int point = hasPoint ? 8 - length + __builtin_ctzll(runPoints) : -1;
    layout->start[field] = static_cast<uint8_t>(start);
    layout->first[field] = static_cast<uint8_t>(first);
    layout->shift[field] = static_cast<uint8_t>(8 * (8 - length));
    layout->fractionDigits[field] = static_cast<uint8_t>(hasPoint ? 7 - point : 0);
    layout->keptBytes[field] = hasPoint ? ~static_cast<uint64_t>(0) << (8 * point) << 8 : ~static_cast<uint64_t>(0);
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

}  // namespace

// Scans the piece at p when it is a plain line (see the header).
size_t ScanPlainLine(const char* p, size_t avail, PlainLineCache* cache, float* xyz) {
  assert(avail >= PLAIN_LINE_READ);
  (void)avail;
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
  uint64_t piece = lineFeed == 63 ? ~static_cast<uint64_t>(0) : (static_cast<uint64_t>(2) << lineFeed) - 1;
  if ((classes.knownBytes & piece) != piece) return 0;
  uint64_t numberBytes = classes.numberBytes & piece;
  uint64_t points = classes.points & numberBytes;
  uint64_t signs = classes.signs & numberBytes;
  PlainLayout* layout = &cache->layouts[(numberBytes * 0x9E3779B97F4A7C15ull) >> PLAIN_LAYOUT_HASH_SHIFT];
  if (layout->numberBytes != numberBytes || layout->points != points || layout->signs != signs) {
    AnalysePlainLayout(numberBytes, points, signs, layout);
  }
  if (!layout->plain) return 0;
  // Each run is followed by white space inside the piece (at least the line feed), so the
  // scan takes a short number whole and skips to the next run. Digit bytes to values (the
  // zero bytes stay 0), then pairs (10a + b in 16-bit lanes), fours (100 ab + cd in
  // 32-bit lanes) and eights (10000 abcd + efgh): x, y, z, 0.
  const __m128i zeros = _mm_set1_epi8('0');
  __m128i xy = _mm_subs_epu8(_mm_set_epi64x(static_cast<long long>(GatherDigits(p, layout, 1)),
                                            static_cast<long long>(GatherDigits(p, layout, 0))),
                             zeros);
  __m128i z = _mm_subs_epu8(_mm_set_epi64x(0, static_cast<long long>(GatherDigits(p, layout, 2))), zeros);
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
  return static_cast<size_t>(lineFeed) + 1;
}

#else

// Without SSE2 every piece takes the general scan.
size_t ScanPlainLine(const char*, size_t, PlainLineCache*, float*) { return 0; }

#endif
