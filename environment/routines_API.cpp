#include "environment/routines_API.h"

#include <cstdio>
#include <map>
#include <vector>

#include "environment/routines_Registry.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_Strings.h"

namespace {

// Windows path queries answer the length they need when the buffer is too
// small; start at the classic size and grow once or twice if asked to.
// Call(Buffer, Size) returns the length copied, the size needed, or 0.
template <class F>
bool QueryText(F Call, DWORD InitialSize, std::string& Out) {
  std::vector<char> Buf(InitialSize);
  for (int Attempt = 0; Attempt < 3; ++Attempt) {
    DWORD N = Call(Buf.data(), static_cast<DWORD>(Buf.size()));
    if (N == 0) return false;
    if (N < Buf.size()) {
      Out.assign(Buf.data(), N);
      return true;
    }
    Buf.resize(static_cast<size_t>(N) + 1);
  }
  return false;
}

constexpr DWORD PathBufferSize = 261;
constexpr DWORD ShortPathBufferSize = 401;

const char* const ShellFoldersKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const CurrentVersionKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// A folder named by a registry value, or the fallback when the value (or
// its key) is missing or empty.
int FoldersKept = 0;
std::map<std::string, std::string>& KeptFolders() {
  static std::map<std::string, std::string> M;
  return M;
}

template <class F>
std::string RegisteredFolder(TRootKeys Root, const char* Key, const char* Value, F Fallback) {
  const std::string Id = std::to_string(static_cast<int>(Root)) + Key + "\\" + Value;
  if (FoldersKept > 0) {
    const auto It = KeptFolders().find(Id);
    if (It != KeptFolders().end()) return It->second;
  }
  std::string Dir = RegReadString(Root, Key, Value, "");
  if (Dir.empty()) Dir = Fallback();
  Dir = RemoveBackslash(Dir);
  if (FoldersKept > 0) KeptFolders()[Id] = Dir;
  return Dir;
}

std::string CurrentDrive() {
  std::string Dir;
  QueryText([](char* B, DWORD N) { return GetCurrentDirectoryA(N, B); }, PathBufferSize, Dir);
  return ExtractFileDrive(Dir);
}

}  // namespace

TWindowsVersion WindowsVersionOf(DWORD PlatformId, DWORD Major, DWORD Minor) {
  switch (PlatformId) {
    case VER_PLATFORM_WIN32s:
      return wvWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
      return wvWindows95;
    case VER_PLATFORM_WIN32_NT:
      // NT 3.5x has no shell links: it is told apart by its version text.
      return (std::to_string(Major) + "." + std::to_string(Minor)).find("3.5") != std::string::npos
                 ? wvWindowsNT35
                 : wvWindowsNT;
    default:
      return wvUnknown;
  }
}

TWindowsVersion GetWindowsVersion() {
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  if (!GetVersionExA(&Info))
    throw EAPIRoutines(TranslateMessageText("Could not get information about the current version of Windows"));
  return WindowsVersionOf(Info.dwPlatformId, Info.dwMajorVersion, Info.dwMinorVersion);
}

std::string GetWindowsDir() {
  std::string Dir;
  if (!QueryText([](char* B, DWORD N) { return GetWindowsDirectoryA(B, N); }, PathBufferSize, Dir))
    throw EAPIRoutines(TranslateMessageText("Could not retrieve the windows directory from windows"));
  return RemoveBackslash(Dir);
}

std::string GetSystemDir() {
  std::string Dir;
  if (!QueryText([](char* B, DWORD N) { return GetSystemDirectoryA(B, N); }, PathBufferSize, Dir))
    throw EAPIRoutines(TranslateMessageText("Could not retrieve the system directroy from windows"));
  return RemoveBackslash(Dir);
}

std::string GetTempFile(bool Keep) {
  std::string TempDir;
  char Name[MAX_PATH];  // GetTempFileName writes at most MAX_PATH characters
  if (!QueryText([](char* B, DWORD N) { return GetTempPathA(N, B); }, PathBufferSize, TempDir) ||
      GetTempFileNameA(TempDir.c_str(), "bat", 0, Name) == 0 || Name[0] == '\0')
    throw EAPIRoutines(TranslateMessageText("Cannot create a temporary file"));
  if (!Keep) DeleteFileA(Name);
  return Name;
}

std::string GetShortPath(const std::string& Path) {
  std::string Short;
  if (QueryText([&](char* B, DWORD N) { return GetShortPathNameA(Path.c_str(), B, N); },
                ShortPathBufferSize, Short))
    return Short;
  return Path;
}

std::string GetStartMenuDir() {
  return RegisteredFolder(hkCurrentUser, ShellFoldersKey, "Start Menu",
                          [] { return GetWindowsDir() + "\\Startmen"; });
}

std::string GetProgramsDir() {
  return RegisteredFolder(hkCurrentUser, ShellFoldersKey, "Programs",
                          [] { return GetStartMenuDir() + "\\Programs"; });
}

std::string GetDesktopDir() {
  return RegisteredFolder(hkCurrentUser, ShellFoldersKey, "Desktop",
                          [] { return GetWindowsDir() + "\\Desktop"; });
}

std::string GetStartupDir() {
  return RegisteredFolder(hkCurrentUser, ShellFoldersKey, "Startup",
                          [] { return GetWindowsDir() + "\\Startup"; });
}

std::string GetProgramFilesDir() {
  return RegisteredFolder(hkLocalMachine, CurrentVersionKey, "ProgramFilesDir",
                          [] { return CurrentDrive() + "\\Program Files"; });
}

TRegisteredFoldersKept::TRegisteredFoldersKept() { ++FoldersKept; }
TRegisteredFoldersKept::~TRegisteredFoldersKept() {
  if (--FoldersKept == 0) KeptFolders().clear();
}

std::string GetCommonFilesDir() {
  return RegisteredFolder(hkLocalMachine, CurrentVersionKey, "CommonFilesDir",
                          [] { return CurrentDrive() + "\\Program Files\\Common Files"; });
}

namespace {
std::string FailureText(const std::string& Function, const std::string& Code, DWORD SystemCode) {
  const std::string Text = SysErrorMessage(SystemCode);
  return Function + " failed: error " + Code + (Text.empty() ? "" : ": " + Text);
}
}  // namespace

std::string Win32FailureText(const std::string& Function, DWORD Code) {
  return FailureText(Function, std::to_string(Code), Code);
}

std::string ComFailureText(const std::string& Function, HRESULT Code) {
  const DWORD Bits = static_cast<DWORD>(Code);
  char Hex[16];
  std::snprintf(Hex, sizeof Hex, "0x%08lX", static_cast<unsigned long>(Bits));
  return FailureText(Function, Hex, Bits);
}
