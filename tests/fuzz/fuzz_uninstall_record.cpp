// The uninstall record reader on a store in memory made from the fuzz
// bytes, then the writers on top of whatever was there, and the reader
// again.  Nothing may crash or hang; after writing, the record reads with
// the uninstaller's entries, what was written is found wherever its number
// is one the reader takes, and nothing that read before became unreadable.
//
// Input, one item a line:
//   first line           the product name
//   [Sub\Key]            the current key, below the product's uninstall key
//   Name=text            a string value of the current key
//   Name#number          a DWORD value of the current key
#include <cstdint>
#include <cstdlib>
#include <string>

#include "records/routines_UninstallRecord.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_Strings.h"
#include "tests/support/MemoryRegistryStore.h"

namespace {

namespace L = UninstallRecordLayout;

void Load(TMemoryRegistryStore& S, const std::string& Text, std::string& Product) {
  size_t P = 0;
  bool First = true;
  std::string Key;
  while (P <= Text.size()) {
    size_t E = Text.find('\n', P);
    if (E == std::string::npos) E = Text.size();
    const std::string Line = Text.substr(P, E - P);
    P = E + 1;
    if (First) {
      Product = Line;
      Key = UninstallKeyOf(Product);
      First = false;
      continue;
    }
    if (Line.size() >= 2 && Line.front() == '[' && Line.back() == ']') {
      Key = UninstallKeyOf(Product) + "\\" + Line.substr(1, Line.size() - 2);
      continue;
    }
    const size_t Eq = Line.find_first_of("=#");
    if (Eq == std::string::npos) {
      S.Find(Key + "\\" + Line, true);  // a key without values
    } else if (Line[Eq] == '=') {
      S.SetString(Key, Line.substr(0, Eq), Line.substr(Eq + 1));
    } else {
      S.SetInteger(Key, Line.substr(0, Eq), StrToIntDef(Line.substr(Eq + 1), 0));
    }
  }
}

// The number the last write used, when the reader takes such a number.
bool ReadableNumber(TMemoryRegistryStore& S, const std::string& Key) {
  const std::string V = S.Get(Key, L::Counter);  // "<n>" after a write
  if (V.size() < 3) return false;
  const std::string Digits = V.substr(1, V.size() - 2);
  return NumberedName(std::string(L::FileValue) + Digits, L::FileValue, false) >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryRegistryStore S;
  std::string Product;
  Load(S, std::string(reinterpret_cast<const char*>(Data), Size), Product);
  const std::string U = UninstallKeyOf(Product);

  TUninstallRecord Before;
  const bool Had = ReadUninstallRecord(S, Product, Before);
  if (Had && Before.Key != U) std::abort();
  if (Trim(Product).empty()) {
    if (Had) std::abort();
    return 0;
  }

  const std::string File = "C:\\Fuzz\\file.txt", Server = "C:\\Fuzz\\server.exe";
  try {
    WriteUninstallProgram(S, U, Product, "C:\\Fuzz\\uninstall.exe");
    AddRecordedFile(S, U, File);
    AddRecordedActiveX(S, U, Server, true);
    const std::string R = AddRecordedRegistryKey(S, U, "\\SOFTWARE\\Fuzz", hkCurrentUser);
    AddRecordedRegistryEntry(S, R, "Value", "text");
  } catch (const EIRCannotWriteValue&) {
    std::abort();  // the store in memory takes every value
  }

  TUninstallRecord After;
  if (!ReadUninstallRecord(S, Product, After)) std::abort();
  if (After.DisplayName != Product) std::abort();
  if (UninstallerPathOf(After.UninstallString, Product) != "C:\\Fuzz\\uninstall.exe") std::abort();
  if (After.Unreadable.size() > Before.Unreadable.size()) std::abort();
  if (ReadableNumber(S, U + "\\" + L::FilesKey)) {
    bool Found = false;
    for (const TRecordedFile& F : After.Files) Found = Found || F.Path == File;
    if (!Found) std::abort();
  }
  if (ReadableNumber(S, U + "\\" + L::ActiveXKey)) {
    bool Found = false;
    for (const TRecordedActiveX& A : After.ActiveX) Found = Found || (A.Path == Server && A.IsProgram);
    if (!Found) std::abort();
  }
  if (ReadableNumber(S, U + "\\" + L::RegistryKeysKey)) {
    bool Found = false;
    for (const TRecordedRegistryKey& K : After.RegistryKeys)
      Found = Found || (K.Key == "\\SOFTWARE\\Fuzz" && K.Root == hkCurrentUser && K.ValueNames.size() >= 1);
    if (!Found) std::abort();
  }
  return 0;
}
