// Links from projects in text form: shell links read back through the
// shell's interface, internet shortcuts read back as INI files, the main
// program folder under the Programs folder, the naming rules, the
// uninstall record, links that go with their targets, and the Program
// Manager method on systems without shell links (Wine made to report them).
#include <gtest/gtest.h>

#include "support/RegistrySupport.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_API.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TUninstallEXE.h"
#include "model/model_fixture.h"
#include "system/cmp_TInstallShellLink.h"
#include "system_support.h"
#include "test_paths.h"

namespace {

// Where a project's links go; a child process is given the parent's.
struct LinkNames {
  std::string Dir, Folder, Product;
};

struct LinkProject {
  std::unique_ptr<TScratchDir> Scratch;
  std::string DirPath, Folder, Product, GroupPath;
  bool Owner;
  std::unique_ptr<Project> P;
  std::string operator/(const std::string& Rel) const { return DirPath + "\\" + Rel; }
  LinkNames Names() const { return {DirPath, Folder, Product}; }

  explicit LinkProject(const std::string& Extra = "", const LinkNames* Given = nullptr) : Owner(!Given) {
    if (Given) {
      DirPath = Given->Dir;
      Folder = Given->Folder;
      Product = Given->Product;
    } else {
      Scratch = std::make_unique<TScratchDir>("qv-links");
      DirPath = Scratch->Path();
      Folder = Unique("QvMainFolder");
      Product = Unique("QvLinkProduct");
    }
    GroupPath = GetProgramsDir() + "\\" + Folder;
    if (Owner) Clean();
    WriteTestFile(*this / "app\\app.exe", "MZ");
    WriteTestFile(*this / "app\\uninstall.exe", "MZ");
    P = std::make_unique<Project>(Substitute(R"(
  object Install: TInstall
    Information.ProductName = '$PRODUCT'
    DestDirType = nil
    DestDir = '$DIR\app'
    RunAutomatic = False
  end
  object Uninstaller: TUninstallEXE
    Container = Install
    DestDirType = psContainerDestDir
    DestName = 'uninstall.exe'
    FileName = 'uninstall.exe'
  end
  object App: TInstallFile
    Container = Install
    DestDirType = psContainerDestDir
    DestName = 'app.exe'
    FileName = 'app.exe'
  end
  object MainGroup: TMainLinkGroup
    Container = Install
    DestDir = '\$FOLDER'
  end
  object AppLink: TInstallMainLink
    ObjectLink = App
    ObjectLocationType = psObjectLink
    LinkName = 'My App.lnk'
    Parameters = '/open %a'
    HotKey = 580
  end
  object UninstallLink: TInstallMainLink
    ObjectLink = Uninstaller
    ObjectLocationType = psObjectLink
    LinkName = 'Remove.lnk'
  end
)" + Extra, {{"PRODUCT", Product}, {"DIR", DirPath}, {"FOLDER", Folder}}));
    // The files count as installed without going through their archives.
    Get<TInstallContainer>("App")->Processed = true;
    Get<TInstallContainer>("Uninstaller")->Processed = true;
  }
  ~LinkProject() {
    P.reset();
    if (Owner) Clean();
  }
  void Clean() {
    RemoveTree(GroupPath);
    RegDeleteKeyTree(hkLocalMachine, UninstallKeyFor(Product));
  }
  template <class T>
  T* Get(const char* Name) {
    return P->Get<T>(Name);
  }
  std::vector<std::string> RecordedFiles() {
    std::vector<std::string> R;
    const std::string Key = UninstallKeyFor(Product) + "\\Files";
    const int N = StrToIntDef(RegReadString(hkLocalMachine, Key, "Entries", "0"), 0);
    for (int i = 1; i <= N; ++i) R.push_back(RegReadString(hkLocalMachine, Key, "File" + std::to_string(i), ""));
    return R;
  }
};

TEST(ShellLinks, MainFolderHoldsLinksToFilesAndTheUninstaller) {
  LinkProject L;
  auto* Group = L.Get<TMainLinkGroup>("MainGroup");
  EXPECT_EQ(Group->GetDestPath(), L.GroupPath);
  Group->Process();
  ASSERT_TRUE(DirectoryExists(L.GroupPath));

  TLinkContents App = ReadShellLink(L.GroupPath + "\\My App.lnk");
  ASSERT_TRUE(App.Loaded);
  EXPECT_TRUE(SameText(App.Path, L / "app\\app.exe")) << App.Path;
  EXPECT_TRUE(SameText(App.WorkingDirectory, L / "app")) << App.WorkingDirectory;
  EXPECT_EQ(App.Arguments, "/open " + L.GroupPath);  // %a: the link's own folder
  EXPECT_EQ(App.HotKey, 580);

  TLinkContents Remove = ReadShellLink(L.GroupPath + "\\Remove.lnk");
  ASSERT_TRUE(Remove.Loaded);
  EXPECT_TRUE(SameText(Remove.Path, L / "app\\uninstall.exe")) << Remove.Path;
  EXPECT_EQ(Remove.Arguments, L.Product);

  EXPECT_EQ(L.RecordedFiles(), (std::vector<std::string>{L.GroupPath + "\\My App.lnk",
                                                         L.GroupPath + "\\Remove.lnk"}));
}

TEST(ShellLinks, LinksElsewhereAndInternetShortcuts) {
  LinkProject L(R"(
  object DocLink: TInstallShellLink
    Container = Install
    DestDir = '$DIR\desk\sub'
    ObjectLocation = '$DIR\app\'
    LinkName = 'App folder.lnk'
  end
  object SpecLink: TInstallShellLink
    Container = Install
    DestDirType = psContainerDestDir
    DestDir = '\shortcuts'
    ObjectLocationType = psContainerDestDir
    ObjectLocation = '\app.exe'
    LinkName = 'Via specifier.lnk'
    Parameters = '%%literal'
  end
  object WebLink: TInstallShellLink
    Container = Install
    DestDir = '$DIR\desk'
    ObjectLocation = 'http://www.Example.com/start'
    LinkName = 'Example.URL'
  end
  object GroupLink: TInstallShellLink
    Container = Install
    DestDir = '$DIR\desk'
    ObjectLink = MainGroup
    ObjectLocationType = psObjectLink
    LinkName = 'Programs folder.lnk'
  end
)");
  auto Dir = [&](const std::string& Rel) { return L / Rel; };
  // The group the link points to must have been installed first.
  L.Get<TMainLinkGroup>("MainGroup")->Process();
  for (const char* N : {"DocLink", "SpecLink", "WebLink", "GroupLink"}) L.Get<TInstallShellLink>(N)->Process();

  TLinkContents Doc = ReadShellLink(Dir("desk\\sub\\App folder.lnk"));
  ASSERT_TRUE(Doc.Loaded);
  EXPECT_TRUE(SameText(Doc.Path, Dir("app"))) << Doc.Path;

  TLinkContents ViaSpecifier = ReadShellLink(Dir("app\\shortcuts\\Via specifier.lnk"));
  ASSERT_TRUE(ViaSpecifier.Loaded);
  EXPECT_TRUE(SameText(ViaSpecifier.Path, Dir("app\\app.exe"))) << ViaSpecifier.Path;
  EXPECT_EQ(ViaSpecifier.Arguments, "%literal");

  // An existing shortcut file keeps what else it holds.
  const std::string Url = Dir("desk\\Example.URL");
  EXPECT_EQ(ReadIni(Url, "InternetShortcut", "URL"), "http://www.Example.com/start");
  WritePrivateProfileStringA("InternetShortcut", "IconIndex", "3", Url.c_str());
  L.Get<TInstallShellLink>("WebLink")->SetObjectLocation("ftp://files.example.com");
  L.Get<TInstallShellLink>("WebLink")->Process();
  EXPECT_EQ(ReadIni(Url, "InternetShortcut", "URL"), "ftp://files.example.com");
  EXPECT_EQ(ReadIni(Url, "InternetShortcut", "IconIndex"), "3");

  TLinkContents Group = ReadShellLink(Dir("desk\\Programs folder.lnk"));
  ASSERT_TRUE(Group.Loaded);
  EXPECT_TRUE(SameText(Group.Path, L.GroupPath)) << Group.Path;
}

TEST(ShellLinks, NamingRules) {
  LinkProject L;
  auto* Link = new TInstallShellLink(L.P->Form);
  // Names from locations: the rest of a URL, or the file name.
  const struct {
    const char* Location;
    const char* Name;
  } FromLocation[] = {
      {"http://www.Quorvane.com", "www.Quorvane.com.URL"},
      {"FTP://Ftp.Example.org", "Ftp.Example.org.URL"},
      {"C:\\Tools\\Editor.exe", "Editor.LNK"},
      {"http://host/a/b", "host-a-b.URL"},
  };
  for (const auto& C : FromLocation) {
    Link->SetLinkName("");
    Link->SetObjectLocation(C.Location);
    EXPECT_EQ(Link->LinkName(), C.Name) << C.Location;
    EXPECT_EQ(Link->ObjectLocation(), C.Location);
  }
  // A set name stays; a bare ".LNK" does not count as one.
  Link->SetLinkName("Kept.lnk");
  Link->SetObjectLocation("C:\\Other.exe");
  EXPECT_EQ(Link->LinkName(), "Kept.lnk");
  Link->SetLinkName(".LNK");
  Link->SetObjectLocation("C:\\Other.exe");
  EXPECT_EQ(Link->LinkName(), "Other.LNK");
  // Other extensions give way to the kind of link it was.
  const struct {
    const char* Before;
    const char* Set;
    const char* After;
  } Renames[] = {
      {"Site.URL", "Notes.txt", "Notes.URL"},
      {"Tool.lnk", "Notes.txt", "Notes.LNK"},
      {"", "Plain", "Plain.LNK"},
      {"a.url", "b.Lnk", "b.Lnk"},
  };
  for (const auto& C : Renames) {
    Link->SetLinkName("");
    Link->SetLinkName(C.Before);
    Link->SetLinkName(C.Set);
    EXPECT_EQ(Link->LinkName(), C.After) << C.Before << " -> " << C.Set;
  }
  // Pointing at an install object names the link after it and makes the
  // object its container when it has none.
  Link->SetLinkName("");
  Link->SetObjectLink(L.Get<TInstallFile>("App"));
  EXPECT_EQ(Link->LinkName(), "app.lnk");
  EXPECT_EQ(Link->ObjectLocation(), "");
  EXPECT_TRUE(Link->ObjectLocationType()->InheritsFrom(TpsObjectLink::StaticClass()));
  EXPECT_EQ(Link->Container(), L.Get<TInstallContainer>("App"));
  EXPECT_TRUE(SameText(Link->GetObjectPath(), L / "app\\app.exe"));
  Link->SetObjectLocation("ignored");
  EXPECT_EQ(Link->ObjectLocation(), "");
  Link->SetObjectLink(L.Get<TInstall>("Install"));
  EXPECT_EQ(Link->LinkName(), "Main.lnk");  // a file group by its group name
  Link->SetObjectLink(L.Get<TMainLinkGroup>("MainGroup"));
  EXPECT_EQ(Link->LinkName(), "MainGroup.lnk");
  // An internet shortcut points at no install object.
  Link->SetLinkName("Site.URL");
  EXPECT_EQ(Link->ObjectLink(), nullptr);
  EXPECT_EQ(Link->ObjectLocationType(), nullptr);
}

TEST(ShellLinks, ObjectLinkSpecifierChecksItsUser) {
  LinkProject L;
  TCustomPathSpecifier* S = StandardSpecifier<TpsObjectLink>();
  EXPECT_EQ(S->Name(), "psObjectLink");
  EXPECT_EQ(S->GetDescription(), "Path of the file or file group in the ObjectLink property");
  try {
    S->GetPath(L.Get<TInstallFile>("App"));
    ADD_FAILURE() << "no error";
  } catch (const IEPathSpecifier& E) {
    EXPECT_STREQ(E.what(), "App must be a TCustomInstallShellLink to use the psObjectLink path specifier");
  }
  auto* Link = new TInstallShellLink(L.P->Form);
  Link->SetName("Loose");
  try {
    Link->SetObjectLocationType(S);
    ADD_FAILURE() << "no error";
  } catch (const IEPathSpecifier& E) {
    EXPECT_STREQ(E.what(), "Cannot use ddObjectLink for Loose unless you assign a value to ObjectLink");
  }
}

TEST(ShellLinks, SkippedTargetsAndBlankNames) {
  LinkProject L;
  auto* App = L.Get<TInstallFile>("App");
  App->Processed = false;  // excluded from this run
  L.Get<TMainLinkGroup>("MainGroup")->Process();
  EXPECT_FALSE(FileExists(L.GroupPath + "\\My App.lnk"));
  EXPECT_TRUE(FileExists(L.GroupPath + "\\Remove.lnk"));
  // Still recorded for the uninstaller.
  EXPECT_EQ(L.RecordedFiles().size(), 2u);

  auto* Blank = new TInstallShellLink(L.P->Form);
  Blank->SetName("Blank");
  Blank->SetContainer(L.Get<TInstall>("Install"));
  try {
    Blank->InstallObjects();
    ADD_FAILURE() << "no error";
  } catch (const IEInstallShellLink& E) {
    EXPECT_STREQ(E.what(), "The LinkName is blank for Blank and therefore could not be installed");
  }
}

TEST(ShellLinks, LinksGoWithTheirTargetsAndContainers) {
  LinkProject L;
  const int Links = ShellLinkList().Count();
  EXPECT_EQ(MainLinkList().Count(), 2);
  delete L.Get<TInstallFile>("App");
  EXPECT_EQ(L.P->Form->FindComponent("AppLink"), nullptr);
  EXPECT_EQ(ShellLinkList().Count(), Links - 1);
  // The group goes with its container, and its links with the group.
  delete L.Get<TInstall>("Install");
  EXPECT_EQ(L.P->Form->FindComponent("MainGroup"), nullptr);
  EXPECT_EQ(L.P->Form->FindComponent("UninstallLink"), nullptr);
  EXPECT_EQ(MainLinkGroup(), nullptr);
  EXPECT_EQ(MainLinkList().Count(), 0);
  EXPECT_EQ(ShellLinkList().Count(), Links - 2);
}

TEST(ShellLinks, MainGroupRules) {
  LinkProject L;
  try {
    new TMainLinkGroup(L.P->Form);
    ADD_FAILURE() << "no error";
  } catch (const IEShellLinkGroup& E) {
    EXPECT_STREQ(E.what(), "You can only have one TMainLinkGroup component in your project");
  }
  auto* Main = L.Get<TInstallMainLink>("AppLink");
  try {
    Main->SetContainer(L.Get<TInstall>("Install"));
    ADD_FAILURE() << "no error";
  } catch (const IEInstallShellLink& E) {
    EXPECT_STREQ(E.what(),
                 "The TMainLinkGroup component must be the Container for TInstallMainLink and "
                 "TSubLinkGroup components");
  }
  EXPECT_EQ(Main->Container(), L.Get<TInstallContainer>("MainGroup"));
  Main->SetDestDirType(StandardSpecifier<TpsDesktopMenu>());
  EXPECT_TRUE(Main->DestDirType()->InheritsFrom(TpsContainerDestDir::StaticClass()));
  auto* Group = L.Get<TMainLinkGroup>("MainGroup");
  Group->SetDestDirType(StandardSpecifier<TpsDesktopMenu>());
  EXPECT_TRUE(Group->DestDirType()->InheritsFrom(TpsProgramMenu::StaticClass()));
  delete Group;
  try {
    new TInstallMainLink(L.P->Form);
    ADD_FAILURE() << "no error";
  } catch (const IEInstallShellLink& E) {
    EXPECT_STREQ(E.what(),
                 "To create a TInstallMainLink you must first have a TMainLinkGroup component in your project");
  }
  // A new main group takes its folder from the product.
  auto* Fresh = new TMainLinkGroup(L.P->Form);
  EXPECT_EQ(Fresh->DestDir(), "\\" + L.Product);
}

TEST(ShellLinks, ComFailuresAreDescribed) {
  EXPECT_EQ(ShellLinkErrorText(0), "");
  EXPECT_EQ(ShellLinkErrorText(static_cast<int32_t>(0x80070057u)), "Indicates one or more arguments are invalid");
  EXPECT_EQ(ShellLinkErrorText(static_cast<int32_t>(0x80040154u)),
            "Indicates that a specified class is not registered in the registration database");
  EXPECT_EQ(ShellLinkErrorText(static_cast<int32_t>(0x80070005u)), SysErrorMessage(0x80070005u));
}

const char* const DeskLinkText = R"(
  object DeskLink: TInstallShellLink
    Container = Install
    DestDirType = psDesktopMenu
    DestDir = '\$FOLDER'
    ObjectLocation = '$DIR\app\app.exe'
    LinkName = 'Desk.lnk'
  end
)";

// Wine reads the version it reports when a program starts: the links are
// made by a child process started under the version asked for.
bool InstallLinksInChild(const char* WineVersion, const LinkNames& Names, TWindowsVersion Expected) {
  TSavedRegValue Saved(hkCurrentUser, "Software\\Wine", "Version");
  RegWriteString(hkCurrentUser, "Software\\Wine", "Version", WineVersion);
  SetEnvironmentVariableA("QV_LINK_DIR", Names.Dir.c_str());
  SetEnvironmentVariableA("QV_LINK_FOLDER", Names.Folder.c_str());
  SetEnvironmentVariableA("QV_LINK_PRODUCT", Names.Product.c_str());
  SetEnvironmentVariableA("QV_LINK_VERSION", std::to_string(Expected).c_str());
  char Self[MAX_PATH];
  GetModuleFileNameA(nullptr, Self, MAX_PATH);
  std::string Cmd = std::string("\"") + Self +
                    "\" --gtest_also_run_disabled_tests --gtest_filter=ShellLinksChild.DISABLED_InstallLinks";
  STARTUPINFOA Si{};
  Si.cb = sizeof(Si);
  PROCESS_INFORMATION Pi{};
  DWORD Code = 1;
  if (CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi)) {
    if (WaitForSingleObject(Pi.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(Pi.hProcess, &Code);
    CloseHandle(Pi.hThread);
    CloseHandle(Pi.hProcess);
  }
  for (const char* V : {"QV_LINK_DIR", "QV_LINK_FOLDER", "QV_LINK_PRODUCT", "QV_LINK_VERSION"})
    SetEnvironmentVariableA(V, nullptr);
  return Code == 0;
}

std::string Env(const char* Name) {
  char Buf[1024];
  const DWORD N = GetEnvironmentVariableA(Name, Buf, sizeof Buf);
  return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

// Run only as the child above.
TEST(ShellLinksChild, DISABLED_InstallLinks) {
  const LinkNames Names{Env("QV_LINK_DIR"), Env("QV_LINK_FOLDER"), Env("QV_LINK_PRODUCT")};
  ASSERT_FALSE(Names.Dir.empty());
  ASSERT_EQ(std::to_string(GetWindowsVersion()), Env("QV_LINK_VERSION"));
  LinkProject L(DeskLinkText, &Names);
  // Wine's Program Manager takes no arguments after a quoted program (the
  // real one does); the item is sent without them there.
  // The uninstaller's link always has one (the product), so it stays out.
  if (GetWindowsVersion() == wvWindowsNT35) {
    L.Get<TInstallMainLink>("AppLink")->Parameters.clear();
    delete L.Get<TInstallMainLink>("UninstallLink");
  }
  L.Get<TMainLinkGroup>("MainGroup")->Process();
  L.Get<TInstallShellLink>("DeskLink")->Process();
}

TEST(ShellLinks, MethodFollowsTheWindowsVersion) {
  struct Case {
    const char* Version;
    TWindowsVersion Family;
    bool ProgramManager;
  };
  for (const Case& C : {Case{"win95", wvWindows95, false}, Case{"nt351", wvWindowsNT35, true}}) {
    SCOPED_TRACE(C.Version);
    LinkProject L(DeskLinkText);
    const std::string DeskFolder = GetDesktopDir() + "\\" + L.Folder;
    RemoveTree(DeskFolder);
    ASSERT_TRUE(InstallLinksInChild(C.Version, L.Names(), C.Family));
    TLinkContents App = ReadShellLink(L.GroupPath + "\\My App.lnk");
    ASSERT_TRUE(App.Loaded);
    EXPECT_TRUE(SameText(App.Path, L / "app\\app.exe")) << App.Path;
    if (C.ProgramManager) {
      // Outside the Programs folder there is no Program Manager item.
      EXPECT_FALSE(DirectoryExists(DeskFolder));
      EXPECT_EQ(L.RecordedFiles(), (std::vector<std::string>{L.GroupPath + "\\My App.lnk",
                                                             DeskFolder + "\\Desk.lnk"}));
    } else {
      EXPECT_EQ(App.Arguments, "/open " + L.GroupPath);
      EXPECT_TRUE(ReadShellLink(L.GroupPath + "\\Remove.lnk").Loaded);
      EXPECT_TRUE(FileExists(DeskFolder + "\\Desk.lnk"));
      EXPECT_EQ(L.RecordedFiles().size(), 3u);
    }
    RemoveTree(DeskFolder);
  }
}

}  // namespace
