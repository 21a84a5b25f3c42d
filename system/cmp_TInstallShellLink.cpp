#include "system/cmp_TInstallShellLink.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include "controls/cmp_TForm.h"
#include "environment/routines_API.h"
#include "environment/routines_ExpandPaths.h"
#include "environment/routines_RunOptions.h"
#include "environment/routines_Scoped.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TUninstallEXE.h"
#include "model/routines_RunJournal.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"
#include "system/cmp_TProgramManager.h"

const TEnumInfo MethodTypeInfo{"TMethodType", {"mtAutoDetect", "mtShellLinkInterface", "mtProgramManager"}};

namespace {

TMainLinkGroup* GMainLinkGroup = nullptr;

// The standard specifier of a kind, or nullptr when the project has none.
template <class T>
T* FindStandard() {
  return StandardPathSpecList().Contains(T::StaticClass()) ? StandardSpecifier<T>() : nullptr;
}

template <class T>
bool Is(const TCustomPathSpecifier* S) {
  return S && S->InheritsFrom(T::StaticClass());
}

// The psObjectLink specifier of the project, made on the form when missing.
TpsObjectLink* EnsureObjectLinkSpecifier(TComponent* Owner) {
  if (TpsObjectLink* S = FindStandard<TpsObjectLink>()) return S;
  if (!Owner) return nullptr;
  auto* S = new TpsObjectLink(Owner);
  try {
    S->SetName(S->StandardName());
  } catch (...) {
    delete S;
    throw;
  }
  return S;
}

[[noreturn]] void BlankLinkName(const std::string& Name) {
  throw IEInstallShellLink("The LinkName is blank for %s and therefore could not be installed", Name);
}

}  // namespace

// --- link lists ------------------------------------------------------------------------------

void TInstallShellLinkList::Add(TCustomInstallShellLink* L) {
  if (!L) throw IEInstallShellLinkList("Cannot add a blank entry to the shell link list");
  TTypedRefList<TCustomInstallShellLink>::Add(L);
}

TInstallShellLinkList& ShellLinkList() {
  static TInstallShellLinkList L;
  return L;
}

TInstallShellLinkList& MainLinkList() {
  static TInstallShellLinkList L;
  return L;
}

// --- link groups -------------------------------------------------------------------------------

const TClassInfo& TCustomShellLinkGroup::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TCustomShellLinkGroup>(
                                     "TCustomShellLinkGroup", &TInstallObject::StaticClass())
                                     .Build();
  return Info;
}

TCustomShellLinkGroup::TCustomShellLinkGroup(TComponent* AOwner) : TInstallObject(AOwner) {
  AutoInstall = true;
}

void TCustomShellLinkGroup::ContainerDestroyed(TInstallContainer* Container) {
  const bool Mine = Container && Container == FContainer;
  TInstallObject::ContainerDestroyed(Container);
  if (Mine && !IsDestroying()) delete this;
}

void TCustomShellLinkGroup::InstallObjects() {
  Broadcast(this, ncLinkGroupStarts, nullptr);
  RunJournal().FolderToBeMade(GetDestPath());
  ForceDirectories(GetDestPath());  // a folder that cannot be made fails its links
  TInstallObject::InstallObjects();
}

namespace {
TComponent* SingleMainGroup(TComponent* AOwner) {
  if (GMainLinkGroup)
    throw IEShellLinkGroup("You can only have one TMainLinkGroup component in your project");
  return AOwner;
}
}  // namespace

TMainLinkGroup* MainLinkGroup() { return GMainLinkGroup; }

TMainLinkGroup::TMainLinkGroup(TComponent* AOwner) : TCustomShellLinkGroup(SingleMainGroup(AOwner)) {
  GMainLinkGroup = this;
  SetDestDirType(nullptr);
  IInstallRun* I = CurrentInstall();
  FDestDir = I ? "\\" + I->ProductName() : "\\MainFolderName";
}

TMainLinkGroup::~TMainLinkGroup() {
  if (GMainLinkGroup == this) GMainLinkGroup = nullptr;
}

void TMainLinkGroup::SetDestDirType(TCustomPathSpecifier*) {
  TCustomShellLinkGroup::SetDestDirType(FindStandard<TpsProgramMenu>());
}

// --- TCustomInstallShellLink -------------------------------------------------------------------

const TClassInfo& TCustomInstallShellLink::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TCustomInstallShellLink>(
                                     "TCustomInstallShellLink", &TInstallObject::StaticClass())
                                     .Build();
  return Info;
}

TCustomInstallShellLink::TCustomInstallShellLink(TComponent* AOwner) : TInstallObject(AOwner) {
  AutoInstall = true;
  if (dynamic_cast<TCustomForm*>(AOwner)) EnsureObjectLinkSpecifier(AOwner);
  ShellLinkList().Add(this);
}

TCustomInstallShellLink::~TCustomInstallShellLink() { ShellLinkList().Remove(this); }

void TCustomInstallShellLink::DestroySelf() {
  if (!IsDestroying()) delete this;
}

void TCustomInstallShellLink::SetLinkName(const std::string& Value) {
  const std::string Previous = FLinkName;
  FLinkName = Value;
  if (IsLoading() || Trim(Value).empty()) return;
  const std::string Ext = UpperCase(ExtractFileExt(Value));
  if (Ext == ".URL") {
    // An internet shortcut points at its URL, never at an install object.
    FObjectLink = nullptr;
    if (Is<TpsObjectLink>(FObjectLocationType)) FObjectLocationType = nullptr;
    return;
  }
  if (Ext == ".LNK") return;
  // Any other extension gives way to the kind the link had.
  const std::string PreviousExt = UpperCase(ExtractFileExt(Previous));
  FLinkName = ChangeFileExt(Value, PreviousExt == ".URL" ? ".URL" : ".LNK");
}

void TCustomInstallShellLink::SetObjectLink(TInstallContainer* Value) {
  if (Value) Value->FreeNotification(this);
  if (IsLoading()) {
    FObjectLink = Value;
    return;
  }
  if (!Value) {
    FObjectLink = nullptr;
    FObjectLocationType = nullptr;
    return;
  }
  FObjectLink = Value;
  SetObjectLocationType(EnsureObjectLinkSpecifier(Owner()));
  FObjectLocation.clear();
  std::string Link;
  if (auto* F = dynamic_cast<TCustomInstallFile*>(Value))
    Link = ChangeFileExt(F->DestName(), ".lnk");
  else if (auto* G = dynamic_cast<TFileContainer*>(Value))
    Link = G->GroupName + ".lnk";
  else
    Link = Value->Name() + ".lnk";
  SetLinkName(Link);
  if (!FContainer) SetContainer(Value);
}

void TCustomInstallShellLink::SetObjectLocation(const std::string& Value) {
  if (IsLoading()) {
    FObjectLocation = Value;
    return;
  }
  FObjectLocation = Is<TpsObjectLink>(FObjectLocationType) ? std::string() : Value;
  if (!FLinkName.empty() && UpperCase(FLinkName) != ".LNK") return;
  const std::string Upper = UpperCase(Value);
  for (const char* Scheme : {"HTTP://", "FTP://"}) {
    const size_t P = Upper.find(Scheme);
    if (P == std::string::npos) continue;
    // The rest of the URL names the file; its slashes and colons cannot.
    SetLinkName(MakeValidFileName(Value.substr(P + std::char_traits<char>::length(Scheme))) + ".URL");
    return;
  }
  SetLinkName(ChangeFileExt(ExtractFileName(Value), ""));
}

void TCustomInstallShellLink::SetObjectLocationType(TCustomPathSpecifier* Value) {
  if (!IsLoading() && Value) Value->Validate(this);
  FObjectLocationType = Value;
  if (Value) Value->FreeNotification(this);
  if (!IsLoading() && Is<TpsObjectLink>(Value)) FObjectLocation.clear();
}

std::string TCustomInstallShellLink::GetObjectPath() {
  if (FObjectLocationType) return FObjectLocationType->GetPath(this) + FObjectLocation;
  return RemoveBackslash(FObjectLocation);
}

std::string TCustomInstallShellLink::GetLinkFilePath() { return AddBackslash(GetDestPath()) + FLinkName; }

void TCustomInstallShellLink::ContainerDestroyed(TInstallContainer* Container) {
  const bool Target = Container && Container == FObjectLink;
  const bool Mine = Container && Container == FContainer;
  TInstallObject::ContainerDestroyed(Container);
  if (Target) FObjectLink = nullptr;
  if (Target || Mine) DestroySelf();
}

void TCustomInstallShellLink::Notification(TComponent* AComponent, TOperation Operation) {
  TInstallObject::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FObjectLocationType) FObjectLocationType = nullptr;
  if (AComponent == static_cast<TComponent*>(FObjectLink)) FObjectLink = nullptr;
}

std::string TCustomInstallShellLink::ExpandedParameters() {
  std::string Result;
  ExpandMetaVariables(Parameters, this, Result);
  return Result;
}

bool TCustomInstallShellLink::InProgramsFolder() const {
  if (Is<TpsProgramMenu>(FDestDirType)) return true;
  // A link group there (the main program folder) holds Program Manager
  // items as well.
  auto* Group = dynamic_cast<TCustomShellLinkGroup*>(FContainer);
  return Is<TpsContainerDestDir>(FDestDirType) && Group && Is<TpsProgramMenu>(Group->DestDirType());
}

void TCustomInstallShellLink::InstallObjects() {
  if (Trim(FLinkName).empty()) BlankLinkName(Name());
  if (FObjectLink) {
    // A target that was not installed gets no link.
    if (!FObjectLink->Processed) return;
    if (dynamic_cast<TUninstallEXE*>(FObjectLink)) {
      IInstallRun* I = CurrentInstall();
      if (!I)
        throw IEInstallShellLink("%s cannot perform operation because there is no TInstall component",
                                 Name());
      Parameters = I->ProductName();  // the uninstaller is told which product goes
    }
    if (dynamic_cast<TCustomShellLinkGroup*>(FObjectLink)) ForceDirectories(FObjectLink->GetDestPath());
  }
  const bool Url = UpperCase(ExtractFileExt(FLinkName)) == ".URL";
  TMethodType M = Method;
  if (M == mtAutoDetect) {
    const TWindowsVersion V = GetWindowsVersion();
    M = V == wvWindows95 || V == wvWindowsNT ? mtShellLinkInterface : mtProgramManager;
  }
  // A failed run takes its link files back.  Program Manager's items are
  // link files of its group's folder where a shell stands in for it (the 95
  // family on, Wine); the 3.x Program Manager keeps its groups itself.
  if (Url || M == mtShellLinkInterface)
    RunJournal().FileToBeWritten(GetLinkFilePath());
  else if (InProgramsFolder())
    RunJournal().FileToBeWritten(AddBackslash(GetDestPath()) + ChangeFileExt(FLinkName, "") + ".lnk");
  if (Url)
    CreateInternetShortcut();
  else if (M == mtShellLinkInterface)
    CreateByShellLinkInterface();
  else
    CreateByProgramManager();
  LogLine("Link created: " + GetLinkFilePath() + " -> " + GetObjectPath());
  TInstallObject::InstallObjects();
}

namespace {

[[noreturn]] void LinkFailed(const std::string& Name, const std::string& Reason) {
  throw IEInstallShellLink(
      "The TCustomInstallShellLink %s name could not be installed. The following error was reported %s",
      Name, Reason);
}

struct TComFailure {
  const char* Function;
  HRESULT Code;
};

// Each call names itself, so a report points at the one that failed.
void Check(const char* Function, HRESULT Code) {
  if (FAILED(Code)) throw TComFailure{Function, Code};
}

}  // namespace

std::string ShellLinkErrorText(int32_t Code) {
  switch (static_cast<uint32_t>(Code)) {
    case 0:
      return "";
    case 0x8000FFFFu:
      return TranslateMessageText("Indicates an unexpected error occurred");
    case 0x80040110u:
      return TranslateMessageText("Indicates this class cannot be created as part of an aggregate");
    case 0x80040154u:
      return TranslateMessageText(
          "Indicates that a specified class is not registered in the registration database");
    case 0x8007000Eu:
      return TranslateMessageText("Out of memory");
    case 0x80070057u:
      return TranslateMessageText("Indicates one or more arguments are invalid");
    default:
      return SysErrorMessage(static_cast<DWORD>(Code));
  }
}

void TCustomInstallShellLink::CreateByShellLinkInterface() {
  try {
    ForceDirectories(GetDestPath());
    const std::string Arguments = ExpandedParameters();
    const std::string Target = GetObjectPath();
    const std::string LinkPath = GetLinkFilePath();
    wchar_t WidePath[MAX_PATH + 1];
    if (LinkPath.size() > MAX_PATH ||
        MultiByteToWideChar(CP_ACP, 0, LinkPath.c_str(), -1, WidePath, MAX_PATH + 1) == 0)
      LinkFailed(Name(), Format("the link file path is longer than %d characters: %s", MAX_PATH, LinkPath));

    // COM for the time of one link.
    TComInitialized Com;
    TComPtr<IShellLinkA> Link;
    Check("CoCreateInstance(CLSID_ShellLink)",
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, Link.Out()));
    Check("IShellLinkA::SetPath", Link->SetPath(Target.c_str()));
    Check("IShellLinkA::SetHotkey", Link->SetHotkey(HotKey));
    Check("IShellLinkA::SetArguments", Link->SetArguments(Arguments.c_str()));
    Check("IShellLinkA::SetWorkingDirectory", Link->SetWorkingDirectory(ExtractFileDir(Target).c_str()));
    TComPtr<IPersistFile> File;
    Check("QueryInterface(IID_IPersistFile)", Link->QueryInterface(IID_IPersistFile, File.Out()));
    Check("IPersistFile::Save", File->Save(WidePath, TRUE));
  } catch (const TComFailure& F) {
    throw WithCause<IEInstallShellLink>(
        ComFailureText(F.Function, F.Code),
        "The TCustomInstallShellLink %s name could not be installed. The following error was "
        "reported %s. Error code %d",
        Name(), ShellLinkErrorText(F.Code), static_cast<int32_t>(F.Code));
  } catch (const IEInstallShellLink&) {
    throw;
  } catch (const EQIUserAbort&) {
    throw;
  } catch (const Exception& E) {
    LinkFailed(Name(), E.Message());
  }
}

void TCustomInstallShellLink::CreateInternetShortcut() {
  const std::string Path = GetLinkFilePath();
  ForceDirectories(GetDestPath());
  // Through the profile calls, so that an existing file keeps its other keys.
  if (!WritePrivateProfileStringA("InternetShortcut", "URL", FObjectLocation.c_str(), Path.c_str()))
    LinkFailed(Name(), Win32FailureText("WritePrivateProfileStringA", GetLastError()));
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, Path.c_str());  // flushes the 95 family's cache
}

void TCustomInstallShellLink::CreateByProgramManager() {
  if (!InProgramsFolder()) return;
  const std::string Group = Trim(ExtractFileName(GetDestPath()));
  if (Group.empty()) BlankLinkName(Name());
  TProgramManager& PM = ProgramManager();
  PM.CreateGroup(Group);
  const std::string Item = ChangeFileExt(FLinkName, "");
  if (PM.IndexOfItem(Item) >= 1) PM.ReplaceItem(Item);
  const std::string Target = GetObjectPath();
  PM.AddItem("\"" + Target + "\" " + ExpandedParameters(), Item, "", 0,
             "\"" + ExtractFileDir(Target) + "\"", "");
}

void TCustomInstallShellLink::WriteUninstallInfo(const std::string& Key) {
  RecordUninstallFile(Key, GetLinkFilePath());
}

// --- published link classes -------------------------------------------------------------------

template <class C>
static TClassBuilder<C> LinkProps(TClassBuilder<C> B) {
  return B.Creatable()
      .Str("DestDir", &C::DestDir, &C::SetDestDir, "")
      .Bool("Include", &C::Include, true)
      .Int("HotKey", &C::HotKey, 0)
      .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes,
           InstallTypeBit(itAlways))
      .Str("LinkName", &C::LinkName, &C::SetLinkName, "")
      .Enum("Method", MethodTypeInfo, &C::Method, mtAutoDetect)
      .Ref("ObjectLink", TInstallContainer::StaticClass(), &C::ObjectLink, &C::SetObjectLink)
      .Str("ObjectLocation", &C::ObjectLocation, &C::SetObjectLocation, "")
      .Ref("ObjectLocationType", TCustomPathSpecifier::StaticClass(), &C::ObjectLocationType,
           &C::SetObjectLocationType)
      .Int("Order", &C::Order, &C::SetOrder, -1)
      .NoDefault()
      .Str("Parameters", &C::Parameters, "")
      .Event("OnAfterProcess", &C::OnAfterProcess)
      .Event("OnBeforeProcess", &C::OnBeforeProcess);
}

const TClassInfo& TInstallShellLink::StaticClass() {
  using C = TInstallShellLink;
  static const TClassInfo Info =
      LinkProps(TClassBuilder<C>("TInstallShellLink", &TCustomInstallShellLink::StaticClass()))
          .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
          .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &C::DestDirType, &C::SetDestDirType)
          .Build();
  return Info;
}

const TClassInfo& TInstallMainLink::StaticClass() {
  static const TClassInfo Info =
      LinkProps(TClassBuilder<TInstallMainLink>("TInstallMainLink", &TCustomInstallShellLink::StaticClass()))
          .Build();
  return Info;
}

namespace {
TComponent* MainGroupRequired(TComponent* AOwner) {
  if (!GMainLinkGroup)
    throw IEInstallShellLink(
        "To create a TInstallMainLink you must first have a TMainLinkGroup component in your project");
  return AOwner;
}
}  // namespace

TInstallMainLink::TInstallMainLink(TComponent* AOwner)
    : TCustomInstallShellLink(MainGroupRequired(AOwner)) {
  SetContainer(GMainLinkGroup);
  SetDestDirType(nullptr);
  MainLinkList().Add(this);
}

TInstallMainLink::~TInstallMainLink() { MainLinkList().Remove(this); }

void TInstallMainLink::SetContainer(TInstallContainer* Value) {
  if (!Value || Value != static_cast<TInstallContainer*>(GMainLinkGroup))
    throw IEInstallShellLink(
        "The TMainLinkGroup component must be the Container for TInstallMainLink and TSubLinkGroup "
        "components");
  TCustomInstallShellLink::SetContainer(Value);
}

void TInstallMainLink::SetDestDirType(TCustomPathSpecifier*) {
  TCustomInstallShellLink::SetDestDirType(FindStandard<TpsContainerDestDir>());
}

const TClassInfo& TMainLinkGroup::StaticClass() {
  using C = TMainLinkGroup;
  static const TClassInfo Info =
      TClassBuilder<C>("TMainLinkGroup", &TCustomShellLinkGroup::StaticClass())
          .Creatable()
          .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
          .Str("DestDir", &C::DestDir, &C::SetDestDir)
          .NoDefault()
          .Bool("Include", &C::Include, true)
          .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes,
               InstallTypeBit(itAlways))
          .Int("Order", &C::Order, &C::SetOrder, -1)
          .NoDefault()
          .Event("OnAfterProcess", &C::OnAfterProcess)
          .Event("OnBeforeProcess", &C::OnBeforeProcess)
          .Build();
  return Info;
}

// --- psObjectLink --------------------------------------------------------------------------------

const TClassInfo& TpsObjectLink::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TpsObjectLink>("TpsObjectLink", &TStandardPathSpecifier::StaticClass())
          .Creatable()
          .Build();
  return Info;
}

TpsObjectLink::TpsObjectLink(TComponent* AOwner)
    : TStandardPathSpecifier(AOwner, "psObjectLink",
                             "Path of the file or file group in the ObjectLink property") {}

void TpsObjectLink::Validate(TComponent* Obj) {
  auto* L = dynamic_cast<TCustomInstallShellLink*>(Obj);
  if (!L)
    throw IEPathSpecifier("%s must be a %s to use the %s path specifier", Obj ? Obj->Name() : std::string(),
                          "TCustomInstallShellLink", FStandardName);
  if (!L->ObjectLink())
    throw IEPathSpecifier("Cannot use ddObjectLink for %s unless you assign a value to ObjectLink",
                          L->Name());
}

std::string TpsObjectLink::GetPath(TComponent* Obj) {
  Validate(Obj);
  TInstallContainer* Target = static_cast<TCustomInstallShellLink*>(Obj)->ObjectLink();
  if (auto* F = dynamic_cast<TCustomInstallFile*>(Target)) return RemoveBackslash(F->GetDestFileName());
  return RemoveBackslash(Target->GetDestPath());
}

void RegisterShellLinkClasses() {
  RegisterComponentClass(TpsObjectLink::StaticClass());
  RegisterComponentClass(TMainLinkGroup::StaticClass());
  RegisterComponentClass(TInstallShellLink::StaticClass());
  RegisterComponentClass(TInstallMainLink::StaticClass());
}
