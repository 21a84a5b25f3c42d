// A folder tree of the build machine in one object: every file below
// SourceDir that matches Masks and no exclusion, installed into the
// container's folder (below DestDir) with the tree's subfolders as its
// subfolders, or with each first-level subfolder as a file group of its
// own.  The project compiler expands it into ordinary install files (and
// groups) of the project; the object itself installs nothing.
#pragma once

#include <string>

#include "archive/routines_VersionCompare.h"
#include "rtl/cmp_TComponent.h"

class TInstallContainer;

enum TSubfolderMode { sfDestDirs, sfGroups };
extern const TEnumInfo SubfolderModeInfo;

class TInstallFolder : public TComponent {
  QV_CLASS()
 public:
  explicit TInstallFolder(TComponent* AOwner) : TComponent(AOwner) {}

  TInstallContainer* Container() const { return FContainer; }
  void SetContainer(TInstallContainer* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  std::string SourceDir;       // the folder on the build machine
  std::string Masks = "*";     // file names to take, ";"-separated
  std::string Exclude;         // file or folder names or relative paths to leave out, ";"-separated
  bool Recursive = true;       // the subfolders too
  std::string DestDir;         // below the container's folder, "\Data"; empty: the folder itself
  TSubfolderMode Subfolders = sfDestDirs;
  TOverwriteType OverwriteMode = owAlways;

 private:
  TInstallContainer* FContainer = nullptr;
};

void RegisterInstallFolderClasses();
