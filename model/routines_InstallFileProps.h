// The published properties every kind of install file shares, for the
// classes that publish them (the install file and the uninstaller file).
#pragma once

#include "model/cmp_TInstallFile.h"
#include "model/cmp_TPathSpecifier.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/routines_ClassBuilder.h"

template <class C>
TClassBuilder<C> InstallFileProps(TClassBuilder<C> B) {
  return B.Creatable()
      .Str("ArchiveFile", &C::ArchiveFile, &C::SetArchiveFile, "")
      .Ref("ArchiveFileType", TCustomPathSpecifier::StaticClass(), &C::ArchiveFileType,
           &C::SetArchiveFileType)
      .Enum("AddToArchive", LzhCommandInfo, &C::AddToArchive, lzcOverwrite)
      .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
      .Str("DestDir", &C::DestDir, &C::SetDestDir, "")
      .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &C::DestDirType, &C::SetDestDirType)
      .Bool("Include", &C::Include, true)
      .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes, InstallTypeBit(itAlways))
      .Ref("NetLocation", TCustomNetInstallLocation::StaticClass(), &C::NetLocation, &C::SetNetLocation)
      .Int("Order", &C::Order, &C::SetOrder, -1)
      .NoDefault()
      .Str("DestName", &C::DestName, &C::SetDestName, "")
      .Str("FileName", &C::FileName, &C::SetFileName, "")
      .Enum("FileType", InstallFileTypeInfo, &C::FileType, &C::SetFileType, iftNormal)
      .Str("IncludeFromDir", &C::IncludeFromDir, &C::SetIncludeFromDir, "")
      .Enum("OverwriteMode", OverwriteTypeInfo(), &C::OverwriteMode, owAlways)
      .Bool("UpdateDLLCounter", &C::UpdateDLLCounter, false)
      .Event("OnAfterCompress", &C::OnAfterCompress)
      .Event("OnAfterCopy", &C::OnAfterCopy)
      .Event("OnAfterInstall", &C::OnAfterInstall)
      .Event("OnBeforeCompress", &C::OnBeforeCompress)
      .Event("OnBeforeCopy", &C::OnBeforeCopy)
      .Event("OnBeforeInstall", &C::OnBeforeInstall)
      .Event("OnStatus", &C::OnStatus)
      .Event("OnNewDisk", &C::OnNewDisk)
      .Event("OnReplacing", &C::OnReplacing);
}

