#include "apps/setup/routines_Startup.h"

#include "apps/setup/cmp_TSetupMainForm.h"
#include "archive/routines_Compression.h"
#include "controls/cmp_TApplication.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_RunOptions.h"
#include "i18n/cmp_TTranslator.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/cmp_TVersion.h"
#include "model/routines_Registration.h"
#include "rtl/routines_Strings.h"
#include "system/cmp_TInstallShellLink.h"
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

namespace {

// /COMPONENTS=: the file groups named (by GroupName or by component name)
// are installed, with the groups they lie in; the other file groups the
// user may choose are not.
void SelectComponents(const std::string& List) {
  const std::vector<std::string> Names = ComponentNames(List);
  std::vector<bool> Found(Names.size(), false);
  for (TInstallContainer* C : InstallContainerList().Data()) {
    auto* Group = dynamic_cast<TInstallFileGroup*>(C);
    if (!Group) continue;
    if (Group->AllowChoice) Group->Include = false;
    for (size_t i = 0; i < Names.size(); ++i)
      if (SameText(Names[i], Group->GroupName) || SameText(Names[i], Group->Name())) {
        Group->Include = true;
        Found[i] = true;
      }
  }
  // A group is installed only with the group it lies in.
  for (TInstallContainer* C : InstallContainerList().Data()) {
    auto* Group = dynamic_cast<TInstallFileGroup*>(C);
    if (!Group || !Group->Include) continue;
    for (auto* Outer = dynamic_cast<TInstallFileGroup*>(Group->Container()); Outer;
         Outer = dynamic_cast<TInstallFileGroup*>(Outer->Container()))
      Outer->Include = true;
  }
  for (size_t i = 0; i < Names.size(); ++i)
    if (!Found[i]) throw IEInstall("/COMPONENTS names %s, which is no file group of this setup", Names[i]);
}

void SelectLanguage(const std::string& Name) {
  TTranslator* T = Translator();
  if (!T) throw IEInstall("/LANG names %s, but this setup has no languages", Name);
  for (int L = 0; L < QrvnLanguageCount; ++L) {
    const auto Lang = static_cast<TQrvnLanguage>(L);
    if (Lang != qlUser && SameText(LangIdToString(Lang), Name)) {
      T->SetTranslateIntoLanguage(Lang);
      return;
    }
  }
  throw IEInstall("/LANG names %s, which is no language of this setup", Name);
}

}  // namespace

void ApplyRunOptions() {
  const TRunOptions& O = RunOptions();
  TCustomInstall* Install = dynamic_cast<TCustomInstall*>(CurrentInstall());
  if (!Install) return;
  if (O.DirGiven) {
    // As the folder page sets it: a folder of its own, no longer relative.
    Install->SetDestDirType(nullptr);
    Install->SetDestDir(RemoveBackslash(O.Dir));
  }
  if (O.GroupGiven) {
    TMainLinkGroup* G = MainLinkGroup();
    if (!G) throw IEInstall("/GROUP names %s, but this setup creates no program folder", O.Group);
    G->SetDestDirType(StandardSpecifier<TpsProgramMenu>());
    G->SetDestDir("\\" + O.Group);
  }
  if (O.ComponentsGiven) SelectComponents(O.Components);
  if (O.LangGiven) SelectLanguage(O.Lang);
}
