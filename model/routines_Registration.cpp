#include "model/routines_Registration.h"

#include "model/cmp_TFileContainer.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/cmp_TUninstallEXE.h"
#include "net/cmp_TNetInstallLocation.h"

void RegisterModelClasses() {
  RegisterNetClasses();
  RegisterPathSpecifierClasses();
  RegisterFileContainerClasses();
  RegisterInstallFileClasses();
  RegisterUninstallEXEClasses();
}
