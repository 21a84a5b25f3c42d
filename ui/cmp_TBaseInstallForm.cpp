#include "ui/cmp_TBaseInstallForm.h"

#include "engine/cmp_TInstall.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/dlgcmp_TBaseContainer.h"
#include "ui/dlgcmp_TBaseDlg.h"

bool UserMayAbort() {
  auto* Install = dynamic_cast<TCustomInstall*>(CurrentInstall());
  return Install ? Install->UserAbort() : true;
}

const TClassInfo& TBaseInstallForm::StaticClass() {
  using C = TBaseInstallForm;
  static const TClassInfo Info =
      TClassBuilder<C>("TBaseInstallForm", &TBaseQuorvaneForm::StaticClass())
          .Ref("DC", TCustomBaseInstallDlg::StaticClass(), &C::DC, &C::DC)
          .Ref("DM", TDialogManager::StaticClass(), &C::DM, &C::DM)
          .Int("Order", &C::Order, 0)
          .Build();
  return Info;
}

TBaseInstallForm::TBaseInstallForm(TComponent* AOwner) : TBaseQuorvaneForm(AOwner) {}

TBaseInstallForm::~TBaseInstallForm() {
  if (DC && DC->Dialog == this) DC->Dialog = nullptr;
}

namespace {
TCustomForm* OwnerForm(const TComponent* C) { return dynamic_cast<TCustomForm*>(C->Owner()); }
}  // namespace

void TBaseInstallForm::CreateParams(TCreateParams& Params) {
  TBaseQuorvaneForm::CreateParams(Params);
  if (TCustomForm* Owner = OwnerForm(this)) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (FVisible ? WS_VISIBLE : 0);
    // Tab and the arrows reach into the page from the wizard's own keys.
    Params.ExStyle |= WS_EX_CONTROLPARENT;
    Params.X = 0;
    Params.Y = 0;
    Params.WndParent = Owner->Handle();
  }
}

void TBaseInstallForm::Loaded() {
  TBaseQuorvaneForm::Loaded();
  BecomeChildPage();
}

void TBaseInstallForm::BecomeChildPage() {
  TCustomForm* Owner = OwnerForm(this);
  if (!Owner || FIsChildPage) return;
  FIsChildPage = true;
  SetVisible(false);
  SetPosition(poDefault);
  SetBorderIcons(0);
  SetBorderStyle(bsNone);
  SetParent(Owner);
  HandleNeeded();
  SetBounds(0, 0, Owner->ClientWidth(), Owner->Height());
}

void TBaseInstallForm::LanguageChanged() {
  TBaseQuorvaneForm::LanguageChanged();
  TBaseFormContainer* C = OwnerContainer();
  if (C && C->PageIndex() >= 0 && C->Pages(C->PageIndex()) == this) C->ShowPageCaption(this);
}

TBaseFormContainer* TBaseInstallForm::OwnerContainer() const {
  return dynamic_cast<TBaseFormContainer*>(Owner());
}

bool TBaseInstallForm::IsFirstPage() {
  TBaseFormContainer* C = OwnerContainer();
  if (!C) return false;
  for (int i = 0; i < C->PageIndex(); ++i)
    if (!C->Pages(i)->SkipPage()) return false;
  return true;
}

bool TBaseInstallForm::IsLastPage() {
  TBaseFormContainer* C = OwnerContainer();
  return C && C->PageIndex() + 1 == C->PageCount();
}

void TBaseInstallForm::CancelNow() {
  if (TBaseFormContainer* C = OwnerContainer())
    C->SetModalResult(mrAbort);
  else
    SetModalResult(mrAbort);
}

void TBaseInstallForm::NextPage() {
  if (TBaseFormContainer* C = OwnerContainer()) C->NextPage();
}

void TBaseInstallForm::PreviousPage() {
  if (TBaseFormContainer* C = OwnerContainer()) C->PreviousPage();
}

void TBaseInstallForm::ActivatePage() {
  if (!OwnerForm(this)) return;
  PreparePage();
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TBaseInstallForm::CancelWithConfirm() {
  if (UserMayAbort()) CancelNow();
}

void TBaseInstallForm::LoadThemeBitmap(TPicture* Picture) {
  auto* Install = dynamic_cast<TCustomInstall*>(CurrentInstall());
  if (!Picture || !Install || !Install->DialogThemeBitmap()) return;
  const TPicture& Theme = *Install->DialogThemeBitmap();
  Picture->SetGraphic(Theme.GraphicClassName(), Theme.Data());
}
