#include "ui/dlgcmp_TBaseDlg.h"

#include "controls/cmp_TApplication.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TBaseInstallForm.h"

const TClassInfo& TCustomBaseInstallDlg::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomBaseInstallDlg>("TCustomBaseInstallDlg", &TInstallObject::StaticClass()).Build();
  return Info;
}

TCustomBaseInstallDlg::TCustomBaseInstallDlg(TComponent* AOwner)
    : TInstallObject(AOwner), FThemeBitmap(new TPicture) {
  FOrder = 0;
}

TCustomBaseInstallDlg::~TCustomBaseInstallDlg() {
  Destroying();
  SetDialogManager(nullptr);
}

void TCustomBaseInstallDlg::ContainerDestroyed(TInstallContainer* Container) {
  TInstallObject::ContainerDestroyed(Container);
  // Compared as containers: the manager is in its destructor already.
  if (Container == static_cast<TInstallContainer*>(FDialogManager)) FDialogManager = nullptr;
}

void TCustomBaseInstallDlg::LanguageChanged(int) { ApplyLanguage(); }

void TCustomBaseInstallDlg::SetDialogManager(TDialogManager* Manager) {
  if (Manager == FDialogManager) return;
  if (Manager) Manager->AddDialog(this);
  if (FDialogManager) FDialogManager->RemoveDialog(this);
  FDialogManager = Manager;
}

void TCustomBaseInstallDlg::SetThemeBitmap(const TPicture& Picture) {
  FThemeBitmap->SetGraphic(Picture.GraphicClassName(), Picture.Data());
}

void TCustomBaseInstallDlg::ApplyLanguage() {
  if (Dialog) ApplyLanguageTo(*Dialog, TranslateFonts, TranslateTexts, CurrentLanguage, UseOwnLanguage, OwnLanguage);
}

void TCustomBaseInstallDlg::AssignDialogProperties() {
  if (!Dialog) throw IException("Cannot AssignDialogProperties for %s because the Dialog is Nil", Name());
  if (auto* F = dynamic_cast<TBaseQuorvaneForm*>(Dialog)) {
    F->TranslateFonts = TranslateFonts;
    F->TranslateTexts = TranslateTexts;
    F->Container = Container();
    F->UseOwnLanguage = UseOwnLanguage;
    F->OwnLanguage = OwnLanguage;
  }
  if (auto* P = dynamic_cast<TBaseInstallForm*>(Dialog)) P->DC = this;
  ApplyLanguage();
}

bool TCustomBaseInstallDlg::Execute() {
  try {
    if (OnBeforeShowDialog) OnBeforeShowDialog(this);
    const bool Result = ShowDialog();
    if (Application) Application->ProcessMessages();
    if (OnAfterShowDialog) OnAfterShowDialog(this);
    return Result;
  } catch (const EAbort&) {
    return false;
  }
}

bool TCustomBaseInstallDlg::ShowDialog() {
  if (!ShouldShow()) return true;
  std::unique_ptr<TCustomForm> Form(CreateKitForm(DialogClass(), Application));
  Dialog = Form.get();
  struct TForget {
    TCustomForm*& Dialog;
    ~TForget() { Dialog = nullptr; }
  } Forget{Dialog};
  AssignDialogProperties();
  Form->SetPosition(poDesigned);
  PlaceFormOnScreen(*Form, Position, RelativeLeftOffset, RelativeTopOffset);
  if (Form->ShowModal() != mrOk) throw EQIUserAbort();
  return true;
}

void TCustomBaseInstallDlg::Notification(TComponent* AComponent, TOperation Operation) {
  TInstallObject::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == Dialog) Dialog = nullptr;
}
