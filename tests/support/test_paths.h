// Paths the Windows tests use: the build tree as Wine sees it, and a fresh
// scratch folder per test.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

// A path below the folder an environment variable names, as the program
// writes paths; under Wine the Unix root is drive Z:.
inline std::string TreePath(const char* Variable, const std::string& Relative) {
  const char* B = std::getenv(Variable);
  std::string Dir = B ? B : "";
#ifdef _WIN32
  if (!Dir.empty() && Dir[0] == '/') Dir = "Z:" + Dir;
#endif
  for (char& C : Dir)
    if (C == '/') C = '\\';
  return AddBackslash(Dir) + Relative;
}

// A folder of the build tree (QV_BINARY_DIR) or of the sources (QV_SOURCE_DIR).
inline std::string BuildTreePath(const std::string& Relative) { return TreePath("QV_BINARY_DIR", Relative); }
inline std::string SourceTreePath(const std::string& Relative) { return TreePath("QV_SOURCE_DIR", Relative); }

// Writes Bytes to Path, creating its folder.
bool WriteTestFile(const std::string& Path, const std::string& Bytes);
std::string ReadTestFile(const std::string& Path);
// Removes a folder with everything in it.
void RemoveTree(const std::string& Dir);
#ifdef _WIN32
// The names in Dir that match a wildcard Pattern, sorted, without "." and "..".
std::vector<std::string> FolderNames(const std::string& Dir, const std::string& Pattern = "*");
#endif

// A scratch folder under the temporary folder, empty at the start and
// removed at the end: a given name, or a new one of its own.
class TScratchDir {
 public:
  TScratchDir();
  explicit TScratchDir(const std::string& Name);
  ~TScratchDir();
  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& Rel) const { return AddBackslash(FPath) + Rel; }

 private:
  std::string FPath;
};
