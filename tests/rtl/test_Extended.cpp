#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "rtl/routines_Extended.h"

namespace {

struct TExtendedCase {
  double Value;
  uint8_t Bytes[ExtendedSize];
};

// Encodings checked by hand: significand (explicit integer bit), then sign
// and exponent biased by 16383.
const TExtendedCase Exact[] = {
    {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
    {-0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
    {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
    {-2.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
    {1.5, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
    {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
    {36526.5, {0, 0, 0, 0, 0, 0x80, 0xAE, 0x8E, 0x0E, 0x40}},
    // Smallest subnormal double, 2^-1074.
    {4.9406564584124654e-324, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},
    // Largest double.
    {1.7976931348623157e308, {0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43}},
    {std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
};

TEST(Extended, ExactValuesConvertBothWays) {
  for (const TExtendedCase& C : Exact) {
    uint8_t B[ExtendedSize];
    DoubleToExtended(C.Value, B);
    EXPECT_EQ(std::memcmp(B, C.Bytes, ExtendedSize), 0) << C.Value;
    const double Back = ExtendedToDouble(C.Bytes);
    EXPECT_EQ(Back, C.Value);
    EXPECT_EQ(std::signbit(Back), std::signbit(C.Value)) << C.Value;
  }
}

TEST(Extended, ValuesOutsideTheDoubleRangeAndSpecialEncodings) {
  struct TCase {
    uint8_t Bytes[ExtendedSize];
    double Expected;
  } const Cases[] = {
      // 2^16383: far beyond a double.
      {{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F}, std::numeric_limits<double>::infinity()},
      {{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0xFF}, -std::numeric_limits<double>::infinity()},
      // 2^-16382: far below the smallest double.
      {{0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00}, 0.0},
      // 1 + 2^-53 is halfway between 1 and the next double: ties to even (1).
      {{0, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, 1.0},
      // 1 + 2^-53 + 2^-63 rounds up.
      {{0x01, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, 1.0000000000000002},
      // All significand bits set below 2: rounds up to 2 (carry into the exponent).
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F}, 2.0},
      // An unnormal (integer bit clear) still has its value: 0.5 * 2^0.
      {{0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}, 0.5},
      // 2^-1075 is half the smallest subnormal: ties to even gives 0.
      {{0, 0, 0, 0, 0, 0, 0, 0x80, 0xCC, 0x3B}, 0.0},
      // 3 * 2^-1076 = 0.75 of the smallest subnormal: rounds to it.
      {{0, 0, 0, 0, 0, 0, 0, 0xC0, 0xCC, 0x3B}, 4.9406564584124654e-324},
  };
  for (const auto& C : Cases) EXPECT_EQ(ExtendedToDouble(C.Bytes), C.Expected);

  const uint8_t NaN[ExtendedSize] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  EXPECT_TRUE(std::isnan(ExtendedToDouble(NaN)));
  // A NaN read and written again keeps its bytes.
  const uint8_t Payload[ExtendedSize] = {0, 0x08, 0, 0, 0, 0x30, 0, 0xC0, 0xFF, 0xFF};
  uint8_t B[ExtendedSize];
  DoubleToExtended(ExtendedToDouble(Payload), B);
  EXPECT_EQ(std::memcmp(B, Payload, ExtendedSize), 0);
}

TEST(Extended, SubnormalDoublesSurviveTheRoundTrip) {
  for (double D = std::numeric_limits<double>::denorm_min(); D < 1e-300; D *= 3.7) {
    uint8_t B[ExtendedSize];
    DoubleToExtended(D, B);
    EXPECT_EQ(ExtendedToDouble(B), D);
  }
}

}  // namespace
