#include "apps/uninstall/routines_UninstallRecord.h"

#include <algorithm>
#include <utility>

#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

const char* const UninstallKeyRoot = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {

// Numbered names of Names with the given prefix, in number order.
std::vector<std::pair<int, std::string>> Numbered(const std::vector<std::string>& Names,
                                                  const std::string& Prefix, bool AllowBare) {
  std::vector<std::pair<int, std::string>> R;
  for (const std::string& N : Names) {
    const int I = NumberedName(N, Prefix, AllowBare);
    if (I >= 0) R.emplace_back(I, N);
  }
  std::stable_sort(R.begin(), R.end(),
                   [](const auto& A, const auto& B) { return A.first < B.first; });
  return R;
}

std::vector<std::string> SubKeyNames(const std::string& Key) {
  std::vector<std::string> Names;
  TRegKey K;
  if (K.OpenReadOnly(hkLocalMachine, Key)) K.GetKeyNames(Names);
  return Names;
}

// The "FileN" values of one key, in number order.
std::vector<std::pair<std::string, std::string>> FileValues(const std::string& Key,
                                                            std::vector<std::string>& Unreadable) {
  std::vector<std::pair<std::string, std::string>> R;
  TRegKey K;
  if (!K.OpenReadOnly(hkLocalMachine, Key)) return R;
  std::vector<std::string> Names;
  K.GetValueNames(Names);
  for (const auto& N : Numbered(Names, "File", false)) {
    std::string V;
    if (!K.ReadString(N.second, V))
      Unreadable.push_back(Format("%s\\%s: %s", Key, N.second, K.FailureText()));
    else if (!Trim(V).empty())
      R.emplace_back(N.second, Trim(V));
  }
  return R;
}

void ReadFiles(TUninstallRecord& R) {
  for (const auto& Sub : Numbered(SubKeyNames(R.Key), "Files", true)) {
    const std::string Key = R.Key + "\\" + Sub.second;
    for (const auto& V : FileValues(Key, R.Unreadable)) R.Files.push_back({V.second, {Key, V.first}});
  }
}

void ReadActiveX(TUninstallRecord& R) {
  const std::string Key = R.Key + "\\ActiveX";
  for (const auto& V : FileValues(Key, R.Unreadable)) {
    TRecordedActiveX A;
    if (!ParseActiveXEntry(V.second, A.Path, A.IsProgram)) {
      R.Unreadable.push_back(Format("%s\\%s: \"%s\" is not a path followed by ;0 or ;1", Key, V.first, V.second));
      continue;
    }
    A.Place = {Key, V.first};
    R.ActiveX.push_back(std::move(A));
  }
}

void ReadRegistryKeys(TUninstallRecord& R) {
  const std::string List = R.Key + "\\RegistryKeys";
  for (const auto& Sub : Numbered(SubKeyNames(List), "RegistryKey", false)) {
    const std::string Key = List + "\\" + Sub.second;
    TRegKey K;
    if (!K.OpenReadOnly(hkLocalMachine, Key)) continue;
    TRecordedRegistryKey E;
    E.Place = {Key, ""};
    // "Root" is written as a number; a text form is taken too.
    int32_t Root = -1;
    std::string RootText;
    if (!K.ReadInteger("Root", Root) && K.ReadString("Root", RootText)) Root = StrToIntDef(Trim(RootText), -1);
    if (!K.ReadString("Key", E.Key) || Trim(E.Key).empty() || Root < hkClassesRoot || Root > hkUsers) {
      R.Unreadable.push_back(Format("%s: no valid Key and Root", Key));
      continue;
    }
    E.Root = static_cast<TRootKeys>(Root);
    E.Key = Trim(E.Key);
    TRegKey Entries;
    if (Entries.OpenReadOnly(hkLocalMachine, Key + "\\Entries")) Entries.GetValueNames(E.ValueNames);
    R.RegistryKeys.push_back(std::move(E));
  }
}

}  // namespace

std::string UninstallKeyOf(const std::string& Product) {
  return std::string(UninstallKeyRoot) + "\\" + Product;
}

bool ReadUninstallRecord(const std::string& Product, TUninstallRecord& Record) {
  Record = TUninstallRecord();
  Record.Product = Product;
  Record.Key = UninstallKeyOf(Product);
  // A blank name would make the key the list of all products.
  if (Trim(Product).empty()) return false;
  {
    TRegKey K;
    if (!K.OpenReadOnly(hkLocalMachine, Record.Key)) return false;
    K.ReadString("DisplayName", Record.DisplayName);
    K.ReadString("UninstallString", Record.UninstallString);
  }
  ReadActiveX(Record);
  ReadFiles(Record);
  ReadRegistryKeys(Record);
  return true;
}

int NumberedName(const std::string& Name, const std::string& Prefix, bool AllowBare) {
  if (Name.size() < Prefix.size() || !SameText(Name.substr(0, Prefix.size()), Prefix)) return -1;
  const std::string Digits = Name.substr(Prefix.size());
  if (Digits.empty()) return AllowBare ? 0 : -1;
  if (Digits.size() > 9 || Digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(Digits);
}

bool ParseActiveXEntry(const std::string& Entry, std::string& Path, bool& IsProgram) {
  const size_t Semi = Entry.rfind(';');
  if (Semi == std::string::npos) return false;
  const std::string Kind = Trim(Entry.substr(Semi + 1));
  if (Kind != "0" && Kind != "1") return false;
  Path = Trim(Entry.substr(0, Semi));
  IsProgram = Kind == "1";
  return !Path.empty();
}

std::string UninstallerPathOf(const std::string& UninstallString, const std::string& Product) {
  const std::string S = Trim(UninstallString);
  const std::string Tail = " " + Product;
  if (!Product.empty() && S.size() > Tail.size() && SameText(S.substr(S.size() - Tail.size()), Tail))
    return Trim(S.substr(0, S.size() - Tail.size()));
  const std::string Upper = UpperCase(S);
  const size_t Exe = Upper.find(".EXE");
  return Exe == std::string::npos ? S : S.substr(0, Exe + 4);
}
