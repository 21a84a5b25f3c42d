// Removing a product: everything its uninstall record names, in the order
// that keeps the machine sound at every step — self-registered components
// are unregistered before their files go, shared files only go when the
// last installation that counted them is removed, folders only when they
// are empty, and the record itself last.
//
// Each item that has been dealt with is struck out of the record at once,
// so a removal that fails half-way (or is cut short) can be repeated
// without counting a shared file down twice.  When something fails, the
// rest of the record and the uninstaller stay for the next attempt.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "records/routines_UninstallRecord.h"
#include "environment/routines_AtRestart.h"
#include "environment/routines_RunOptions.h"

enum class TOutcome {
  Removed,    // gone now
  Absent,     // was already gone
  Kept,       // a shared file that other installations still count
  AtRestart,  // in use: Windows removes it at the next start
  Failed,
};

struct TReportLine {
  TOutcome Outcome;
  std::string What;    // a path, a registry key, a component
  std::string Reason;  // for Kept, AtRestart and Failed
};

struct TUninstallReport {
  std::vector<TReportLine> Lines;
  void Add(TOutcome O, const std::string& What, const std::string& Reason = "");
  int Count(TOutcome O) const;
  bool Failed() const { return Count(TOutcome::Failed) > 0; }
  // The text shown to the user (and written to the standard output).
  std::string Summary(const std::string& Product) const;
};

struct TUninstallOptions {
  // The running program.  It removes itself only when it is the uninstaller
  // that the record names (never a copy started from elsewhere).
  std::string SelfPath;
  // How long a program's /UNREGSERVER run may take.
  unsigned UnregisterTimeoutMs = 60000;
};

// The uninstall record of Product on this machine (records/routines_UninstallRecord.h,
// read from HKEY_LOCAL_MACHINE); false when the product has none.
bool ReadUninstallRecord(const std::string& Product, TUninstallRecord& Record);

TUninstallReport Uninstall(const TUninstallRecord& Record, const TUninstallOptions& Options);

// --- the steps, for the program and its tests ---------------------------------

// "uninstall.exe [/S | -s] Product Name With Blanks": the product is the
// whole rest of the command line (one pair of enclosing quotes is dropped).
// The switches /SILENT (no question), /VERYSILENT and /S (nothing shown)
// and /LOG[=file] stand in front of the name, in any order.
void ParseUninstallCommandLine(const std::string& CommandLine, TRunOptions& Options, std::string& Product);
// Silent: /S or /VERYSILENT.
void ParseUninstallCommandLine(const std::string& CommandLine, bool& Silent, std::string& Product);

// Folders of the system that are never removed, nor any folder above one of
// them: the program-files, Windows, system, shell and profile folders.
std::vector<std::string> SystemFolders();
// Dir may be removed: an absolute path below a drive or share that is
// neither one of Roots nor above one.
bool MayRemoveFolder(const std::string& Dir, const std::vector<std::string>& Roots);

// The "SharedDLLs" count of Path (by its long or its short name) goes down
// by one, and the value goes when it reaches zero.  Answers false when the
// file is not counted; Left receives the count that remains.
bool DecrementSharedCount(const std::string& Path, int32_t& Left, std::string& Error);

// Deletes one recorded file (after its shared count) or has it removed at
// the next start when it is in use.  Paths scheduled that way go to Pending.
TReportLine RemoveRecordedFile(const std::string& Path, std::set<std::string>& Pending);

// Removes each candidate folder that is empty, and its parents while they
// are; a folder that holds only items waiting for the restart is removed at
// the restart too.  Pending holds upper-cased paths.
void RemoveEmptyFolders(const std::vector<std::string>& Candidates, std::set<std::string>& Pending,
                        const std::vector<std::string>& Roots, TUninstallReport& Report);

// Deletes the recorded values of a key, then the key and its parents while
// they are empty (never a key right below the root).
TReportLine RemoveRegistryValues(const TRecordedRegistryKey& Key);
