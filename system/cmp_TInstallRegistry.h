// Registry keys of a project: one install object writes one key with a list
// of named values during the installation, and records what it wrote under
// the product's uninstall key so that the uninstaller can take it away.
#pragma once

#include <string>

#include "environment/routines_Registry.h"
#include "model/cmp_TInstallContainer.h"
#include "rtl/cmp_TCollection.h"

class TCustomPathSpecifier;
class TCustomInstallRegistry;
class TRegistryEntry;

enum TKeySpecifier { ksAbsolute, ksCompanyName, ksProductName, ksVersion };
extern const TEnumInfo KeySpecifierInfo;
enum TRegistryEntryType { retText, retInteger, retBoolean };
extern const TEnumInfo RegistryEntryTypeInfo;

// InstallRegistry, Entry, var Continue (starts True; False skips the value).
using TBeforeWriteEntry =
    TEvent<void(TCustomInstallRegistry* InstallRegistry, TRegistryEntry* Entry, bool& Continue)>;

// One value of the key.  Outside loading, assigning a value also picks the
// entry type that is written.
class TRegistryEntry : public TCollectionItem {
  QV_CLASS()
 public:
  explicit TRegistryEntry(TCollection* Collection);

  std::string Ident;
  TRegistryEntryType EntryType = retText;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  int32_t Integer() const { return FInteger; }
  void SetInteger(int32_t Value);
  bool Boolean() const { return FBoolean; }
  void SetBoolean(bool Value);
  TCustomPathSpecifier* PathSpecifier() const { return FPathSpecifier; }
  void SetPathSpecifier(TCustomPathSpecifier* Value);
  // The specifier went away: the entry keeps its type and its "%p".
  void DropPathSpecifier() { FPathSpecifier = nullptr; }

  // The registry component whose Entries hold this item (nullptr when the
  // item is in no collection).
  TCustomInstallRegistry* InstallRegistry() const;
  // Text with "%p" replaced by the specifier's directory for the registry
  // component; unchanged without a specifier.
  std::string ExpandedText() const;
  void Assign(const TRegistryEntry& Source);

 private:
  bool OwnerLoading() const;

  std::string FText;
  int32_t FInteger = 0;
  bool FBoolean = false;
  TCustomPathSpecifier* FPathSpecifier = nullptr;
};

class TRegistryEntries : public TOwnedCollection<TRegistryEntry> {
  QV_CLASS()
 public:
  // Owner is the registry component; none is refused.
  explicit TRegistryEntries(TCustomInstallRegistry* Owner);
  TCustomInstallRegistry* InstallRegistry() const { return FInstallRegistry; }
  void Assign(const TRegistryEntries& Source);

 private:
  TCustomInstallRegistry* FInstallRegistry;
};

class TCustomInstallRegistry : public TInstallObject {
  QV_CLASS()
 public:
  explicit TCustomInstallRegistry(TComponent* AOwner);
  ~TCustomInstallRegistry() override;

  TRegistryEntries* Entries() const { return FEntries.get(); }
  virtual void SetEntries(const TRegistryEntries& Value);
  const std::string& Key() const { return FKey; }
  virtual void SetKey(const std::string& Value);
  TKeySpecifier KeySpecifierType() const { return FKeySpecifierType; }
  virtual void SetKeySpecifierType(TKeySpecifier Value);
  TRootKeys RootKey = hkLocalMachine;
  TBeforeWriteEntry OnBeforeWriteEntry;

  virtual std::string GetKeyPath() const;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  int32_t RegisteredType() const override { return rtRegistry; }
  void InstallObjects() override;
  void WriteUninstallInfo(const std::string& Key) override;

 protected:
  void WriteEntry(TRegistryEntry& Entry);

  std::unique_ptr<TRegistryEntries> FEntries;
  std::string FKey = "\\SOFTWARE\\MyStuff";
  TKeySpecifier FKeySpecifierType = ksAbsolute;
};

class TInstallRegistry : public TCustomInstallRegistry {
  QV_CLASS()
 public:
  using TCustomInstallRegistry::TCustomInstallRegistry;
};

// Every live registry component, in creation order.
class TInstallRegistryList : public TTypedRefList<TCustomInstallRegistry> {
 public:
  void Add(TCustomInstallRegistry* R);  // refuses nothing but a missing entry
};
TInstallRegistryList& InstallRegistryList();

void RegisterInstallRegistryClasses();
