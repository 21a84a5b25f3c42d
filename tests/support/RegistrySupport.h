// Registry helpers for tests that change the real (Wine) registry: a value
// that is put back as it was, and a scratch key that is removed afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "environment/routines_Registry.h"

// Remembers a value (or that it was absent) and restores it on destruction.
class TSavedRegValue {
 public:
  TSavedRegValue(TRootKeys Root, std::string Key, std::string Name)
      : FRoot(Root), FKey(std::move(Key)), FName(std::move(Name)) {
    HKEY K;
    if (RegOpenKeyExA(RootKeyToHKEY(FRoot), FKey.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS) return;
    DWORD Size = 0;
    if (RegQueryValueExA(K, FName.c_str(), nullptr, &FType, nullptr, &Size) == ERROR_SUCCESS) {
      FData.resize(Size);
      FExisted = RegQueryValueExA(K, FName.c_str(), nullptr, &FType, FData.data(), &Size) == ERROR_SUCCESS;
      FData.resize(Size);
    }
    RegCloseKey(K);
  }
  ~TSavedRegValue() { Restore(); }
  TSavedRegValue(const TSavedRegValue&) = delete;
  TSavedRegValue& operator=(const TSavedRegValue&) = delete;

  bool Existed() const { return FExisted; }

  void Restore() {
    HKEY K;
    if (RegCreateKeyExA(RootKeyToHKEY(FRoot), FKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &K,
                        nullptr) != ERROR_SUCCESS)
      return;
    if (FExisted)
      RegSetValueExA(K, FName.c_str(), 0, FType, FData.data(), static_cast<DWORD>(FData.size()));
    else
      RegDeleteValueA(K, FName.c_str());
    RegCloseKey(K);
  }

  // Removes the value for the time of the test.
  void Delete() {
    HKEY K;
    if (RegOpenKeyExA(RootKeyToHKEY(FRoot), FKey.c_str(), 0, KEY_WRITE, &K) != ERROR_SUCCESS) return;
    RegDeleteValueA(K, FName.c_str());
    RegCloseKey(K);
  }

 private:
  TRootKeys FRoot;
  std::string FKey, FName;
  bool FExisted = false;
  DWORD FType = REG_NONE;
  std::vector<BYTE> FData;
};

// A key of its own for one test, named after the process so that parallel
// runs do not meet; deleted with everything below it afterwards.
class TScratchKey {
 public:
  TScratchKey(TRootKeys Root, const std::string& Parent)
      : FRoot(Root), FPath(Parent + "\\QvTest" + std::to_string(GetCurrentProcessId())) {
    RegDeleteKeyTree(FRoot, FPath);
  }
  ~TScratchKey() { RegDeleteKeyTree(FRoot, FPath); }
  TScratchKey(const TScratchKey&) = delete;
  TScratchKey& operator=(const TScratchKey&) = delete;

  const std::string& Path() const { return FPath; }
  std::string Sub(const std::string& Name) const { return FPath + "\\" + Name; }

 private:
  TRootKeys FRoot;
  std::string FPath;
};

// Whether Key exists below Root, asked of the registry directly.
inline bool RegKeyExists(TRootKeys Root, const std::string& Key) {
  HKEY K;
  if (RegOpenKeyExA(RootKeyToHKEY(Root), Key.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS) return false;
  RegCloseKey(K);
  return true;
}

// Creates Key below Root as a volatile key: Windows refuses to create a
// lasting key below it, which is how the tests make a registry write fail.
inline bool CreateVolatileKey(TRootKeys Root, const std::string& Key) {
  HKEY K;
  if (RegCreateKeyExA(RootKeyToHKEY(Root), Key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
                      nullptr, &K, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(K);
  return true;
}
