// The path and field helpers on arbitrary text: besides not crashing, the
// fields must put the text back together, and the cleaned file name must
// hold none of the characters it removes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rtl/routines_Strings.h"

namespace {
void Check(bool Condition) {
  if (!Condition) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0) return 0;
  const char Sep = static_cast<char>(Data[0]);
  const std::string S(reinterpret_cast<const char*>(Data + 1), Size - 1);

  TStringList L;
  SplitToList(S, Sep, L);
  Check(L.Count() == FieldCount(S, Sep));
  std::string Joined;
  for (int i = 0; i < L.Count(); ++i) {
    Check(L[i] == GetField(S, i + 1, Sep));
    Check(L[i].find(Sep) == std::string::npos);
    Joined += (i ? std::string(1, Sep) : std::string()) + L[i];
  }
  // A closing separator is the only thing the fields do not carry.
  Check(Joined == S || Joined + Sep == S);
  Check(GetField(S, L.Count() + 1, Sep).empty());

  const std::string Valid = MakeValidFileName(S);
  Check(Valid.find_first_of("\"*:;<>?\\|/") == std::string::npos);

  Check(Trim(Trim(S)) == Trim(S));
  Check(RemoveBackslash(AddBackslash(S)) == RemoveBackslash(S) || S.empty());
  int32_t V;
  if (TryStrToInt(S, V)) {
    int32_t Back;
    Check(TryStrToInt(std::to_string(V), Back) && Back == V);
  }
  return 0;
}
