#include "apps/setup/routines_Startup.h"

#include "apps/setup/cmp_TSetupMainForm.h"
#include "archive/routines_Compression.h"
#include "controls/cmp_TApplication.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "model/cmp_TVersion.h"
#include "model/routines_Registration.h"
#include "system/routines_SystemRegistration.h"
#include "ui/routines_UiRegistration.h"
#include "ui/routines_WizardPages.h"

void RegisterSetupClasses() {
  RegisterControlsClasses();
  RegisterModelClasses();
  RegisterInstallClasses();
  RegisterSystemClasses();
  RegisterUiClasses();
  RegisterWizardPages();
  // Long operations let the window messages run between buffers, so that
  // Cancel buttons are heard; the version reader serves the comparisons.
  SetProcessMessagesHook([] {
    if (Application) Application->ProcessMessages();
  });
  VersionResource();
  RegisterComponentClass(TSetupMainForm::StaticClass());
}

std::string ProjectTitle() {
  const void* Data = nullptr;
  size_t Size = 0;
  if (!FindStreamResource("QVTITLE", Data, Size)) return "Setup";
  std::string T(static_cast<const char*>(Data), Size);
  while (!T.empty() && (T.back() == '\0' || T.back() == '\n' || T.back() == '\r')) T.pop_back();
  return T.empty() ? "Setup" : T;
}

const std::vector<std::string>& PageFormClassNames() {
  static const std::vector<std::string> Names = {
      "TLicenseForm",       "TReadmeForm",     "TWelcomeForm",     "TCopyFileForm",
      "TFileGroupSelectForm", "TBadInstallForm", "TGoodInstallForm", "TSelectFolderForm",
      "TChangeDiskForm",    "TRebootForm",     "TSelectLanguageForm"};
  return Names;
}

void CreatePageForms(TApplication& App) {
  // A page is part of the program when its unit registered its class; each
  // reads its own stream from the resource named after the class.
  for (const std::string& Name : PageFormClassNames())
    if (const TClassInfo* Info = FindClass(Name)) App.CreateForm(*Info);
}
