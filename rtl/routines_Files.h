// The one way the program touches the file system: existence, sizes,
// deletion, renaming, folders, last-write times and temporary names.  Paths
// are the program's own: "\" separates folders on every platform (the native
// build maps it to "/" at the system call), so the path helpers of
// rtl/routines_Strings.h work on every path the program holds.
#pragma once

#include <cstdint>
#include <string>

bool FileExists(const std::string& FileName);      // an existing file, not a folder
bool DirectoryExists(const std::string& Dir);
// Size in bytes, -1 when the file does not exist or cannot be asked.
int64_t FileSizeByName(const std::string& FileName);
bool RemoveFile(const std::string& FileName);
// Removes a read-only file too (its attribute comes back when it still
// cannot go, as for a file in use).
bool RemoveFileEvenReadOnly(const std::string& FileName);
// Removes an empty folder.
bool RemoveDir(const std::string& Dir);
// Removes Dir with every file and folder in it, read-only files too; true
// when Dir is gone afterwards (also when it was never there).
bool RemoveDirTree(const std::string& Dir);
// Fails when NewName exists.
bool RenameFile(const std::string& OldName, const std::string& NewName);
// Renames over NewName when it exists (a file), in one step.
bool RenameFileReplacing(const std::string& OldName, const std::string& NewName);
// Creates Dir and every missing parent; true when Dir exists afterwards.
bool ForceDirectories(const std::string& Dir);

// Last-write time as a day count since 30 December 1899 (fraction = time of
// day), local time, cut to the two seconds a file system stamp resolves, as
// archive headers store it.  false when the file cannot be asked.
bool FileAge(const std::string& FileName, double& Date);
bool FileSetDate(const std::string& FileName, double Date);

// The system's folder for temporary files, without trailing "\".
std::string TempDirectory();
// A new unique name in TempDirectory() starting with Prefix; the file that
// reserved the name is removed again, so only the name is returned.  Empty
// when no name could be made.
std::string CreateTempFileName(const std::string& Prefix);

// The system's text for an error code (FormatMessage on Windows, strerror
// elsewhere) without its line break; empty when the system has none.
std::string SysErrorMessage(uint32_t Code);
// The text for the calling thread's last failed call, "error N" when the
// system has none.
std::string LastSystemErrorText();

// Program path <-> native path (identity on Windows; "\" <-> "/" elsewhere).
std::string ToNativePath(const std::string& Path);
std::string FromNativePath(const std::string& Path);

// Day counts <-> calendar time (local, no time zone applied here).
struct TCalendarTime {
  int Year, Month, Day, Hour, Minute, Second;
};
double EncodeDayCount(const TCalendarTime& T);
// Rounded to the nearest second.
TCalendarTime DecodeDayCount(double Date);
