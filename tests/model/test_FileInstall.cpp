// File groups nested two levels deep, compressed into archives by Compress
// and installed by Process into a fresh target folder under Wine: contents,
// dates, overwrite rules, progress totals, files in use, self-registration,
// shared-library counts, help entries and the uninstall record.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "archive/cmp_TFileHeaders.h"
#include "archive/cmp_TQrvnCompress.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/cmp_TUninstallEXE.h"
#include "model_fixture.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "test_paths.h"

#undef CopyFile

namespace {

const std::string UninstallKey = UninstallKeyFor("Test product");

std::string Bytes(size_t N, unsigned Seed) {
  std::string S(N, '\0');
  for (size_t i = 0; i < N; ++i) S[i] = static_cast<char>((i * 31 + Seed * 7 + (i >> 7)) & 0xFF);
  return S;
}

// Sources: three files at the top, two in a group, one in a group inside it.
struct Sources {
  TScratchDir Dir{"qv-fileinstall"};
  std::map<std::string, std::string> Content;
  Sources() {
    Content = {{"top1.txt", "hello top"},
               {"top2.bin", Bytes(200000, 1)},
               {"empty.dat", ""},
               {"g1a.txt", std::string(70000, 'a')},
               {"g1b.bin", Bytes(5000, 2)},
               {"g2a.txt", "deep file"}};
    for (const auto& KV : Content) EXPECT_TRUE(WriteTestFile(Dir / ("src\\" + KV.first), KV.second));
  }
  std::string Src() const { return Dir / "src"; }
  std::string Target() const { return Dir / "target"; }
  std::string Build() const { return Dir / "build"; }
};

const char* const TreeText = R"(
  object Main: TInstallFileGroup
    ArchiveFile = '$BUILD\files.1'
    DestDir = '$TARGET'
  end
  object G1: TInstallFileGroup
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    DestDir = '\g1'
    InstallTypes = [itFull]
  end
  object G2: TInstallFileGroup
    Container = G1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    DestDir = '\g2'
  end
  object Top1: TInstallFile
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'top1.txt'
    DestName = 'top1.txt'
    IncludeFromDir = '$SRC'
  end
  object Top2: TInstallFile
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'top2.bin'
    DestName = 'renamed.bin'
    IncludeFromDir = '$SRC'
  end
  object Empty: TInstallFile
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'empty.dat'
    DestName = 'empty.dat'
    IncludeFromDir = '$SRC'
  end
  object G1a: TInstallFile
    Container = G1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'g1a.txt'
    DestName = 'g1a.txt'
    IncludeFromDir = '$SRC'
  end
  object G1b: TInstallFile
    Container = G1
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'g1b.bin'
    DestName = 'g1b.bin'
    IncludeFromDir = '$SRC'
  end
  object G2a: TInstallFile
    Container = G2
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'g2a.txt'
    DestName = 'g2a.txt'
    IncludeFromDir = '$SRC'
  end
)";

std::string TreeFor(const Sources& S, const std::string& Extra = "") {
  return Substitute(TreeText + Extra, {{"BUILD", S.Build()}, {"TARGET", S.Target()}, {"SRC", S.Src()}});
}

void DeleteValue(TRootKeys Root, const std::string& Key, const std::string& Name) {
  TRegKey K;
  if (K.Open(Root, Key, false)) K.DeleteValue(Name);
}

struct FileInstall : ::testing::Test {
  void SetUp() override {
    RegDeleteKeyTree(hkLocalMachine, UninstallKey);
    QrvnCompress().SetAbort(false);
  }
  void TearDown() override { RegDeleteKeyTree(hkLocalMachine, UninstallKey); }
};

TEST_F(FileInstall, CompressedTreeInstallsWithContentsAndDates) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  // Groups below the main one share its archive: one file holds all six.
  TQrvnCompress Reader(nullptr);
  Reader.SetCompressedFile(S.Build() + "\\files.1");
  EXPECT_EQ(Reader.FileCount(), 6);
  for (const char* N : {"Top1", "Top2", "Empty", "G1a", "G1b", "G2a"})
    EXPECT_EQ(P.Get<TCustomInstallFile>(N)->CompressState, 2) << N;

  TTestInstall I(Main);
  I.Running = true;
  Main->SelectInstallType(itFull);
  std::vector<int> Totals;
  Main->OnStatus = [&](TCustomInstallFile*, int32_t, int32_t Total) { Totals.push_back(Total); };
  Main->Process();

  const std::map<std::string, std::string> Where = {
      {"top1.txt", "top1.txt"},   {"renamed.bin", "top2.bin"},    {"empty.dat", "empty.dat"},
      {"g1\\g1a.txt", "g1a.txt"}, {"g1\\g1b.bin", "g1b.bin"},    {"g1\\g2\\g2a.txt", "g2a.txt"}};
  for (const auto& KV : Where) {
    EXPECT_EQ(ReadTestFile(S.Target() + "\\" + KV.first), S.Content.at(KV.second)) << KV.first;
    double Src = 0, Dst = 0;
    ASSERT_TRUE(FileAge(S.Src() + "\\" + KV.second, Src));
    ASSERT_TRUE(FileAge(S.Target() + "\\" + KV.first, Dst));
    EXPECT_NEAR(Src, Dst, 2.5 / 86400) << KV.first;  // the two-second stamp
  }
  ASSERT_FALSE(Totals.empty());
  EXPECT_EQ(Totals.back(), 100);
  for (size_t i = 1; i < Totals.size(); ++i) EXPECT_GE(Totals[i], Totals[i - 1]);

  // The uninstall record lists every installed file.
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "Entries", ""), "6");
  // Groups install before files: the deepest group's file comes first.
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "File1", ""),
            S.Target() + "\\g1\\g2\\g2a.txt");
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "File4", ""),
            S.Target() + "\\top1.txt");
}

TEST_F(FileInstall, ExcludedGroupsAndUnselectedTypesStayOut) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  P.Get<TFileContainer>("G2")->Include = false;
  Main->SelectInstallType(itCompact);  // G1 is for itFull only
  TTestInstall I(Main);
  Main->Process();
  EXPECT_TRUE(FileExists(S.Target() + "\\top1.txt"));
  EXPECT_FALSE(DirectoryExists(S.Target() + "\\g1"));
  EXPECT_EQ(Main->TotalSize, static_cast<int32_t>(9 + 200000 + 0));
}

TEST_F(FileInstall, OverwriteModesAgainstExistingFiles) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  auto* Top1 = P.Get<TCustomInstallFile>("Top1");
  const std::string Dest = S.Target() + "\\top1.txt";
  struct Case {
    TOverwriteType Mode;
    double ExistingAge;  // days relative to the archived file; 0 = same stamp
    bool Replaced;
  } Cases[] = {
      {owAlways, +10, true}, {owNever, -10, false},  {owDate, -10, true},
      {owDate, +10, false},  {owVersion, -10, false},  // no versions on either side: equal
      {owVersionDate, -10, true}, {owVersionDate, +10, false},
  };
  for (const Case& C : Cases) {
    ASSERT_TRUE(WriteTestFile(Dest, "existing"));
    double Archived = 0;
    FileAge(S.Src() + "\\top1.txt", Archived);
    FileSetDate(Dest, Archived + C.ExistingAge);
    Top1->OverwriteMode = C.Mode;
    std::vector<int32_t> Kept;
    Main->OnStatus = [&](TCustomInstallFile* F, int32_t FilePct, int32_t) {
      if (F == Top1) Kept.push_back(FilePct);
    };
    TTestInstall I(Main);
    Main->Process();
    EXPECT_EQ(ReadTestFile(Dest), C.Replaced ? "hello top" : "existing") << C.Mode << " " << C.ExistingAge;
    EXPECT_EQ(Top1->WillReplace, C.Replaced);
    // A kept file still moves the progress on, reported as done.
    if (!C.Replaced) {
      EXPECT_EQ(Kept, std::vector<int32_t>{100});
    }
  }
}

TEST_F(FileInstall, SharedCountsHelpEntriesAndKeptFilesStillCount) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  auto* Top1 = P.Get<TCustomInstallFile>("Top1");
  Top1->UpdateDLLCounter = true;
  Top1->RegisterAsHelp = true;
  const std::string Dest = S.Target() + "\\top1.txt";
  const std::string SharedKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  TTestInstall I(Main);
  Main->Process();
  const std::string Short = GetShortPath(Dest);
  EXPECT_EQ(RegReadInteger(hkLocalMachine, SharedKey, Dest, -1) + RegReadInteger(hkLocalMachine, SharedKey, Short, -1),
            Short == Dest ? 2 : 0);  // one value, 1; read twice when the names agree
  int32_t Count = RegReadInteger(hkLocalMachine, SharedKey, Dest, 0);
  if (Count == 0) Count = RegReadInteger(hkLocalMachine, SharedKey, Short, 0);
  EXPECT_EQ(Count, 1);
  EXPECT_EQ(RegReadString(hkLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\Help", "TOP1.TXT", ""), S.Target());
  // Kept by owNever: the count still goes up for another product (this
  // one's record lists the file already and counts it once).
  Top1->OverwriteMode = owNever;
  RegDeleteKeyTree(hkLocalMachine, UninstallKeyFor(I.ProductName()));
  Main->Process();
  Count = RegReadInteger(hkLocalMachine, SharedKey, Dest, 0);
  if (Count == 0) Count = RegReadInteger(hkLocalMachine, SharedKey, Short, 0);
  EXPECT_EQ(Count, 2);
  DeleteValue(hkLocalMachine, SharedKey, Dest);
  DeleteValue(hkLocalMachine, SharedKey, Short);
  DeleteValue(hkLocalMachine, "\\SOFTWARE\\Microsoft\\Windows\\Help", "TOP1.TXT");
}

TEST_F(FileInstall, AFileInUseWaitsUnderANumberedNameUntilTheRestart) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  const std::string Dest = S.Target() + "\\top1.txt";
  ASSERT_TRUE(WriteTestFile(Dest, "old"));
  ASSERT_TRUE(WriteTestFile(S.Target() + "\\top1.1", "taken"));
  // Held open without delete sharing: it cannot be deleted now.
  HANDLE H = CreateFileA(Dest.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  TTestInstall I(Main);
  Main->Process();
  CloseHandle(H);
  auto* Top1 = P.Get<TCustomInstallFile>("Top1");
  EXPECT_TRUE(Top1->InUse);
  EXPECT_EQ(ReadTestFile(S.Target() + "\\top1.2"), "hello top");
  EXPECT_EQ(ReadTestFile(Dest), "old");
  // Once extracted, the file goes by its destination name again: the
  // uninstall record names the file that is there after the restart.
  EXPECT_EQ(Top1->DestName(), "top1.txt");
  std::vector<std::string> Recorded;
  const int Entries = StrToIntDef(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "Entries", "0"), 0);
  for (int i = 1; i <= Entries; ++i)
    Recorded.push_back(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "File" + std::to_string(i), ""));
  EXPECT_NE(std::find(Recorded.begin(), Recorded.end(), Dest), Recorded.end());
  EXPECT_EQ(std::find(Recorded.begin(), Recorded.end(), S.Target() + "\\top1.2"), Recorded.end());
  EXPECT_TRUE(I.Reboot);
  ASSERT_EQ(I.Unfinished.size(), 1u);
  EXPECT_EQ(I.Unfinished[0], std::make_pair(std::string("Top1"), 0));
  // Windows NT keeps the move for the restart.
  std::vector<uint8_t> Pending;
  TRegKey K;
  ASSERT_TRUE(K.OpenReadOnly(hkLocalMachine, "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager"));
  ASSERT_TRUE(K.ReadBinary("PendingFileRenameOperations", Pending));
  // Read through the ANSI interface: the multi-string comes back narrow.
  std::string Text(Pending.begin(), Pending.end());
  EXPECT_NE(Text.find("top1.2"), std::string::npos) << Text;
  // Take the pending move back: the test does not restart this prefix.
  MoveFileExA((S.Target() + "\\top1.2").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  K.Close();
  TRegKey W;
  if (W.Open(hkLocalMachine, "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager", false))
    W.DeleteValue("PendingFileRenameOperations");
}

TEST_F(FileInstall, SelfRegistrationOfLibrariesAndProgramsAndQueuedFailures) {
  Sources S;
  const std::string Fixtures = BuildTreePath("tests\\model\\selfreg-fixtures");
  ASSERT_TRUE(FileExists(Fixtures + "\\selfreg_ok.dll"));
  Project P(TreeFor(S, Substitute(R"(
  object Lib: TInstallFile
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'selfreg_ok.dll'
    DestName = 'selfreg_ok.dll'
    IncludeFromDir = '$FIX'
    ActiveX = True
  end
  object Prog: TInstallFile
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'selfreg_exe.exe'
    DestName = 'selfreg_exe.exe'
    IncludeFromDir = '$FIX'
    ActiveX = True
  end
  object Bad: TInstallFile
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'selfreg_fail.dll'
    DestName = 'selfreg_fail.dll'
    IncludeFromDir = '$FIX'
    ActiveX = True
  end
)", {{"FIX", Fixtures}})));
  RegDeleteKeyTree(hkCurrentUser, "\\Software\\QuorvaneTest");
  FailedRegistrationList().Clear();
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  TTestInstall I(Main);
  I.Running = true;  // failures are queued, not raised
  Main->Process();
  EXPECT_EQ(RegReadString(hkCurrentUser, "\\Software\\QuorvaneTest\\SelfReg", "Dll", ""),
            S.Target() + "\\selfreg_ok.dll");
  // The program registers itself in a process of its own.
  for (int i = 0; i < 50 && RegReadString(hkCurrentUser, "\\Software\\QuorvaneTest\\SelfReg", "Exe", "").empty(); ++i)
    Sleep(100);
  EXPECT_EQ(RegReadString(hkCurrentUser, "\\Software\\QuorvaneTest\\SelfReg", "Exe", ""),
            S.Target() + "\\selfreg_exe.exe");
  ASSERT_EQ(FailedRegistrationList().Count(), 1);
  EXPECT_EQ(FailedRegistrationList().Items(0)->Name(), "Bad");
  // The uninstall record: ActiveX entries, the program marked with 1.
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\ActiveX", "Entries", ""), "3");
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\ActiveX", "File2", ""),
            S.Target() + "\\selfreg_exe.exe;1");
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\ActiveX", "File1", ""),
            S.Target() + "\\selfreg_ok.dll;0");

  // Outside a run the failure is raised with its message.
  I.Running = false;
  try {
    P.Get<TCustomInstallFile>("Bad")->RegisterActiveXLibrary();
    FAIL();
  } catch (const IECustomInstallFile& E) {
    EXPECT_NE(E.Message().find("because the DllRegisterServer function returned a value of"), std::string::npos)
        << E.Message();
  }
  FailedRegistrationList().Clear();
  RegDeleteKeyTree(hkCurrentUser, "\\Software\\QuorvaneTest");
}

TEST_F(FileInstall, FilePropertiesFollowTheExtensionRules) {
  TScratchDir D("qv-fileprops");
  Project P(R"(
  object Main: TInstallFileGroup
  end
  object F: TInstallFile
    Container = Main
  end
)");
  auto* F = P.Get<TCustomInstallFile>("F");
  F->SetIncludeFromDir(D.Path());
  F->SetFileName("Control.ocx");
  EXPECT_TRUE(F->ActiveX());
  EXPECT_EQ(F->FileType(), iftSystemWideDLL);
  EXPECT_EQ(F->DestDirType(), StandardSpecifier<TpsSystem>());
  EXPECT_EQ(F->DestDir(), "");
  EXPECT_TRUE(F->UpdateDLLCounter);
  EXPECT_EQ(F->OverwriteMode, owVersionDate);
  EXPECT_EQ(F->DestName(), "Control.ocx");
  F->SetFileName("help.CnT");
  EXPECT_TRUE(F->RegisterAsHelp);

  auto* G = new TInstallFile(P.Form);
  G->SetIncludeFromDir(D.Path());
  try {
    G->SetFileName("help.CnT");
    G->SetContainer(P["Main"]);
    FAIL() << "a second file with the same source was accepted";
  } catch (const IEfcDuplicateFile& E) {
    EXPECT_EQ(E.Message(), "There is already a file with the name :" + D.Path() + "\\help.CnT");
  }
  try {
    G->SetContainer(P.Get<TInstallContainer>("F"));
    FAIL();
  } catch (const IECustomInstallFile& E) {
    EXPECT_EQ(E.Message(),
              "The following TInstallFile component help.CnT requires the Container property to be a "
              "component descended from the TFileContainer component");
  }
}

TEST_F(FileInstall, BadInputGivesClearMessagesAndKeepsWhatWasInstalled) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  TTestInstall I(Main);
  Main->Process();
  const std::string Kept = ReadTestFile(S.Target() + "\\top1.txt");

  // A source that is gone when the build reads it.
  RemoveFile(S.Src() + "\\g2a.txt");
  try {
    Main->Compress(coForceNetFilesLocal);
    FAIL();
  } catch (const IECustomInstallFile& E) {
    EXPECT_EQ(E.Message(), "Could not open or find the following file when trying to read the Size, "
                           "Date, and Version :" + S.Src() + "\\g2a.txt");
  }
  EXPECT_EQ(ReadTestFile(S.Target() + "\\top1.txt"), Kept);
  // Every object's archive settings are back after the failure.
  EXPECT_EQ(P.Get<TFileRelated>("G2a")->ArchiveFileType(), StandardSpecifier<TpsContainerArchiveFile>());

  auto* Top1 = P.Get<TCustomInstallFile>("Top1");
  Top1->RawSetArchive("  ", nullptr);
  try {
    Top1->CompressFile();
    FAIL();
  } catch (const IECustomInstallFile& E) {
    EXPECT_EQ(E.Message(), "Cannot either compress or decompress the following file because it's archive "
                           "file property is blank. File is :top1.txt");
  }
  Top1->RawSetArchive("", StandardSpecifier<TpsContainerArchiveFile>());
  Top1->SetDestDirType(nullptr);
  Top1->SetDestDir("");
  try {
    Top1->InstallObjects();
    FAIL();
  } catch (const IECustomInstallFile& E) {
    EXPECT_EQ(E.Message(), "Cannot compress,copy, or install the following file because it's destination "
                           "directory is blank. File is :Top1");
  }
  // A header the archive does not have leaves the file's information alone.
  Top1->FileSize = 1234;
  Top1->SetUniqueID(1999);
  Top1->ReadInfoFromArchive();
  EXPECT_EQ(Top1->FileSize, 1234);
}

// The file being replaced comes back when its new version cannot be
// extracted, and nothing of the attempt stays beside it.
TEST_F(FileInstall, AFailedReplacementGivesTheOldFileBack) {
  Sources S;
  Project P(TreeFor(S));
  auto* Main = P.Get<TFileContainer>("Main");
  Main->Compress(coForceNetFilesLocal);
  TTestInstall I(Main);
  Main->Process();
  const std::string Dest = S.Target() + "\\top1.txt";
  ASSERT_TRUE(WriteTestFile(Dest, "the version the user has"));

  // The member's compressed data damaged in the archive.
  auto* Top1 = P.Get<TCustomInstallFile>("Top1");
  const std::string Archive = Top1->GetArchivePath();
  TFileHeaders H;
  {
    TFileStream In(Archive, TFileMode::fmOpenRead);
    H.ReadFromStream(In, 0);
  }
  const int Member = H.IndexOfName(S.Src() + "\\top1.txt");
  ASSERT_GE(Member, 0);
  const TFileHeaderRecord R = H.GetFileHeaders(Member).Rec;
  {
    TFileStream Out(Archive, TFileMode::fmOpenReadWrite);
    Out.SetPosition(R.DataStart + 2);
    const std::string Garbage(static_cast<size_t>(R.EndPos - R.DataStart - 2), '\xA5');
    Out.WriteBuffer(Garbage.data(), Garbage.size());
  }
  EXPECT_THROW(Top1->InstallObjects(), Exception);
  // Names beginning with the file's own, other than the file itself.
  auto Beside = [&] {
    std::string Names;
    for (const std::string& N : FolderNames(S.Target(), "top1.txt*"))
      if (N != "top1.txt") Names += N + " ";
    return Names;
  };
  EXPECT_EQ(ReadTestFile(Dest), "the version the user has");
  EXPECT_EQ(Beside(), "");

  // A replacement that works leaves no copy either.
  Main->Compress(coForceNetFilesLocal);
  Top1->InstallObjects();
  EXPECT_EQ(ReadTestFile(Dest), ReadTestFile(S.Src() + "\\top1.txt"));
  EXPECT_EQ(Beside(), "");
}

TEST_F(FileInstall, UninstallerRecordsItselfButNotAmongTheFiles) {
  Sources S;
  Project P(TreeFor(S, R"(
  object Uninstall: TUninstallEXE
    Container = Main
    ArchiveFileType = psContainerArchiveFile
    DestDirType = psContainerDestDir
    FileName = 'g2a.txt'
    DestName = 'uninstall.exe'
    IncludeFromDir = '$SRC'
  end
)"));
  auto* Main = P.Get<TFileContainer>("Main");
  EXPECT_TRUE(P.Get<TCustomInstallFile>("Uninstall")->Net());
  Main->Compress(coForceNetFilesLocal);
  {
    TTestInstall I(Main);
    Main->SelectInstallType(itFull);
    Main->Process();
  }
  EXPECT_EQ(ReadTestFile(S.Target() + "\\uninstall.exe"), "deep file");
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey, "DisplayName", ""), "Test product");
  // The program quoted, the product name following unquoted, blanks and all.
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey, "UninstallString", ""),
            "\"" + S.Target() + "\\uninstall.exe\" Test product");
  EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey, "QuietUninstallString", ""),
            "\"" + S.Target() + "\\uninstall.exe\" /VERYSILENT Test product");
  const int N = StrToIntDef(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "Entries", ""), 0);
  EXPECT_EQ(N, 6);
  for (int i = 1; i <= N; ++i)
    EXPECT_EQ(RegReadString(hkLocalMachine, UninstallKey + "\\Files", "File" + std::to_string(i), "")
                  .find("uninstall.exe"),
              std::string::npos);
  // Without an install component it says so.
  try {
    P.Get<TCustomInstallFile>("Uninstall")->WriteUninstallInfo(UninstallKey);
    FAIL();
  } catch (const IEUninstallEXE& E) {
    EXPECT_EQ(E.Message(), "Uninstall could not write information about the uninstall to the registry "
                           "because there was no TInstall component");
  }
}

}  // namespace
