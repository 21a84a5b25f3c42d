#include "ui/dlgcmp_TBaseContainer.h"

#include "controls/cmp_TStdCtrls.h"
#include "controls/cmp_TTabControl.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TBaseInstallForm.h"
#include "ui/dlgcmp_TBaseDlg.h"

const TClassInfo& TBaseFormContainer::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TBaseFormContainer>("TBaseFormContainer", &TForm::StaticClass()).Build();
  return Info;
}

TBaseFormContainer::TBaseFormContainer(TComponent* AOwner) : TForm(AOwner) {
  // The designed frame: a dialog without a close box, Arial, 487 x 368.
  SetBorderStyle(bsDialog);
  SetBorderIcons(0);
  Font()->Name = "Arial";
  SetStoredClientWidth(487);
  SetStoredClientHeight(368);
  // A name for the window driver: the caption changes with the page and the
  // language.  Only one wizard of an owner carries it.
  if (!AOwner || !AOwner->FindComponent("BaseFormContainer")) SetName("BaseFormContainer");
  FTabs = new TTabControl(this);
  FTabs->SetName("Tabs");
  FTabs->SetParent(this);
  FTabs->SetAlign(alTop);
  FTabs->SetHeight(0);
  FTabs->SetVisible(false);
  FTabs->OnChange = [this](TPersistent* S) { TabsChange(S); };
  FTabs->OnChanging = [this](TPersistent* S, bool& Allow) { TabsChanging(S, Allow); };
  FDisplayPanel = new TPanel(this);
  FDisplayPanel->SetName("DisplayPanel");
  FDisplayPanel->SetParent(this);
  FDisplayPanel->SetAlign(alClient);
  FDisplayPanel->SetBevelOuter(bvNone);
  OnShow = [this](TPersistent* S) { FormShow(S); };
  OnClose = [this](TPersistent* S, TCloseAction& A) { FormClose(S, A); };
  OnResize = [this](TPersistent* S) { FormResize(S); };
  OnDestroy = [this](TPersistent* S) { FormDestroy(S); };
  FormCreate(this);
}

TBaseFormContainer::~TBaseFormContainer() {
  // The pages are owned components: they go with the form, after it has
  // stopped listening to them.
  OnResize = nullptr;
}

void TBaseFormContainer::FormCreate(TPersistent*) {
  Font()->Charset = 0;
  FResizeGuard = true;
  SetHeight(395);
  SetWidth(478);
  FResizeGuard = false;
  FFinished = false;
}

void TBaseFormContainer::FormDestroy(TPersistent*) { FPages.clear(); }

int TBaseFormContainer::IndexOfPage(const TBaseInstallForm* Page) const {
  for (size_t i = 0; i < FPages.size(); ++i)
    if (FPages[i] == Page) return static_cast<int>(i);
  return -1;
}

int TBaseFormContainer::PageIndex() const { return FTabs->TabIndex(); }

int TBaseFormContainer::BuildPages() {
  TDialogManager* Current = CurrentDialogManager();
  if (!Current) throw IException("The current dialog manager is not defined");
  for (const TBIFEntry& E : InstallFormList()) {
    TCustomBaseInstallDlg* DC = E.DialogComponent;
    if (DC && (DC->DialogManager() != Current || !DC->ShouldShow())) continue;
    auto* Page = dynamic_cast<TBaseInstallForm*>(CreateKitForm(*E.FormClass, this));
    if (!DC && Page->DM != Current) {
      RemoveComponent(Page);
      delete Page;
      continue;
    }
    if (DC) {
      Page->DC = DC;
      Page->Container = DC->Container();
      Page->Order = DC->Order();
      DC->Dialog = Page;
      DC->AssignDialogProperties();
    }
    AddPage(Page);
  }
  SortPages();
  return PageCount();
}

void TBaseFormContainer::AddPage(TBaseInstallForm* Page) {
  FTabs->Tabs()->Add(Page->ClassName());
  // A page class without a designed stream was never loaded.
  Page->BecomeChildPage();
  // The pages are designed unscaled; in the wizard they grow with it.
  if (!Page->Scaled) Page->ScaleToScreen();
  Page->SetBounds(FDisplayPanel->Left(), FDisplayPanel->Top(), FDisplayPanel->Width(), FDisplayPanel->Height());
  Page->ApplyLanguage();
  FPages.push_back(Page);
}

void TBaseFormContainer::SortPages() {
  // This exchange sort, not a stable one: pages of equal Order end where its
  // exchanges put them.
  for (size_t i = 0; i < FPages.size(); ++i)
    for (size_t j = i + 1; j < FPages.size(); ++j)
      if (FPages[j]->Order < FPages[i]->Order) std::swap(FPages[i], FPages[j]);
  // Tab i names page i again.
  for (size_t i = 0; i < FPages.size(); ++i)
    FTabs->Tabs()->SetStrings(static_cast<int>(i), FPages[i]->ClassName());
}

bool TBaseFormContainer::GoTo(int Index, bool Backward) {
  while (Index >= 0 && Index < PageCount()) {
    TBaseInstallForm* Page = Pages(Index);
    if (Page->SkipPage()) {
      Index += Backward ? -1 : 1;
      continue;
    }
    FTabs->SetTabIndex(Index);
    ShowPageCaption(Page);
    // Only the page shown is visible: the keys and the window driver must
    // not reach the buttons of the pages beneath it.
    Page->SetVisible(true);
    Page->ActivatePage();
    for (TBaseInstallForm* Other : FPages)
      if (Other != Page && Other->Visible()) Other->SetVisible(false);
    return true;
  }
  return false;
}

void TBaseFormContainer::ShowPageCaption(TBaseInstallForm* Page) {
  if (Font()->Charset != Page->Font()->Charset) {
    Font()->Charset = Page->Font()->Charset;
    Font()->Changed();
  }
  SetCaption(Page->Caption());
}

void TBaseFormContainer::FormShow(TPersistent*) {
  if (!GoTo(0, true)) GoTo(0, false);
}

void TBaseFormContainer::TabsChange(TPersistent*) {
  const int i = PageIndex();
  if (!GoTo(i, true)) GoTo(i, false);
}

void TBaseFormContainer::TabsChanging(TPersistent*, bool&) {
  const int i = PageIndex();
  if (i >= 0 && i < PageCount()) Pages(i)->LeavingPage();
}

void TBaseFormContainer::NextPage() {
  const int i = PageIndex();
  if (!GoTo(i + 1, false)) GoTo(i + 1, true);
  if (PageIndex() == i) {
    FFinished = true;
    SetModalResult(mrOk);
    // A modal run closes the window itself once it sees the result.
    if (!Modal()) Close();
  }
}

void TBaseFormContainer::PreviousPage() {
  const int i = PageIndex();
  if (!GoTo(i - 1, true)) GoTo(i - 1, false);
}

void TBaseFormContainer::PlaceOnScreen(TQuorvaneDialogPosition Position, int32_t DX, int32_t DY) {
  PlaceFormOnScreen(*this, Position, DX, DY);
}

void TBaseFormContainer::FormClose(TPersistent*, TCloseAction& Action) {
  if (!FFinished && ModalResult() != mrAbort) Action = caNone;
}

void TBaseFormContainer::FormResize(TPersistent*) {
  if (FResizeGuard) return;
  for (TBaseInstallForm* Page : FPages)
    Page->SetBounds(FDisplayPanel->Left(), FDisplayPanel->Top(), FDisplayPanel->Width(), FDisplayPanel->Height());
}
