#include "environment/routines_RegistrySnapshot.h"

#include <windows.h>

#include <algorithm>

#include "rtl/cmp_TComponent.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

struct TRegistrySnapshot::TNode {
  struct TValue {
    std::string Name;
    DWORD Type = REG_NONE;
    std::vector<uint8_t> Data;
  };
  bool Existed = false;
  std::map<std::string, TValue> Values;        // by upper-case name
  std::map<std::string, std::unique_ptr<TNode>> Keys;  // by upper-case name
  std::string Name;                                    // as Windows gave it
};

namespace {

std::string Relative(const std::string& Key) {
  size_t Start = 0;
  while (Start < Key.size() && Key[Start] == '\\') ++Start;
  return RemoveBackslash(Key.substr(Start));
}

std::string Joined(const std::string& Key, const std::string& Sub) { return Key.empty() ? Sub : Key + "\\" + Sub; }

class TOpenKey {
 public:
  TOpenKey(TRootKeys Root, const std::string& Key, REGSAM Access) {
    if (RegOpenKeyExA(RootKeyToHKEY(Root), Relative(Key).c_str(), 0, Access, &FKey) != ERROR_SUCCESS) FKey = nullptr;
  }
  ~TOpenKey() {
    if (FKey) RegCloseKey(FKey);
  }
  TOpenKey(const TOpenKey&) = delete;
  TOpenKey& operator=(const TOpenKey&) = delete;
  explicit operator bool() const { return FKey != nullptr; }
  HKEY Handle() const { return FKey; }

 private:
  HKEY FKey = nullptr;
};

bool KeyExists(TRootKeys Root, const std::string& Key) { return static_cast<bool>(TOpenKey(Root, Key, KEY_READ)); }

bool ReadValue(HKEY K, const std::string& Name, DWORD& Type, std::vector<uint8_t>& Data) {
  DWORD Size = 0;
  if (RegQueryValueExA(K, Name.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS) return false;
  Data.assign(Size, 0);
  return RegQueryValueExA(K, Name.c_str(), nullptr, &Type, Data.empty() ? nullptr : Data.data(), &Size) ==
             ERROR_SUCCESS &&
         (Data.resize(Size), true);
}

std::vector<std::string> ValueNames(HKEY K) {
  std::vector<std::string> Names;
  for (DWORD i = 0;; ++i) {
    char Buf[16384];
    DWORD Len = sizeof Buf;
    if (RegEnumValueA(K, i, Buf, &Len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Names.emplace_back(Buf, Len);
  }
  return Names;
}

std::vector<std::string> KeyNames(HKEY K) {
  std::vector<std::string> Names;
  for (DWORD i = 0;; ++i) {
    char Buf[256];
    DWORD Len = sizeof Buf;
    if (RegEnumKeyExA(K, i, Buf, &Len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Names.emplace_back(Buf, Len);
  }
  return Names;
}

}  // namespace

// The values of Key (all, or the named ones) and, when asked, its sub keys.
static void Take(TRegistrySnapshot::TNode& N, TRootKeys Root, const std::string& Key, bool WithSubKeys,
                 const std::vector<std::string>* Named) {
  TOpenKey K(Root, Key, KEY_READ);
  N.Existed = static_cast<bool>(K);
  if (!K) return;
  const std::vector<std::string> Names = Named ? *Named : ValueNames(K.Handle());
  for (const std::string& Name : Names) {
    TRegistrySnapshot::TNode::TValue V;
    V.Name = Name;
    if (ReadValue(K.Handle(), Name, V.Type, V.Data)) N.Values[UpperCase(Name)] = std::move(V);
  }
  if (!WithSubKeys) return;
  for (const std::string& Sub : KeyNames(K.Handle())) {
    auto Child = std::make_unique<TRegistrySnapshot::TNode>();
    Child->Name = Sub;
    Take(*Child, Root, Joined(Key, Sub), true, nullptr);
    N.Keys[UpperCase(Sub)] = std::move(Child);
  }
}

static void Put(const TRegistrySnapshot::TNode& N, TRootKeys Root, const std::string& Key, bool WithSubKeys,
                const std::vector<std::string>* Named, std::vector<std::string>& Problems) {
  const std::string Shown = RootKeyName(Root) + "\\" + Relative(Key);
  if (!N.Existed && !Named) {
    RegDeleteKeyTree(Root, "\\" + Relative(Key));
    if (KeyExists(Root, Key)) Problems.push_back(Format("The key %s made by the setup cannot be removed", Shown));
    return;
  }
  HKEY H = nullptr;
  if (!N.Existed) {
    // Named values of a key that was not there: they go, the key stays
    // for whoever else writes there.
    if (RegOpenKeyExA(RootKeyToHKEY(Root), Relative(Key).c_str(), 0, KEY_READ | KEY_WRITE, &H) != ERROR_SUCCESS) return;
  } else {
    const LONG R = RegCreateKeyExA(RootKeyToHKEY(Root), Relative(Key).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                   nullptr, &H, nullptr);
    if (R != ERROR_SUCCESS) {
      Problems.push_back(Format("The key %s cannot be put back: %s", Shown, SysErrorMessage(static_cast<uint32_t>(R))));
      return;
    }
  }
  const std::vector<std::string> Now = Named ? *Named : ValueNames(H);
  for (const std::string& Name : Now)
    if (!N.Values.count(UpperCase(Name))) {
      const LONG R = RegDeleteValueA(H, Name.c_str());
      if (R != ERROR_SUCCESS && R != ERROR_FILE_NOT_FOUND)
        Problems.push_back(Format("The value %s of %s cannot be removed: %s", Name, Shown,
                                  SysErrorMessage(static_cast<uint32_t>(R))));
    }
  for (const auto& Entry : N.Values) {
    const TRegistrySnapshot::TNode::TValue& V = Entry.second;
    DWORD Type = REG_NONE;
    std::vector<uint8_t> Data;
    if (ReadValue(H, V.Name, Type, Data) && Type == V.Type && Data == V.Data) continue;
    const LONG R = RegSetValueExA(H, V.Name.c_str(), 0, V.Type, V.Data.empty() ? nullptr : V.Data.data(),
                                  static_cast<DWORD>(V.Data.size()));
    if (R != ERROR_SUCCESS)
      Problems.push_back(Format("The value %s of %s cannot be put back: %s", V.Name, Shown,
                                SysErrorMessage(static_cast<uint32_t>(R))));
  }
  std::vector<std::string> Subs;
  if (WithSubKeys) Subs = KeyNames(H);
  RegCloseKey(H);
  if (!WithSubKeys) return;
  for (const std::string& Sub : Subs)
    if (!N.Keys.count(UpperCase(Sub))) {
      RegDeleteKeyTree(Root, "\\" + Joined(Relative(Key), Sub));
      if (KeyExists(Root, Joined(Key, Sub)))
        Problems.push_back(Format("The key %s made by the setup cannot be removed", Shown + "\\" + Sub));
    }
  for (const auto& Child : N.Keys) Put(*Child.second, Root, Joined(Relative(Key), Child.second->Name), true, nullptr, Problems);
}

TRegistrySnapshot::TRegistrySnapshot(TRootKeys Root, const std::string& Key, bool WithSubKeys)
    : FRoot(Root), FKey(Relative(Key)), FWithSubKeys(WithSubKeys), FNode(std::make_unique<TNode>()) {
  Take(*FNode, FRoot, FKey, FWithSubKeys, nullptr);
  // The highest key of the path that is not there yet: the run makes it
  // and everything below, and taking the key back takes them all.
  if (!FNode->Existed) {
    std::string K = FKey;
    for (std::string Parent = ExtractFileDir(K); !Parent.empty() && Parent != K && !KeyExists(Root, Parent);
         Parent = ExtractFileDir(K = Parent)) {
    }
    FFirstMissing = K;
  }
}

TRegistrySnapshot::TRegistrySnapshot(TRootKeys Root, const std::string& Key, const std::vector<std::string>& Values)
    : FRoot(Root), FKey(Relative(Key)), FNamedOnly(true), FNode(std::make_unique<TNode>()) {
  for (const std::string& V : Values) AddValue(V);
}

TRegistrySnapshot::~TRegistrySnapshot() = default;

void TRegistrySnapshot::AddValue(const std::string& Name) {
  if (!FNamedOnly) return;
  for (const std::string& N : FNames)
    if (SameText(N, Name)) return;
  FNames.push_back(Name);
  const std::vector<std::string> One{Name};
  TNode Taken;
  Take(Taken, FRoot, FKey, false, &One);
  FNode->Existed = FNode->Existed || Taken.Existed;
  for (auto& V : Taken.Values) FNode->Values.insert(std::move(V));
}

std::vector<std::string> TRegistrySnapshot::Restore() const {
  std::vector<std::string> Problems;
  if (!FNamedOnly && !FNode->Existed && !FFirstMissing.empty() && FFirstMissing != FKey) {
    TNode Missing;  // did not exist
    Put(Missing, FRoot, FFirstMissing, true, nullptr, Problems);
    return Problems;
  }
  Put(*FNode, FRoot, FKey, FWithSubKeys, FNamedOnly ? &FNames : nullptr, Problems);
  return Problems;
}
