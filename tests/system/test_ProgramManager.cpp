// The Program Manager client: the commands it sends and how it reads group
// descriptions, against a scripted conversation; then the real thing, Wine's
// "PROGMAN" server, which must answer (a machine where it does not is a
// failure here, not a reason to skip).
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "environment/routines_API.h"
#include "rtl/routines_Files.h"
#include "system/cmp_TProgramManager.h"
#include "system_support.h"
#include "test_paths.h"

namespace {

// A Program Manager that answers from a script and remembers what it was
// told.
struct TScriptedConv : TDdeClientConv {
  bool Opens = true;
  int Opened = 0;
  std::vector<std::string> Commands;
  std::map<std::string, std::string> Data;  // item -> answer
  std::vector<std::string> Refuse;          // command prefixes that fail
  bool OpenLink(const std::string& Service, const std::string& Topic) override {
    EXPECT_EQ(Service, "PROGMAN");
    EXPECT_EQ(Topic, "PROGMAN");
    ++Opened;
    return Opens;
  }
  void CloseLink() override {}
  bool ExecuteMacro(const std::string& Command) override {
    Commands.push_back(Command);
    for (const std::string& R : Refuse)
      if (Command.compare(0, R.size(), R) == 0) return false;
    return true;
  }
  bool RequestData(const std::string& Item, std::string& Out) override {
    auto It = Data.find(Item);
    if (It == Data.end()) return false;
    Out = It->second;
    return true;
  }
};

struct Scripted {
  TScriptedConv* Conv = new TScriptedConv;
  TProgramManager PM{nullptr, std::unique_ptr<TDdeClientConv>(Conv)};
};

const char* const ToolsGroup =
    "\"Tools\",C:\\WINDOWS\\TOOLS.GRP,0 0 640 480,0 0,0,1,2\r\n"
    "\"\"\"Editor\"\"\",\"\"\"C:\\Apps\\edit.exe\"\" /n\",C:\\Apps,C:\\Apps\\edit.exe,10,20,3,0\r\n"
    "\"Viewer\",\"C:\\Apps\\view.exe\",C:\\Apps,,30,40,0,1604\r\n"
    "\"viewer\",\"C:\\Apps\\lower.exe\",,,,,,\r\n";

TEST(ProgramManagerScripted, ReadsItemsFromTheGroupDescription) {
  Scripted S;
  S.Conv->Data["Tools"] = ToolsGroup;
  S.PM.SelectGroup("Tools");
  EXPECT_EQ(S.Conv->Opened, 1);
  EXPECT_EQ(S.PM.CurrentGroup(), "Tools");
  ASSERT_EQ(S.PM.ItemCount(), 3);
  // One pair of quotes goes from every field, a second from name and command.
  EXPECT_EQ(S.PM.ItemName(1), "\"Editor\"");
  EXPECT_EQ(S.PM.ItemField(1, 1), "\"\"Editor\"\"");
  EXPECT_EQ(S.PM.ItemCommandLine(1), "\"C:\\Apps\\edit.exe\"\" /n");
  EXPECT_EQ(S.PM.ItemDefaultDir(1), "C:\\Apps");
  EXPECT_EQ(S.PM.ItemIconPath(1), "C:\\Apps\\edit.exe");
  EXPECT_EQ(S.PM.ItemXPos(1), "10");
  EXPECT_EQ(S.PM.ItemYPos(1), "20");
  EXPECT_EQ(S.PM.ItemIconIndex(1), "3");
  EXPECT_EQ(S.PM.ItemHotKey(1), "0");
  EXPECT_EQ(S.PM.ItemName(2), "Viewer");
  EXPECT_EQ(S.PM.ItemCommandLine(2), "C:\\Apps\\view.exe");
  EXPECT_EQ(S.PM.ItemHotKey(2), "1604");
  // Item 0 is the group line; beyond the last line there is nothing.
  EXPECT_EQ(S.PM.ItemName(0), "");
  EXPECT_EQ(S.PM.ItemName(4), "");
  EXPECT_EQ(S.PM.ItemField(-1, 1), "");
  // Names compare with their letter case.
  EXPECT_EQ(S.PM.IndexOfItem("Viewer"), 2);
  EXPECT_EQ(S.PM.IndexOfItem("viewer"), 3);
  EXPECT_EQ(S.PM.IndexOfItem("VIEWER"), -1);
}

TEST(ProgramManagerScripted, GroupLineAloneHasNoItemsAndMissingGroupIsNone) {
  Scripted S;
  S.Conv->Data["Empty"] = "\"Empty\",C:\\E.GRP,0 0 1 1,0 0,0,1,0\r\n";
  S.PM.SelectGroup("Empty");
  EXPECT_EQ(S.PM.CurrentGroup(), "Empty");
  EXPECT_EQ(S.PM.ItemCount(), 0);
  EXPECT_EQ(S.PM.IndexOfItem("Empty"), -1);
  S.PM.SelectGroup("Nowhere");
  EXPECT_EQ(S.PM.CurrentGroup(), "");
  // With no group selected, items are neither added nor replaced.
  S.PM.AddItem("x", "y", "", 0, "", "");
  S.PM.ReplaceItem("y");
  EXPECT_TRUE(S.Conv->Commands.empty());
}

TEST(ProgramManagerScripted, SendsTheCommandsOfEachOperation) {
  Scripted S;
  S.Conv->Data["Groups"] = "Main\r\nGames\r\n";
  S.Conv->Data["My Group"] = "\"My Group\",x,0,0,0,1,0\r\n\"Old\",\"old.exe\",,,,,0,\r\n";
  S.PM.CreateGroup("");  // nothing for an empty name
  S.PM.CreateGroup("My Group");
  EXPECT_EQ(S.PM.CurrentGroup(), "My Group");
  EXPECT_EQ(S.PM.ItemCount(), 1);
  S.PM.ReplaceItem("Old");
  S.PM.AddItem("\"C:\\P\\app.exe\" -a", "App", "", 0, "\"C:\\P\"", "");
  S.PM.AddItem("cmd", "name", "C:\\i.ico", 2, "dir", "1604");
  EXPECT_EQ(S.Conv->Commands, (std::vector<std::string>{
                                  "[CreateGroup(\"My Group\")]",
                                  "[ShowGroup(My Group,8)]",
                                  "[ReplaceItem(\"Old\")]",
                                  "[ShowGroup(My Group,8)]",
                                  "[AddItem(\"C:\\P\\app.exe\" -a,App,,0,,,\"C:\\P\",)]",
                                  "[ShowGroup(My Group,8)]",
                                  "[AddItem(cmd,name,C:\\i.ico,2,,,dir,1604)]",
                              }));
  TStrings Groups;
  S.PM.GetGroups(Groups);
  EXPECT_EQ(Groups.ToVector(), (std::vector<std::string>{"Main", "Games"}));
  EXPECT_EQ(S.Conv->Opened, 1);  // one conversation for everything
}

TEST(ProgramManagerScripted, RefusalsRaiseTheirExceptions) {
  {
    Scripted S;
    S.Conv->Opens = false;
    try {
      S.PM.GetGroups(*std::make_unique<TStrings>());
      ADD_FAILURE() << "no error";
    } catch (const EQIPMCannotOpen& E) {
      EXPECT_STREQ(E.what(), "The TProgramManager object was unable to establish a link with Program Manager");
    }
    EXPECT_FALSE(S.PM.Connected());
  }
  Scripted S;
  S.Conv->Refuse = {"[CreateGroup("};
  try {
    S.PM.CreateGroup("G1");
    ADD_FAILURE() << "no error";
  } catch (const EQIPMCannotCreateGroup& E) {
    EXPECT_EQ(E.Group, "G1");
    EXPECT_NE(std::string(E.what()).find("G1"), std::string::npos);
  }
  S.Conv->Refuse.clear();
  S.PM.CreateGroup("G1");
  S.Conv->Refuse = {"[ShowGroup("};
  try {
    S.PM.AddItem("c", "i", "", 0, "", "");
    ADD_FAILURE() << "no error";
  } catch (const EQIPMCannotOpenGroup& E) {
    EXPECT_EQ(E.Group, "G1");
    EXPECT_NE(std::string(E.what()).find("G1"), std::string::npos);
  }
  S.Conv->Refuse = {"[AddItem("};
  try {
    S.PM.AddItem("run 100%", "50% off", "", 0, "", "");
    ADD_FAILURE() << "no error";
  } catch (const EQIPMCannotAddItem& E) {
    // The item name is text, even where it holds a percent sign.
    EXPECT_STREQ(E.what(),
                 "The TProgramManager object was unable to add the following program item: 50% off "
                 "to the following group: G1. The arguments passed to  Program Manager were: "
                 "[AddItem(run 100%,50% off,,0,,,,)]");
    EXPECT_EQ(E.Item, "50% off");
    EXPECT_EQ(E.Command, "[AddItem(run 100%,50% off,,0,,,,)]");
  }
  S.Conv->Refuse = {"[ReplaceItem("};
  try {
    S.PM.ReplaceItem("Old");
    ADD_FAILURE() << "no error";
  } catch (const EQIPMCannotReplaceItem& E) {
    EXPECT_STREQ(E.what(),
                 "The TProgramManager object was unable to replace the following program item: Old "
                 "to the following group: G1");
  }
  EXPECT_EQ(EQIPMError().Message(), "The TProgramManager object was unable to communicate with Program Manager");
}

TEST(ProgramManagerScripted, CommandsLongerThanTheBufferAreRefusedUnsent) {
  Scripted S;
  S.PM.CreateGroup("G");
  const size_t Sent = S.Conv->Commands.size();
  // [AddItem(  +  x...  + ,n,,0,,,,)]  is 255 characters at most.
  const std::string Fits(255 - std::string("[AddItem(,n,,0,,,,)]").size(), 'x');
  S.PM.AddItem(Fits, "n", "", 0, "", "");
  EXPECT_EQ(S.Conv->Commands.back().size(), 255u);
  EXPECT_THROW(S.PM.AddItem(Fits + "x", "n", "", 0, "", ""), EQIPMCannotAddItem);
  EXPECT_EQ(S.Conv->Commands.size(), Sent + 2);  // ShowGroup and the item that fitted
  EXPECT_THROW(S.PM.CreateGroup(std::string(300, 'g')), EQIPMCannotCreateGroup);
  EXPECT_THROW(S.PM.ReplaceItem(std::string(300, 'r')), EQIPMCannotReplaceItem);
  EXPECT_EQ(S.Conv->Commands.size(), Sent + 2);
}

// --- Wine's Program Manager -----------------------------------------------------------

// Program Manager opens a window on every group it creates or shows, a
// moment after the command; they are closed with the group, or they would
// keep Wine's desktop (and the output of whoever started it) alive.
std::vector<HWND> WindowsTitled(const std::string& Title) {
  std::vector<HWND> Open;
  struct TCtx {
    const std::string* Title;
    std::vector<HWND>* Open;
  } Ctx{&Title, &Open};
  EnumWindows(
      [](HWND H, LPARAM P) -> BOOL {
        auto* C = reinterpret_cast<TCtx*>(P);
        char Text[MAX_PATH] = {};
        GetWindowTextA(H, Text, sizeof Text);
        if (*C->Title == Text) C->Open->push_back(H);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Ctx));
  return Open;
}

void CloseWindowsTitled(const std::string& Title) {
  // Closed until none has shown up for a while (three seconds at first, in
  // case the first has not opened yet).
  DWORD QuietSince = GetTickCount(), Quiet = 3000;
  for (DWORD Start = GetTickCount(); GetTickCount() - Start < 20000;) {
    const std::vector<HWND> Open = WindowsTitled(Title);
    if (!Open.empty()) {
      for (HWND H : Open) PostMessageA(H, WM_CLOSE, 0, 0);
      QuietSince = GetTickCount();
      Quiet = 1500;
    } else if (GetTickCount() - QuietSince > Quiet) {
      return;
    }
    Sleep(100);
  }
}

struct GroupFolder {
  std::string Name = Unique("QvPM");
  std::string Path = GetProgramsDir() + "\\" + Name;
  GroupFolder() { RemoveTree(Path); }
  ~GroupFolder() {
    CloseWindowsTitled(Name);
    RemoveTree(Path);
  }
};

TEST(ProgramManagerWine, CreatesListsAndReplacesItems) {
  GroupFolder G;
  TScratchDir Dir("qv-pm");
  ASSERT_TRUE(WriteTestFile(Dir / "one.exe", "1"));
  ASSERT_TRUE(WriteTestFile(Dir / "two.exe", "2"));
  TProgramManager PM(nullptr);
  ASSERT_NO_THROW(PM.Connect()) << "Wine's shell must answer PROGMAN";
  ASSERT_TRUE(PM.Connected());

  PM.CreateGroup(G.Name);
  EXPECT_TRUE(DirectoryExists(G.Path));
  EXPECT_EQ(PM.CurrentGroup(), G.Name);
  TStrings Groups;
  PM.GetGroups(Groups);
  EXPECT_GE(Groups.IndexOf(G.Name), 0) << Groups.Text();

  // As a link without arguments sends it (Wine's server takes no
  // arguments after a quoted program).
  PM.AddItem("\"" + (Dir / "one.exe") + "\" ", "Tool", "", 0, "\"" + Dir.Path() + "\"", "");
  TLinkContents L = ReadShellLink(G.Path + "\\Tool.lnk");
  ASSERT_TRUE(L.Loaded);
  EXPECT_TRUE(SameText(L.Path, Dir / "one.exe")) << L.Path;
  EXPECT_TRUE(SameText(L.WorkingDirectory, Dir.Path())) << L.WorkingDirectory;

  // The same group again, the item replaced by one with another target.
  PM.CreateGroup(G.Name);
  PM.ReplaceItem("Tool");
  PM.AddItem("\"" + (Dir / "two.exe") + "\"", "Tool", "", 0, "\"" + Dir.Path() + "\"", "");
  L = ReadShellLink(G.Path + "\\Tool.lnk");
  ASSERT_TRUE(L.Loaded);
  EXPECT_TRUE(SameText(L.Path, Dir / "two.exe")) << L.Path;
  // Still one item; the group list asked again is complete.
  WIN32_FIND_DATAA F;
  HANDLE H = FindFirstFileA((G.Path + "\\*.lnk").c_str(), &F);
  int Links = 0;
  if (H != INVALID_HANDLE_VALUE) {
    do ++Links;
    while (FindNextFileA(H, &F));
    FindClose(H);
  }
  EXPECT_EQ(Links, 1);
  for (int i = 0; i < 3; ++i) {
    TStrings Again;
    PM.GetGroups(Again);
    EXPECT_GE(Again.IndexOf(G.Name), 0) << "request " << i;
  }
}

}  // namespace
