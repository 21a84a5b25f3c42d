// The file group page in a project under Wine, shown by the wizard of the
// dmBeforeInstall manager and operated from outside by the window driver:
// excluding a group takes its subgroups' sizes and drives out of the drive
// list, a group without a choice keeps a disabled box, a typed folder
// becomes the lower-case destination, a drive without space is marked and
// the list's panel grows and shrinks with its rows.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "model/cmp_TInstallFile.h"
#include "rtl/routines_Files.h"
#include "ui/ordlg_FileGroupSelect.h"
#include "DriverScript.h"
#include "ModalScenario.h"
#include "kit_translator.h"

namespace {

std::string Group(const std::string& Name, const std::string& Container, const std::string& Dest,
                  const std::string& Extra = "") {
  const bool Relative = Dest[0] == '\\';
  return "  object " + Name + ": TInstallFileGroup\n    Container = " + Container + "\n    GroupName = '" + Name +
         "'\n" + (Relative ? "    DestDirType = psContainerDestDir\n" : "") + "    DestDir = '" + Dest + "'\n" +
         Extra + "  end\n";
}

std::string File(const std::string& Name, const std::string& Container) {
  return "  object " + Name + ": TInstallFile\n    Container = " + Container +
         "\n    DestDirType = psContainerDestDir\n    FileName = '" + Name + ".dat'\n  end\n";
}

// The install component and its groups (Docs and Extras below Tools; Core
// without a choice); Extras goes to a drive that does not exist, Docs to
// Z:, the rest below Dir.
std::string GroupsProjectText(const std::string& Dir) {
  return "object Form1: TForm\n" + KitTranslatorText(qlEnglish) +
         "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
         "  object Install1: TInstall\n    RunAutomatic = False\n    GroupName = 'Everything'\n"
         "    DestDir = '" + Dir + "\\App'\n  end\n" +
         Group("Tools", "Install1", "\\tools") + Group("Extras", "Tools", "Q:\\Extras") +
         Group("Docs", "Tools", "Z:\\tmp\\qvdocs") +
         Group("Core", "Install1", "\\core",
               "    AllowChoice = False\n    Description.Strings = (\n      'The program itself.')\n") +
         File("Main1", "Install1") + File("Tool1", "Tools") + File("Extra1", "Extras") +
         File("Doc1", "Docs") + File("Core1", "Core") +
         "  object Manager1: TDialogManager\n    Container = Install1\n    ManagerType = dmBeforeInstall\n"
         "  end\nend\n";
}
struct GroupsProject : TUiProject {
  explicit GroupsProject(const std::string& Dir) : TUiProject(GroupsProjectText(Dir)) {
    Install->SetDestDirType(nullptr);  // not below Program Files: Dir as it stands
    // Sizes as the build reads them from the sources.
    const std::pair<const char*, int32_t> Sizes[] = {
        {"Main1", 300}, {"Tool1", 1000}, {"Extra1", 5000}, {"Doc1", 700}, {"Core1", 200000}};
    for (const auto& S : Sizes) Get<TCustomInstallFile>(S.first)->FileSize = S.second;
  }
};

// The drive list as the window shows it: letter, required, free, and the
// state picture (-1 for none).
std::vector<std::string> DriveRows(TFileGroupSelectForm& P) {
  std::vector<std::string> Rows;
  HWND L = P.DriveList->Handle();
  const int N = static_cast<int>(SendMessageA(L, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < N; ++i) {
    std::string Row;
    for (int Col = 0; Col < 3; ++Col) {
      char Buf[128] = {};
      LVITEMA It{};
      It.iSubItem = Col;
      It.pszText = Buf;
      It.cchTextMax = sizeof Buf;
      SendMessageA(L, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&It));
      Row += std::string(Buf) + "|";
    }
    const UINT State = static_cast<UINT>(SendMessageA(L, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
    Rows.push_back(Row + std::to_string(static_cast<int>(State >> 12) - 1));
  }
  return Rows;
}

int PanelHeight(TPanel* P) {
  RECT R{};
  GetWindowRect(P->Handle(), &R);
  return R.bottom - R.top;
}

TEST(FileGroupSelectForm, GroupsChosenAndPlacedDecideTheDriveList) {
  TScratchDir D;
  GroupsProject P(D.Path());
  // Only this page in the wizard: the kit's other pages are tested on their own.
  TOwnPages Kit;
  for (const TBIFEntry& E : Kit.Pages)
    if (E.FormClass == &TFileGroupSelectForm::StaticClass()) InstallFormList().push_back(E);
  auto* Tools = P.Get<TInstallFileGroup>("Tools");
  auto* Core = P.Get<TInstallFileGroup>("Core");
  ASSERT_TRUE(P.Install && Tools && Core);
  const std::string Home(1, static_cast<char>(std::toupper(static_cast<unsigned char>(D.Path()[0]))));
  const std::string W = Quoted("Select components to install");
  bool Ran = false;
  const auto Scenario = [&] {
    Drive("wait " + W + " 10");
    auto* Page = ShownPage<TFileGroupSelectForm>();
    ASSERT_TRUE(Page);
    Ran = true;
    // The root selected and expanded: its two groups show, with boxes.
    EXPECT_TRUE(Has(Drive("state " + W + " GroupTree"), "selected=Everything"));
    EXPECT_TRUE(Has(Drive("state " + W + " GroupTree"), "count=5"));
    EXPECT_TRUE(Has(Drive("state " + W + " Include2"), "checked=1"));
    EXPECT_TRUE(Has(Drive("state " + W + " Include2"), "enabled=1"));
    EXPECT_TRUE(Has(Drive("state " + W + " Include3"), "enabled=0"));
    EXPECT_TRUE(Has(Drive("state " + W + " Include3"), "checked=1"));
    EXPECT_EQ(Page->IncludeList->Count(), 3);
    // Tools with its subgroups, in the size column of its row.
    ASSERT_GE(Page->SizeList->Count(), 3);
    EXPECT_EQ(Page->SizeList->Items(1)->Caption(), "6,700 bytes");
    EXPECT_EQ(Page->SizeList->Items(0)->Caption(), "207,000 bytes");
    // Three drives: the missing one has nothing free and is marked; Z:
    // counts its free space in full and is not.
    std::vector<std::string> Rows = DriveRows(*Page);
    ASSERT_EQ(Rows.size(), 3u);
    EXPECT_EQ(Rows[0], Home + "|201,300 bytes|" + FormatBytes(Page->Drives()[0].Free) + "|-1");
    EXPECT_EQ(Rows[1], "Q|5,000 bytes|0 bytes|1");
    EXPECT_EQ(Rows[2].substr(0, 12), "Z|700 bytes|") << Rows[2];
    EXPECT_EQ(Rows[2].substr(Rows[2].size() - 3), "|-1") << Rows[2];
    ULARGE_INTEGER Free{};
    if (GetDiskFreeSpaceExA("Z:\\", &Free, nullptr, nullptr) && Free.QuadPart > (1ull << 33)) {
      EXPECT_GT(Page->Drives()[2].Free, int64_t(1) << 32);
    }
    EXPECT_EQ(PanelHeight(Page->pnlDriveSpace), 61);
    // The root has no description: no memo.
    EXPECT_FALSE(Page->DescriptionMemo->Visible());
    Shoot(W, "file-groups.png");

    // Excluding Tools: its subgroups' drives go, its own stays with
    // nothing added; the sizes follow.
    Drive("toggle " + W + " Include2");
    EXPECT_FALSE(Tools->Include);
    Rows = DriveRows(*Page);
    ASSERT_EQ(Rows.size(), 1u);
    EXPECT_EQ(Rows[0].substr(0, Home.size() + 15), Home + "|200,300 bytes|");
    EXPECT_EQ(PanelHeight(Page->pnlDriveSpace), 43);
    EXPECT_EQ(Page->SizeList->Items(0)->Caption(), "200,300 bytes");
    // A group left out still shows what it would take.
    EXPECT_EQ(Page->SizeList->Items(1)->Caption(), "6,700 bytes");

    // Expanding Tools: the pool grows by the rows that show now, each box
    // level with its row.
    Page->GroupTree->Items()->Item(1)->Expand(false);
    ASSERT_GE(Page->IncludeList->Count(), 4);
    EXPECT_EQ(Page->IncludeList->Items(3)->Top(), Page->GroupTree->Items()->Item(3)->DisplayRect(false).top);
    EXPECT_TRUE(Has(Drive("state " + W + " Include3"), "enabled=1"));  // Extras now, not Core
    Page->GroupTree->Items()->Item(1)->Collapse(false);
    EXPECT_FALSE(Page->IncludeList->Items(3)->Visible());
    EXPECT_TRUE(Has(Drive("state " + W + " Include3"), "enabled=0"));

    // Core: its destination and description.
    Drive("select " + W + " GroupTree Core");
    // The edit turns every text it gets into lower case.
    EXPECT_TRUE(Has(Drive("state " + W + " DirectoryLabel"), "text=" + LowerCase(D / "App\\core")));
    EXPECT_TRUE(Page->DescriptionMemo->Visible());
    // Shown again, the memo fills its panel.
    EXPECT_EQ(Page->DescriptionMemo->Width(), Page->pnlDescriptionMemo->ClientWidth());
    EXPECT_EQ(Page->DescriptionMemo->Lines()->Text(), "The program itself.\r\n");
    Shoot(W, "file-groups-core.png");

    // Browsing from a folder that is not there yet: it is made for the
    // browser and gone again when the user cancels.
    const std::string Browser = Quoted("Browse for Folder");
    TDriverScript Script({"wait " + Browser, "state " + Browser + " PathEdit", "click " + Browser + " Cancel",
                          "gone " + Browser});
    Page->BrowseBtnClick(nullptr);
    const auto& Out = Script.Finish();
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_TRUE(Has(Out[1], "text=" + D / "App\\core")) << Out[1];
    EXPECT_FALSE(DirectoryExists(D / "App\\core"));
    EXPECT_FALSE(DirectoryExists(D / "App"));
    EXPECT_EQ(Core->GetDestPath(), D / "App\\core");

    // A folder typed with capitals: the lower-case destination, no
    // specifier.
    Page->DirectoryLabel->SetText("");
    Drive("type " + W + " DirectoryLabel " + Quoted("D:\\My Core"));
    P.App.ProcessMessages();
    EXPECT_EQ(Core->DestDir(), "d:\\my core");
    EXPECT_EQ(Core->DestDirType(), nullptr);
    EXPECT_EQ(Core->GetDestPath(), "d:\\my core");

    // Next goes on, with a drive short of space or not.
    Drive("click " + W + " ProceedBtn");
  };
  WhileModal({Scenario}, [&] { EXPECT_NO_THROW(P.Install->Broadcast(P.Install, ncBeforeInstall, nullptr)); });
  EXPECT_TRUE(Ran);
  EXPECT_FALSE(Tools->Include);
  EXPECT_TRUE(Core->Include);

  // Only the install types itAlways and itCustom show the page.
  std::unique_ptr<TCustomForm> Form(CreateKitForm(TFileGroupSelectForm::StaticClass(), &P.App));
  auto* Page = dynamic_cast<TFileGroupSelectForm*>(Form.get());
  ASSERT_TRUE(Page);
  EXPECT_EQ(Page->Order, 50);
  EXPECT_EQ(Page->Container, P.Install);
  EXPECT_FALSE(Page->SkipPage());
  P.Install->CurrentInstallType = itCustom;
  EXPECT_FALSE(Page->SkipPage());
  P.Install->CurrentInstallType = itDefault;
  EXPECT_TRUE(Page->SkipPage());
  // A page without a container says so.
  Page->Container = nullptr;
  EXPECT_THROW(Page->PreparePage(), IEFileGroupSelectForm);
}

}  // namespace
