// Building the distribution on the author's machine, and copying a
// self-extracting distribution onto a set of floppy disks.
//
//   setup.exe  the loading program from the kit (or the setup program itself
//              when the project does without the loading program), followed
//              in a self-extracting file by setup.1, files.1 and the trailer
//   setup.1    the setup program and the project's presetup files
//   files.1    the project's files (files.2 ... on further disks)
#pragma once

#include <string>
#include <vector>

#include "archive/cmp_TFileHeaders.h"

class TStrings;

// The kit directory, the folder that holds the marker file "Q32V35.TXT":
// the kit the running setup program was made from (its KitResource, which
// the project compiler writes) while it holds the marker, else the first
// such folder on the library search path (value "Search Path" of
// HKEY_CURRENT_USER KitSearchPathKey).  Without one: IENoQuorvanePath with
// Raise, else empty.
std::string FindKitDirectory(bool Raise);
extern const char* const KitSearchPathKey;  // HKEY_CURRENT_USER
extern const char* const KitResource;       // raw data: the kit folder's path

// Copies the kit's loading program into BuildDir as setup.exe.
void CopyLoadingProgram(const std::string& BuildDir);
// setup.1 in BuildDir: the setup program ExeName first, replacing the
// archive, then each presetup file added.
void CreateSetupArchive(const std::string& BuildDir, const std::string& ExeName, const TStrings& PresetupFiles);
// Appends setup.1 and, when it exists, files.1 to SetupExe, then the trailer
// that says where each starts and ends.
void AppendSelfExtractor(const std::string& SetupExe, const std::string& Setup1, const std::string& Files1);
// The trailer of a self-extracting file; IEInstall when it has none.
TSelfExtractTrailer ReadExtractionInfo(const std::string& FileName);

// A build made in a folder of its own beside the build folder
// ("<folder>.qvbuild<process id>"), so that the previous distribution stays
// whole until every part of the new one is written, and a failed build
// leaves neither a half distribution nor stray files.
class TStagedBuild {
 public:
  // The build folder's parent is made when missing; a build folder that
  // cannot be made (it would lie below a file) raises "Cannot create the
  // file <folder>\setup.1", the first file the build would write there.
  explicit TStagedBuild(const std::string& BuildDir);
  // Removes the staging folder with whatever it still holds.
  ~TStagedBuild();
  TStagedBuild(const TStagedBuild&) = delete;
  TStagedBuild& operator=(const TStagedBuild&) = delete;

  const std::string& Folder() const { return FStage; }
  // Text with the staging folder named as the build folder.
  std::string InBuildFolder(std::string Text) const;
  // Moves every file of the staging folder to its place below the build
  // folder, replacing what is there; all or nothing: when one cannot be
  // placed, the ones placed are taken back and the previous files restored.
  void Commit();
  // The files Commit placed, relative to the build folder.
  const std::vector<std::string>& Placed() const { return FPlaced; }

 private:
  std::string FTarget, FStage;
  std::vector<std::string> FPlaced;
};

// Writes the self-extracting file's setup.exe and setup.1 onto the floppy
// drive, then its files.1 split over as many disks as it takes, asking for
// each next disk.  IEInstall when a disk is too small or the user stops.
void CopyToFloppies(const std::string& SelfExtractingFile, const TSelfExtractTrailer& Trailer,
                    const std::string& Drive);
