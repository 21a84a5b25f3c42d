#include "engine/routines_InstallRecord.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "environment/routines_Registry.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

const char* const InstallRecordRoot = "\\SOFTWARE\\Quorvane\\Install";

TSetupProgramIdentity IdentifySetupProgram(const std::string& Path) {
  TSetupProgramIdentity P;
  P.Path = Path;
  P.Size = FileSizeByName(Path);
  FileAge(Path, P.Date);
  return P;
}

std::string FindInstallRecord(const TSetupProgramIdentity& Program, double RunStart, bool Create,
                              const std::optional<std::string>& SelfExtract) {
  TRegKey Root;
  if (!Root.Open(hkLocalMachine, InstallRecordRoot, true)) return "";
  std::vector<std::string> Names;
  Root.GetKeyNames(Names);
  for (const std::string& N : Names) {
    TRegKey K;
    if (!K.Open(hkLocalMachine, std::string(InstallRecordRoot) + "\\" + N, false)) continue;
    std::string Path;
    std::vector<uint8_t> Created;
    int32_t RecSize = 0;
    if (!K.ReadString("Path", Path) || !K.ReadBinary("CreationDate", Created) || Created.size() != 8 ||
        !K.ReadInteger("Size", RecSize))
      continue;
    double CreationDate;
    std::memcpy(&CreationDate, Created.data(), 8);
    if (std::fabs(CreationDate - Program.Date) < 1e-7 && RecSize == Program.Size) {
      if (!K.WriteBinary("LastRunDate", &RunStart, 8) || !K.WriteString("Path", Program.Path)) return "";
      K.Flush();
      return std::string(InstallRecordRoot) + "\\" + N;
    }
  }
  if (!Create) return "";
  for (int n = 0;; ++n) {
    const std::string Name = "Install" + std::to_string(n);
    bool Taken = false;
    for (const std::string& N : Names) Taken = Taken || SameText(N, Name);
    if (Taken) continue;
    TRegKey K;
    const std::string Full = std::string(InstallRecordRoot) + "\\" + Name;
    if (!K.Open(hkLocalMachine, Full, true)) return "";
    const int32_t Size32 = static_cast<int32_t>(Program.Size);
    bool Ok = K.WriteString("Path", Program.Path) && K.WriteBinary("LastRunDate", &RunStart, 8) &&
              K.WriteBinary("CreationDate", &Program.Date, 8) && K.WriteInteger("Size", Size32);
    if (Ok && SelfExtract) Ok = K.WriteString("SelfExtract", *SelfExtract);
    if (!Ok) return "";
    K.Flush();
    return Full;
  }
}

void RemoveInstallRecord(const std::string& Key) {
  {
    TRegKey K;
    if (!K.Open(hkLocalMachine, Key, false)) return;
    std::vector<std::string> Subs;
    K.GetKeyNames(Subs);
    K.Close();
    for (const std::string& S : Subs) {
      const std::string Sub = Key + "\\" + S;
      std::string Local = RegReadString(hkLocalMachine, Sub, "LocalFile", "");
      if (!Trim(Local).empty()) RemoveFile(Local);
      RegDeleteKeyTree(hkLocalMachine, Sub);
    }
  }
  RegDeleteKeyTree(hkLocalMachine, Key);
  for (const char* Parent : {InstallRecordRoot, "\\Software\\Quorvane"}) {
    TRegKey P;
    if (!P.OpenReadOnly(hkLocalMachine, Parent) || P.HasSubKeys()) break;
    P.Close();
    RegDeleteKeyTree(hkLocalMachine, Parent);
  }
}

void WriteRecordLanguage(const std::string& Key, int Language) {
  RegWriteInteger(hkLocalMachine, Key, "Language", Language);
}

int ReadRecordLanguage(const std::string& Key, int Default) {
  return RegReadInteger(hkLocalMachine, Key, "Language", Default);
}

TQrvnLanguage LanguageFromRecord(int Value) {
  return Value >= 0 && Value < QrvnLanguageCount ? static_cast<TQrvnLanguage>(Value) : qlUser;
}
