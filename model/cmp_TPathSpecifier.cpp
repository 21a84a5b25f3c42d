#include "model/cmp_TPathSpecifier.h"

#include <algorithm>

#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TInstallContainer.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"

TPathSpecifierList& PathSpecifierList() {
  static TPathSpecifierList L;
  return L;
}

TPathSpecifierList& StandardPathSpecList() {
  static TPathSpecifierList L;
  return L;
}

void TPathSpecifierList::Add(TCustomPathSpecifier* Specifier) {
  if (!Specifier) throw IEPathSpecifierList("Tried to add a nil object to the path specifier list");
  FItems.push_back(Specifier);
}

void TPathSpecifierList::Remove(TCustomPathSpecifier* Specifier) {
  auto It = std::find(FItems.begin(), FItems.end(), Specifier);
  if (It != FItems.end()) FItems.erase(It);
}

bool TPathSpecifierList::Contains(const TClassInfo& SpecifierClass) const {
  for (TCustomPathSpecifier* S : FItems)
    if (S->InheritsFrom(SpecifierClass)) return true;
  return false;
}

TCustomPathSpecifier* TPathSpecifierList::FindByClass(const TClassInfo& SpecifierClass) const {
  for (TCustomPathSpecifier* S : FItems)
    if (S->InheritsFrom(SpecifierClass)) return S;
  throw IEPathSpecifier("Could not find the path specifier");
}

namespace {
using TSpecifierFactory = TCustomPathSpecifier* (*)(TComponent*);
template <class T>
TCustomPathSpecifier* Make(TComponent* Owner) {
  return new T(Owner);
}
struct TStandardKind {
  const TClassInfo& (*Info)();
  TSpecifierFactory Create;
};
// The fixed order in which the standard specifiers are made.
const TStandardKind StandardKinds[] = {
    {&TpsBDEDLL::StaticClass, Make<TpsBDEDLL>},
    {&TpsCommonFiles::StaticClass, Make<TpsCommonFiles>},
    {&TpsContainerArchiveFile::StaticClass, Make<TpsContainerArchiveFile>},
    {&TpsContainerDestDir::StaticClass, Make<TpsContainerDestDir>},
    {&TpsDesktopMenu::StaticClass, Make<TpsDesktopMenu>},
    {&TpsInstallSource::StaticClass, Make<TpsInstallSource>},
    {&TpsMainInstall::StaticClass, Make<TpsMainInstall>},
    {&TpsProgramFiles::StaticClass, Make<TpsProgramFiles>},
    {&TpsProgramMenu::StaticClass, Make<TpsProgramMenu>},
    {&TpsStartMenu::StaticClass, Make<TpsStartMenu>},
    {&TpsStartupMenu::StaticClass, Make<TpsStartupMenu>},
    {&TpsSystem::StaticClass, Make<TpsSystem>},
    {&TpsMainArchiveFile::StaticClass, Make<TpsMainArchiveFile>},
    {&TpsWindow::StaticClass, Make<TpsWindow>},
};
}  // namespace

void TPathSpecifierList::EnsureStandardSpecifiers(TComponent* Container, TComponent* Owner,
                                                  bool CheckExisting) {
  if (!Owner) return;
  for (const TStandardKind& K : StandardKinds) {
    if (CheckExisting && PathSpecifierList().Contains(K.Info())) continue;
    TCustomPathSpecifier* S = K.Create(Owner);
    try {
      S->SetName(S->StandardName());
    } catch (...) {
      delete S;
      throw;
    }
  }
}

std::string ExpandPathMacro(const std::string& Text, const std::string& Path) {
  std::string R;
  bool Pending = false;
  for (char C : Text) {
    if (C == '%') {
      if (Pending) R += '%';
      Pending = !Pending;
      continue;
    }
    if (Pending) {
      if (C == 'p' || C == 'P')
        R += Path;
      else
        R += C;
      Pending = false;
    } else {
      R += C;
    }
  }
  return R;
}

// --- TCustomPathSpecifier ----------------------------------------------------

const TClassInfo& TCustomPathSpecifier::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomPathSpecifier>("TCustomPathSpecifier", &TComponent::StaticClass()).Build();
  return Info;
}

TCustomPathSpecifier::TCustomPathSpecifier(TComponent* AOwner) : TComponent(AOwner) {
  PathSpecifierList().Add(this);
}

TCustomPathSpecifier::~TCustomPathSpecifier() { PathSpecifierList().Remove(this); }

std::string TCustomPathSpecifier::GetPath(TComponent* Obj) {
  std::string Path;
  if (OnGetPath) OnGetPath(Obj, Path);
  return Path;
}

const TClassInfo& TPathSpecifier::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TPathSpecifier>("TPathSpecifier", &TCustomPathSpecifier::StaticClass())
          .Creatable()
          .Str("Description", &TPathSpecifier::Description, "My cool new path specifier")
          .Event("OnGetPath", &TPathSpecifier::OnGetPath)
          .Build();
  return Info;
}

TPathSpecifier::TPathSpecifier(TComponent* AOwner) : TCustomPathSpecifier(AOwner) {}

const TClassInfo& TStandardPathSpecifier::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TStandardPathSpecifier>(
                                     "TStandardPathSpecifier", &TCustomPathSpecifier::StaticClass())
                                     .Build();
  return Info;
}

TStandardPathSpecifier::TStandardPathSpecifier(TComponent* AOwner, const char* StandardName,
                                               const char* Description)
    : TCustomPathSpecifier(AOwner), FDescription(Description) {
  FStandardName = StandardName;
  StandardPathSpecList().Add(this);
}

TStandardPathSpecifier::~TStandardPathSpecifier() { StandardPathSpecList().Remove(this); }

// --- the standard specifiers -------------------------------------------------

#define QV_DEFINE_STANDARD(Class, StdName, Desc)                                         \
  const TClassInfo& Class::StaticClass() {                                               \
    static const TClassInfo Info =                                                       \
        TClassBuilder<Class>(#Class, &TStandardPathSpecifier::StaticClass()).Creatable().Build(); \
    return Info;                                                                         \
  }                                                                                      \
  Class::Class(TComponent* AOwner) : TStandardPathSpecifier(AOwner, StdName, Desc) {}

QV_DEFINE_STANDARD(TpsBDEDLL, "psBDEDLL", "Borland Database Engine DLL Path")
QV_DEFINE_STANDARD(TpsCommonFiles, "psCommonFiles",
                   "Path of the common files directory under the program files directory")
QV_DEFINE_STANDARD(TpsContainerArchiveFile, "psContainerArchiveFile",
                   "Path to the archive file of the container")
QV_DEFINE_STANDARD(TpsContainerDestDir, "psContainerDestDir", "Path of the group (container)")
QV_DEFINE_STANDARD(TpsDesktopMenu, "psDesktopMenu", "Path of the Desktop")
QV_DEFINE_STANDARD(TpsInstallSource, "psInstallSource", "Path from which the user ran the install")
QV_DEFINE_STANDARD(TpsMainInstall, "psMainInstall", "Path of the destination directory of the TInstall")
QV_DEFINE_STANDARD(TpsMainArchiveFile, "psMainArchiveFile",
                   "Archive containing most or all non-internet installation files")
QV_DEFINE_STANDARD(TpsProgramFiles, "psProgramFiles", "Path of the program files directory")
QV_DEFINE_STANDARD(TpsProgramMenu, "psProgramMenu", "Path of the Programs folder under the Start Menu")
QV_DEFINE_STANDARD(TpsStartMenu, "psStartMenu", "Path of Start Menu")
QV_DEFINE_STANDARD(TpsStartupMenu, "psStartupMenu",
                   "Path of the Startup folder in the Programs folder under the Start Menu")
QV_DEFINE_STANDARD(TpsSystem, "psSystem", "Path of system directory")
QV_DEFINE_STANDARD(TpsWindow, "psWindow", "Path of the Windows directory")
#undef QV_DEFINE_STANDARD

namespace {
std::string ObjName(TComponent* Obj) { return Obj ? Obj->Name() : std::string(); }

TInstallObject* RequireInstallObject(TComponent* Obj, const std::string& StdName) {
  auto* O = dynamic_cast<TInstallObject*>(Obj);
  if (!O)
    throw IEPathSpecifier("%s must be a %s to use the %s path specifier", ObjName(Obj),
                          "TInstallObject", StdName);
  return O;
}

IInstallRun* RequireInstall(TComponent* Obj) {
  IInstallRun* I = CurrentInstall();
  if (!I)
    throw IEPathSpecifier(
        "There is no TInstall component so the path specifier could not be expanded for %s",
        ObjName(Obj));
  return I;
}
}  // namespace

// The folder specifiers never fail: the queries fall back instead.
void TpsBDEDLL::Validate(TComponent*) {}
std::string TpsBDEDLL::GetDescriptionFor(TComponent*) { return GetDescription(); }
std::string TpsBDEDLL::GetPath(TComponent*) {
  std::string P = RegReadString(hkLocalMachine, "\\Software\\Borland\\Database Engine", "DLLPath", "");
  if (P.empty()) P = GetProgramFilesDir() + "\\" + "Borland\\Common Files\\BDE";
  return GetField(P, 1, ';');
}

#define QV_FOLDER_SPECIFIER(Class, Query)                                       \
  void Class::Validate(TComponent*) {}                                          \
  std::string Class::GetDescriptionFor(TComponent*) { return GetDescription(); } \
  std::string Class::GetPath(TComponent*) { return Query(); }

QV_FOLDER_SPECIFIER(TpsCommonFiles, GetCommonFilesDir)
QV_FOLDER_SPECIFIER(TpsDesktopMenu, GetDesktopDir)
QV_FOLDER_SPECIFIER(TpsProgramFiles, GetProgramFilesDir)
QV_FOLDER_SPECIFIER(TpsProgramMenu, GetProgramsDir)
QV_FOLDER_SPECIFIER(TpsStartMenu, GetStartMenuDir)
QV_FOLDER_SPECIFIER(TpsStartupMenu, GetStartupDir)
QV_FOLDER_SPECIFIER(TpsSystem, GetSystemDir)
QV_FOLDER_SPECIFIER(TpsWindow, GetWindowsDir)
#undef QV_FOLDER_SPECIFIER

void TpsContainerArchiveFile::Validate(TComponent* Obj) {
  TInstallObject* O = RequireInstallObject(Obj, FStandardName);
  if (!O->Container())
    throw IEPathSpecifier("Cannot use ddContainerArchiveFile for %s unless you assign a Container",
                          O->Name());
  if (!dynamic_cast<TFileRelated*>(O->Container()))
    throw IEPathSpecifier(
        "Cannot use the ddContainerArchiveFile path specifier for %s because the Container is not "
        "a TFileRelated descendant",
        O->Name());
}
std::string TpsContainerArchiveFile::GetDescriptionFor(TComponent*) { return GetDescription(); }
std::string TpsContainerArchiveFile::GetPath(TComponent* Obj) {
  Validate(Obj);
  return static_cast<TFileRelated*>(static_cast<TInstallObject*>(Obj)->Container())->GetArchivePath();
}

void TpsContainerDestDir::Validate(TComponent* Obj) {
  TInstallObject* O = RequireInstallObject(Obj, FStandardName);
  if (!O->Container())
    throw IEPathSpecifier("Cannot use ddContainerDestDir for %s unless you assign a Container",
                          O->Name());
}
std::string TpsContainerDestDir::GetDescriptionFor(TComponent* Obj) {
  try {
    Validate(Obj);
    TInstallContainer* C = static_cast<TInstallObject*>(Obj)->Container();
    auto* FC = dynamic_cast<TFileContainer*>(C);
    return TranslatedFormat("Path of the <%s> group", FC ? FC->GroupName : C->Name());
  } catch (const Exception&) {
    return GetDescription();
  }
}
std::string TpsContainerDestDir::GetPath(TComponent* Obj) {
  Validate(Obj);
  return static_cast<TInstallObject*>(Obj)->Container()->GetDestPath();
}

void TpsInstallSource::Validate(TComponent* Obj) { RequireInstall(Obj); }
std::string TpsInstallSource::GetDescriptionFor(TComponent*) { return GetDescription(); }
std::string TpsInstallSource::GetPath(TComponent* Obj) {
  Validate(Obj);
  return CurrentInstall()->GetSourceDirectory();
}

void TpsMainInstall::Validate(TComponent* Obj) {
  IInstallRun* I = RequireInstall(Obj);
  if (Obj && Obj == static_cast<TComponent*>(I->AsFileContainer()))
    throw IEPathSpecifier("Cannot use the ddMainInstallDir path specifier for a TInstall component");
}
std::string TpsMainInstall::GetDescriptionFor(TComponent*) { return GetDescription(); }
std::string TpsMainInstall::GetPath(TComponent* Obj) {
  Validate(Obj);
  return CurrentInstall()->AsFileContainer()->GetDestPath();
}

void TpsMainArchiveFile::Validate(TComponent* Obj) { RequireInstall(Obj); }
std::string TpsMainArchiveFile::GetDescriptionFor(TComponent*) { return GetDescription(); }
std::string TpsMainArchiveFile::GetPath(TComponent* Obj) {
  Validate(Obj);
  IInstallRun* I = CurrentInstall();
  std::string Dir = AddBackslash(I->GetSourceDirectory());
  if (!I->SwitchGiven('e')) return Dir + "files.1";
  std::string Exe = I->SwitchValue('e');
  if (Trim(Exe).empty())
    throw IEInstall(
        "You forgot to pass in the name of the self-extracting executable. Usage example: "
        "\"-eSetup.exe\"");
  return Dir + Exe;
}

void RegisterPathSpecifierClasses() {
  RegisterComponentClass(TPathSpecifier::StaticClass());
  for (const TStandardKind& K : StandardKinds) RegisterComponentClass(K.Info());
}
