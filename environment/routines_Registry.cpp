#include "environment/routines_Registry.h"

#include <cstring>

#include "environment/routines_API.h"
#include "rtl/exceptions_Quorvane.h"

namespace {

struct TRootKeyEntry {
  HKEY Key;
  const char* Name;
};

// Indexed by TRootKeys.
const TRootKeyEntry RootKeyTable[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"}, {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"}, {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"}, {HKEY_USERS, "HKEY_USERS"},
};
constexpr int RootKeyCount = sizeof(RootKeyTable) / sizeof(RootKeyTable[0]);

// Windows refuses deeper nesting than this; it also bounds the recursion on
// a registry that changes while we delete.
constexpr int MaxKeyDepth = 512;

void DeleteKeyTree(TRootKeys Root, const std::string& Key, int Depth) {
  if (Depth > MaxKeyDepth) return;
  std::vector<std::string> SubKeys;
  {
    // The names are taken first and the key closed again: enumerating while
    // deleting would skip entries.
    TRegKey K;
    if (K.OpenReadOnly(Root, Key)) K.GetKeyNames(SubKeys);
  }
  for (const std::string& Sub : SubKeys) DeleteKeyTree(Root, Key + "\\" + Sub, Depth + 1);
  RegDeleteKeyA(RootKeyToHKEY(Root), Key.c_str());
}

}  // namespace

// Projects write absolute-looking paths ("\SOFTWARE\..."); the registry API
// wants them relative to the root and refuses a leading backslash.
std::string RelativeKey(const std::string& Key) {
  size_t B = Key.find_first_not_of('\\');
  if (B == std::string::npos) return std::string();
  size_t E = Key.find_last_not_of('\\');
  return Key.substr(B, E - B + 1);
}

const TEnumInfo& RootKeysInfo() {
  static const TEnumInfo Info{"TRootKeys",
                              {"hkClassesRoot", "hkCurrentConfig", "hkCurrentUser", "hkDynData",
                               "hkLocalMachine", "hkUsers"}};
  return Info;
}

HKEY RootKeyToHKEY(TRootKeys Root) {
  int I = static_cast<int>(Root);
  return I >= 0 && I < RootKeyCount ? RootKeyTable[I].Key : nullptr;
}

TRootKeys HKEYToRootKey(HKEY Key, TRootKeys Default) {
  for (int I = 0; I < RootKeyCount; ++I)
    if (RootKeyTable[I].Key == Key) return static_cast<TRootKeys>(I);
  return Default;
}

std::string RootKeyName(TRootKeys Root) {
  int I = static_cast<int>(Root);
  return I >= 0 && I < RootKeyCount ? RootKeyTable[I].Name : "HKEY_?";
}

// --- TRegKey ----------------------------------------------------------------

TRegKey::TRegKey(TRegKey&& O) noexcept { *this = std::move(O); }

TRegKey& TRegKey::operator=(TRegKey&& O) noexcept {
  if (this != &O) {
    Close();
    FKey = O.FKey;
    FPath = std::move(O.FPath);
    FLastError = O.FLastError;
    FLastCall = std::move(O.FLastCall);
    O.FKey = nullptr;
  }
  return *this;
}

bool TRegKey::Fail(const char* Function, const std::string& Subject, LONG Code) const {
  FLastError = Code;
  FLastCall = std::string(Function) + "(" + Subject + ")";
  return false;
}

std::string TRegKey::FailureText() const {
  return Win32FailureText(FLastCall, static_cast<DWORD>(FLastError));
}

bool TRegKey::Open(TRootKeys Root, const std::string& Key, bool CanCreate) {
  return OpenWith(Root, Key, CanCreate, KEY_READ | KEY_WRITE);
}

bool TRegKey::OpenReadOnly(TRootKeys Root, const std::string& Key) {
  return OpenWith(Root, Key, false, KEY_READ);
}

bool TRegKey::OpenWith(TRootKeys Root, const std::string& Key, bool CanCreate, REGSAM Access) {
  Close();
  std::string Rel = RelativeKey(Key);
  FPath = RootKeyName(Root) + (Rel.empty() ? "" : "\\" + Rel);
  const char* Function = CanCreate ? "RegCreateKeyExA" : "RegOpenKeyExA";
  HKEY RootKey = RootKeyToHKEY(Root);
  if (!RootKey) return Fail(Function, FPath, ERROR_INVALID_HANDLE);
  LONG R = CanCreate ? RegCreateKeyExA(RootKey, Rel.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       Access, nullptr, &FKey, nullptr)
                     : RegOpenKeyExA(RootKey, Rel.c_str(), 0, Access, &FKey);
  if (R != ERROR_SUCCESS) {
    FKey = nullptr;
    return Fail(Function, FPath, R);
  }
  FLastError = ERROR_SUCCESS;
  return true;
}

void TRegKey::Close() {
  if (FKey) RegCloseKey(FKey);
  FKey = nullptr;
}

bool TRegKey::QueryValue(const std::string& Name, DWORD& Type, std::vector<uint8_t>& Data) const {
  if (!FKey) return Fail("RegQueryValueExA", FPath + ", " + Name, ERROR_INVALID_HANDLE);
  // The value may grow between the size query and the read; ask again then.
  for (int Attempt = 0; Attempt < 4; ++Attempt) {
    DWORD Size = 0;
    LONG R = RegQueryValueExA(FKey, Name.c_str(), nullptr, &Type, nullptr, &Size);
    if (R != ERROR_SUCCESS) return Fail("RegQueryValueExA", FPath + ", " + Name, R);
    Data.resize(Size);
    R = RegQueryValueExA(FKey, Name.c_str(), nullptr, &Type, Data.empty() ? nullptr : Data.data(),
                         &Size);
    if (R == ERROR_MORE_DATA) continue;
    if (R != ERROR_SUCCESS) return Fail("RegQueryValueExA", FPath + ", " + Name, R);
    Data.resize(Size);
    return true;
  }
  return Fail("RegQueryValueExA", FPath + ", " + Name, ERROR_MORE_DATA);
}

bool TRegKey::ValueExists(const std::string& Name) const {
  if (!FKey) return false;
  return RegQueryValueExA(FKey, Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegKey::ReadString(const std::string& Name, std::string& Value) const {
  DWORD Type;
  std::vector<uint8_t> Data;
  if (!QueryValue(Name, Type, Data)) return false;
  if (Type != REG_SZ && Type != REG_EXPAND_SZ)
    return Fail("RegQueryValueExA", FPath + ", " + Name, ERROR_INVALID_DATATYPE);
  // The stored data need not end in a NUL, or may carry several.
  size_t Len = 0;
  while (Len < Data.size() && Data[Len] != 0) ++Len;
  Value.assign(reinterpret_cast<const char*>(Data.data()), Len);
  return true;
}

bool TRegKey::ReadInteger(const std::string& Name, int32_t& Value) const {
  DWORD Type;
  std::vector<uint8_t> Data;
  if (!QueryValue(Name, Type, Data)) return false;
  if (Type != REG_DWORD || Data.size() != sizeof(int32_t))
    return Fail("RegQueryValueExA", FPath + ", " + Name, ERROR_INVALID_DATATYPE);
  memcpy(&Value, Data.data(), sizeof(int32_t));
  return true;
}

bool TRegKey::ReadBinary(const std::string& Name, std::vector<uint8_t>& Value) const {
  DWORD Type;
  return QueryValue(Name, Type, Value);
}

bool TRegKey::WriteString(const std::string& Name, const std::string& Value) {
  if (!FKey) return Fail("RegSetValueExA", FPath + ", " + Name, ERROR_INVALID_HANDLE);
  LONG R = RegSetValueExA(FKey, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                          static_cast<DWORD>(Value.size() + 1));
  return R == ERROR_SUCCESS || Fail("RegSetValueExA", FPath + ", " + Name, R);
}

bool TRegKey::WriteInteger(const std::string& Name, int32_t Value) {
  if (!FKey) return Fail("RegSetValueExA", FPath + ", " + Name, ERROR_INVALID_HANDLE);
  DWORD D = static_cast<DWORD>(Value);
  LONG R = RegSetValueExA(FKey, Name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&D),
                          sizeof(D));
  return R == ERROR_SUCCESS || Fail("RegSetValueExA", FPath + ", " + Name, R);
}

bool TRegKey::WriteBinary(const std::string& Name, const void* Data, size_t Size) {
  if (!FKey) return Fail("RegSetValueExA", FPath + ", " + Name, ERROR_INVALID_HANDLE);
  LONG R = RegSetValueExA(FKey, Name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(Data),
                          static_cast<DWORD>(Size));
  return R == ERROR_SUCCESS || Fail("RegSetValueExA", FPath + ", " + Name, R);
}

bool TRegKey::DeleteValue(const std::string& Name) {
  if (!FKey) return Fail("RegDeleteValueA", FPath + ", " + Name, ERROR_INVALID_HANDLE);
  LONG R = RegDeleteValueA(FKey, Name.c_str());
  return R == ERROR_SUCCESS || Fail("RegDeleteValueA", FPath + ", " + Name, R);
}

bool TRegKey::GetValueNames(std::vector<std::string>& Names) const {
  Names.clear();
  if (!FKey) return Fail("RegQueryInfoKeyA", FPath, ERROR_INVALID_HANDLE);
  DWORD MaxLen = 0;
  LONG R = RegQueryInfoKeyA(FKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            &MaxLen, nullptr, nullptr, nullptr);
  if (R != ERROR_SUCCESS) return Fail("RegQueryInfoKeyA", FPath, R);
  std::vector<char> Buf(MaxLen + 1);
  for (DWORD I = 0;; ++I) {
    DWORD Len = static_cast<DWORD>(Buf.size());
    R = RegEnumValueA(FKey, I, Buf.data(), &Len, nullptr, nullptr, nullptr, nullptr);
    if (R == ERROR_NO_MORE_ITEMS) return true;
    if (R == ERROR_MORE_DATA) {  // a longer name was added meanwhile
      Buf.resize(Buf.size() * 2);
      --I;
      continue;
    }
    if (R != ERROR_SUCCESS) return Fail("RegEnumValueA", FPath, R);
    Names.emplace_back(Buf.data(), Len);
  }
}

bool TRegKey::GetKeyNames(std::vector<std::string>& Names) const {
  Names.clear();
  if (!FKey) return Fail("RegEnumKeyExA", FPath, ERROR_INVALID_HANDLE);
  // Key names are at most 255 characters.
  char Buf[256];
  for (DWORD I = 0;; ++I) {
    DWORD Len = sizeof(Buf);
    LONG R = RegEnumKeyExA(FKey, I, Buf, &Len, nullptr, nullptr, nullptr, nullptr);
    if (R == ERROR_NO_MORE_ITEMS) return true;
    if (R != ERROR_SUCCESS) return Fail("RegEnumKeyExA", FPath, R);
    Names.emplace_back(Buf, Len);
  }
}

bool TRegKey::HasSubKeys() const {
  if (!FKey) return false;
  DWORD Count = 0;
  LONG R = RegQueryInfoKeyA(FKey, nullptr, nullptr, nullptr, &Count, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr);
  return R == ERROR_SUCCESS && Count > 0;
}

bool TRegKey::Flush() {
  if (!FKey) return Fail("RegFlushKey", FPath, ERROR_INVALID_HANDLE);
  LONG R = RegFlushKey(FKey);
  return R == ERROR_SUCCESS || Fail("RegFlushKey", FPath, R);
}

// --- Value helpers ------------------------------------------------------------

void RegWriteString(TRootKeys Root, const std::string& Key, const std::string& Name,
                    const std::string& Value) {
  TRegKey K;
  if (!K.Open(Root, Key, true) || !K.WriteString(Name, Value))
    throw EIRCannotWriteValue(
        TranslatedFormat("Cannot install into registry. Key: %s Ident: %s Value %s", Key, Name, Value));
}

void RegWriteInteger(TRootKeys Root, const std::string& Key, const std::string& Name, int32_t Value) {
  TRegKey K;
  if (!K.Open(Root, Key, true) || !K.WriteInteger(Name, Value)) throw EIRCannotWriteValue(Key);
}

std::string RegReadString(TRootKeys Root, const std::string& Key, const std::string& Name,
                          const std::string& Default) {
  TRegKey K;
  std::string Value;
  if (K.OpenReadOnly(Root, Key) && K.ReadString(Name, Value)) return Value;
  return Default;
}

int32_t RegReadInteger(TRootKeys Root, const std::string& Key, const std::string& Name,
                       int32_t Default) {
  TRegKey K;
  int32_t Value;
  if (K.OpenReadOnly(Root, Key) && K.ReadInteger(Name, Value)) return Value;
  return Default;
}

void RegDeleteKeyTree(TRootKeys Root, const std::string& Key) {
  std::string Rel = RelativeKey(Key);
  if (!Rel.empty()) DeleteKeyTree(Root, Rel, 0);
}
