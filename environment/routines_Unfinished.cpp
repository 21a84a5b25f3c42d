#include "environment/routines_Unfinished.h"

#include "environment/routines_Registry.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_Strings.h"

const char* const RunOnceKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

namespace {

std::string UnfinishedKey(const std::string& InstallKey) {
  if (InstallKey.empty())
    throw IEInstall("The TInstall could not either write or read unfinished business from the registry");
  return AddBackslash(InstallKey) + "Unfinished";
}

}  // namespace

void AddUnfinished(const std::string& InstallKey, int32_t& UnfinishedCount,
                   const std::string& Name, int32_t Kind) {
  std::string Key = UnfinishedKey(InstallKey);
  ++UnfinishedCount;
  RegWriteString(hkLocalMachine, Key, Name, std::to_string(Kind));
}

void ClearUnfinished(const std::string& InstallKey) {
  RegDeleteKeyTree(hkLocalMachine, UnfinishedKey(InstallKey));
}

void ReadUnfinished(const std::string& InstallKey, TStrings& List) {
  List.Clear();
  std::string Key = UnfinishedKey(InstallKey);
  TRegKey K;
  if (!K.OpenReadOnly(hkLocalMachine, Key)) return;
  std::vector<std::string> Names;
  K.GetValueNames(Names);
  for (const std::string& Name : Names) {
    std::string Data;
    // A value that is not text reads as empty data: the resumption then
    // reports the entry as invalid instead of the list losing it silently.
    K.ReadString(Name, Data);
    List.Add(Name + ";" + Data);
  }
}

bool WriteRunOnce(const std::string& ValueName, const std::string& CommandLine, bool Unique,
                  std::string* Error) {
  TRegKey K;
  std::string Name = ValueName;
  if (K.Open(hkLocalMachine, RunOnceKey, true)) {
    for (int N = 1; Unique && K.ValueExists(Name); ++N) Name = ValueName + std::to_string(N);
    if (K.WriteString(Name, CommandLine)) {
      K.Flush();
      return true;
    }
  }
  if (Error) *Error = K.FailureText();
  return false;
}
