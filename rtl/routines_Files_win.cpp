// The file system of the Windows build (ANSI API).
#include <windows.h>

#include "rtl/routines_FileTime_win.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

std::string ToNativePath(const std::string& Path) { return Path; }
std::string FromNativePath(const std::string& Path) { return Path; }

namespace {
bool Attributes(const std::string& Path, DWORD& Attr) {
  if (Path.empty()) return false;
  Attr = GetFileAttributesA(Path.c_str());
  return Attr != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

bool FileExists(const std::string& FileName) {
  DWORD A;
  return Attributes(FileName, A) && !(A & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& Dir) {
  DWORD A;
  return Attributes(Dir, A) && (A & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t FileSizeByName(const std::string& FileName) {
  WIN32_FILE_ATTRIBUTE_DATA D;
  if (FileName.empty() || !GetFileAttributesExA(FileName.c_str(), GetFileExInfoStandard, &D) ||
      (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return (static_cast<int64_t>(D.nFileSizeHigh) << 32) | D.nFileSizeLow;
}

bool RemoveFile(const std::string& FileName) { return DeleteFileA(FileName.c_str()) != 0; }

bool RemoveFileEvenReadOnly(const std::string& FileName) {
  const DWORD Attributes = GetFileAttributesA(FileName.c_str());
  if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_READONLY)) return RemoveFile(FileName);
  SetFileAttributesA(FileName.c_str(), Attributes & ~FILE_ATTRIBUTE_READONLY);
  if (RemoveFile(FileName)) return true;
  SetFileAttributesA(FileName.c_str(), Attributes);
  return false;
}

bool RemoveDir(const std::string& Dir) { return RemoveDirectoryA(Dir.c_str()) != 0; }

bool RemoveDirTree(const std::string& Dir) {
  if (Dir.empty()) return false;
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(Dir) + "*").c_str(), &D);
  if (H != INVALID_HANDLE_VALUE) {
    do {
      const std::string N = D.cFileName;
      if (N == "." || N == "..") continue;
      const std::string P = AddBackslash(Dir) + N;
      if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirTree(P);
      } else {
        // DeleteFile refuses a read-only file.
        SetFileAttributesA(P.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(P.c_str());
      }
    } while (FindNextFileA(H, &D));
    FindClose(H);
  }
  RemoveDirectoryA(Dir.c_str());
  return !DirectoryExists(Dir);
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  return MoveFileA(OldName.c_str(), NewName.c_str()) != 0;
}

bool RenameFileReplacing(const std::string& OldName, const std::string& NewName) {
  return MoveFileExA(OldName.c_str(), NewName.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool ForceDirectories(const std::string& Dir) {
  std::string D = RemoveBackslash(Dir);
  if (D.empty()) return false;
  if (DirectoryExists(D)) return true;
  // "C:" alone is a drive, not a folder to create.
  if (D.size() == 2 && D[1] == ':') return false;
  const std::string Parent = ExtractFileDir(D);
  if (!Parent.empty() && Parent != D && !ForceDirectories(Parent)) return false;
  return CreateDirectoryA(D.c_str(), nullptr) != 0 || DirectoryExists(D);
}

bool FileAge(const std::string& FileName, double& Date) {
  WIN32_FILE_ATTRIBUTE_DATA D;
  if (FileName.empty() || !GetFileAttributesExA(FileName.c_str(), GetFileExInfoStandard, &D))
    return false;
  Date = DayCountFromFileTime(D.ftLastWriteTime);
  return true;
}

bool FileSetDate(const std::string& FileName, double Date) {
  HANDLE H = CreateFileA(FileName.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (H == INVALID_HANDLE_VALUE) return false;
  FILETIME T;
  const bool Ok = FileTimeFromDayCount(Date, T) && SetFileTime(H, nullptr, nullptr, &T);
  CloseHandle(H);
  return Ok;
}

std::string TempDirectory() {
  char Buf[MAX_PATH + 1];
  DWORD N = GetTempPathA(sizeof Buf, Buf);
  if (N == 0 || N > MAX_PATH) return "C:\\";
  return RemoveBackslash(std::string(Buf, N));
}

std::string CreateTempFileName(const std::string& Prefix) {
  char Buf[MAX_PATH + 1];
  if (!GetTempFileNameA(TempDirectory().c_str(), Prefix.c_str(), 0, Buf)) return std::string();
  DeleteFileA(Buf);
  return Buf;
}

std::string SysErrorMessage(uint32_t Code) {
  char* Text = nullptr;
  DWORD N = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, Code, 0, reinterpret_cast<char*>(&Text), 0, nullptr);
  std::string R = N && Text ? std::string(Text, N) : std::string();
  if (Text) LocalFree(Text);
  return TrimRight(R);
}

std::string LastSystemErrorText() {
  const DWORD Code = GetLastError();
  const std::string Text = SysErrorMessage(Code);
  return Text.empty() ? Format("error %u", static_cast<unsigned>(Code)) : Text;
}
