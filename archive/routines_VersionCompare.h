// Whether a new file may replace an existing one: the version comparison and
// the overwrite decision, shared by the archive engine and the install files.
// Reading a file's version resource needs Windows; the model layer installs
// the reader (SetFileVersionReader) and without it every file has no version.
#pragma once

#include <string>

#include "rtl/cmp_TComponent.h"

enum TOverwriteType { owAlways, owNever, owVersion, owDate, owVersionDate };
const TEnumInfo& OverwriteTypeInfo();

// Results of the overwrite decision.
enum TNewerResult {
  nrUndecided = 0,      // the existing file could not be opened for a date comparison
  nrSame = 1,           // same version or same date: keep the existing file
  nrNewWins = 2,        // install the new file
  nrExistingStays = 3,  // keep the existing file
};

// Returns the file version text of a file's version resource ("" when it
// has none or the file is missing).
using TFileVersionReader = std::string (*)(const std::string& FileName);
// nullptr restores the default, which knows no version resources.
void SetFileVersionReader(TFileVersionReader Reader);
std::string ReadFileVersion(const std::string& FileName);

// 0 equal, 1 A is newer, 2 B is newer.  Dot-separated parts are compared as
// numbers when both are numbers, else as text; the first empty part ends it.
int CompareVersions(const std::string& A, const std::string& B);

int IsFileNewerByInfo(const std::string& NewVersion, const std::string& ExistingFile,
                      TOverwriteType Mode, double NewDate);
int IsFileNewerByName(const std::string& NewFile, const std::string& ExistingFile, TOverwriteType Mode);
