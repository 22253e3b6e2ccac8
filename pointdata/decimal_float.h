// The decimal-to-float conversion the number grammar takes from fast_float: the only file
// that includes the library. Besides the documented from_chars it uses four of the library's
// own building blocks (the eight-digit tests and the mantissa-and-power conversion), which
// save reading a number's digits twice. They are not a published interface, so this file
// is written against Debian 12's fast_float 3.9 and checks at compile time that the library
// is that generation and that the four still have the shapes used here: a newer package
// stops the build here instead of changing what the loader reads.
#pragma once

#include <fast_float/fast_float.h>

#include <cstdint>
#include <type_traits>

// fast_float 3.x defines no version macro; the releases that do changed these internals.
#if defined(FASTFLOAT_VERSION_MAJOR) && FASTFLOAT_VERSION_MAJOR != 3
#error "pointdata/decimal_float.h is written against fast_float 3.x: review its four internal calls for this version"
#endif

namespace decimal_float_check {
using Mantissa = fast_float::adjusted_mantissa;
using FloatFormat = fast_float::binary_format<float>;
static_assert(std::is_same<decltype(fast_float::compute_float<FloatFormat>(int64_t(0), uint64_t(0))),
                           Mantissa>::value,
              "fast_float::compute_float<binary_format<float>>(int64_t, uint64_t) -> adjusted_mantissa");
static_assert(std::is_same<decltype(Mantissa{}.power2), int32_t>::value,
              "fast_float::adjusted_mantissa::power2 is an int32_t");
static_assert(std::is_same<decltype(fast_float::is_made_of_eight_digits_fast(static_cast<const char*>(nullptr))),
                           bool>::value,
              "fast_float::is_made_of_eight_digits_fast(const char*) -> bool");
static_assert(std::is_same<decltype(fast_float::parse_eight_digits_unrolled(static_cast<const char*>(nullptr))),
                           uint32_t>::value,
              "fast_float::parse_eight_digits_unrolled(const char*) -> uint32_t");
}  // namespace decimal_float_check

// True when the eight bytes at p are all decimal digits.
inline bool AreEightDigits(const char* p) { return fast_float::is_made_of_eight_digits_fast(p); }

// The value of the eight decimal digits at p.
inline uint32_t EightDigitsValue(const char* p) { return fast_float::parse_eight_digits_unrolled(p); }

// The float nearest to mantissa × 10^power (mantissa exact), correctly rounded; false when
// the mantissa alone cannot decide (the text must then be converted).
inline bool MantissaToFloat(uint64_t mantissa, int32_t power, float* value) {
  fast_float::adjusted_mantissa am =
      fast_float::compute_float<fast_float::binary_format<float>>(power, mantissa);
  if (am.power2 < 0) return false;
  fast_float::to_float(false, am, *value);
  return true;
}

// The float nearest to the unsigned decimal text [begin, end), correctly rounded.
inline float TextToFloat(const char* begin, const char* end) {
  float value = 0.0f;
  fast_float::from_chars(begin, end, value);
  return value;
}
