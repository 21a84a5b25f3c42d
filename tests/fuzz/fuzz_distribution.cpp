// A whole self-extracting distribution on arbitrary bytes, read as the
// loading program and the setup program read it: the trailer, then setup.1
// and files.1 inside the file at the offsets it gives, every member
// inflated.  Bad input must end in an exception, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_extract_support.h"
#include "rtl/cmp_TFileStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string File = AddBackslash(FuzzWorkDir()) + "setup.exe";
  {
    TFileStream F(File, TFileMode::fmCreate);
    F.WriteBuffer(Data, Size);
  }
  TSelfExtractTrailer T;
  {
    TFileStream F(File, TFileMode::fmOpenRead);
    // The loading program's image is at least its headers' worth of bytes.
    if (!ReadDistributionTrailer(F, 64, T)) return 0;
  }
  ExtractEveryMember(File, T.SetupStart);
  if (T.FilesStart > 0) ExtractEveryMember(File, T.FilesStart);
  return 0;
}
