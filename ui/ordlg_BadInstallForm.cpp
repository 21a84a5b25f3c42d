#include "ui/ordlg_BadInstallForm.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TBadInstallForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TBadInstallForm>("TBadInstallForm", &TWizardPage::StaticClass()).Creatable().Build();
  return Info;
}

TBadInstallForm::TBadInstallForm(TComponent* AOwner) : TWizardPage(AOwner, dmAfterBadInstall, 10) {}
