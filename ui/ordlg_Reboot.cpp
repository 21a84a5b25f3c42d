#include "ui/ordlg_Reboot.h"

#include "engine/cmp_TInstall.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Scope.h"

namespace {
TCustomInstall* RunningInstall() { return dynamic_cast<TCustomInstall*>(CurrentInstall()); }
}  // namespace

const TClassInfo& TRebootForm::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TRebootForm>("TRebootForm", &TWizardPage::StaticClass())
                                     .Creatable()
                                     .Method<void(TPersistent*)>("RGClick", &TRebootForm::RGClick)
                                     .Build();
  return Info;
}

TRebootForm::TRebootForm(TComponent* AOwner) : TWizardPage(AOwner, dmReboot, 10) {
  // Enter presses Finish anyway (it is the default button); the focus stays
  // where the user can see the question.
  FocusFinish = false;
}

void TRebootForm::Loaded() {
  TWizardPage::Loaded();
  FRG = Part<TRadioGroup>("RG");
}

void TRebootForm::PreparePage() {
  TWizardPage::PreparePage();
  FGuard = true;
  TFinally Clear([this] { FGuard = false; });
  FRG->SetItemIndex(1);
  if (TCustomInstall* I = RunningInstall(); I && I->Reboot) FRG->SetItemIndex(0);
}

void TRebootForm::RGClick(TPersistent*) {
  if (FGuard) return;
  if (TCustomInstall* I = RunningInstall()) I->Reboot = FRG->ItemIndex() == 0;
}
