// The install component under Wine: construction rules, the command line,
// the install record, the resume command line, the self-extracting trailer,
// clean-up, resumption and the failure paths.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TApplication.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "environment/routines_Unfinished.h"
#include "model/cmp_TInstallFolder.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/routines_Registration.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/cmp_TReader.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"
#include "test_process.h"

namespace {

struct InstallEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterModelClasses();
    RegisterInstallClasses();
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new InstallEnv);

// A project with an install component, read with the given command line.
struct InstallProject {
  std::vector<std::string> Args;
  TForm* Form = new TForm(nullptr);
  TCustomInstall* Install = nullptr;
  explicit InstallProject(std::vector<std::string> A, const std::string& Props = "")
      : Args(std::move(A)) {
    TApplication::SetParamsOverride(&Args);
    const std::string Text = "object Form1: TForm\n  object Install1: TInstall\n" + Props + "  end\nend\n";
    TMemoryStream S(ObjectTextToBinary(Text));
    try {
      ReadRootComponent(S, Form);
    } catch (...) {
      TApplication::SetParamsOverride(nullptr);
      delete Form;
      throw;
    }
    Install = dynamic_cast<TCustomInstall*>(Form->FindComponent("Install1"));
  }
  ~InstallProject() {
    delete Form;
    TApplication::SetParamsOverride(nullptr);
    InstallKey.clear();
  }
};

std::string RunOnceValue(const std::string& Name) {
  return RegReadString(hkLocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", Name, "");
}

void ClearRunOnce() {
  TRegKey K;
  if (!K.Open(hkLocalMachine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", false)) return;
  std::vector<std::string> Names;
  K.GetValueNames(Names);
  for (const std::string& N : Names)
    if (N.rfind("Quorvane", 0) == 0) K.DeleteValue(N);
}

TEST(Install, CommandLineSwitchesAndTheirValues) {
  InstallProject P({"-eSetup.exe", "-sC:\\Dist"}, "    RunAutomatic = False\n");
  EXPECT_TRUE(P.Install->Switch(swSelfExtract));
  EXPECT_EQ(P.Install->SwitchText(swSelfExtract), "Setup.exe");
  EXPECT_EQ(P.Install->SwitchText(swSource), "C:\\Dist");
  EXPECT_EQ(P.Install->GetSourceDirectory(), "C:\\Dist");
  P.Install->ParseCommandLine({"-b"});
  EXPECT_TRUE(P.Install->Switch(swBuild));
  EXPECT_EQ(P.Install->SwitchText(swBuild), "");
  EXPECT_FALSE(P.Install->Switch(swSelfExtract));

  for (const std::string Bad : {"-x", "b", "-", ""}) {
    try {
      P.Install->ParseCommandLine({"-sC:\\A", Bad});
      ADD_FAILURE() << "accepted <" << Bad << ">";
    } catch (const IException& E) {
      EXPECT_EQ(E.Message(), "Invalid parameter <" + Bad +
                                 ">. Valid command line parameters are: -b (Build), -d (Debug), -f "
                                 "(Transfer to floppies), -e (Called by self-extractor), -r (After reboot)");
    }
  }
  P.Install->ParseCommandLine({"-SC:\\One", "-sC:\\Two", "-C"});
  EXPECT_EQ(P.Install->SwitchText(swSource), "C:\\Two");
  EXPECT_TRUE(P.Install->Switch(swCopy));
}

TEST(Install, DebugNeedsTheSourceDirectory) {
  for (const std::vector<std::string>& Args : {std::vector<std::string>{"-d"},
                                                std::vector<std::string>{"-d", "-s  "}}) {
    try {
      InstallProject P(Args);
      ADD_FAILURE() << "started without a build directory";
    } catch (const Exception& E) {
      EXPECT_NE(E.Message().find("You forgot to pass in the build directory. In Run | Parameters, "
                                 "follow this format: -d \"-sC:\\My Build\""),
                std::string::npos)
          << E.Message();
    }
  }
  InstallProject Ok({"-d", "-sC:\\B"});
  EXPECT_EQ(Ok.Install->GetSourceDirectory(), "C:\\B");
}

TEST(Install, OneInstallComponentPerProcessOnAForm) {
  InstallProject P({});
  try {
    TInstall Second(P.Form);
    FAIL();
  } catch (const IEInstall& E) {
    EXPECT_EQ(E.Message(),
              "The TInstall component does not currently support the use of 2 TInstall components in "
              "the same project");
  }
  EXPECT_EQ(CurrentInstall(), P.Install);
  TComponent NotAForm(nullptr);
  EXPECT_THROW({ TInstall Orphan(&NotAForm); }, IEInstall);
  EXPECT_EQ(CurrentInstall(), P.Install);
}

TEST(Install, DefaultsAndTheMainFormHook) {
  InstallProject P({}, "    HideMainForm = True\n");
  TCustomInstall* I = P.Install;
  EXPECT_EQ(I->DestDir(), "\\MyApplication");
  EXPECT_EQ(I->DestDirType(), StandardSpecifier<TpsProgramFiles>());
  EXPECT_EQ(I->ArchiveFileType(), StandardSpecifier<TpsMainArchiveFile>());
  EXPECT_EQ(I->GroupName, "Main");
  EXPECT_EQ(I->Information()->ProductName, "My product");
  EXPECT_EQ(I->BuildInfo()->BuildDirectory, "c:\\build");
  EXPECT_EQ(I->MainForm(), P.Form);
  EXPECT_TRUE(static_cast<bool>(P.Form->OnActivate));
  // Hidden: moved out of sight before it is first shown.
  EXPECT_EQ(P.Form->Left(), -2 * P.Form->Width());
  EXPECT_EQ(P.Form->Top(), -2 * P.Form->Height());
  I->SetAutoMaximizeWindow(true);
  EXPECT_FALSE(I->HideMainForm());
  EXPECT_THROW(I->SetDistributeType(dtWeb), IEInstall);
}

TEST(Install, RecordsAreFoundBySizeAndDateAndNamedByTheFirstFreeNumber) {
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
  InstallProject P({"-sC:\\Dist"});
  // Foreign records with other sizes.
  for (const char* N : {"Install0", "Install2"}) {
    const std::string K = std::string(InstallRecordRoot) + "\\" + N;
    RegWriteString(hkLocalMachine, K, "Path", "C:\\elsewhere\\setup.exe");
    TRegKey R;
    ASSERT_TRUE(R.Open(hkLocalMachine, K, true));
    double D = 1;
    R.WriteBinary("CreationDate", &D, 8);
    R.WriteInteger("Size", 1);
  }
  std::string Key;
  P.Install->FindInstallRecord(false, Key);
  EXPECT_EQ(Key, "");
  P.Install->FindInstallRecord(true, Key);
  EXPECT_EQ(Key, std::string(InstallRecordRoot) + "\\Install1");
  EXPECT_EQ(RegReadString(hkLocalMachine, Key, "Path", ""), TApplication::ExeName());
  // Found again, Path rewritten.
  RegWriteString(hkLocalMachine, Key, "Path", "C:\\moved\\setup.exe");
  std::string Again;
  P.Install->FindInstallRecord(false, Again);
  EXPECT_EQ(Again, Key);
  EXPECT_EQ(RegReadString(hkLocalMachine, Key, "Path", ""), TApplication::ExeName());

  // Removal takes the local archive copies along, then the empty parents.
  InstallKey = Key;
  const std::string Copy = TempDirectory() + "\\qv-local-copy.1";
  ASSERT_TRUE(WriteTestFile(Copy, "x"));
  RegWriteString(hkLocalMachine, Key + "\\Group1", "LocalFile", Copy);
  P.Install->RemoveInstallRecord();
  EXPECT_FALSE(FileExists(Copy));
  TRegKey Gone;
  EXPECT_FALSE(Gone.OpenReadOnly(hkLocalMachine, Key));
  EXPECT_TRUE(Gone.OpenReadOnly(hkLocalMachine, InstallRecordRoot));  // the foreign ones stay
  Gone.Close();
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot + std::string("\\Install0"));
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot + std::string("\\Install2"));
  InstallKey = std::string(InstallRecordRoot) + "\\Install9";
  RegWriteString(hkLocalMachine, InstallKey, "Path", "x");
  P.Install->RemoveInstallRecord();
  EXPECT_FALSE(Gone.OpenReadOnly(hkLocalMachine, "\\Software\\Quorvane"));
}

TEST(Install, ResumeCommandLines) {
  ClearRunOnce();
  const std::string E = TApplication::ExeName();
  {
    InstallProject P({"-sD:\\Dist", "-c"}, "    UseLoadingProgram = False\n");
    P.Install->RegisterRunOnce();
    EXPECT_EQ(RunOnceValue("QuorvaneUnfinished"),
              "\"" + E + "\" -r \"-s" + ExtractFileDir(E) + "\" -c");
  }
  {
    InstallProject P({"-sD:\\Dist", "-eSetup.exe"});
    P.Install->RegisterRunOnce();
    // The first name is taken: the next free one.
    EXPECT_EQ(RunOnceValue("QuorvaneUnfinished1"), "\"" + E + "\" -r \"-eSetup.exe\" \"-sD:\\Dist\"");
  }
  ClearRunOnce();
}

TEST(Install, SelfExtractorTrailerOffsets) {
  TScratchDir D("qv-selfext");
  ASSERT_TRUE(WriteTestFile(D / "setup.exe", std::string(30000, 'L')));
  ASSERT_TRUE(WriteTestFile(D / "setup.1", std::string(1000, 'S')));
  ASSERT_TRUE(WriteTestFile(D / "files.1", std::string(500, 'F')));
  InstallProject P({});
  P.Install->MakeSelfExtractor(D / "setup.exe", D / "setup.1", D / "files.1");
  TSelfExtractTrailer T;
  P.Install->ReadExtractionInfo(D / "setup.exe", T);
  EXPECT_EQ(T.SetupStart, 30000);
  EXPECT_EQ(T.SetupEnd, 30999);
  EXPECT_EQ(T.FilesStart, 31000);
  EXPECT_EQ(T.FilesEnd, 31499);
  const std::string All = ReadTestFile(D / "setup.exe");
  ASSERT_EQ(All.size(), 31500u + 56);
  EXPECT_EQ(All.substr(31500, 15), std::string("\x0eSELFEXTRACTING"));
  // Without files.1 the files offsets are 0.
  ASSERT_TRUE(WriteTestFile(D / "setup2.exe", std::string(100, 'L')));
  P.Install->MakeSelfExtractor(D / "setup2.exe", D / "setup.1", D / "missing.1");
  P.Install->ReadExtractionInfo(D / "setup2.exe", T);
  EXPECT_EQ(T.FilesStart, 0);
  EXPECT_EQ(T.FilesEnd, 0);
  EXPECT_EQ(ReadTestFile(D / "setup2.exe").size(), 100u + 1000 + 56);
  EXPECT_THROW(P.Install->ReadExtractionInfo(D / "nothing.exe", T), IEInstall);
}

TEST(Install, PresetupFilesAndTheirDuplicates) {
  InstallProject P({});
  P.Install->AddPresetupFile("D:\\Y\\README.TXT", false);
  P.Install->AddPresetupFile("C:\\X\\readme.txt", true);
  EXPECT_EQ(P.Install->PresetupFiles()->Count(), 1);
  TStrings L;
  L.SetText("a.dll\r\n   \r\nb.dll\r\n");
  P.Install->SetPresetupFiles(L);
  EXPECT_EQ(P.Install->PresetupFiles()->ToVector(), (std::vector<std::string>{"a.dll", "b.dll"}));
}

TEST(Install, CleanupOnlyForATemporaryCopy) {
  {
    InstallProject P({"-sC:\\D", "-c", "-d"});
    P.Install->Cleanup();
    EXPECT_EQ(P.Install->BatchFileName(), "");
  }
  InstallProject P({"-sC:\\D", "-c"});
  bool Asked = false;
  P.Install->OnBeforeCleanup = [&](TCustomInstall*, bool& Continue) {
    Asked = true;
    Continue = false;
  };
  P.Install->Cleanup();
  EXPECT_TRUE(Asked);
  EXPECT_EQ(P.Install->BatchFileName(), "");
  P.Install->OnBeforeCleanup = TInstallContinueEvent();
  P.Install->Cleanup();
  const std::string Bat = P.Install->BatchFileName();
  ASSERT_FALSE(Bat.empty());
  const std::string Text = ReadTestFile(Bat);
  // Windows NT: no DELTREE; the folder goes once the program let go of it.
  EXPECT_EQ(Text.find("DELTREE"), std::string::npos);
  EXPECT_NE(Text.find("rmdir /s /q \"" + ExtractFileDir(TApplication::ExeName()) + "\""), std::string::npos);
  RemoveFile(Bat);
  // The destructor must not run it: this is the test program's own folder.
  P.Install->OnBeforeCleanup = [](TCustomInstall*, bool& C) { C = false; };
}

TEST(Install, ResumptionFinishesTheListAndRemovesTheRecord) {
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
  InstallProject P({"-sC:\\Dist"}, "    RunAutomatic = False\n");
  std::string Key;
  P.Install->FindInstallRecord(true, Key);
  InstallKey = Key;
  const std::string Bat = TempDirectory() + "\\qv-bat1.bat";
  ASSERT_TRUE(WriteTestFile(Bat, "rem"));
  int32_t Count = 0;
  AddUnfinished(Key, Count, Bat, 1);
  std::vector<int32_t> Codes;
  P.Install->OnAfterNotifyGoodInstall = [&](TPersistent*) { Codes.push_back(1); };
  P.Install->FinishUnfinished();
  EXPECT_FALSE(FileExists(Bat));
  EXPECT_EQ(Codes.size(), 1u);
  EXPECT_EQ(InstallKey, "");
  TRegKey K;
  EXPECT_FALSE(K.OpenReadOnly(hkLocalMachine, Key));

  // A malformed entry stops the resumption with the whole line named.
  P.Install->FindInstallRecord(true, Key);
  InstallKey = Key;
  RegWriteString(hkLocalMachine, Key + "\\Unfinished", "C:\\Temp\\bad", "x");
  RegWriteString(hkLocalMachine, Key + "\\Unfinished", "Entries", "1");
  try {
    P.Install->FinishUnfinished();
    ADD_FAILURE();
  } catch (const IEInstall& E) {
    EXPECT_NE(E.Message().find("There is an invalid entry for the unfinished install list C:\\Temp\\bad"),
              std::string::npos)
        << E.Message();
  }
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
}

TEST(Install, FailuresDuringTheRunTakeTheirPaths) {
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
  TApplication App(nullptr);
  InstallProject P({"-sC:\\Dist"}, "    RunAutomatic = False\n");
  std::vector<std::string> Seen;
  P.Install->OnAfterNotifyBadInstall = [&](TPersistent*) { Seen.push_back("bad"); };
  std::string Key;
  // A user abort: failure pages, record removed.
  P.Install->FindInstallRecord(true, Key);
  InstallKey = Key;
  P.Install->OnAfterInitialized = [](TPersistent*) { throw EQIUserAbort(); };
  try {
    P.Install->Process();
  } catch (const Exception& E) {
    P.Install->HandleException(P.Install, E);
  }
  EXPECT_EQ(Seen, std::vector<std::string>{"bad"});
  // Cancelled before anything was installed.
  EXPECT_EQ(App.ExitCode, ExitCodeCancelled);
  TRegKey K;
  EXPECT_FALSE(K.OpenReadOnly(hkLocalMachine, Key));
  EXPECT_FALSE(P.Install->Installing());
  // Any other failure: the record stays for the next attempt.  (The message
  // box of the standard display is replaced for the test.)
  App.OnException = TExceptionEvent();
  P.Install->OnAfterInitialized = [](TPersistent*) { throw IEInstall("broken"); };
  P.Install->OnBeforeShutdown = [](TCustomInstall*, bool& Quit) { Quit = false; };
  bool Shown = false;
  try {
    P.Install->Process();
  } catch (const Exception& E) {
    Shown = E.Message() == "broken";
    // HandleException would show the message; the record is what matters.
  }
  EXPECT_TRUE(Shown);
  EXPECT_FALSE(InstallKey.empty());
  EXPECT_TRUE(K.OpenReadOnly(hkLocalMachine, InstallKey));
  K.Close();
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
}

TEST(Install, APlannedRestartDeclinedEndsWithoutSuccessAndKeepsAllForTheResumption) {
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
  ClearRunOnce();
  TApplication App(nullptr);
  InstallProject P({"-sC:\\Dist", "-c"}, "    Reboot = True\n    UseLoadingProgram = False\n");
  std::vector<std::string> Seen;
  P.Install->OnAfterNotifyGoodInstall = [&](TPersistent*) { Seen.push_back("good"); };
  P.Install->OnBeforeCleanup = [&](TCustomInstall*, bool& Continue) {
    Seen.push_back("cleanup");
    Continue = false;
  };
  P.Install->OnBeforeShutdown = [&](TCustomInstall*, bool&) { Seen.push_back("shutdown"); };
  P.Install->OnBeforeReboot = [&](TCustomInstall* I, bool& Continue) {
    Seen.push_back(Continue ? "asked" : "asked, already declined");
    // The resume command is in RunOnce before anyone is asked.
    EXPECT_NE(RunOnceValue("QuorvaneUnfinished"), "");
    EXPECT_EQ(I, P.Install);
    Continue = false;
  };
  P.Install->Process();
  EXPECT_EQ(Seen, std::vector<std::string>{"asked"});
  EXPECT_FALSE(P.Install->Reboot);
  EXPECT_EQ(App.ExitCode, ExitCodeRestartPlanned);
  // The record stays for the resumption, and the next start finds it.
  const std::string Key = InstallKey;
  ASSERT_NE(Key, "");
  std::string Again;
  P.Install->FindInstallRecord(false, Again);
  EXPECT_EQ(Again, Key);
  // The resume command: the running program, -r, its folder, -c.
  const std::string E = TApplication::ExeName();
  EXPECT_EQ(RunOnceValue("QuorvaneUnfinished"), "\"" + E + "\" -r \"-s" + ExtractFileDir(E) + "\" -c");
  ClearRunOnce();
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
}

TEST(Install, WhereNoRestartIsPossibleTheFailureHandlerIsCalled) {
  // Wine reports NT 3.51 to a program of its own; there RebootWindows must
  // not even try.
  const std::string Child = BuildTreePath("tests\\engine\\test_engine_nt351.exe");
  ASSERT_TRUE(FileExists(Child)) << Child;
  std::string Output;
  EXPECT_EQ(RunAsWindowsVersion(Child, "nt351", Output), 0) << Output;
  EXPECT_NE(Output.find("[  PASSED  ] 1 test"), std::string::npos) << Output;
}

// Closing the main window while the run goes on is the user's cancel: it
// is asked, the copies and downloads are told to stop, the window stays, and
// the run ends as a cancel even when nothing was copying at that moment.
TEST(Install, ClosingTheMainWindowDuringTheRunCancelsIt) {
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
  TApplication App(nullptr);
  InstallProject P({"-sC:\\Dist"}, "    RunAutomatic = False\n");
  std::vector<std::string> Seen;
  bool Answer = false;
  P.Install->OnUserAbort = [&](TCustomInstall*, bool& QuitOut) {
    Seen.push_back("asked");
    QuitOut = Answer;
  };
  P.Install->OnAfterNotifyBadInstall = [&](TPersistent*) { Seen.push_back("bad"); };
  P.Install->OnAfterNotifyGoodInstall = [&](TPersistent*) { Seen.push_back("good"); };
  bool Closed = false;
  P.Form->OnClose = [&](TPersistent*, TCloseAction&) { Closed = true; };
  P.Install->OnAfterInitialized = [&](TPersistent*) { P.Form->Close(); };
  auto Run = [&] {
    QrvnCompress().SetAbort(false);
    SetNetAborted(false);
    try {
      P.Install->Process();
    } catch (const Exception& E) {
      P.Install->HandleException(P.Install, E);
    }
  };

  // Declined: nothing changes and the run succeeds.
  Run();
  EXPECT_EQ(Seen, (std::vector<std::string>{"asked", "good"}));
  EXPECT_FALSE(Closed);
  EXPECT_FALSE(QrvnCompress().Abort());
  EXPECT_FALSE(NetAborted());

  // Confirmed: the flags are set, the window stays and the run takes the
  // cancel's path, which removes the record.
  Seen.clear();
  Answer = true;
  Run();
  EXPECT_EQ(Seen, (std::vector<std::string>{"asked", "bad"}));
  EXPECT_FALSE(Closed);
  EXPECT_TRUE(QrvnCompress().Abort());
  EXPECT_TRUE(NetAborted());
  EXPECT_FALSE(P.Install->Installing());
  TRegKey K;
  EXPECT_FALSE(K.OpenReadOnly(hkLocalMachine, InstallRecordRoot));

  // Once the run is over the window closes as any other.
  P.Form->Close();
  EXPECT_TRUE(Closed);
  EXPECT_EQ(Seen.size(), 2u);
  QrvnCompress().SetAbort(false);
  SetNetAborted(false);
}

TEST(Install, KitDirectoryOnTheSearchPath) {
  TScratchDir D("qv-kit");
  const std::string Saved = RegReadString(hkCurrentUser, KitSearchPathKey, "Search Path", "");
  RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", "");
  EXPECT_THROW(FindKitDirectory(true), IENoQuorvanePath);
  EXPECT_EQ(FindKitDirectory(false), "");
  ASSERT_TRUE(WriteTestFile(D / "kit\\Q32V35.TXT", "marker"));
  RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", " C:\\nowhere ; " + (D / "kit\\") + ";C:\\x");
  EXPECT_EQ(FindKitDirectory(true), D / "kit");
  RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", Saved);
}

TEST(Install, SetupProgramThatCannotBeTaken) {
  TScratchDir D("qv-setupprog");
  InstallProject P({}, "    UseLoadingProgram = False\n");
  auto MessageOf = [](const std::function<void()>& F) {
    try {
      F();
    } catch (const Exception& E) {
      return E.Message();
    }
    return std::string("<no error>");
  };
  EXPECT_EQ(MessageOf([&] { P.Install->CreateSetupArchive(D.Path(), "  "); }),
            "Cannot create setup file. Executable is blank");
  EXPECT_EQ(MessageOf([&] { P.Install->CreateSetupArchive(D.Path(), D / "missing.exe"); }),
            "TInstall: Cannot find the executable file " + (D / "missing.exe"));
  EXPECT_FALSE(FileExists(D / "setup.1"));
  // Without the loading program the setup program is copied under its own
  // name; a folder of that name in the build folder stays, and the build
  // fails.
  ASSERT_TRUE(WriteTestFile(D / "author\\MySetup.exe", "the setup program"));
  ASSERT_TRUE(ForceDirectories(D / "dist\\MySetup.exe"));
  EXPECT_EQ(MessageOf([&] { P.Install->Build(D / "author\\MySetup.exe", D / "dist", false); }),
            "Cannot create the file " + (D / "dist\\MySetup.exe"));
  EXPECT_TRUE(DirectoryExists(D / "dist\\MySetup.exe"));
  RemoveTree(D / "dist");
  EXPECT_EQ(MessageOf([&] { P.Install->Build(D / "author\\MySetup.exe", D / "new\\dist", false); }), "<no error>");
  EXPECT_EQ(ReadTestFile(D / "new\\dist\\MySetup.exe"), "the setup program");
  EXPECT_FALSE(FileExists(D / "new\\dist\\setup.exe"));
  // A folder tree that qvc did not write out would leave its files behind.
  TInstallFolder Tree(P.Form);
  Tree.SetName("Docs");
  EXPECT_EQ(MessageOf([&] { P.Install->Build(D / "author\\MySetup.exe", D / "tree\\dist", false); }),
            "The folder tree Docs was not written out as install files: make the setup program with qvc");
  EXPECT_FALSE(DirectoryExists(D / "tree\\dist"));
}

}  // namespace
