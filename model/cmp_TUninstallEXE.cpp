#include "model/cmp_TUninstallEXE.h"

#include "engine/routines_Registry.h"
#include "model/cmp_TPathSpecifier.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"

const TClassInfo& TUninstallEXE::StaticClass() {
  using C = TUninstallEXE;
  static const TClassInfo Info =
      TClassBuilder<C>("TUninstallEXE", &TCustomInstallFile::StaticClass())
          .Creatable()
          .Str("ArchiveFile", &C::ArchiveFile, &C::SetArchiveFile, "")
          .Ref("ArchiveFileType", TCustomPathSpecifier::StaticClass(), &C::ArchiveFileType,
               &C::SetArchiveFileType)
          .Enum("AddToArchive", LzhCommandInfo, &C::AddToArchive, lzcOverwrite)
          .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
          .Str("DestDir", &C::DestDir, &C::SetDestDir, "")
          .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &C::DestDirType, &C::SetDestDirType)
          .Bool("Include", &C::Include, true)
          .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes,
               InstallTypeBit(itAlways))
          .Int("Order", &C::Order, &C::SetOrder, -1)
          .NoDefault()
          .Str("DestName", &C::DestName, &C::SetDestName, "")
          .Str("FileName", &C::FileName, &C::SetFileName, "")
          .Enum("FileType", InstallFileTypeInfo, &C::FileType, &C::SetFileType, iftNormal)
          .Str("IncludeFromDir", &C::IncludeFromDir, &C::SetIncludeFromDir, "")
          .Bool("Net", &C::Net, &C::SetNet, true)
          .Ref("NetLocation", TCustomNetInstallLocation::StaticClass(), &C::NetLocation, &C::SetNetLocation)
          .Enum("OverwriteMode", OverwriteTypeInfo(), &C::OverwriteMode, owAlways)
          .Enum("State", InstallFileStateInfo, &C::State, &C::SetState, ifsNone)
          .Bool("UpdateDLLCounter", &C::UpdateDLLCounter, false)
          .Event("OnAfterCompress", &C::OnAfterCompress)
          .Event("OnAfterCopy", &C::OnAfterCopy)
          .Event("OnAfterInstall", &C::OnAfterInstall)
          .Event("OnBeforeCompress", &C::OnBeforeCompress)
          .Event("OnBeforeCopy", &C::OnBeforeCopy)
          .Event("OnBeforeInstall", &C::OnBeforeInstall)
          .Event("OnStatus", &C::OnStatus)
          .Event("OnNewDisk", &C::OnNewDisk)
          .Event("OnReplacing", &C::OnReplacing)
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
  const std::string Product = I->ProductName();
  RegWriteString(hkLocalMachine, Key, "DisplayName", Product);
  RegWriteString(hkLocalMachine, Key, "UninstallString",
                 AddBackslash(GetDestPath()) + DestName() + " " + Product);
}

void RegisterUninstallEXEClasses() { RegisterComponentClass(TUninstallEXE::StaticClass()); }
