#include "system/routines_SystemRegistration.h"

#include "system/cmp_TInstallRegistry.h"
#include "system/cmp_TInstallShellLink.h"

void RegisterSystemClasses() {
  RegisterInstallRegistryClasses();
  RegisterShellLinkClasses();
}
