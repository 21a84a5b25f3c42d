// The installation run as a user sees it, under Wine: projects in text form
// made into setup programs, built with -b, and started as a user starts
// them — the self-extracting setup.exe or the loading program beside
// setup.1.  Archives come with the distribution or from local HTTP and FTP
// servers; runs succeed, fail (a damaged archive, a missing or unreachable
// download) or are cancelled by closing the setup window; a copy window
// shows a download as the user watches it.  The setup
// programs use an engine whose main form publishes event handlers that
// write what the run did into a trace file (run_test_engine.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "TestServer.h"
#include "apps/qvc/routines_ProjectCompiler.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_ObjectText.h"
#include "rtl/routines_Strings.h"
#include "test_paths.h"
#include "test_uninstall_support.h"

namespace {

constexpr DWORD RunTimeoutMs = 90000;

// --- the project --------------------------------------------------------------------------

struct TFileSpec {
  std::string Name, File, Container, Extra;
};

struct TRunProject {
  std::string Product;                   // also the folder under Program Files
  std::string DistributeType = "dtTraditional";
  std::string Host, Directory, Protocol;  // a net location when Host is set
  std::string InstallExtra;              // more lines for the install component
  std::string LocationExtra;             // more lines for the net location
  std::string Objects;                   // more objects of the main form
  std::string Payload;                   // folder of the files
  std::vector<TFileSpec> Files;
  bool DocsGroup = true;                 // a group "Docs" installing into \Docs

  // The caption of the main window; message boxes carry the title, which
  // differs, so the two cannot be mistaken for each other.
  std::string Caption() const { return Product + " Window"; }
  std::string Title() const { return Product + " Setup"; }

  std::string Text() const {
    std::string T =
        "object Form1: TForm1\n"
        "  Caption = '" + Caption() + "'\n"
        "  object psProgramFiles: TpsProgramFiles\n  end\n"
        "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
        "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
        "  object psMainArchiveFile: TpsMainArchiveFile\n  end\n";
    if (!Host.empty())
      T += "  object Location: TNetInstallLocation\n"
           "    LoginInformation.Hostname = '" + Host + "'\n"
           "    LoginInformation.Directory = '" + Directory + "'\n"
           "    LoginInformation.Protocol = " + Protocol + "\n" +
           LocationExtra +
           "  end\n";
    T += "  object Install1: TInstall\n"
         "    DestDir = '\\" + Product + "'\n"
         "    DestDirType = psProgramFiles\n"
         "    DistributeType = " + DistributeType + "\n" +
         (Host.empty() ? "" : "    NetLocation = Location\n") +
         "    Information.ProductName = '" + Product + "'\n"
         "    OnAfterNotifyGoodInstall = GoodInstall\n"
         "    OnAfterNotifyBadInstall = BadInstall\n"
         "    OnBeforeCleanup = BeforeCleanup\n"
         "    OnUserAbort = UserAbort\n"
         "    OnBeforeRunFile = BeforeRunFile\n" +
         (InstallExtra.find("OnBeforeShutdown") == std::string::npos ? "    OnBeforeShutdown = Shutdown\n" : "") +
         InstallExtra +
         "  end\n";
    if (DocsGroup)
      T += "  object Docs: TInstallFileGroup\n"
           "    Container = Install1\n"
           "    ArchiveFileType = psContainerArchiveFile\n"
           "    DestDirType = psContainerDestDir\n"
           "    DestDir = '\\Docs'\n"
           "  end\n";
    for (const TFileSpec& F : Files)
      T += "  object " + F.Name + ": TInstallFile\n"
           "    Container = " + F.Container + "\n"
           "    ArchiveFileType = psContainerArchiveFile\n"
           "    DestDirType = psContainerDestDir\n"
           "    FileName = '" + F.File + "'\n"
           "    DestName = '" + F.File + "'\n"
           "    IncludeFromDir = '" + RemoveBackslash(F.Name == "Tracer" ? BuildTreePath("tests\\e2e") : Payload) + "'\n" +
           F.Extra +
           "  end\n";
    return T + Objects + "end\n";
  }
};

// Text, a binary that compresses and one that does not; generated, so the
// same on every run.
std::string Pseudorandom(size_t Size, uint32_t Seed) {
  std::string R(Size, '\0');
  for (char& C : R) {
    Seed = Seed * 1103515245u + 12345u;
    C = static_cast<char>(Seed >> 24);
  }
  return R;
}

std::string TextPayload() {
  std::string R;
  for (int i = 0; i < 400; ++i) R += Format("Line %d of the read-me, as a user reads it.\r\n", i);
  return R;
}

std::string StructuredPayload() {
  std::string R;
  for (uint32_t i = 0; i < 20000; ++i) R.append(reinterpret_cast<const char*>(&i), 4).append("\0\0\x7f", 3);
  return R;
}

// --- running -------------------------------------------------------------------------------

std::string Joined(const std::vector<std::string>& Names) {
  std::string R;
  for (const std::string& N : Names) R += N + " ";
  return R;
}

// What a run leaves in the temporary folder that was not there before
// (a setup copy, a batch file, a fetched archive), once it had a few seconds
// to go.
std::string TempLeftovers(const std::vector<std::string>& Before) {
  std::vector<std::string> New;
  for (int i = 0; i < 100; ++i) {
    New.clear();
    const std::vector<std::string> Now = FolderNames(TempDirectory());
    std::set_difference(Now.begin(), Now.end(), Before.begin(), Before.end(), std::back_inserter(New));
    if (New.empty()) break;
    Sleep(100);
  }
  return Joined(New);
}

std::vector<std::string> Records() {
  std::vector<std::string> R;
  TRegKey K;
  if (K.OpenReadOnly(hkLocalMachine, InstallRecordRoot)) K.GetKeyNames(R);
  return R;
}

std::string RecordKey(const std::string& Sub) { return std::string(InstallRecordRoot) + "\\" + Sub; }

double RecordDate(const std::string& Sub, const std::string& Name) {
  TRegKey K;
  std::vector<uint8_t> V;
  double D = 0;
  if (K.OpenReadOnly(hkLocalMachine, RecordKey(Sub)) && K.ReadBinary(Name, V) && V.size() == 8)
    std::memcpy(&D, V.data(), 8);
  return D;
}

struct TWindowTexts {
  std::string Text;
  HWND Ok = nullptr;
};

// Waits for a message box titled Title of the running setup program,
// presses its OK button and returns its text.  Empty when the program ended
// without one.
std::string AnswerMessageBox(HANDLE Process, const std::string& Title) {
  for (DWORD Start = GetTickCount(); GetTickCount() - Start < RunTimeoutMs; Sleep(100)) {
    HWND H = FindWindowA("#32770", Title.c_str());
    if (!H) {
      if (WaitForSingleObject(Process, 0) == WAIT_OBJECT_0) return "";
      continue;
    }
    TWindowTexts T;
    EnumChildWindows(
        H,
        [](HWND C, LPARAM P) -> BOOL {
          // The box holds a button of every kind and hides those it does
          // not use; the text is in its visible static control.
          if (!IsWindowVisible(C)) return TRUE;
          auto* T = reinterpret_cast<TWindowTexts*>(P);
          char Buf[2048] = {}, Class[64] = {};
          GetWindowTextA(C, Buf, sizeof Buf);
          GetClassNameA(C, Class, sizeof Class);
          if (std::string(Buf) == "OK")
            T->Ok = C;
          else if (SameText(Class, "Static"))
            T->Text += Buf;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&T));
    if (!T.Ok) continue;
    SendMessageA(T.Ok, BM_CLICK, 0, 0);
    return T.Text;
  }
  return "<the message box did not come>";
}

// Ends the program that shows a top-level window titled Title, if any.
void EndProgramShowing(const std::string& Title) {
  for (HWND H; (H = FindWindowA(nullptr, Title.c_str())) != nullptr;) {
    DWORD Id = 0;
    GetWindowThreadProcessId(H, &Id);
    HANDLE P = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Id);
    if (!P) return;
    TerminateProcess(P, 99);
    WaitForSingleObject(P, 5000);
    CloseHandle(P);
  }
}

bool WaitForFile(const std::string& Path, DWORD TimeoutMs) {
  for (DWORD Start = GetTickCount(); GetTickCount() - Start < TimeoutMs; Sleep(100))
    if (FileExists(Path)) return true;
  return FileExists(Path);
}

class RunFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    // Short: the build stores source paths of at most 100 characters.
    Work = std::make_unique<TScratchDir>(
        "qvr_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()).substr(0, 10));
    Payload = *Work / "payload";
    WriteTestFile(AddBackslash(Payload) + "readme.txt", TextPayload());
    WriteTestFile(AddBackslash(Payload) + "table.dat", StructuredPayload());
    WriteTestFile(AddBackslash(Payload) + "noise.bin", Pseudorandom(300000, 7));
    TracePath = *Work / "trace.txt";
    SetEnvironmentVariableA("QV_RUN_TRACE", TracePath.c_str());
    RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
    TempBefore = FolderNames(TempDirectory());
  }
  void TearDown() override {
    // A failed run may leave its setup program waiting in a message box and
    // its copy or fetched archives in the temporary folder; neither may
    // disturb the tests that follow in this prefix.
    if (!Project.Product.empty())
      for (const std::string& T : {Project.Title(), Project.Caption()}) EndProgramShowing(T);
    const std::vector<std::string> Now = FolderNames(TempDirectory());
    for (const std::string& N : Now)
      if (!std::binary_search(TempBefore.begin(), TempBefore.end(), N)) {
        const std::string P = AddBackslash(TempDirectory()) + N;
        if (DirectoryExists(P)) RemoveTree(P);
        else DeleteFileA(P.c_str());
      }
    SetEnvironmentVariableA("QV_RUN_TRACE", nullptr);
    RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
    if (!Project.Product.empty()) RemoveTree(AppDir());
    Work.reset();
  }

  // The usual files: a read-me in the Docs group, a table and a large file
  // that does not compress in the main group.  Groups are installed before
  // the files beside them, so the Docs archive comes first.
  void UsualFiles() {
    Project.Payload = Payload;
    Project.Files = {{"ReadMe", "readme.txt", "Docs", ""},
                     {"Table", "table.dat", "Install1", ""},
                     {"Noise", "noise.bin", "Install1", ""}};
  }

  // Makes the setup program with the test engine and builds the
  // distribution; empty on success.
  std::string Build() {
    const std::string Folder = *Work / "product";
    ForceDirectories(AddBackslash(Folder) + "setup");
    const std::string Setup = AddBackslash(Folder) + "setup\\Setup.exe";
    try {
      WriteSetupProgram(BuildTreePath("tests\\e2e\\run_test_engine.exe"), Setup,
                        ObjectTextToBinary(Project.Text()), Project.Title());
      WriteBuildInf(Setup, Dist());
    } catch (const Exception& E) {
      return E.Message();
    }
    const std::string Problem = BuildCompiled(Folder);
    ClearTrace();  // the build ran the same program
    return Problem;
  }
  std::string Dist() const { return *Work / "product\\dist"; }
  std::string AppDir() const { return AddBackslash(GetProgramFilesDir()) + Project.Product; }

  // A plain distribution: the loading program beside setup.1 and files.1.
  std::string PlainDist() {
    const std::string P = *Work / "plain";
    ForceDirectories(P);
    EXPECT_TRUE(CopyFileA(KitProgram("QuorvaneLoadProgram.exe").c_str(), (P + "\\setup.exe").c_str(), FALSE));
    for (const char* F : {"setup.1", "files.1"})
      EXPECT_TRUE(CopyFileA((Dist() + "\\" + F).c_str(), (P + "\\" + F).c_str(), FALSE)) << F;
    return P;
  }

  // Starts Program as a user does and answers the message box it shows,
  // if any; returns the message's text, empty when there was none.
  std::string Run(const std::string& Program) {
    HANDLE P = StartProgram(Quote(Program));
    if (!P) return Format("<%s did not start: error %d>", Program, static_cast<int>(GetLastError()));
    std::string Message = AnswerMessageBox(P, Project.Title());
    const TProgramRun R = WaitProgram(P, RunTimeoutMs);
    if (!R.Ended) Message += "<the setup program did not end>";
    return Message;
  }

  std::string Trace() const { return ReadTestFile(TracePath); }
  void ClearTrace() const { DeleteFileA(TracePath.c_str()); }

  // Every file as it was given, with its date.
  void ExpectInstalled(const std::vector<TFileSpec>& Files) {
    for (const TFileSpec& F : Files) {
      const std::string Dest = AppDir() + (F.Container == "Docs" ? "\\Docs\\" : "\\") + F.File;
      const std::string Source = AddBackslash(Payload) + F.File;
      EXPECT_TRUE(ReadTestFile(Dest) == ReadTestFile(Source)) << Dest;
      double A = 0, B = 0;
      EXPECT_TRUE(FileAge(Dest, A) && FileAge(Source, B) && std::fabs(A - B) < 3.0 / 86400) << Dest;
    }
  }

  // A run that finished: every file installed, the handlers heard in this
  // order (Fetched: the archives that came from the net, as they were
  // recorded at the end of the run), the record gone, nothing left in the
  // temporary folder — no setup copy, no batch file, no fetched archive.
  void ExpectSucceeded(const std::string& Fetched = "") {
    ExpectInstalled(Project.Files);
    EXPECT_EQ(Trace(), "good\n" + Fetched + "cleanup\nshutdown\nended\n");
    EXPECT_EQ(Joined(Records()), "");
    EXPECT_EQ(TempLeftovers(TempBefore), "");
  }

  std::unique_ptr<TScratchDir> Work;
  std::string Payload, TracePath;
  std::vector<std::string> TempBefore;
  TRunProject Project;
};

// --- distributions that install -----------------------------------------------------------

TEST_F(RunFixture, SelfExtractingRunInstallsCleansUpAndLeavesNoRecord) {
  Project.Product = "QvRun Local";
  UsualFiles();
  ASSERT_EQ(Build(), "");
  EXPECT_EQ(Run(Dist() + "\\setup.exe"), "");
  ExpectSucceeded();
}

// Started with -c as the loading program starts it, but with nothing
// waiting to remove its folder (as after a restart): the program's own
// batch file takes the copy and its folder away once the program ended.
TEST_F(RunFixture, ATemporaryCopyRemovesItselfOnceEnded) {
  Project.Product = "QvRun Copy";
  UsualFiles();
  ASSERT_EQ(Build(), "");
  const std::string Copy = AddBackslash(TempDirectory()) + "QvRunCopy";
  ForceDirectories(Copy);
  ASSERT_TRUE(CopyFileA((*Work / "product\\setup\\Setup.exe").c_str(), (Copy + "\\Setup.exe").c_str(), FALSE));
  WriteTestFile(Copy + "\\helper.dat", "left beside the setup program");
  const TProgramRun R = WaitProgram(StartProgram(Quote(Copy + "\\Setup.exe") + " " + Quote("-s" + Dist()) + " -c"),
                                    RunTimeoutMs);
  ASSERT_TRUE(R.Ended);
  ExpectInstalled(Project.Files);
  EXPECT_EQ(Trace(), "good\ncleanup\nshutdown\nended\n");
  for (int i = 0; i < 200 && DirectoryExists(Copy); ++i) Sleep(100);
  EXPECT_FALSE(DirectoryExists(Copy)) << Joined(FolderNames(Copy));
  EXPECT_EQ(TempLeftovers(TempBefore), "");
}

class NetRun : public RunFixture {
 protected:
  void SetUp() override {
    RunFixture::SetUp();
    UseDirectConnections();
  }
  // The usual files, distributed as Type from a server of Kind in
  // Directory, built; empty on success.
  std::string BuildServed(const std::string& Product, const std::string& Type, TTestServer::TKind Kind,
                          const std::string& Directory, const std::string& ReadMeExtra = "") {
    Project.Product = Product;
    Project.DistributeType = Type;
    Serve(Kind, Directory);
    UsualFiles();
    Project.Files[0].Extra = ReadMeExtra;
    return Build();
  }
  // Starts the server and puts the location into the project.
  void Serve(TTestServer::TKind Kind, const std::string& Directory) {
    Root = *Work / "served";
    ForceDirectories(Root);
    ForceDirectories(*Work / "control");
    Server = std::make_unique<TTestServer>(Kind, Root, *Work / "control");
    Project.Host = Server->Host();
    Project.Directory = Directory;
    Project.Protocol = Kind == TTestServer::tsHttp ? "ipHTTP" : "ipFTP";
  }
  // Puts what the build left for the server (the remote file list and the
  // net archives) into the served folder Under.
  void Publish(const std::string& Under) {
    std::string Found;
    std::function<void(const std::string&)> Find = [&](const std::string& D) {
      for (const std::string& N : FolderNames(D)) {
        const std::string P = AddBackslash(D) + N;
        if (SameText(N, "filelist.lst")) Found = D;
        else if (DirectoryExists(P)) Find(P);
      }
    };
    Find(Dist());
    ASSERT_NE(Found, "") << "the build wrote no remote file list";
    Published = AddBackslash(Root) + Under;
    ForceDirectories(Published);
    for (const std::string& N : FolderNames(Found))
      ASSERT_TRUE(CopyFileA((AddBackslash(Found) + N).c_str(), (AddBackslash(Published) + N).c_str(), FALSE)) << N;
  }
  // Product as a web distribution from a server that sends slowly, started
  // as a user starts it; returns once its main archive has begun to come in.
  void StartSlowDownload(const std::string& Product, HANDLE& P) {
    ASSERT_EQ(BuildServed(Product, "dtWeb", TTestServer::tsHttp, "slow\\pub"), "");
    Publish("pub");
    P = StartProgram(Quote(Dist() + "\\setup.exe"));
    ASSERT_NE(P, nullptr);
    for (int i = 0; i < 600 && Requests("GET /slow/pub/Install1.1") == 0; ++i) Sleep(100);
    ASSERT_EQ(Requests("GET /slow/pub/Install1.1"), 1u) << Server->RequestLog();
  }
  size_t Requests(const std::string& What) const {
    const std::string Log = Server->RequestLog();
    size_t N = 0;
    for (size_t P = Log.find(What); P != std::string::npos; P = Log.find(What, P + 1)) ++N;
    return N;
  }
  std::string Root, Published;
  std::unique_ptr<TTestServer> Server;
};

TEST_F(NetRun, WebDistributionOverHttpFetchesEveryArchive) {
  ASSERT_EQ(BuildServed("QvRun Web", "dtWeb", TTestServer::tsHttp, "pub\\files"), "");
  // Nothing of the product is in the local archive: everything comes from
  // the server.
  Publish("pub\\files");
  EXPECT_EQ(Run(Dist() + "\\setup.exe"), "");
  EXPECT_EQ(Requests("GET /pub/files/filelist.lst"), 1u);
  EXPECT_EQ(Requests("GET /pub/files/Install1.1"), 1u);
  EXPECT_EQ(Requests("GET /pub/files/Docs.1"), 1u);
  ExpectSucceeded("local Docs=yes\nlocal Install1=yes\n");
}

TEST_F(NetRun, TraditionalNetOverFtpFetchesOnlyTheNetFiles) {
  // Only the read-me (in the Docs group) is fetched; the rest is in files.1.
  ASSERT_EQ(BuildServed("QvRun Ftp", "dtTraditionalNet", TTestServer::tsFtp, "pub\\setup", "    Net = True\n"), "");
  Publish("anonymous\\pub\\setup");
  EXPECT_TRUE(FileExists(AddBackslash(Published) + "Docs.1"));
  EXPECT_FALSE(FileExists(AddBackslash(Published) + "Install1.1"));
  EXPECT_EQ(Run(PlainDist() + "\\setup.exe"), "");
  ExpectSucceeded("local Docs=yes\n");
}

TEST_F(NetRun, AMissingArchiveFailsAndTheNextStartGoesOnFromTheRecord) {
  ASSERT_EQ(BuildServed("QvRun Missing", "dtWeb", TTestServer::tsHttp, "pub"), "");
  Publish("pub");
  const std::string Main = AddBackslash(Published) + "Install1.1";
  ASSERT_TRUE(MoveFileA(Main.c_str(), (Main + ".away").c_str()));

  const std::string Message = Run(Dist() + "\\setup.exe");
  EXPECT_NE(Message.find("Could not find the file Install1.1 on the server"), std::string::npos) << Message;
  EXPECT_EQ(Trace(), "bad\nlocal Docs=yes\nshutdown\nended\n");
  // The record stays, with the archive already fetched.
  ASSERT_EQ(Joined(Records()), "Install0 ");
  const std::string Fetched = RegReadString(hkLocalMachine, RecordKey("Install0\\Docs"), "LocalFile", "");
  EXPECT_TRUE(FileExists(Fetched)) << Fetched;
  // What the run installed is taken back; the fetched archive stays for the
  // next attempt.
  EXPECT_FALSE(DirectoryExists(AppDir())) << AppDir();

  // The archive is back; the next start finds the record by the setup
  // program's size and date and fetches only what is still missing.
  ASSERT_TRUE(MoveFileA((Main + ".away").c_str(), Main.c_str()));
  ClearTrace();
  EXPECT_EQ(Run(Dist() + "\\setup.exe"), "");
  EXPECT_EQ(Requests("GET /pub/Docs.1"), 1u);
  EXPECT_EQ(Requests("GET /pub/Install1.1"), 2u);
  ExpectSucceeded("local Docs=yes\nlocal Install1=yes\n");
  EXPECT_FALSE(FileExists(Fetched));
}

TEST_F(NetRun, AStoppedServerFailsAndKeepsTheRecord) {
  ASSERT_EQ(BuildServed("QvRun Stopped", "dtWeb", TTestServer::tsFtp, "pub"), "");
  Server.reset();
  const std::string Message = Run(Dist() + "\\setup.exe");
  EXPECT_NE(Message.find("Server " + Project.Host), std::string::npos) << Message;
  EXPECT_EQ(Trace(), "bad\nshutdown\nended\n");
  EXPECT_EQ(Joined(Records()), "Install0 ");
  EXPECT_FALSE(DirectoryExists(AppDir()));
  EXPECT_EQ(TempLeftovers(TempBefore), "");
}

// The user closes the setup window while an archive comes in: the run asks
// OnUserAbort, stops the download at its next block and takes the abort
// path — the run undone, failure pages, clean-up, the record and every
// fetched copy removed.
TEST_F(NetRun, ClosingTheWindowDuringADownloadCancelsTheRun) {
  HANDLE P = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartSlowDownload("QvRun Cancel", P));
  Sleep(300);
  HWND Main = FindWindowA(nullptr, Project.Caption().c_str());
  ASSERT_NE(Main, nullptr);
  PostMessageA(Main, WM_CLOSE, 0, 0);
  const DWORD Start = GetTickCount();
  const TProgramRun R = WaitProgram(P, RunTimeoutMs);
  ASSERT_TRUE(R.Ended);
  // Far sooner than the 7 s the whole download takes.
  EXPECT_LT(GetTickCount() - Start, 5000u);
  EXPECT_EQ(Trace(), "abort asked\nbad\nlocal Docs=yes\ncleanup\nshutdown\nended\n");
  EXPECT_EQ(Joined(Records()), "");
  // What was installed before the cancel is taken back.
  EXPECT_FALSE(DirectoryExists(AppDir())) << AppDir();
  EXPECT_EQ(TempLeftovers(TempBefore), "");
}

// A net install with a copy window, as the user watches it: while an
// archive comes in the window shows the transfer picture, the archive's
// name and a file bar that moves; the extraction that follows shows the
// archive picture and the file.  The test engine traces the pictures and
// the name (windowless, so the window driver cannot read them).
TEST_F(NetRun, TheCopyWindowShowsTheDownloadAndThenTheExtraction) {
  Project.Objects =
      "  object CopyDialogs: TDialogManager\n    Container = Install1\n    ManagerType = dmDuringCopyFiles\n  end\n";
  Project.InstallExtra = "    OnStatus = CopyStatus\n";
  Project.LocationExtra = "    OnDataReceived = DownloadStatus\n";
  HANDLE P = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartSlowDownload("QvRun Copy", P));
  // The file bar, read a few times during the download of about 7 s.
  const std::string Driver = Quote(QvautoProgram()) + " ";
  const std::string Window = Quote("Copying installation files") + " ";
  std::vector<int> Bar;
  for (int i = 0; i < 4; ++i) {
    Sleep(600);
    const std::string Out = RunCaptured(Driver + "state " + Window + "ProgressBar1", 30000).Output;
    const size_t At = Out.find("position=");
    if (At != std::string::npos) Bar.push_back(std::atoi(Out.c_str() + At + 9));
  }
  const std::string Shot = BuildTreePath("screenshots\\copy-window-download.png");
  CreateDirectoryA(ExtractFileDir(Shot).c_str(), nullptr);
  EXPECT_TRUE(RunCaptured(Driver + "shot " + Window + Quote(Shot), 30000).ExitCode == 0) << Shot;
  ASSERT_TRUE(WaitProgram(P, RunTimeoutMs).Ended);
  ASSERT_EQ(Bar.size(), 4u);
  EXPECT_TRUE(Bar.front() > 0 && Bar.back() < 100 && Bar.front() < Bar.back() && std::is_sorted(Bar.begin(), Bar.end()))
      << Bar[0] << " " << Bar[1] << " " << Bar[2] << " " << Bar[3];

  // The copy window's lines apart from the run's own.
  const std::string All = Trace();
  std::string Copy, Run;
  for (size_t B = 0, E; (E = All.find('\n', B)) != std::string::npos; B = E + 1)
    (All.compare(B, 12, "copy window:") == 0 ? Copy : Run) += All.substr(B, E + 1 - B);
  EXPECT_EQ(Run, "good\nlocal Docs=yes\nlocal Install1=yes\ncleanup\nshutdown\nended\n");
  const size_t Download = Copy.find("copy window: TransferBitmap Install1.1\n");
  EXPECT_NE(Download, std::string::npos) << Copy;
  EXPECT_NE(Copy.find("copy window: UnZipImage noise.bin\n", Download), std::string::npos) << Copy;
  EXPECT_EQ(Copy.find("UnZipImage TransferBitmap"), std::string::npos) << Copy;
  ExpectInstalled(Project.Files);
  EXPECT_EQ(Joined(Records()), "");
}

// --- failures and a second start -----------------------------------------------------------

TEST_F(RunFixture, ADamagedArchiveFailsAndTheNextStartFindsTheSameRecord) {
  Project.Product = "QvRun Damaged";
  UsualFiles();
  ASSERT_EQ(Build(), "");
  const std::string Plain = PlainDist();
  const std::string Files1 = Plain + "\\files.1";
  const std::string Good = ReadTestFile(Files1);
  // noise.bin is the last member and most of the archive: spoil its middle.
  std::string Bad = Good;
  for (size_t i = Bad.size() * 3 / 4; i < Bad.size() * 3 / 4 + 64; ++i) Bad[i] = static_cast<char>(~Bad[i]);
  ASSERT_TRUE(WriteTestFile(Files1, Bad));

  // The message names the member and says what to do; what came before
  // the damage is taken back, the product's folder with it.
  const std::string Damaged = "noise.bin cannot be unpacked from " + Files1 +
                              ": the distribution is damaged or incomplete. Copy or download it again.";
  std::string Message = Run(Plain + "\\setup.exe");
  EXPECT_EQ(Message, Damaged);
  EXPECT_EQ(Trace(), "bad\nshutdown\nended\n");
  EXPECT_FALSE(DirectoryExists(AppDir())) << AppDir();
  ASSERT_EQ(Joined(Records()), "Install0 ");
  const double FirstRun = RecordDate("Install0", "LastRunDate");
  const std::string FirstPath = RegReadString(hkLocalMachine, RecordKey("Install0"), "Path", "");
  EXPECT_GT(FirstRun, 0);
  // The loading program took its temporary copy away after the failure too.
  EXPECT_FALSE(FileExists(FirstPath)) << FirstPath;
  EXPECT_EQ(TempLeftovers(TempBefore), "");

  // Started again, still damaged: the same record, a new run date.
  ClearTrace();
  Sleep(50);
  Message = Run(Plain + "\\setup.exe");
  EXPECT_EQ(Message, Damaged);
  ASSERT_EQ(Joined(Records()), "Install0 ");
  EXPECT_GT(RecordDate("Install0", "LastRunDate"), FirstRun);

  // Repaired, the run finishes and the record goes.
  ASSERT_TRUE(WriteTestFile(Files1, Good));
  ClearTrace();
  EXPECT_EQ(Run(Plain + "\\setup.exe"), "");
  ExpectSucceeded();
}

// --- after the install ---------------------------------------------------------------------

TEST_F(RunFixture, RunAfterInstallFilesStartAndShutdownCanBeDeclined) {
  Project.Product = "QvRun After";
  Project.InstallExtra = "    OnBeforeShutdown = KeepRunning\n";
  Project.DocsGroup = false;
  Project.Payload = Payload;
  Project.Files = {{"ReadMe", "readme.txt", "Install1", ""},
                   {"Tracer", "run_trace.exe", "Install1", "    RunAfterInstall = True\n"}};
  ASSERT_EQ(Build(), "");
  HANDLE P = StartProgram(Quote(Dist() + "\\setup.exe"));
  ASSERT_NE(P, nullptr);
  // The installed program ran, in the folder it was installed to.
  ASSERT_TRUE(WaitForFile(AppDir() + "\\traced.txt", RunTimeoutMs));
  for (int i = 0; i < 50 && ReadTestFile(AppDir() + "\\traced.txt").empty(); ++i) Sleep(100);
  EXPECT_EQ(UpperCase(ReadTestFile(AppDir() + "\\traced.txt")), UpperCase("started in " + AppDir() + "\n"));
  // The setup program is still there after the run: its handler declined
  // the shutdown.
  EXPECT_EQ(WaitForSingleObject(P, 2000), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(Trace(), "good\ncleanup\nshutdown declined\nrun Tracer\n");
  EXPECT_EQ(Joined(Records()), "");
  // Once the run is over, closing the window ends the program as usual.
  HWND Main = FindWindowA(nullptr, Project.Caption().c_str());
  ASSERT_NE(Main, nullptr);
  PostMessageA(Main, WM_CLOSE, 0, 0);
  const TProgramRun R = WaitProgram(P, RunTimeoutMs);
  EXPECT_TRUE(R.Ended);
  EXPECT_EQ(Trace(), "good\ncleanup\nshutdown declined\nrun Tracer\nended\n");
  EXPECT_EQ(TempLeftovers(TempBefore), "");
}

}  // namespace
