#include "ui/routines_WizardPages.h"

#include "rtl/cmp_TComponent.h"
#include "ui/ordlg_BadInstallForm.h"
#include "ui/ordlg_GoodInstallForm.h"
#include "ui/ordlg_License.h"
#include "ui/ordlg_Readme.h"
#include "ui/ordlg_Reboot.h"
#include "ui/ordlg_SelectFolder.h"
#include "ui/ordlg_SelectLanguage.h"
#include "ui/ordlg_WelcomeDlg.h"

void RegisterWizardPages() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  // The file group page would come between the welcome and the failure
  // page; it registers itself where it is built.
  for (const TClassInfo* Page :
       {&TLicenseForm::StaticClass(), &TReadmeForm::StaticClass(), &TWelcomeForm::StaticClass(),
        &TBadInstallForm::StaticClass(), &TGoodInstallForm::StaticClass(),
        &TSelectFolderForm::StaticClass(), &TRebootForm::StaticClass(),
        &TSelectLanguageForm::StaticClass()}) {
    RegisterComponentClass(*Page);
    RegisterInstallForm(*Page);
  }
}
