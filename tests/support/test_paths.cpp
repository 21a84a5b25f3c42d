#include "test_paths.h"

#include <algorithm>
#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

#include "rtl/cmp_TFileStream.h"

bool WriteTestFile(const std::string& Path, const std::string& Bytes) {
  ForceDirectories(ExtractFileDir(Path));
  FILE* F = std::fopen(ToNativePath(Path).c_str(), "wb");
  if (!F) return false;
  bool Ok = std::fwrite(Bytes.data(), 1, Bytes.size(), F) == Bytes.size();
  return std::fclose(F) == 0 && Ok;
}

std::string ReadTestFile(const std::string& Path) {
  FILE* F = std::fopen(ToNativePath(Path).c_str(), "rb");
  if (!F) return "<missing>";
  std::string R;
  char Buf[65536];
  size_t N;
  while ((N = std::fread(Buf, 1, sizeof Buf, F)) > 0) R.append(Buf, N);
  std::fclose(F);
  return R;
}

// The program's own routine; the tests need no second one.
void RemoveTree(const std::string& Dir) { RemoveDirTree(Dir); }

TScratchDir::TScratchDir(const std::string& Name) : FPath(AddBackslash(TempDirectory()) + Name) {
  RemoveTree(FPath);
  ForceDirectories(FPath);
}

TScratchDir::TScratchDir() : FPath(CreateTempFileName("qvt") + ".d") { ForceDirectories(FPath); }

TScratchDir::~TScratchDir() { RemoveTree(FPath); }

#ifdef _WIN32
std::vector<std::string> FolderNames(const std::string& Dir, const std::string& Pattern) {
  std::vector<std::string> R;
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(Dir) + Pattern).c_str(), &D);
  if (H == INVALID_HANDLE_VALUE) return R;
  do {
    const std::string N = D.cFileName;
    if (N != "." && N != "..") R.push_back(N);
  } while (FindNextFileA(H, &D));
  FindClose(H);
  std::sort(R.begin(), R.end());
  return R;
}
#endif
