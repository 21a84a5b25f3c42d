// Registry keys from projects in text form, written into the Wine registry
// and read back: the three value types under several roots, keys built from
// the install's information, the setter rules, and the uninstall record
// that the uninstaller reads.
#include <gtest/gtest.h>

#include "support/RegistrySupport.h"
#include "environment/routines_API.h"
#include "engine/cmp_TInstall.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/model_fixture.h"
#include "system/cmp_TInstallRegistry.h"
#include "system_support.h"

namespace {

const std::string Product = Unique("QvRegProduct");
const std::string Company = Unique("QvRegCo");

std::string InstallText() {
  return "object Install: TInstall\n"
         "  Information.CompanyName = '" + Company + "'\n"
         "  Information.ProductName = '" + Product + "'\n"
         "  Information.Version = '1.0'\n"
         "  RunAutomatic = False\n"
         "end\n";
}

// Removes the product's uninstall record and the company key.
struct RegistryCleanup {
  RegistryCleanup() { Clean(); }
  ~RegistryCleanup() { Clean(); }
  static void Clean() {
    RegDeleteKeyTree(hkLocalMachine, UninstallKeyFor(Product));
    RegDeleteKeyTree(hkLocalMachine, "\\SOFTWARE\\" + Company);
  }
};

std::string ReadText(TRootKeys Root, const std::string& Key, const std::string& Name) {
  return RegReadString(Root, Key, Name, "<missing>");
}

int32_t ReadInt(TRootKeys Root, const std::string& Key, const std::string& Name) {
  return RegReadInteger(Root, Key, Name, -12345);
}

struct RootCase {
  TRootKeys Root;
  const char* RootName;
  const char* Parent;  // where the scratch key goes below the root
};

TEST(InstallRegistry, WritesTextIntegerAndBooleanValuesUnderEachRoot) {
  RegistryCleanup Clean;
  const RootCase Cases[] = {
      {hkCurrentUser, "hkCurrentUser", "Software"},
      {hkLocalMachine, "hkLocalMachine", "Software"},
      {hkClassesRoot, "hkClassesRoot", ""},
      {hkUsers, "hkUsers", ".DEFAULT\\Software"},
  };
  for (const RootCase& C : Cases) {
    SCOPED_TRACE(C.RootName);
    TScratchKey Key(C.Root, C.Parent);
    Project P(InstallText() + Substitute(R"(
  object Reg: TInstallRegistry
    Container = Install
    Key = '$KEY\'
    RootKey = $ROOT
    Entries = <
      item
        Ident = 'Name'
        Text = 'hello world'
      end
      item
        Ident = 'Count'
        EntryType = retInteger
        Integer = -42
      end
      item
        Ident = 'Flag'
        EntryType = retBoolean
        Boolean = True
      end
      item
        Ident = 'Off'
        EntryType = retBoolean
        Boolean = False
      end
      item
        Ident = 'Dir'
        Text = '%p\bin 100%% %q'
        PathSpecifier = psWindow
      end>
  end
)", {{"KEY", "\\" + Key.Path()}, {"ROOT", C.RootName}}));
    auto* Reg = P.Get<TInstallRegistry>("Reg");
    // The trailing backslash of an absolute key is not part of the path.
    EXPECT_EQ(Reg->GetKeyPath(), "\\" + Key.Path());
    Reg->Process();
    EXPECT_EQ(ReadText(C.Root, Key.Path(), "Name"), "hello world");
    EXPECT_EQ(ReadInt(C.Root, Key.Path(), "Count"), -42);
    EXPECT_EQ(ReadInt(C.Root, Key.Path(), "Flag"), 1);
    EXPECT_EQ(ReadInt(C.Root, Key.Path(), "Off"), 0);
    EXPECT_EQ(ReadText(C.Root, Key.Path(), "Dir"), GetWindowsDir() + "\\bin 100% q");
    RegistryCleanup::Clean();
  }
}

TEST(InstallRegistry, KeysBuiltFromCompanyProductAndVersion) {
  RegistryCleanup Clean;
  Project P(InstallText() + R"(
  object Reg: TInstallRegistry
    Container = Install
    Key = '\Software\Elsewhere'
    RootKey = hkCurrentUser
    Entries = <
      item
        Ident = 'V'
        Text = 'x'
      end>
  end
)");
  auto* Reg = P.Get<TInstallRegistry>("Reg");
  const struct {
    TKeySpecifier Kind;
    std::string Path;
  } Cases[] = {
      {ksCompanyName, "\\SOFTWARE\\" + Company},
      {ksProductName, "\\SOFTWARE\\" + Company + "\\" + Product},
      {ksVersion, "\\SOFTWARE\\" + Company + "\\" + Product + "\\1.0"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Path);
    Reg->RootKey = hkCurrentUser;
    Reg->SetKeySpecifierType(C.Kind);
    // The kind forces the machine root and drops the absolute key.
    EXPECT_EQ(Reg->RootKey, hkLocalMachine);
    EXPECT_EQ(Reg->Key(), "");
    Reg->SetKey("\\Ignored");
    EXPECT_EQ(Reg->Key(), "");
    EXPECT_EQ(Reg->GetKeyPath(), C.Path);
    Reg->Process();
    EXPECT_EQ(ReadText(hkLocalMachine, C.Path, "V"), "x");
  }
  // Without the install component the kind falls back to an absolute key.
  delete P.Get<TInstall>("Install");
  EXPECT_EQ(Reg->KeySpecifierType(), ksAbsolute);
}

TEST(InstallRegistry, KeyKindsNeedAnInstallComponent) {
  Project P(R"(
  object Reg: TInstallRegistry
  end
)");
  auto* Reg = P.Get<TInstallRegistry>("Reg");
  for (TKeySpecifier K : {ksCompanyName, ksProductName, ksVersion}) {
    try {
      Reg->SetKeySpecifierType(K);
      ADD_FAILURE() << "no error";
    } catch (const IEInstallRegistry& E) {
      EXPECT_STREQ(E.what(), "There is no TInstall component in your project");
    }
    EXPECT_EQ(Reg->KeySpecifierType(), ksAbsolute);
  }
  // A stream may name the kind before the install component exists.
  Project Loaded(R"(
  object Reg: TInstallRegistry
    KeySpecifierType = ksVersion
  end
)");
  auto* L = Loaded.Get<TInstallRegistry>("Reg");
  EXPECT_EQ(L->KeySpecifierType(), ksVersion);
  EXPECT_THROW(L->GetKeyPath(), IEInstallRegistry);
}

TEST(InstallRegistry, EntrySettersChooseTheTypeOutsideLoading) {
  Project P(R"(
  object Reg: TInstallRegistry
    Entries = <
      item
        Ident = 'Loaded'
        EntryType = retBoolean
        Text = 'kept as read'
        Integer = 7
      end>
  end
)");
  auto* Reg = P.Get<TInstallRegistry>("Reg");
  TRegistryEntry* Read = Reg->Entries()->Items(0);
  EXPECT_EQ(Read->EntryType, retBoolean);
  EXPECT_EQ(Read->Text(), "kept as read");
  EXPECT_EQ(Read->Integer(), 7);

  TRegistryEntry* E = Reg->Entries()->Add();
  E->SetInteger(5);
  EXPECT_EQ(E->EntryType, retInteger);
  E->SetBoolean(true);
  EXPECT_EQ(E->EntryType, retBoolean);
  E->SetText("t");
  EXPECT_EQ(E->EntryType, retText);
  E->SetInteger(1);
  E->SetPathSpecifier(StandardSpecifier<TpsSystem>());
  EXPECT_EQ(E->EntryType, retText);
  EXPECT_EQ(E->Text(), "%p");
  EXPECT_EQ(E->ExpandedText(), GetSystemDir());
  E->SetInteger(1);
  E->SetPathSpecifier(nullptr);
  EXPECT_EQ(E->EntryType, retText);
  EXPECT_EQ(E->Text(), "%p");
  // Without a specifier the text is written as it stands.
  EXPECT_EQ(E->ExpandedText(), "%p");

  // A specifier that goes away leaves the entry its text and type.
  E->SetPathSpecifier(StandardSpecifier<TpsSystem>());
  E->SetBoolean(true);
  delete StandardSpecifier<TpsSystem>();
  EXPECT_EQ(E->PathSpecifier(), nullptr);
  EXPECT_EQ(E->EntryType, retBoolean);
  EXPECT_EQ(E->ExpandedText(), "%p");
}

TEST(InstallRegistry, UninstallRecordCountsAcrossComponentsAndListsAKeyOnce) {
  RegistryCleanup Clean;
  TScratchKey Key(hkCurrentUser, "Software");
  const std::string Records = UninstallKeyFor(Product) + "\\RegistryKeys";
  const std::string Body = Substitute(R"(
  object RegA: TInstallRegistry
    Container = Install
    Key = '$KEY\A'
    RootKey = hkCurrentUser
    Entries = <
      item
        Ident = 'Skipped'
        Text = 'never written'
      end
      item
        Ident = 'Number'
        EntryType = retInteger
        Integer = 99
      end
      item
        Ident = 'Where'
        Text = '%p\data'
        PathSpecifier = psProgramFiles
      end>
  end
  object RegB: TInstallRegistry
    Container = Install
    Key = '$KEY\B'
    RootKey = hkUsers
    Entries = <>
  end
)", {{"KEY", "\\" + Key.Path()}});
  {
    Project P(InstallText() + Body);
    auto* A = P.Get<TInstallRegistry>("RegA");
    std::vector<std::string> Asked;
    A->OnBeforeWriteEntry = [&](TCustomInstallRegistry* R, TRegistryEntry* E, bool& Continue) {
      EXPECT_EQ(R, A);
      EXPECT_TRUE(Continue);
      Asked.push_back(E->Ident);
      Continue = E->Ident != "Skipped";
    };
    A->Process();
    P.Get<TInstallRegistry>("RegB")->Process();
    EXPECT_EQ(Asked, (std::vector<std::string>{"Skipped", "Number", "Where"}));
    EXPECT_EQ(ReadText(hkCurrentUser, Key.Sub("A"), "Skipped"), "<missing>");
    EXPECT_EQ(ReadInt(hkCurrentUser, Key.Sub("A"), "Number"), 99);
  }
  // A second installation of the same product lists the key once.
  {
    Project P(InstallText() + Body);
    P.Get<TInstallRegistry>("RegA")->Process();
  }
  EXPECT_EQ(ReadText(hkLocalMachine, Records, "Entries"), "2");
  const std::string R1 = Records + "\\RegistryKey1";
  EXPECT_EQ(ReadText(hkLocalMachine, R1, "Key"), "\\" + Key.Sub("A"));
  EXPECT_EQ(ReadInt(hkLocalMachine, R1, "Root"), static_cast<int32_t>(hkCurrentUser));
  // Every entry is recorded with its text, the skipped one and the integer
  // (whose text is empty) included.
  EXPECT_EQ(ReadText(hkLocalMachine, R1 + "\\Entries", "Skipped"), "never written");
  EXPECT_EQ(ReadText(hkLocalMachine, R1 + "\\Entries", "Number"), "");
  EXPECT_EQ(ReadText(hkLocalMachine, R1 + "\\Entries", "Where"), GetProgramFilesDir() + "\\data");
  const std::string R2 = Records + "\\RegistryKey2";
  EXPECT_EQ(ReadText(hkLocalMachine, R2, "Key"), "\\" + Key.Sub("B"));
  EXPECT_EQ(ReadInt(hkLocalMachine, R2, "Root"), static_cast<int32_t>(hkUsers));
  EXPECT_EQ(ReadText(hkLocalMachine, Records + "\\RegistryKey3", "Key"), "<missing>");
}

TEST(InstallRegistry, KeyThatCannotBeCreatedNamesComponentAndKey) {
  TScratchKey Key(hkCurrentUser, "Software");
  // A lasting key cannot be made below a volatile one.
  ASSERT_TRUE(CreateVolatileKey(hkCurrentUser, Key.Path()));
  Project P(Substitute(R"(
  object Reg: TInstallRegistry
    Key = '$KEY\Below'
    RootKey = hkCurrentUser
    Entries = <
      item
        Ident = 'X'
        Text = 'y'
      end>
  end
)", {{"KEY", "\\" + Key.Path()}}));
  try {
    P.Get<TInstallRegistry>("Reg")->InstallObjects();
    ADD_FAILURE() << "no error";
  } catch (const IERegistryEntry& E) {
    EXPECT_EQ(std::string(E.what()),
              "Reg cannot create the key \\" + Key.Sub("Below") + " in the registry");
  }
}

TEST(InstallRegistry, ListsRefuseNothing) {
  try {
    InstallRegistryList().Add(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const IEInstallRegistryList& E) {
    EXPECT_STREQ(E.what(), "Cannot add blank entry to the registry list");
  }
  try {
    TRegistryEntries Entries(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const IERegistryEntries& E) {
    EXPECT_STREQ(E.what(), "Cannot create a TRegistryEntries component with a Nil Owner");
  }
  const int Before = InstallRegistryList().Count();
  {
    Project P("object R1: TInstallRegistry\nend\nobject R2: TInstallRegistry\nend\n");
    EXPECT_EQ(InstallRegistryList().Count(), Before + 2);
  }
  EXPECT_EQ(InstallRegistryList().Count(), Before);
}

}  // namespace
