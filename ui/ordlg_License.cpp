#include "ui/ordlg_License.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TLicenseForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TLicenseForm>("TLicenseForm", &TWizardPage::StaticClass()).Creatable().Build();
  return Info;
}

TLicenseForm::TLicenseForm(TComponent* AOwner) : TWizardPage(AOwner, dmBeforeInstall, 20) {}

void TLicenseForm::Loaded() {
  TWizardPage::Loaded();
  FAgreement = Part<TRichEdit>("Agreement");
}
