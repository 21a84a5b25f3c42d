#include "system/cmp_TInstallRegistry.h"

#include "engine/cmp_TInstall.h"
#include "environment/routines_RegistryStore.h"
#include "environment/routines_RunOptions.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/routines_RunJournal.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"

const TEnumInfo KeySpecifierInfo{"TKeySpecifier",
                                 {"ksAbsolute", "ksCompanyName", "ksProductName", "ksVersion"}};
const TEnumInfo RegistryEntryTypeInfo{"TRegistryEntryType", {"retText", "retInteger", "retBoolean"}};

namespace {
// The project's install component, when the current install is one (the
// key kinds need its company, product and version).
TCustomInstall* InstallComponent() { return dynamic_cast<TCustomInstall*>(CurrentInstall()); }

[[noreturn]] void NoInstallComponent() {
  throw IEInstallRegistry("There is no TInstall component in your project");
}
}  // namespace

// --- TRegistryEntry ------------------------------------------------------------------

const TClassInfo& TRegistryEntry::StaticClass() {
  using C = TRegistryEntry;
  static const TClassInfo Info =
      TClassBuilder<C>("TRegistryEntry", &TCollectionItem::StaticClass())
          .Str("Ident", &C::Ident)
          .Enum("EntryType", RegistryEntryTypeInfo, &C::EntryType, retText)
          .Str("Text", &C::Text, &C::SetText)
          .Int("Integer", &C::Integer, &C::SetInteger)
          .Bool("Boolean", &C::Boolean, &C::SetBoolean)
          .Ref("PathSpecifier", TCustomPathSpecifier::StaticClass(), &C::PathSpecifier,
               &C::SetPathSpecifier)
          .Build();
  return Info;
}

TRegistryEntry::TRegistryEntry(TCollection* Collection) : TCollectionItem(Collection) {}

TCustomInstallRegistry* TRegistryEntry::InstallRegistry() const {
  auto* Entries = dynamic_cast<TRegistryEntries*>(Collection());
  return Entries ? Entries->InstallRegistry() : nullptr;
}

bool TRegistryEntry::OwnerLoading() const {
  TCustomInstallRegistry* R = InstallRegistry();
  return R && R->IsLoading();
}

void TRegistryEntry::SetText(const std::string& Value) {
  FText = Value;
  if (!OwnerLoading()) EntryType = retText;
}

void TRegistryEntry::SetInteger(int32_t Value) {
  FInteger = Value;
  if (!OwnerLoading()) EntryType = retInteger;
}

void TRegistryEntry::SetBoolean(bool Value) {
  FBoolean = Value;
  if (!OwnerLoading()) EntryType = retBoolean;
}

void TRegistryEntry::SetPathSpecifier(TCustomPathSpecifier* Value) {
  FPathSpecifier = Value;
  // The owner hears of the specifier's removal (also while loading: the
  // reference must never outlive the specifier).
  if (Value)
    if (TCustomInstallRegistry* R = InstallRegistry()) Value->FreeNotification(R);
  if (OwnerLoading()) return;
  if (Value) FText = "%p";
  EntryType = retText;
}

std::string TRegistryEntry::ExpandedText() const {
  if (!FPathSpecifier) return FText;
  return ExpandPathMacro(FText, FPathSpecifier->GetPath(InstallRegistry()));
}

void TRegistryEntry::Assign(const TRegistryEntry& Source) {
  Ident = Source.Ident;
  EntryType = Source.EntryType;
  FText = Source.FText;
  FInteger = Source.FInteger;
  FBoolean = Source.FBoolean;
  FPathSpecifier = Source.FPathSpecifier;
  if (FPathSpecifier)
    if (TCustomInstallRegistry* R = InstallRegistry()) FPathSpecifier->FreeNotification(R);
}

// --- TRegistryEntries ----------------------------------------------------------------

const TClassInfo& TRegistryEntries::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TRegistryEntries>("TRegistryEntries", &TCollection::StaticClass()).Build();
  return Info;
}

namespace {
TCustomInstallRegistry* CheckedEntriesOwner(TCustomInstallRegistry* Owner) {
  if (!Owner) throw IERegistryEntries("Cannot create a TRegistryEntries component with a Nil Owner");
  return Owner;
}
}  // namespace

TRegistryEntries::TRegistryEntries(TCustomInstallRegistry* Owner)
    : TOwnedCollection<TRegistryEntry>(CheckedEntriesOwner(Owner)), FInstallRegistry(Owner) {}

void TRegistryEntries::Assign(const TRegistryEntries& Source) {
  if (&Source == this) return;
  BeginUpdate();
  struct TEnd {
    TRegistryEntries& E;
    ~TEnd() { E.EndUpdate(); }
  } End{*this};
  Clear();
  for (int i = 0; i < Source.Count(); ++i) Add()->Assign(*Source.Items(i));
}

// --- TCustomInstallRegistry ------------------------------------------------------------

const TClassInfo& TCustomInstallRegistry::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TCustomInstallRegistry>(
                                     "TCustomInstallRegistry", &TInstallObject::StaticClass())
                                     .Build();
  return Info;
}

TInstallRegistryList& InstallRegistryList() {
  static TInstallRegistryList L;
  return L;
}

void TInstallRegistryList::Add(TCustomInstallRegistry* R) {
  if (!R) throw IEInstallRegistryList("Cannot add blank entry to the registry list");
  TTypedRefList<TCustomInstallRegistry>::Add(R);
}

TCustomInstallRegistry::TCustomInstallRegistry(TComponent* AOwner)
    : TInstallObject(AOwner), FEntries(new TRegistryEntries(this)) {
  AutoInstall = true;
  InstallRegistryList().Add(this);
}

TCustomInstallRegistry::~TCustomInstallRegistry() { InstallRegistryList().Remove(this); }

void TCustomInstallRegistry::SetEntries(const TRegistryEntries& Value) { FEntries->Assign(Value); }

void TCustomInstallRegistry::SetKey(const std::string& Value) {
  FKey = FKeySpecifierType == ksAbsolute ? Value : std::string();
}

void TCustomInstallRegistry::SetKeySpecifierType(TKeySpecifier Value) {
  if (Value != ksAbsolute) {
    if (!IsLoading() && !InstallComponent()) NoInstallComponent();
    // The key is built from the install's information, always on the
    // machine's side of the registry.
    FKey.clear();
    RootKey = hkLocalMachine;
  }
  FKeySpecifierType = Value;
}

std::string TCustomInstallRegistry::GetKeyPath() const {
  if (FKeySpecifierType == ksAbsolute) return RemoveBackslash(FKey);
  TCustomInstall* I = InstallComponent();
  if (!I) NoInstallComponent();
  const TInstallInformation& Info = *I->Information();
  std::string Path = "\\SOFTWARE\\" + Info.CompanyName;
  if (FKeySpecifierType == ksCompanyName) return Path;
  Path += "\\" + Info.ProductName;
  if (FKeySpecifierType == ksProductName) return Path;
  return Path + "\\" + Info.Version;
}

void TCustomInstallRegistry::Loaded() {
  TInstallObject::Loaded();
  // Items read from the stream took their values as they were; now each
  // one's specifier reports its removal to this component.
  for (int i = 0; i < FEntries->Count(); ++i)
    if (TCustomPathSpecifier* S = FEntries->Items(i)->PathSpecifier()) S->FreeNotification(this);
}

void TCustomInstallRegistry::Notification(TComponent* AComponent, TOperation Operation) {
  TInstallObject::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  for (int i = 0; i < FEntries->Count(); ++i) {
    TRegistryEntry* E = FEntries->Items(i);
    if (static_cast<TComponent*>(E->PathSpecifier()) == AComponent) E->DropPathSpecifier();
  }
  // The install component leaves the current-install slot before the
  // removal is announced, so its absence is what tells it went.
  if (FKeySpecifierType != ksAbsolute && !InstallComponent()) FKeySpecifierType = ksAbsolute;
}

void TCustomInstallRegistry::WriteEntry(TRegistryEntry& Entry) {
  const std::string Path = GetKeyPath();
  RunJournal().KeyToBeChanged(RootKey, Path, false);
  TRegKey K;
  if (!K.Open(RootKey, Path, true))
    throw IERegistryEntry("%s cannot create the key %s in the registry", Name(), Path);
  bool Written = false;
  std::string Shown;
  switch (Entry.EntryType) {
    case retText:
      Shown = Entry.ExpandedText();
      Written = K.WriteString(Entry.Ident, Shown);
      break;
    case retInteger:
      Shown = std::to_string(Entry.Integer());
      Written = K.WriteInteger(Entry.Ident, Entry.Integer());
      break;
    case retBoolean:
      Shown = Entry.Boolean() ? "1" : "0";
      Written = K.WriteInteger(Entry.Ident, Entry.Boolean() ? 1 : 0);
      break;
  }
  if (!Written)
    throw EIRCannotWriteValue(TranslatedFormat(
        "Cannot install into registry. Key: %s Ident: %s Value %s", Path, Entry.Ident, Shown));
  LogLine("Registry value written: " + Path + " " + Entry.Ident + " = " + Shown);
}

void TCustomInstallRegistry::InstallObjects() {
  for (int i = 0; i < FEntries->Count(); ++i) {
    TRegistryEntry* E = FEntries->Items(i);
    bool Continue = true;
    if (OnBeforeWriteEntry) OnBeforeWriteEntry(this, E, Continue);
    if (Continue) WriteEntry(*E);
  }
  TInstallObject::InstallObjects();
}

void TCustomInstallRegistry::WriteUninstallInfo(const std::string& Key) {
  TRegistryStore Machine(hkLocalMachine);
  const std::string Record = AddRecordedRegistryKey(Machine, Key, GetKeyPath(), RootKey);
  for (int i = 0; i < FEntries->Count(); ++i) {
    const TRegistryEntry* E = FEntries->Items(i);
    AddRecordedRegistryEntry(Machine, Record, E->Ident, E->ExpandedText());
  }
}

// --- TInstallRegistry ----------------------------------------------------------------

const TClassInfo& TInstallRegistry::StaticClass() {
  using C = TInstallRegistry;
  static const TClassInfo Info =
      TClassBuilder<C>("TInstallRegistry", &TCustomInstallRegistry::StaticClass())
          .Creatable()
          .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
          .Object("Entries", &C::Entries)
          .Bool("Include", &C::Include, true)
          .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes,
               InstallTypeBit(itAlways))
          .Str("Key", &C::Key, &C::SetKey, "\\SOFTWARE\\MyStuff")
          .Enum("KeySpecifierType", KeySpecifierInfo, &C::KeySpecifierType,
                &C::SetKeySpecifierType, ksAbsolute)
          .Int("Order", &C::Order, &C::SetOrder, -1)
          .NoDefault()
          .Enum("RootKey", RootKeysInfo(), &C::RootKey, hkLocalMachine)
          .Event("OnAfterProcess", &C::OnAfterProcess)
          .Event("OnBeforeProcess", &C::OnBeforeProcess)
          .Event("OnBeforeWriteEntry", &C::OnBeforeWriteEntry)
          .Build();
  return Info;
}

void RegisterInstallRegistryClasses() { RegisterComponentClass(TInstallRegistry::StaticClass()); }
