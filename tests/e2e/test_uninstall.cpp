// The uninstaller under Wine: its command line and record reading, shared
// counts and folder removal, and whole removals — of a record written by
// hand (links, registry values, self-registered components) and of products
// that qvc compiled, "-b" built and the self-extracting setup.exe installed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "apps/uninstall/routines_Uninstall.h"
#include "archive/cmp_TFileHeaders.h"
#include "records/routines_UninstallRecord.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "environment/routines_RegistryStore.h"
#include "rtl/routines_Format.h"
#include "test_paths.h"
#include "test_uninstall_support.h"

namespace {

const char* const SharedDlls = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* const HelpKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";

TProgramRun RunUninstaller(const std::string& Args) {
  return RunCaptured(Quote(KitProgram("uninstall.exe")) + " " + Args);
}

// Saves the pending renames and puts them back, so that nothing this test
// scheduled happens at some later restart of the prefix.
class TPendingRenamesGuard {
 public:
  ~TPendingRenamesGuard() { RestorePendingRenames(FSaved, FExisted); }

 private:
  bool FExisted = PendingRenamesExist();
  std::string FSaved = PendingRenames();
};

// --- the pieces ------------------------------------------------------------------------------

TEST(UninstallCommandLine, TheProductIsTheRestOfTheLine) {
  struct Case {
    const char* Line;
    bool Silent;
    const char* Product;
  } Cases[] = {
      {"C:\\App\\uninstall.exe My Product", false, "My Product"},
      // As the uninstall record starts it: unquoted, blanks in the folder.
      {"C:\\Program Files\\My Product\\uninstall.exe My Product", false, "My Product"},
      {"C:\\Program Files\\My Product\\UNINSTALL.EXE /S My Product", true, "My Product"},
      {"\"C:\\Program Files\\P\\uninstall.exe\"   My  Product 2.0  ", false, "My  Product 2.0"},
      {"uninstall.exe /S My Product", true, "My Product"},
      {"uninstall.exe -s My Product", true, "My Product"},
      {"uninstall.exe /Sample Product", false, "/Sample Product"},
      {"uninstall.exe \"Quoted Name\"", false, "Quoted Name"},
      {"uninstall.exe /s", true, ""},
      {"uninstall.exe", false, ""},
      {"uninstall My Product", false, "My Product"},
  };
  for (const Case& C : Cases) {
    bool Silent = !C.Silent;
    std::string Product = "?";
    ParseUninstallCommandLine(C.Line, Silent, Product);
    EXPECT_EQ(Silent, C.Silent) << C.Line;
    EXPECT_EQ(Product, C.Product) << C.Line;
  }
}

TEST(UninstallCommandLine, TheAdministratorsSwitchesStandInFrontOfTheName) {
  struct Case {
    const char* Line;
    bool Silent, VerySilent, Log;
    const char* LogFile;
    const char* Product;
  } Cases[] = {
      {"\"C:\\P Q\\uninstall.exe\" /SILENT My Product", true, false, false, "", "My Product"},
      {"uninstall.exe /verysilent /LOG My Product", false, true, true, "", "My Product"},
      {"uninstall.exe /LOG=\"C:\\My Logs\\u.txt\" /S My Product", false, true, true, "C:\\My Logs\\u.txt", "My Product"},
      // An unknown switch is the start of the name, as before.
      {"uninstall.exe /SILENT /Sample Product", true, false, false, "", "/Sample Product"},
  };
  for (const Case& C : Cases) {
    TRunOptions O;
    std::string Product;
    ParseUninstallCommandLine(C.Line, O, Product);
    EXPECT_EQ(O.Silent, C.Silent) << C.Line;
    EXPECT_EQ(O.VerySilent, C.VerySilent) << C.Line;
    EXPECT_EQ(O.Log, C.Log) << C.Line;
    EXPECT_EQ(O.LogFile, C.LogFile) << C.Line;
    EXPECT_EQ(Product, C.Product) << C.Line;
  }
}

TEST(UninstallRecordLayout, NamesEntriesAndUninstallString) {
  const struct {
    const char* Name;
    const char* Prefix;
    bool Bare;
    int Number;
  } Names[] = {
      {"Files", "Files", true, 0},  {"files12", "Files", true, 12}, {"Files", "Files", false, -1},
      {"File3", "File", false, 3},  {"FileX", "File", false, -1},   {"Entries", "File", false, -1},
      {"File-1", "File", false, -1}, {"File99999999999", "File", false, -1},
  };
  for (const auto& N : Names) EXPECT_EQ(NumberedName(N.Name, N.Prefix, N.Bare), N.Number) << N.Name;

  const struct {
    const char* Entry;
    bool Ok;
    const char* Path;
    bool Program;
  } Entries[] = {
      {"C:\\W\\System\\a.ocx;0", true, "C:\\W\\System\\a.ocx", false},
      {"C:\\P\\server.exe;1", true, "C:\\P\\server.exe", true},
      {"C:\\odd;name\\b.dll;0", true, "C:\\odd;name\\b.dll", false},
      {"C:\\P\\c.dll", false, "", false},
      {"C:\\P\\c.dll;2", false, "", false},
      {";1", false, "", false},
  };
  for (const auto& E : Entries) {
    std::string Path;
    bool Program = false;
    EXPECT_EQ(ParseActiveXEntry(E.Entry, Path, Program), E.Ok) << E.Entry;
    if (E.Ok) {
      EXPECT_EQ(Path, E.Path);
      EXPECT_EQ(Program, E.Program);
    }
  }

  EXPECT_EQ(UninstallerPathOf("C:\\Program Files\\My App\\uninstall.exe My App", "My App"),
            "C:\\Program Files\\My App\\uninstall.exe");
  EXPECT_EQ(UninstallerPathOf("C:\\P\\uninstall.exe Other", "My App"), "C:\\P\\uninstall.exe");
  EXPECT_EQ(UninstallerPathOf("", "My App"), "");
  // Quoted, as the setup writes it.
  EXPECT_EQ(UninstallerPathOf("\"C:\\Program Files\\My App\\uninstall.exe\" My App", "My App"),
            "C:\\Program Files\\My App\\uninstall.exe");
}

TEST(UninstallFolders, NeverTheSystemsFoldersNorAboveThem) {
  const std::vector<std::string> Roots = {"C:\\Program Files", "C:\\Windows\\system32\\",
                                          "C:\\users\\me\\Start Menu\\Programs"};
  const struct {
    const char* Dir;
    bool May;
  } Cases[] = {
      {"C:\\Program Files\\Product", true},
      {"c:\\program files\\product\\docs\\", true},
      {"C:\\Program Files Extra", true},
      {"C:\\users\\me\\Start Menu\\Programs\\Product", true},
      {"C:\\Program Files", false},
      {"c:\\PROGRAM FILES\\", false},
      {"C:\\Windows", false},
      {"C:\\users\\me\\Start Menu", false},
      {"C:\\", false},
      {"C:", false},
      {"relative\\folder", false},
      {"\\\\server\\share", false},
      {"\\\\server\\share\\Product", true},
      {"C:\\Program Files\\Product\\..", false},
  };
  for (const auto& C : Cases) EXPECT_EQ(MayRemoveFolder(C.Dir, Roots), C.May) << C.Dir;
  // The machine's own folders are among the roots.
  const std::vector<std::string> System = SystemFolders();
  for (const std::string& F : {GetProgramFilesDir(), GetWindowsDir(), GetSystemDir(), GetProgramsDir()})
    EXPECT_FALSE(MayRemoveFolder(F, System)) << F;
  EXPECT_TRUE(MayRemoveFolder(AddBackslash(GetProgramFilesDir()) + "Product", System));
}

TEST(UninstallSharedCounts, ComeDownByOneUnderEitherName) {
  TScratchDir D("qv_uninstall_shared");
  const std::string Long = D / "Long Folder Name\\shared library.dll";
  WriteTestFile(Long, "dll");
  const std::string Short = GetShortPath(Long);
  ASSERT_NE(Short, Long);
  struct Case {
    const char* What;
    std::string ValueName;  // empty: not counted
    int32_t Count;
    bool Counted;
    int32_t Left;
  } Cases[] = {
      {"three installations", Long, 3, true, 2},
      {"the last one", Long, 1, true, 0},
      {"counted under the short name", Short, 2, true, 1},
      {"a broken count of zero", Long, 0, true, 0},
      {"not counted", "", 0, false, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    if (!C.ValueName.empty()) RegWriteInteger(hkLocalMachine, SharedDlls, C.ValueName, C.Count);
    int32_t Left = -1;
    std::string Error;
    EXPECT_EQ(DecrementSharedCount(Long, Left, Error), C.Counted);
    EXPECT_EQ(Error, "");
    if (!C.Counted) continue;
    EXPECT_EQ(Left, C.Left);
    TRegKey K;
    ASSERT_TRUE(K.OpenReadOnly(hkLocalMachine, SharedDlls));
    EXPECT_EQ(K.ValueExists(C.ValueName), C.Left > 0);
    int32_t Now = 0;
    if (C.Left > 0) {
      EXPECT_TRUE(K.ReadInteger(C.ValueName, Now) && Now == C.Left);
    }
    K.Close();
    TRegKey W;
    if (W.Open(hkLocalMachine, SharedDlls, false)) W.DeleteValue(C.ValueName);
  }
}

TEST(UninstallFolders, EmptyOnesGoUpToTheRootAndBusyOnesAtTheRestart) {
  TPendingRenamesGuard Guard;
  TScratchDir D("qv_uninstall_folders");
  for (const char* F : {"A\\B\\C", "E\\F", "G\\H"}) ForceDirectories(D / F);
  WriteTestFile(D / "A\\D\\user.txt", "not recorded");
  WriteTestFile(D / "G\\H\\busy.dll", "in use");
  std::set<std::string> Pending = {UpperCase(D / "G\\H\\busy.dll")};
  TUninstallReport Report;
  RemoveEmptyFolders({D / "A\\B\\C", D / "E\\F\\", D / "G\\H"}, Pending, {D.Path()}, Report);
  for (const char* Gone : {"A\\B\\C", "A\\B", "E\\F", "E"}) EXPECT_FALSE(DirectoryExists(D / Gone)) << Gone;
  EXPECT_TRUE(FileExists(D / "A\\D\\user.txt"));
  EXPECT_TRUE(DirectoryExists(D.Path()));
  // G\H holds only a file waiting for the restart: both wait with it.
  EXPECT_TRUE(DirectoryExists(D / "G\\H"));
  EXPECT_EQ(Report.Count(TOutcome::Removed), 4);
  EXPECT_EQ(Report.Count(TOutcome::AtRestart), 2);
  EXPECT_EQ(Report.Count(TOutcome::Failed), 0);
  const std::string Renames = UpperCase(PendingRenames());
  EXPECT_NE(Renames.find(UpperCase(D / "G\\H\n")), std::string::npos) << Renames;
  EXPECT_NE(Renames.find(UpperCase(D / "G\n")), std::string::npos) << Renames;
}

TEST(UninstallReport, SummaryListsWhatWasNotRemoved) {
  TUninstallReport R;
  R.Add(TOutcome::Removed, "C:\\P\\a.txt");
  R.Add(TOutcome::Absent, "C:\\P\\b.txt");
  R.Add(TOutcome::Kept, "C:\\Common\\s.dll", "shared, 1 other installation(s) use it");
  for (int i = 0; i < 20; ++i) R.Add(TOutcome::Failed, Format("C:\\P\\f%d.txt", i), "denied");
  const std::string S = R.Summary("My Product");
  EXPECT_EQ(S.rfind("My Product could not be removed completely.\r\n", 0), 0u) << S;
  EXPECT_NE(S.find("Removed: 2 item(s)."), std::string::npos) << S;
  EXPECT_NE(S.find("C:\\Common\\s.dll (shared, 1 other installation(s) use it)"), std::string::npos);
  EXPECT_NE(S.find("C:\\P\\f14.txt (denied)"), std::string::npos);
  EXPECT_EQ(S.find("C:\\P\\f15.txt"), std::string::npos);
  EXPECT_NE(S.find("... and 5 more"), std::string::npos);
  EXPECT_TRUE(R.Failed());
}

// --- a record written by hand ---------------------------------------------------------------

class HandRecord : public ::testing::Test {
 protected:
  const std::string Product = "QvUn Hand Made";
  const std::string Key = UninstallKeyOf(Product);
  const std::string AppDir = AddBackslash(GetProgramFilesDir()) + "QvUn Hand Made";
  const std::string LinkDir = AddBackslash(GetProgramsDir()) + "QvUn Hand Made";
  const std::string TestKey = "\\Software\\QvUnHandMade";

  void TearDown() override {
    RegDeleteKeyTree(hkLocalMachine, Key);
    RegDeleteKeyTree(hkCurrentUser, TestKey);
    RegDeleteKeyTree(hkCurrentUser, "\\Software\\QuorvaneTest\\SelfReg");
    RemoveTree(AppDir);
    RemoveTree(LinkDir);
  }

  void RecordFile(const std::string& Sub, int N, const std::string& Path) {
    RegWriteString(hkLocalMachine, Key + "\\" + Sub, "File" + std::to_string(N), Path);
    RegWriteString(hkLocalMachine, Key + "\\" + Sub, "Entries", std::to_string(N));
  }
  void RecordKey(int N, TRootKeys Root, const std::string& Path, const std::vector<std::string>& Values) {
    const std::string K = Key + "\\RegistryKeys\\RegistryKey" + std::to_string(N);
    RegWriteString(hkLocalMachine, Key + "\\RegistryKeys", "Entries", std::to_string(N));
    RegWriteString(hkLocalMachine, K, "Key", Path);
    RegWriteInteger(hkLocalMachine, K, "Root", Root);
    for (const std::string& V : Values) RegWriteString(hkLocalMachine, K + "\\Entries", V, "text");
  }
};

TEST_F(HandRecord, RemovesFilesLinksValuesAndComponentsButNothingElse) {
  // Files in two sub-keys of the series (as when "Files" could not take
  // more), a link and an internet shortcut, a help file.
  const std::string Readme = AppDir + "\\readme.txt", Manual = AppDir + "\\Docs\\manual.hlp";
  const std::string Link = LinkDir + "\\App.lnk", Url = LinkDir + "\\Home.URL";
  for (const std::string& F : {Readme, Manual, Link, Url}) ASSERT_TRUE(WriteTestFile(F, "x")) << F;
  RecordFile("Files", 1, Readme);
  RecordFile("Files", 2, Link);
  RecordFile("Files1", 1, Manual);
  RecordFile("Files1", 2, Url);
  RegWriteString(hkLocalMachine, HelpKey, "MANUAL.HLP", AppDir + "\\Docs");
  // Self-registered components, registered as the installation does.
  const std::string Dll = AppDir + "\\selfreg_ok.dll", Exe = AppDir + "\\selfreg_exe.exe";
  ASSERT_TRUE(CopyFileA(BuildTreePath("tests\\model\\selfreg-fixtures\\selfreg_ok.dll").c_str(), Dll.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(BuildTreePath("tests\\model\\selfreg-fixtures\\selfreg_exe.exe").c_str(), Exe.c_str(), FALSE));
  {
    HMODULE M = LoadLibraryA(Dll.c_str());
    ASSERT_NE(M, nullptr);
    auto Register = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(M, "DllRegisterServer")));
    ASSERT_EQ(Register(), 0);
    FreeLibrary(M);
    ASSERT_TRUE(RunCaptured(Quote(Exe) + " /REGSERVER").Ended);
  }
  RegWriteString(hkLocalMachine, Key + "\\ActiveX", "File1", Dll + ";0");
  RegWriteString(hkLocalMachine, Key + "\\ActiveX", "File2", Exe + ";1");
  RegWriteString(hkLocalMachine, Key + "\\ActiveX", "Entries", "2");
  // Two keys: one holds only what was recorded, the other a value the user
  // added since.
  RegWriteString(hkCurrentUser, TestKey + "\\Settings", "Path", "x");
  RegWriteInteger(hkCurrentUser, TestKey + "\\Settings", "Count", 3);
  RegWriteString(hkCurrentUser, TestKey + "\\Shared", "Path", "x");
  RegWriteString(hkCurrentUser, TestKey + "\\Shared", "UserChoice", "keep me");
  RecordKey(1, hkCurrentUser, TestKey + "\\Settings\\", {"Path", "Count"});
  RecordKey(2, hkCurrentUser, TestKey + "\\Shared", {"Path", "NeverWritten"});
  RegWriteString(hkLocalMachine, Key, "DisplayName", Product);
  // What the installation did not record stays.
  ASSERT_TRUE(WriteTestFile(AppDir + "\\Data\\user.dat", "mine"));

  const TProgramRun R = RunUninstaller("/S " + Product);
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  for (const std::string& F : {Readme, Manual, Link, Url, Dll, Exe}) EXPECT_FALSE(FileExists(F)) << F;
  EXPECT_FALSE(DirectoryExists(AppDir + "\\Docs"));
  EXPECT_FALSE(DirectoryExists(LinkDir));
  EXPECT_TRUE(DirectoryExists(GetProgramsDir()));
  EXPECT_TRUE(FileExists(AppDir + "\\Data\\user.dat"));
  EXPECT_EQ(RegReadString(hkLocalMachine, HelpKey, "MANUAL.HLP", "<gone>"), "<gone>");
  // Unregistered before they went.
  EXPECT_EQ(RegistrySnapshot(hkCurrentUser, "\\Software\\QuorvaneTest\\SelfReg"),
            "\\Software\\QuorvaneTest\\SelfReg\\\n");
  EXPECT_EQ(RegistrySnapshot(hkCurrentUser, TestKey),
            TestKey + "\\\n" + TestKey + "\\Shared\\\n" + TestKey + "\\Shared\\UserChoice = " +
                "6B 65 65 70 20 6D 65 0 \n");
  EXPECT_EQ(RegistrySnapshot(hkLocalMachine, Key), "");
  EXPECT_NE(R.Output.find("QvUn Hand Made was removed."), std::string::npos) << R.Output;
}

TEST_F(HandRecord, KeepsGoingPastAFailureAndKeepsItForTheNextAttempt) {
  const std::string A = AppDir + "\\a.txt", B = AppDir + "\\b.txt", Blocker = AppDir + "\\blocked.txt";
  WriteTestFile(A, "a");
  WriteTestFile(B, "b");
  // A folder where a file was installed cannot be removed as that file.
  ForceDirectories(Blocker);
  WriteTestFile(Blocker + "\\inside.txt", "i");
  RecordFile("Files", 1, A);
  RecordFile("Files", 2, Blocker);
  RecordFile("Files", 3, B);
  RecordFile("Files", 4, AppDir + "\\never-installed.txt");
  RegWriteString(hkLocalMachine, Key, "DisplayName", Product);

  TProgramRun R = RunUninstaller("-s " + Product);
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 1u);
  EXPECT_FALSE(FileExists(A));
  EXPECT_FALSE(FileExists(B));
  EXPECT_TRUE(FileExists(Blocker + "\\inside.txt"));
  EXPECT_NE(R.Output.find("Could not be removed:"), std::string::npos) << R.Output;
  EXPECT_NE(R.Output.find(Blocker), std::string::npos) << R.Output;
  // Only the failed entry is left in the record.
  TUninstallRecord Left;
  ASSERT_TRUE(ReadUninstallRecord(Product, Left));
  ASSERT_EQ(Left.Files.size(), 1u);
  EXPECT_EQ(Left.Files[0].Path, Blocker);

  RemoveTree(Blocker);
  R = RunUninstaller("/S " + Product);
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  EXPECT_FALSE(DirectoryExists(AppDir));
  EXPECT_EQ(RegistrySnapshot(hkLocalMachine, Key), "");
}

TEST_F(HandRecord, SharedCountsUnderEitherNameAreCountedDownOnceEach) {
  // One file counted under its short name by two products, one under its
  // long name by this product alone, one not counted.
  const std::string Twice = AppDir + "\\Long Folder Name\\shared library.dll";
  const std::string Once = AppDir + "\\only ours.dll", Plain = AppDir + "\\plain.txt";
  for (const std::string& F : {Twice, Once, Plain}) ASSERT_TRUE(WriteTestFile(F, "x")) << F;
  const std::string Short = GetShortPath(Twice);
  ASSERT_NE(Short, Twice);
  RegWriteInteger(hkLocalMachine, SharedDlls, Short, 2);
  RegWriteInteger(hkLocalMachine, SharedDlls, Once, 1);
  RecordFile("Files", 1, Twice);
  RecordFile("Files", 2, Once);
  RecordFile("Files", 3, Plain);
  RegWriteString(hkLocalMachine, Key, "DisplayName", Product);

  const TProgramRun R = RunUninstaller("/S " + Product);
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  EXPECT_TRUE(FileExists(Twice));
  EXPECT_FALSE(FileExists(Once));
  EXPECT_FALSE(FileExists(Plain));
  int32_t Left = 0;
  TRegKey K;
  ASSERT_TRUE(K.OpenReadOnly(hkLocalMachine, SharedDlls));
  EXPECT_TRUE(K.ReadInteger(Short, Left) && Left == 1);
  EXPECT_FALSE(K.ValueExists(Once));
  K.Close();
  EXPECT_NE(R.Output.find("Kept because other programs still use them:"), std::string::npos) << R.Output;
  TRegKey W;
  if (W.Open(hkLocalMachine, SharedDlls, false)) W.DeleteValue(Short);
}

TEST_F(HandRecord, WithoutARecordNothingHappens) {
  const TProgramRun R = RunUninstaller("/S QvUn No Such Product");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 1u);
  EXPECT_NE(R.Output.find("No uninstall information was found for QvUn No Such Product."), std::string::npos)
      << R.Output;
  // A blank name would be the list of every product.
  EXPECT_EQ(RunUninstaller("/S").ExitCode, 1u);
  TUninstallRecord Rec;
  EXPECT_FALSE(ReadUninstallRecord("  ", Rec));
}

// --- products installed by the kit ------------------------------------------------------------

// A product: two files in its folder, one in a sub-folder, a shared library
// in a common folder counted in "SharedDLLs", the uninstaller, a registry
// key of its own and a main program folder with links to the read-me and
// the uninstaller.
std::string ProductProject(const std::string& Product, const std::string& Payload) {
  auto File = [&](const char* Name, const char* File, const char* DirType, const char* DestDir,
                  const char* Extra) {
    return Format(
        "  object %s: TInstallFile\n"
        "    Container = Install1\n"
        "    ArchiveFileType = psContainerArchiveFile\n"
        "    DestDirType = %s\n"
        "    DestDir = '%s'\n"
        "    FileName = '%s'\n"
        "    DestName = '%s'\n"
        "    IncludeFromDir = '%s'\n"
        "%s"
        "  end\n",
        Name, DirType, DestDir, File, File, Payload, Extra);
  };
  return "object Form1: TForm1\n"
         "  Caption = '" + Product + "'\n"
         "  object psProgramFiles: TpsProgramFiles\n  end\n"
         "  object psCommonFiles: TpsCommonFiles\n  end\n"
         "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
         "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
         "  object psObjectLink: TpsObjectLink\n  end\n"
         "  object Install1: TInstall\n"
         "    DestDir = '\\" + Product + "'\n"
         "    DestDirType = psProgramFiles\n"
         "    Information.CompanyName = 'Quorvane Tests'\n"
         "    Information.ProductName = '" + Product + "'\n"
         "    Information.Version = '1.0'\n"
         "  end\n" +
         File("ReadMe", "readme.txt", "psContainerDestDir", "", "") +
         File("Manual", "manual.txt", "psContainerDestDir", "\\Docs", "") +
         File("Shared", "qvshared.dll", "psCommonFiles", "\\QvUn Shared",
              "    FileType = iftVendorSharedDLL\n    UpdateDLLCounter = True\n") +
         "  object Uninstaller: TUninstallEXE\n"
         "    Container = Install1\n"
         "    ArchiveFileType = psContainerArchiveFile\n"
         "    DestDirType = psContainerDestDir\n"
         "    FileName = 'uninstall.exe'\n"
         "    DestName = 'uninstall.exe'\n"
         "    IncludeFromDir = '" + RemoveBackslash(BuildTreePath("kit")) + "'\n"
         "    Net = False\n"
         "  end\n"
         "  object Settings: TInstallRegistry\n"
         "    Container = Install1\n"
         "    KeySpecifierType = ksVersion\n"
         "    Entries = <\n"
         "      item\n        Ident = 'Folder'\n        Text = 'installed'\n      end\n"
         "      item\n        Ident = 'Runs'\n        EntryType = retInteger\n        Integer = 7\n      end>\n"
         "  end\n"
         "  object MainGroup: TMainLinkGroup\n"
         "    Container = Install1\n"
         "    DestDir = '\\" + Product + "'\n"
         "  end\n"
         "  object ReadMeLink: TInstallMainLink\n"
         "    ObjectLink = ReadMe\n"
         "    ObjectLocationType = psObjectLink\n"
         "    LinkName = 'Read Me.lnk'\n"
         "  end\n"
         "  object RemoveLink: TInstallMainLink\n"
         "    ObjectLink = Uninstaller\n"
         "    ObjectLocationType = psObjectLink\n"
         "    LinkName = 'Remove.lnk'\n"
         "  end\n"
         "end\n";
}

class InstalledProduct : public ::testing::Test {
 protected:
  static std::string Work() { return AddBackslash(TempDirectory()) + "qv_uninstall_products"; }
  static std::string Dist(const std::string& Product) { return AddBackslash(Work()) + Product + "\\dist"; }
  static std::string BuildProblem;

  // Both products are compiled and built once; the tests install them.
  static void SetUpTestSuite() {
    RemoveTree(Work());
    const std::string Payload = AddBackslash(Work()) + "payload";
    WriteTestFile(AddBackslash(Payload) + "readme.txt", "Read me.\r\n");
    WriteTestFile(AddBackslash(Payload) + "manual.txt", "The manual.\r\n");
    WriteTestFile(AddBackslash(Payload) + "qvshared.dll", "a library both products use");
    for (const char* P : {"QvUn Product A", "QvUn Product B", "QvUn Product C"}) {
      std::string Text = ProductProject(P, Payload);
      // C writes its registry key before its files, so that a run failing
      // at its files has a key to take back,
      if (std::string(P) == "QvUn Product C") {
        const size_t From = Text.find("  object Settings:"), To = Text.find("  object MainGroup:");
        const std::string Settings = Text.substr(From, To - From);
        Text.erase(From, To - From);
        Text.insert(Text.find("  object ReadMe:"), Settings);
        // and a Program Manager item for its read-me.
        Text.insert(Text.find("  object Install1:"), "  object psProgramMenu: TpsProgramMenu\n  end\n");
        Text.insert(Text.find("  object Manual:"),
                    "  object ToolsLink: TInstallShellLink\n    Container = Install1\n"
                    "    DestDirType = psProgramMenu\n    DestDir = '\\QvUn Tools'\n    ObjectLink = ReadMe\n"
                    "    ObjectLocationType = psObjectLink\n    LinkName = 'Read Me.lnk'\n"
                    "    Method = mtProgramManager\n  end\n");
      }
      const std::string Problem = BuildDistribution(AddBackslash(Work()) + P, Text);
      if (!Problem.empty()) BuildProblem += std::string(P) + ": " + Problem + "\n";
    }
  }
  static void TearDownTestSuite() { RemoveTree(Work()); }

  void SetUp() override {
    ASSERT_EQ(BuildProblem, "");
    Before = State();
  }
  void TearDown() override {
    for (const char* P : {"QvUn Product A", "QvUn Product B", "QvUn Product C"}) {
      RegDeleteKeyTree(hkLocalMachine, UninstallKeyOf(P));
      RemoveTree(AppDir(P));
      RemoveTree(AddBackslash(GetProgramsDir()) + P);
    }
    // Program Manager shows the group it made in a window of its own.
    RunCaptured(Quote(QvautoProgram()) + " close \"QvUn Tools\"", 10000);
    RemoveTree(AddBackslash(GetProgramsDir()) + "QvUn Tools");
    RegDeleteKeyTree(hkLocalMachine, "\\SOFTWARE\\Quorvane Tests");
    RemoveTree(SharedDir());
    TRegKey K;
    if (K.Open(hkLocalMachine, SharedDlls, false)) K.DeleteValue(SharedFile());
  }

  static std::string AppDir(const std::string& P) { return AddBackslash(GetProgramFilesDir()) + P; }
  static std::string SharedDir() { return AddBackslash(GetCommonFilesDir()) + "QvUn Shared"; }
  static std::string SharedFile() { return SharedDir() + "\\qvshared.dll"; }

  // What an installation leaves for the uninstaller: the program-files
  // tree and the keys of the uninstall records, shared counts and help
  // files.  (The install record of a run is the setup program's own; it is
  // gone when the run ends.)
  static std::string State() {
    return FolderSnapshot(GetProgramFilesDir()) + FolderSnapshot(GetProgramsDir()) +
           RegistrySnapshot(hkLocalMachine, UninstallKeyRoot) + RegistrySnapshot(hkLocalMachine, SharedDlls) +
           RegistrySnapshot(hkLocalMachine, HelpKey) + RegistrySnapshot(hkLocalMachine, "\\SOFTWARE\\Quorvane Tests");
  }

  static void Install(const std::string& Product) {
    const TProgramRun R = RunCaptured(Quote(AddBackslash(Dist(Product)) + "setup.exe"));
    ASSERT_TRUE(R.Ended) << Product;
    ASSERT_TRUE(FileExists(AppDir(Product) + "\\readme.txt")) << Product << " was not installed";
  }

  static int32_t SharedCount() { return RegReadInteger(hkLocalMachine, SharedDlls, SharedFile(), 0); }

  std::string Before;
};
std::string InstalledProduct::BuildProblem;

TEST_F(InstalledProduct, RemovedAsTheRecordStartsItLeavesTheMachineAsBefore) {
  Install("QvUn Product A");
  EXPECT_EQ(SharedCount(), 1);
  EXPECT_TRUE(FileExists(AppDir("QvUn Product A") + "\\Docs\\manual.txt"));
  EXPECT_TRUE(FileExists(AddBackslash(GetProgramsDir()) + "QvUn Product A\\Remove.lnk"));
  EXPECT_EQ(RegReadString(hkLocalMachine, "\\SOFTWARE\\Quorvane Tests\\QvUn Product A\\1.0", "Folder", ""), "installed");
  const std::string Command =
      RegReadString(hkLocalMachine, UninstallKeyOf("QvUn Product A"), "UninstallString", "");
  ASSERT_EQ(Command, "\"" + AppDir("QvUn Product A") + "\\uninstall.exe\" QvUn Product A");

  // Started with the record's command line as it stands (quoted), asked,
  // answered and reported.
  std::string Summary;
  const TProgramRun R = RunCaptured(Command, 180000, [&] {
    RunCaptured(Quote(QvautoProgram()) + " click Uninstall Yes 60");
    for (int i = 0; i < 600 && Summary.find("OK") == std::string::npos; ++i) {
      Summary = RunCaptured(Quote(QvautoProgram()) + " text Uninstall").Output;
      Sleep(100);
    }
    RunCaptured(Quote(QvautoProgram()) + " click Uninstall OK 60");
  });
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  EXPECT_NE(Summary.find("QvUn Product A was removed."), std::string::npos) << Summary;
  EXPECT_EQ(State(), Before);
}

TEST_F(InstalledProduct, ASharedLibraryStaysUntilItsLastProductGoes) {
  Install("QvUn Product A");
  Install("QvUn Product B");
  EXPECT_EQ(SharedCount(), 2);
  TProgramRun R = RunCaptured(Quote(AppDir("QvUn Product A") + "\\uninstall.exe") + " /S QvUn Product A");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  EXPECT_FALSE(DirectoryExists(AppDir("QvUn Product A")));
  EXPECT_TRUE(FileExists(SharedFile()));
  EXPECT_EQ(SharedCount(), 1);
  EXPECT_NE(R.Output.find("Kept because other programs still use them:"), std::string::npos) << R.Output;
  EXPECT_TRUE(FileExists(AppDir("QvUn Product B") + "\\readme.txt"));

  R = RunCaptured(Quote(AppDir("QvUn Product B") + "\\uninstall.exe") + " /S QvUn Product B");
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  EXPECT_FALSE(FileExists(SharedFile()));
  EXPECT_EQ(State(), Before);
}

TEST_F(InstalledProduct, InstalledAgainOverItselfEachItemIsRecordedOnce) {
  Install("QvUn Product A");
  // A read-only file of the product is replaced, not taken for one in use:
  // no restart, and no copy of it left beside it.
  const std::string ReadMe = AppDir("QvUn Product A") + "\\readme.txt";
  WriteTestFile(ReadMe, "an older read-me");
  ASSERT_TRUE(SetFileAttributesA(ReadMe.c_str(), FILE_ATTRIBUTE_READONLY));
  for (int i = 0; i < 2; ++i) {
    const TProgramRun Again = RunCaptured(Quote(AddBackslash(Dist("QvUn Product A")) + "setup.exe"));
    ASSERT_TRUE(Again.Ended);
    EXPECT_EQ(Again.ExitCode, 0u) << Again.Output;
  }
  EXPECT_EQ(ReadTestFile(ReadMe), "Read me.\r\n");
  EXPECT_EQ(FolderSnapshot(AppDir("QvUn Product A")).find(".qvold"), std::string::npos)
      << FolderSnapshot(AppDir("QvUn Product A"));
  TRegistryStore Machine(hkLocalMachine);
  TUninstallRecord R;
  ASSERT_TRUE(ReadUninstallRecord(Machine, "QvUn Product A", R));
  std::vector<std::string> Files;
  for (const TRecordedFile& F : R.Files) Files.push_back(UpperCase(F.Path));
  std::sort(Files.begin(), Files.end());
  std::string Listed;
  for (const std::string& F : Files) Listed += F + "\n";
  EXPECT_EQ(std::unique(Files.begin(), Files.end()), Files.end()) << Listed;
  // Three files and two links (the uninstaller is the record's command).
  EXPECT_EQ(Files.size(), 5u) << Listed;
  EXPECT_EQ(R.RegistryKeys.size(), 1u);
  EXPECT_EQ(SharedCount(), 1);
  const TProgramRun U = RunCaptured(Quote(AppDir("QvUn Product A") + "\\uninstall.exe") + " /S QvUn Product A");
  ASSERT_TRUE(U.Ended);
  EXPECT_EQ(U.ExitCode, 0u) << U.Output;
  EXPECT_EQ(State(), Before);
}

// Distributions damaged in their files, each run on a clean machine: the
// registry key and the files before the damage are installed (the product
// writes its key first), then the run fails and is undone.  Then over the
// installed product, whose own read-me the damaged run replaced: it comes
// back.
TEST_F(InstalledProduct, AFailedRunLeavesTheMachineAsItFoundIt) {
  const std::string Damaged = AddBackslash(Work()) + "damaged";
  const std::string Good = Dist("QvUn Product C");
  const std::string GoodFiles = ReadTestFile(Good + "\\files.1"), GoodExe = ReadTestFile(Good + "\\setup.exe");
  auto Flipped = [](std::string S, size_t At) {
    S[At] = static_cast<char>(S[At] ^ 0x55);
    return S;
  };
  // A plain distribution (the loading program beside setup.1) with this files.1.
  auto Plain = [&](const std::string& Files) {
    RemoveTree(Damaged);
    ForceDirectories(Damaged);
    EXPECT_TRUE(CopyFileA(KitProgram("QuorvaneLoadProgram.exe").c_str(), (Damaged + "\\setup.exe").c_str(), FALSE));
    EXPECT_TRUE(CopyFileA((Good + "\\setup.1").c_str(), (Damaged + "\\setup.1").c_str(), FALSE));
    WriteTestFile(Damaged + "\\files.1", Files);
  };
  auto SelfExtracting = [&](const std::string& Exe) {
    RemoveTree(Damaged);
    ForceDirectories(Damaged);
    WriteTestFile(Damaged + "\\setup.exe", Exe);
  };
  const std::string Unpacked = "uninstall.exe cannot be unpacked from " + Damaged;
  const struct {
    const char* What;
    std::function<void()> Make;
    std::string Message;  // a part of the one message shown
  } Cases[] = {
      {"files.1 changed in its last member", [&] { Plain(Flipped(GoodFiles, GoodFiles.size() - 40)); },
       Unpacked + "\\files.1: the distribution is damaged or incomplete"},
      // Found when the headers are read, before anything is installed.
      {"files.1 cut short", [&] { Plain(GoodFiles.substr(0, GoodFiles.size() - 30)); },
       "The Archive file could possible be corrupt: " + Damaged + "\\files.1"},
      {"the files part of setup.exe changed",
       [&] { SelfExtracting(Flipped(GoodExe, GoodExe.size() - SelfExtractTrailerSize - 40)); },
       Unpacked + "\\setup.exe: the distribution is damaged or incomplete"},
  };
  auto RunDamaged = [&](const std::string& Message) {
    const TBoxedRun R = RunAnsweringBoxes(Quote(Damaged + "\\setup.exe"), "QvUn Product C");
    EXPECT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, 1u);
    ASSERT_EQ(R.Boxes.size(), 1u);
    EXPECT_NE(R.Boxes[0].find(Message), std::string::npos) << R.Boxes[0];
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    C.Make();
    RunDamaged(C.Message);
    EXPECT_EQ(State(), Before);
  }

  Install("QvUn Product C");
  // Its Program Manager item (a link of the group's folder under Wine),
  // which each damaged run above made and took back.
  EXPECT_TRUE(FileExists(AddBackslash(GetProgramsDir()) + "QvUn Tools\\Read Me.lnk"));
  const std::string ReadMe = AppDir("QvUn Product C") + "\\readme.txt";
  WriteTestFile(ReadMe, "the user's own notes");
  const std::string Installed = State();
  Cases[0].Make();
  RunDamaged(Cases[0].Message);
  EXPECT_EQ(State(), Installed);
  EXPECT_EQ(ReadTestFile(ReadMe), "the user's own notes");
}

TEST_F(InstalledProduct, AFileInUseGoesAtTheRestart) {
  TPendingRenamesGuard Guard;
  Install("QvUn Product A");
  const std::string Busy = AppDir("QvUn Product A") + "\\readme.txt";
  HANDLE H = CreateFileA(Busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  const TProgramRun R = RunCaptured(Quote(KitProgram("uninstall.exe")) + " /S QvUn Product A");
  CloseHandle(H);
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u) << R.Output;
  EXPECT_NE(R.Output.find("In use; removed when Windows restarts:"), std::string::npos) << R.Output;
  // Windows keeps the pending deletes as "\??\path" followed by an empty
  // target; the folder follows its file.
  const std::string Renames = UpperCase(PendingRenames());
  const size_t File = Renames.find(UpperCase("\\??\\" + Busy + "\n\n"));
  const size_t Folder = Renames.find(UpperCase("\\??\\" + AppDir("QvUn Product A") + "\n\n"));
  EXPECT_NE(File, std::string::npos) << Renames;
  EXPECT_NE(Folder, std::string::npos) << Renames;
  EXPECT_LT(File, Folder);
  // Everything else is gone already, the record too.
  EXPECT_FALSE(FileExists(AppDir("QvUn Product A") + "\\uninstall.exe"));
  EXPECT_FALSE(DirectoryExists(AppDir("QvUn Product A") + "\\Docs"));
  EXPECT_EQ(RegistrySnapshot(hkLocalMachine, UninstallKeyOf("QvUn Product A")), "");
  EXPECT_EQ(SharedCount(), 0);
}

}  // namespace
