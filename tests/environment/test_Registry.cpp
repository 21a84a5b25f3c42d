#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "RegistrySupport.h"
#include "environment/routines_Registry.h"
#include "rtl/exceptions_Quorvane.h"

namespace {

const char* const TestParent = "Software\\QuorvaneTests";

TEST(RootKeys, MapBothWays) {
  struct Case {
    TRootKeys Code;
    HKEY Key;
    const char* Name;
  };
  const Case Cases[] = {
      {hkClassesRoot, HKEY_CLASSES_ROOT, "hkClassesRoot"},
      {hkCurrentConfig, HKEY_CURRENT_CONFIG, "hkCurrentConfig"},
      {hkCurrentUser, HKEY_CURRENT_USER, "hkCurrentUser"},
      {hkDynData, HKEY_DYN_DATA, "hkDynData"},
      {hkLocalMachine, HKEY_LOCAL_MACHINE, "hkLocalMachine"},
      {hkUsers, HKEY_USERS, "hkUsers"},
  };
  ASSERT_EQ(RootKeysInfo().Names.size(), 6u);
  for (const Case& C : Cases) {
    EXPECT_EQ(RootKeyToHKEY(C.Code), C.Key) << C.Name;
    EXPECT_EQ(HKEYToRootKey(C.Key, hkUsers), C.Code) << C.Name;
    EXPECT_EQ(RootKeysInfo().Names[C.Code], C.Name);
  }
  // Any other handle, an opened key included, gives the caller's default.
  EXPECT_EQ(HKEYToRootKey(HKEY_PERFORMANCE_DATA, hkCurrentConfig), hkCurrentConfig);
  EXPECT_EQ(HKEYToRootKey(nullptr, hkDynData), hkDynData);
  TRegKey K;
  ASSERT_TRUE(K.OpenReadOnly(hkCurrentUser, "Software"));
  EXPECT_EQ(HKEYToRootKey(K.Handle(), hkLocalMachine), hkLocalMachine);
}

TEST(RegistryValues, WriteAndReadBack) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  // Projects write keys with a leading backslash; parents are created.
  const std::string Key = "\\" + Scratch.Sub("Deep\\Er");
  RegWriteString(hkCurrentUser, Key, "Text", "C:\\Program Files\\App");
  RegWriteString(hkCurrentUser, Key, "Empty", "");
  RegWriteInteger(hkCurrentUser, Key, "Count", -7);
  RegWriteInteger(hkCurrentUser, Key, "Max", 2147483647);

  EXPECT_EQ(RegReadString(hkCurrentUser, Key, "Text", "def"), "C:\\Program Files\\App");
  EXPECT_EQ(RegReadString(hkCurrentUser, Key, "Empty", "def"), "");
  EXPECT_EQ(RegReadInteger(hkCurrentUser, Key, "Count", 0), -7);
  EXPECT_EQ(RegReadInteger(hkCurrentUser, Key, "Max", 0), 2147483647);
  // The same key without the leading backslash is the same key.
  EXPECT_EQ(RegReadString(hkCurrentUser, Scratch.Sub("Deep\\Er"), "Text", ""), "C:\\Program Files\\App");

  // Rewriting replaces.
  RegWriteString(hkCurrentUser, Key, "Text", "other");
  EXPECT_EQ(RegReadString(hkCurrentUser, Key, "Text", ""), "other");
}

TEST(RegistryValues, ReadersFallBackToTheDefault) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  const std::string Key = Scratch.Sub("K");
  RegWriteString(hkCurrentUser, Key, "S", "12");
  RegWriteInteger(hkCurrentUser, Key, "I", 12);
  struct Case {
    const char* What;
    std::string Key, Name;
  };
  const Case Cases[] = {
      {"missing key", Scratch.Sub("Nope"), "S"},
      {"missing value", Key, "Nope"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(RegReadString(hkCurrentUser, C.Key, C.Name, "dflt"), "dflt") << C.What;
    EXPECT_EQ(RegReadInteger(hkCurrentUser, C.Key, C.Name, 99), 99) << C.What;
  }
  // A value of the other type is a read failure, not a conversion.
  EXPECT_EQ(RegReadString(hkCurrentUser, Key, "I", "dflt"), "dflt");
  EXPECT_EQ(RegReadInteger(hkCurrentUser, Key, "S", 99), 99);
}

TEST(RegistryValues, StringDataWithoutTerminatorReadsWhole) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  TRegKey K;
  ASSERT_TRUE(K.Open(hkCurrentUser, Scratch.Path(), true));
  // Other programs write strings without the final NUL, or with several.
  RegSetValueExA(K.Handle(), "NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
  RegSetValueExA(K.Handle(), "TwoNuls", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0\0"), 4);
  RegSetValueExA(K.Handle(), "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%"), 7);
  std::string S;
  EXPECT_TRUE(K.ReadString("NoNul", S));
  EXPECT_EQ(S, "abc");
  EXPECT_TRUE(K.ReadString("TwoNuls", S));
  EXPECT_EQ(S, "ab");
  EXPECT_TRUE(K.ReadString("Expand", S));
  EXPECT_EQ(S, "%TEMP%");
}

TEST(RegistryValues, WritersRaiseWhenTheKeyCannotBeCreated) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  ASSERT_TRUE(CreateVolatileKey(hkCurrentUser, Scratch.Sub("Volatile")));
  const std::string Key = Scratch.Sub("Volatile\\Lasting");
  try {
    RegWriteString(hkCurrentUser, Key, "Name", "Value");
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& E) {
    EXPECT_EQ(E.Message(), "Cannot install into registry. Key: " + Key + " Ident: Name Value Value");
  }
  try {
    RegWriteInteger(hkCurrentUser, Key, "Name", 1);
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& E) {
    EXPECT_EQ(E.Message(), Key);
  }
}

TEST(RegistryValues, WriteFailureMessagePassesThroughTheTranslator) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  ASSERT_TRUE(CreateVolatileKey(hkCurrentUser, Scratch.Sub("Volatile")));
  SetMessageTranslator([](const std::string& S) {
    return S == "Cannot install into registry. Key: %s Ident: %s Value %s" ? std::string("[%s|%s|%s]") : S;
  });
  std::string Message;
  try {
    RegWriteString(hkCurrentUser, Scratch.Sub("Volatile\\X"), "N", "V");
  } catch (const EIRCannotWriteValue& E) {
    Message = E.Message();
  }
  SetMessageTranslator(nullptr);
  EXPECT_EQ(Message, "[" + Scratch.Sub("Volatile\\X") + "|N|V]");
}

TEST(RegistryKeys, DeleteKeyTreeRemovesEverythingBelowAndNothingBeside) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  for (const char* Sub : {"Doomed\\A\\A1\\A11", "Doomed\\A\\A2", "Doomed\\B", "Kept\\C"})
    RegWriteString(hkCurrentUser, Scratch.Sub(Sub), "v", "x");
  RegWriteString(hkCurrentUser, Scratch.Sub("Doomed"), "top", "x");

  RegDeleteKeyTree(hkCurrentUser, "\\" + Scratch.Sub("Doomed"));
  EXPECT_FALSE(RegKeyExists(hkCurrentUser, Scratch.Sub("Doomed")));
  EXPECT_TRUE(RegKeyExists(hkCurrentUser, Scratch.Sub("Kept\\C")));

  // Missing keys and the root itself are left alone without complaint.
  RegDeleteKeyTree(hkCurrentUser, Scratch.Sub("Doomed"));
  RegDeleteKeyTree(hkCurrentUser, "");
  RegDeleteKeyTree(hkCurrentUser, "\\");
  EXPECT_TRUE(RegKeyExists(hkCurrentUser, "Software"));
  EXPECT_TRUE(RegKeyExists(hkCurrentUser, Scratch.Sub("Kept\\C")));
}

TEST(RegistryKeys, KeyWrapperListsAndReports) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  TRegKey K;
  EXPECT_FALSE(K.OpenReadOnly(hkCurrentUser, Scratch.Path()));
  EXPECT_EQ(K.LastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(K.FailureText().find("RegOpenKeyExA(HKEY_CURRENT_USER\\" + Scratch.Path() + ") failed: error 2"),
            std::string::npos)
      << K.FailureText();

  ASSERT_TRUE(K.Open(hkCurrentUser, Scratch.Path(), true));
  EXPECT_FALSE(K.HasSubKeys());
  ASSERT_TRUE(K.WriteString("one", "1"));
  ASSERT_TRUE(K.WriteInteger("two", 2));
  const double Date = 36526.5;
  ASSERT_TRUE(K.WriteBinary("date", &Date, sizeof(Date)));
  RegWriteString(hkCurrentUser, Scratch.Sub("Child"), "x", "y");
  EXPECT_TRUE(K.HasSubKeys());

  std::vector<std::string> Names;
  ASSERT_TRUE(K.GetValueNames(Names));
  std::sort(Names.begin(), Names.end());
  EXPECT_EQ(Names, (std::vector<std::string>{"date", "one", "two"}));
  ASSERT_TRUE(K.GetKeyNames(Names));
  EXPECT_EQ(Names, (std::vector<std::string>{"Child"}));

  std::vector<uint8_t> Raw;
  ASSERT_TRUE(K.ReadBinary("date", Raw));
  ASSERT_EQ(Raw.size(), sizeof(double));
  double Back;
  memcpy(&Back, Raw.data(), sizeof(Back));
  EXPECT_EQ(Back, Date);

  EXPECT_TRUE(K.ValueExists("one"));
  EXPECT_TRUE(K.DeleteValue("one"));
  EXPECT_FALSE(K.ValueExists("one"));
  EXPECT_FALSE(K.DeleteValue("one"));
  EXPECT_NE(K.FailureText().find("RegDeleteValueA"), std::string::npos);
  EXPECT_TRUE(K.Flush());

  // Moving hands the handle over; the source no longer closes it.
  TRegKey Moved = std::move(K);
  EXPECT_FALSE(K.IsOpen());
  ASSERT_TRUE(Moved.IsOpen());
  int32_t Two = 0;
  EXPECT_TRUE(Moved.ReadInteger("two", Two));
  EXPECT_EQ(Two, 2);
}

TEST(RegistryKeys, ReadOnlyKeyRefusesWrites) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  RegWriteString(hkCurrentUser, Scratch.Path(), "v", "x");
  TRegKey K;
  ASSERT_TRUE(K.OpenReadOnly(hkCurrentUser, Scratch.Path()));
  EXPECT_FALSE(K.WriteString("v", "changed"));
  EXPECT_EQ(K.LastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegReadString(hkCurrentUser, Scratch.Path(), "v", ""), "x");
}

}  // namespace
