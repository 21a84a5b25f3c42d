#include "model/cmp_TFileContainer.h"

#include <windows.h>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TScreen.h"
#include "environment/routines_Scoped.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TPathSpecifier.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

const TEnumInfo InstallFileStateInfo{"TInstallFileState",
                                     {"ifsNone", "ifsCompress", "ifsInstall", "ifsCopying"}};

TOperationState::TOperationState(TInstallContainer* Owner, TInstallFileState& State,
                                 TInstallFileState Operation, TCopyDone When)
    : FOwner(Owner), FState(State), FWhen(When) {
  FState = Operation;
}

void TOperationState::Done() {
  FDone = true;
  FOwner->Broadcast(FOwner, ncCopyDone, nullptr);
}

TOperationState::~TOperationState() {
  FState = ifsNone;
  if (FDone || FWhen != cdAlways) return;
  try {
    FOwner->Broadcast(FOwner, ncCopyDone, nullptr);
  } catch (...) {
    // A destructor must not throw: it may run while the operation's own
    // failure travels, and a copy window that fails to close must not end
    // the run.
  }
}

const TClassInfo& TFileContainer::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TFileContainer>("TFileContainer", &TFileRelated::StaticClass()).Build();
  return Info;
}

TFileContainer::TFileContainer(TComponent* AOwner)
    : TFileRelated(AOwner), FDescription(new TStrings) {}

TFileContainer::~TFileContainer() {
  Destroying();
  FreeFiles();
  delete FDescription;
}

std::vector<TCustomInstallFile*> TFileContainer::Files() const {
  std::vector<TCustomInstallFile*> R;
  for (TInstallObject* O : FObjects.Data())
    if (auto* F = dynamic_cast<TCustomInstallFile*>(O)) R.push_back(F);
  return R;
}

std::vector<TFileContainer*> TFileContainer::SubContainers() const {
  std::vector<TFileContainer*> R;
  for (TInstallObject* O : FObjects.Data())
    if (auto* C = dynamic_cast<TFileContainer*>(O)) R.push_back(C);
  return R;
}

void TFileContainer::SetState(TInstallFileState Value) {
  switch (Value) {
    case ifsCompress: Compress(0); break;
    case ifsInstall: Process(); break;
    case ifsCopying: CopyFiles(); break;
    default: break;
  }
  FState = ifsNone;
}

void TFileContainer::Report(int32_t Code, TPersistent* Param) {
  if (FContainer) FContainer->DoInformationEventControl(this, Code, Param);
}

void TFileContainer::DoNewDisk(TCustomInstallFile* File, TDiskParameter* Param) {
  std::string Path = Param->Path;
  if (OnNewDisk) {
    OnNewDisk(File, Param->DiskNumber, Path);
    File->Tag = 1;
  }
  Param->Path = Path;
}

void TFileContainer::DoReplacing(TCustomInstallFile* File) {
  if (OnReplacing) OnReplacing(File);
  TListParameter P;
  P.Items.push_back(File);
  Broadcast(File, ncReplacing, &P);
}

void TFileContainer::DoStatus(TCustomInstallFile* File, TFileStatusParameter* Param) {
  if (OnStatus) OnStatus(File, Param->FilePercentDone, Param->TotalPercentDone);
  Broadcast(File, ncFileStatus, Param);
}

int32_t TFileContainer::FilesSize(bool All, bool Deep) {
  int64_t Sum = 0;
  for (TCustomInstallFile* F : Files())
    if (All || F->WillInstall()) Sum += F->FileSize;
  if (Deep)
    for (TFileContainer* C : SubContainers())
      if (All || C->WillInstall()) Sum += C->TotalFilesSize(All);
  return static_cast<int32_t>(Sum);
}

int32_t TFileContainer::CompressedFilesSize(bool All) {
  int64_t Sum = 0;
  for (TCustomInstallFile* F : Files())
    if (All || F->WillInstall()) Sum += F->CompressedSize;
  for (TFileContainer* C : SubContainers())
    if (All || C->WillInstall()) Sum += C->CompressedFilesSize(All);
  return static_cast<int32_t>(Sum);
}

void TFileContainer::FreeFiles() {
  for (TCustomInstallFile* F : Files()) delete F;
}

TCustomInstallFile* TFileContainer::FindFile(const std::string& SourcePath) {
  for (TCustomInstallFile* F : Files())
    if (SameText(AddBackslash(F->IncludeFromDir()) + F->FileName(), SourcePath)) return F;
  return nullptr;
}

std::string TFileContainer::GetDownloadedArchivePath() {
  std::string P;
  if (FindLocalFile(P)) return P;
  throw IEFileContainer(
      "%s has not yet downloaded the archive file and therefore cannot retrieve the path of the "
      "archive file",
      Name());
}

void TFileContainer::ReadInfoFromArchive() {
  TScreenCursorScope Wait;
  for (TCustomInstallFile* F : Files()) F->ReadInfoFromArchive();
  for (TFileContainer* C : SubContainers()) C->ReadInfoFromArchive();
  InfoRead = true;
}

void TFileContainer::ReadInfoFromSourceFiles() {
  TScreenCursorScope Wait;
  for (TCustomInstallFile* F : Files()) F->ReadInfoFromSourceFile();
  for (TFileContainer* C : SubContainers()) C->ReadInfoFromSourceFiles();
}

bool TFileContainer::HasNetFilesInArchive() {
  if (ProjectDistributeType() == dtTraditional) return false;
  for (TCustomInstallFile* F : Files())
    if (F->Net() && F->Include && !F->NetLocation()) return true;
  return false;
}

bool TFileContainer::HasNetFiles() {
  for (TCustomInstallFile* F : Files())
    if (F->Net()) return true;
  return false;
}

namespace {
// The archive settings of one object, put back after it was compressed.
struct TSavedArchiveSettings {
  explicit TSavedArchiveSettings(TFileRelated* O)
      : Obj(O), AddToArchive(O->AddToArchive), ArchiveFile(O->ArchiveFile()),
        ArchiveFileType(O->ArchiveFileType()), Include(O->Include) {}
  ~TSavedArchiveSettings() {
    Obj->AddToArchive = AddToArchive;
    Obj->RawSetArchive(ArchiveFile, ArchiveFileType);
    Obj->Include = Include;
  }
  TFileRelated* Obj;
  TlzhCommand AddToArchive;
  std::string ArchiveFile;
  TCustomPathSpecifier* ArchiveFileType;
  bool Include;
};

void DeleteArchive(const std::string& Container, const std::string& Path) {
  if (FileExists(Path) && !RemoveFile(Path))
    throw IEFileContainer("%s cannot delete the archive file %s", Container, Path);
}
}  // namespace

void TFileContainer::Compress(TCompressOptions Options) {
  if ((Options & coForceNetFilesLocal) && (Options & coForceFilesNet))
    throw IEFileContainer("Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress");
  TOperationState Operation(this, FState, ifsCompress);
  if (OnBeforeProcess) OnBeforeProcess(this);
  if (!Include) return;
  Report(ieContainerStarts, this);
  ReadInfoFromSourceFiles();
  TotalSize = TotalFilesSize((Options & coIncludeExcluded) != 0);
  Done = 0;
  const std::string BuildDir = RemoveBackslash(ExtractFileDir(GetArchivePath()));
  try {
    LocalArchive = BuildDir + "\\" + GetNetFolder() + "\\" + Name() + ".1";
  } catch (const IEFileRel_NoNetLocation&) {
    if (!(Options & coForceNetFilesLocal)) throw;
  }
  if (AddToArchive == lzcOverwrite) DeleteArchive(Name(), ChangeFileExt(GetArchivePath(), ".1"));
  if (HasNetFiles() || ((Options & coForceFilesNet) && !Files().empty()))
    if (!LocalArchive.empty()) DeleteArchive(Name(), LocalArchive);

  auto Objs = FObjects.Data();
  for (TInstallObject* O : Objs) {
    auto* FR = dynamic_cast<TFileRelated*>(O);
    if (!FR) continue;
    auto* File = dynamic_cast<TCustomInstallFile*>(FR);
    const bool Net = File && !(Options & coForceNetFilesLocal) &&
                     (File->Net() || (Options & coForceFilesNet));
    TSavedArchiveSettings Saved(FR);
    if (!FR->Include && (Options & coIncludeExcluded)) FR->Include = true;
    if (Net) {
      const std::string Own = BuildDir + "\\" + File->GetNetFolder() + "\\" + File->Name() + ".1";
      if (File->NetLocation()) {
        FR->AddToArchive = lzcOverwrite;
        FR->RawSetArchive(Own, nullptr);
      } else {
        FR->AddToArchive = lzcOnlyAdd;
        FR->RawSetArchive(File->HasOwnArchive() ? Own : LocalArchive, nullptr);
      }
      File->InNetArchive = true;
    } else if (FR->ArchiveFileType() && FR->ArchiveFileType()->InheritsFrom(TpsContainerArchiveFile::StaticClass())) {
      FR->AddToArchive = lzcOnlyAdd;
    } else if (FR->ArchiveFileType() && FR->ArchiveFileType()->InheritsFrom(TpsInstallSource::StaticClass())) {
      IInstallRun* I = CurrentInstall();
      std::string Base = I ? I->AsFileContainer()->GetArchivePath() : GetArchivePath();
      FR->RawSetArchive(RemoveBackslash(ExtractFileDir(Base)) + FR->ArchiveFile(), nullptr);
      FR->AddToArchive = lzcOverwrite;
    } else if (Options & coRelocateArchives) {
      std::string P = FR->GetArchivePath();
      size_t Colon = P.find(':');
      if (Colon != std::string::npos) P = P.substr(Colon + 1);
      FR->RawSetArchive(BuildDir + P, nullptr);
      FR->AddToArchive = lzcOverwrite;
    }
    if (auto* C = dynamic_cast<TFileContainer*>(FR))
      C->Compress(Options);
    else if (File)
      File->SetState(ifsCompress);
  }
  if (OnAfterProcess) OnAfterProcess(this);
  Report(ieContainerEnds, this);
}

void TFileContainer::InstallObjects() {
  TOperationState Operation(this, FState, ifsInstall, TOperationState::cdWhenDone);
  {
    TScreenCursorScope Wait;
    std::string P;
    if (FindLocalFile(P)) LocalArchive = P;
    ReadInfoFromArchive();
    Broadcast(this, ncReadArchiveInfo, nullptr);
    Report(ieContainerStarts, this);
    TotalSize = TotalFilesSize(false);
    Done = 0;
    if (OnBeforeInstallObjects) OnBeforeInstallObjects(this);
    TFileRelated::InstallObjects();
    Report(ieContainerEnds, this);
  }
  const bool WasAborted = QrvnCompress().Abort();
  Operation.Done();
  if (OnAfterInstallObjects) OnAfterInstallObjects(this, WasAborted);
}

void TFileContainer::CopyFiles() {
  TOperationState Operation(this, FState, ifsCopying);
  if (OnBeforeProcess) OnBeforeProcess(this);
  if (!Include) return;
  Report(ieContainerStarts, this);
  ReadInfoFromSourceFiles();
  TotalSize = TotalFilesSize(false);
  Done = 0;
  for (TCustomInstallFile* F : Files()) F->SetState(ifsCopying);
  for (TFileContainer* C : SubContainers()) C->CopyFiles();
  if (OnAfterProcess) OnAfterProcess(this);
  Report(ieContainerEnds, this);
}

namespace {
[[noreturn]] void NilParameter() { throw IEFileContainer(std::string("%s got a nil PO parameter")); }

TListParameter* StatusList(TPersistent* Param) {
  if (!Param) NilParameter();
  auto* L = dynamic_cast<TListParameter*>(Param);
  if (!L) throw IEFileContainer(std::string("DoInformationEventControl--PO is not a TList object"));
  if (L->Items.size() < 2)
    throw IEFileContainer(std::string("DoInformationEventControl--Not engouh parameters for status event"));
  return L;
}
}  // namespace

void TFileContainer::DoInformationEventControl(TInstallContainer* Sender, int32_t EventCode,
                                               TPersistent* Param) {
  if (FState == ifsNone) return;
  auto TotalPercent = [this](int32_t Bytes) { return RoundPercent(Bytes, TotalSize); };
  switch (EventCode) {
    case ieReplacing: {
      if (!Param) NilParameter();
      auto* F = dynamic_cast<TCustomInstallFile*>(Param);
      if (!F) throw IEFileContainer(std::string("DoInformationEventControl parameter is not TInstallFile"));
      DoReplacing(F);
      break;
    }
    case ieInstallStatus:
    case ieCompressStatus:
    case ieCopyStatus: {
      TListParameter* L = StatusList(Param);
      auto* F = dynamic_cast<TCustomInstallFile*>(L->Items[0]);
      if (!F) throw IEFileContainer(std::string("DoInformationEventControl says bad first parameter"));
      auto* S = dynamic_cast<TFileStatusParameter*>(L->Items[1]);
      if (!S) throw IEFileContainer(std::string("DoInformationEventControl says bad second parameter"));
      S->TotalBytesDone = Done + S->FileBytesDone;
      S->TotalPercentDone = TotalPercent(S->TotalBytesDone);
      DoStatus(F, S);
      if (S->FileStats.FileFinished) Done += S->FileStats.FileSize;
      break;
    }
    case ieNewDisk: {
      TListParameter* L = StatusList(Param);
      auto* F = dynamic_cast<TCustomInstallFile*>(L->Items[0]);
      if (!F) throw IEFileContainer("DoInformationEventControl says bad %d parameter", 1);
      auto* D = dynamic_cast<TDiskParameter*>(L->Items[1]);
      if (!D) throw IEFileContainer("DoInformationEventControl says bad %d parameter", 2);
      DoNewDisk(F, D);
      Broadcast(F, ncNewDisk, L);
      break;
    }
    case ieDownloadStatus: {
      if (!Param) NilParameter();
      auto* D = dynamic_cast<TDownloadStatusParameter*>(Param);
      if (!D)
        throw IEFileContainer("The PO object passed to %s is not a TDownloadStatusParameter object",
                              Name());
      if (OnDataReceived) OnDataReceived(this, D->FileName, D->Bytes, D->TotalBytes, D->FileSize, nullptr);
      Broadcast(this, ncDownloadStatus, D);
      break;
    }
    case ieSkipped:
    case ieKept: {
      if (!Param) NilParameter();
      auto* F = dynamic_cast<TCustomInstallFile*>(Param);
      if (!F) throw IEFileContainer(std::string("DoInformationEventControl says bad first parameter"));
      TFileStatusParameter S;
      S.FileBytesDone = F->FileSize;
      S.FilePercentDone = 100;
      S.FileName = F->FileName();
      S.TotalBytesDone = Done + F->FileSize;
      S.TotalPercentDone = TotalPercent(S.TotalBytesDone);
      DoStatus(F, &S);
      Done += F->FileSize;
      break;
    }
    default:
      break;
  }
  Report(EventCode, Param);
}

// --- TInstallFileGroup -------------------------------------------------------

const TClassInfo& TInstallFileGroup::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TInstallFileGroup>("TInstallFileGroup", &TFileContainer::StaticClass())
          .Creatable()
          .Enum("AddToArchive", LzhCommandInfo, &TInstallFileGroup::AddToArchive, lzcOverwrite)
          .Bool("AllowChangeDir", &TInstallFileGroup::AllowChangeDir, true)
          .Bool("AllowChoice", &TInstallFileGroup::AllowChoice, true)
          .Str("ArchiveFile", &TInstallFileGroup::ArchiveFile, &TInstallFileGroup::SetArchiveFile, "")
          .Ref("ArchiveFileType", TCustomPathSpecifier::StaticClass(),
               &TInstallFileGroup::ArchiveFileType, &TInstallFileGroup::SetArchiveFileType)
          .Ref("Container", TInstallContainer::StaticClass(), &TInstallFileGroup::Container,
               &TInstallFileGroup::SetContainer)
          .Object("Description", &TInstallFileGroup::Description)
          .Str("DestDir", &TInstallFileGroup::DestDir, &TInstallFileGroup::SetDestDir, "")
          .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &TInstallFileGroup::DestDirType,
               &TInstallFileGroup::SetDestDirType)
          .Str("GroupName", &TInstallFileGroup::GroupName, "")
          .Bool("Include", &TInstallFileGroup::Include, true)
          .Set("InstallTypes", InstallTypeInfo, &TInstallFileGroup::InstallTypes,
               &TInstallFileGroup::SetInstallTypes, InstallTypeBit(itAlways))
          .Bool("Net", &TInstallFileGroup::Net, &TInstallFileGroup::SetNet, true)
          .Ref("NetLocation", TCustomNetInstallLocation::StaticClass(), &TInstallFileGroup::NetLocation,
               &TInstallFileGroup::SetNetLocation)
          .Int("Order", &TInstallFileGroup::Order, &TInstallFileGroup::SetOrder, -1)
          .NoDefault()
          .Event("OnAfterInstallObjects", &TInstallFileGroup::OnAfterInstallObjects)
          .Event("OnAfterProcess", &TInstallFileGroup::OnAfterProcess)
          .Event("OnBeforeInstallObjects", &TInstallFileGroup::OnBeforeInstallObjects)
          .Event("OnBeforeProcess", &TInstallFileGroup::OnBeforeProcess)
          .Event("OnDataReceived", &TInstallFileGroup::OnDataReceived)
          .Event("OnNewDisk", &TInstallFileGroup::OnNewDisk)
          .Event("OnReplacing", &TInstallFileGroup::OnReplacing)
          .Event("OnStatus", &TInstallFileGroup::OnStatus)
          .Build();
  return Info;
}

TInstallFileGroup::TInstallFileGroup(TComponent* AOwner) : TFileContainer(AOwner) {
  AutoInstall = true;
  Include = true;
  // A group made by the loader has no container yet; the stream names it.
  GroupName = "Unnamed File Group";
}

void TInstallFileGroup::RemoveMissingFiles() {
  auto Fs = Files();
  for (auto It = Fs.rbegin(); It != Fs.rend(); ++It)
    if (!FileExists((*It)->GetSourceFileName())) delete *It;
}

void RegisterFileContainerClasses() { RegisterComponentClass(TInstallFileGroup::StaticClass()); }
