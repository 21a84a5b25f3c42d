// The install record: what a run keeps in the registry until it has ended,
// so that a second start of the same setup program, or its resumption after
// a restart, finds it again.  One key per setup program under
// HKEY_LOCAL_MACHINE InstallRecordRoot, named "Install0", "Install1" ...:
//
//   Path          REG_SZ      the setup program's full path (rewritten at each run)
//   CreationDate  REG_BINARY  8 bytes, its file date as a day count
//   Size          REG_DWORD   its file size
//   LastRunDate   REG_BINARY  8 bytes, the start of the latest run
//   SelfExtract   REG_SZ      the self-extracting file, when the run came from one
//   Language      REG_DWORD   the language of a run that restarts Windows
//   Unfinished\   the unfinished-business list (environment/routines_Unfinished.h)
//   <container>\  LocalFile = a downloaded archive, deleted with the record
//
// A record is the setup program's when date and size match its file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "i18n/cmp_TTranslator.h"

extern const char* const InstallRecordRoot;  // "\SOFTWARE\Quorvane\Install"

// The setup program as its record knows it.
struct TSetupProgramIdentity {
  std::string Path;
  int64_t Size = -1;
  double Date = 0;
};
TSetupProgramIdentity IdentifySetupProgram(const std::string& Path);

// The key of Program's record, its LastRunDate set to RunStart and its Path
// to Program's; with Create, a new record when there is none (SelfExtract
// written when given).  Empty when there is no record and none could be
// made.
std::string FindInstallRecord(const TSetupProgramIdentity& Program, double RunStart, bool Create,
                              const std::optional<std::string>& SelfExtract);

// Deletes the record with the downloaded archives it names, then its parent
// keys while they are empty.
void RemoveInstallRecord(const std::string& Key);

void WriteRecordLanguage(const std::string& Key, int Language);
// Default when the record holds none.
int ReadRecordLanguage(const std::string& Key, int Default);
// A language value read back from a record; anything outside the languages
// (a damaged record) stands for the user's own language.
TQrvnLanguage LanguageFromRecord(int Value);
