#include "engine/cmp_TInstall.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TApplication.h"
#include "environment/routines_API.h"
#include "environment/routines_Process.h"
#include "environment/routines_Registry.h"
#include "environment/routines_Scoped.h"
#include "environment/routines_Unfinished.h"
#include "i18n/cmp_TTranslator.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TPathSpecifier.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Scope.h"
#include "rtl/routines_Strings.h"

#undef CopyFile

const char* const InstallRecordRoot = "\\SOFTWARE\\Quorvane\\Install";
const char* const KitSearchPathKey = "\\Software\\Borland\\Delphi\\4.0\\Library";
double RunStartTime = 0;

namespace {
// A language value read back from the install record; anything outside the
// identities (a damaged record) stands for the user's own language.
TQrvnLanguage LanguageFromRecord(int Value) {
  return Value >= 0 && Value < QrvnLanguageCount ? static_cast<TQrvnLanguage>(Value) : qlUser;
}

const TEnumInfo& DistributeInfo() { return DistributeTypeInfo; }

double Now() {
  SYSTEMTIME T;
  GetLocalTime(&T);
  return EncodeDayCount({T.wYear, T.wMonth, T.wDay, T.wHour, T.wMinute, T.wSecond}) +
         T.wMilliseconds / 86400000.0;
}

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

// The setup program file: the running executable.
std::string SetupProgramFile() { return TApplication::ExeName(); }

void ShowMessageBox(const std::string& Text) {
  std::string Title = Application ? Application->Title : std::string("Setup");
  MessageBoxA(nullptr, Text.c_str(), Title.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

// A picture of the dialog theme from the bitmap resource, when the program
// carries one.
void LoadThemeBitmap(TPicture& P) {
  HMODULE M = GetModuleHandleA(nullptr);
  HRSRC R = FindResourceA(M, "INSTALLTHEME1", MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (!R) return;
  HGLOBAL G = LoadResource(M, R);
  const auto* Dib = static_cast<const char*>(G ? LockResource(G) : nullptr);
  const DWORD Size = SizeofResource(M, R);
  if (!Dib || Size < sizeof(BITMAPINFOHEADER)) return;
  // A bitmap resource is the file without its file header.
  const auto* Info = reinterpret_cast<const BITMAPINFOHEADER*>(Dib);
  DWORD Colors = Info->biClrUsed ? Info->biClrUsed : (Info->biBitCount <= 8 ? (1u << Info->biBitCount) : 0);
  BITMAPFILEHEADER H{};
  H.bfType = 0x4D42;
  H.bfSize = sizeof H + Size;
  H.bfOffBits = static_cast<DWORD>(sizeof H + Info->biSize + Colors * sizeof(RGBQUAD));
  std::string Bmp(reinterpret_cast<const char*>(&H), sizeof H);
  Bmp.append(Dib, Size);
  P.SetBitmap(Bmp);
}
}  // namespace

// --- the remote file list -----------------------------------------------------------

void WriteFileListRecords(TStream& S, const std::vector<TFileListRecord>& Records) {
  int32_t N = static_cast<int32_t>(Records.size());
  S.WriteBuffer(&N, 4);
  for (const TFileListRecord& R : Records) {
    char Rec[FileListRecordSize] = {};
    std::memcpy(Rec + 0, &R.FileSize, 4);
    std::memcpy(Rec + 4, &R.FileDate, 8);
    std::memcpy(Rec + 12, R.Name.data(), std::min<size_t>(R.Name.size(), 39));
    std::memcpy(Rec + 52, R.Version.data(), std::min<size_t>(R.Version.size(), 20));
    S.WriteBuffer(Rec, sizeof Rec);
  }
}

bool ReadFileListRecords(TStream& S, std::vector<TFileListRecord>& Records) {
  // Layout: count (4), then count records of 72 bytes: size (4), date (8),
  // name (40, NUL-terminated), version (20, NUL-terminated when shorter).
  Records.clear();
  int32_t N = 0;
  if (S.Read(&N, 4) != 4 || N < 0) return false;
  for (int32_t i = 0; i < N; ++i) {
    char Rec[FileListRecordSize];
    if (S.Read(Rec, sizeof Rec) != sizeof Rec) return false;
    TFileListRecord R;
    std::memcpy(&R.FileSize, Rec + 0, 4);
    std::memcpy(&R.FileDate, Rec + 4, 8);
    R.Name.assign(Rec + 12, strnlen(Rec + 12, 40));
    R.Version.assign(Rec + 52, strnlen(Rec + 52, 20));
    Records.push_back(R);
  }
  return true;
}

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
  for (const std::string& A : Args) {
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
  if (Application) Application->ExitCode = ExitCodeFailed;
  try {
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

// --- the run ---------------------------------------------------------------------------

void TCustomInstall::Process() {
  RunStartTime = Now();
  FailedRegistrationList().Clear();
  FUnfinishedCount = 0;
  FRunBatchFileOnDestroy = false;
  FAbortRequested = false;
  FInstalling = true;
  if (FUseLoadingProgram && !Switch(swSource))
    throw IEInstall(
        "The path of the loading program was not passed correctly. If you are running your install "
        "project in the IDE, then you need to add two command line parameters. In Run | Parameters | "
        "\"Run Parameters\", type in: -d \"-sBUILDPATH\" where BUILDPATH is the path into which you "
        "built the distributables. Example: -d \"-sC:\\My Build\".");
  FindInstallRecord(true, InstallKey);
  ClearUnfinished();
  if (Switch(swSelfExtract)) ApplyExtractionInfo();
  ReadInfoFromArchive();
  if (OnAfterInitialized) OnAfterInitialized(this);
  for (int32_t Code : {-986, -976, -975, -982, -981, -977, ncBeforeInstall}) Broadcast(this, Code, nullptr);
  TFileContainer::Process();
  // A cancel the user confirmed ends the run as a cancel, even when it came
  // too late for any copy or download to see it.
  if (FAbortRequested) throw EQIUserAbort();
  RegisterDeferred();
  if (FUnfinishedCount > 0 || Reboot) RegisterRunOnce();
  const bool Planned = Reboot;
  if (Planned) Broadcast(this, ncReboot, nullptr);
  if (Reboot && OnBeforeReboot) OnBeforeReboot(this, Reboot);
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
  NotifyGoodInstall();
  Cleanup();
  RemoveInstallRecord();
  if (RunAutomatic) Shutdown();
  RunFilesAfterInstall();
  FInstalling = false;
}

void TCustomInstall::RegisterDeferred() {
  // Registration failures are raised from here on.
  std::vector<TCustomInstallFile*> Queue = FailedRegistrationList().Data();
  FailedRegistrationList().Clear();
  for (TCustomInstallFile* F : Queue) F->RegisterActiveX();
}

void TCustomInstall::FindInstallRecord(bool Create, std::string& Key) {
  Key.clear();
  const std::string Exe = SetupProgramFile();
  const int64_t Size = FileSizeByName(Exe);
  double Date = 0;
  FileAge(Exe, Date);
  TRegKey Root;
  if (!Root.Open(hkLocalMachine, InstallRecordRoot, true)) return;
  std::vector<std::string> Names;
  Root.GetKeyNames(Names);
  for (const std::string& N : Names) {
    TRegKey K;
    if (!K.Open(hkLocalMachine, std::string(InstallRecordRoot) + "\\" + N, false)) continue;
    std::string Path;
    std::vector<uint8_t> Created;
    int32_t RecSize = 0;
    if (!K.ReadString("Path", Path) || !K.ReadBinary("CreationDate", Created) || Created.size() != 8 ||
        !K.ReadInteger("Size", RecSize))
      continue;
    double CreationDate;
    std::memcpy(&CreationDate, Created.data(), 8);
    if (std::fabs(CreationDate - Date) < 1e-7 && RecSize == Size) {
      if (!K.WriteBinary("LastRunDate", &RunStartTime, 8) || !K.WriteString("Path", Exe)) return;
      Key = std::string(InstallRecordRoot) + "\\" + N;
      K.Flush();
      return;
    }
  }
  if (!Create) return;
  for (int n = 0;; ++n) {
    const std::string Name = "Install" + std::to_string(n);
    bool Taken = false;
    for (const std::string& N : Names) Taken = Taken || SameText(N, Name);
    if (Taken) continue;
    TRegKey K;
    const std::string Full = std::string(InstallRecordRoot) + "\\" + Name;
    if (!K.Open(hkLocalMachine, Full, true)) return;
    const int32_t Size32 = static_cast<int32_t>(Size);
    bool Ok = K.WriteString("Path", Exe) && K.WriteBinary("LastRunDate", &RunStartTime, 8) &&
              K.WriteBinary("CreationDate", &Date, 8) && K.WriteInteger("Size", Size32);
    if (Ok && Switch(swSelfExtract))
      Ok = K.WriteString("SelfExtract", AddBackslash(FSourceDirectory) + SwitchText(swSelfExtract));
    if (!Ok) return;
    K.Flush();
    Key = Full;
    return;
  }
}

void TCustomInstall::ReadInfoFromArchive() {
  if (InfoRead) return;
  if (OnBeforeReadArchiveInfo) OnBeforeReadArchiveInfo(this);
  Broadcast(this, -984, nullptr);
  {
    TFinally Hide([this] { HideStatusText(); });
    TWaitCursor Wait;
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
  Broadcast(this, -983, nullptr);
}

void TCustomInstall::NotifyGoodInstall() {
  if (OnBeforeNotifyGoodInstall) OnBeforeNotifyGoodInstall(this);
  Broadcast(this, -995, nullptr);
  Broadcast(this, ncAfterGoodInstall, nullptr);
  if (OnAfterNotifyGoodInstall) OnAfterNotifyGoodInstall(this);
}

void TCustomInstall::NotifyBadInstall() {
  if (OnBeforeNotifyBadInstall) OnBeforeNotifyBadInstall(this);
  Broadcast(this, -994, nullptr);
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
  const std::string Bat = ChangeFileExt(GetTempFile(false), ".bat");
  FILE* F = std::fopen(Bat.c_str(), "w");
  if (!F) return;
  if (GetWindowsVersion() == wvWindows95) {
    std::fprintf(F, "ERASE %s\nDELTREE /Y %s\nERASE %s\nERASE %s\n", Exe.c_str(), Dir.c_str(),
                 ChangeFileExt(Bat, ".PIF").c_str(), Bat.c_str());
  } else {
    // Windows NT has no DELTREE, and the program is still running when the
    // batch starts: wait until its file can be erased (bounded), then take
    // the folder away.
    std::fprintf(F,
                 "@echo off\r\nset /a n=0\r\n:wait\r\nerase \"%s\" >nul 2>&1\r\n"
                 "if not exist \"%s\" goto gone\r\nset /a n=n+1\r\nif %%n%% lss 20000 goto wait\r\n"
                 ":gone\r\nrmdir /s /q \"%s\" >nul 2>&1\r\nerase \"%s\" >nul 2>&1\r\nerase \"%s\" >nul 2>&1\r\n",
                 Exe.c_str(), Exe.c_str(), Dir.c_str(), ChangeFileExt(Bat, ".PIF").c_str(), Bat.c_str());
  }
  std::fclose(F);
  FBatchFileName = Bat;
  FRunBatchFileOnDestroy = true;
}

void TCustomInstall::RemoveInstallRecord() {
  if (InstallKey.empty()) return;
  {
    TRegKey K;
    if (!K.Open(hkLocalMachine, InstallKey, false)) return;
    std::vector<std::string> Subs;
    K.GetKeyNames(Subs);
    K.Close();
    for (const std::string& S : Subs) {
      const std::string Sub = InstallKey + "\\" + S;
      std::string Local = RegReadString(hkLocalMachine, Sub, "LocalFile", "");
      if (!Trim(Local).empty()) RemoveFile(Local);
      RegDeleteKeyTree(hkLocalMachine, Sub);
    }
  }
  RegDeleteKeyTree(hkLocalMachine, InstallKey);
  for (const char* Parent : {InstallRecordRoot, "\\Software\\Quorvane"}) {
    TRegKey P;
    if (!P.OpenReadOnly(hkLocalMachine, Parent) || P.HasSubKeys()) break;
    P.Close();
    RegDeleteKeyTree(hkLocalMachine, Parent);
  }
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
  const std::string E = SetupProgramFile();
  const std::string P = GetSetupProgramPath();
  const std::string Dir = RemoveBackslash(ExtractFileDir(P));
  std::string Cmd = Quoted(E) + " -r ";
  if (Switch(swSelfExtract)) Cmd += Quoted("-e" + ExtractFileName(P)) + " ";
  Cmd += Quoted("-s" + Dir);
  if (Switch(swCopy)) Cmd += " -c";
  if (!WriteRunOnce("QuorvaneUnfinished", Cmd, true))
    throw IEInstall("Cannot register the install to be run on reboot in the RunOnce key in the registry");
}

void TCustomInstall::StoreLanguage() {
  if (!Translator()) return;
  RegWriteInteger(hkLocalMachine, InstallKey, "Language", Translator()->TranslateIntoLanguage());
}

int TCustomInstall::ReadLanguage() {
  const int Default = Translator() ? Translator()->TranslateIntoLanguage() : qlUser;
  if (InstallKey.empty()) return Default;
  return RegReadInteger(hkLocalMachine, InstallKey, "Language", Default);
}

void TCustomInstall::RebootWindows() {
  bool Ok = false;
  switch (GetWindowsVersion()) {
    case wvWindows95:
      Ok = ExitWindowsEx(EWX_REBOOT, 0) != 0;
      break;
    case wvWindowsNT: {
      TKernelHandle Token;
      if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, Token.Out())) break;
      TOKEN_PRIVILEGES TP{};
      TP.PrivilegeCount = 1;
      TP.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      const bool Looked = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &TP.Privileges[0].Luid);
      const bool Adjusted = Looked && AdjustTokenPrivileges(Token, FALSE, &TP, 0, nullptr, nullptr);
      Token.Close();
      Ok = Adjusted && ExitWindowsEx(EWX_REBOOT, 0);
      break;
    }
    default:
      break;
  }
  if (Ok) return;
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
    if (Kind == 1) {
      RemoveFile(Name);
    } else if (Kind == 0) {
      auto All = InstallContainerList().Data();
      for (TInstallContainer* C : All)
        if (SameText(C->Name(), Name)) C->FinishUnfinished();
    }
  }
  NotifyGoodInstall();
  Cleanup();
  RemoveInstallRecord();
  if (RunAutomatic) Shutdown();
  RunFilesAfterInstall();
  FInstalling = false;
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
  const std::string Dir = AddBackslash(BuildDir);
  const std::string SetupExe = Dir + "setup.exe", Setup1 = Dir + "setup.1", Files1 = Dir + "files.1";
  CopySetupProgram(BuildDir, ExeName);
  TCustomPathSpecifier* SavedType = FArchiveFileType;
  const std::string SavedFile = FArchiveFile;
  FArchiveFileType = nullptr;
  FArchiveFile = Files1;
  try {
    static const TCompressOptions Options[] = {46, 54, 38};
    Compress(Options[FDistributeType]);
    if (FDistributeType != dtTraditional) WriteFileList();
  } catch (...) {
    FArchiveFileType = SavedType;
    FArchiveFile = SavedFile;
    throw;
  }
  FArchiveFileType = SavedType;
  FArchiveFile = SavedFile;
  if (MakeSelfExtractor) this->MakeSelfExtractor(SetupExe, Setup1, Files1);
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
    std::string Kit;
    try {
      Kit = FindKitDirectory(true);
    } catch (const Exception&) {
      throw IEInstall(
          "The HKEY_LOCAL_MACHINE | %s key in the registry is either missing or points to an invalid "
          "Quorvane directory",
          std::string("HKEY_CURRENT_USER") + KitSearchPathKey);
    }
    const std::string Loader = AddBackslash(Kit) + "QuorvaneLoadProgram.exe";
    if (!FileExists(Loader)) throw IEInstall("The loader program %s was not found", Loader);
    const std::string Dest = AddBackslash(BuildDir) + "setup.exe";
    if (!CopyFileA(Loader.c_str(), Dest.c_str(), FALSE))
      throw IEInstall("Cannot copy the loading program from %s to %s", Loader, Dest);
  } else {
    const std::string Dest = AddBackslash(BuildDir) + ExtractFileName(ExeName);
    if (!CopyFileA(ExeName.c_str(), Dest.c_str(), FALSE))
      throw IEInstall("Cannot copy the installation application from %s to %s", ExeName, Dest);
  }
}

void TCustomInstall::CreateSetupArchive(const std::string& BuildDir, const std::string& ExeName) {
  if (Trim(ExeName).empty()) throw IEInstall("Cannot create setup file. Executable is blank");
  if (!FileExists(ExeName)) throw IEInstall("TInstall: Cannot find the executable file %s", ExeName);
  const std::string Archive = AddBackslash(BuildDir) + "setup.1";
  auto CompressOne = [&](const std::string& Source, TlzhCommand Command) {
    TCustomInstallFile F(nullptr);
    F.SetFileName(ExtractFileName(Source));
    F.SetIncludeFromDir(RemoveBackslash(ExtractFileDir(Source)));
    F.SetNet(false);
    F.AddToArchive = Command;
    F.RawSetArchive(Archive, nullptr);
    F.CompressFile();
  };
  CompressOne(ExeName, lzcOverwrite);
  for (int i = 0; i < FPresetupFiles->Count(); ++i) CompressOne((*FPresetupFiles)[i], lzcOnlyAdd);
}

void TCustomInstall::MakeSelfExtractor(const std::string& SetupExe, const std::string& Setup1,
                                       const std::string& Files1) {
  TSelfExtractTrailer T{};
  TFileStream Out(SetupExe, TFileMode::fmOpenReadWrite);
  Out.Seek(0, TSeekOrigin::soEnd);
  auto Append = [&](const std::string& Name, int32_t& Start, int32_t& End) {
    TFileStream In(Name, TFileMode::fmOpenRead);
    const int64_t Size = In.Size();
    Start = static_cast<int32_t>(Out.Position());
    int64_t Copied = 0;
    try {
      Copied = Out.CopyFrom(In, Size);
    } catch (const Exception&) {
    }
    if (Copied < Size)
      throw IEInstall("Cannot create the self-extracting exe because %s could not be loaded onto %s", Name, SetupExe);
    End = static_cast<int32_t>(Out.Position() - 1);
  };
  Append(Setup1, T.SetupStart, T.SetupEnd);
  if (FileExists(Files1)) Append(Files1, T.FilesStart, T.FilesEnd);
  const auto Bytes = EncodeSelfExtractTrailer(T);
  Out.WriteBuffer(Bytes.data(), Bytes.size());
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
  Trailer = TSelfExtractTrailer{};
  try {
    TFileStream S(FileName, TFileMode::fmOpenRead);
    if (ReadSelfExtractTrailer(S, Trailer)) return;
  } catch (const Exception&) {
  }
  throw IEInstall(
      "Could not read the extraction info from the archive file %s when trying to find the correct "
      "offset into the self extracting file",
      FileName);
}

void TCustomInstall::ApplyExtractionInfo() {
  TSelfExtractTrailer T;
  ReadExtractionInfo(GetArchivePath(), T);
  QrvnCompress().SetOffset(T.FilesStart);
}

void TCustomInstall::TransferToFloppies(const std::string& Drive) {
  TWaitCursor Wait;
  if (Application) Application->ProcessMessages();
  TQrvnCompress& E = QrvnCompress();
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
    {
      TFileStream In(Self, TFileMode::fmOpenRead);
      // A disk that fills up takes fewer bytes than it was given; the copy
      // says which file did not fit.
      auto CopyRange = [&](int64_t Start, int64_t Count, const std::string& Name, const char* NoRoom) {
        TFileStream Out(AddBackslash(Drive) + Name, TFileMode::fmCreate);
        In.SetPosition(Start);
        std::vector<char> Buf(8192);
        for (int64_t Left = Count; Left > 0;) {
          const size_t N = static_cast<size_t>(std::min<int64_t>(Left, static_cast<int64_t>(Buf.size())));
          In.ReadBuffer(Buf.data(), N);
          if (Out.Write(Buf.data(), N) != N) throw IEInstall(NoRoom);
          Left -= static_cast<int64_t>(N);
          if (Application) Application->ProcessMessages();
        }
      };
      CopyRange(0, T.SetupStart, "setup.exe", "Cannot create setup.exe on the A drive. Probably not enough room");
      CopyRange(T.SetupStart, int64_t(T.SetupEnd) - T.SetupStart + 1, "setup.1",
                "Cannot create setup.1 on the A drive. Probably not enough room");
    }
    E.OnNewDisk = [](TQrvnCompress*, int Disk, std::string&) {
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      const std::string Text = TranslatedFormat("Please insert disk %d", Disk);
      const std::string Title = Application ? Application->Title : std::string("Setup");
      if (MessageBoxA(nullptr, Text.c_str(), Title.c_str(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        throw IEInstall("Aborted by user");
      SetCursor(LoadCursor(nullptr, IDC_WAIT));
    };
    E.OnStatus = [](TQrvnCompress*, const TlzhFileStats&) {
      if (Application) Application->ProcessMessages();
    };
    E.SetOffset(T.FilesStart);
    E.SetCompressedFile(Self);
    E.SplitToDisks(Drive, "files.1");
  } catch (const Exception& Ex) {
    ShowMessageBox(Ex.Message());
    if (Application) Application->ExitCode = ExitCodeFailed;
  }
  E.OnNewDisk = TlzhNewDiskEvent();
  E.OnStatus = TlzhFileStatsEvent();
  Wait.Restore();
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

std::string FindKitDirectory(bool Raise) {
  const std::string Path = Trim(RegReadString(hkCurrentUser, KitSearchPathKey, "Search Path", ""));
  if (Path.empty()) {
    if (Raise) throw IENoQuorvanePath("Cannot find the the Quorvane directory on the VCL library search path");
    return "";
  }
  TStrings Dirs;
  SplitToList(Path, ';', Dirs);
  for (int i = 0; i < Dirs.Count(); ++i) {
    const std::string D = RemoveBackslash(Trim(Dirs[i]));
    if (!D.empty() && FileExists(AddBackslash(D) + "Q32V35.TXT")) return D;
  }
  if (Raise) throw IENoQuorvanePath("Cannot find the the Quorvane directory on the VCL library search path");
  return "";
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
