#include "records/routines_UninstallRecord.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace L = UninstallRecordLayout;

const char* const UninstallKeyRoot = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string UninstallKeyOf(const std::string& Product) {
  return std::string(UninstallKeyRoot) + "\\" + Product;
}

// --- writing -------------------------------------------------------------------------

namespace {

// What is already recorded under an uninstall key, so that installing a
// product again does not list an item twice (see the index at the end).
enum TRecordedKind { rkFile, rkActiveX, rkRegistryKey };
bool FindRecorded(IRegistryStore& Store, const std::string& Key, TRecordedKind Kind, const std::string& Item,
                  TRecordPlace& Place);
void NoteRecorded(const std::string& Key, TRecordedKind Kind, const std::string& Item, const TRecordPlace& Place);
std::string RegistryItem(TRootKeys Root, const std::string& RegistryKey) {
  return std::to_string(static_cast<int>(Root)) + ":" + Trim(RegistryKey);
}

// A counter as stored; "0" when the key or the value is missing or unreadable.
std::string ReadCounter(IRegistryStore& Store, const std::string& Key) {
  std::string Value;
  const auto K = Store.OpenKey(Key);
  return K && K->ReadString(L::Counter, Value) ? Value : std::string("0");
}

// The number after a stored counter.  Wide enough that a counter at the
// top of the 32-bit range does not overflow.
int64_t NextNumber(const std::string& Counter) { return int64_t{StrToIntDef(Counter, 0)} + 1; }

void WriteStringValue(IRegistryStore& Store, const std::string& Key, const std::string& Name,
                      const std::string& Value) {
  const auto K = Store.CreateKey(Key);
  if (!K || !K->WriteString(Name, Value))
    throw EIRCannotWriteValue(
        TranslatedFormat("Cannot install into registry. Key: %s Ident: %s Value %s", Key, Name, Value));
}

void WriteIntegerValue(IRegistryStore& Store, const std::string& Key, const std::string& Name, int32_t Value) {
  const auto K = Store.CreateKey(Key);
  if (!K || !K->WriteInteger(Name, Value)) throw EIRCannotWriteValue(Key);
}

}  // namespace

void AddRecordedFile(IRegistryStore& Store, const std::string& Key, const std::string& Path) {
  // "Files", then "Files1", "Files2" ... until one takes the entry (a key
  // can be full on the 95 family).  Bounded, so a registry that takes
  // nothing ends in an error rather than a hang.
  TRecordPlace Place;
  if (FindRecorded(Store, Key, rkFile, Path, Place)) return;
  std::string Sub;
  for (int i = 0; i <= L::MaxFilesKeys; ++i) {
    Sub = AddBackslash(Key) + L::FilesKey + (i == 0 ? "" : std::to_string(i));
    const auto K = Store.CreateKey(Sub);
    if (!K) continue;
    std::string Entries = "0", Stored;
    if (K->ReadString(L::Counter, Stored)) Entries = Stored;
    const int64_t N = NextNumber(Entries);
    const std::string Value = L::FileValue + std::to_string(N);
    if (!K->WriteString(Value, Path)) continue;
    K->WriteString(L::Counter, std::to_string(N));
    NoteRecorded(Key, rkFile, Path, {Sub, Value});
    return;
  }
  throw EIRCannotWriteValue(
      TranslatedFormat("Cannot install into registry. Key: %s Ident: %s Value %s", Sub, L::FileValue, Path));
}

bool IsRecordedFile(IRegistryStore& Store, const std::string& Key, const std::string& Path) {
  TRecordPlace Place;
  return FindRecorded(Store, Key, rkFile, Path, Place);
}

std::string ActiveXEntry(const std::string& Path, bool IsProgram) {
  return Path + L::ActiveXSeparator + (IsProgram ? L::ProgramFlag : L::LibraryFlag);
}

void AddRecordedActiveX(IRegistryStore& Store, const std::string& Key, const std::string& Path,
                        bool IsProgram) {
  TRecordPlace Place;
  if (FindRecorded(Store, Key, rkActiveX, Path, Place)) return;
  const std::string Sub = AddBackslash(Key) + L::ActiveXKey;
  const int64_t N = NextNumber(ReadCounter(Store, Sub));
  WriteStringValue(Store, Sub, L::FileValue + std::to_string(N), ActiveXEntry(Path, IsProgram));
  WriteStringValue(Store, Sub, L::Counter, std::to_string(N));
  NoteRecorded(Key, rkActiveX, Path, {Sub, L::FileValue + std::to_string(N)});
}

std::string AddRecordedRegistryKey(IRegistryStore& Store, const std::string& Key,
                                   const std::string& RegistryKey, TRootKeys Root) {
  // A key recorded before gets its entries added to its record.
  TRecordPlace Place;
  if (FindRecorded(Store, Key, rkRegistryKey, RegistryItem(Root, RegistryKey), Place)) return Place.SubKey;
  const std::string Keys = AddBackslash(Key) + L::RegistryKeysKey;
  const int64_t N = NextNumber(ReadCounter(Store, Keys));
  // The counter first: a record that fails half-way is still counted.
  WriteStringValue(Store, Keys, L::Counter, std::to_string(N));
  const std::string Record = Keys + "\\" + L::RegistryKeyKey + std::to_string(N);
  WriteStringValue(Store, Record, L::KeyValue, RegistryKey);
  WriteIntegerValue(Store, Record, L::RootValue, static_cast<int32_t>(Root));
  NoteRecorded(Key, rkRegistryKey, RegistryItem(Root, RegistryKey), {Record, ""});
  return Record;
}

void AddRecordedRegistryEntry(IRegistryStore& Store, const std::string& Record, const std::string& Ident,
                              const std::string& Text) {
  WriteStringValue(Store, Record + "\\" + L::EntriesKey, Ident, Text);
}

void WriteUninstallProgram(IRegistryStore& Store, const std::string& Key, const std::string& Product,
                           const std::string& Uninstaller) {
  WriteStringValue(Store, Key, L::DisplayName, Product);
  // Quoted, so that a folder with blanks names no other program first.
  const std::string Program = "\"" + Uninstaller + "\"";
  WriteStringValue(Store, Key, L::UninstallString, Program + " " + Product);
  WriteStringValue(Store, Key, L::QuietUninstallString, Program + " /VERYSILENT " + Product);
  // The uninstaller neither changes nor repairs an installation.
  WriteIntegerValue(Store, Key, L::NoModify, 1);
  WriteIntegerValue(Store, Key, L::NoRepair, 1);
}

void WriteUninstallDisplay(IRegistryStore& Store, const std::string& Key, const TUninstallDisplay& D) {
  const std::pair<const char*, const std::string*> Texts[] = {
      {L::DisplayVersion, &D.DisplayVersion}, {L::Publisher, &D.Publisher},
      {L::InstallLocation, &D.InstallLocation}, {L::DisplayIcon, &D.DisplayIcon},
      {L::InstallDate, &D.InstallDate},         {L::URLInfoAbout, &D.URLInfoAbout}};
  for (const auto& T : Texts)
    if (!Trim(*T.second).empty()) WriteStringValue(Store, Key, T.first, *T.second);
  if (D.EstimatedSizeKB >= 0) WriteIntegerValue(Store, Key, L::EstimatedSize, D.EstimatedSizeKB);
}

// --- reading -------------------------------------------------------------------------

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

std::vector<std::string> SubKeyNames(IRegistryStore& Store, const std::string& Key) {
  std::vector<std::string> Names;
  if (const auto K = Store.OpenKey(Key)) K->GetKeyNames(Names);
  return Names;
}

// The "FileN" values of one key, in number order.
std::vector<std::pair<std::string, std::string>> FileValues(IRegistryStore& Store, const std::string& Key,
                                                            std::vector<std::string>& Unreadable) {
  std::vector<std::pair<std::string, std::string>> R;
  const auto K = Store.OpenKey(Key);
  if (!K) return R;
  std::vector<std::string> Names;
  K->GetValueNames(Names);
  for (const auto& N : Numbered(Names, L::FileValue, false)) {
    std::string V;
    if (!K->ReadString(N.second, V))
      Unreadable.push_back(Format("%s\\%s: %s", Key, N.second, K->FailureText()));
    else if (!Trim(V).empty())
      R.emplace_back(N.second, Trim(V));
  }
  return R;
}

void ReadFiles(IRegistryStore& Store, TUninstallRecord& R) {
  for (const auto& Sub : Numbered(SubKeyNames(Store, R.Key), L::FilesKey, true)) {
    const std::string Key = R.Key + "\\" + Sub.second;
    for (const auto& V : FileValues(Store, Key, R.Unreadable)) R.Files.push_back({V.second, {Key, V.first}});
  }
}

void ReadActiveX(IRegistryStore& Store, TUninstallRecord& R) {
  const std::string Key = R.Key + "\\" + L::ActiveXKey;
  for (const auto& V : FileValues(Store, Key, R.Unreadable)) {
    TRecordedActiveX A;
    if (!ParseActiveXEntry(V.second, A.Path, A.IsProgram)) {
      R.Unreadable.push_back(Format("%s\\%s: \"%s\" is not a path followed by ;0 or ;1", Key, V.first, V.second));
      continue;
    }
    A.Place = {Key, V.first};
    R.ActiveX.push_back(std::move(A));
  }
}

void ReadRegistryKeys(IRegistryStore& Store, TUninstallRecord& R) {
  const std::string List = R.Key + "\\" + L::RegistryKeysKey;
  for (const auto& Sub : Numbered(SubKeyNames(Store, List), L::RegistryKeyKey, false)) {
    const std::string Key = List + "\\" + Sub.second;
    const auto K = Store.OpenKey(Key);
    if (!K) continue;
    TRecordedRegistryKey E;
    E.Place = {Key, ""};
    // "Root" is written as a number; a text form is taken too.
    int32_t Root = -1;
    std::string RootText;
    if (!K->ReadInteger(L::RootValue, Root) && K->ReadString(L::RootValue, RootText))
      Root = StrToIntDef(Trim(RootText), -1);
    if (!K->ReadString(L::KeyValue, E.Key) || Trim(E.Key).empty() || Root < hkClassesRoot || Root > hkUsers) {
      R.Unreadable.push_back(Format("%s: no valid Key and Root", Key));
      continue;
    }
    E.Root = static_cast<TRootKeys>(Root);
    E.Key = Trim(E.Key);
    if (const auto Entries = Store.OpenKey(Key + "\\" + L::EntriesKey)) Entries->GetValueNames(E.ValueNames);
    R.RegistryKeys.push_back(std::move(E));
  }
}

}  // namespace

bool ReadUninstallRecord(IRegistryStore& Store, const std::string& Product, TUninstallRecord& Record) {
  Record = TUninstallRecord();
  Record.Product = Product;
  Record.Key = UninstallKeyOf(Product);
  // A blank name would make the key the list of all products.
  if (Trim(Product).empty()) return false;
  {
    const auto K = Store.OpenKey(Record.Key);
    if (!K) return false;
    K->ReadString(L::DisplayName, Record.DisplayName);
    K->ReadString(L::UninstallString, Record.UninstallString);
  }
  ReadActiveX(Store, Record);
  ReadFiles(Store, Record);
  ReadRegistryKeys(Store, Record);
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
  const size_t Semi = Entry.rfind(L::ActiveXSeparator);
  if (Semi == std::string::npos) return false;
  const std::string Kind = Trim(Entry.substr(Semi + 1));
  if (Kind != L::LibraryFlag && Kind != L::ProgramFlag) return false;
  Path = Trim(Entry.substr(0, Semi));
  IsProgram = Kind == L::ProgramFlag;
  return !Path.empty();
}

std::string UninstallerPathOf(const std::string& UninstallString, const std::string& Product) {
  const std::string S = Trim(UninstallString);
  // A quoted program (as the setup writes it now) is the quoted part.
  if (S.size() > 1 && S[0] == '"') {
    const size_t Close = S.find('"', 1);
    if (Close != std::string::npos) return S.substr(1, Close - 1);
  }
  const std::string Tail = " " + Product;
  if (!Product.empty() && S.size() > Tail.size() && SameText(S.substr(S.size() - Tail.size()), Tail))
    return Trim(S.substr(0, S.size() - Tail.size()));
  const std::string Upper = UpperCase(S);
  const size_t Exe = Upper.find(".EXE");
  return Exe == std::string::npos ? S : S.substr(0, Exe + 4);
}

// --- the index of what is recorded -----------------------------------------------------
// Read once per uninstall key and process, then kept up to date by the
// writers, so that an item costs one look-up rather than a read of the whole
// record.  An item the index knows is checked against the store before it is
// taken as recorded (another program may have changed the record since); a
// stale index is read again.

namespace {

using TPlaces = std::map<std::string, TRecordPlace>;  // upper-case item -> where it is

std::map<std::string, std::array<TPlaces, 3>>& Indexes() {
  static std::map<std::string, std::array<TPlaces, 3>> I;
  return I;
}

std::array<TPlaces, 3>& IndexOf(IRegistryStore& Store, const std::string& Key, bool Reread) {
  const std::string Id = UpperCase(RemoveBackslash(Key));
  const auto Known = Indexes().find(Id);
  if (Known != Indexes().end() && !Reread) return Known->second;
  TUninstallRecord R;
  R.Key = RemoveBackslash(Key);
  ReadFiles(Store, R);
  ReadActiveX(Store, R);
  ReadRegistryKeys(Store, R);
  std::array<TPlaces, 3>& I = Indexes()[Id];
  I = {};
  for (const TRecordedFile& F : R.Files) I[rkFile][UpperCase(F.Path)] = F.Place;
  for (const TRecordedActiveX& A : R.ActiveX) I[rkActiveX][UpperCase(A.Path)] = A.Place;
  for (const TRecordedRegistryKey& K : R.RegistryKeys) I[rkRegistryKey][UpperCase(RegistryItem(K.Root, K.Key))] = K.Place;
  return I;
}

// The store still holds Item at Place.
bool StillThere(IRegistryStore& Store, TRecordedKind Kind, const std::string& Item, const TRecordPlace& Place) {
  const auto K = Store.OpenKey(Place.SubKey);
  if (!K) return false;
  std::string V;
  if (Kind == rkRegistryKey) {
    int32_t Root = -1;
    return K->ReadString(L::KeyValue, V) && K->ReadInteger(L::RootValue, Root) &&
           SameText(RegistryItem(static_cast<TRootKeys>(Root), V), Item);
  }
  if (!K->ReadString(Place.ValueName, V)) return false;
  std::string Path = Trim(V);
  bool IsProgram = false;
  if (Kind == rkActiveX && !ParseActiveXEntry(Path, Path, IsProgram)) return false;
  return SameText(Path, Item);
}

bool FindRecorded(IRegistryStore& Store, const std::string& Key, TRecordedKind Kind, const std::string& Item,
                  TRecordPlace& Place) {
  // An item the index does not know is taken as new: reading the record
  // again for each would cost a first installation its whole record per item.
  for (bool Reread : {false, true}) {
    const TPlaces& Places = IndexOf(Store, Key, Reread)[Kind];
    const auto It = Places.find(UpperCase(Item));
    if (It == Places.end()) return false;
    if (StillThere(Store, Kind, Item, It->second)) {
      Place = It->second;
      return true;
    }
  }
  return false;
}

void NoteRecorded(const std::string& Key, TRecordedKind Kind, const std::string& Item, const TRecordPlace& Place) {
  const auto Known = Indexes().find(UpperCase(RemoveBackslash(Key)));
  if (Known != Indexes().end()) Known->second[Kind][UpperCase(Item)] = Place;
}

}  // namespace
