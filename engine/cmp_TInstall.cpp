#include "engine/cmp_TInstall.h"

#include <windows.h>

#include <cstdio>
#include <limits>
#include <map>
#include <cstring>
#include <ctime>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TApplication.h"
#include "controls/cmp_TScreen.h"
#include "controls/routines_Resources.h"
#include "engine/routines_BuildReport.h"
#include "engine/routines_CleanupBatch.h"
#include "engine/routines_Distribution.h"
#include "engine/routines_InstallRecord.h"
#include "engine/routines_Restart.h"
#include "environment/routines_API.h"
#include "environment/routines_Process.h"
#include "environment/routines_Registry.h"
#include "environment/routines_RegistryStore.h"
#include "environment/routines_RunOptions.h"
#include "environment/routines_Scoped.h"
#include "environment/routines_Unfinished.h"
#include "i18n/cmp_TTranslator.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TInstallFolder.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/routines_RunJournal.h"
#include "net/cmp_TNetInstallLocation.h"
#include "records/routines_FileList.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Scope.h"
#include "rtl/routines_Strings.h"

#undef CopyFile

double RunStartTime = 0;

namespace {
const TEnumInfo& DistributeInfo() { return DistributeTypeInfo; }

double Now() {
  SYSTEMTIME T;
  GetLocalTime(&T);
  return EncodeDayCount({T.wYear, T.wMonth, T.wDay, T.wHour, T.wMinute, T.wSecond}) +
         T.wMilliseconds / 86400000.0;
}

// The setup program file: the running executable.
std::string SetupProgramFile() { return TApplication::ExeName(); }

void ShowMessageBox(const std::string& Text) {
  std::string Title = Application ? Application->Title : std::string("Setup");
  RunMessageBox(nullptr, Text, Title, MB_OK | MB_ICONSTOP | MB_TASKMODAL, IDOK);
}

// A picture of the dialog theme from the bitmap resource, when the program
// carries one.
void LoadThemeBitmap(TPicture& P) {
  std::string Bmp;
  if (ReadBitmapResource("INSTALLTHEME1", Bmp)) P.SetBitmap(Bmp);
}
}  // namespace

// --- construction -----------------------------------------------------------------

const TClassInfo& TCustomInstall::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomInstall>("TCustomInstall", &TFileContainer::StaticClass()).Build();
  return Info;
}

namespace {
// Runs the owner checks before the base classes register anything: a
// refused install component must leave no trace.
TComponent* CheckedOwner(TComponent* AOwner) {
  if (CurrentInstall())
    throw IEInstall(
        "The TInstall component does not currently support the use of 2 TInstall components in the "
        "same project");
  if (!dynamic_cast<TCustomForm*>(AOwner))
    throw IEInstall(
        "The Owner of the TInstall component must either be a class of type TCustomForm (Delphi 3) "
        "or TForm (Delphi 2.0,C++Builder 1.0)");
  return AOwner;
}
}  // namespace

TCustomInstall::TCustomInstall(TComponent* AOwner)
    : TFileContainer(CheckedOwner(AOwner)),
      FBuildInfo(new TBuildInfo),
      FInformation(new TInstallInformation),
      FDialogThemeBitmap(new TPicture),
      FPresetupFiles(new TStrings) {
  LoadThemeBitmap(*FDialogThemeBitmap);
  RunAutomatic = true;
  FUseLoadingProgram = true;
  FArchiveFileType = StandardSpecifier<TpsMainArchiveFile>();
  FArchiveFile.clear();
  FDistributeType = dtTraditional;
  SetCurrentInstall(this);
  FAutoMaximizeWindow = true;
  FDestDirType = StandardSpecifier<TpsProgramFiles>();
  FDestDir = "\\MyApplication";
  AllowChangeDir = true;
  GroupName = "Main";
  if (Application)
    Application->OnException = [this](TPersistent* Sender, const Exception& E) { HandleException(Sender, E); };
}

TCustomInstall::~TCustomInstall() {
  if (FMainForm && !FMainForm->IsDestroying()) {
    if (FSavedActivate) FMainForm->OnActivate = FSavedActivate;
    if (FCloseHooked) FMainForm->OnCloseQuery = FSavedCloseQuery;
  }
  if (CurrentInstall() == this) SetCurrentInstall(nullptr);
  if (Application && Application->OnException) Application->OnException = TExceptionEvent();
  if (FRunBatchFileOnDestroy && !FBatchFileName.empty()) {
    // Started, not waited for: it waits for this program to let go.
    std::string Cmd = "cmd.exe /c \"" + FBatchFileName + "\"";
    if (GetWindowsVersion() == wvWindows95) Cmd = FBatchFileName;
    RunProcess({Cmd, "", SW_HIDE});
  }
}

// --- properties ---------------------------------------------------------------------

void TCustomInstall::SetAutoMaximizeWindow(bool Value) {
  FAutoMaximizeWindow = Value;
  if (!IsLoading() && Value) FHideMainForm = false;
}

void TCustomInstall::SetHideMainForm(bool Value) {
  FHideMainForm = Value;
  if (!IsLoading() && Value) FAutoMaximizeWindow = false;
}

void TCustomInstall::SetDistributeType(TDistributeType Value) {
  if (!IsLoading()) throw IEInstall("DistributeType can only be set at design-time");
  FDistributeType = Value;
}

void TCustomInstall::SetNetLocation(TCustomNetInstallLocation* Value) {
  TFileContainer::SetNetLocation(Value);
  SetDefaultNetLocation(Value);
  if (!Value) FDistributeType = dtTraditional;
}

void TCustomInstall::SetUseLoadingProgram(bool Value) {
  FUseLoadingProgram = Value;
  if (!IsLoading() && Value) {
    FArchiveFileType = StandardSpecifier<TpsMainArchiveFile>();
    FArchiveFile.clear();
  }
}

void TCustomInstall::SetPresetupFiles(const TStrings& Value) {
  TStrings Copy;
  Copy.Assign(Value);
  for (int i = Copy.Count() - 1; i >= 0; --i)
    if (Trim(Copy[i]).empty()) Copy.Delete(i);
  FPresetupFiles->Assign(Copy);
}

void TCustomInstall::Notification(TComponent* AComponent, TOperation Operation) {
  TFileContainer::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FNetLocation) FNetLocation = nullptr;
}

namespace {
// The switch letters in the order of their positions in the switch set.
const char SwitchLetters[] = "bfdersc";
int SwitchIndex(char Letter) {
  const char L = static_cast<char>(std::tolower(static_cast<unsigned char>(Letter)));
  const char* P = L ? std::strchr(SwitchLetters, L) : nullptr;
  return P ? static_cast<int>(P - SwitchLetters) : -1;
}
}  // namespace

bool TCustomInstall::SwitchGiven(char S) const {
  const int I = SwitchIndex(S);
  return I >= 0 && FSwitches[static_cast<size_t>(I)].first;
}

std::string TCustomInstall::SwitchValue(char S) const {
  const int I = SwitchIndex(S);
  return I >= 0 ? FSwitches[static_cast<size_t>(I)].second : std::string();
}

// --- start-up -------------------------------------------------------------------------

void TCustomInstall::ParseCommandLine(const std::vector<std::string>& Args) {
  for (auto& S : FSwitches) S = {false, std::string()};
  RunOptions() = TRunOptions();
  for (const std::string& A : Args) {
    // The administrator's switches begin with "/", the kit's with "-".
    if (ParseRunOption(A, RunOptions())) continue;
    const int Index = A.size() >= 2 && A[0] == '-' ? SwitchIndex(A[1]) : -1;
    if (Index < 0)
      throw IException(
          "Invalid parameter <%s>. Valid command line parameters are: -b (Build), -d (Debug), -f "
          "(Transfer to floppies), -e (Called by self-extractor), -r (After reboot)",
          A);
    FSwitches[static_cast<size_t>(Index)] = {true, A.substr(2)};
  }
}

std::string TCustomInstall::GetSourceDirectory() const {
  if (!FSourceDirectory.empty()) return FSourceDirectory;
  return RemoveBackslash(ExtractFileDir(SetupProgramFile()));
}

void TCustomInstall::Loaded() {
  TFileContainer::Loaded();
  ParseCommandLine(TApplication::Params());
  OpenRunLog(RunOptions(), "Setup");
  // An unattended run keeps its main window out of sight: it is shown, so
  // that its first activation starts the run, but off the screen.
  if (RunOptions().Unattended()) {
    FAutoMaximizeWindow = false;
    FHideMainForm = true;
  }
  if (Switch(swDebug) && (!Switch(swSource) || Trim(SwitchText(swSource)).empty()))
    throw IEInstall(
        "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d "
        "\"-sC:\\My Build\"");
  FSourceDirectory = Switch(swSource) ? SwitchText(swSource) : RemoveBackslash(ExtractFileDir(SetupProgramFile()));
  FindInstallRecord(false, InstallKey);
  std::string Local;
  if (FindLocalFile(Local)) LocalArchive = Local;
  FMainForm = Application ? Application->MainForm() : nullptr;
  if (!FMainForm) FMainForm = dynamic_cast<TCustomForm*>(Owner());
  if (!FMainForm && RunAutomatic)
    throw IEInstall(
        "Application.MainForm is undefined and the TInstall is not on a form. Therefore, therefore "
        "the TInstall can't run the installation automatically");
  const TInstallType Preference[] = {itDefault, itCompact, itFull, itCustom};
  TInstallType Chosen = itAlways;
  if (!(FInstallTypes & InstallTypeBit(itAlways)))
    for (TInstallType T : Preference)
      if (FInstallTypes & InstallTypeBit(T)) {
        Chosen = T;
        break;
      }
  SelectInstallType(Chosen);

  if (Switch(swBuild)) {
    BuildFromBuildInf();
  } else if (Switch(swFloppies)) {
    TransferToFloppies("a:");
  } else if (Switch(swReboot)) {
    FinishUnfinished();
  } else if (FMainForm) {
    FSavedActivate = FMainForm->OnActivate;
    FMainForm->OnActivate = [this](TPersistent* Sender) { MainFormActivate(Sender); };
    // Closing the main window while the run goes on must not pull the
    // components from under it: it asks to cancel instead.
    FSavedCloseQuery = FMainForm->OnCloseQuery;
    FMainForm->OnCloseQuery = [this](TPersistent* Sender, bool& CanClose) { MainFormCloseQuery(Sender, CanClose); };
    FCloseHooked = true;
    if (FHideMainForm)
      FMainForm->SetBounds(-2 * FMainForm->Width(), -2 * FMainForm->Height(), FMainForm->Width(),
                           FMainForm->Height());
  }
}

void TCustomInstall::MainFormActivate(TPersistent*) {
  if (FActivated) return;
  if (FSavedActivate) FSavedActivate(Owner());
  FActivated = true;
  if (FMainForm && FAutoMaximizeWindow) {
    FMainForm->SetWindowState(wsMaximized);
    FMainForm->Invalidate();
  }
  if (!RunAutomatic) return;
  if (FMainForm && !FMainForm->IsDestroying() && FSavedActivate) FMainForm->OnActivate = FSavedActivate;
  Process();
}

void TCustomInstall::MainFormCloseQuery(TPersistent* Sender, bool& CanClose) {
  if (!FInstalling) {
    if (FSavedCloseQuery) FSavedCloseQuery(Sender, CanClose);
    return;
  }
  // The run ends through its own abort handling, which also shuts down.
  CanClose = false;
  RequestUserAbort();
}

void TCustomInstall::HandleException(TPersistent*, const Exception& E) {
  if (!FInstalling) {
    if (Application) Application->ShowException(E);
    return;
  }
  FInstalling = false;
  // Cancelled or failed, the program did not install: whoever started it
  // must not read success from its exit code.
  const bool Cancelled = dynamic_cast<const EQIUserAbort*>(&E) != nullptr;
  LogLine((Cancelled ? "Cancelled: " : "Failed: ") + E.Message());
  if (Application) Application->ExitCode = Cancelled && !FObjectsStarted ? ExitCodeCancelled : ExitCodeFailed;
  try {
    RollBackRun();
    if (dynamic_cast<const EQIUserAbort*>(&E)) {
      NotifyBadInstall();
      Cleanup();
      RemoveInstallRecord();
      if (RunAutomatic) Shutdown();
    } else {
      NotifyBadInstall();
      if (Application) Application->ShowException(E);
      Shutdown();
    }
  } catch (...) {
    // Ending a failed run: the first failure has been dealt with, and a
    // second one from the clean-up must not keep the program from ending.
    if (RunAutomatic && Application) Application->Terminate();
  }
}

void TCustomInstall::RollBackRun() {
  if (!RunJournal().Active()) return;
  std::vector<std::string> Left;
  {
    TScreenCursorScope Wait;
    Left = RunJournal().Rollback();
  }
  if (Left.empty()) return;
  std::string Text = TranslateMessageText("The setup could not undo everything it had done:");
  for (const std::string& L : Left) Text += "\n" + L;
  ShowMessageBox(Text);
}

// --- the run ---------------------------------------------------------------------------

void TCustomInstall::Process() {
  RunStartTime = Now();
  FailedRegistrationList().Clear();
  FUnfinishedCount = 0;
  FRunBatchFileOnDestroy = false;
  FAbortRequested = false;
  FObjectsStarted = false;
  FInstalling = true;
  LogLine("Installation of " + ProductName() + " from " + FSourceDirectory);
  if (FUseLoadingProgram && !Switch(swSource))
    throw IEInstall(
        "The path of the loading program was not passed correctly. If you are running your install "
        "project in the IDE, then you need to add two command line parameters. In Run | Parameters | "
        "\"Run Parameters\", type in: -d \"-sBUILDPATH\" where BUILDPATH is the path into which you "
        "built the distributables. Example: -d \"-sC:\\My Build\".");
  // What the run changes is kept until it ends, so that a failed or
  // cancelled run leaves the machine as it found it; the install record
  // stays for the next attempt.
  RunJournal().Begin();
  // The folders and the archive serve every file of the run.
  TRegisteredFoldersKept Folders;
  QrvnCompress().SetKeepArchiveOpen(true);
  TFinally CloseArchive([] { QrvnCompress().SetKeepArchiveOpen(false); });
  RunJournal().KeyToBeChanged(hkLocalMachine, UninstallKeyFor(ProductName()), true);
  RunJournal().KeyToBeChanged(hkLocalMachine, RunOnceKey, false);
  FindInstallRecord(true, InstallKey);
  ClearUnfinished();
  if (Switch(swSelfExtract)) ApplyExtractionInfo();
  ReadInfoFromArchive();
  if (OnAfterInitialized) OnAfterInitialized(this);
  for (TNotificationCode Code : StartOfRunCodes) Broadcast(this, Code, nullptr);
  LogLine("Destination " + GetDestPath());
  FObjectsStarted = true;
  TFileContainer::Process();
  // A cancel the user confirmed ends the run as a cancel, even when it came
  // too late for any copy or download to see it.
  if (FAbortRequested) throw EQIUserAbort();
  RegisterDeferred();
  WriteUninstallDisplay();
  if (FUnfinishedCount > 0 || Reboot) RegisterRunOnce();
  // Installed: what waits for the restart waits as planned.
  RunJournal().Commit();
  const bool Planned = Reboot;
  if (Planned) Broadcast(this, ncReboot, nullptr);
  if (Reboot && OnBeforeReboot) OnBeforeReboot(this, Reboot);
  if (Planned) LogLine(RunOptions().NoRestart ? "A restart is needed; /NORESTART: Windows is not restarted"
                                              : "A restart is needed");
  if (RunOptions().NoRestart) Reboot = false;
  if (Reboot) {
    StoreLanguage();
    if (Application) Application->ExitCode = ExitCodeRestartPlanned;
    RebootWindows();
    if (Application) Application->Terminate();
  }
  if (Planned) {
    if (Application) {
      Application->ExitCode = ExitCodeRestartPlanned;
      Application->Terminate();
    }
    return;
  }
  EndGoodRun();
}

// The end of a run that installed everything (also after a restart).
void TCustomInstall::EndGoodRun() {
  LogLine("Installation finished");
  NotifyGoodInstall();
  Cleanup();
  RemoveInstallRecord();
  if (RunAutomatic) Shutdown();
  RunFilesAfterInstall();
  FInstalling = false;
}

void TCustomInstall::WriteUninstallDisplay() {
  // Only a product that installed an uninstaller is listed by Windows.
  const std::string Key = UninstallKeyFor(ProductName());
  TRegistryStore Machine(hkLocalMachine);
  std::string Uninstall;
  const auto K = Machine.OpenKey(Key);
  if (!K || !K->ReadString(UninstallRecordLayout::UninstallString, Uninstall)) return;
  TUninstallDisplay D;
  D.DisplayVersion = FInformation->Version;
  D.Publisher = FInformation->CompanyName;
  D.InstallLocation = GetDestPath();
  D.URLInfoAbout = FBuildInfo->AppURL;
  SYSTEMTIME T;
  GetLocalTime(&T);
  char Date[16];
  std::snprintf(Date, sizeof Date, "%04u%02u%02u", T.wYear, T.wMonth, T.wDay);
  D.InstallDate = Date;
  int64_t Bytes = 0;
  for (TCustomInstallFile* F : InstallFileList().Data()) {
    if (!F->Processed) continue;
    Bytes += F->FileSize;
    // The product's program, as the author names it, lends its icon.
    if (!FBuildInfo->AppName.empty() && SameText(F->DestName(), FBuildInfo->AppName))
      D.DisplayIcon = AddBackslash(F->GetDestPath()) + F->DestName();
  }
  D.EstimatedSizeKB = static_cast<int32_t>((Bytes + 1023) / 1024);
  ::WriteUninstallDisplay(Machine, Key, D);
  LogLine("Uninstall entry written: " + Key);
}

void TCustomInstall::RegisterDeferred() {
  // Registration failures are raised from here on.
  std::vector<TCustomInstallFile*> Queue = FailedRegistrationList().Data();
  FailedRegistrationList().Clear();
  for (TCustomInstallFile* F : Queue) F->RegisterActiveX();
}

void TCustomInstall::FindInstallRecord(bool Create, std::string& Key) {
  std::optional<std::string> SelfExtract;
  if (Switch(swSelfExtract)) SelfExtract = AddBackslash(FSourceDirectory) + SwitchText(swSelfExtract);
  Key = ::FindInstallRecord(IdentifySetupProgram(SetupProgramFile()), RunStartTime, Create, SelfExtract);
}

void TCustomInstall::ReadInfoFromArchive() {
  if (InfoRead) return;
  if (OnBeforeReadArchiveInfo) OnBeforeReadArchiveInfo(this);
  Broadcast(this, ncBeforeReadArchiveInfo, nullptr);
  {
    TFinally Hide([this] { HideStatusText(); });
    TScreenCursorScope Wait;
    ShowStatusText(TranslateMessageText("Reading file information..."));
    TFileContainer::ReadInfoFromArchive();
    if (FDistributeType != dtTraditional) {
      TCustomNetInstallLocation* L = FindNetLocation();
      if (!L) throw IEInstallNetLocNil("Must assign a net location via the NetLocation property before you can set the distribute type");
      const TTempFile Tmp(GetTempFile(false));
      L->Download("filelist.lst", Tmp);
      // A cancelled download ends quietly with part of the list.
      if (NetAborted()) throw EQIUserAbort();
      std::vector<TFileListRecord> Records;
      {
        TFileStream S(Tmp, TFileMode::fmOpenRead);
        if (!ReadFileListRecords(S, Records)) throw IEInstall("Cannot read the remote list of files: %s", Tmp);
      }
      for (const TFileListRecord& R : Records)
        for (TCustomInstallFile* F : InstallFileList().Data())
          if (SameText(F->Name(), R.Name)) {
            F->FileSize = R.FileSize;
            F->FileDate = R.FileDate;
            F->Version = R.Version;
          }
    }
  }
  InfoRead = true;
  if (OnAfterReadArchiveInfo) OnAfterReadArchiveInfo(this);
  Broadcast(this, ncAfterReadArchiveInfo, nullptr);
}

void TCustomInstall::NotifyGoodInstall() {
  if (OnBeforeNotifyGoodInstall) OnBeforeNotifyGoodInstall(this);
  Broadcast(this, ncBeforeGoodInstall, nullptr);
  Broadcast(this, ncAfterGoodInstall, nullptr);
  if (OnAfterNotifyGoodInstall) OnAfterNotifyGoodInstall(this);
}

void TCustomInstall::NotifyBadInstall() {
  if (OnBeforeNotifyBadInstall) OnBeforeNotifyBadInstall(this);
  Broadcast(this, ncBeforeBadInstall, nullptr);
  Broadcast(this, ncAfterBadInstall, nullptr);
  if (OnAfterNotifyBadInstall) OnAfterNotifyBadInstall(this);
}

void TCustomInstall::Cleanup() {
  if (!FUseLoadingProgram || Switch(swDebug) || !Switch(swCopy)) return;
  bool Continue = true;
  if (OnBeforeCleanup) OnBeforeCleanup(this, Continue);
  if (!Continue) return;
  const std::string Exe = SetupProgramFile();
  const std::string Dir = RemoveBackslash(ExtractFileDir(Exe));
  for (int i = 0; i < FPresetupFiles->Count(); ++i)
    RemoveFile(AddBackslash(Dir) + ExtractFileName((*FPresetupFiles)[i]));
  const std::string Bat = WriteCleanupBatch(Exe, Dir, GetWindowsVersion() == wvWindows95);
  if (Bat.empty()) return;
  FBatchFileName = Bat;
  FRunBatchFileOnDestroy = true;
}

void TCustomInstall::RemoveInstallRecord() {
  if (InstallKey.empty()) return;
  ::RemoveInstallRecord(InstallKey);
  InstallKey.clear();
}

void TCustomInstall::Shutdown() {
  bool QuitOut = true;
  if (OnBeforeShutdown) OnBeforeShutdown(this, QuitOut);
  if (QuitOut && Application) Application->Terminate();
}

bool TCustomInstall::UserAbort() {
  bool QuitOut = true;
  if (OnUserAbort) OnUserAbort(this, QuitOut);
  return QuitOut;
}

bool TCustomInstall::RequestUserAbort() {
  if (!UserAbort()) return false;
  FAbortRequested = true;
  QrvnCompress().SetAbort(true);
  SetNetAborted(true);
  return true;
}

void TCustomInstall::RunFilesAfterInstall() {
  for (TCustomInstallFile* F : InstallFileList().Data()) {
    if (!F->RunAfterInstall) continue;
    bool DefaultAction = true;
    if (OnBeforeRunFile) OnBeforeRunFile(this, F, DefaultAction);
    if (!DefaultAction) continue;
    // Quoted: a folder with blanks must not let Windows try "C:\Program.exe" first.
    RunProcess({"\"" + AddBackslash(F->GetDestPath()) + F->DestName() + "\"", F->GetDestPath(), SW_SHOWNORMAL});
  }
}

// --- unfinished work and the restart ----------------------------------------------------

void TCustomInstall::ReadUnfinished(TStrings& List) { ::ReadUnfinished(InstallKey, List); }
void TCustomInstall::ClearUnfinished() { ::ClearUnfinished(InstallKey); }
void TCustomInstall::AddUnfinished(const std::string& Name, int32_t Kind) {
  ::AddUnfinished(InstallKey, FUnfinishedCount, Name, Kind);
}

std::string TCustomInstall::GetSetupProgramPath() {
  if (Switch(swSelfExtract)) return GetArchivePath();
  const std::vector<std::string> Args = TApplication::SplitCommandLine(GetCommandLineA());
  if (FUseLoadingProgram) return AddBackslash(FSourceDirectory) + (Args.size() > 1 ? Args[1] : std::string());
  return SetupProgramFile();
}

void TCustomInstall::RegisterRunOnce() {
  const std::string Cmd =
      ResumeCommandLine(SetupProgramFile(), GetSetupProgramPath(), Switch(swSelfExtract), Switch(swCopy)) +
      ResumeSwitches(RunOptions());
  if (!WriteRunOnce("QuorvaneUnfinished", Cmd, true))
    throw IEInstall("Cannot register the install to be run on reboot in the RunOnce key in the registry");
}

void TCustomInstall::StoreLanguage() {
  if (!Translator()) return;
  WriteRecordLanguage(InstallKey, Translator()->TranslateIntoLanguage());
}

int TCustomInstall::ReadLanguage() {
  const int Default = Translator() ? Translator()->TranslateIntoLanguage() : qlUser;
  if (InstallKey.empty()) return Default;
  return ReadRecordLanguage(InstallKey, Default);
}

void TCustomInstall::RebootWindows() {
  if (RestartWindows()) return;
  if (OnFailedReboot)
    OnFailedReboot(this);
  else
    ShowMessageBox(TranslateMessageText("Could not reboot windows. Please manually reboot windows."));
}

void TCustomInstall::FinishUnfinished() {
  FInstalling = true;
  FindInstallRecord(false, InstallKey);
  if (Translator()) Translator()->SetTranslateIntoLanguage(LanguageFromRecord(ReadLanguage()));
  TStrings List;
  ReadUnfinished(List);
  ClearUnfinished();
  for (int i = 0; i < List.Count(); ++i) {
    const std::string& Line = List[i];
    const size_t S1 = Line.find(';');
    const size_t S2 = S1 == std::string::npos ? std::string::npos : Line.find(';', S1 + 1);
    int32_t Kind = 0;
    if (S1 == std::string::npos || !TryStrToInt(Line.substr(S1 + 1, S2 == std::string::npos ? std::string::npos : S2 - S1 - 1), Kind))
      throw IEInstall("There is an invalid entry for the unfinished install list %s", Line);
    const std::string Name = Line.substr(0, S1);
    if (Kind == ukDeleteFile) {
      RemoveFile(Name);
    } else if (Kind == ukFinishObject) {
      auto All = InstallContainerList().Data();
      for (TInstallContainer* C : All)
        if (SameText(C->Name(), Name)) C->FinishUnfinished();
    }
  }
  EndGoodRun();
}

// --- building the distribution ------------------------------------------------------------

void TCustomInstall::Compress(TCompressOptions Options) {
  for (TCustomInstallFile* F : InstallFileList().Data()) {
    F->CompressState = 0;
    F->InNetArchive = false;
  }
  TFileContainer::Compress(Options);
}

void TCustomInstall::BuildFromBuildInf() {
  try {
    const std::string Name = AddBackslash(ExtractFileDir(SetupProgramFile())) + "BUILD.INF";
    if (!FileExists(Name))
      throw IEInstall("Need to have a BUILD.INF file in this directory with the first line specifying the build directory");
    TStrings Lines;
    {
      TFileStream In(Name, TFileMode::fmOpenRead);
      std::string Text(static_cast<size_t>(In.Size()), '\0');
      In.ReadBuffer(&Text[0], Text.size());
      Lines.SetText(Text);
    }
    // A blank first line names no folder: the build would land in whatever
    // folder is current.
    if (Lines.Count() == 0 || Trim(Lines[0]).empty())
      throw IEInstall("Must be 1 line in BUILD.INF. This line should specify the build directory");
    Build(SetupProgramFile(), Lines[0], true);
  } catch (const Exception& E) {
    TBuildReport::StandardOutput()("Build failed: " + E.Message());
    ShowMessageBox(E.Message());
    // Whatever the build left behind is no distribution: a script that
    // started the build must not take it for one.
    if (Application) Application->ExitCode = ExitCodeFailed;
  }
  if (Application) Application->Terminate();
}

void TCustomInstall::Build(const std::string& ExeName, const std::string& BuildDir, bool MakeSelfExtractor) {
  if (MakeSelfExtractor && !FUseLoadingProgram)
    throw IEInstall("Cannot build a stand alone executable if the UseLoadingProgram property of the TInstall is set to False");
  // qvc writes folder trees out as install files; one still here was never
  // expanded, and its files would be missing from the distribution.
  for (int i = 0; Owner() && i < Owner()->ComponentCount(); ++i)
    if (auto* T = dynamic_cast<TInstallFolder*>(Owner()->Components(i)))
      throw IEInstall("The folder tree %s was not written out as install files: make the setup program with qvc",
                      T->Name());
  TStagedBuild Stage(BuildDir);
  int Files = 0;
  for (TCustomInstallFile* F : InstallFileList().Data()) Files += F->Container() ? 1 : 0;
  TBuildReport Report(Files);
  Report.Started(RemoveBackslash(BuildDir));
  FBuildReport = &Report;
  TFinally Unhook([this] { FBuildReport = nullptr; });
  try {
    BuildInto(Stage.Folder(), ExeName, MakeSelfExtractor);
    Stage.Commit();
  } catch (Exception& E) {
    // The author knows the build folder, not the one it is made in.
    E.SetMessage(Stage.InBuildFolder(E.Message()));
    throw;
  }
  Report.Finished(RemoveBackslash(BuildDir), Stage.Placed());
}

void TCustomInstall::DoInformationEventControl(TInstallContainer* Sender, int32_t EventCode, TPersistent* Param) {
  if (FBuildReport) {
    // The last status of a file tells its size in the archive; the report
    // that it is compressed comes after it.
    auto* L = EventCode == ieCompressStatus ? dynamic_cast<TListParameter*>(Param) : nullptr;
    auto* S = L && L->Items.size() >= 2 ? dynamic_cast<TFileStatusParameter*>(L->Items[1]) : nullptr;
    if (S && S->FileStats.FileFinished) FLastCompressedSize = S->FileStats.CompressedSize;
    auto* F = EventCode == ieCompressed ? dynamic_cast<TCustomInstallFile*>(Param) : nullptr;
    if (F) {
      FBuildReport->FileCompressed(F->GetSourceFileName(), F->FileSize, FLastCompressedSize);
      FLastCompressedSize = 0;
    }
  }
  TFileContainer::DoInformationEventControl(Sender, EventCode, Param);
}

void TCustomInstall::BuildInto(const std::string& Folder, const std::string& ExeName, bool MakeSelfExtractor) {
  const std::string Dir = AddBackslash(Folder);
  const std::string SetupExe = Dir + "setup.exe", Setup1 = Dir + "setup.1", Files1 = Dir + "files.1";
  {
    // The project's own archive comes back whatever happens.
    TCustomPathSpecifier* SavedType = FArchiveFileType;
    const std::string SavedFile = FArchiveFile;
    FArchiveFileType = nullptr;
    FArchiveFile = Files1;
    TFinally Restore([&] {
      FArchiveFileType = SavedType;
      FArchiveFile = SavedFile;
    });
    CheckArchiveSizes();
    CopySetupProgram(Folder, ExeName);
    // Every file goes into the build, excluded or not; a traditional
    // distribution keeps net files local, a web one makes every file a net
    // file.
    constexpr TCompressOptions Always = coIncludeExcluded | coReserved | coRelocateArchives;
    static const TCompressOptions Options[] = {Always | coForceNetFilesLocal, Always | coForceFilesNet, Always};
    Compress(Options[FDistributeType]);
    if (FDistributeType != dtTraditional) WriteFileList();
  }
  if (MakeSelfExtractor) this->MakeSelfExtractor(SetupExe, Setup1, Files1);
}

void TCustomInstall::CheckArchiveSizes() {
  // An archive keeps its positions in 32 bits.  The sources of the files
  // that go into one archive are summed before anything is compressed, so
  // that a build too large for it fails at once rather than after minutes
  // of compressing; files fetched from a net location have archives of
  // their own and are left to the compressor.
  constexpr int64_t Limit = std::numeric_limits<int32_t>::max();
  std::map<std::string, int64_t> Sizes;
  for (TCustomInstallFile* F : InstallFileList().Data()) {
    if (F->Net() || FDistributeType == dtWeb) continue;
    const int64_t Size = FileSizeByName(F->GetSourceFileName());
    if (Size < 0) continue;  // reported by name when the build reads it
    if (Size > Limit) throw IEInstall("The file %s is too large for an archive", F->GetSourceFileName());
    std::string Archive;
    try {
      Archive = F->GetArchivePath();
    } catch (const Exception&) {
      continue;
    }
    int64_t& Sum = Sizes[UpperCase(Archive)];
    Sum += Size;
    if (Sum > Limit)
      throw IEInstall(
          "The files that go into the archive %s are larger than an archive can hold (2 GB). Give "
          "some of them a file group with an archive of its own",
          ExtractFileName(Archive));
  }
}

void TCustomInstall::CopySetupProgram(const std::string& BuildDir, const std::string& ExeName) {
  // The build folder may not exist yet in either case.
  ForceDirectories(BuildDir);
  if (FUseLoadingProgram) {
    try {
      CreateSetupArchive(BuildDir, ExeName);
    } catch (const EqcDiskFull&) {
      throw IEInstall(
          "The disk that you have specified has been determined to be either too full or is corrupt "
          "while trying to copy the SETUP.1 archive file. You should probably clear all files off of "
          "the drive. Minimally, you should leave enough space on the drive for the SETUP.1 archive "
          "file.");
    }
    CopyLoadingProgram(BuildDir);
  } else {
    const std::string Dest = AddBackslash(BuildDir) + ExtractFileName(ExeName);
    if (!CopyFileA(ExeName.c_str(), Dest.c_str(), FALSE))
      throw IEInstall("Cannot copy the installation application from %s to %s", ExeName, Dest);
  }
}

void TCustomInstall::CreateSetupArchive(const std::string& BuildDir, const std::string& ExeName) {
  ::CreateSetupArchive(BuildDir, ExeName, *FPresetupFiles);
}

void TCustomInstall::MakeSelfExtractor(const std::string& SetupExe, const std::string& Setup1,
                                       const std::string& Files1) {
  AppendSelfExtractor(SetupExe, Setup1, Files1);
}

void TCustomInstall::WriteFileList() {
  const std::string Dir = AddBackslash(ExtractFileDir(GetArchivePath())) + GetNetFolder();
  ForceDirectories(Dir);
  std::vector<TFileListRecord> Records;
  for (TCustomInstallFile* F : InstallFileList().Data())
    if (F->CompressState == 1 || F->CompressState == 2)
      Records.push_back({F->FileSize, F->FileDate, F->Name().substr(0, 39), F->Version.substr(0, 20)});
  TFileStream S(AddBackslash(Dir) + "filelist.lst", TFileMode::fmCreate);
  WriteFileListRecords(S, Records);
}

void TCustomInstall::ReadExtractionInfo(const std::string& FileName, TSelfExtractTrailer& Trailer) {
  Trailer = ::ReadExtractionInfo(FileName);
}

void TCustomInstall::ApplyExtractionInfo() {
  TSelfExtractTrailer T;
  ReadExtractionInfo(GetArchivePath(), T);
  QrvnCompress().SetOffset(T.FilesStart);
}

void TCustomInstall::TransferToFloppies(const std::string& Drive) {
  {
  TScreenCursorScope Wait;
  if (Application) Application->ProcessMessages();
  try {
    if (!Switch(swSelfExtract))
      throw IEInstall(
          "Sorry... You can only transfer this installation to floppies through the self-extracting "
          "file. Usage example: setup.exe *TODISK");
    const std::string Self = GetArchivePath();
    TSelfExtractTrailer T;
    ReadExtractionInfo(Self, T);
    ShowStatusText(TranslateMessageText("Transferring this installation to floppies. Please wait..."));
    TFinally Hide([this] { HideStatusText(); });
    CopyToFloppies(Self, T, Drive);
  } catch (const Exception& Ex) {
    ShowMessageBox(Ex.Message());
    if (Application) Application->ExitCode = ExitCodeFailed;
  }
  }
  if (Application) {
    Application->ProcessMessages();
    Application->Terminate();
  }
}

void TCustomInstall::AddPresetupFile(const std::string& FileName, bool CheckDuplicates) {
  if (CheckDuplicates)
    for (int i = 0; i < FPresetupFiles->Count(); ++i)
      if (SameText(ExtractFileName((*FPresetupFiles)[i]), ExtractFileName(FileName))) return;
  FPresetupFiles->Add(FileName);
}

// --- TInstall -------------------------------------------------------------------------------

const TClassInfo& TInstall::StaticClass() {
  using C = TInstall;
  static const TClassInfo Info =
      TClassBuilder<C>("TInstall", &TCustomInstall::StaticClass())
          .Creatable()
          .Bool("AllowChangeDir", &C::AllowChangeDir, true)
          .Bool("AutoMaximizeWindow", &C::AutoMaximizeWindow, &C::SetAutoMaximizeWindow, true)
          .Object("BuildInfo", &C::BuildInfo)
          .Object("Description", &C::Description)
          .Str("DestDir", &C::DestDir, &C::SetDestDir, "\\MyApplication")
          .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &C::DestDirType, &C::SetDestDirType)
          .NoDefault()
          .Object("DialogThemeBitmap", &C::DialogThemeBitmap)
          .Enum("DistributeType", DistributeInfo(), &C::DistributeType, &C::SetDistributeType, dtTraditional)
          .Str("GroupName", &C::GroupName, "Main")
          .Bool("HideMainForm", &C::HideMainForm, &C::SetHideMainForm, false)
          .Object("Information", &C::Information)
          .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes, InstallTypeBit(itAlways))
          .Ref("NetLocation", TCustomNetInstallLocation::StaticClass(), &C::NetLocation, &C::SetNetLocation)
          .Object("PresetupFiles", &C::PresetupFiles)
          .Bool("Reboot", &C::Reboot, false)
          .Bool("RunAutomatic", &C::RunAutomatic, true)
          .Bool("UseLoadingProgram", &C::UseLoadingProgram, &C::SetUseLoadingProgram, true)
          .Event("OnAfterInitialized", &C::OnAfterInitialized)
          .Event("OnAfterInstallObjects", &C::OnAfterInstallObjects)
          .Event("OnAfterNotifyBadInstall", &C::OnAfterNotifyBadInstall)
          .Event("OnAfterNotifyGoodInstall", &C::OnAfterNotifyGoodInstall)
          .Event("OnAfterReadArchiveInfo", &C::OnAfterReadArchiveInfo)
          .Event("OnBeforeCleanup", &C::OnBeforeCleanup)
          .Event("OnBeforeInstallObjects", &C::OnBeforeInstallObjects)
          .Event("OnBeforeNotifyBadInstall", &C::OnBeforeNotifyBadInstall)
          .Event("OnBeforeNotifyGoodInstall", &C::OnBeforeNotifyGoodInstall)
          .Event("OnBeforeReadArchiveInfo", &C::OnBeforeReadArchiveInfo)
          .Event("OnBeforeReboot", &C::OnBeforeReboot)
          .Event("OnBeforeRunFile", &C::OnBeforeRunFile)
          .Event("OnBeforeShutdown", &C::OnBeforeShutdown)
          .Event("OnFailedReboot", &C::OnFailedReboot)
          .Event("OnNewDisk", &C::OnNewDisk)
          .Event("OnReplacing", &C::OnReplacing)
          .Event("OnStatus", &C::OnStatus)
          .Event("OnUserAbort", &C::OnUserAbort)
          .Build();
  return Info;
}

void RegisterInstallClasses() {
  RegisterComponentClass(TInstall::StaticClass());
  RegisterComponentClass(TInstallInformation::StaticClass());
  RegisterComponentClass(TBuildInfo::StaticClass());
}
