#include "model/cmp_TFileContainer.h"

#include "model/cmp_TPathSpecifier.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TFileContainer::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TFileContainer>("TFileContainer", &TFileRelated::StaticClass()).Build();
  return Info;
}

TFileContainer::TFileContainer(TComponent* AOwner)
    : TFileRelated(AOwner), FDescription(new TStrings) {}

TFileContainer::~TFileContainer() { delete FDescription; }

// The published face of a group: what an author sets in a project.
const TClassInfo& TInstallFileGroup::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TInstallFileGroup>("TInstallFileGroup", &TFileContainer::StaticClass())
          .Creatable()
          .Enum("AddToArchive", LzhCommandInfo, &TInstallFileGroup::AddToArchive, lzcOverwrite)
          .Bool("AllowChangeDir", &TInstallFileGroup::AllowChangeDir, true)
          .Bool("AllowChoice", &TInstallFileGroup::AllowChoice, true)
          .Str("ArchiveFile", &TInstallFileGroup::ArchiveFile, &TInstallFileGroup::SetArchiveFile, "")
          .Ref("ArchiveFileType", TCustomPathSpecifier::StaticClass(),
               &TInstallFileGroup::ArchiveFileType, &TInstallFileGroup::SetArchiveFileType)
          .Ref("Container", TInstallContainer::StaticClass(), &TInstallFileGroup::Container,
               &TInstallFileGroup::SetContainer)
          .Object("Description", &TInstallFileGroup::Description)
          .Str("DestDir", &TInstallFileGroup::DestDir, &TInstallFileGroup::SetDestDir, "")
          .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &TInstallFileGroup::DestDirType,
               &TInstallFileGroup::SetDestDirType)
          .Str("GroupName", &TInstallFileGroup::GroupName, "")
          .Bool("Include", &TInstallFileGroup::Include, true)
          .Set("InstallTypes", InstallTypeInfo, &TInstallFileGroup::InstallTypes,
               &TInstallFileGroup::SetInstallTypes, InstallTypeBit(itAlways))
          .Bool("Net", &TInstallFileGroup::Net, &TInstallFileGroup::SetNet, true)
          .Int("Order", &TInstallFileGroup::Order, &TInstallFileGroup::SetOrder, -1)
          .NoDefault()
          .Event("OnAfterProcess", &TInstallFileGroup::OnAfterProcess)
          .Event("OnBeforeProcess", &TInstallFileGroup::OnBeforeProcess)
          .Build();
  return Info;
}

TInstallFileGroup::TInstallFileGroup(TComponent* AOwner) : TFileContainer(AOwner) {
  AutoInstall = true;
}

void RegisterFileContainerClasses() { RegisterComponentClass(TInstallFileGroup::StaticClass()); }
