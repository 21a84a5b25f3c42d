// What Windows records about installed files: the counts of shared files
// ("SharedDLLs": one DWORD per file path, the number of installations that
// use it) and the help files ("Help": the upper-cased file name = its
// folder), both under HKEY_LOCAL_MACHINE.
#pragma once

#include <cstdint>
#include <string>

#include "environment/routines_Registry.h"

extern const char* const SharedDllsKey;
extern const char* const HelpKey;

// The shared-file counts, for one open of their key.
class TSharedFileCounts {
 public:
  // Opens the key, creating it when CanCreate; false when it cannot (or,
  // without CanCreate, when it is not there), the cause in FailureText.
  bool Open(bool CanCreate);
  // One more installation uses Path.  The count of its short name goes up
  // when that one can be read and written, else the count of its long name
  // (from 0 when there is none).
  bool CountUp(const std::string& Path);
  // One installation fewer: the count of Path (by its long or its short
  // name) goes down by one, and the value goes when it reaches zero.
  // Answers false when the file is not counted; Left receives what remains,
  // and a write that fails leaves its cause in Error.
  bool CountDown(const std::string& Path, int32_t& Left, std::string& Error);
  // The same for the one value Name, as it is stored (no short name looked
  // for); false when there is no such value.
  bool CountDownValue(const std::string& Name, int32_t& Left, std::string& Error);

  LONG LastError() const { return FKey.LastError(); }
  std::string FailureText() const { return FKey.FailureText(); }

 private:
  TRegKey FKey;
};

// Writes the help entry of the file Name in Folder (no trailing "\");
// raises EIRCannotWriteValue as RegWriteString does.
void RegisterHelpFile(const std::string& Name, const std::string& Folder);
// Removes the help entry of the file Path when it names Path's folder.
void RemoveHelpEntry(const std::string& Path);
