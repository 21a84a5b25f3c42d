#include "model/cmp_TInstallFolder.h"

#include "model/cmp_TInstallContainer.h"
#include "rtl/routines_ClassBuilder.h"

const TEnumInfo SubfolderModeInfo{"TSubfolderMode", {"sfDestDirs", "sfGroups"}};

const TClassInfo& TInstallFolder::StaticClass() {
  using C = TInstallFolder;
  static const TClassInfo Info = TClassBuilder<C>("TInstallFolder", &TComponent::StaticClass())
                                     .Creatable()
                                     .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
                                     .Str("SourceDir", &C::SourceDir, "")
                                     .Str("Masks", &C::Masks, "*")
                                     .Str("Exclude", &C::Exclude, "")
                                     .Bool("Recursive", &C::Recursive, true)
                                     .Str("DestDir", &C::DestDir, "")
                                     .Enum("Subfolders", SubfolderModeInfo, &C::Subfolders, sfDestDirs)
                                     .Enum("OverwriteMode", OverwriteTypeInfo(), &C::OverwriteMode, owAlways)
                                     .Build();
  return Info;
}

void TInstallFolder::SetContainer(TInstallContainer* Value) {
  if (FContainer == Value) return;
  if (FContainer) FContainer->RemoveFreeNotification(this);
  FContainer = Value;
  if (Value) Value->FreeNotification(this);
}

void TInstallFolder::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FContainer) FContainer = nullptr;
}

void RegisterInstallFolderClasses() { RegisterComponentClass(TInstallFolder::StaticClass()); }
