// What the extracting fuzz targets share: a folder of their own and the
// extraction of every member an archive (at an offset of its file) lists.
#pragma once

#include <cstdint>
#include <string>

#include "archive/cmp_TQrvnCompress.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

inline const std::string& FuzzWorkDir() {
  static const std::string Dir = [] {
    std::string D = CreateTempFileName("qvf") + ".d";
    ForceDirectories(D);
    return D;
  }();
  return Dir;
}

// Every member found is inflated (the first eight); bad input must end in an
// exception, which is dropped here.
inline void ExtractEveryMember(const std::string& Archive, int32_t Offset) {
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  C.SetOffset(Offset);
  C.SetExtractDirectory(FuzzWorkDir());
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
  RemoveFile(AddBackslash(FuzzWorkDir()) + "out.bin");
}
