#include "ui/ordlg_GoodInstallForm.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TGoodInstallForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TGoodInstallForm>("TGoodInstallForm", &TWizardPage::StaticClass()).Creatable().Build();
  return Info;
}

TGoodInstallForm::TGoodInstallForm(TComponent* AOwner) : TWizardPage(AOwner, dmAfterGoodInstall, 10) {}
