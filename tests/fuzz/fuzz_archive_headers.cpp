// The header chain reader and the trailer reader on arbitrary bytes: they
// must give their errors, never crash, hang or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/cmp_TFileHeaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  // The first byte picks a base, so embedded archives are covered too.
  const int64_t Base = Size > 0 ? Data[0] % 8 : 0;
  TMemoryStream S(Bytes);
  TFileHeaders H;
  try {
    H.ReadFromStream(S, Base);
    TlzhFileStats Stats;
    H.ResetTotals(Stats);
    H.IndexOfName("member;x");
    TMemoryStream Out;
    H.WriteToStream(Out);
  } catch (const EQrvnCompress&) {
  }
  TSelfExtractTrailer T;
  ReadSelfExtractTrailer(S, T);
  return 0;
}
