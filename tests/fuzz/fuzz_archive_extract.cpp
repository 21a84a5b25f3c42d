// The extractor on arbitrary archive files: every member it finds is
// inflated; bad input must end in an exception, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_extract_support.h"
#include "rtl/cmp_TFileStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Archive = AddBackslash(FuzzWorkDir()) + "files.1";
  {
    TFileStream F(Archive, TFileMode::fmCreate);
    F.WriteBuffer(Data, Size);
  }
  ExtractEveryMember(Archive, 0);
  return 0;
}
