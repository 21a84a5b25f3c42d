// The registry as the records' store: keys opened and made below one root,
// values read and written through TRegKey, failures named as TRegKey names
// them; and the uninstall record written and read through it.
#include <gtest/gtest.h>

#include <algorithm>

#include "RegistrySupport.h"
#include "environment/routines_RegistryStore.h"
#include "records/routines_UninstallRecord.h"

namespace {

const char* const TestParent = "Software\\QuorvaneTests";

TEST(RegistryStore, OpensMakesReadsAndWrites) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  TRegistryStore Store(hkCurrentUser);
  EXPECT_EQ(Store.OpenKey("\\" + Scratch.Sub("A\\B")), nullptr);
  {
    const auto K = Store.CreateKey("\\" + Scratch.Sub("A\\B"));
    ASSERT_NE(K, nullptr);
    EXPECT_TRUE(K->WriteString("Text", "value"));
    EXPECT_TRUE(K->WriteInteger("Number", -7));
  }
  EXPECT_EQ(RegReadString(hkCurrentUser, Scratch.Sub("A\\B"), "Text", ""), "value");
  EXPECT_EQ(RegReadInteger(hkCurrentUser, Scratch.Sub("A\\B"), "Number", 0), -7);

  const auto K = Store.OpenKey(Scratch.Sub("A"));
  ASSERT_NE(K, nullptr);
  std::vector<std::string> Names;
  EXPECT_TRUE(K->GetKeyNames(Names));
  EXPECT_EQ(Names, std::vector<std::string>{"B"});
  const auto B = Store.OpenKey(Scratch.Sub("A\\B"));
  ASSERT_NE(B, nullptr);
  EXPECT_TRUE(B->GetValueNames(Names));
  std::sort(Names.begin(), Names.end());
  EXPECT_EQ(Names, (std::vector<std::string>{"Number", "Text"}));
  std::string S = "untouched";
  int32_t N = 0;
  EXPECT_TRUE(B->ReadString("text", S));
  EXPECT_EQ(S, "value");
  EXPECT_TRUE(B->ReadInteger("Number", N));
  EXPECT_EQ(N, -7);
  // A value of the other type is a failure, named as TRegKey names it.
  S = "untouched";
  EXPECT_FALSE(B->ReadString("Number", S));
  EXPECT_EQ(S, "untouched");
  EXPECT_NE(B->FailureText().find("RegQueryValueExA(HKEY_CURRENT_USER\\" + Scratch.Sub("A\\B") + ", Number) failed"),
            std::string::npos)
      << B->FailureText();
  EXPECT_FALSE(B->ReadInteger("Missing", N));
  EXPECT_NE(B->FailureText().find("error 2"), std::string::npos) << B->FailureText();
  // Opened for reading only: writing fails.
  EXPECT_FALSE(B->WriteString("Other", "x"));
  EXPECT_NE(B->FailureText().find("RegSetValueExA"), std::string::npos) << B->FailureText();
}

TEST(RegistryStore, CarriesTheUninstallRecord) {
  TScratchKey Scratch(hkCurrentUser, TestParent);
  TRegistryStore Store(hkCurrentUser);
  // The writers take the product's key, so a scratch key stands in for it
  // (the reader, which finds the key from the product name, is tested on
  // HKEY_LOCAL_MACHINE with the uninstaller).
  const std::string U = "\\" + Scratch.Sub("Uninstall\\My Product");
  WriteUninstallProgram(Store, U, "My Product", "C:\\P\\uninstall.exe");
  AddRecordedFile(Store, U, "C:\\P\\a.txt");
  AddRecordedActiveX(Store, U, "C:\\P\\s.exe", true);
  const std::string R = AddRecordedRegistryKey(Store, U, "\\SOFTWARE\\Co", hkLocalMachine);
  AddRecordedRegistryEntry(Store, R, "Path", "x");
  EXPECT_EQ(RegReadString(hkCurrentUser, U, "UninstallString", ""), "C:\\P\\uninstall.exe My Product");
  EXPECT_EQ(RegReadString(hkCurrentUser, U + "\\Files", "File1", ""), "C:\\P\\a.txt");
  EXPECT_EQ(RegReadString(hkCurrentUser, U + "\\Files", "Entries", ""), "1");
  EXPECT_EQ(RegReadString(hkCurrentUser, U + "\\ActiveX", "File1", ""), "C:\\P\\s.exe;1");
  EXPECT_EQ(RegReadInteger(hkCurrentUser, U + "\\RegistryKeys\\RegistryKey1", "Root", -1), hkLocalMachine);
  EXPECT_EQ(RegReadString(hkCurrentUser, U + "\\RegistryKeys\\RegistryKey1\\Entries", "Path", ""), "x");
}

}  // namespace
