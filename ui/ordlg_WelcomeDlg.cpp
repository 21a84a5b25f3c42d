#include "ui/ordlg_WelcomeDlg.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TWelcomeForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TWelcomeForm>("TWelcomeForm", &TWizardPage::StaticClass()).Creatable().Build();
  return Info;
}

TWelcomeForm::TWelcomeForm(TComponent* AOwner) : TWizardPage(AOwner, dmBeforeInstall, 5) {}
