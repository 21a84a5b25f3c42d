#include "test_paths.h"

#include <cstdio>

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

#ifdef _WIN32
#include <windows.h>
void RemoveTree(const std::string& Dir) {
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(Dir) + "*").c_str(), &D);
  if (H != INVALID_HANDLE_VALUE) {
    do {
      std::string N = D.cFileName;
      if (N == "." || N == "..") continue;
      std::string P = AddBackslash(Dir) + N;
      if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(P);
      } else {
        SetFileAttributesA(P.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(P.c_str());
      }
    } while (FindNextFileA(H, &D));
    FindClose(H);
  }
  RemoveDirectoryA(Dir.c_str());
}
#else
#include <cstdlib>
void RemoveTree(const std::string& Dir) {
  std::string Cmd = "rm -rf '" + ToNativePath(Dir) + "'";
  if (std::system(Cmd.c_str()) != 0) {
  }
}
#endif

TScratchDir::TScratchDir(const std::string& Name) : FPath(AddBackslash(TempDirectory()) + Name) {
  RemoveTree(FPath);
  ForceDirectories(FPath);
}

TScratchDir::~TScratchDir() { RemoveTree(FPath); }
