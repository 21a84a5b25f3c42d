// A registry-like store, as far as the kit's records need one: keys named
// by paths below one root ("\A\B\C"; a leading backslash is allowed), each
// holding sub-keys and named string and DWORD values; names are compared
// without regard to case.  The registry of Windows is one
// (environment/routines_RegistryStore.h); the tests and fuzz targets keep
// one in memory.  The records read and write through it, so their layout
// and its readers and writers build and run everywhere.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The predefined keys of the registry, in the order their ordinals are
// stored: in project streams (the RootKey of a registry component) and as
// the "Root" of a registry key in the uninstall record.
enum TRootKeys { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkUsers };

// One open key.  Operations answer false on failure and leave their output
// alone; FailureText then names what failed, for a report.
class IRegistryStoreKey {
 public:
  virtual ~IRegistryStoreKey() = default;
  // Names in the order the store lists them.
  virtual bool GetValueNames(std::vector<std::string>& Names) const = 0;
  virtual bool GetKeyNames(std::vector<std::string>& Names) const = 0;
  // A string value (REG_SZ or REG_EXPAND_SZ, not expanded); false for any
  // other type.
  virtual bool ReadString(const std::string& Name, std::string& Value) const = 0;
  // A DWORD value; false for any other type.
  virtual bool ReadInteger(const std::string& Name, int32_t& Value) const = 0;
  virtual bool WriteString(const std::string& Name, const std::string& Value) = 0;
  virtual bool WriteInteger(const std::string& Name, int32_t Value) = 0;
  // The last failed operation: "RegQueryValueExA(...) failed: error 2: ...".
  virtual std::string FailureText() const = 0;
};

class IRegistryStore {
 public:
  virtual ~IRegistryStore() = default;
  // Path opened for reading; nullptr when it does not exist or cannot be
  // opened.
  virtual std::unique_ptr<IRegistryStoreKey> OpenKey(const std::string& Path) = 0;
  // Path opened for reading and writing, made (with missing parents) when
  // it does not exist; nullptr when that fails.
  virtual std::unique_ptr<IRegistryStoreKey> CreateKey(const std::string& Path) = 0;
};
