#include "rtl/routines_Extended.h"

#include <cstring>

#include "rtl/routines_LittleEndian.h"

namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr int DoubleFractionBits = 52;
constexpr uint64_t ExtendedIntegerBit = uint64_t(1) << 63;
constexpr uint64_t DoubleFractionMask = (uint64_t(1) << DoubleFractionBits) - 1;

int LeadingZeros(uint64_t V) {
  int N = 0;
  while (!(V & ExtendedIntegerBit)) {
    V <<= 1;
    ++N;
  }
  return N;
}

double FromBits(uint64_t Bits) {
  double D;
  std::memcpy(&D, &Bits, sizeof D);
  return D;
}

uint64_t ToBits(double D) {
  uint64_t Bits;
  std::memcpy(&Bits, &D, sizeof Bits);
  return Bits;
}

// Keeps the bits of M above Shift, rounded to nearest with ties to even.
uint64_t ShiftRounded(uint64_t M, int Shift) {
  if (Shift > 64) return 0;
  if (Shift == 64) return (M > ExtendedIntegerBit) ? 1 : 0;  // exactly half rounds to even 0
  uint64_t Kept = M >> Shift;
  uint64_t Rest = M & ((uint64_t(1) << Shift) - 1);
  uint64_t Half = uint64_t(1) << (Shift - 1);
  if (Rest > Half || (Rest == Half && (Kept & 1))) ++Kept;
  return Kept;
}

}  // namespace

double ExtendedToDouble(const uint8_t (&B)[ExtendedSize]) {
  uint64_t M = GetLE<uint64_t>(B);
  const unsigned SignExp = GetLE<uint16_t>(B + 8);
  const uint64_t Sign = uint64_t(SignExp >> 15) << 63;
  const int E = int(SignExp & 0x7FFF);

  if (E == 0x7FFF) {
    if ((M << 1) == 0) return FromBits(Sign | (uint64_t(0x7FF) << DoubleFractionBits));
    // A NaN keeps its sign and the top of its payload, so that writing it
    // back gives the same bytes.
    const uint64_t Payload = ((M << 1) >> 12) | (uint64_t(1) << (DoubleFractionBits - 1));
    return FromBits(Sign | (uint64_t(0x7FF) << DoubleFractionBits) | Payload);
  }
  if (M == 0) return FromBits(Sign);

  // Value = M * 2^Scale; denormals (and unnormals) use the minimum exponent.
  int Scale = (E == 0 ? 1 : E) - ExtendedBias - 63;
  const int Lz = LeadingZeros(M);
  M <<= Lz;
  Scale -= Lz;
  int Exp = Scale + 63;  // exponent of the leading one

  if (Exp > DoubleBias) return FromBits(Sign | (uint64_t(0x7FF) << DoubleFractionBits));
  if (Exp >= 1 - DoubleBias) {
    uint64_t Q = ShiftRounded(M, 63 - DoubleFractionBits);
    if (Q >> (DoubleFractionBits + 1)) {  // rounding carried into a new bit
      Q >>= 1;
      ++Exp;
      if (Exp > DoubleBias) return FromBits(Sign | (uint64_t(0x7FF) << DoubleFractionBits));
    }
    return FromBits(Sign | (uint64_t(Exp + DoubleBias) << DoubleFractionBits) |
                    (Q & DoubleFractionMask));
  }
  // Subnormal result: a rounding carry into bit 52 yields the smallest
  // normal number, which the plain bit pattern already encodes.
  const int Shift = (63 - DoubleFractionBits) + (1 - DoubleBias - Exp);
  return FromBits(Sign | ShiftRounded(M, Shift));
}

void DoubleToExtended(double Value, uint8_t (&B)[ExtendedSize]) {
  const uint64_t Bits = ToBits(Value);
  const unsigned Sign = unsigned(Bits >> 63);
  const int E = int((Bits >> DoubleFractionBits) & 0x7FF);
  const uint64_t F = Bits & DoubleFractionMask;

  uint64_t M;
  int Exp;
  if (E == 0x7FF) {
    M = ExtendedIntegerBit | (F << 11);
    if (F) M |= uint64_t(1) << 62;  // keep a NaN quiet
    Exp = 0x7FFF;
  } else if (E == 0 && F == 0) {
    M = 0;
    Exp = 0;
  } else if (E == 0) {
    const int Lz = LeadingZeros(F);
    M = F << Lz;
    Exp = (63 - Lz) - 1074 + ExtendedBias;  // value = F * 2^-1074
  } else {
    M = ExtendedIntegerBit | (F << 11);
    Exp = E - DoubleBias + ExtendedBias;
  }
  PutLE<uint64_t>(B, M);
  PutLE<uint16_t>(B + 8, static_cast<uint16_t>((Sign << 15) | unsigned(Exp)));
}
