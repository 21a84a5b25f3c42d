#include "model/cmp_TInstallFile.h"
#include "model/routines_InstallFileProps.h"

#include <windows.h>

#include <memory>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TApplication.h"
#include "environment/routines_API.h"
#include "environment/routines_AtRestart.h"
#include "environment/routines_FileRegistration.h"
#include "environment/routines_Registry.h"
#include "environment/routines_RegistryStore.h"
#include "environment/routines_RunOptions.h"
#include "environment/routines_SelfRegistration.h"
#include "environment/routines_Unfinished.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/cmp_TVersion.h"
#include "model/routines_RunJournal.h"
#include "model/routines_UniqueIds.h"
#include "net/cmp_TNetInstallLocation.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/cmp_TFiler.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TWriter.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Scope.h"
#include "rtl/routines_Strings.h"

#undef CopyFile

const TEnumInfo InstallFileTypeInfo{"TInstallFileType",
                                    {"iftNormal", "iftJustADLL", "iftApplicationSpecificDLL",
                                     "iftVendorSharedDLL", "iftSystemWideDLL"}};

// --- lists -----------------------------------------------------------------------

void TCustomInstallFileList::Add(TCustomInstallFile* F) {
  if (!F) throw IECustomInstallFileList("Cannot add a blank entry to the TCustomInstallFileList object");
  TTypedRefList<TCustomInstallFile>::Add(F);
}

TCustomInstallFileList& InstallFileList() {
  static TCustomInstallFileList L;
  return L;
}

TCustomInstallFileList& FailedRegistrationList() {
  static TCustomInstallFileList L;
  return L;
}

namespace {
std::string UpperExt(const std::string& FileName) { return UpperCase(ExtractFileExt(FileName)); }

// A private engine for one file, or the shared one.
class TEngineChoice {
 public:
  explicit TEngineChoice(bool Shared) {
    if (!Shared) FOwn = std::make_unique<TQrvnCompress>(nullptr);
  }
  TQrvnCompress& operator*() { return FOwn ? *FOwn : QrvnCompress(); }
  TQrvnCompress* operator->() { return &**this; }

 private:
  std::unique_ptr<TQrvnCompress> FOwn;
};

bool SameAsInstallArchive(const std::string& Path) {
  IInstallRun* I = CurrentInstall();
  return I && SameText(Path, I->AsFileContainer()->GetArchivePath());
}
}  // namespace

// --- construction --------------------------------------------------------------

const TClassInfo& TCustomInstallFile::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomInstallFile>("TCustomInstallFile", &TFileRelated::StaticClass()).Build();
  return Info;
}

TCustomInstallFile::TCustomInstallFile(TComponent* AOwner) : TFileRelated(AOwner) { Construct(); }

TCustomInstallFile::TCustomInstallFile(TComponent* AOwner, const std::string& SourcePath)
    : TFileRelated(AOwner) {
  Construct();
  SetIncludeFromDir(RemoveBackslash(ExtractFileDir(SourcePath)));
  SetFileName(ExtractFileName(SourcePath));
}

TCustomInstallFile::TCustomInstallFile(TComponent* AOwner, TInstallContainer* Container,
                                       const std::string& SourcePath)
    : TCustomInstallFile(AOwner, SourcePath) {
  SetContainer(Container);
}

void TCustomInstallFile::Construct() {
  FUniqueID = TakeUniqueId();
  AutoInstall = true;
  Include = true;
  FNet = false;
  InstallFileList().Add(this);
}

TCustomInstallFile::~TCustomInstallFile() {
  InstallFileList().Remove(this);
  FailedRegistrationList().Remove(this);
  ReleaseUniqueId(FUniqueID);
}

void TCustomInstallFile::SetUniqueID(int32_t Value) {
  ReleaseUniqueId(FUniqueID);
  FUniqueID = Value;
  ClaimUniqueId(Value);
}

void TCustomInstallFile::DefineProperties(TFiler& Filer) {
  TFileRelated::DefineProperties(Filer);
  Filer.DefineProperty(
      "UniqueID", [this](TReader& R) { FUniqueID = R.ReadInteger(); },
      [this](TWriter& W) { W.WriteInteger(FUniqueID); }, true);
}

void TCustomInstallFile::Loaded() {
  ClaimUniqueIdFromStream(FUniqueID);
  TFileRelated::Loaded();
}

// --- properties ----------------------------------------------------------------

TCustomInstallFile::TFileProperties TCustomInstallFile::CurrentFileProperties() const {
  return {FContainer, FIncludeFromDir, FFileName, FDestDir, FDestName, FDestDirType, FFileType, FActiveX};
}

// While the stream is read a value is only stored; afterwards every change
// goes through the rules of ApplyFileProperties with the other values as
// they stand.
template <class T>
void TCustomInstallFile::SetFileProperty(T TFileProperties::*Field, T& Stored, const T& Value) {
  if (IsLoading()) {
    Stored = Value;
    return;
  }
  TFileProperties New = CurrentFileProperties();
  New.*Field = Value;
  ApplyFileProperties(New);
}

void TCustomInstallFile::SetActiveX(bool Value) { SetFileProperty(&TFileProperties::ActiveX, FActiveX, Value); }
void TCustomInstallFile::SetDestName(const std::string& Value) {
  SetFileProperty(&TFileProperties::DestName, FDestName, Value);
}
void TCustomInstallFile::SetFileName(const std::string& Value) {
  SetFileProperty(&TFileProperties::FileName, FFileName, Value);
}
void TCustomInstallFile::SetFileType(TInstallFileType Value) {
  SetFileProperty(&TFileProperties::FileType, FFileType, Value);
}
void TCustomInstallFile::SetIncludeFromDir(const std::string& Value) {
  SetFileProperty(&TFileProperties::IncludeFromDir, FIncludeFromDir, Value);
}
void TCustomInstallFile::SetDestDir(const std::string& Value) {
  SetFileProperty(&TFileProperties::DestDir, FDestDir, Value);
}

// The references keep their own setters while the stream is read: they
// register the file with its container and watch the specifier.
void TCustomInstallFile::SetDestDirType(TCustomPathSpecifier* Value) {
  if (IsLoading()) {
    TFileRelated::SetDestDirType(Value);
    return;
  }
  TFileProperties New = CurrentFileProperties();
  New.DestDirType = Value;
  ApplyFileProperties(New);
}

void TCustomInstallFile::SetContainer(TInstallContainer* Value) {
  if (IsLoading()) {
    TFileRelated::SetContainer(Value);
    return;
  }
  TFileProperties New = CurrentFileProperties();
  New.Container = Value;
  ApplyFileProperties(New);
}

void TCustomInstallFile::ApplyFileProperties(TFileProperties New) {
  // Taken by value: the new values may be this file's own fields.
  TInstallContainer* const AContainer = New.Container;
  const std::string& AIncludeFromDir = New.IncludeFromDir;
  const std::string& AFileName = New.FileName;
  const std::string& ADestDir = New.DestDir;
  const std::string& ADestName = New.DestName;
  TCustomPathSpecifier* const ADestDirType = New.DestDirType;
  const TInstallFileType AFileType = New.FileType;
  const bool AActiveX = New.ActiveX;
  const bool ContainerChanged = AContainer != FContainer;
  const bool DestDirTypeChanged = ADestDirType != FDestDirType;
  const bool FileNameChanged = !SameText(AFileName, FFileName);
  const bool DirChanged = !SameText(AIncludeFromDir, FIncludeFromDir);
  auto* FC = dynamic_cast<TFileContainer*>(AContainer);
  if (AContainer && !FC)
    throw IECustomInstallFile(
        "The following TInstallFile component %s requires the Container property to be a component "
        "descended from the TFileContainer component",
        AFileName);
  if (FC && (ContainerChanged || FileNameChanged || DirChanged)) {
    const std::string Source = AddBackslash(AIncludeFromDir) + AFileName;
    TCustomInstallFile* Other = FC->FindFile(Source);
    if (Other && Other != this)
      throw IEfcDuplicateFile("There is already a file with the name :%s", Source);
  }
  std::string DestName = ADestName;
  if (FileNameChanged && !Trim(AFileName).empty()) DestName = AFileName;
  bool ActiveX = AActiveX;
  const std::string Ext = UpperExt(AFileName);
  if (FileNameChanged || DirChanged) {
    RegisterAsHelp = Ext == ".HLP" || Ext == ".CNT";
    // A file that cannot be read says no.
    const bool SelfReg = SourceHasOLESelfRegister(AddBackslash(AIncludeFromDir) + AFileName);
    ActiveX = Ext == ".OCX" ? true : SelfReg;
  }
  TInstallFileType FileType = AFileType;
  if (ActiveX && !FActiveX) FileType = iftSystemWideDLL;
  if (DestDirTypeChanged && Ext.size() == 4 &&
      std::string(".DLL,.OCX,.BLL,.EXE").find(Ext) != std::string::npos && ADestDirType) {
    if (ADestDirType->InheritsFrom(TpsWindow::StaticClass()) ||
        ADestDirType->InheritsFrom(TpsBDEDLL::StaticClass()))
      OverwriteMode = owVersionDate;
    else if (ADestDirType->InheritsFrom(TpsSystem::StaticClass()))
      FileType = iftSystemWideDLL;
  }
  if (FileType != FFileType) {
    if (FileType == iftJustADLL || FileType == iftApplicationSpecificDLL) {
      OverwriteMode = owVersionDate;
    } else if (FileType == iftVendorSharedDLL || FileType == iftSystemWideDLL) {
      UpdateDLLCounter = true;
      OverwriteMode = owVersionDate;
    }
  }
  TFileRelated::SetDestDirType(ADestDirType);
  TFileRelated::SetContainer(AContainer);
  std::string DestDir = ADestDir;
  // The container's own rule may have reset the destination type.
  if (ContainerChanged && AContainer) DestDir = FDestDir;
  switch (FileType) {
    case iftApplicationSpecificDLL:
      DestDir = "\\System";
      TFileRelated::SetDestDirType(StandardSpecifier<TpsMainInstall>());
      break;
    case iftVendorSharedDLL:
      DestDir = "\\System";
      TFileRelated::SetDestDirType(StandardSpecifier<TpsCommonFiles>());
      break;
    case iftSystemWideDLL:
      DestDir.clear();
      TFileRelated::SetDestDirType(StandardSpecifier<TpsSystem>());
      break;
    default:
      break;
  }
  FIncludeFromDir = AIncludeFromDir;
  FFileName = AFileName;
  FDestDir = DestDir;
  FDestName = DestName;
  FFileType = FileType;
  FActiveX = ActiveX;
}

// --- helpers ---------------------------------------------------------------------

std::string TCustomInstallFile::GetSourceFileName() const {
  return AddBackslash(FIncludeFromDir) + FFileName;
}

std::string TCustomInstallFile::GetDestFileName() { return AddBackslash(GetDestPath()) + FDestName; }

bool TCustomInstallFile::HasOwnArchive() const {
  return FNetLocation || OverwriteMode == owVersion || OverwriteMode == owDate ||
         OverwriteMode == owVersionDate;
}

std::string TCustomInstallFile::GetArchivePath() {
  const TDistributeType DT = ProjectDistributeType();
  if (FState == ifsInstall && (DT == dtWeb || (DT != dtTraditional && FNet))) {
    std::string Found;
    if (HasOwnArchive() && ArchiveDownloaded())
      return !Trim(LocalArchive).empty() ? LocalArchive : (FindLocalFile(Found), Found);
    auto* FC = dynamic_cast<TFileContainer*>(FContainer);
    if (FC && FC->ArchiveDownloaded())
      return !Trim(FC->LocalArchive).empty() ? FC->LocalArchive : FC->GetDownloadedArchivePath();
  }
  return TFileRelated::GetArchivePath();
}

void TCustomInstallFile::Report(int32_t Code, TPersistent* Param) {
  if (FContainer) FContainer->DoInformationEventControl(this, Code, Param);
}

void TCustomInstallFile::RaiseUserAbort() { throw EQIUserAbort(); }

void TCustomInstallFile::SetState(TInstallFileState Value) {
  TFinally Reset([this] { FState = ifsNone; });
  switch (Value) {
    case ifsCompress: CompressFile(); break;
    case ifsInstall: Process(); break;
    case ifsCopying: CopyFile(); break;
    default: break;
  }
}

// --- the engine's handlers --------------------------------------------------------

void TCustomInstallFile::HookEngine(TQrvnCompress& Engine) {
  Engine.OnNewDisk = [this](TQrvnCompress* E, int Disk, std::string& Path) { EngineNewDisk(E, Disk, Path); };
  Engine.OnStatus = [this](TQrvnCompress* E, const TlzhFileStats& S) { EngineStatus(E, S); };
}

void TCustomInstallFile::UnhookEngine(TQrvnCompress& Engine) {
  Engine.OnNewDisk = TlzhNewDiskEvent();
  Engine.OnStatus = TlzhFileStatsEvent();
}

void TCustomInstallFile::EngineNewDisk(TQrvnCompress* Engine, int DiskNumber, std::string& Path) {
  Tag = 0;
  TDiskParameter D;
  D.DiskNumber = DiskNumber;
  D.Path = RemoveBackslash(ExtractFileDir(GetArchivePath()));
  TListParameter L;
  L.Items = {this, &D};
  if (OnNewDisk) OnNewDisk(this, DiskNumber, D.Path);
  Broadcast(this, ncNewDisk, &L);
  Report(ieNewDisk, &L);
  if (!OnNewDisk && Tag == 0) {
    std::string Text = TranslatedFormat("Please insert disk #%d", DiskNumber);
    std::string Title = Application ? Application->Title : std::string();
    // Nobody is there to change the disk of an unattended run.
    if (RunMessageBox(nullptr, Text, Title, MB_OKCANCEL | MB_ICONINFORMATION, IDCANCEL) == IDCANCEL)
      Engine->SetAbort(true);
  }
  Path = RemoveBackslash(D.Path);
  Tag = 0;
}

void TCustomInstallFile::EngineStatus(TQrvnCompress* Engine, const TlzhFileStats& Stats) {
  // A cancel sets the shared engine's flag; a file extracting with an engine
  // of its own (an archive other than the install's) takes it from there.
  if (Engine && Engine != &QrvnCompress() && QrvnCompress().Abort()) Engine->SetAbort(true);
  TFileStatusParameter S;
  S.FileBytesDone = Stats.BytesDone;
  S.FilePercentDone = Stats.FileFinished ? 100 : Stats.PercentDone;
  S.FileName = FFileName;
  S.FileStats = Stats;
  S.TotalBytesDone = static_cast<int32_t>(Stats.TotalBytesDone);
  S.TotalPercentDone = Stats.TotalPercentDone;
  if (OnStatus) OnStatus(this, S.FilePercentDone, S.TotalPercentDone);
  Broadcast(this, ncFileStatus, &S);
  TListParameter L;
  L.Items = {this, &S};
  const int32_t Code = FState == ifsCompress ? ieCompressStatus
                       : FState == ifsCopying ? ieCopyStatus
                                              : ieInstallStatus;
  Report(Code, &L);
}

// --- installing -------------------------------------------------------------------

namespace {
// The rule that decided, as the project names it, for the run's log.
std::string OverwriteRule(TOverwriteType Mode) {
  const std::vector<std::string>& Names = OverwriteTypeInfo().Names;
  const size_t I = static_cast<size_t>(Mode);
  return I < Names.size() ? Names[I] : std::string("?");
}
}  // namespace

void TCustomInstallFile::InstallObjects() {
  InUse = false;
  FRenameAtRestart.clear();
  try {
    Report(ieBeforeInstall, this);
    if (OnBeforeInstall) OnBeforeInstall(this);
  } catch (const EAbort&) {
    LogLine("Skipped " + Name() + ": the project's OnBeforeInstall passed it over");
    Report(ieSkipped, this);
    return;
  }
  if (Trim(GetDestPath()).empty())
    throw IECustomInstallFile(
        "Cannot compress,copy, or install the following file because it's destination directory is "
        "blank. File is :%s",
        Name());
  const std::string Dest = GetDestFileName();
  // Under Wine every look for a name that is not there reads the whole
  // folder (names are matched without regard to case): a new file is
  // looked for once, not by every step.  Every overwrite rule lets a new
  // file in where there is none.
  DestinationExisted = FileExists(Dest);
  if (DestinationExisted) {
    const int Result = IsFileNewerByInfo(Version, Dest, OverwriteMode, FileDate);
    WillReplace = Result == nrUndecided || Result == nrNewWins;
  } else {
    WillReplace = true;
  }
  // A file in use is extracted under a numbered name that Windows moves
  // over the destination at the restart.  Once it is extracted it goes by
  // its destination name again: that is the file the help entry, the
  // shared count, links and the uninstall record must name.
  const std::string FinalName = FDestName;
  bool Named = false;  // from then on the name is the event handlers' again
  TFinally BackToFinalName([this, &FinalName, &Named] {
    if (!Named) FDestName = FinalName;
  });
  if (WillReplace) {
    try {
      PrepareReplace();
    } catch (const EAbort&) {
      WillReplace = false;
    }
  }
  if (!WillReplace) {
    Named = true;
    LogLine("Kept " + Dest + ": the file there is the same or newer (" + OverwriteRule(OverwriteMode) + ")");
    Report(ieKept, this);
    AfterSteps();
    if (OnAfterInstall) OnAfterInstall(this);
    Report(ieFileInstalled, this);
    TFileRelated::InstallObjects();
    return;
  }
  std::string Local;
  if (FindLocalFile(Local)) LocalArchive = Local;
  try {
    Extract();
  } catch (...) {
    RestoreReplacedFile();
    throw;
  }
  // The run's journal keeps the copy of a replaced file until the run ends,
  // so that a run that fails later can put it back.
  if (!FReplacedCopy.empty() && RunJournal().Active()) {
    RunJournal().FileReplaced(GetDestFileName(), FReplacedCopy);
    FReplacedCopy.clear();
  } else if (!DestinationExisted || InUse) {
    RunJournal().FileAdded(GetDestFileName());  // a file in use: the one waiting for the restart
  }
  DropReplacedCopy();
  if (!FRenameAtRestart.empty()) WriteRenameAtRestart(AddBackslash(GetDestPath()) + FDestName);
  FDestName = FinalName;
  Named = true;
  if (InUse)
    LogLine("In use, replaced at the next restart: " + GetDestFileName());
  else if (DestinationExisted)
    LogLine("Replaced " + GetDestFileName() + " (" + OverwriteRule(OverwriteMode) + ")");
  else
    LogLine("Installed " + GetDestFileName());
  AfterSteps();
  if (OnAfterInstall) OnAfterInstall(this);
  Report(ieFileInstalled, this);
  TFileRelated::InstallObjects();
}

void TCustomInstallFile::Extract() {
  const TDistributeType DT = ProjectDistributeType();
  const bool NetFile = DT != dtTraditional && (FNet || DT == dtWeb);
  bool Shared = false;
  // The archive path below depends on the state.
  TOperationState Operation(this, FState, ifsInstall, TOperationState::cdWhenDone);
  if (NetFile) {
    if (HasOwnArchive()) {
      DownloadArchive();
    } else if (auto* FC = dynamic_cast<TFileContainer*>(FContainer)) {
      if (!FC->ArchiveDownloaded()) FC->DownloadArchive();
    }
  } else {
    Shared = SameAsInstallArchive(GetArchivePath());
  }
  TEngineChoice Engine(Shared);
  try {
    RunJournal().FolderToBeMade(GetDestPath());
    ForceDirectories(GetDestPath());
    const std::string Archive = GetArchivePath();
    if (Trim(Archive).empty())
      throw IECustomInstallFile(
          "Cannot either compress or decompress the following file because it's archive file "
          "property is blank. File is :%s",
          FFileName);
    Engine->SetCompressedFile(Archive);
    Engine->SetExtractDirectory(GetDestPath());
    Engine->ExtractName = FDestName;
    // PrepareReplace moved the old file aside or chose a free name.
    Engine->ExtractTargetAbsent = true;
    Engine->SetOverwrite(OverwriteMode);
    HookEngine(*Engine);
    TStrings List;
    List.Add(GetSourceFileName());
    Engine->SetFilesToProcess(List);
    Engine->ExtractFiles();
  } catch (...) {
    UnhookEngine(*Engine);
    if (Engine->Abort()) QrvnCompress().SetAbort(true);
    throw;
  }
  UnhookEngine(*Engine);
  const bool Aborted = Engine->Abort();
  if (Aborted) QrvnCompress().SetAbort(true);
  try {
    Operation.Done();
  } catch (...) {
    Engine->SetAbort(true);
    throw;
  }
  // The engine ends a cancelled extraction quietly; the run must hear of it.
  if (Aborted) RaiseUserAbort();
}

void TCustomInstallFile::AfterSteps() {
  if (RegisterAsHelp) {
    RunJournal().ValueToBeChanged(hkLocalMachine, HelpKey, UpperCase(FDestName));
    RegisterHelpFile(FDestName, GetDestPath());
    LogLine("Help file registered: " + FDestName);
  }
  if (UpdateDLLCounter && !IncrementSharedDLLCount())
    throw IECustomInstallFile("Cannot update the DLL count for the following file :%s:", FFileName);
  if (UpdateDLLCounter) LogLine("Shared count raised: " + GetDestFileName());
  IInstallRun* I = CurrentInstall();
  if (InUse && I) {
    I->AddUnfinishedWork(Name(), 0);
  } else if (FActiveX) {
    try {
      RegisterActiveX();
    } catch (const EQIUserAbort&) {
      throw;
    } catch (const Exception& E) {
      if (!(I && I->Installing())) throw;
      LogLine("Registration tried again at the end of the run: " + E.Message());
      FailedRegistrationList().Add(this);
    }
  }
}

void TCustomInstallFile::FinishUnfinished() {
  if (FActiveX) RegisterActiveX();
}

// --- replacing a file, also one in use ---------------------------------------------

namespace {
TDelayedMoveFunction& DelayedMove() {
  static TDelayedMoveFunction Move;
  return Move;
}

// Where the move is refused the batch file takes over: its cause is not
// needed.
bool DelayedMoveAtRestart(const std::string& From, const std::string& To) {
  if (DelayedMove()) return DelayedMove()(From, To);
  std::string Refused;
  return MoveAtRestart(From, To, Refused);
}

}  // namespace

void SetDelayedMoveFunction(TDelayedMoveFunction Move) { DelayedMove() = std::move(Move); }

void TCustomInstallFile::PrepareReplace() {
  if (OnReplacing) OnReplacing(this);
  TListParameter L;
  L.Items.push_back(this);
  Broadcast(this, ncReplacing, &L);
  Report(ieReplacing, this);
  WillReplace = true;
  const std::string Dest = GetDestFileName();
  DropReplacedCopy();
  // Absent a moment ago, and no handler of this file's own to put it there.
  if ((!DestinationExisted && !OnReplacing) || !FileExists(Dest)) return;
  // Before the file goes, a copy beside it: the new file may yet fail to
  // arrive (a damaged archive, a full disk, a cancel).
  // Without a copy the replacement goes on as it always did.
  FReplacedCopy = CopyBeside(Dest);
  // A read-only file is not in use: it goes once its attribute is off.
  if (RemoveFileEvenReadOnly(Dest)) return;
  DropReplacedCopy();  // in use: the old file stays until the restart anyway

  InUse = true;
  const std::string Dir = GetDestPath();
  std::string Candidate;
  for (int n = 1;; ++n) {
    Candidate = ChangeFileExt(FDestName, "." + std::to_string(n));
    if (!FileExists(AddBackslash(Dir) + Candidate)) break;
  }
  FDestName = Candidate;
  const std::string Temp = AddBackslash(Dir) + Candidate;
  const std::string OldShort = GetShortPath(Dest);
  IInstallRun* I = CurrentInstall();
  if (I) I->SetRebootNeeded();
  if (GetWindowsVersion() == wvWindows95) {
    // WININIT.INI is worked through before long names are known, so both
    // names must be short; the waiting file has its short name only once
    // it exists: the entry is written after the extraction.
    FRenameAtRestart = OldShort;
    return;
  }
  RunJournal().ValueToBeChanged(hkLocalMachine, SessionManagerKey, PendingMovesValue);
  if (DelayedMoveAtRestart(Temp, Dest) || !I) return;
  // No delayed move: a batch file run at the next start does it.
  const std::string NewShort = AddBackslash(ExtractFileDir(OldShort)) + Candidate;
  const std::string Bat = ChangeFileExt(GetTempFile(false), ".bat");
  std::string Error;
  // The file moves to its long name: once the old file is erased its short
  // name is free, and a move to it would give the file that name.
  if (!WriteMoveBatch(Bat, OldShort, NewShort, Dest, Error))
    throw WithCause<IECustomInstallFile>(
        Error, "%s cannot write the batch file %s that moves the file into place at the restart", Name(), Bat);
  I->AddUnfinishedWork(Bat, 1);
  if (!WriteRunOnce("QuorvaneBatFile", Bat, true, &Error))
    throw WithCause<IECustomInstallFile>(
        Error,
        "%s cannot register a routine in the register to move the files after the computer is "
        "reboot",
        Name(), Bat);
}

void TCustomInstallFile::RestoreReplacedFile() {
  if (FReplacedCopy.empty()) return;
  const std::string Dest = GetDestFileName();
  RemoveFileEvenReadOnly(Dest);
  if (MoveFileA(FReplacedCopy.c_str(), Dest.c_str())) FReplacedCopy.clear();
}

void TCustomInstallFile::DropReplacedCopy() {
  // The copy keeps the attributes of the file it saved, read-only too.
  if (!FReplacedCopy.empty()) RemoveFileEvenReadOnly(FReplacedCopy);
  FReplacedCopy.clear();
}

// "destination = source" in the "Rename" section of WININIT.INI, both in
// their short forms.
void TCustomInstallFile::WriteRenameAtRestart(const std::string& Waiting) {
  std::string Error;
  if (!AddWininitRename(FRenameAtRestart, GetShortPath(Waiting), Error))
    throw WithCause<IECustomInstallFile>(Error, "%s cannot write the entry that replaces %s at the restart into %s",
                                         Name(), FRenameAtRestart, AddBackslash(GetWindowsDir()) + "WININIT.INI");
}

// --- what Windows records of the installed file -------------------------------------

bool TCustomInstallFile::IncrementSharedDLLCount() {
  // A product installed again over itself was counted the first time: its
  // record lists the file already, and its removal counts down once.
  if (IInstallRun* I = CurrentInstall()) {
    TRegistryStore Machine(hkLocalMachine);
    if (IsRecordedFile(Machine, UninstallKeyFor(I->ProductName()), AddBackslash(GetDestPath()) + FDestName))
      return true;
  }
  RunJournal().ValueToBeChanged(hkLocalMachine, SharedDllsKey, GetDestFileName());
  TSharedFileCounts Counts;
  if (!Counts.Open(true))
    throw WithCause<IECustomInstallFile>(
        Counts.FailureText(),
        "Could not open the key SharedDLLs key in the registry. File component %s. GetLastError "
        "return: %d",
        Name(), static_cast<int>(Counts.LastError()));
  // A count that did not go up would let the last removal delete a file
  // that this installation still uses.
  if (!Counts.CountUp(GetDestFileName()))
    throw WithCause<IECustomInstallFile>(Counts.FailureText(),
                                         "Cannot update the DLL count for the following file :%s:", FFileName);
  return true;
}

void TCustomInstallFile::RegisterActiveX() {
  RunJournal().ServerToBeRegistered(GetDestFileName(), UpperExt(FFileName) == ".EXE");
  if (UpperExt(FFileName) == ".EXE")
    RegisterActiveXProgram();
  else
    RegisterActiveXLibrary();
  LogLine("Registered: " + GetDestFileName());
}

// Both registrations need the installed file itself.
void TCustomInstallFile::CheckInstalledForRegistration() {
  if (Trim(GetDestPath() + FDestName).empty() || !FileExists(GetDestFileName()))
    throw IECustomInstallFile(
        "Cannot compress,copy, or install the following file because it's destination directory is "
        "blank. File is :%s",
        Name());
}

void TCustomInstallFile::RegisterActiveXLibrary() {
  CheckInstalledForRegistration();
  const std::string Dest = GetDestFileName();
  const TSelfRegistration R = CallLibraryServer(Dest, TServerAction::Register);
  if (R.Failed == TSelfRegistration::srLoadLibrary)
    throw WithCause<IECustomInstallFile>(
        R.Cause,
        "Could not register the ActiveX component, %s, because the LoadLibrary(%s) procedure "
        "returned a value of 0. The file component is %s. The following value is the value of the "
        "GetLastError function: %d",
        Dest, Dest, Name(), static_cast<int>(R.Error));
  if (R.Failed == TSelfRegistration::srEntryPoint)
    throw WithCause<IECustomInstallFile>(
        R.Cause,
        "Could not register the ActiveX component, %s, because the DllRegisterServer function "
        "could not be found. The file component is %s. The following value is the value of the "
        "GetLastError function: %d",
        Dest, Name(), static_cast<int>(R.Error));
  if (R.Result != 0)
    throw WithCause<IECustomInstallFile>(
        R.Cause,
        "Could not register the ActiveX component, %s, because the DllRegisterServer function "
        "returned a value of %d. The file component is %s",
        Dest, static_cast<int>(R.Result), Name());
}

void TCustomInstallFile::RegisterActiveXProgram() {
  CheckInstalledForRegistration();
  const std::string Dest = GetDestFileName();
  // As WinExec did: the program runs on once it waits for its first input.
  constexpr DWORD StartUpMs = 30000;
  const TSelfRegistration R = RunProgramServer(Dest, TServerAction::Register, TProcessWait::InputIdle, StartUpMs);
  if (R.Failed != TSelfRegistration::srDone)
    throw WithCause<IECustomInstallFile>(
        R.Cause,
        "Could not register the ActiveX component, %s, because the WinExec(%s,SW_HIDE) function "
        "returned a value < 32. The file component is %s. The following value is the value of the "
        "GetLastError function: %d",
        Dest, Dest, Name(), static_cast<int>(R.Error));
}

bool TCustomInstallFile::HasOLESelfRegister() { return SourceHasOLESelfRegister(GetSourceFileName()); }

// --- building and copying ----------------------------------------------------------

void TCustomInstallFile::CompressFile() {
  TOperationState Operation(this, FState, ifsCompress);
  try {
    if (OnBeforeCompress) OnBeforeCompress(this);
    Report(ieBeforeCompress, this);
    const std::string Archive = GetArchivePath();
    if (Trim(Archive).empty())
      throw IECustomInstallFile(
          "Cannot either compress or decompress the following file because it's archive file "
          "property is blank. File is :%s",
          FFileName);
    if (!Include) throw EAbort();
    ForceDirectories(ExtractFileDir(Archive));
    TQrvnCompress& E = QrvnCompress();
    E.SetCompressedFile(Archive);
    HookEngine(E);
    TFinally Unhook([this, &E] { UnhookEngine(E); });
    TStrings List;
    List.Add(GetSourceFileName());
    E.SetFilesToProcess(List);
    E.CompressFiles(AddToArchive == lzcOnlyAdd, FUniqueID);
    if (E.Abort()) RaiseUserAbort();
    CompressState = 2;
    CompressedInto = E.CompressedFile();
    if (OnAfterCompress) OnAfterCompress(this);
    Report(ieCompressed, this);
  } catch (const EAbort&) {
    // Skipped quietly.
  }
}

void TCustomInstallFile::CopyFile() {
  TOperationState Operation(this, FState, ifsCopying);
  try {
    if (OnBeforeCopy) OnBeforeCopy(this);
    Report(ieBeforeCopy, this);
    if (!Include) throw EAbort();
    if (Trim(GetDestPath()).empty())
      throw IECustomInstallFile(
          "Cannot compress,copy, or install the following file because it's destination directory "
          "is blank. File is :%s",
          Name());
    ForceDirectories(GetDestPath());
    TQrvnCompress& E = QrvnCompress();
    E.SetOverwrite(OverwriteMode);
    HookEngine(E);
    TFinally Unhook([this, &E] { UnhookEngine(E); });
    E.CopyUncompressed(GetSourceFileName(), GetDestFileName());
    if (OnAfterCopy) OnAfterCopy(this);
    Report(ieCopied, this);
  } catch (const EAbort&) {
  }
}

// --- archive information ---------------------------------------------------------

void TCustomInstallFile::ReadHeaderFrom(const std::string& Path) {
  if (Trim(Path).empty())
    throw IECustomInstallFile(
        "Cannot either compress or decompress the following file because it's archive file "
        "property is blank. File is :%s",
        FFileName);
  TEngineChoice Engine(SameAsInstallArchive(Path));
  if (Engine->CompressedFile() != Path) Engine->SetCompressedFile(Path);
  const int Index = Engine->HeaderIndexOfId(FUniqueID);
  if (Index < 0) return;
  TlzhFileStats S;
  Engine->GetFileStats(Index, S);
  CompressedSize = S.Header.CompressedSize;
  FileDate = S.Header.FileDate;
  FileSize = S.Header.FileSize;
  Version = S.Header.Version.substr(0, 20);
  InfoRead = true;
}

void TCustomInstallFile::ReadInfoFromArchive() {
  IInstallRun* I = CurrentInstall();
  if (I && I->Installing() && InfoRead) return;
  const TDistributeType DT = ProjectDistributeType();
  if (DT == dtTraditional || (DT == dtTraditionalNet && !FNet)) {
    ReadHeaderFrom(GetArchivePath());
  } else if (HasOwnArchive() && ArchiveDownloaded()) {
    std::string P;
    ReadHeaderFrom(FindLocalFile(P) && Trim(LocalArchive).empty() ? P : LocalArchive);
  } else if (auto* FC = dynamic_cast<TFileContainer*>(FContainer)) {
    if (FC->ArchiveDownloaded()) {
      std::string P;
      ReadHeaderFrom(!Trim(FC->LocalArchive).empty() ? FC->LocalArchive
                                                      : (FC->FindLocalFile(P) ? P : std::string()));
    }
  } else {
    throw IECustomInstallFile(
        "%s cannot perform ReadInfoFromArchive because either no container is assigned or the "
        "container is not TFileContainer",
        Name());
  }
}

void TCustomInstallFile::ReadInfoFromSourceFile() {
  const std::string Path = GetSourceFileName();
  double Date = 0;
  const int64_t Size = FileSizeByName(Path);
  if (Size < 0 || !FileAge(Path, Date))
    throw IECustomInstallFile(
        "Could not open or find the following file when trying to read the Size, Date, and Version "
        ":%s",
        Path);
  FileDate = Date;
  FileSize = static_cast<int32_t>(Size);
  VersionResource();  // the shared reader installs itself for the comparisons
  Version = ReadFileVersion(Path).substr(0, 20);
}

// --- the uninstall record -----------------------------------------------------------

void TCustomInstallFile::WriteUninstallInfo(const std::string& Key) {
  const std::string Path = AddBackslash(GetDestPath()) + FDestName;
  if (FActiveX) {
    TRegistryStore Machine(hkLocalMachine);
    AddRecordedActiveX(Machine, Key, Path, UpperExt(FFileName) == ".EXE");
    return;
  }
  RecordUninstallFile(Key, Path);
}

void RecordUninstallFile(const std::string& Key, const std::string& Path) {
  TRegistryStore Machine(hkLocalMachine);
  AddRecordedFile(Machine, Key, Path);
}

// --- TInstallFile ---------------------------------------------------------------------

const TClassInfo& TInstallFile::StaticClass() {
  static const TClassInfo Info =
      InstallFileProps(TClassBuilder<TInstallFile>("TInstallFile", &TCustomInstallFile::StaticClass()))
          .Bool("Net", &TInstallFile::Net, &TInstallFile::SetNet, false)
          .Bool("ActiveX", &TInstallFile::ActiveX, &TInstallFile::SetActiveX, false)
          .Bool("RegisterAsHelp", &TInstallFile::RegisterAsHelp, false)
          .Bool("RunAfterInstall", &TInstallFile::RunAfterInstall, false)
          .Build();
  return Info;
}

void RegisterInstallFileClasses() { RegisterComponentClass(TInstallFile::StaticClass()); }
