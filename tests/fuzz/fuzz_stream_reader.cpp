// Reads arbitrary bytes as a component stream into a root with the test
// classes registered.  Whatever loads must write back, and the written
// stream must load again and write the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rtl/cmp_TStream.h"
#include "stream_test_classes.h"

using namespace streamtest;

namespace {
std::string Save(TComponent* Root) {
  TMemoryStream S;
  WriteRootComponent(S, Root);
  return S.Data();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  static const bool Registered = (RegisterStreamTestClasses(), true);
  (void)Registered;
  StreamLog().clear();
  std::string First;
  {
    TTestRoot Root(nullptr);
    TMemoryStream S(std::string(reinterpret_cast<const char*>(Data), Size));
    try {
      ReadRootComponent(S, &Root);
    } catch (const Exception&) {
      if (Root.ComponentCount() != 0 || Root.IsLoading()) std::abort();  // not undone
      return 0;
    }
    try {
      First = Save(&Root);
    } catch (const EWriteError&) {
      return 0;  // e.g. a name too long for a path once prefixed
    }
  }
  TTestRoot Again(nullptr);
  TMemoryStream S(First);
  ReadRootComponent(S, &Again);  // must not throw
  if (Save(&Again) != First) std::abort();
  return 0;
}
