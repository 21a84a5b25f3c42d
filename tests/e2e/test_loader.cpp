// The loading program: its trailer check, quoting and command line, and
// whole runs of the kit's QuorvaneLoadProgram.exe under Wine with a stand-in
// setup program that records how it was started.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "apps/loader/routines_Loader.h"
#include "archive/cmp_TQrvnCompress.h"
#include "rtl/cmp_TStream.h"
#include "test_paths.h"

namespace {

// --- Trailer, quoting, command line ------------------------------------------

std::string Bytes(size_t N, char C) { return std::string(N, C); }

std::string TrailerBytes(const TSelfExtractTrailer& T) {
  const auto A = EncodeSelfExtractTrailer(T);
  return std::string(A.begin(), A.end());
}

TEST(LoaderTrailer, OnlyAnArchiveBehindTheImageCounts) {
  // A loader image of 1000 bytes (sections end at 900), a setup archive of
  // 100 bytes and a files archive of 50.
  struct Case {
    const char* What;
    TSelfExtractTrailer T;
    int64_t ImageEnd;
    bool SelfExtracting;
  } Cases[] = {
      {"setup and files archive", {1000, 1099, 1100, 1149}, 900, true},
      {"setup archive only", {1000, 1099, 0, 0}, 900, true},
      {"archive starts right at the image end", {900, 1099, 0, 0}, 900, true},
      {"archive inside the image", {800, 1099, 0, 0}, 900, false},
      {"all zero (a loader that stands alone)", {0, 0, 0, 0}, 900, false},
      {"all zero, image end unknown", {0, 0, 0, 0}, 0, false},
      {"end before start", {1099, 1000, 0, 0}, 900, false},
      {"shorter than a preamble", {1000, 1003, 0, 0}, 900, false},
      {"end beyond the trailer", {1000, 1200, 0, 0}, 900, false},
      {"negative start", {-1, 1099, 0, 0}, 900, false},
      {"files archive out of range", {1000, 1099, 1100, 5000}, 900, false},
  };
  for (const Case& C : Cases) {
    TMemoryStream S;
    const std::string File = Bytes(1150, 'x') + TrailerBytes(C.T);
    S.WriteBuffer(File.data(), File.size());
    TSelfExtractTrailer Got;
    EXPECT_EQ(ReadLoaderTrailer(S, C.ImageEnd, Got), C.SelfExtracting) << C.What;
    if (C.SelfExtracting) {
      EXPECT_EQ(Got.SetupStart, C.T.SetupStart) << C.What;
    }
  }
  TMemoryStream Short;
  Short.WriteBuffer("abc", 3);
  TSelfExtractTrailer Got;
  EXPECT_FALSE(ReadLoaderTrailer(Short, 0, Got));
}

TEST(LoaderCommandLine, QuotesAsTheRuntimeSplits) {
  const std::pair<std::string, std::string> Cases[] = {
      {"C:\\Temp\\QVL1\\setup.exe", "\"C:\\Temp\\QVL1\\setup.exe\""},
      {"-sC:\\My Dist", "\"-sC:\\My Dist\""},
      {"-sC:\\", "\"-sC:\\\\\""},           // a trailing backslash must not eat the quote
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},         // backslash in front of a quote
      {"a\\\\b", "\"a\\\\b\""},             // backslashes elsewhere stay single
      {"", "\"\""},
  };
  for (const auto& C : Cases) EXPECT_EQ(QuoteArgument(C.first), C.second) << C.first;
}

TEST(LoaderCommandLine, SwitchesFollowTheDistribution) {
  TLoaderPlan SelfExtracting;
  SelfExtracting.SourceDir = "D:\\My Dist";
  SelfExtracting.SelfExtractName = "setup.exe";
  TLoaderPlan Plain;
  Plain.SourceDir = "A:";
  struct Case {
    const TLoaderPlan* Plan;
    bool ToDisk;
    const char* Expected;
  } Cases[] = {
      {&SelfExtracting, false, "\"C:\\T\\s.exe\" \"-sD:\\My Dist\" \"-esetup.exe\" -c"},
      {&SelfExtracting, true, "\"C:\\T\\s.exe\" \"-sD:\\My Dist\" \"-esetup.exe\" -c -f"},
      {&Plain, false, "\"C:\\T\\s.exe\" \"-sA:\" -c"},
      {&Plain, true, "\"C:\\T\\s.exe\" \"-sA:\" -c -f"},
  };
  for (const Case& C : Cases) {
    TLoaderPlan P = *C.Plan;
    P.ToDisk = C.ToDisk;
    EXPECT_EQ(SetupCommandLine("C:\\T\\s.exe", P), C.Expected);
  }
  EXPECT_TRUE(IsToDiskArgument("*TODISK"));
  EXPECT_TRUE(IsToDiskArgument("*todisk"));
  EXPECT_FALSE(IsToDiskArgument("TODISK"));
  EXPECT_FALSE(IsToDiskArgument("*TODISKS"));
}

// --- Whole runs -------------------------------------------------------------

std::string LoaderExe() { return BuildTreePath("kit\\QuorvaneLoadProgram.exe"); }
std::string FakeSetupExe() { return BuildTreePath("tests\\e2e\\test_loader_fake_setup.exe"); }

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> R;
  size_t P = 0;
  while (P < Text.size()) {
    size_t E = Text.find('\n', P);
    if (E == std::string::npos) E = Text.size();
    std::string L = Text.substr(P, E - P);
    if (!L.empty() && L.back() == '\r') L.pop_back();
    R.push_back(L);
    P = E + 1;
  }
  return R;
}

// Values of the record lines "key=value" with the given key, in order.
std::vector<std::string> RecordValues(const std::string& Record, const std::string& Key) {
  std::vector<std::string> R;
  for (const std::string& L : Lines(Record))
    if (L.compare(0, Key.size() + 1, Key + "=") == 0) R.push_back(L.substr(Key.size() + 1));
  return R;
}

// The loader's temporary folders that exist right now.
std::set<std::string> LoaderFolders() {
  std::set<std::string> R;
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(TempDirectory()) + "QVL*").c_str(), &D);
  if (H == INVALID_HANDLE_VALUE) return R;
  do {
    if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) R.insert(D.cFileName);
  } while (FindNextFileA(H, &D));
  FindClose(H);
  return R;
}

// Sets an environment variable for the programs the test starts; restores
// the old state at the end.
class TEnvVar {
 public:
  TEnvVar(const char* Name, const std::string& Value) : FName(Name) {
    char Buf[2048];
    const DWORD N = GetEnvironmentVariableA(Name, Buf, sizeof Buf);
    FHad = N > 0 && N < sizeof Buf;
    if (FHad) FOld.assign(Buf, N);
    SetEnvironmentVariableA(Name, Value.c_str());
  }
  ~TEnvVar() { SetEnvironmentVariableA(FName, FHad ? FOld.c_str() : nullptr); }

 private:
  const char* FName;
  bool FHad = false;
  std::string FOld;
};

struct TRun {
  bool Ended = false;
  DWORD ExitCode = 0;
};

constexpr DWORD RunTimeoutMs = 60000;

HANDLE Start(const std::string& CommandLine) {
  std::vector<char> Line(CommandLine.begin(), CommandLine.end());
  Line.push_back('\0');
  STARTUPINFOA Si{};
  Si.cb = sizeof Si;
  PROCESS_INFORMATION Pi{};
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi)) return nullptr;
  CloseHandle(Pi.hThread);
  return Pi.hProcess;
}

// Waits for a started program; one that hangs is ended and reported.
TRun Finish(HANDLE Process) {
  TRun R;
  if (!Process) return R;
  if (WaitForSingleObject(Process, RunTimeoutMs) == WAIT_OBJECT_0) {
    R.Ended = GetExitCodeProcess(Process, &R.ExitCode) != 0;
  } else {
    TerminateProcess(Process, 99);
  }
  CloseHandle(Process);
  return R;
}

TRun RunProgram(const std::string& CommandLine) { return Finish(Start(CommandLine)); }

// A member of the setup archive, made from a file of the build.
struct TMember {
  std::string Name;     // file name stored (under a build-machine folder)
  std::string Source;   // file copied; empty: Text is written
  std::string Text;
};

class LoaderRun : public ::testing::Test {
 protected:
  TScratchDir Scratch{"qv_loader_test"};
  std::string Record = Scratch / "record.txt";
  std::string TraceFile = Scratch / "trace.txt";
  TEnvVar RecordVar{"QV_FAKE_SETUP_RECORD", Record};
  TEnvVar TraceVar{"QV_LOADER_TRACE", TraceFile};
  TEnvVar QuietVar{"QV_LOADER_QUIET", "1"};
  std::set<std::string> FoldersBefore = LoaderFolders();

  // The setup archive a build makes: the setup program first, then the
  // pre-setup files, each stored with its path on the build machine.
  std::string MakeSetupArchive(const std::vector<TMember>& Members) {
    const std::string BuildMachine = Scratch / "author\\bin";
    TStrings Files;
    for (const TMember& M : Members) {
      const std::string Path = AddBackslash(BuildMachine) + M.Name;
      ForceDirectories(BuildMachine);
      if (!M.Source.empty()) {
        EXPECT_TRUE(CopyFileA(M.Source.c_str(), Path.c_str(), FALSE)) << M.Source;
      } else {
        EXPECT_TRUE(WriteTestFile(Path, M.Text));
      }
      Files.Add(Path);
    }
    const std::string Archive = Scratch / "author\\setup.1";
    TQrvnCompress Engine(nullptr);
    Engine.SetCompressedFile(Archive);
    Engine.SetFilesToProcess(Files);
    Engine.CompressFiles(false, 0);
    return ReadTestFile(Archive);
  }

  std::string StandardArchive() {
    return MakeSetupArchive({{"MySetup.exe", FakeSetupExe(), ""}, {"readme.txt", "", "read me first"}});
  }

  // loader + setup.1 + files.1 + trailer, as the build joins them.
  std::string MakeSelfExtractor(const std::string& Folder, const std::string& Setup1) {
    const std::string Loader = ReadTestFile(LoaderExe());
    const std::string Files1 = Bytes(300, 'f');  // never read by the loader
    TSelfExtractTrailer T;
    T.SetupStart = static_cast<int32_t>(Loader.size());
    T.SetupEnd = T.SetupStart + static_cast<int32_t>(Setup1.size()) - 1;
    T.FilesStart = T.SetupEnd + 1;
    T.FilesEnd = T.FilesStart + static_cast<int32_t>(Files1.size()) - 1;
    const std::string Exe = AddBackslash(Folder) + "setup.exe";
    EXPECT_TRUE(WriteTestFile(Exe, Loader + Setup1 + Files1 + TrailerBytes(T)));
    return Exe;
  }

  // A plain distribution: the loader alone as setup.exe, setup.1 beside it.
  std::string MakePlain(const std::string& Folder, const std::string& Setup1, const std::string& Tail = "") {
    const std::string Exe = AddBackslash(Folder) + "setup.exe";
    EXPECT_TRUE(WriteTestFile(Exe, ReadTestFile(LoaderExe()) + Tail));
    if (!Setup1.empty()) {
      EXPECT_TRUE(WriteTestFile(AddBackslash(Folder) + "setup.1", Setup1));
    }
    return Exe;
  }

  std::string RecordText() { return FileExists(Record) ? ReadTestFile(Record) : ""; }

  // The started program's folder must be one of the loader's and gone now.
  void ExpectTemporaryCopyGone() {
    const auto Exes = RecordValues(RecordText(), "exe");
    ASSERT_EQ(Exes.size(), 1u);
    EXPECT_EQ(ExtractFileName(Exes[0]), "MySetup.exe");
    const std::string Folder = ExtractFileDir(Exes[0]);
    EXPECT_TRUE(SameText(ExtractFileDir(Folder), TempDirectory())) << Folder;
    EXPECT_EQ(ExtractFileName(Folder).compare(0, 3, "QVL"), 0) << Folder;
    EXPECT_FALSE(DirectoryExists(Folder)) << Folder;
    EXPECT_EQ(LoaderFolders(), FoldersBefore);
  }
};

TEST_F(LoaderRun, KitHoldsTheLoaderAndTheMarker) {
  EXPECT_TRUE(FileExists(LoaderExe()));
  EXPECT_TRUE(FileExists(BuildTreePath("kit\\Q32V35.TXT")));
}

TEST_F(LoaderRun, SelfExtractingFileStartsTheSetupProgramWithItsSwitches) {
  const std::string Dist = Scratch / "My Dist";
  const std::string Exe = MakeSelfExtractor(Dist, StandardArchive());
  struct Case {
    const char* Args;
    const char* ExitCode;
    std::vector<std::string> Switches;
  } Cases[] = {
      {"", "0", {"-s" + Dist, "-esetup.exe", "-c"}},
      {" *TODISK", "37", {"-s" + Dist, "-esetup.exe", "-c", "-f"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Args);
    RemoveFile(Record);
    RemoveFile(TraceFile);
    TEnvVar Exit("QV_FAKE_SETUP_EXIT", C.ExitCode);
    const TRun R = RunProgram(QuoteArgument(Exe) + C.Args);
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, static_cast<DWORD>(std::atoi(C.ExitCode)));
    const std::string Rec = RecordText();
    EXPECT_EQ(RecordValues(Rec, "arg"), C.Switches);
    // Every member was unpacked beside the setup program.
    const auto Files = RecordValues(Rec, "file");
    EXPECT_EQ(std::set<std::string>(Files.begin(), Files.end()),
              (std::set<std::string>{"MySetup.exe", "readme.txt"}));
    ExpectTemporaryCopyGone();
    // The trace holds exactly the command line that was started.
    const auto Exes = RecordValues(Rec, "exe");
    ASSERT_EQ(Exes.size(), 1u);
    TLoaderPlan P;
    P.SourceDir = Dist;
    P.SelfExtractName = "setup.exe";
    P.ToDisk = std::string(C.Args) == " *TODISK";
    EXPECT_EQ(Lines(ReadTestFile(TraceFile)), std::vector<std::string>{SetupCommandLine(Exes[0], P)});
  }
}

TEST_F(LoaderRun, PlainDistributionUnpacksSetup1BesideTheLoader) {
  const std::string Dist = Scratch / "plain";
  // The loader standing alone, and one followed by bytes that cannot be a
  // trailer: both read setup.1 beside them.
  const std::pair<std::string, std::string> Tails[] = {{"loader alone", ""},
                                                       {"garbage tail", Bytes(56, '\xff')}};
  for (const auto& T : Tails) {
    SCOPED_TRACE(T.first);
    RemoveFile(Record);
    const std::string Exe = MakePlain(Dist, StandardArchive(), T.second);
    const TRun R = RunProgram(QuoteArgument(Exe) + " *todisk");
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, 0u);
    EXPECT_EQ(RecordValues(RecordText(), "arg"), (std::vector<std::string>{"-s" + Dist, "-c", "-f"}));
    ExpectTemporaryCopyGone();
  }
}

TEST_F(LoaderRun, WhatTheSetupProgramLeftIsRemovedToo) {
  const std::string Exe = MakeSelfExtractor(Scratch / "dist", StandardArchive());
  TEnvVar Litter("QV_FAKE_SETUP_LITTER", "1");
  const TRun R = RunProgram(QuoteArgument(Exe));
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u);
  ExpectTemporaryCopyGone();
}

TEST_F(LoaderRun, FolderIsRemovedOnceALockedFileIsFree) {
  const std::string Exe = MakeSelfExtractor(Scratch / "dist", StandardArchive());
  TEnvVar Hold("QV_FAKE_SETUP_HOLD", "1");
  const TRun R = RunProgram(QuoteArgument(Exe));
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u);
  ExpectTemporaryCopyGone();
}

// A setup program that asked for a restart resumes from its temporary copy:
// the copy must still be there when the RunOnce command runs.
TEST_F(LoaderRun, CopyStaysWhileARestartRefersToIt) {
  const char* const ValueName = "QvLoaderTestResume";
  struct TRunOnceValue {
    const char* Name;
    ~TRunOnceValue() {
      HKEY K;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0,
                        KEY_SET_VALUE, &K) == ERROR_SUCCESS) {
        RegDeleteValueA(K, Name);
        RegCloseKey(K);
      }
    }
  } Cleanup{ValueName};
  const std::string Exe = MakeSelfExtractor(Scratch / "dist", StandardArchive());
  TEnvVar Resume("QV_FAKE_SETUP_RUNONCE", ValueName);
  const TRun R = RunProgram(QuoteArgument(Exe));
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u);
  const auto Exes = RecordValues(RecordText(), "exe");
  ASSERT_EQ(Exes.size(), 1u);
  EXPECT_TRUE(FileExists(Exes[0]));
  // The copy that stays is the archive's, byte for byte and with the dates
  // it was stored with (two-second stamps).
  const std::string Copy = ExtractFileDir(Exes[0]);
  EXPECT_EQ(ReadTestFile(Exes[0]), ReadTestFile(FakeSetupExe()));
  EXPECT_EQ(ReadTestFile(AddBackslash(Copy) + "readme.txt"), "read me first");
  double Stored = 0, Unpacked = 0;
  ASSERT_TRUE(FileAge(FakeSetupExe(), Stored) && FileAge(Exes[0], Unpacked));
  EXPECT_LE(std::abs(Unpacked - Stored) * 86400.0, 2.0);
  RemoveTree(Copy);
}

TEST_F(LoaderRun, DamagedOrMissingArchiveStopsWithAMessageAndLeavesNothing) {
  const std::string Good = StandardArchive();
  std::string CorruptData = Good;
  for (size_t i = 5 + 172 + 20; i < 5 + 172 + 60; ++i) CorruptData[i] = static_cast<char>(CorruptData[i] ^ 0x5a);
  std::string Empty(5, '\0');
  const char* const Unreadable =
      "(Could not read the file headers for the compressed file. The Archive file could possible be corrupt: ";
  struct Case {
    const char* What;
    bool SelfExtracting;
    std::string Setup1;  // plain: empty = no setup.1 at all
    size_t Cut = 0;      // bytes cut off the end of the self-extracting file
    const char* Reason = "";  // the reason the message gives, in part
  } Cases[] = {
      {"missing setup.1", false, "", 0, "cannot be found"},
      {"truncated in the member data", false, Good.substr(0, Good.size() / 2), 0, Unreadable},
      {"truncated in the first header", false, Good.substr(0, 40), 0, Unreadable},
      {"no members", false, Empty, 0, "(it holds no files)"},
      {"not an archive", false, Bytes(400, 'z'), 0, Unreadable},
      {"corrupt member data", false, CorruptData, 0, "(MySetup.exe cannot be unpacked from "},
      {"self-extracting, corrupt member data", true, CorruptData, 0, "(MySetup.exe cannot be unpacked from "},
      {"self-extracting, truncated archive", true, Good.substr(0, 100), 0, Unreadable},
      // A download cut short: without its trailer the file is no loader of
      // a plain distribution either, and no setup.1 lies beside it.
      {"self-extracting, its end cut off", true, Good, 30, "(its end is missing or damaged)"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    const std::string Dist = Scratch / "damaged";
    RemoveTree(Dist);
    RemoveFile(TraceFile);
    const std::string Exe = C.SelfExtracting ? MakeSelfExtractor(Dist, C.Setup1) : MakePlain(Dist, C.Setup1);
    if (C.Cut) {
      const std::string Whole = ReadTestFile(Exe);
      WriteTestFile(Exe, Whole.substr(0, Whole.size() - C.Cut));
    }
    const TRun R = RunProgram(QuoteArgument(Exe));
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, static_cast<DWORD>(LoaderFailedExitCode));
    const auto Trace = Lines(ReadTestFile(TraceFile));
    ASSERT_FALSE(Trace.empty());
    // One message naming the archive, and nothing started.
    ASSERT_EQ(Trace.size(), 1u);
    const std::string Archive = C.SelfExtracting ? Exe : AddBackslash(Dist) + "setup.1";
    // The user of a self-extracting file has that file only: he is told to
    // get it again.
    const std::string Ending = C.SelfExtracting ? "Please download or copy it again." : "Setup cannot continue.";
    EXPECT_EQ(Trace[0].compare(0, 9, "message: "), 0) << Trace[0];
    EXPECT_NE(Trace[0].find(" " + Archive + " "), std::string::npos) << Trace[0];
    EXPECT_EQ(Trace[0].compare(Trace[0].size() - Ending.size(), Ending.size(), Ending), 0) << Trace[0];
    EXPECT_NE(Trace[0].find(C.Reason), std::string::npos) << Trace[0];
    EXPECT_EQ(RecordText(), "");  // the setup program never ran
    EXPECT_EQ(LoaderFolders(), FoldersBefore);
  }
}

TEST_F(LoaderRun, MessageBoxWaitsForTheUser) {
  TEnvVar Loud("QV_LOADER_QUIET", "");
  const std::string Exe = MakePlain(Scratch / "nothing", "");
  HANDLE Loader = Start(QuoteArgument(Exe));
  ASSERT_NE(Loader, nullptr);
  const TRun Click = RunProgram(QuoteArgument(BuildTreePath("tests\\qvauto.exe")) + " click Setup OK 30");
  const TRun R = Finish(Loader);
  ASSERT_TRUE(Click.Ended);
  EXPECT_EQ(Click.ExitCode, 0u);
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, static_cast<DWORD>(LoaderFailedExitCode));
  EXPECT_EQ(LoaderFolders(), FoldersBefore);
}

}  // namespace
