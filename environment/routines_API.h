// What the setup program asks Windows about its environment: the version,
// the Windows and system folders, the shell and program-files folders,
// temporary file names and short path names.  No state is kept; every call
// asks Windows again.
//
// Failures raise EAPIRoutines; the folder queries that have a fallback never
// fail.  All folders come back without a trailing backslash.
#pragma once

#include <windows.h>

#include <string>

#include "rtl/routines_Files.h"

enum TWindowsVersion { wvWin32s, wvWindows95, wvWindowsNT, wvWindowsNT35, wvUnknown };

// The version family; NT 3.5x is told apart because it has no shell links.
TWindowsVersion GetWindowsVersion();
// The family for a reported platform id and version number.
TWindowsVersion WindowsVersionOf(DWORD PlatformId, DWORD Major, DWORD Minor);

std::string GetWindowsDir();
std::string GetSystemDir();

// A new, unique name in the temporary folder (prefix "bat").  Windows creates
// the file to reserve the name; unless Keep is true it is deleted again, so
// only the name is returned.
std::string GetTempFile(bool Keep);

// The 8.3 form of Path; Path itself when Windows cannot give one (the file
// does not exist, say).
std::string GetShortPath(const std::string& Path);

// Shell folders of the current user, with a constructed fallback when the
// registry does not name them.
std::string GetStartMenuDir();
std::string GetProgramsDir();
std::string GetDesktopDir();
std::string GetStartupDir();
// Program-files folders of the machine, falling back to the drive of the
// current directory.
std::string GetProgramFilesDir();
std::string GetCommonFilesDir();

// While one lives, the folders above that come from the registry are read
// once and then remembered: an installation asks for its folders several
// times per file, and they do not change while it runs.  Scopes nest; the
// memory goes with the last.
class TRegisteredFoldersKept {
 public:
  TRegisteredFoldersKept();
  ~TRegisteredFoldersKept();
  TRegisteredFoldersKept(const TRegisteredFoldersKept&) = delete;
  TRegisteredFoldersKept& operator=(const TRegisteredFoldersKept&) = delete;
};

// "<Function> failed: error <Code>: <system text>" — how every Win32
// failure is reported: the call, its code and what the system says of it
// (SysErrorMessage, rtl/routines_Files.h).
std::string Win32FailureText(const std::string& Function, DWORD Code);
// The same for a COM result, its code in hexadecimal: "... error 0x80070005: ...".
std::string ComFailureText(const std::string& Function, HRESULT Code);
