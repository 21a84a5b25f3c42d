// Files in use on the two roads that remain when Windows cannot move them
// itself: the 95 family's WININIT.INI (in a process Wine reports as Windows
// 98) and the batch file run at the next start when the delayed move fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "model/cmp_TInstallFile.h"
#include "model_fixture.h"
#include "rtl/routines_Files.h"
#include "test_paths.h"
#include "test_process.h"

namespace {

const char* const RunOnceKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

TEST(FileInUse, OnThe95FamilyWininitRenamesItAtTheRestart) {
  // Wine reads the version it reports from the per-program settings when a
  // process starts: the checks run in a program of their own set to 98.
  const std::string Child = BuildTreePath("tests\\model\\test_model_family95.exe");
  ASSERT_TRUE(FileExists(Child)) << Child;
  const std::string Ini = GetWindowsDir() + "\\WININIT.INI";
  const bool IniExisted = FileExists(Ini);
  std::string Output;
  const int Code = RunAsWindowsVersion(Child, "win98", Output);
  // Nothing may be left for a restart of this prefix.
  if (!IniExisted) DeleteFileA(Ini.c_str());
  EXPECT_EQ(Code, 0) << Output;
  EXPECT_NE(Output.find("[  PASSED  ] 2 tests"), std::string::npos) << Output;
  // This process is still reported as what it was.
  EXPECT_NE(GetWindowsVersion(), wvWindows95);
}

// --- the batch-file road ------------------------------------------------------------

std::vector<std::string> QuorvaneRunOnceValues() {
  std::vector<std::string> Names, R;
  TRegKey K;
  if (K.OpenReadOnly(hkLocalMachine, RunOnceKey)) K.GetValueNames(Names);
  for (const std::string& N : Names)
    if (N.rfind("QuorvaneBatFile", 0) == 0) R.push_back(N);
  return R;
}

// Nothing may run at a restart of this prefix.
void RemoveBatchFileEntries() {
  TRegKey K;
  if (K.Open(hkLocalMachine, RunOnceKey, false))
    for (const std::string& N : QuorvaneRunOnceValues()) {
      RemoveFile(RegReadString(hkLocalMachine, RunOnceKey, N, ""));
      K.DeleteValue(N);
    }
}

struct BatchFileRoad : ::testing::Test {
  void SetUp() override {
    RemoveBatchFileEntries();
    // The delayed move is refused, as by a system without it.
    SetDelayedMoveFunction([](const std::string&, const std::string&) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return false;
    });
  }
  void TearDown() override {
    SetDelayedMoveFunction(nullptr);
    RemoveBatchFileEntries();
  }
};

TEST_F(BatchFileRoad, ABatchFileRunAtTheNextStartMovesEachFileIntoPlace) {
  TScratchDir D("qv-batchroad");
  const std::string Src = D / "src", Target = D / "target";
  ASSERT_TRUE(WriteTestFile(Src + "\\app.exe", "new program"));
  ASSERT_TRUE(WriteTestFile(Src + "\\notes.txt", "new notes"));
  Project P(GroupProject(D.Path(), Target, Src,
                         {{"App", "app.exe", "app.exe"}, {"Notes", "notes.txt", "release notes.txt"}}));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  const std::string AppDest = Target + "\\app.exe", NotesDest = Target + "\\release notes.txt";
  ASSERT_TRUE(WriteTestFile(AppDest, "old program"));
  ASSERT_TRUE(WriteTestFile(NotesDest, "old notes"));
  std::vector<HANDLE> Held;
  for (const std::string& F : {AppDest, NotesDest}) {
    Held.push_back(HoldOpen(F));
    ASSERT_NE(Held.back(), INVALID_HANDLE_VALUE) << F;
  }
  TTestInstall I(Main);
  I.Running = true;
  Main->Process();
  for (HANDLE H : Held) CloseHandle(H);

  EXPECT_TRUE(I.Reboot);
  // Each file: a batch file recorded as work of kind 1 and in RunOnce.
  ASSERT_EQ(I.Unfinished.size(), 4u);
  std::vector<std::string> Bats;
  for (const auto& U : I.Unfinished)
    if (U.second == 1) Bats.push_back(U.first);
  ASSERT_EQ(Bats.size(), 2u);
  EXPECT_EQ(I.Unfinished[1], std::make_pair(std::string("App"), 0));
  EXPECT_EQ(I.Unfinished[3], std::make_pair(std::string("Notes"), 0));
  EXPECT_EQ(RegReadString(hkLocalMachine, RunOnceKey, "QuorvaneBatFile", ""), Bats[0]);
  EXPECT_EQ(RegReadString(hkLocalMachine, RunOnceKey, "QuorvaneBatFile1", ""), Bats[1]);
  for (const std::string& B : Bats) {
    EXPECT_EQ(UpperCase(ExtractFileExt(B)), ".BAT");
    EXPECT_TRUE(FileExists(B)) << B;
  }
  // Two lines each: away with the old file, the waiting one into its place
  // under the destination's long name (quoted when it has a blank).
  const std::string AppShort = GetShortPath(AppDest), NotesShort = GetShortPath(NotesDest);
  const std::string Folder = ExtractFileDir(AppShort);
  EXPECT_EQ(ReadTestFile(Bats[0]), "erase " + AppShort + "\r\nmove " + Folder + "\\app.1 " + AppDest + "\r\n");
  EXPECT_EQ(ReadTestFile(Bats[1]), "erase " + NotesShort + "\r\nmove \"" + Folder + "\\release notes.1\" \"" +
                                       NotesDest + "\"\r\n");
  // The files keep their names; the new contents wait beside them.
  EXPECT_EQ(P.Get<TCustomInstallFile>("Notes")->DestName(), "release notes.txt");
  EXPECT_EQ(ReadTestFile(Target + "\\release notes.1"), "new notes");
  EXPECT_EQ(ReadTestFile(NotesDest), "old notes");

  // What the next start does: each batch file puts its file in place.
  for (const std::string& B : Bats) {
    std::string Out;
    EXPECT_EQ(RunWithOutput("cmd.exe /c \"" + B + "\"", Out), 0) << Out;
  }
  EXPECT_EQ(ReadTestFile(AppDest), "new program");
  EXPECT_EQ(ReadTestFile(NotesDest), "new notes");
  // Nothing else is left: no waiting file, no file under a short name.
  std::vector<std::string> Left;
  WIN32_FIND_DATAA F;
  HANDLE Find = FindFirstFileA((Target + "\\*").c_str(), &F);
  ASSERT_NE(Find, INVALID_HANDLE_VALUE);
  do
    if (!(F.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Left.push_back(F.cFileName);
  while (FindNextFileA(Find, &F));
  FindClose(Find);
  std::sort(Left.begin(), Left.end());
  EXPECT_EQ(Left, (std::vector<std::string>{"app.exe", "release notes.txt"}));
}

TEST_F(BatchFileRoad, WithoutATemporaryFolderTheRunFailsClearlyAndPromisesNothing) {
  TScratchDir D("qv-batchroad");
  const std::string Src = D / "src", Target = D / "target";
  ASSERT_TRUE(WriteTestFile(Src + "\\app.exe", "new program"));
  Project P(GroupProject(D.Path(), Target, Src, {{"App", "app.exe", "app.exe"}}));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  const std::string AppDest = Target + "\\app.exe";
  ASSERT_TRUE(WriteTestFile(AppDest, "old program"));
  HANDLE H = HoldOpen(AppDest);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  // The temporary folder points where no file can be made.
  char OldTemp[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", OldTemp, MAX_PATH);
  char OldTemp2[MAX_PATH] = {};
  GetEnvironmentVariableA("TEMP", OldTemp2, MAX_PATH);
  const std::string Nowhere = D / "no such folder";
  SetEnvironmentVariableA("TMP", Nowhere.c_str());
  SetEnvironmentVariableA("TEMP", Nowhere.c_str());
  TTestInstall I(Main);
  std::string Message;
  try {
    Main->Process();
  } catch (const Exception& E) {
    Message = E.Message();
  }
  SetEnvironmentVariableA("TMP", OldTemp);
  SetEnvironmentVariableA("TEMP", OldTemp2);
  CloseHandle(H);
  EXPECT_EQ(Message, "Cannot create a temporary file");
  // Nothing was promised for the restart.
  EXPECT_TRUE(QuorvaneRunOnceValues().empty());
  for (const auto& U : I.Unfinished) EXPECT_NE(U.second, 1) << U.first;
  EXPECT_EQ(ReadTestFile(AppDest), "old program");
}

}  // namespace
