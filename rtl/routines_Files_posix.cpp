// The file system of the native build.  The program's paths use "\"; they
// become "/" here and only here.
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"
#include "rtl/routines_UnixTime_posix.h"

std::string ToNativePath(const std::string& Path) {
  std::string R = Path;
  for (char& c : R)
    if (c == '\\') c = '/';
  return R;
}

std::string FromNativePath(const std::string& Path) {
  std::string R = Path;
  for (char& c : R)
    if (c == '/') c = '\\';
  return R;
}

namespace {
bool StatPath(const std::string& Path, struct stat& St) {
  return !Path.empty() && ::stat(ToNativePath(Path).c_str(), &St) == 0;
}
}  // namespace

bool FileExists(const std::string& FileName) {
  struct stat St;
  return StatPath(FileName, St) && S_ISREG(St.st_mode);
}

bool DirectoryExists(const std::string& Dir) {
  struct stat St;
  return StatPath(Dir, St) && S_ISDIR(St.st_mode);
}

int64_t FileSizeByName(const std::string& FileName) {
  struct stat St;
  if (!StatPath(FileName, St) || !S_ISREG(St.st_mode)) return -1;
  return static_cast<int64_t>(St.st_size);
}

bool RemoveFile(const std::string& FileName) {
  return !FileName.empty() && ::unlink(ToNativePath(FileName).c_str()) == 0;
}

// A file's own permissions do not keep unlink(2) from removing it.
bool RemoveFileEvenReadOnly(const std::string& FileName) { return RemoveFile(FileName); }

bool RemoveDir(const std::string& Dir) {
  return !Dir.empty() && ::rmdir(ToNativePath(Dir).c_str()) == 0;
}

bool RemoveDirTree(const std::string& Dir) {
  if (Dir.empty()) return false;
  if (DIR* D = ::opendir(ToNativePath(Dir).c_str())) {
    while (const dirent* E = ::readdir(D)) {
      const std::string N = E->d_name;
      if (N == "." || N == "..") continue;
      const std::string P = AddBackslash(Dir) + N;
      struct stat St;
      // lstat: a link to a folder is removed, not followed.
      if (::lstat(ToNativePath(P).c_str(), &St) == 0 && S_ISDIR(St.st_mode))
        RemoveDirTree(P);
      else
        RemoveFile(P);
    }
    ::closedir(D);
  }
  RemoveDir(Dir);
  return !DirectoryExists(Dir);
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  // rename(2) would replace NewName silently; Windows refuses, and so do we.
  if (FileExists(NewName) || DirectoryExists(NewName)) return false;
  return ::rename(ToNativePath(OldName).c_str(), ToNativePath(NewName).c_str()) == 0;
}

bool RenameFileReplacing(const std::string& OldName, const std::string& NewName) {
  if (DirectoryExists(NewName)) return false;
  return ::rename(ToNativePath(OldName).c_str(), ToNativePath(NewName).c_str()) == 0;
}

bool ForceDirectories(const std::string& Dir) {
  std::string D = RemoveBackslash(Dir);
  if (D.empty()) return false;
  if (DirectoryExists(D)) return true;
  const std::string Parent = ExtractFileDir(D);
  if (!Parent.empty() && Parent != D && !ForceDirectories(Parent)) return false;
  return ::mkdir(ToNativePath(D).c_str(), 0777) == 0 || DirectoryExists(D);
}

double DayCountFromUnixTime(time_t T) {
  struct tm L;
  if (!localtime_r(&T, &L)) return 0;
  TCalendarTime C{L.tm_year + 1900, L.tm_mon + 1, L.tm_mday, L.tm_hour, L.tm_min,
                  L.tm_sec & ~1};  // two-second stamps, as on FAT and in the archive
  return EncodeDayCount(C);
}

bool FileTimesFromDayCount(double Date, struct timespec (&Times)[2]) {
  const TCalendarTime C = DecodeDayCount(Date);
  struct tm L = {};
  L.tm_year = C.Year - 1900;
  L.tm_mon = C.Month - 1;
  L.tm_mday = C.Day;
  L.tm_hour = C.Hour;
  L.tm_min = C.Minute;
  L.tm_sec = C.Second;
  L.tm_isdst = -1;
  const time_t T = mktime(&L);
  if (T == static_cast<time_t>(-1)) return false;
  Times[0].tv_sec = T;
  Times[0].tv_nsec = 0;
  Times[1] = Times[0];
  return true;
}

bool FileAge(const std::string& FileName, double& Date) {
  struct stat St;
  if (!StatPath(FileName, St)) return false;
  Date = DayCountFromUnixTime(St.st_mtime);
  return true;
}

bool FileSetDate(const std::string& FileName, double Date) {
  struct timespec Times[2];
  return FileTimesFromDayCount(Date, Times) && ::utimensat(AT_FDCWD, ToNativePath(FileName).c_str(), Times, 0) == 0;
}

std::string TempDirectory() {
  const char* T = getenv("TMPDIR");
  std::string D = (T && *T) ? T : "/tmp";
  return RemoveBackslash(FromNativePath(D));
}

std::string CreateTempFileName(const std::string& Prefix) {
  std::string Templ = ToNativePath(AddBackslash(TempDirectory()) + Prefix) + "XXXXXX";
  int Fd = mkstemp(&Templ[0]);
  if (Fd < 0) return std::string();
  ::close(Fd);
  ::unlink(Templ.c_str());
  return FromNativePath(Templ);
}

std::string SysErrorMessage(uint32_t Code) { return std::strerror(static_cast<int>(Code)); }

std::string LastSystemErrorText() { return std::strerror(errno); }
