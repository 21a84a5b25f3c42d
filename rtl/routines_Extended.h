// The 80-bit extended float of the object stream, converted to and from
// double by hand: long double is 64 bits with MSVC-compatible ABIs and 128
// bits elsewhere, so the compiler's type cannot be relied on for the layout.
//
// Layout (little-endian, 10 bytes):
//   bytes 0-7  64-bit significand with an explicit integer bit (bit 63)
//   bytes 8-9  bit 15 sign, bits 0-14 exponent biased by 16383
#pragma once

#include <cstdint>

constexpr int ExtendedSize = 10;

// Rounds to the nearest double (ties to even); too large gives an infinity,
// too small a zero; infinities and NaNs carry over.
double ExtendedToDouble(const uint8_t (&Bytes)[ExtendedSize]);
// Exact: every double is representable.
void DoubleToExtended(double Value, uint8_t (&Bytes)[ExtendedSize]);
