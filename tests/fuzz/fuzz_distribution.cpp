// A whole self-extracting distribution on arbitrary bytes, read as the
// loading program and the setup program read it: the trailer, then setup.1
// and files.1 inside the file at the offsets it gives, every member
// inflated.  Bad input must end in an exception, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/cmp_TQrvnCompress.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {
const std::string& WorkDir() {
  static const std::string Dir = [] {
    std::string D = CreateTempFileName("qvd") + ".d";
    ForceDirectories(D);
    return D;
  }();
  return Dir;
}

void ExtractAll(const std::string& File, int32_t Offset) {
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(File);
  C.SetOffset(Offset);
  C.SetExtractDirectory(WorkDir());
  C.OnNewDisk = [](TQrvnCompress*, int, std::string&) {};  // a distribution in one file has no disks
  try {
    const int N = C.FileCount();
    for (int i = 0; i < N && i < 8; ++i) {
      TStrings L;
      L.Add(C.Headers().GetFileHeaders(i).Rec.FileName);
      C.SetFilesToProcess(L);
      C.ExtractName = "out.bin";
      C.ExtractFiles();
    }
  } catch (const std::exception&) {
  }
  RemoveFile(AddBackslash(WorkDir()) + "out.bin");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string File = AddBackslash(WorkDir()) + "setup.exe";
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
  ExtractAll(File, T.SetupStart);
  if (T.FilesStart > 0) ExtractAll(File, T.FilesStart);
  return 0;
}
