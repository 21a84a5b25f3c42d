#include "ArchiveTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

// Scratch folders hold only files and folders the tests made.
void TScratchDir::RemoveTree(const std::string& Dir) {
#ifdef _WIN32
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(Dir) + "*").c_str(), &D);
  if (H != INVALID_HANDLE_VALUE) {
    do {
      const std::string N = D.cFileName;
      if (N == "." || N == "..") continue;
      const std::string P = AddBackslash(Dir) + N;
      if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(P);
      else
        RemoveFile(P);
    } while (FindNextFileA(H, &D));
    FindClose(H);
  }
#else
  const std::string Native = ToNativePath(Dir);
  if (DIR* D = opendir(Native.c_str())) {
    while (dirent* E = readdir(D)) {
      const std::string N = E->d_name;
      if (N == "." || N == "..") continue;
      const std::string P = AddBackslash(Dir) + N;
      if (DirectoryExists(P))
        RemoveTree(P);
      else
        RemoveFile(P);
    }
    closedir(D);
  }
#endif
  RemoveDir(Dir);
}
