#include "model/routines_Registration.h"

#include "model/cmp_TFileContainer.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TInstallFolder.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/cmp_TUninstallEXE.h"
#include "environment/routines_ExpandPaths.h"
#include "net/cmp_TNetInstallLocation.h"

void RegisterModelClasses() {
  RegisterNetClasses();
  RegisterPathSpecifierClasses();
  RegisterFileContainerClasses();
  RegisterInstallFileClasses();
  RegisterUninstallEXEClasses();
  RegisterInstallFolderClasses();
  // The meta variables %a, %c and %i ask the install objects.
  TMetaVariableHooks H;
  H.DestPath = [](TComponent* Obj) {
    auto* C = dynamic_cast<TInstallContainer*>(Obj);
    return C ? C->GetDestPath() : std::string();
  };
  H.Container = [](TComponent* Obj) -> TComponent* {
    auto* O = dynamic_cast<TInstallObject*>(Obj);
    return O ? O->Container() : nullptr;
  };
  H.CurrentInstall = []() -> TComponent* {
    IInstallRun* I = CurrentInstall();
    return I ? I->AsFileContainer() : nullptr;
  };
  SetMetaVariableHooks(H);
}
