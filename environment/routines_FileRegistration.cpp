#include "environment/routines_FileRegistration.h"

#include <vector>

#include "environment/routines_API.h"
#include "rtl/routines_Strings.h"

const char* const SharedDllsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* const HelpKey = "\\SOFTWARE\\Microsoft\\Windows\\Help";

bool TSharedFileCounts::Open(bool CanCreate) { return FKey.Open(hkLocalMachine, SharedDllsKey, CanCreate); }

bool TSharedFileCounts::CountUp(const std::string& Path) {
  const std::string Short = GetShortPath(Path);
  int32_t Count = 0;
  if (FKey.ReadInteger(Short, Count) && FKey.WriteInteger(Short, Count + 1)) return true;
  Count = 0;
  FKey.ReadInteger(Path, Count);
  return FKey.WriteInteger(Path, Count + 1);
}

bool TSharedFileCounts::CountDown(const std::string& Path, int32_t& Left, std::string& Error) {
  // The installation counts under the short name when that is already
  // there, else under the long one.
  std::vector<std::string> Names = {Path};
  const std::string Short = GetShortPath(Path);
  if (!SameText(Short, Path)) Names.push_back(Short);
  for (const std::string& N : Names)
    if (CountDownValue(N, Left, Error)) return true;
  return false;
}

bool TSharedFileCounts::CountDownValue(const std::string& Name, int32_t& Left, std::string& Error) {
  int32_t Count = 0;
  if (!FKey.ReadInteger(Name, Count)) return false;
  Left = Count > 0 ? Count - 1 : 0;
  const bool Ok = Left > 0 ? FKey.WriteInteger(Name, Left) : FKey.DeleteValue(Name);
  if (!Ok) Error = FKey.FailureText();
  return true;
}

void RegisterHelpFile(const std::string& Name, const std::string& Folder) {
  RegWriteString(hkLocalMachine, HelpKey, UpperCase(Name), Folder);
}

void RemoveHelpEntry(const std::string& Path) {
  TRegKey K;
  if (!K.Open(hkLocalMachine, HelpKey, false)) return;
  const std::string Name = UpperCase(ExtractFileName(Path));
  std::string Folder;
  if (K.ReadString(Name, Folder) && SameText(RemoveBackslash(Folder), ExtractFileDir(Path)))
    K.DeleteValue(Name);
}
