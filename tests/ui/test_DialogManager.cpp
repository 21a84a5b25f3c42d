// The dialog manager with pages made from small text forms: the wizard of a
// phase run by the install component's broadcast and driven from outside by
// the window driver (Back, Next, skipped pages, refused closes, Cancel asked
// of OnUserAbort), the placement rule, the copy windows and the change-disk
// window with the checks of their parameters.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TTabControl.h"
#include "model/cmp_TInstallFile.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TBaseChangeDiskForm.h"
#include "ui/cmp_TBaseDuringCopyForm.h"
#include "ui/cmp_TBaseInstallForm.h"
#include "ui/dlgcmp_TBaseContainer.h"
#include "ui/dlgcmp_TBaseDlg.h"
#include "ModalScenario.h"
#include "window_driver.h"

namespace {

std::string Button(const char* Name, int Left, const char* Caption, const char* Click) {
  return Format("  object %s: TButton\n    Left = %d\n    Top = 15\n    Width = 75\n    Height = 25\n"
                "    Caption = '%s'\n    OnClick = %s\n  end\n",
                Name, Left, Caption, Click);
}

// A page of the before-install phase: its caption, Order and whether it asks
// to be passed over; the last binds to another phase and never shows here.
struct TPageDesign {
  const char* Caption;
  int32_t Order;
  bool Skip;
  TManagerType Phase;
};
constexpr TPageDesign Designs[] = {{"Third page", 30, false, dmBeforeInstall},
                                   {"First page", 10, false, dmBeforeInstall},
                                   {"Skipped page", 20, true, dmBeforeInstall},
                                   {"Last page", 40, false, dmBeforeInstall},
                                   {"Skipped at the end", 50, true, dmBeforeInstall},
                                   {"Success page", 5, false, dmAfterGoodInstall}};
int Prepared[6];

template <int N>
class TTestPage : public TBaseInstallForm {
  QV_CLASS()
 public:
  explicit TTestPage(TComponent* AOwner) : TBaseInstallForm(AOwner) {
    DM = FindDialogManager(Designs[N].Phase);
    Order = Designs[N].Order;
    ReadFormText(this, Format("object Page%d: %s\n  Caption = '%s'\n  ClientWidth = 470\n  ClientHeight = 368\n",
                          N, ClassName(), Designs[N].Caption) +
                       Button("BackBtn", 200, "< &Back", "BackClick") +
                       Button("ProceedBtn", 280, "&Next >", "NextClick") +
                       Button("CancelBtn", 370, "Cancel", "CancelClick") + "end\n");
  }
  bool SkipPage() override { return Designs[N].Skip; }
  void PreparePage() override {
    ++Prepared[N];
    dynamic_cast<TControl*>(FindComponent("BackBtn"))->SetVisible(!IsFirstPage());
  }
  void BackClick(TPersistent*) { PreviousPage(); }
  void NextClick(TPersistent*) { NextPage(); }
  void CancelClick(TPersistent*) { CancelWithConfirm(); }
};

template <int N>
const TClassInfo& TTestPage<N>::StaticClass() {
  using C = TTestPage<N>;
  static const std::string Name = Format("TTestPage%d", N);
  static const TClassInfo Info = TClassBuilder<C>(Name.c_str(), &TBaseInstallForm::StaticClass())
                                     .Creatable()
                                     .template Method<void(TPersistent*)>("BackClick", &C::BackClick)
                                     .template Method<void(TPersistent*)>("NextClick", &C::NextClick)
                                     .template Method<void(TPersistent*)>("CancelClick", &C::CancelClick)
                                     .Build();
  return Info;
}

class TTestCopyForm : public TBaseDuringCopyForm {
  QV_CLASS()
 public:
  explicit TTestCopyForm(TComponent* AOwner) : TBaseDuringCopyForm(AOwner) {
    DM = FindDialogManager(dmDuringCopyFiles);
    SetCaption("Copying under test");
    SetBounds(50, 50, 300, 100);
  }
  void UpdateStatus(TFileStatusParameter* F, TDownloadStatusParameter* D) override {
    Percent = F ? F->FilePercentDone : D->PercentDone;
  }
  int Percent = -1;
};
const TClassInfo& TTestCopyForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestCopyForm>("TTestCopyForm", &TBaseDuringCopyForm::StaticClass()).Creatable().Build();
  return Info;
}

class TTestDiskForm : public TBaseChangeDiskForm {
  QV_CLASS()
 public:
  explicit TTestDiskForm(TComponent* AOwner) : TBaseChangeDiskForm(AOwner) {
    DM = FindDialogManager(dmChangeDisk);
    ReadFormText(this, "object DiskForm: TTestDiskForm\n  Caption = 'Disk under test'\n  ClientWidth = 460\n"
                   "  ClientHeight = 60\n" + Button("InstallBtn", 200, "Proceed", "ProceedClick") +
                       Button("CancelBtn", 300, "Cancel", "CancelClick") + "end\n");
  }
  void ProceedClick(TPersistent*) {
    DiskParameter->Path = "D:\\SECOND";
    SetModalResult(mrOk);
  }
  void CancelClick(TPersistent*) { CancelWithConfirm(); }
};
const TClassInfo& TTestDiskForm::StaticClass() {
  using C = TTestDiskForm;
  static const TClassInfo Info = TClassBuilder<C>("TTestDiskForm", &TBaseChangeDiskForm::StaticClass())
                                     .Creatable()
                                     .Method<void(TPersistent*)>("ProceedClick", &C::ProceedClick)
                                     .Method<void(TPersistent*)>("CancelClick", &C::CancelClick)
                                     .Build();
  return Info;
}

// A dialog component that shows the first test page by itself, or lends the
// success page to the before-install wizard at Order 35.
class TTestDialog : public TCustomBaseInstallDlg {
  QV_CLASS()
 public:
  explicit TTestDialog(TComponent* AOwner) : TCustomBaseInstallDlg(AOwner) { FOrder = 35; }
  const TClassInfo& DialogClass() const override { return TTestPage<1>::StaticClass(); }
};
const TClassInfo& TTestDialog::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestDialog>("TTestDialog", &TCustomBaseInstallDlg::StaticClass()).Build();
  return Info;
}

TBaseFormContainer* Wizard() {
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (auto* W = dynamic_cast<TBaseFormContainer*>(Application->Components(i))) return W;
  return nullptr;
}

class DialogManager : public ::testing::Test {
 protected:
  void SetUp() override {
    Main = new TForm(&App);
    Install = new TInstall(Main);
    RegisterInstallForm(TTestPage<0>::StaticClass());
    RegisterInstallForm(TTestPage<1>::StaticClass());
    RegisterInstallForm(TTestPage<2>::StaticClass());
    RegisterInstallForm(TTestPage<3>::StaticClass());
    RegisterInstallForm(TTestPage<4>::StaticClass());
    RegisterInstallForm(TTestPage<5>::StaticClass());
    RegisterDuringCopyForm(TTestCopyForm::StaticClass());
    RegisterChangeDiskForm(TTestDiskForm::StaticClass());
    std::fill(std::begin(Prepared), std::end(Prepared), 0);
  }
  void TearDown() override {
    QrvnCompress().SetAbort(false);
    SetNetAborted(false);
  }
  TDialogManager* Manager(TManagerType Type, const char* Name) {
    auto* M = new TDialogManager(Main);
    M->SetName(Name);
    M->ManagerType = Type;
    M->SetContainer(Install);
    return M;
  }
  TApplication App{nullptr};
  TForm* Main = nullptr;
  TInstall* Install = nullptr;
  TOwnPages KitPages;  // the kit's own pages, when linked, come back afterwards
};

TEST_F(DialogManager, TheWizardWalksItsPagesInOrderRefusesToCloseAndFinishesOnTheLast) {
  TDialogManager* M = Manager(dmBeforeInstall, "BeforeInstall");
  M->Position = qdpBottomRight;
  M->RelativeLeftOffset = 10;
  M->RelativeTopOffset = 20;
  Manager(dmAfterBadInstall, "NoPages");
  auto* Lender = new TTestDialog(Main);
  Lender->SetDialogManager(M);
  EXPECT_EQ(M->Dialogs(), std::vector<TCustomBaseInstallDlg*>{Lender});
  RegisterInstallForm(TTestPage<5>::StaticClass(), Lender);
  int Closes = 0;
  const size_t KitForms = LiveKitForms().size();
  WhileModal(
      {[&] {
         TBaseFormContainer* W = Wizard();
         ASSERT_TRUE(W);
         EXPECT_EQ(CurrentDialogManager(), M);
         // The success page binds elsewhere, unless the dialog component lends it.
         ASSERT_EQ(W->PageCount(), 6);
         const int32_t Orders[] = {10, 20, 30, 35, 40, 50};
         for (int i = 0; i < 6; ++i) EXPECT_EQ(W->Pages(i)->Order, Orders[i]);
         EXPECT_EQ(Lender->Dialog, W->Pages(3));
         EXPECT_EQ(W->Pages(3)->DC, Lender);
         EXPECT_EQ(W->Tabs()->Tabs()->Strings(0), "TTestPage1");
         EXPECT_EQ(W->PageIndex(), 0);
         const POINT P = DialogPlacement(qdpBottomRight, 10, 20, 478, 395, GetSystemMetrics(SM_CXSCREEN),
                                         GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYCAPTION));
         EXPECT_EQ(W->Left(), P.x);
         EXPECT_EQ(W->Top(), P.y);
         auto Close = W->OnClose;
         W->OnClose = [&, Close](TPersistent* S, TCloseAction& A) { ++Closes, Close(S, A); };
         EXPECT_TRUE(Shows("First page", "BackBtn", false));
         Drive("key \"First page\" Alt+F4");
       },
       [&] { Drive("close \"First page\""); },
       [&] {
         EXPECT_EQ(Closes, 2);
         Drive("click \"First page\" \"Next >\"");
         EXPECT_TRUE(Shows("Third page", "BackBtn", true));
         Drive("click \"Third page\" \"< Back\"");
         EXPECT_TRUE(Shows("First page", "ProceedBtn", true));
         Drive("click \"First page\" \"Next >\"");
         Drive("click \"Third page\" \"Next >\"");
         Drive("click \"Success page\" \"Next >\"");
         Shoot(Quoted("Last page"), "wizard-last-page.png");
       },
       [&] { Drive("click \"Last page\" \"Next >\""); }},
      [&] { Install->Broadcast(Install, ncBeforeInstall, nullptr); });
  EXPECT_EQ(Closes, 3);  // the two refused, then Next's own
  // First and Third twice each; Next on Last found only skipped pages after
  // it and prepared Last again before finishing.
  EXPECT_EQ(Prepared[1], 2);
  EXPECT_EQ(Prepared[0], 2);
  EXPECT_EQ(Prepared[3], 2);
  EXPECT_EQ(Prepared[5], 1);
  EXPECT_EQ(Prepared[2] + Prepared[4], 0);
  EXPECT_EQ(Lender->Dialog, nullptr);
  EXPECT_FALSE(Wizard());
  EXPECT_EQ(LiveKitForms().size(), KitForms);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
  // A phase no page binds to shows nothing.
  Install->Broadcast(Install, ncAfterBadInstall, nullptr);
  EXPECT_FALSE(Wizard());
  delete Lender;
  EXPECT_TRUE(M->Dialogs().empty());
  EXPECT_THROW(M->AddDialog(nullptr), IException);
}

TEST_F(DialogManager, ComesFromAProjectStreamAndBindsOnlyInTheRunningInstall) {
  auto* Project = new TForm(&App);
  ReadFormText(Project, "object Project: TForm\n  object Reboots: TDialogManager\n    ManagerType = dmReboot\n"
                    "    Position = qdpTopLeft\n    Width = 500\n  end\nend\n");
  auto* M = dynamic_cast<TDialogManager*>(Project->FindComponent("Reboots"));
  ASSERT_TRUE(M);
  EXPECT_EQ(M->Position, qdpTopLeft);
  EXPECT_EQ(M->Width, 500);
  EXPECT_EQ(M->Height, 395);
  EXPECT_EQ(M->RegisteredType(), 9000);
  EXPECT_EQ(FindDialogManager(dmReboot), nullptr);
  M->SetContainer(Install);
  EXPECT_EQ(FindDialogManager(dmReboot), M);
  EXPECT_EQ(FindDialogManager(dmAfterGoodInstall), nullptr);
}

TEST_F(DialogManager, ADialogComponentShowsItsFormByItselfInItsOwnLanguageAndTurnsAnythingButOkIntoUserAbort) {
  TTestDialog D(Main);
  int Before = 0, After = 0;
  D.OnBeforeShowDialog = [&](TPersistent*) { ++Before; };
  D.OnAfterShowDialog = [&](TPersistent*) { ++After; };
  WhileModal({[&] {
               auto* Page = dynamic_cast<TBaseInstallForm*>(D.Dialog);
               ASSERT_TRUE(Page);
               EXPECT_EQ(Page->DC, &D);
               EXPECT_FALSE(Page->IsFirstPage());  // it stands alone
               Page->SetModalResult(mrOk);
             }},
             [&] { EXPECT_TRUE(D.Execute()); });
  EXPECT_EQ(Before + After, 2);
  EXPECT_EQ(D.Dialog, nullptr);
  // Shown in a language of its own, whatever the translator's target.
  TTranslator T(nullptr);
  TStringList English, German;
  English.Add("1;First page");
  German.Add("1;Erste Seite");
  T.Language(qlEnglish)->Strings()->Assign(English);
  T.Language(qlGerman)->Strings()->Assign(German);
  T.SetTranslateIntoLanguage(qlEnglish);
  D.UseOwnLanguage = true;
  D.OwnLanguage = qlGerman;
  WhileModal({[&] { Drive("click \"Erste Seite\" Cancel"); }}, [&] { EXPECT_THROW(D.Execute(), EQIUserAbort); });
  EXPECT_EQ(Before, 2);
  EXPECT_EQ(D.CurrentLanguage, qlGerman);
}

TEST_F(DialogManager, CancelEndsTheWizardOnlyWhenOnUserAbortAgrees) {
  TDialogManager* M = Manager(dmBeforeInstall, "BeforeInstall");
  bool Agree = false;
  int Asked = 0;
  Install->OnUserAbort = [&](TCustomInstall*, bool& QuitOut) {
    ++Asked;
    QuitOut = Agree;
  };
  WhileModal({[&] { Drive("click \"First page\" Cancel"); },
              [&] {
                EXPECT_EQ(Asked, 1);
                EXPECT_TRUE(Shows("First page", "CancelBtn", true));
                Agree = true;
                Drive("click \"First page\" Cancel");
              }},
             [&] { EXPECT_THROW(M->Execute(), EQIUserAbort); });
  EXPECT_EQ(Asked, 2);
  EXPECT_FALSE(Wizard());
  EXPECT_EQ(CurrentDialogManager(), nullptr);
}

TEST_F(DialogManager, PlacesWindowsByTheRowAndColumnOfThePosition) {
  struct TCase {
    TQuorvaneDialogPosition P;
    int DX, DY, SW, SH, Left, Top;
  } Cases[] = {{qdpBottomRight, 10, 20, 800, 600, 312, 167},
               {qdpCenter, 0, 0, 1023, 767, 272, 186},  // 272.5 and 186.0: halves to even
               {qdpCenterLeft, 5, 7, 1023, 600, 5, 109},
               {qdpTopCenter, -3, 4, 1025, 600, 271, 4},  // 273.5 rounds up to 274, then -3
               {qdpBottomLeft, 1, 2, 800, 600, 1, 185}};
  for (const TCase& C : Cases) {
    const POINT P = DialogPlacement(C.P, C.DX, C.DY, 478, 395, C.SW, C.SH, 18);
    EXPECT_EQ(P.x, C.Left) << C.P;
    EXPECT_EQ(P.y, C.Top) << C.P;
  }
}

TEST_F(DialogManager, CopyWindowsLiveFromTheFirstStatusToCopyDoneAndCheckTheirParameters) {
  TDialogManager* M = Manager(dmDuringCopyFiles, "CopyManager");
  Manager(dmBeforeInstall, "OtherPhase");  // hears every status too, and ignores it
  auto Message = [&](int32_t Code, TBroadcastParameter* P) -> std::string {
    try {
      Install->Broadcast(Install, Code, P);
    } catch (const IException& E) {
      return E.Message();
    }
    return "";
  };
  TFileStatusParameter File;
  TDownloadStatusParameter Download;
  EXPECT_EQ(Message(ncFileStatus, nullptr), "CopyManager got a nil PO parameter");
  EXPECT_EQ(Message(ncDownloadStatus, nullptr), "CopyManager got a nil PO parameter");
  EXPECT_EQ(Message(ncFileStatus, &Download), "The PO object passed to CopyManager is not a TFileStatusParameter object");
  EXPECT_EQ(Message(ncDownloadStatus, &File), "The PO object passed to CopyManager is not a TDownloadStatusParameter object");
  EXPECT_TRUE(M->StatusWindows().empty());

  File.FilePercentDone = 40;
  EXPECT_EQ(Message(ncFileStatus, &File), "");
  ASSERT_EQ(M->StatusWindows().size(), 1u);
  auto* W = dynamic_cast<TTestCopyForm*>(M->StatusWindows()[0]);
  ASSERT_TRUE(W);
  EXPECT_TRUE(IsWindowVisible(W->Handle()));
  Download.PercentDone = 70;
  Message(ncDownloadStatus, &Download);
  EXPECT_EQ(M->StatusWindows(), std::vector<TBaseDuringCopyForm*>{W});
  EXPECT_EQ(W->Percent, 70);

  // Cancel stops the engine only when OnUserAbort agrees; the window stays.
  bool Agree = false;
  Install->OnUserAbort = [&](TCustomInstall*, bool& QuitOut) { QuitOut = Agree; };
  W->CancelCopy();
  EXPECT_FALSE(QrvnCompress().Abort());
  EXPECT_EQ(W->ModalResult(), mrAbort);
  Agree = true;
  W->CancelCopy();
  EXPECT_TRUE(QrvnCompress().Abort());

  Message(ncCopyDone, nullptr);
  EXPECT_TRUE(M->StatusWindows().empty());
  Message(ncFileStatus, &File);
  ASSERT_EQ(M->StatusWindows().size(), 1u);
  EXPECT_EQ(dynamic_cast<TTestCopyForm*>(M->StatusWindows()[0])->Percent, 40);
}

TEST_F(DialogManager, TheChangeDiskWindowChecksItsParameterAndAnswersForTheFile) {
  Manager(dmChangeDisk, "DiskManager");
  auto* File = new TInstallFile(Main);
  TDiskParameter Disk;
  Disk.DiskNumber = 2;
  Disk.Path = "A:\\";
  TListParameter One, BadFirst, BadSecond, Good;
  One.Items = {File};
  BadFirst.Items = {&Disk, &Disk};
  BadSecond.Items = {File, File};
  Good.Items = {File, &Disk};
  auto Message = [&](TBroadcastParameter* P) -> std::string {
    try {
      Install->Broadcast(Install, ncNewDisk, P);
    } catch (const EQIUserAbort&) {
      return "user abort";
    } catch (const Exception& E) {
      return E.Message();
    }
    return "";
  };
  EXPECT_EQ(Message(nullptr), "The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form");
  EXPECT_EQ(Message(&Disk), "TChangeDiskDlg--PO is not a TList object");
  EXPECT_EQ(Message(&One), "TChangeDiskDlg--Not engouh parameters for status event");
  EXPECT_EQ(Message(&BadFirst), "TChangeDiskDlg says bad first parameter");
  EXPECT_EQ(Message(&BadSecond), "TChangeDiskDlg says bad second parameter");
  EXPECT_EQ(File->Tag, 0);
  EXPECT_EQ(CurrentDialogManager(), nullptr);

  WhileModal({[&] {
               EXPECT_EQ(File->Tag, 1);
               Drive("click \"Disk under test\" Proceed");
             }},
             [&] { EXPECT_EQ(Message(&Good), ""); });
  EXPECT_EQ(Disk.Path, "D:\\SECOND");
  WhileModal({[&] { Drive("click \"Disk under test\" Cancel"); }},
             [&] { EXPECT_EQ(Message(&Good), "user abort"); });
  EXPECT_EQ(CurrentDialogManager(), nullptr);
}

}  // namespace
