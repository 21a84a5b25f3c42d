// Work that can only be finished after Windows restarts: the unfinished-
// business list under the install record, and entries of the RunOnce key
// that run a command once at the next start of Windows.
//
// The list belongs to the install component, which keeps the record key
// (InstallKey) and the count of entries added in this run; it passes both
// in.  Install files reach these through the install component.
//
// The list is the sub key "Unfinished" of the record key under
// HKEY_LOCAL_MACHINE, one string value per entry:
//   value name = an install object's Name, data "0": finish that object;
//   value name = a file's full path,       data "1": delete that file.
#pragma once

#include <cstdint>
#include <string>

class TStrings;

constexpr int32_t ukFinishObject = 0;
constexpr int32_t ukDeleteFile = 1;

// Records one entry (an existing name is replaced) and counts it in
// UnfinishedCount.  Raises IEInstall when InstallKey is empty, and
// EIRCannotWriteValue when the registry refuses the value.
void AddUnfinished(const std::string& InstallKey, int32_t& UnfinishedCount,
                   const std::string& Name, int32_t Kind);
// Removes the whole list; a list that is not there is no error.  Raises
// IEInstall when InstallKey is empty.
void ClearUnfinished(const std::string& InstallKey);
// Fills List with one line "name;data" per entry in the order Windows lists
// them; empty when there is no list.  Raises IEInstall when InstallKey is
// empty.
void ReadUnfinished(const std::string& InstallKey, TStrings& List);

// HKEY_LOCAL_MACHINE (and HKEY_CURRENT_USER): the commands Windows runs once
// at its next start.
extern const char* const RunOnceKey;

// Writes CommandLine as a RunOnce value named ValueName (with Unique, the
// first of ValueName, ValueName1, ValueName2 ... that is not taken) and
// flushes the key.  False when the key cannot be opened or written, the
// cause in *Error when given; never raises.
bool WriteRunOnce(const std::string& ValueName, const std::string& CommandLine, bool Unique,
                  std::string* Error = nullptr);
