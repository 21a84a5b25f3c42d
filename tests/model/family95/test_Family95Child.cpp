// Run by the model tests in a process that Wine reports as Windows 98 (the
// per-program "Version" of HKCU\Software\Wine\AppDefaults): on that family a
// file in use is replaced through the "Rename" section of WININIT.INI, with
// short names, instead of a delayed move.  Not run on its own.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls/cmp_TForm.h"
#include "controls/routines_ControlClasses.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "model/cmp_TInstallFile.h"
#include "model/routines_Registration.h"
#include "model_fixture.h"
#include "test_paths.h"

namespace {

struct Family95Env : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterModelClasses();
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new Family95Env);

std::string IniValue(const std::string& Ini, const std::string& Name) {
  char Buf[1024] = {};
  GetPrivateProfileStringA("Rename", Name.c_str(), "<none>", Buf, sizeof Buf, Ini.c_str());
  return Buf;
}

TEST(Family95, TheVersionQueryReportsTheFamily) {
  OSVERSIONINFOA V{};
  V.dwOSVersionInfoSize = sizeof V;
  ASSERT_TRUE(GetVersionExA(&V));
  EXPECT_EQ(V.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_EQ(GetWindowsVersion(), wvWindows95);
}

TEST(Family95, AFileInUseIsRenamedThroughWininitWithShortNames) {
  ASSERT_EQ(GetWindowsVersion(), wvWindows95) << "the process must be reported as the 95 family";
  TScratchDir D("qv-family95");
  const std::string Src = D / "Source Files", Target = D / "Target Folder";
  ASSERT_TRUE(WriteTestFile(Src + "\\library.dll", "the new library"));
  ASSERT_TRUE(WriteTestFile(Src + "\\long library.dll", "the new long one"));
  Project P(GroupProject(D.Path(), Target, Src,
                         {{"Lib", "library.dll", "library.dll"}, {"Long", "long library.dll", "long library.dll"}}));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  const std::string Dest = Target + "\\library.dll", LongDest = Target + "\\long library.dll";
  ASSERT_TRUE(WriteTestFile(Dest, "the old library"));
  ASSERT_TRUE(WriteTestFile(LongDest, "the old long one"));
  ASSERT_TRUE(WriteTestFile(Target + "\\library.1", "someone else's"));

  const std::string Ini = GetWindowsDir() + "\\WININIT.INI";
  const bool IniExisted = FileExists(Ini);
  const std::string OldShort = GetShortPath(Dest), LongShort = GetShortPath(LongDest);
  ASSERT_NE(OldShort, Dest);  // the folder's long name has a short form
  struct TIniGuard {
    std::string Ini;
    std::vector<std::string> Names;
    bool Existed;
    ~TIniGuard() {
      for (const std::string& N : Names) WritePrivateProfileStringA("Rename", N.c_str(), nullptr, Ini.c_str());
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ini.c_str());
      if (!Existed) DeleteFileA(Ini.c_str());
    }
  } Guard{Ini, {OldShort, LongShort}, IniExisted};

  HANDLE H = HoldOpen(Dest), HLong = HoldOpen(LongDest);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  ASSERT_NE(HLong, INVALID_HANDLE_VALUE);
  TTestInstall I(Main);
  I.Running = true;
  Main->Process();
  CloseHandle(H);
  CloseHandle(HLong);

  auto* Lib = P.Get<TCustomInstallFile>("Lib");
  EXPECT_TRUE(Lib->InUse);
  EXPECT_TRUE(I.Reboot);
  // The new file waits under the first free number; the old one stays.
  EXPECT_EQ(ReadTestFile(Target + "\\library.2"), "the new library");
  EXPECT_EQ(ReadTestFile(Dest), "the old library");
  // "destination = source", both in their short forms.
  EXPECT_EQ(IniValue(Ini, OldShort), ExtractFileDir(OldShort) + "\\library.2");
  EXPECT_NE(OldShort.find('~'), std::string::npos) << OldShort;
  // A waiting file with a long name is named by its short form: the long
  // one would not be known when WININIT.INI is worked through.
  const std::string Waiting = IniValue(Ini, LongShort);
  EXPECT_EQ(Waiting.find(' '), std::string::npos) << Waiting;
  char Long[MAX_PATH] = {};
  ASSERT_NE(GetLongPathNameA(Waiting.c_str(), Long, MAX_PATH), 0u) << Waiting;
  EXPECT_EQ(std::string(Long), Target + "\\long library.1");
  EXPECT_EQ(ReadTestFile(Waiting), "the new long one");
  EXPECT_EQ(P.Get<TCustomInstallFile>("Long")->DestName(), "long library.dll");
  // The registrations after the restart are still recorded.
  ASSERT_EQ(I.Unfinished.size(), 2u);
  EXPECT_EQ(I.Unfinished[0], std::make_pair(std::string("Lib"), 0));
  EXPECT_EQ(I.Unfinished[1], std::make_pair(std::string("Long"), 0));
  // No delayed move on this family.
  std::vector<uint8_t> Pending;
  TRegKey K;
  if (K.OpenReadOnly(hkLocalMachine, "\\System\\CurrentControlSet\\Control\\Session Manager") &&
      K.ReadBinary("PendingFileRenameOperations", Pending)) {
    const std::string Text = UpperCase(std::string(Pending.begin(), Pending.end()));
    EXPECT_EQ(Text.find("LIBRARY.2"), std::string::npos) << Text;
  }
}

}  // namespace
