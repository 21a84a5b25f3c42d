#include "model/cmp_TUninstallEXE.h"
#include "model/routines_InstallFileProps.h"

#include "environment/routines_RegistryStore.h"
#include "model/cmp_TPathSpecifier.h"
#include "net/cmp_TNetInstallLocation.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"

const TClassInfo& TUninstallEXE::StaticClass() {
  using C = TUninstallEXE;
  static const TClassInfo Info =
      InstallFileProps(TClassBuilder<C>("TUninstallEXE", &TCustomInstallFile::StaticClass()))
          .Bool("Net", &C::Net, &C::SetNet, true)
          .Enum("State", InstallFileStateInfo, &C::State, &C::SetState, ifsNone)
          .Build();
  return Info;
}

TUninstallEXE::TUninstallEXE(TComponent* AOwner) : TCustomInstallFile(AOwner) { FNet = true; }

void TUninstallEXE::WriteUninstallInfo(const std::string& Key) {
  IInstallRun* I = CurrentInstall();
  if (!I)
    throw IEUninstallEXE(
        "%s could not write information about the uninstall to the registry because there was no "
        "TInstall component",
        Name());
  TRegistryStore Machine(hkLocalMachine);
  WriteUninstallProgram(Machine, Key, I->ProductName(), AddBackslash(GetDestPath()) + DestName());
}

void RegisterUninstallEXEClasses() { RegisterComponentClass(TUninstallEXE::StaticClass()); }
