#include "model/cmp_TInstallContainer.h"

#include <cmath>

#include "controls/cmp_TForm.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "net/cmp_TNetInstallLocation.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TPathSpecifier.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

const TEnumInfo InstallTypeInfo{"TInstallType",
                                {"itFull", "itDefault", "itCompact", "itAlways", "itCustom"}};
const TEnumInfo DistributeTypeInfo{"TDistributeType", {"dtTraditional", "dtWeb", "dtTraditionalNet"}};
const TEnumInfo LzhCommandInfo{"TlzhCommand", {"lzcOverwrite", "lzcOnlyAdd"}};

int32_t RoundPercent(double Part, double Whole, int32_t Fallback) {
  if (Whole == 0) return Fallback;
  double V = Part * 100.0 / Whole;
  if (!std::isfinite(V)) return Fallback;
  return static_cast<int32_t>(std::nearbyint(V));  // the default rounding mode: halves to even
}

// --- process-wide references -------------------------------------------------

namespace {
IInstallRun* GCurrentInstall = nullptr;
}

IInstallRun* CurrentInstall() { return GCurrentInstall; }
void SetCurrentInstall(IInstallRun* Install) { GCurrentInstall = Install; }

std::string InstallKey;

TDistributeType ProjectDistributeType() {
  return GCurrentInstall ? GCurrentInstall->GetDistributeType() : dtTraditionalNet;
}

std::string UninstallKeyFor(const std::string& ProductName) { return UninstallKeyOf(ProductName); }

TInstallContainerList& InstallContainerList() {
  static TInstallContainerList L;
  return L;
}

void TInstallContainerList::Add(TInstallContainer* C) {
  if (!C) throw IEContainerList("Cannot add a blank entry to the TInstallContainerList object");
  TTypedRefList<TInstallContainer>::Add(C);
}

// --- TInstallContainer -------------------------------------------------------

const TClassInfo& TInstallContainer::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TInstallContainer>("TInstallContainer", &TComponent::StaticClass()).Build();
  return Info;
}

namespace {
bool OwnerIsForm(TComponent* Owner) { return dynamic_cast<TCustomForm*>(Owner) != nullptr; }
}  // namespace

TInstallContainer::TInstallContainer(TComponent* AOwner) : TComponent(AOwner) {
  // The standard specifiers come first, so that the defaults below and the
  // references in the stream find them.
  if (OwnerIsForm(AOwner)) StandardPathSpecList().EnsureStandardSpecifiers(this, AOwner, true);
  InstallContainerList().Add(this);
}

TInstallContainer::~TInstallContainer() {
  Destroying();
  // Everyone forgets this container before it goes.  A container that
  // destroys itself on hearing it (a link whose target goes) may take
  // others with it, so each is looked up again before it is told.
  auto All = InstallContainerList().Data();
  for (TInstallContainer* C : All)
    if (C != this && InstallContainerList().Contains(C)) C->ContainerDestroyed(this);
  FObjects.Clear();
  InstallContainerList().Remove(this);
}

void TInstallContainer::SetInstallTypes(TInstallTypeSet Value) {
  const TInstallTypeSet Always = InstallTypeBit(itAlways);
  if (Value == 0) {
    Value = Always;
  } else if ((Value & Always) && !(FInstallTypes & Always)) {
    Value = Always;  // itAlways was just added: it stands alone
  } else if ((Value & ~Always) != 0) {
    Value &= static_cast<TInstallTypeSet>(~Always);
  }
  FInstallTypes = Value;
}

void TInstallContainer::SetDestDir(const std::string& Value) { FDestDir = Value; }

void TInstallContainer::SetDestDirType(TCustomPathSpecifier* Value) {
  if (Value && !IsLoading()) Value->Validate(this);
  if (FDestDirType == Value) return;
  FDestDirType = Value;
  if (Value) Value->FreeNotification(this);
}

void TInstallContainer::SetOrder(int32_t Value) {
  if (IsLoading()) {
    FOrder = Value;
    return;
  }
  auto* Self = dynamic_cast<TInstallObject*>(this);
  if (!Self || !Self->Container() || Value == FOrder) return;
  TInstallContainer* C = Self->Container();
  C->RemoveInstallObject(Self);
  FOrder = Value;
  C->AddInstallObject(Self);
}

TInstallObject* TInstallContainer::Objects(int Index) const {
  if (Index < 0 || Index >= FObjects.Count())
    throw IEInstallContainer(
        "Tried to reference a helper component in the following component: %s. The following "
        "index was used: %d",
        Name(), Index);
  return FObjects.Items(Index);
}

TInstallObject* TInstallContainer::Comp(int Index, const TClassInfo& ComponentType) const {
  int N = 0;
  for (TInstallObject* O : FObjects.Data())
    if (O->InheritsFrom(ComponentType) && N++ == Index) return O;
  throw IEInstallContainer(
      "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer "
      "component. The parameters are probably reversed. Index: %d, ComponentType: %d",
      Index, ComponentType.ClassName);
}

int TInstallContainer::CompCount(const TClassInfo& ComponentType) const {
  int N = 0;
  for (TInstallObject* O : FObjects.Data())
    if (O->InheritsFrom(ComponentType)) ++N;
  return N;
}

int TInstallContainer::FileContainerCount() const {
  int N = 0;
  for (TInstallObject* O : FObjects.Data())
    if (O->RegisteredType() == rtFileContainer) ++N;
  return N;
}

TFileContainer* TInstallContainer::FileContainers(int Index) const {
  int N = 0;
  for (TInstallObject* O : FObjects.Data())
    if (O->RegisteredType() == rtFileContainer && N++ == Index)
      return static_cast<TFileContainer*>(O);
  throw IEInstallContainer(
      "Tried to reference a helper component in the following component: %s. The following "
      "index was used: %d",
      Name(), Index);
}

void TInstallContainer::FreeObjectsOfClass(const TClassInfo& ComponentType) {
  for (int i = FObjects.Count() - 1; i >= 0; --i) {
    if (i >= FObjects.Count()) continue;  // a destructor took more than itself
    TInstallObject* O = FObjects.Items(i);
    if (O->InheritsFrom(ComponentType)) delete O;
  }
}

void TInstallContainer::AddInstallObject(TInstallObject* Obj) {
  if (!Obj)
    throw IEInstallContainer("Cannot add a blank base helper component to %s", Name());
  if (Obj == this) throw IEInstallContainer("Circular reference");
  for (TInstallContainer* C = this; C;) {
    auto* O = dynamic_cast<TInstallObject*>(C);
    if (!O) break;
    C = O->Container();
    if (C == Obj) throw IEInstallContainer("Circular reference");
  }
  const int32_t Type = Obj->RegisteredType();
  int Pos = FObjects.Count();
  if (SameText(Obj->ClassName(), "TINSTALLBDE")) {
    Pos = 0;
  } else {
    for (int i = 0; i < FObjects.Count(); ++i) {
      TInstallObject* O = FObjects.Items(i);
      const int32_t T = O->RegisteredType();
      if (T > Type || (T == Type && O->Order() >= Obj->Order() && Obj->Order() != -1)) {
        Pos = i;
        break;
      }
    }
  }
  FObjects.Insert(Pos, Obj);
  if (!IsLoading()) Renumber();
}

void TInstallContainer::RemoveInstallObject(TInstallObject* Obj) {
  FObjects.Remove(Obj);
  if (!IsLoading()) Renumber();
}

void TInstallContainer::Renumber() {
  int32_t Count = 0;
  int32_t Prev = 0;
  bool First = true;
  for (TInstallObject* O : FObjects.Data()) {
    const int32_t T = O->RegisteredType();
    if (First || T != Prev) Count = 0;
    O->FOrder = Count++;
    Prev = T;
    First = false;
  }
}

void TInstallContainer::ContainerDestroyed(TInstallContainer* Container) {
  // Compared as containers: the object is in its destructor already, so it
  // is no longer an install object as far as dynamic_cast can tell.
  for (TInstallObject* O : FObjects.Data())
    if (static_cast<TInstallContainer*>(O) == Container) {
      FObjects.Remove(O);
      return;
    }
}

void TInstallContainer::Broadcast(TPersistent* Sender, int32_t Code, TBroadcastParameter* Param) {
  // A copy: a dialog may add or remove objects while it runs.
  auto Objs = FObjects.Data();
  for (TInstallObject* O : Objs)
    if (FObjects.Contains(O) && O->RegisteredType() == rtDialog)
      O->ReceiveBroadcast(Sender, Code, Param);
}

void TInstallContainer::ShowStatusText(const std::string& Text) {
  TMessageParameter P;
  P.Message = Text;
  Broadcast(this, ncShowStatusText, &P);
}

void TInstallContainer::HideStatusText() { Broadcast(this, ncHideStatusText, nullptr); }

std::string TInstallContainer::GetDestPath() {
  std::string Base = FDestDirType ? FDestDirType->GetPath(this) : std::string();
  return RemoveBackslash(Base + FDestDir);
}

int32_t TInstallContainer::RegisteredType() const {
  throw IEInstallContainer("Class must declare a registered type");
}

bool TInstallContainer::PassesInstallType() const {
  return CurrentInstallType == itAlways || CurrentInstallType == itCustom ||
         (FInstallTypes & InstallTypeBit(itAlways)) ||
         (FInstallTypes & InstallTypeBit(CurrentInstallType));
}

bool TInstallContainer::WillInstall() const { return Include && PassesInstallType(); }

void TInstallContainer::Process() {
  try {
    if (OnBeforeProcess) OnBeforeProcess(this);
    Broadcast(this, ncBeforeProcess, nullptr);
    if (!Include) return;
    if (OnIncluded) OnIncluded(this);
    Broadcast(this, ncIncluded, nullptr);
    if (!PassesInstallType()) return;
    InstallObjects();
    Processed = true;
    if (IInstallRun* I = CurrentInstall()) WriteUninstallInfo(UninstallKeyFor(I->ProductName()));
    if (OnAfterProcess) OnAfterProcess(this);
    Broadcast(this, ncAfterProcess, nullptr);
  } catch (const EAbort&) {
    // An event handler skipped this object.
  }
}

void TInstallContainer::InstallObjects() {
  Processed = true;
  auto Objs = FObjects.Data();
  for (TInstallObject* O : Objs)
    if (O->AutoInstall) O->Process();
}

void TInstallContainer::SelectInstallType(TInstallType Type) {
  for (TInstallObject* O : FObjects.Data()) O->SelectInstallType(Type);
  CurrentInstallType = Type;
}

void TInstallContainer::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FDestDirType) FDestDirType = nullptr;
}

// --- TInstallObject ----------------------------------------------------------

const TClassInfo& TInstallObject::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TInstallObject>("TInstallObject", &TInstallContainer::StaticClass()).Build();
  return Info;
}

void TInstallObject::Loaded() { TInstallContainer::Loaded(); }

void TInstallObject::ContainerDestroyed(TInstallContainer* Container) {
  TInstallContainer::ContainerDestroyed(Container);
  if (Container == FContainer) FContainer = nullptr;
}

void TInstallObject::SetContainer(TInstallContainer* Value) {
  FContainerAssigned = true;
  if (Value == FContainer) return;
  if (Value) Value->AddInstallObject(this);  // may refuse; then nothing changed
  if (FContainer) FContainer->RemoveInstallObject(this);
  FContainer = Value;
  if (IsLoading()) return;
  if (Value) {
    SetDestDirType(StandardSpecifier<TpsContainerDestDir>());
    SetDestDir("");
  } else if (FDestDirType && FDestDirType->InheritsFrom(TpsContainerDestDir::StaticClass())) {
    FDestDirType = nullptr;
  }
}

// --- TFileRelated ------------------------------------------------------------

const TClassInfo& TFileRelated::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TFileRelated>("TFileRelated", &TInstallObject::StaticClass()).Build();
  return Info;
}

TFileRelated::TFileRelated(TComponent* AOwner) : TInstallObject(AOwner) { AutoInstall = true; }

namespace {
bool IsArchiveSpecifier(const TCustomPathSpecifier* S) {
  return S && (S->InheritsFrom(TpsContainerArchiveFile::StaticClass()) ||
               S->InheritsFrom(TpsMainArchiveFile::StaticClass()));
}
}  // namespace

void TFileRelated::SetArchiveFile(const std::string& Value) {
  if (!IsLoading() && IsArchiveSpecifier(FArchiveFileType))
    FArchiveFile.clear();  // the specifier names the whole archive path
  else
    FArchiveFile = Value;
}

void TFileRelated::SetArchiveFileType(TCustomPathSpecifier* Value) {
  FArchiveFileTypeAssigned = true;
  if (!IsLoading() && Value) {
    Value->Validate(this);
    if (IsArchiveSpecifier(Value)) FArchiveFile.clear();
  }
  FArchiveFileType = Value;
  if (Value) Value->FreeNotification(this);
}

void TFileRelated::SetContainer(TInstallContainer* Value) {
  TInstallContainer* Old = FContainer;
  TInstallObject::SetContainer(Value);
  if (IsLoading() || Value == Old) return;
  if (dynamic_cast<TFileRelated*>(Value)) {
    SetArchiveFileType(StandardSpecifier<TpsContainerArchiveFile>());
    FArchiveFile.clear();
  } else if (!Value && FArchiveFileType &&
             FArchiveFileType->InheritsFrom(TpsContainerArchiveFile::StaticClass())) {
    FArchiveFileType = nullptr;
  }
}

std::string TFileRelated::GetArchivePath() {
  std::string Base = FArchiveFileType ? FArchiveFileType->GetPath(this) : std::string();
  return RemoveBackslash(Base + FArchiveFile);
}

bool TFileRelated::FindLocalFile(std::string& Path) const {
  if (Trim(Name()).empty()) return false;
  std::string V =
      RegReadString(hkLocalMachine, AddBackslash(InstallKey) + Name(), "LocalFile", "");
  if (Trim(V).empty() || !FileExists(V)) return false;
  Path = V;
  return true;
}

void TFileRelated::StoreLocalFile(const std::string& Path) {
  if (Trim(Name()).empty() || Trim(Path).empty()) return;
  try {
    RegWriteString(hkLocalMachine, AddBackslash(InstallKey) + Name(), "LocalFile", Path);
  } catch (const EIRCannotWriteValue&) {
    // A later run downloads again; nothing is lost.
  }
}

bool TFileRelated::ArchiveDownloaded() const {
  std::string P;
  return !Trim(LocalArchive).empty() || FindLocalFile(P);
}

void TFileRelated::Loaded() {
  TInstallObject::Loaded();
  std::string P;
  if (FindLocalFile(P)) LocalArchive = P;
}

void TFileRelated::Notification(TComponent* AComponent, TOperation Operation) {
  TInstallObject::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FNetLocation) FNetLocation = nullptr;
  if (AComponent == FArchiveFileType) FArchiveFileType = nullptr;
}

void TFileRelated::SetNetLocation(TCustomNetInstallLocation* Value) {
  FNetLocation = Value;
  if (Value) Value->FreeNotification(this);
}

TCustomNetInstallLocation* TFileRelated::FindNetLocation() const {
  if (FNetLocation) return FNetLocation;
  if (RegisteredType() == rtInstallFile && FContainer) {
    auto* FC = dynamic_cast<TFileContainer*>(FContainer);
    return FC ? FC->FindNetLocation() : nullptr;
  }
  return DefaultNetLocation();
}

std::string TFileRelated::GetNetFolder() const {
  TCustomNetInstallLocation* L = FindNetLocation();
  if (!L) throw IEFileRel_NoNetLocation("Could not find a net install location for %s", Name());
  const TLoginInformation* Login = L->LoginInformation();
  std::string D = MakeValidFileName(Login->Directory());
  std::string H = MakeValidFileName(Login->Hostname());
  if (Trim(D).empty())
    return H + "\\" + (Login->Protocol() == ipFTP ? "FTP Root directory" : "HTTP Root directory");
  return H + "\\" + D;
}

void TFileRelated::DownloadArchive() {
  std::string Found;
  if (FindLocalFile(Found)) {
    LocalArchive = Found;
    return;
  }
  TCustomNetInstallLocation* L = FindNetLocation();
  if (!L) throw Exception(TranslatedFormat("Could not find a net install location for %s", Name()));
  if (!L->LoginInformation()->IsFilledIn()) {
    if (FNetLocation)
      throw IEFileRelated(
          "%s could not install itself because the TNetLocation component's properties, in the "
          "NetLocation property, have not been filled in",
          Name());
    throw IEFileRelated(
        "%s could not install itself because the LoginInformation property of the TInstall "
        "component has not been properly filled in",
        Name());
  }
  LocalArchive = ChangeFileExt(GetTempFile(false), ".1");
  L->SetInternalDataReceived([this](const std::string& FileName, int Bytes, int TotalBytes,
                                    int FileSize, const void* Buffer) {
    DataReceived(FileName, Bytes, TotalBytes, FileSize, Buffer);
  });
  try {
    L->Download(ChangeFileExt(Name(), ".1"), LocalArchive);
  } catch (...) {
    L->SetInternalDataReceived(nullptr);
    if (NetAborted()) {
      RemoveFile(LocalArchive);
      LocalArchive.clear();
      throw EQIUserAbort();
    }
    throw;
  }
  L->SetInternalDataReceived(nullptr);
  if (NetAborted()) {
    RemoveFile(LocalArchive);
    LocalArchive.clear();
    throw EQIUserAbort();
  }
  StoreLocalFile(LocalArchive);
}

void TFileRelated::DataReceived(const std::string& FileName, int32_t Bytes, int32_t TotalBytes,
                                int32_t FileSize, const void* Buffer) {
  TDownloadStatusParameter P;
  P.Bytes = Bytes;
  P.FileName = FileName;
  P.FileSize = FileSize;
  P.TotalBytes = TotalBytes;
  P.PercentDone = RoundPercent(TotalBytes, FileSize);
  if (OnDataReceived) OnDataReceived(this, FileName, Bytes, TotalBytes, FileSize, Buffer);
  Broadcast(this, ncDownloadStatus, &P);
  if (FContainer) FContainer->DoInformationEventControl(this, 1014, &P);
}
