#include "apps/qvc/routines_Reference.h"

#include <algorithm>
#include <memory>

#include "apps/qvc/routines_ProjectCompiler.h"
#include "apps/setup/cmp_TSetupMainForm.h"
#include "model/cmp_TPathSpecifier.h"
#include "rtl/cmp_TCollection.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

// --- the tables ------------------------------------------------------------------------------

enum TUse {
  uProject,     // an object of the project, among the main form's objects
  uDecoration,  // a control of the main window (or of a page's form)
  uPart,        // written through the dotted properties of its owner
  uNotWritten,  // not named in a project: a base class, a page or window, the root
};

struct TClassDoc {
  const char* Class;
  TUse Use;
  const char* What;   // what it is for
  const char* Where;  // where it goes: its Container, or how it is written
};

const TClassDoc ClassDocs[] = {
    {"TForm1", uNotWritten, "The main form: the window behind the wizard; the project is its text (object Form1: TForm1).",
     "the root of every project; all other objects are written inside it"},
    {"TInstall", uProject, "The installation: the product, its default folder, its main group of files and the run.",
     "exactly one per project; it is the Container of the files, groups, keys, links and dialog managers"},
    {"TInstallFileGroup", uProject,
     "A group of files the user may choose on the file group page, with its own folder and archive.",
     "Container = the TInstall or another TInstallFileGroup"},
    {"TInstallFile", uProject, "One file: where it comes from on the build machine and where it goes.",
     "Container = the TInstall or a TInstallFileGroup"},
    {"TInstallFolder", uProject,
     "A folder tree in one object: every file below SourceDir (with masks and exclusions), its subfolders as "
     "destination subfolders or as groups; qvc writes it out as install files when it compiles the project.",
     "Container = the TInstall or a TInstallFileGroup"},
    {"TUninstallEXE", uProject,
     "The uninstaller file (the kit's uninstall.exe), registered with Windows to remove the product.",
     "Container = the TInstall; IncludeFromDir = the kit folder"},
    {"TInstallRegistry", uProject, "A registry key with the values written into it (Entries).",
     "Container = the TInstall or a TInstallFileGroup"},
    {"TInstallShellLink", uProject, "A shell link or internet shortcut outside the program folder (desktop, Start menu).",
     "Container = the TInstall or a TInstallFileGroup"},
    {"TMainLinkGroup", uProject, "The product's folder in the Start menu's Programs, holding the main links.",
     "Container = the TInstall; at most one per project"},
    {"TInstallMainLink", uProject, "A link in the program folder of the TMainLinkGroup.",
     "no Container: it joins the project's TMainLinkGroup by itself"},
    {"TDialogManager", uProject, "The dialogs of one phase of the run: the wizard's pages and windows bind to it.",
     "Container = the TInstall; one per ManagerType (six in a project with the whole wizard)"},
    {"TNetInstallLocation", uProject, "An FTP or HTTP server the archives are fetched from.",
     "named by the NetLocation of the TInstall, a group or a file"},
    {"TTranslator", uProject, "The language tables: the setup speaks the user's language (kit\\Translator.dfm has all).",
     "one per project, among the main form's objects"},
    {"TPathSpecifier", uProject, "A folder of the project's own, given by its OnGetPath event.",
     "among the main form's objects; named by DestDirType or ArchiveFileType"},
    {"TBackdrop", uDecoration, "The main window's background: a colour gradient.", "among the main form's objects"},
    {"TRotate3DLabel", uDecoration, "The main window's title in 3-D letters.", "inside the TBackdrop"},
    {"TInstallInformation", uPart, "The product's company, name and version.", "written as Information.* of the TInstall"},
    {"TBuildInfo", uPart, "Settings of an older web build; the build does not read them.",
     "written as BuildInfo.* of the TInstall"},
    {"TLoginInformation", uPart, "The server, folder and login of a net location.",
     "written as LoginInformation.* of the TNetInstallLocation"},
    {"TCustomLoginInformation", uNotWritten, "The base of TLoginInformation.", "not written in a project"},
    {"TCustomNetInstallLocation", uNotWritten, "The base of TNetInstallLocation.", "not written in a project"},
    {"TFont", uPart, "A font: name, height, colour and style.", "written as Font.* of its owner"},
};

// The path specifiers: a project may declare them (object psSystem: TpsSystem)
// or leave them out; either way each is there once, named after itself.
const char* const SpecifierWhere =
    "declared or not, each is in every project once under its own name (psSystem ...), in any order";

// The pages and windows of the wizard, replaced with "qvc --form".
const char* const PageWhere = "a page or window of the wizard, not written in a project: replace it with qvc --form";

struct TPropDoc {
  const char* Key;  // "Class.Property", or "*.Property" for every class
  bool Needed;
  const char* What;
};

const TPropDoc PropDocs[] = {
    // Shared by the install objects.
    {"*.Container", false, "the object this one belongs to (see \"goes\" above)"},
    {"*.Include", false, "False leaves the object out of the installation (a build still compresses its files)"},
    {"*.InstallTypes", false, "the installation types that install the object; itAlways: every one"},
    {"*.Order", false, "the position among the objects of its kind in its container; -1: as they come"},
    {"*.DestDir", false, "the folder below DestDirType's, starting with a backslash ('\\My Product')"},
    {"*.DestDirType", false, "the path specifier the destination starts from (see Path specifiers)"},
    {"*.ArchiveFile", false, "the archive's file below ArchiveFileType's folder; empty: the container's archive"},
    {"*.ArchiveFileType", false, "the path specifier of the archive: psContainerArchiveFile shares the container's"},
    {"*.AddToArchive", false, "lzcOverwrite makes the archive afresh, lzcOnlyAdd adds to it"},
    {"*.NetLocation", false, "the server this object's archive is fetched from; none: the TInstall's"},
    {"*.Net", false, "the file is fetched from a net location (web distributions make every file so)"},
    {"*.GroupName", false, "the caption shown for the group on the file group page"},
    {"*.Description", false, "the lines shown for the group on the file group page"},
    {"*.AllowChangeDir", false, "the user may choose another folder for it"},
    {"*.AllowChoice", false, "the user may leave the group out"},
    {"*.OnAfterProcess", false, "event (Container): after the object was installed"},
    {"*.OnBeforeProcess", false, "event (Container): before the object is installed"},
    {"*.OnStatus", false, "event (InstallFile, FilePercent, TotalPercent): progress of a file"},
    {"*.OnNewDisk", false, "event (InstallFile, Disk, var Path): the next disk of a disk set is needed"},
    {"*.OnReplacing", false, "event (InstallFile): an existing file is about to be replaced"},
    {"*.OnAfterInstallObjects", false, "event (Container, WasAborted): the container's objects are installed"},
    {"*.OnBeforeInstallObjects", false, "event (Container): its objects are about to be installed"},
    {"*.OnDataReceived", false, "event (Sender, FileName, Bytes, TotalBytes, FileSize): download progress"},
    // TInstall.
    {"TInstall.DestDir", true, "the product's folder below DestDirType's ('\\My Product'); the user may change it"},
    {"TInstall.DestDirType", false, "where the product's folder lies (see Path specifiers)"},
    {"TInstall.GroupName", false, "the caption of the main group on the file group page"},
    {"TInstall.AutoMaximizeWindow", false, "the main window fills the screen during the run"},
    {"TInstall.BuildInfo", false, "settings of an older web build (not read by the build)"},
    {"TInstall.DialogThemeBitmap", false, "the picture on the wizard's pages; none: the kit's"},
    {"TInstall.DistributeType", false, "dtTraditional: archives beside the setup; dtWeb and dtTraditionalNet: from a net location"},
    {"TInstall.HideMainForm", false, "the main window stays hidden; only the wizard shows"},
    {"TInstall.Information", true, "the product: Information.CompanyName, .ProductName, .Version (keys, uninstall entry, titles)"},
    {"TInstall.PresetupFiles", false, "files that go into setup.1 beside the setup program (full paths, one a line)"},
    {"TInstall.Reboot", false, "restart Windows at the end of the run"},
    {"TInstall.RunAutomatic", false, "the run starts when the main window shows and ends the program afterwards"},
    {"TInstall.UseLoadingProgram", false, "the distribution starts through the kit's loading program (self-extracting setup.exe)"},
    {"TInstall.OnAfterInitialized", false, "event (Sender): the run has read the command line and the install record"},
    {"TInstall.OnAfterNotifyBadInstall", false, "event (Sender): after the failure pages"},
    {"TInstall.OnAfterNotifyGoodInstall", false, "event (Sender): after the success pages"},
    {"TInstall.OnAfterReadArchiveInfo", false, "event (Sender): the sizes and dates of the archives are read"},
    {"TInstall.OnBeforeCleanup", false, "event (Install, var Continue): before the temporary files go"},
    {"TInstall.OnBeforeNotifyBadInstall", false, "event (Sender): before the failure pages"},
    {"TInstall.OnBeforeNotifyGoodInstall", false, "event (Sender): before the success pages"},
    {"TInstall.OnBeforeReadArchiveInfo", false, "event (Sender): before the archives are read"},
    {"TInstall.OnBeforeReboot", false, "event (Install, var Continue): before Windows restarts"},
    {"TInstall.OnBeforeRunFile", false, "event (Install, FileToRun, var DefaultAction): before a RunAfterInstall file starts"},
    {"TInstall.OnBeforeShutdown", false, "event (Install, var Continue): before the program ends"},
    {"TInstall.OnFailedReboot", false, "event (Sender): Windows did not restart"},
    {"TInstall.OnUserAbort", false, "event (Install, var QuitOut): the user pressed Cancel; QuitOut True ends the run; ConfirmUserAbort asks the user"},
    // TInstallFileGroup.
    {"TInstallFileGroup.DestDir", false, "the group's folder below DestDirType's ('\\Docs')"},
    // TInstallFile and TUninstallEXE.
    {"TCustomInstallFile.FileName", true, "the file's name in IncludeFromDir"},
    {"TCustomInstallFile.IncludeFromDir", true,
     "the folder the file comes from on the build machine; a relative one is relative to the project file"},
    {"TCustomInstallFile.DestName", false, "the file's name at the destination; empty: FileName"},
    {"TCustomInstallFile.DestDir", false, "the folder below DestDirType's; empty: that folder itself"},
    {"TCustomInstallFile.FileType", false, "iftNormal, or a kind of library (counted, in the system folder ...)"},
    {"TCustomInstallFile.OverwriteMode", false, "when an existing file is replaced: always, never, by version, by date"},
    {"TCustomInstallFile.UpdateDLLCounter", false, "count the file in SharedDLLs (shared libraries)"},
    {"TCustomInstallFile.OnAfterCompress", false, "event (InstallFile): the build compressed the file"},
    {"TCustomInstallFile.OnAfterCopy", false, "event (InstallFile): the file was copied uncompressed"},
    {"TCustomInstallFile.OnAfterInstall", false, "event (InstallFile): the file is installed"},
    {"TCustomInstallFile.OnBeforeCompress", false, "event (InstallFile): the build is about to compress it"},
    {"TCustomInstallFile.OnBeforeCopy", false, "event (InstallFile): it is about to be copied"},
    {"TCustomInstallFile.OnBeforeInstall", false, "event (InstallFile): it is about to be installed; a silent abort skips it"},
    {"TInstallFile.ActiveX", false, "the file registers itself (DllRegisterServer, or /REGSERVER for a program)"},
    {"TInstallFile.RegisterAsHelp", false, "register the file as a help file"},
    {"TInstallFile.RunAfterInstall", false, "start the file when the installation has finished"},
    // TInstallFolder.
    {"TInstallFolder.SourceDir", true, "the folder on the build machine; a relative one is relative to the project file"},
    {"TInstallFolder.Masks", false, "the file names to take, separated by ';' ('*.exe;*.dll')"},
    {"TInstallFolder.Exclude", false,
     "names or, with a backslash, paths below SourceDir to leave out, separated by ';' ('*.bak;obj\\*')"},
    {"TInstallFolder.Recursive", false, "the files of the subfolders too"},
    {"TInstallFolder.DestDir", false, "the folder below the container's the tree goes to; empty: the container's"},
    {"TInstallFolder.Subfolders", false,
     "sfDestDirs: subfolders become destination subfolders; sfGroups: each first-level one a file group"},
    {"TInstallFolder.OverwriteMode", false, "the OverwriteMode of every file of the tree"},
    // TInstallRegistry.
    {"TInstallRegistry.Entries", true, "the values: Ident (name), EntryType, Text / Integer / Boolean, PathSpecifier for %p"},
    {"TInstallRegistry.Key", false, "with ksAbsolute, the key below RootKey ('\\Software\\My Company')"},
    {"TInstallRegistry.KeySpecifierType", false,
     "ksAbsolute: Key as written; ksCompanyName, ksProductName, ksVersion: the product's keys under HKLM\\Software"},
    {"TInstallRegistry.RootKey", false, "the root of Key (hkLocalMachine, hkCurrentUser ...)"},
    {"TInstallRegistry.OnBeforeWriteEntry", false, "event (InstallRegistry, Entry, var Continue): before a value is written"},
    {"TRegistryEntry.Ident", true, "the value's name"},
    {"TRegistryEntry.EntryType", false, "retText, retInteger or retBoolean"},
    {"TRegistryEntry.Text", false, "a text value; %p stands for PathSpecifier's folder"},
    {"TRegistryEntry.Integer", false, "an integer value"},
    {"TRegistryEntry.Boolean", false, "a Boolean value"},
    {"TRegistryEntry.PathSpecifier", false, "the folder %p in Text stands for"},
    // Links.
    {"*.LinkName", true, "the link's file name ('My Product.lnk', or '.URL' for an internet shortcut)"},
    {"*.ObjectLink", false, "the install file (or group) the link starts; with ObjectLocationType = psObjectLink"},
    {"*.ObjectLocation", false, "what the link starts when it is not an install file: a path or a URL"},
    {"*.ObjectLocationType", false, "psObjectLink for ObjectLink's file; another specifier puts ObjectLocation below it"},
    {"*.Parameters", false, "the command-line arguments the link passes"},
    {"*.HotKey", false, "the link's shortcut key (virtual key and modifiers)"},
    {"*.Method", false, "mtShellLinkInterface (a .lnk), mtProgramManager (a Program Manager item), mtAutoDetect: by the Windows version"},
    {"TMainLinkGroup.DestDir", true, "the program folder below the Start menu's Programs ('\\My Product')"},
    // Dialog managers.
    {"TDialogManager.ManagerType", true, "the phase: before the install, during the copy, change disk, success, failure, reboot"},
    {"TDialogManager.Height", false, "the height of the wizard's window"},
    {"TDialogManager.Width", false, "the width of the wizard's window"},
    {"TDialogManager.Position", false, "where the wizard's window sits on the screen"},
    {"TDialogManager.RelativeLeftOffset", false, "pixels the window moves right of Position"},
    {"TDialogManager.RelativeTopOffset", false, "pixels the window moves down from Position"},
    // Net locations.
    {"TNetInstallLocation.LoginInformation", true, "the server: LoginInformation.Protocol, .Hostname, .Directory, .Username, .Password"},
    {"TNetInstallLocation.OnBeforeLogin", false, "event (Sender): before the server is asked"},
    {"TNetInstallLocation.OnAfterLogin", false, "event (Sender): logged in"},
    {"TNetInstallLocation.OnBeforeDownload", false, "event (Sender): before an archive is fetched"},
    {"TNetInstallLocation.OnAfterDownload", false, "event (Sender, Aborted): an archive is fetched, or the fetch stopped"},
    {"TNetInstallLocation.OnDataReceived", false, "event (Sender, FileName, Bytes, TotalBytes, FileSize): download progress"},
    {"TLoginInformation.Anonymous", false, "log in without a user name"},
    {"TLoginInformation.Directory", false, "the folder on the server that holds the archives"},
    {"TLoginInformation.Hostname", true, "the server's name"},
    {"TLoginInformation.Password", false, "the password"},
    {"TLoginInformation.Protocol", false, "FTP or HTTP"},
    {"TLoginInformation.Username", false, "the user name"},
    // The product.
    {"TInstallInformation.CompanyName", false, "the company (registry keys named after it)"},
    {"TInstallInformation.ProductName", true, "the product (titles, its registry and uninstall keys)"},
    {"TInstallInformation.Version", false, "the product's version (its registry key)"},
    {"TBuildInfo.*", false, "kept for older projects; not read"},
    // Path specifiers and languages.
    {"TPathSpecifier.Description", false, "what the folder is, for the author"},
    {"TPathSpecifier.OnGetPath", true, "event (Component, var Path): gives the folder"},
    {"TTranslator.TranslateIntoLanguage", false, "qlUser: the user's Windows language; or a fixed language"},
    {"TTranslator.lg*", false, "one language's table: Strings (GLID;Text lines), Font and FontOverride"},
    {"TLanguage.Font", false, "the font the pages use in this language, with FontOverride"},
    {"TLanguage.FontOverride", false, "the pages use Font in this language"},
    {"TLanguage.LanguageIdent", false, "the language (set by the table's name)"},
    {"TLanguage.Strings", false, "the table: one GLID;Text line per message"},
    // Decoration and controls.
    {"TBackdrop.Direction", false, "the way the gradient runs"},
    {"TBackdrop.StartColor", false, "the gradient's first colour"},
    {"TBackdrop.EndColor", false, "the gradient's last colour"},
    {"TRotate3DLabel.LabelStyle", false, "the 3-D look: LabelStyle.AStyle3D, shades and their offsets"},
    {"TRotate3DLabel.MyTransparent", false, "the backdrop shows through"},
    {"TLabelStyle.*", false, "the 3-D look of the title (style, shade colours and offsets, angle)"},
    {"TFont.*", false, "the font's name, height, colour, style or character set"},
    {"*.State", false, "the operation under way on the object; set by the setup itself, never written"},
    {"*.Name", false, "the object's name, unique in the project; others refer to it by it"},
    {"*.Tag", false, "a number for the author's own use (-1 on the decoration keeps it from being translated)"},
    {"*.Left", false, "position and size in pixels"},
    {"*.Top", false, "position and size in pixels"},
    {"*.Width", false, "position and size in pixels"},
    {"*.Height", false, "position and size in pixels"},
    {"*.ClientWidth", false, "the size inside the window's frame"},
    {"*.ClientHeight", false, "the size inside the window's frame"},
    {"*.Caption", false, "the text shown"},
    {"*.Align", false, "how the control fills its parent (alTop, alClient ...)"},
    {"*.Alignment", false, "how the text lines up"},
    {"*.Color", false, "the background colour (a number: $00BBGGRR)"},
    {"*.Font", false, "the font of the text"},
    {"*.Visible", false, "shown"},
    {"*.Enabled", false, "the user can use it"},
    {"*.Position", false, "where the window first shows"},
};

const TClassDoc* ClassDocOf(const std::string& Name) {
  for (const TClassDoc& D : ClassDocs)
    if (SameText(D.Class, Name)) return &D;
  return nullptr;
}

bool KeyMatches(const std::string& Key, const std::string& Class, const std::string& Prop) {
  const size_t Dot = Key.find('.');
  const std::string K = Key.substr(0, Dot), P = Key.substr(Dot + 1);
  if (K != "*" && !SameText(K, Class)) return false;
  if (!P.empty() && P.back() == '*') return SameText(Prop.substr(0, P.size() - 1), P.substr(0, P.size() - 1));
  return SameText(P, Prop);
}

// The sentence for Prop of Class: the class's own, its ancestors', then the
// one every class shares.
const TPropDoc* PropDocOf(const TClassInfo& Class, const std::string& Prop) {
  for (const TClassInfo* C = &Class; C; C = C->Parent)
    for (const TPropDoc& D : PropDocs)
      if (D.Key[0] != '*' && KeyMatches(D.Key, C->ClassName, Prop)) return &D;
  for (const TPropDoc& D : PropDocs)
    if (D.Key[0] == '*' && KeyMatches(D.Key, Class.ClassName, Prop)) return &D;
  return nullptr;
}

bool IsSpecifier(const TClassInfo& C) { return C.InheritsFrom(TCustomPathSpecifier::StaticClass()) && C.ClassName != "TPathSpecifier"; }

// What a class is for and how a project uses it.
TUse UseOf(const TClassInfo& C, const TClassDoc* Doc) {
  if (Doc) return Doc->Use;
  if (IsSpecifier(C)) return uProject;
  for (const TClassInfo* P = &C; P; P = P->Parent)
    if (P->ClassName == "TBaseQuorvaneForm" || P->ClassName == "TBaseFormContainer") return uNotWritten;
  return uDecoration;
}

// --- types, defaults and values ---------------------------------------------------------------

std::string TypeOf(const TPropInfo& P, const TPersistent* Sub) {
  switch (P.Kind) {
    case TPropKind::Integer: return "Integer";
    case TPropKind::Boolean: return "Boolean";
    case TPropKind::String: return "String";
    case TPropKind::Float: return "Float";
    case TPropKind::Enum: return P.Enum ? P.Enum->TypeName : "enumeration";
    case TPropKind::Set: return "set of " + (P.Enum ? P.Enum->TypeName : std::string("?"));
    case TPropKind::Object: return Sub ? Sub->ClassName() : "object";
    case TPropKind::Component: return "reference to " + (P.RefClass ? P.RefClass->ClassName : std::string("TComponent"));
    case TPropKind::Method: return "event";
  }
  return "?";
}

std::string EnumName(const TEnumInfo* E, int64_t Ord) {
  if (E && Ord >= 0 && Ord < static_cast<int64_t>(E->Names.size())) return E->Names[static_cast<size_t>(Ord)];
  return std::to_string(Ord);
}

std::string OrdinalText(const TPropInfo& P, int64_t V) {
  switch (P.Kind) {
    case TPropKind::Integer: return std::to_string(V);
    case TPropKind::Boolean: return V ? "True" : "False";
    case TPropKind::Enum: return EnumName(P.Enum, V);
    case TPropKind::Set: {
      std::string S;
      for (int Bit = 0; Bit < 32; ++Bit)
        if (V & (int64_t(1) << Bit)) S += (S.empty() ? "" : ", ") + EnumName(P.Enum, Bit);
      return "[" + S + "]";
    }
    default: return "";
  }
}

std::string StringText(const std::string& S) { return S.empty() ? "" : "'" + S + "'"; }

// The value a new object has: read from an instance when there is one (so
// that references and the constructor's values show), else the default the
// metadata declares.
std::string DefaultOf(const TPropInfo& P, const TPersistent* Instance) {
  if (Instance) {
    switch (P.Kind) {
      case TPropKind::Integer:
      case TPropKind::Boolean:
      case TPropKind::Enum:
      case TPropKind::Set:
        if (P.GetOrd) return OrdinalText(P, P.GetOrd(*Instance));
        break;
      case TPropKind::String:
        if (P.GetStr) return StringText(P.GetStr(*Instance));
        break;
      case TPropKind::Component:
        if (P.GetObj) {
          const auto* C = dynamic_cast<const TComponent*>(P.GetObj(*Instance));
          return C ? C->Name() : "";
        }
        break;
      default: break;
    }
  }
  if (!P.HasDefault) return "";
  switch (P.Kind) {
    case TPropKind::String: return StringText(P.DefaultStr);
    case TPropKind::Float: return Format("%s", P.DefaultFloat);
    default: return OrdinalText(P, P.DefaultOrd);
  }
}

std::string Values(const TPropInfo& P) {
  if ((P.Kind != TPropKind::Enum && P.Kind != TPropKind::Set) || !P.Enum) return "";
  std::string S;
  for (const std::string& N : P.Enum->Names) S += (S.empty() ? "" : ", ") + N;
  return "  {" + S + "}";
}

// An instance on a form of its own, as in a project, so that its values,
// sub-objects and collection items show; none when the class cannot be
// made alone.
TComponent* SampleOf(const TClassInfo& C, TComponent& Form) {
  if (!C.Create) return nullptr;
  try {
    return C.Create(&Form);
  } catch (const Exception&) {
    return nullptr;  // some classes need company (a main link group ...)
  }
}

void ListProps(std::string& Out, const TClassInfo& C, const TPersistent* Instance, const std::string& Prefix,
               int Depth, bool Describe) {
  // Of a run of sub-objects with one sentence for all ("lg*": a language
  // each), the first is shown whole and the others by name.
  const TPropDoc* Run = nullptr;
  std::string First;
  for (const TPropInfo* P : C.AllProps()) {
    if (P->Name == "Name") continue;  // every object has one: the name after "object"
    TPersistent* Sub = P->Kind == TPropKind::Object && Instance && P->GetObj ? P->GetObj(*Instance) : nullptr;
    const std::string Default = DefaultOf(*P, Instance);
    const TPropDoc* Doc = Describe ? PropDocOf(C, P->Name) : nullptr;
    const bool Wildcard = Doc && std::string(Doc->Key).back() == '*' && P->Kind == TPropKind::Object;
    if (Wildcard && Doc == Run) {
      Out += "  " + Prefix + P->Name + ": " + TypeOf(*P, Sub) + "  (as " + First + ")\n";
      continue;
    }
    Run = Wildcard ? Doc : nullptr;
    First = P->Name;
    Out += "  " + Prefix + P->Name + ": " + TypeOf(*P, Sub) + (Default.empty() ? "" : " = " + Default) + Values(*P) +
           (Doc && Doc->Needed ? "  [needed]" : "") + "\n";
    if (Doc) Out += "      " + std::string(Doc->What) + "\n";
    if (!Sub || Depth >= 3) continue;
    if (auto* Coll = dynamic_cast<TCollection*>(Sub)) {
      // The item class shows on an item; the throw-away instance gets one.
      TCollectionItem* Item = nullptr;
      try {
        Item = Coll->Add();
      } catch (const Exception&) {
        // A collection that takes no item here shows no item class.
      }
      if (Item) {
        Out += "  " + Prefix + P->Name + " item: " + Item->ClassName() + "\n";
        ListProps(Out, Item->ClassInfo(), Item, Prefix + P->Name + "[]" + ".", Depth + 1, Describe);
      }
    } else if (!dynamic_cast<TStrings*>(Sub)) {
      ListProps(Out, Sub->ClassInfo(), Sub, Prefix + P->Name + ".", Depth + 1, Describe);
    }
  }
}

std::vector<const TClassInfo*> SortedClasses() {
  std::vector<const TClassInfo*> Classes = RegisteredClasses();
  std::sort(Classes.begin(), Classes.end(),
            [](const TClassInfo* A, const TClassInfo* B) { return UpperCase(A->ClassName) < UpperCase(B->ClassName); });
  return Classes;
}

void ClassEntry(std::string& Out, const TClassInfo& C, TUse Use) {
  const TClassDoc* Doc = ClassDocOf(C.ClassName);
  Out += C.ClassName + (C.Parent ? " (" + C.Parent->ClassName + ")" : std::string()) + "\n";
  std::unique_ptr<TSetupMainForm> Form(new TSetupMainForm(nullptr));  // owns the sample
  TComponent* Sample = C.ClassName == "TForm1" ? nullptr : SampleOf(C, *Form);
  if (Doc) {
    Out += "    " + std::string(Doc->What) + "\n";
    Out += "    goes: " + std::string(Doc->Where) + "\n";
  } else if (IsSpecifier(C)) {
    const auto* S = dynamic_cast<TCustomPathSpecifier*>(Sample);
    Out += "    the folder: " + (S ? S->GetDescription() : std::string("?")) + "\n";
    Out += "    goes: " + std::string(SpecifierWhere) + "\n";
  } else if (Use == uNotWritten) {
    Out += "    goes: " + std::string(PageWhere) + "\n";
  } else {
    Out += "    a control of the main window or of a page's form\n";
  }
  if (C.ClassName == "TForm1")
    for (const TMethodInfo& M : C.Methods) Out += "  handler " + M.Name + ": a method events may name\n";
  ListProps(Out, C, Sample, "", 0, Use != uNotWritten || C.ClassName == "TForm1");
  Out += "\n";
}

const char* const Introduction = R"(Quorvane project reference
==========================

Made by "qvc --catalogue" from the classes of the setup program;
docs/reference.txt in the sources is the same text.

A project is the text form of the setup program's main form: "object Form1:
TForm1", then the objects of the project one after another inside it, each
"object Name: TClass" with its properties ("Property = value") and "end".
Lines starting with // are comments.  Values: numbers, 'texts' (a ' inside
is written twice), True or False, an enumerator (owAlways), a set
([itDefault, itFull]), a list of lines (Description.Strings = ('one' 'two')),
or the name of another object (Container = Install1).  Properties of a
sub-object are written with a dot (Information.ProductName = 'My Product').
A property left out keeps the default shown below ("= ..."); "[needed]"
marks what a working object must have.  A name may be used before the
object it names is written.

How objects nest: nothing is written inside another object but the title
in the backdrop.  An object belongs where its Container says:
  TInstall            one per project; the top of everything below
  TInstallFileGroup   Container = TInstall or another group
  TInstallFile, TUninstallEXE, TInstallFolder
                      Container = TInstall or a group (the files' folder
                      and archive are the container's by default)
  TInstallRegistry, TInstallShellLink, TMainLinkGroup, TDialogManager
                      Container = TInstall (a key or link may also name a group)
  TInstallMainLink    no Container: it joins the TMainLinkGroup
A file's destination is its DestDirType's folder followed by its DestDir;
with psContainerDestDir (the usual) that is its container's folder, so
files follow their group, and the group the TInstall.

)";

}  // namespace

std::string ClassCatalogue() {
  PrepareComponentModel();
  TNoParams NoParams;
  const std::vector<const TClassInfo*> Classes = SortedClasses();
  std::string Out = Introduction;
  Out += "Path specifiers (DestDirType, ArchiveFileType, PathSpecifier ...) and the folders they give:\n";
  {
    std::unique_ptr<TSetupMainForm> Form(new TSetupMainForm(nullptr));
    for (const TClassInfo* C : Classes) {
      if (!IsSpecifier(*C)) continue;
      const auto* S = dynamic_cast<TCustomPathSpecifier*>(SampleOf(*C, *Form));
      std::string Name = "ps" + C->ClassName.substr(3);
      Out += "  " + Name + std::string(Name.size() < 24 ? 24 - Name.size() : 1, ' ') +
             (S ? S->GetDescription() : std::string("?")) + "\n";
    }
  }
  Out += "\n";
  const struct {
    TUse Use;
    const char* Title;
  } Sections[] = {
      {uProject, "Objects of a project"},
      {uDecoration, "The main window's decoration, and the controls of the pages' forms"},
      {uPart, "Parts of other objects, written through their dotted properties"},
      {uNotWritten, "Not written in a project (marked: the root, base classes, the wizard's pages and windows)"},
  };
  for (const auto& S : Sections) {
    Out += std::string(S.Title) + "\n" + std::string(std::string(S.Title).size(), '-') + "\n\n";
    for (const TClassInfo* C : Classes)
      if (UseOf(*C, ClassDocOf(C->ClassName)) == S.Use) ClassEntry(Out, *C, S.Use);
  }
  return Out;
}

std::vector<std::string> UndescribedProperties() {
  PrepareComponentModel();
  std::vector<std::string> Missing;
  for (const TClassInfo* C : SortedClasses()) {
    if (UseOf(*C, ClassDocOf(C->ClassName)) != uProject) continue;
    if (!ClassDocOf(C->ClassName) && !IsSpecifier(*C)) Missing.push_back(C->ClassName);
    for (const TPropInfo* P : C->AllProps())
      if (P->Name != "Name" && !PropDocOf(*C, P->Name)) Missing.push_back(C->ClassName + "." + P->Name);
  }
  return Missing;
}
