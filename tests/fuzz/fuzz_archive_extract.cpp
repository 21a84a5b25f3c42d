// The extractor on arbitrary archive files: every member it finds is
// inflated; bad input must end in an exception, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/cmp_TQrvnCompress.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {
const std::string& WorkDir() {
  static const std::string Dir = [] {
    std::string D = CreateTempFileName("qvf") + ".d";
    ForceDirectories(D);
    return D;
  }();
  return Dir;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Archive = AddBackslash(WorkDir()) + "files.1";
  {
    TFileStream F(Archive, TFileMode::fmCreate);
    F.WriteBuffer(Data, Size);
  }
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  C.SetExtractDirectory(WorkDir());
  C.OnNewDisk = [](TQrvnCompress*, int, std::string&) {};  // no other disk ever appears
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
  return 0;
}
