// Building a distribution with "Setup.exe -b" and starting the setup program
// with every kind of command line, as the author meets them under Wine: a
// compiled project, the kit on the library search path, each failure in a
// message box that the test reads and closes, and the distribution files
// checked byte by byte (the self-extracting file, setup.1, the web
// distributions' net archives and remote file list).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "archive/cmp_TQrvnCompress.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_API.h"
#include "rtl/cmp_TFileStream.h"
#include "test_paths.h"
#include "test_uninstall_support.h"
#include "window_support.h"

namespace {

const char* const Title = "Build Test";

// Every box of the program under test is titled so.
TBoxedRun RunBoxed(const std::string& CommandLine) { return RunAnsweringBoxes(CommandLine, Title); }

// --- projects ------------------------------------------------------------------------

// A project: the install component (with the given extra lines), two files
// in it and a group with a third file; Objects are appended.
std::string Project(const std::string& Payload, const std::string& InstallLines = "",
                    const std::string& Objects = "") {
  auto File = [&](const char* Name, const char* FileName, const char* Container) {
    return std::string("  object ") + Name + ": TInstallFile\n    Container = " + Container +
           "\n    FileName = '" + FileName + "'\n    DestName = '" + FileName +
           "'\n    DestDirType = psContainerDestDir\n    IncludeFromDir = '" + Payload +
           "'\n    ArchiveFileType = psContainerArchiveFile\n  end\n";
  };
  return "object Form1: TForm1\n"
         "  Caption = 'Build Test Project'\n"
         "  object psProgramFiles: TpsProgramFiles\n  end\n"
         "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
         "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
         "  object Install1: TInstall\n"
         "    DestDir = '\\QvBuild Test'\n"
         "    DestDirType = psProgramFiles\n"
         "    Information.ProductName = 'QvBuild Test'\n" +
         InstallLines +
         "  end\n"
         "  object Docs: TInstallFileGroup\n"
         "    Container = Install1\n"
         "    DestDirType = psContainerDestDir\n"
         "    DestDir = '\\Docs'\n"
         "    ArchiveFileType = psContainerArchiveFile\n"
         "  end\n" +
         File("ReadMe", "readme.txt", "Install1") + File("License", "license.txt", "Install1") +
         File("Manual", "manual.txt", "Docs") + Objects + "end\n";
}

// The search path value of the kit lookup, set for the test's lifetime.
class TSearchPath {
 public:
  explicit TSearchPath(const std::string& Value) {
    TRegKey K;
    if (K.OpenReadOnly(hkCurrentUser, KitSearchPathKey)) FHad = K.ReadString("Search Path", FOld);
    RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", Value);
  }
  ~TSearchPath() {
    if (FHad) {
      RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", FOld);
      return;
    }
    TRegKey K;
    if (K.Open(hkCurrentUser, KitSearchPathKey, false)) K.DeleteValue("Search Path");
  }

 private:
  bool FHad = false;
  std::string FOld;
};

TSelfExtractTrailer TrailerOf(const std::string& File) {
  TSelfExtractTrailer T;
  TFileStream S(File, TFileMode::fmOpenRead);
  EXPECT_TRUE(ReadSelfExtractTrailer(S, T)) << File;
  return T;
}

// The stored names of an archive's members, in chain order.
std::vector<std::string> Members(const std::string& Archive, int32_t Offset = 0) {
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  C.SetOffset(Offset);
  std::vector<std::string> R;
  for (int i = 0, N = C.FileCount(); i < N; ++i) R.push_back(C.Headers().GetFileHeaders(i).Rec.FileName);
  return R;
}

// qvarc's verdict on an archive (a self-extracting file: its files archive).
TProgramRun Verify(const std::string& Archive) {
  return RunCaptured(Quote(BuildTreePath("tools\\qvarc.exe")) + " verify " + Quote(Archive));
}

std::string Tail(const std::string& S, size_t N) { return S.size() > N ? S.substr(S.size() - N) : S; }

// One project compiled for all tests of a suite: its folder holds payload\,
// setup\Setup.exe (with BUILD.INF beside it) and dist\ for the builds.
class BuildProgram : public ::testing::Test {
 protected:
  static TScratchDir* Dir;
  static std::string Payload() { return *Dir / "payload"; }
  static std::string SetupExe() { return *Dir / "setup\\Setup.exe"; }
  static std::string Dist() { return *Dir / "dist"; }
  static std::string BuildInf() { return *Dir / "setup\\BUILD.INF"; }

  static void WritePayload(const std::string& Folder) {
    WriteTestFile(AddBackslash(Folder) + "readme.txt", "Read me first.\r\n");
    WriteTestFile(AddBackslash(Folder) + "license.txt", std::string(3000, 'L'));
    WriteTestFile(AddBackslash(Folder) + "manual.txt", "The manual.\r\n");
  }

  static void SetUpTestSuite() {
    Dir = new TScratchDir("qv_build_test");
    WritePayload(Payload());
    WriteTestFile(Payload() + "\\extra.dll", "a file the setup program needs first");
    // An engine from a folder that is no kit: the setup program knows no kit
    // of its own and looks on the search path, which each test sets.
    const std::string Engine = *Dir / "engine\\QuorvaneSetup.exe";
    ForceDirectories(ExtractFileDir(Engine));
    CopyFileA(KitProgram("QuorvaneSetup.exe").c_str(), Engine.c_str(), FALSE);
    const TProgramRun R = CompileProjectFile(
        Dir->Path(),
        Project(Payload(), "    PresetupFiles.Strings = (\n      '" + Payload() + "\\extra.dll')\n"),
        " --title \"" + std::string(Title) + "\" --engine " + Quote(Engine));
    ASSERT_TRUE(R.Ended && R.ExitCode == 0) << R.Errors << R.Output;
  }
  static void TearDownTestSuite() {
    delete Dir;
    Dir = nullptr;
  }

  void SetUp() override {
    RemoveTree(Dist());
    WriteTestFile(BuildInf(), Dist() + "\r\n");
  }

  TBoxedRun RunSetup(const std::string& Args) { return RunBoxed(Quote(SetupExe()) + " " + Args); }
};

TScratchDir* BuildProgram::Dir = nullptr;

TEST_F(BuildProgram, BuildsTheSelfExtractingFileAndItsParts) {
  // Lines after the first of BUILD.INF are ignored.
  WriteTestFile(BuildInf(), Dist() + "\r\nC:\\elsewhere\r\n");
  TKitOnSearchPath Kit;
  const TBoxedRun R = RunSetup("-b");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u);
  EXPECT_TRUE(R.Boxes.empty()) << R.Boxes[0];
  EXPECT_FALSE(DirectoryExists("C:\\elsewhere"));

  const std::string Loader = ReadTestFile(KitProgram("QuorvaneLoadProgram.exe"));
  const std::string Setup1 = ReadTestFile(Dist() + "\\setup.1");
  const std::string Files1 = ReadTestFile(Dist() + "\\files.1");
  const std::string Exe = ReadTestFile(Dist() + "\\setup.exe");
  ASSERT_EQ(Exe.size(), Loader.size() + Setup1.size() + Files1.size() + 56);
  EXPECT_TRUE(Exe.compare(0, Loader.size(), Loader) == 0);
  EXPECT_TRUE(Exe.compare(Loader.size(), Setup1.size(), Setup1) == 0);
  EXPECT_TRUE(Exe.compare(Loader.size() + Setup1.size(), Files1.size(), Files1) == 0);
  const TSelfExtractTrailer T = TrailerOf(Dist() + "\\setup.exe");
  EXPECT_EQ(T.SetupStart, static_cast<int32_t>(Loader.size()));
  EXPECT_EQ(T.SetupEnd, static_cast<int32_t>(Loader.size() + Setup1.size() - 1));
  EXPECT_EQ(T.FilesStart, T.SetupEnd + 1);
  EXPECT_EQ(T.FilesEnd, static_cast<int32_t>(Exe.size() - 57));
  const std::string Trailer = Tail(Exe, 56);
  EXPECT_EQ(Trailer.substr(0, 16), std::string("\x0eSELFEXTRACTING\0", 16));
  EXPECT_EQ(Trailer.substr(32), std::string(24, '\0'));

  // setup.1: the setup program, then the pre-setup files, stored under the
  // paths they had on the build machine.
  EXPECT_EQ(Members(Dist() + "\\setup.1"), (std::vector<std::string>{SetupExe(), Payload() + "\\extra.dll"}));
  EXPECT_EQ(Members(Dist() + "\\setup.exe", T.SetupStart), Members(Dist() + "\\setup.1"));
  // files.1 holds every file of the project: the group's first (groups go
  // before files), then the install component's own.
  EXPECT_EQ(Members(Dist() + "\\files.1"), (std::vector<std::string>{Payload() + "\\manual.txt",
                                                                     Payload() + "\\readme.txt",
                                                                     Payload() + "\\license.txt"}));
  for (const std::string& A : {Dist() + "\\setup.exe", Dist() + "\\files.1", Dist() + "\\setup.1"}) {
    const TProgramRun V = Verify(A);
    EXPECT_TRUE(V.Ended && V.ExitCode == 0) << A << "\n" << V.Output << V.Errors;
  }
  // Not a distribution of a web type: no remote file list anywhere.
  EXPECT_EQ(FolderSnapshot(Dist()).find("filelist.lst"), std::string::npos);

  // A second build into the same folder starts setup.exe afresh.
  {
    TKitOnSearchPath Kit;
    const TBoxedRun Again = RunSetup("-b");
    ASSERT_TRUE(Again.Ended);
    EXPECT_EQ(Again.ExitCode, 0u);
  }
  EXPECT_EQ(FileSizeByName(Dist() + "\\setup.exe"), static_cast<int64_t>(Exe.size()));
  EXPECT_EQ(ReadTestFile(Dist() + "\\setup.1"), Setup1);
}

TEST_F(BuildProgram, EachBuildFailureIsShownAndEndsTheProgram) {
  TScratchDir Other("qv_build_test_other");
  const std::string Kit = RemoveBackslash(BuildTreePath("kit"));
  // What is wrong, and the command that puts it right.
  const std::string Key = std::string("HKEY_CURRENT_USER") + KitSearchPathKey;
  const std::string NoKit = "The HKEY_LOCAL_MACHINE | " + Key +
                            " key in the registry is either missing or points to an invalid Quorvane directory. "
                            "Set its value \"Search Path\" to the kit folder (the one that holds Q32V35.TXT and "
                            "QuorvaneLoadProgram.exe), for example: reg add \"" + Key +
                            "\" /v \"Search Path\" /d \"C:\\Quorvane\\kit\" /f";
  struct Case {
    const char* What;
    std::string SearchPath;
    std::function<void()> Prepare;
    std::string Message;
  } Cases[] = {
      {"no BUILD.INF", Kit, [] { RemoveFile(BuildInf()); },
       "Need to have a BUILD.INF file in this directory with the first line specifying the build directory"},
      {"empty BUILD.INF", Kit, [] { WriteTestFile(BuildInf(), ""); },
       "Must be 1 line in BUILD.INF. This line should specify the build directory"},
      // A blank first line names no folder; the build must not land in
      // whatever folder is current.
      {"blank first line", Kit, [] { WriteTestFile(BuildInf(), "\r\n" + Dist() + "\r\n"); },
       "Must be 1 line in BUILD.INF. This line should specify the build directory"},
      {"no search path", "", [] {}, NoKit},
      {"search path without the kit's marker", Other.Path(), [] {}, NoKit},
      {"kit folder without the loading program", Other.Path(),
       [&] { WriteTestFile(Other / "Q32V35.TXT", "marker"); },
       "The loader program " + (Other / "QuorvaneLoadProgram.exe") + " was not found"},
      // The build is made beside the folder; the author's folder is never
      // replaced by a file of the distribution.
      {"setup.exe of the build folder is a folder", Kit, [] { ForceDirectories(Dist() + "\\setup.exe"); },
       "Cannot create the file " + Dist() + "\\setup.exe"},
      {"a payload file is missing", Kit, [] { RemoveFile(Payload() + "\\license.txt"); },
       "Could not open or find the following file when trying to read the Size, Date, and Version :" +
           Payload() + "\\license.txt"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    SetUp();
    TSearchPath Path(C.SearchPath);
    C.Prepare();
    const TBoxedRun R = RunSetup("-b");
    WritePayload(Payload());
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, static_cast<DWORD>(ExitCodeFailed));
    EXPECT_EQ(R.Boxes, std::vector<std::string>{C.Message});
    // Nothing that looks like a finished distribution.
    EXPECT_FALSE(FileExists(Dist() + "\\setup.exe") && Tail(ReadTestFile(Dist() + "\\setup.exe"), 56).substr(1, 14) ==
                                                               "SELFEXTRACTING");
  }
}

// A source grown to Size bytes without writing them (a sparse file).
void GrowTo(const std::string& File, int64_t Size) {
  HANDLE H = CreateFileA(File.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(H, INVALID_HANDLE_VALUE) << File;
  LARGE_INTEGER At;
  At.QuadPart = Size;
  EXPECT_TRUE(SetFilePointerEx(H, At, nullptr, FILE_BEGIN) && SetEndOfFile(H)) << File;
  CloseHandle(H);
}

TEST_F(BuildProgram, AFailedRebuildLeavesThePreviousDistributionAsItWas) {
  TKitOnSearchPath Kit;
  ASSERT_EQ(RunSetup("-b").ExitCode, 0u);
  auto Parts = [] {
    std::string S;
    for (const char* N : {"setup.exe", "setup.1", "files.1"}) S += ReadTestFile(Dist() + "\\" + N) + "|";
    return S;
  };
  const std::string Good = Parts(), Around = FolderSnapshot(Dir->Path());
  const int64_t Big = int64_t{1100} << 20;
  struct Case {
    const char* What;
    std::function<void()> Damage;
    std::string Message;
  } Cases[] = {
      // Found once the setup archive and the loading program are written.
      {"a source missing", [] { RemoveFile(Payload() + "\\license.txt"); },
       "Could not open or find the following file when trying to read the Size, Date, and Version :" +
           Payload() + "\\license.txt"},
      // Found before anything is compressed.
      {"a source larger than an archive", [&] { GrowTo(Payload() + "\\readme.txt", 2 * Big); },
       "The file " + Payload() + "\\readme.txt is too large for an archive"},
      {"sources larger than an archive together",
       [&] {
         GrowTo(Payload() + "\\readme.txt", Big);
         GrowTo(Payload() + "\\license.txt", Big);
       },
       "The files that go into the archive files.1 are larger than an archive can hold (2 GB). Give some "
       "of them a file group with an archive of its own"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    C.Damage();
    const TBoxedRun R = RunSetup("-b");
    WritePayload(Payload());
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, static_cast<DWORD>(ExitCodeFailed));
    EXPECT_EQ(R.Boxes, std::vector<std::string>{C.Message});
    // The distribution byte for byte, and nothing beside it.
    EXPECT_TRUE(Parts() == Good);
    EXPECT_EQ(FolderSnapshot(Dir->Path()), Around);
  }
}

TEST_F(BuildProgram, BuildFolderThatCannotBeMade) {
  // The build folder would lie below a file.
  WriteTestFile(*Dir / "blocker", "a file, not a folder");
  WriteTestFile(BuildInf(), *Dir / "blocker\\dist" + "\r\n");
  TKitOnSearchPath Kit;
  const TBoxedRun R = RunSetup("-b");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, static_cast<DWORD>(ExitCodeFailed));
  ASSERT_EQ(R.Boxes.size(), 1u);
  EXPECT_EQ(R.Boxes[0], "Cannot create the file " + (*Dir / "blocker\\dist\\setup.1"));
}

TEST_F(BuildProgram, StartUpFailuresOfTheCommandLine) {
  const std::string Invalid =
      ">. Valid command line parameters are: -b (Build), -d (Debug), -f (Transfer to floppies), -e (Called by "
      "self-extractor), -r (After reboot).";
  const std::string Forgot =
      "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d \"-sC:\\My "
      "Build\".";  // the standard display ends a message with a full stop
  const std::string Sorry =
      "Sorry... You can only transfer this installation to floppies through the self-extracting file. Usage "
      "example: setup.exe *TODISK";
  struct Case {
    std::string Args;
    std::string Message;
    DWORD ExitCode;
  } Cases[] = {
      {"-x", "Invalid parameter <-x" + Invalid, 1},
      {"b", "Invalid parameter <b" + Invalid, 1},
      {"-", "Invalid parameter <-" + Invalid, 1},
      {"\"\"", "Invalid parameter <" + Invalid, 1},
      {"-b -q", "Invalid parameter <-q" + Invalid, 1},
      {"\"-sC:\\My Dist\" -zap", "Invalid parameter <-zap" + Invalid, 1},
      {"-d", Forgot, 1},
      {"-d \"-s  \"", Forgot, 1},
      // The floppy mode wins over the resumption, and needs the
      // self-extracting file.
      {"-r -f", Sorry, ExitCodeFailed},
      {"-f \"-eMissing.exe\" \"-s" + Dist() + "\"",
       "Could not read the extraction info from the archive file " + Dist() +
           "\\Missing.exe when trying to find the correct offset into the self extracting file",
       ExitCodeFailed},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Args);
    const TBoxedRun R = RunSetup(C.Args);
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, C.ExitCode);
    EXPECT_EQ(R.Boxes, std::vector<std::string>{C.Message});
    EXPECT_FALSE(DirectoryExists(Dist()));
  }
}

TEST_F(BuildProgram, BuildWinsOverResumption) {
  TKitOnSearchPath Kit;
  const TBoxedRun R = RunSetup("-r -B");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, 0u);
  EXPECT_TRUE(R.Boxes.empty());
  EXPECT_EQ(Members(Dist() + "\\files.1").size(), 3u);
}

TEST_F(BuildProgram, FloppiesOnlyFromTheSelfExtractingFile) {
  // A plain distribution: the loading program beside setup.1 and files.1.
  // Asked for floppies it starts the setup program without -e.
  {
    TKitOnSearchPath Kit;
    ASSERT_EQ(RunSetup("-b").ExitCode, 0u);
  }
  const std::string Plain = *Dir / "plain";
  ForceDirectories(Plain);
  ASSERT_TRUE(CopyFileA(KitProgram("QuorvaneLoadProgram.exe").c_str(), (Plain + "\\setup.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((Dist() + "\\setup.1").c_str(), (Plain + "\\setup.1").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((Dist() + "\\files.1").c_str(), (Plain + "\\files.1").c_str(), FALSE));
  const TBoxedRun R = RunBoxed(Quote(Plain + "\\setup.exe") + " *TODISK");
  ASSERT_TRUE(R.Ended);
  // The loading program ends as the setup program did.
  EXPECT_EQ(R.ExitCode, static_cast<DWORD>(ExitCodeFailed));
  EXPECT_EQ(R.Boxes, std::vector<std::string>{"Sorry... You can only transfer this installation to floppies through "
                                              "the self-extracting file. Usage example: setup.exe *TODISK"});
}

// The names of the install records that exist now.
std::vector<std::string> InstallRecords() {
  std::vector<std::string> R;
  TRegKey K;
  if (K.OpenReadOnly(hkLocalMachine, InstallRecordRoot)) K.GetKeyNames(R);
  return R;
}

TEST_F(BuildProgram, SwitchesThatSayWhereTheDistributionLies) {
  {
    TKitOnSearchPath Kit;
    ASSERT_EQ(RunSetup("-b").ExitCode, 0u);
  }
  // The project has no wizard: an installation run installs its files
  // without a question.
  const std::string Target = AddBackslash(GetProgramFilesDir()) + "QvBuild Test";
  const std::string Sfx = *Dir / "sfx", Copy = *Dir / "copy", Empty = *Dir / "empty";
  ForceDirectories(Sfx);
  ForceDirectories(Empty);
  ASSERT_TRUE(CopyFileA((Dist() + "\\setup.exe").c_str(), (Sfx + "\\setup.exe").c_str(), FALSE));
  const std::string NoLoaderPath =
      "The path of the loading program was not passed correctly. If you are running your install project in "
      "the IDE, then you need to add two command line parameters. In Run | Parameters | \"Run Parameters\", "
      "type in: -d \"-sBUILDPATH\" where BUILDPATH is the path into which you built the distributables. "
      "Example: -d \"-sC:\\My Build\".";
  struct Case {
    std::string What, Args;
    bool FromCopy;        // run a copy of the setup program in Copy
    bool Installs;
    std::string Message;  // the one box shown; empty: none
    bool CopyRemoved;
  } Cases[] = {
      {"the folder of files.1", "\"-s" + Dist() + "\"", false, true, "", false},
      {"the self-extracting file in the folder", "\"-esetup.exe\" \"-s" + Sfx + "\"", false, true, "", false},
      {"no source folder", "", false, false, NoLoaderPath, false},
      // An empty folder is the setup program's own.
      {"an empty source switch", "-s", false, false,
       "Cannot open the compressed file " + ExtractFileDir(SetupExe()) + "\\files.1.", false},
      {"a folder without the archive", "\"-s" + Empty + "\"", false, false,
       "Cannot open the compressed file " + Empty + "\\files.1.", false},
      // A resumption needs the install record of the interrupted run.
      {"nothing unfinished to resume", "-r", false, false,
       "The TInstall could not either write or read unfinished business from the registry.", false},
      {"a temporary copy", "\"-s" + Dist() + "\" -c", true, true, "", true},
      {"a temporary copy in a debug run", "-d \"-s" + Dist() + "\" -c", true, true, "", false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    RemoveTree(Target);
    const std::vector<std::string> RecordsBefore = InstallRecords();
    std::string Exe = SetupExe();
    if (C.FromCopy) {
      ForceDirectories(Copy);
      Exe = Copy + "\\Setup.exe";
      ASSERT_TRUE(CopyFileA(SetupExe().c_str(), Exe.c_str(), FALSE));
    }
    const TBoxedRun R = RunBoxed(Quote(Exe) + " " + C.Args);
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.Boxes, C.Message.empty() ? std::vector<std::string>{} : std::vector<std::string>{C.Message});
    // A run that failed says so in its exit code.
    EXPECT_EQ(R.ExitCode, C.Installs || C.Message.empty() ? 0u : static_cast<DWORD>(ExitCodeFailed));
    if (C.Installs) {
      EXPECT_EQ(ReadTestFile(Target + "\\readme.txt"), "Read me first.\r\n");
      EXPECT_EQ(ReadTestFile(Target + "\\Docs\\manual.txt"), "The manual.\r\n");
    } else {
      EXPECT_FALSE(DirectoryExists(Target));
    }
    if (C.FromCopy) {
      // The copy's folder goes once the program has ended (a batch file
      // waits for it); a debug run keeps it.
      bool Gone = false;
      for (int i = 0; i < 100 && !(Gone = !DirectoryExists(Copy)); ++i) Sleep(200);
      EXPECT_EQ(Gone, C.CopyRemoved);
      RemoveTree(Copy);
    }
    // A failed run leaves its install record for the next attempt; the test
    // takes it away.
    for (const std::string& N : InstallRecords())
      if (std::find(RecordsBefore.begin(), RecordsBefore.end(), N) == RecordsBefore.end())
        RegDeleteKeyTree(hkLocalMachine, std::string(InstallRecordRoot) + "\\" + N);
  }
  RemoveTree(Target);
  RegDeleteKeyTree(hkLocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QvBuild Test");
}

TEST_F(BuildProgram, FloppiesNeedDriveA) {
  if (GetDriveTypeA("A:\\") != DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "this Wine prefix has a drive A:";
  {
    TKitOnSearchPath Kit;
    ASSERT_EQ(RunSetup("-b").ExitCode, 0u);
  }
  const TBoxedRun R = RunBoxed(Quote(Dist() + "\\setup.exe") + " *TODISK");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, static_cast<DWORD>(ExitCodeFailed));
  // The system's reason follows the file name.
  ASSERT_EQ(R.Boxes.size(), 1u);
  EXPECT_EQ(R.Boxes[0].rfind("Cannot create file a:\\setup.exe: ", 0), 0u) << R.Boxes[0];
}

TEST(BuildStandAlone, NeedsTheLoadingProgram) {
  TScratchDir D("qv_build_standalone");
  WriteTestFile(D / "payload\\readme.txt", "r");
  WriteTestFile(D / "payload\\license.txt", "l");
  WriteTestFile(D / "payload\\manual.txt", "m");
  const TProgramRun C = CompileProjectFile(D.Path(), Project(D / "payload", "    UseLoadingProgram = False\n"),
                                           " --title \"" + std::string(Title) + "\"");
  ASSERT_TRUE(C.Ended && C.ExitCode == 0) << C.Errors;
  TKitOnSearchPath Kit;
  const TBoxedRun R = RunBoxed(Quote(D / "setup\\Setup.exe") + " -b");
  ASSERT_TRUE(R.Ended);
  EXPECT_EQ(R.ExitCode, static_cast<DWORD>(ExitCodeFailed));
  EXPECT_EQ(R.Boxes, std::vector<std::string>{"Cannot build a stand alone executable if the UseLoadingProgram "
                                              "property of the TInstall is set to False"});
  EXPECT_FALSE(FileExists(D / "dist\\setup.exe"));
}

// --- web distributions --------------------------------------------------------------

// The little-endian fields of filelist.lst, taken apart here by hand: the
// test holds the program's list to literal bytes, not to its own reader.
int32_t Int32At(const std::string& B, size_t At) {
  uint32_t U = 0;
  for (size_t i = 0; i < 4; ++i) U |= static_cast<uint32_t>(static_cast<uint8_t>(B[At + i])) << (8 * i);
  return static_cast<int32_t>(U);
}

double DoubleAt(const std::string& B, size_t At) {
  uint64_t U = 0;
  for (size_t i = 0; i < 8; ++i) U |= static_cast<uint64_t>(static_cast<uint8_t>(B[At + i])) << (8 * i);
  double D;
  std::memcpy(&D, &U, sizeof D);
  return D;
}

class WebBuild : public ::testing::TestWithParam<const char*> {};

TEST_P(WebBuild, NetArchivesAndTheRemoteFileList) {
  const std::string Type = GetParam();
  const bool Web = Type == "dtWeb";
  TScratchDir D("qv_build_web");
  const std::string Payload = D / "payload";
  WriteTestFile(Payload + "\\readme.txt", "Read me first.\r\n");
  WriteTestFile(Payload + "\\license.txt", std::string(3000, 'L'));
  WriteTestFile(Payload + "\\manual.txt", "The manual.\r\n");
  WriteTestFile(Payload + "\\patch.bin", std::string(700, 'P'));
  // A program with a version resource: its version travels into the list.
  ASSERT_TRUE(CopyFileA(BuildTreePath("tests\\model\\version-fixtures\\version_driver.dll").c_str(),
                        (Payload + "\\tool.exe").c_str(), FALSE));
  // Main location: an FTP folder; Patch has a location of its own, an HTTP
  // server's root; Tool is a net file of the install component.
  const std::string Objects =
      "  object MainSite: TNetInstallLocation\n"
      "    LoginInformation.Hostname = 'files.example.com'\n"
      "    LoginInformation.Directory = 'pub/product'\n"
      "    LoginInformation.Protocol = ipFTP\n"
      "  end\n"
      "  object Mirror: TNetInstallLocation\n"
      "    LoginInformation.Hostname = 'mirror.example.com'\n"
      "    LoginInformation.Protocol = ipHTTP\n"
      "  end\n"
      "  object Patch: TInstallFile\n"
      "    Container = Install1\n"
      "    FileName = 'patch.bin'\n"
      "    DestName = 'patch.bin'\n"
      "    DestDirType = psContainerDestDir\n"
      "    IncludeFromDir = '" + Payload + "'\n"
      "    ArchiveFileType = psContainerArchiveFile\n"
      "    Net = True\n"
      "    NetLocation = Mirror\n"
      "  end\n"
      "  object Tool: TInstallFile\n"
      "    Container = Install1\n"
      "    FileName = 'tool.exe'\n"
      "    DestName = 'tool.exe'\n"
      "    DestDirType = psContainerDestDir\n"
      "    IncludeFromDir = '" + Payload + "'\n"
      "    ArchiveFileType = psContainerArchiveFile\n"
      "    Net = True\n"
      "  end\n";
  const std::string Text =
      Project(Payload, "    DistributeType = " + Type + "\n    NetLocation = MainSite\n", Objects);
  const TProgramRun C = CompileProjectFile(D.Path(), Text, " --title \"" + std::string(Title) + "\"");
  ASSERT_TRUE(C.Ended && C.ExitCode == 0) << C.Errors;
  {
    TKitOnSearchPath Kit;
    const TBoxedRun R = RunBoxed(Quote(D / "setup\\Setup.exe") + " -b");
    ASSERT_TRUE(R.Ended);
    ASSERT_EQ(R.ExitCode, 0u);
    ASSERT_TRUE(R.Boxes.empty()) << R.Boxes[0];
  }
  const std::string Dist = D / "dist";
  const std::string Main = Dist + "\\files.example.com\\pub-product";
  const std::string Own = Dist + "\\mirror.example.com\\HTTP Root directory";

  // Where the archives are: a net file with a location of its own in an
  // archive of its own there; the other net files in their container's
  // archive in the main location's folder; the rest in files.1.
  EXPECT_EQ(Members(Own + "\\Patch.1"), std::vector<std::string>{Payload + "\\patch.bin"});
  if (Web) {
    EXPECT_EQ(Members(Main + "\\Install1.1"), (std::vector<std::string>{Payload + "\\readme.txt",
                                                                        Payload + "\\license.txt",
                                                                        Payload + "\\tool.exe"}));
    EXPECT_FALSE(FileExists(Dist + "\\files.1"));
    EXPECT_EQ(Members(Main + "\\Docs.1"), std::vector<std::string>{Payload + "\\manual.txt"});
  } else {
    EXPECT_EQ(Members(Main + "\\Install1.1"), std::vector<std::string>{Payload + "\\tool.exe"});
    EXPECT_FALSE(FileExists(Main + "\\Docs.1"));
    EXPECT_EQ(Members(Dist + "\\files.1"), (std::vector<std::string>{Payload + "\\manual.txt",
                                                                     Payload + "\\readme.txt",
                                                                     Payload + "\\license.txt"}));
  }
  const TSelfExtractTrailer T = TrailerOf(Dist + "\\setup.exe");
  if (Web) {
    // Nothing follows setup.1 but the trailer.
    EXPECT_EQ(T.FilesStart, 0);
    EXPECT_EQ(T.FilesEnd, 0);
    EXPECT_EQ(FileSizeByName(Dist + "\\setup.exe"), T.SetupEnd + 1 + 56);
  } else {
    EXPECT_EQ(T.FilesEnd - T.FilesStart + 1, FileSizeByName(Dist + "\\files.1"));
  }
  for (const std::string& A : {Own + "\\Patch.1", Main + "\\Install1.1", Dist + "\\setup.1"}) {
    const TProgramRun V = Verify(A);
    EXPECT_TRUE(V.Ended && V.ExitCode == 0) << A << "\n" << V.Output << V.Errors;
  }

  // The remote file list: in the main location's folder, one record per
  // file compressed, in the order the files were made.  A count, then 72
  // bytes a record: size (0-3), date (4-11), the name zero-padded to 40
  // bytes (12-51), the version zero-padded to 20 (52-71).
  const std::string List = ReadTestFile(Main + "\\filelist.lst");
  ASSERT_EQ(List.size(), 4u + 5 * 72);
  EXPECT_EQ(List.substr(0, 4), std::string("\x05\x00\x00\x00", 4));
  const struct {
    const char* File;
    const char* Name;
    const char* Size;  // nullptr: the fixture's own size
  } Rows[] = {
      {"readme.txt", "ReadMe", "\x10\x00\x00\x00"},  {"license.txt", "License", "\xB8\x0B\x00\x00"},
      {"manual.txt", "Manual", "\x0D\x00\x00\x00"},  {"patch.bin", "Patch", "\xBC\x02\x00\x00"},
      {"tool.exe", "Tool", nullptr},
  };
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(Rows[i].File);
    const std::string R = List.substr(4 + 72 * i, 72);
    const std::string Source = Payload + "\\" + Rows[i].File;
    if (Rows[i].Size) {
      EXPECT_EQ(R.substr(0, 4), std::string(Rows[i].Size, 4));
    }
    EXPECT_EQ(Int32At(R, 0), FileSizeByName(Source));
    double Date = 0;
    ASSERT_TRUE(FileAge(Source, Date));
    EXPECT_NEAR(DoubleAt(R, 4), Date, 2.5 / 86400);
    // Nothing stands behind the name but zeros.
    const std::string Name = Rows[i].Name;
    EXPECT_EQ(R.substr(12, 40), Name + std::string(40 - Name.size(), '\0'));
    const std::string Version = R.substr(52, 20);
    if (std::string(Rows[i].File) == "tool.exe") {
      EXPECT_EQ(Version.compare(0, 5, "3.10."), 0) << Version;
      const size_t End = std::min(Version.find('\0'), Version.size());
      EXPECT_EQ(Version.substr(End), std::string(20 - End, '\0'));
    } else {
      EXPECT_EQ(Version, std::string(20, '\0'));
    }
  }
  EXPECT_FALSE(FileExists(Own + "\\filelist.lst"));
  EXPECT_FALSE(FileExists(Dist + "\\filelist.lst"));
}

INSTANTIATE_TEST_SUITE_P(Types, WebBuild, ::testing::Values("dtWeb", "dtTraditionalNet"));

}  // namespace
