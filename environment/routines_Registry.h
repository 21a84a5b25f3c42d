// Registry access: the root codes that projects store, a key wrapper that
// closes what it opens, and the value helpers the kit writes and reads
// through.
//
// Key paths are relative to the root; a leading "\" is allowed and ignored
// (projects write them as "\SOFTWARE\...").
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "records/types_RegistryStore.h"
#include "rtl/cmp_TComponent.h"

// The predefined keys (TRootKeys) come with the records, which store their
// ordinals.

// Names of TRootKeys for published properties ("hkClassesRoot" ...).
const TEnumInfo& RootKeysInfo();

HKEY RootKeyToHKEY(TRootKeys Root);
// The code of a predefined key; Default for any other handle.
TRootKeys HKEYToRootKey(HKEY Key, TRootKeys Default);
// "HKEY_LOCAL_MACHINE" ..., for messages.
std::string RootKeyName(TRootKeys Root);
// Key without its leading and trailing "\" ("\SOFTWARE\X\" gives
// "SOFTWARE\X"): the form the registry functions take.
std::string RelativeKey(const std::string& Key);

// One open registry key.  Operations answer false on failure and remember
// the failing call, so a caller that raises can name the function, the
// error code and the system's text (FailureText).
class TRegKey {
 public:
  TRegKey() = default;
  ~TRegKey() { Close(); }
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  TRegKey(TRegKey&& O) noexcept;
  TRegKey& operator=(TRegKey&& O) noexcept;

  // Opens Key below Root for reading and writing, creating it (and missing
  // parents) when CanCreate.  Closes a key that was open before.
  bool Open(TRootKeys Root, const std::string& Key, bool CanCreate);
  bool OpenReadOnly(TRootKeys Root, const std::string& Key);
  void Close();
  bool IsOpen() const { return FKey != nullptr; }
  HKEY Handle() const { return FKey; }

  bool ValueExists(const std::string& Name) const;
  // REG_SZ or REG_EXPAND_SZ (not expanded).
  bool ReadString(const std::string& Name, std::string& Value) const;
  // REG_DWORD.
  bool ReadInteger(const std::string& Name, int32_t& Value) const;
  // Any type, the raw bytes (dates are stored as the 8 bytes of a double).
  bool ReadBinary(const std::string& Name, std::vector<uint8_t>& Value) const;
  bool WriteString(const std::string& Name, const std::string& Value);
  bool WriteInteger(const std::string& Name, int32_t Value);
  bool WriteBinary(const std::string& Name, const void* Data, size_t Size);
  bool DeleteValue(const std::string& Name);
  // Names in the order Windows enumerates them.
  bool GetValueNames(std::vector<std::string>& Names) const;
  bool GetKeyNames(std::vector<std::string>& Names) const;
  bool HasSubKeys() const;
  bool Flush();

  LONG LastError() const { return FLastError; }
  // "RegSetValueExA(Name) failed: error 5: Access is denied." for the last
  // failed operation.
  std::string FailureText() const;

 private:
  bool OpenWith(TRootKeys Root, const std::string& Key, bool CanCreate, REGSAM Access);
  bool Fail(const char* Function, const std::string& Subject, LONG Code) const;
  bool QueryValue(const std::string& Name, DWORD& Type, std::vector<uint8_t>& Data) const;

  HKEY FKey = nullptr;
  std::string FPath;  // for messages: "HKEY_CURRENT_USER\Software\..."
  mutable LONG FLastError = ERROR_SUCCESS;
  mutable std::string FLastCall;
};

// Opens (creating) Key and writes a string value; any failure raises
// EIRCannotWriteValue "Cannot install into registry. Key: %s Ident: %s Value %s".
void RegWriteString(TRootKeys Root, const std::string& Key, const std::string& Name,
                    const std::string& Value);
// The same for an integer value; the failure's message is Key.
void RegWriteInteger(TRootKeys Root, const std::string& Key, const std::string& Name, int32_t Value);
// Default unless Key exists, opens and holds Name with data of the right type.
std::string RegReadString(TRootKeys Root, const std::string& Key, const std::string& Name,
                          const std::string& Default);
int32_t RegReadInteger(TRootKeys Root, const std::string& Key, const std::string& Name,
                       int32_t Default);
// Deletes Key with all its sub keys, deepest first; failures are ignored.  An
// empty Key does nothing (it would name the root itself).
void RegDeleteKeyTree(TRootKeys Root, const std::string& Key);
