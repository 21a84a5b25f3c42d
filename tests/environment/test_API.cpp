#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "RegistrySupport.h"
#include "environment/routines_API.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_Strings.h"

namespace {

bool IsDirectory(const std::string& Path) {
  DWORD A = GetFileAttributesA(Path.c_str());
  return A != INVALID_FILE_ATTRIBUTES && (A & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& Path) {
  DWORD A = GetFileAttributesA(Path.c_str());
  return A != INVALID_FILE_ATTRIBUTES && !(A & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(WindowsVersion, FamilyFromPlatformAndVersion) {
  struct Case {
    DWORD Platform, Major, Minor;
    TWindowsVersion Expected;
  };
  const Case Cases[] = {
      {VER_PLATFORM_WIN32s, 3, 11, wvWin32s},      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, wvWindows95},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, wvWindows95}, {VER_PLATFORM_WIN32_WINDOWS, 4, 90, wvWindows95},
      {VER_PLATFORM_WIN32_NT, 3, 51, wvWindowsNT35}, {VER_PLATFORM_WIN32_NT, 3, 50, wvWindowsNT35},
      {VER_PLATFORM_WIN32_NT, 3, 10, wvWindowsNT},   {VER_PLATFORM_WIN32_NT, 4, 0, wvWindowsNT},
      {VER_PLATFORM_WIN32_NT, 5, 1, wvWindowsNT},    {VER_PLATFORM_WIN32_NT, 10, 0, wvWindowsNT},
      {3, 10, 0, wvUnknown},                         {99, 3, 51, wvUnknown},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(WindowsVersionOf(C.Platform, C.Major, C.Minor), C.Expected)
        << C.Platform << " " << C.Major << "." << C.Minor;
}

// Run in a child process by the test below: Wine reads its version setting
// when a process starts, so each setting needs a new process.
TEST(WindowsVersionProbe, DISABLED_Report) {
  const char* Out = getenv("QV_VERSION_REPORT");
  ASSERT_NE(Out, nullptr);
  OSVERSIONINFOA Info{};
  Info.dwOSVersionInfoSize = sizeof(Info);
  ASSERT_TRUE(GetVersionExA(&Info));
  std::ofstream F(Out);
  F << GetWindowsVersion() << " " << Info.dwPlatformId << " " << Info.dwMajorVersion << " "
    << Info.dwMinorVersion << "\n";
}

struct TVersionReport {
  int Version = -1;
  DWORD Platform = 0, Major = 0, Minor = 0;
};

// Sets Wine's reported Windows version and asks a new process of this test
// program what it sees.
TVersionReport VersionSeenByNewProcess(const std::string& WineVersion) {
  TVersionReport R;
  TSavedRegValue Saved(hkCurrentUser, "Software\\Wine", "Version");
  RegWriteString(hkCurrentUser, "Software\\Wine", "Version", WineVersion);
  std::string Report = GetTempFile(false);
  SetEnvironmentVariableA("QV_VERSION_REPORT", Report.c_str());
  char Self[MAX_PATH];
  GetModuleFileNameA(nullptr, Self, MAX_PATH);
  std::string Cmd = std::string("\"") + Self +
                    "\" --gtest_also_run_disabled_tests --gtest_filter=WindowsVersionProbe.DISABLED_Report";
  // The child's test report would only clutter ours.
  SECURITY_ATTRIBUTES Sa{sizeof(Sa), nullptr, TRUE};
  HANDLE Nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &Sa, OPEN_EXISTING, 0,
                           nullptr);
  STARTUPINFOA Si{};
  Si.cb = sizeof(Si);
  Si.dwFlags = STARTF_USESTDHANDLES;
  Si.hStdOutput = Si.hStdError = Nul;
  Si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION Pi{};
  if (CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Si, &Pi)) {
    WaitForSingleObject(Pi.hProcess, 60000);
    CloseHandle(Pi.hThread);
    CloseHandle(Pi.hProcess);
    std::ifstream F(Report);
    F >> R.Version >> R.Platform >> R.Major >> R.Minor;
  }
  if (Nul != INVALID_HANDLE_VALUE) CloseHandle(Nul);
  SetEnvironmentVariableA("QV_VERSION_REPORT", nullptr);
  DeleteFileA(Report.c_str());
  return R;
}

TEST(WindowsVersion, WhatWindowsReportsUnderEachSetting) {
  struct Case {
    const char* Setting;
    TWindowsVersion Expected;
    DWORD Platform, Major, Minor;
  };
  const Case Cases[] = {
      {"win98", wvWindows95, 1, 4, 10},
      {"win95", wvWindows95, 1, 4, 0},
      {"nt351", wvWindowsNT35, 2, 3, 51},
      {"nt40", wvWindowsNT, 2, 4, 0},
      {"winxp64", wvWindowsNT, 2, 5, 2},
  };
  for (const Case& C : Cases) {
    TVersionReport R = VersionSeenByNewProcess(C.Setting);
    EXPECT_EQ(R.Version, C.Expected) << C.Setting;
    EXPECT_EQ(R.Platform, C.Platform) << C.Setting;
    EXPECT_EQ(R.Major, C.Major) << C.Setting;
    EXPECT_EQ(R.Minor, C.Minor) << C.Setting;
  }
  // Without a setting Wine reports an NT system.
  EXPECT_EQ(GetWindowsVersion(), wvWindowsNT);
}

TEST(WindowsFolders, WindowsAndSystemDirectories) {
  std::string Win = GetWindowsDir(), Sys = GetSystemDir();
  EXPECT_TRUE(IsDirectory(Win)) << Win;
  EXPECT_TRUE(IsDirectory(Sys)) << Sys;
  EXPECT_NE(Win.back(), '\\');
  EXPECT_NE(Sys.back(), '\\');
  EXPECT_TRUE(IsFile(Win + "\\win.ini") || IsDirectory(Win + "\\system32")) << Win;
  EXPECT_TRUE(IsFile(Sys + "\\kernel32.dll")) << Sys;
}

TEST(TempFiles, NameIsNewAndKeptOnlyWhenAsked) {
  std::string A = GetTempFile(false), B = GetTempFile(false);
  EXPECT_NE(A, B);
  EXPECT_FALSE(IsFile(A)) << A;
  EXPECT_TRUE(SameText(ExtractFileName(A).substr(0, 3), "bat")) << A;
  char TempDir[MAX_PATH];
  GetTempPathA(MAX_PATH, TempDir);
  EXPECT_TRUE(SameText(ExtractFilePath(A), TempDir)) << A;

  std::string Kept = GetTempFile(true);
  EXPECT_TRUE(IsFile(Kept)) << Kept;
  EXPECT_NE(Kept, GetTempFile(true)) << "a kept name is not handed out again";
  DeleteFileA(Kept.c_str());
}

// Points the temporary folder somewhere else for the life of the object.
class TTempDirOverride {
 public:
  explicit TTempDirOverride(const std::string& Dir) {
    for (const char* V : {"TMP", "TEMP"}) {
      char Buf[MAX_PATH];
      DWORD N = GetEnvironmentVariableA(V, Buf, MAX_PATH);
      FSaved.push_back(N ? std::string(Buf, N) : std::string());
      SetEnvironmentVariableA(V, Dir.c_str());
    }
  }
  ~TTempDirOverride() {
    const char* Vars[] = {"TMP", "TEMP"};
    for (int i = 0; i < 2; ++i)
      SetEnvironmentVariableA(Vars[i], FSaved[i].empty() ? nullptr : FSaved[i].c_str());
  }

 private:
  std::vector<std::string> FSaved;
};

TEST(TempFiles, MissingTemporaryFolderRaises) {
  TTempDirOverride Tmp("C:\\no such folder\\really not");
  try {
    GetTempFile(false);
    FAIL() << "no exception";
  } catch (const EAPIRoutines& E) {
    EXPECT_EQ(E.Message(), "Cannot create a temporary file");
  }
}

TEST(ShortPaths, LongNamesBecomeEightDotThree) {
  std::string Dir = RemoveBackslash(ExtractFilePath(GetTempFile(false))) + "\\Quorvane long folder name";
  std::string File = Dir + "\\A rather long file name.text";
  CreateDirectoryA(Dir.c_str(), nullptr);
  HANDLE H = CreateFileA(File.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  CloseHandle(H);

  std::string Short = GetShortPath(File);
  EXPECT_NE(Short, File);
  EXPECT_EQ(Short.find(' '), std::string::npos) << Short;
  EXPECT_LE(ExtractFileName(Short).size(), 12u) << Short;
  EXPECT_TRUE(IsFile(Short)) << Short;
  char Long[MAX_PATH];
  ASSERT_NE(GetLongPathNameA(Short.c_str(), Long, MAX_PATH), 0u);
  EXPECT_TRUE(SameText(Long, File)) << Long;

  // A path Windows cannot shorten comes back as it was.
  EXPECT_EQ(GetShortPath(Dir + "\\not there at all.txt"), Dir + "\\not there at all.txt");
  DeleteFileA(File.c_str());
  RemoveDirectoryA(Dir.c_str());
}

const char* const ShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const CurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

struct TFolderCase {
  const char* Value;
  std::string (*Query)();
  std::function<std::string()> Fallback;
};

TEST(ShellFolders, MissingValuesFallBackToConstructedPaths) {
  const std::string Win = GetWindowsDir();
  const TFolderCase Cases[] = {
      {"Start Menu", GetStartMenuDir, [&] { return Win + "\\Startmen"; }},
      {"Desktop", GetDesktopDir, [&] { return Win + "\\Desktop"; }},
      {"Startup", GetStartupDir, [&] { return Win + "\\Startup"; }},
      // The Programs fallback builds on whatever the Start Menu is.
      {"Programs", GetProgramsDir, [] { return GetStartMenuDir() + "\\Programs"; }},
  };
  for (const TFolderCase& C : Cases) {
    TSavedRegValue Saved(hkCurrentUser, ShellFolders, C.Value);
    Saved.Delete();
    EXPECT_EQ(C.Query(), C.Fallback()) << C.Value;

    RegWriteString(hkCurrentUser, ShellFolders, C.Value, "C:\\Registered\\Folder\\");
    EXPECT_EQ(C.Query(), "C:\\Registered\\Folder") << C.Value;
    RegWriteString(hkCurrentUser, ShellFolders, C.Value, "");
    EXPECT_EQ(C.Query(), C.Fallback()) << C.Value << " (empty)";
  }
}

TEST(ShellFolders, ProgramsWithNeitherValueIsBelowTheEightCharacterStartMenu) {
  TSavedRegValue StartMenu(hkCurrentUser, ShellFolders, "Start Menu");
  TSavedRegValue Programs(hkCurrentUser, ShellFolders, "Programs");
  StartMenu.Delete();
  Programs.Delete();
  EXPECT_EQ(GetProgramsDir(), GetWindowsDir() + "\\Startmen\\Programs");
}

// Sets the current directory for the life of the object.
class TCurrentDirOverride {
 public:
  explicit TCurrentDirOverride(const std::string& Dir) {
    char Buf[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, Buf);
    FSaved = Buf;
    FOk = SetCurrentDirectoryA(Dir.c_str()) != 0;
  }
  ~TCurrentDirOverride() { SetCurrentDirectoryA(FSaved.c_str()); }
  bool Ok() const { return FOk; }

 private:
  std::string FSaved;
  bool FOk;
};

TEST(ProgramFolders, MissingValuesUseTheDriveOfTheCurrentDirectory) {
  const TFolderCase Cases[] = {
      {"ProgramFilesDir", GetProgramFilesDir, [] { return std::string("Z:\\Program Files"); }},
      {"CommonFilesDir", GetCommonFilesDir, [] { return std::string("Z:\\Program Files\\Common Files"); }},
  };
  // Wine maps Z: to the root of the host; any drive other than C: shows
  // where the fallback takes its drive from.
  TCurrentDirOverride Cwd("Z:\\");
  ASSERT_TRUE(Cwd.Ok());
  for (const TFolderCase& C : Cases) {
    TSavedRegValue Saved(hkLocalMachine, CurrentVersion, C.Value);
    ASSERT_TRUE(Saved.Existed()) << C.Value << ": Wine registers it";
    std::string Registered = C.Query();
    EXPECT_EQ(Registered.rfind("C:\\", 0), 0u) << Registered;
    Saved.Delete();
    EXPECT_EQ(C.Query(), C.Fallback()) << C.Value;
    Saved.Restore();
    EXPECT_EQ(C.Query(), Registered) << C.Value;
  }
}

// An installation reads its folders once; outside its scope every call
// reads the registry again.
TEST(ProgramFolders, AreRememberedOnlyWhileAScopeLives) {
  TSavedRegValue Saved(hkLocalMachine, CurrentVersion, "ProgramFilesDir");
  const std::string Registered = GetProgramFilesDir();
  TCurrentDirOverride Cwd("Z:\\");
  ASSERT_TRUE(Cwd.Ok());
  {
    TRegisteredFoldersKept Outer;
    EXPECT_EQ(GetProgramFilesDir(), Registered);
    {
      TRegisteredFoldersKept Inner;
      Saved.Delete();
      EXPECT_EQ(GetProgramFilesDir(), Registered);
    }
    EXPECT_EQ(GetProgramFilesDir(), Registered);
  }
  EXPECT_EQ(GetProgramFilesDir(), "Z:\\Program Files");
}

TEST(Win32Failures, TextNamesFunctionCodeAndSystemText) {
  std::string T = Win32FailureText("CreateFileA(x)", ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(T.rfind("CreateFileA(x) failed: error 2: ", 0), 0u) << T;
  EXPECT_GT(T.size(), std::string("CreateFileA(x) failed: error 2: ").size());
  EXPECT_NE(T.back(), '\n');
  EXPECT_EQ(Win32FailureText("F", 0xDEADBEEF).rfind("F failed: error 3735928559", 0), 0u);
}

}  // namespace
