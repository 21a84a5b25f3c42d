// The uninstall record on a store in memory: what each writer leaves, the
// counters read back before they are raised, the Files series when a key is
// full, and the reader on whole, thinned-out and damaged records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/routines_UninstallRecord.h"
#include "rtl/exceptions_Quorvane.h"
#include "support/MemoryRegistryStore.h"

namespace {

const std::string Product = "My Product";
const std::string U = UninstallKeyOf(Product);

TEST(UninstallRecordWriter, KeyOfAProduct) {
  EXPECT_EQ(U, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\My Product");
  EXPECT_EQ(std::string(UninstallKeyRoot) + "\\My Product", U);
}

TEST(UninstallRecordWriter, FilesAreNumberedAndCountedOnFromWhatIsThere) {
  TMemoryRegistryStore S;
  AddRecordedFile(S, U, "C:\\P\\a.txt");
  AddRecordedFile(S, U, "C:\\P\\b.txt");
  EXPECT_EQ(S.Dump(U + "\\Files"), U + "\\Files\\\n" +                  //
                                       U + "\\Files\\File1 = <C:\\P\\a.txt>\n" +  //
                                       U + "\\Files\\Entries = <2>\n" +           //
                                       U + "\\Files\\File2 = <C:\\P\\b.txt>\n");
  // A second installation goes on from the stored counter, whatever the
  // values say; a counter that is no number counts as 0.
  S.SetString(U + "\\Files", "Entries", "7");
  AddRecordedFile(S, U, "C:\\P\\c.txt");
  EXPECT_EQ(S.Get(U + "\\Files", "File8"), "<C:\\P\\c.txt>");
  EXPECT_EQ(S.Get(U + "\\Files", "Entries"), "<8>");
  S.SetString(U + "\\Files", "Entries", "many");
  AddRecordedFile(S, U, "C:\\P\\d.txt");
  EXPECT_EQ(S.Get(U + "\\Files", "File1"), "<C:\\P\\d.txt>");
  S.SetInteger(U + "\\Files", "Entries", 40);  // not a string: unreadable, so 0
  AddRecordedFile(S, U, "C:\\P\\e.txt");
  EXPECT_EQ(S.Get(U + "\\Files", "File1"), "<C:\\P\\e.txt>");
  EXPECT_EQ(S.Get(U + "\\Files", "Entries"), "<1>");
}

TEST(UninstallRecordWriter, AFullKeyHandsOnToTheNextOfTheSeries) {
  TMemoryRegistryStore S;
  S.MaxValuesPerKey = 3;  // Entries and two files
  for (const char* F : {"C:\\1", "C:\\2", "C:\\3", "C:\\4", "C:\\5"}) AddRecordedFile(S, U, F);
  EXPECT_EQ(S.Get(U + "\\Files", "File2"), "<C:\\2>");
  EXPECT_EQ(S.Get(U + "\\Files", "Entries"), "<2>");
  EXPECT_EQ(S.Get(U + "\\Files1", "File1"), "<C:\\3>");
  EXPECT_EQ(S.Get(U + "\\Files1", "File2"), "<C:\\4>");
  EXPECT_EQ(S.Get(U + "\\Files2", "File1"), "<C:\\5>");
  EXPECT_EQ(S.Get(U + "\\Files2", "Entries"), "<1>");
}

TEST(UninstallRecordWriter, ASeriesThatTakesNothingEndsInTheRegistryError) {
  TMemoryRegistryStore S;
  S.MaxValuesPerKey = 0;
  try {
    AddRecordedFile(S, U, "C:\\P\\a.txt");
    FAIL() << "no error";
  } catch (const EIRCannotWriteValue& E) {
    EXPECT_EQ(E.Message(), "Cannot install into registry. Key: " + U + "\\Files1000 Ident: File Value C:\\P\\a.txt");
  }
  EXPECT_NE(S.Find(U + "\\Files1000", false), nullptr);
  EXPECT_EQ(S.Find(U + "\\Files1001", false), nullptr);
}

TEST(UninstallRecordWriter, ActiveXEntriesCarryHowTheyWereRegistered) {
  TMemoryRegistryStore S;
  EXPECT_EQ(ActiveXEntry("C:\\P\\server.exe", true), "C:\\P\\server.exe;1");
  EXPECT_EQ(ActiveXEntry("C:\\P\\a.ocx", false), "C:\\P\\a.ocx;0");
  AddRecordedActiveX(S, U, "C:\\P\\a.ocx", false);
  S.SetString(U + "\\ActiveX", "Entries", "4");
  AddRecordedActiveX(S, U, "C:\\P\\server.exe", true);
  EXPECT_EQ(S.Dump(U), U + "\\\n" +                               //
                           U + "\\ActiveX\\\n" +                  //
                           U + "\\ActiveX\\File1 = <C:\\P\\a.ocx;0>\n" +  //
                           U + "\\ActiveX\\Entries = <5>\n" +     //
                           U + "\\ActiveX\\File5 = <C:\\P\\server.exe;1>\n");
  // Not repeated among the files.
  EXPECT_EQ(S.Find(U + "\\Files", false), nullptr);
  S.MaxValuesPerKey = 2;
  try {
    AddRecordedActiveX(S, U, "C:\\P\\b.dll", false);
    FAIL() << "no error";
  } catch (const EIRCannotWriteValue& E) {
    EXPECT_EQ(E.Message(), "Cannot install into registry. Key: " + U + "\\ActiveX Ident: File6 Value C:\\P\\b.dll;0");
  }
}

TEST(UninstallRecordWriter, RegistryKeysAreCountedFirstThenRecorded) {
  TMemoryRegistryStore S;
  const std::string R1 = AddRecordedRegistryKey(S, U, "\\SOFTWARE\\Co\\Product", hkCurrentUser);
  AddRecordedRegistryEntry(S, R1, "Path", "C:\\P");
  AddRecordedRegistryEntry(S, R1, "", "default");
  const std::string R2 = AddRecordedRegistryKey(S, U, "\\SOFTWARE\\Co\\Other", hkLocalMachine);
  EXPECT_EQ(R1, U + "\\RegistryKeys\\RegistryKey1");
  EXPECT_EQ(R2, U + "\\RegistryKeys\\RegistryKey2");
  const std::string K = U + "\\RegistryKeys";
  EXPECT_EQ(S.Dump(K), K + "\\\n" +                                            //
                           K + "\\Entries = <2>\n" +                           //
                           K + "\\RegistryKey1\\\n" +                          //
                           K + "\\RegistryKey1\\Key = <\\SOFTWARE\\Co\\Product>\n" +  //
                           K + "\\RegistryKey1\\Root = #2\n" +                 //
                           K + "\\RegistryKey1\\Entries\\\n" +                 //
                           K + "\\RegistryKey1\\Entries\\Path = <C:\\P>\n" +   //
                           K + "\\RegistryKey1\\Entries\\ = <default>\n" +     //
                           K + "\\RegistryKey2\\\n" +                          //
                           K + "\\RegistryKey2\\Key = <\\SOFTWARE\\Co\\Other>\n" +  //
                           K + "\\RegistryKey2\\Root = #4\n");
  // A DWORD that cannot be written names the key alone.
  TMemoryRegistryStore Full;
  Full.SetString(K, "Entries", "0");
  Full.MaxValuesPerKey = 1;
  try {
    AddRecordedRegistryKey(Full, U, "\\SOFTWARE\\X", hkUsers);
    FAIL() << "no error";
  } catch (const EIRCannotWriteValue& E) {
    EXPECT_EQ(E.Message(), K + "\\RegistryKey1");
  }
  EXPECT_EQ(Full.Get(K, "Entries"), "<1>");
}

TEST(UninstallRecordWriter, TheUninstallerNamesTheProductUnquoted) {
  TMemoryRegistryStore S;
  WriteUninstallProgram(S, U, Product, "C:\\Program Files\\My Product\\uninstall.exe");
  EXPECT_EQ(S.Get(U, "DisplayName"), "<My Product>");
  EXPECT_EQ(S.Get(U, "UninstallString"), "<C:\\Program Files\\My Product\\uninstall.exe My Product>");
}

// --- reading ---------------------------------------------------------------------------

TEST(UninstallRecordReader, ReadsWhatTheWritersLeft) {
  TMemoryRegistryStore S;
  S.MaxValuesPerKey = 3;
  WriteUninstallProgram(S, U, Product, "C:\\P\\uninstall.exe");
  for (const char* F : {"C:\\P\\1", "C:\\P\\2", "C:\\P\\3"}) AddRecordedFile(S, U, F);
  AddRecordedActiveX(S, U, "C:\\P\\a.ocx", false);
  AddRecordedActiveX(S, U, "C:\\P\\s.exe", true);
  const std::string R = AddRecordedRegistryKey(S, U, "\\SOFTWARE\\Co", hkCurrentUser);
  AddRecordedRegistryEntry(S, R, "Path", "x");
  AddRecordedRegistryEntry(S, R, "Count", "");

  TUninstallRecord Rec;
  ASSERT_TRUE(ReadUninstallRecord(S, Product, Rec));
  EXPECT_EQ(Rec.Product, Product);
  EXPECT_EQ(Rec.Key, U);
  EXPECT_EQ(Rec.DisplayName, Product);
  EXPECT_EQ(Rec.UninstallString, "C:\\P\\uninstall.exe My Product");
  EXPECT_EQ(UninstallerPathOf(Rec.UninstallString, Rec.Product), "C:\\P\\uninstall.exe");
  ASSERT_EQ(Rec.Files.size(), 3u);
  EXPECT_EQ(Rec.Files[0].Path, "C:\\P\\1");
  EXPECT_EQ(Rec.Files[2].Path, "C:\\P\\3");
  EXPECT_EQ(Rec.Files[2].Place.SubKey, U + "\\Files1");
  EXPECT_EQ(Rec.Files[2].Place.ValueName, "File1");
  ASSERT_EQ(Rec.ActiveX.size(), 2u);
  EXPECT_EQ(Rec.ActiveX[0].Path, "C:\\P\\a.ocx");
  EXPECT_FALSE(Rec.ActiveX[0].IsProgram);
  EXPECT_TRUE(Rec.ActiveX[1].IsProgram);
  EXPECT_EQ(Rec.ActiveX[1].Place.ValueName, "File2");
  ASSERT_EQ(Rec.RegistryKeys.size(), 1u);
  EXPECT_EQ(Rec.RegistryKeys[0].Root, hkCurrentUser);
  EXPECT_EQ(Rec.RegistryKeys[0].Key, "\\SOFTWARE\\Co");
  EXPECT_EQ(Rec.RegistryKeys[0].ValueNames, (std::vector<std::string>{"Path", "Count"}));
  EXPECT_EQ(Rec.RegistryKeys[0].Place.SubKey, R);
  EXPECT_EQ(Rec.RegistryKeys[0].Place.ValueName, "");
  EXPECT_TRUE(Rec.Unreadable.empty());
}

TEST(UninstallRecordReader, TrustsNoCounterAndTakesEveryNumberedNameInOrder) {
  TMemoryRegistryStore S;
  S.SetString(U, "DisplayName", Product);
  // Thinned out by an interrupted removal: File1 and File2 gone, the
  // counter left as it was; the series has a gap; names in any case.
  S.SetString(U + "\\Files2", "FILE10", " C:\\P\\ten ");
  S.SetString(U + "\\Files2", "File3", "C:\\P\\three");
  S.SetString(U + "\\Files2", "Entries", "10");
  S.SetString(U + "\\files", "File4", "C:\\P\\first");
  S.SetString(U + "\\files", "File5", "   ");  // blank: nothing to remove
  S.SetString(U + "\\files", "Other", "C:\\P\\not a file entry");
  S.SetString(U + "\\FilesX", "File1", "C:\\P\\not of the series");
  TUninstallRecord Rec;
  ASSERT_TRUE(ReadUninstallRecord(S, Product, Rec));
  std::vector<std::string> Paths;
  for (const TRecordedFile& F : Rec.Files) Paths.push_back(F.Path);
  EXPECT_EQ(Paths, (std::vector<std::string>{"C:\\P\\first", "C:\\P\\three", "C:\\P\\ten"}));
  EXPECT_EQ(Rec.Files[2].Place.SubKey, U + "\\Files2");
  EXPECT_EQ(Rec.Files[2].Place.ValueName, "FILE10");
  EXPECT_TRUE(Rec.Unreadable.empty());
}

TEST(UninstallRecordReader, ListsWhatItCannotUnderstandAndGoesOn) {
  TMemoryRegistryStore S;
  S.SetString(U, "DisplayName", Product);
  S.SetInteger(U + "\\Files", "File1", 5);
  S.SetString(U + "\\Files", "File2", "C:\\P\\ok");
  S.SetString(U + "\\ActiveX", "File1", "C:\\P\\c.dll;2");
  S.SetString(U + "\\ActiveX", "File2", "C:\\P\\d.dll;1");
  const std::string K = U + "\\RegistryKeys";
  S.SetString(K + "\\RegistryKey1", "Root", "2");  // as text: taken
  S.SetString(K + "\\RegistryKey1", "Key", " \\SOFTWARE\\Text ");
  S.SetInteger(K + "\\RegistryKey2", "Root", 6);  // no such root
  S.SetString(K + "\\RegistryKey2", "Key", "\\SOFTWARE\\Bad");
  S.SetInteger(K + "\\RegistryKey3", "Root", 4);  // no key
  TUninstallRecord Rec;
  ASSERT_TRUE(ReadUninstallRecord(S, Product, Rec));
  ASSERT_EQ(Rec.Files.size(), 1u);
  EXPECT_EQ(Rec.Files[0].Path, "C:\\P\\ok");
  ASSERT_EQ(Rec.ActiveX.size(), 1u);
  EXPECT_EQ(Rec.ActiveX[0].Path, "C:\\P\\d.dll");
  ASSERT_EQ(Rec.RegistryKeys.size(), 1u);
  EXPECT_EQ(Rec.RegistryKeys[0].Root, hkCurrentUser);
  EXPECT_EQ(Rec.RegistryKeys[0].Key, "\\SOFTWARE\\Text");
  EXPECT_TRUE(Rec.RegistryKeys[0].ValueNames.empty());
  EXPECT_EQ(Rec.Unreadable,
            (std::vector<std::string>{
                U + "\\ActiveX\\File1: \"C:\\P\\c.dll;2\" is not a path followed by ;0 or ;1",
                U + "\\Files\\File1: ReadString(" + U + "\\Files, File1) failed: not a string",
                K + "\\RegistryKey2: no valid Key and Root",
                K + "\\RegistryKey3: no valid Key and Root",
            }));
}

TEST(UninstallRecordReader, NoKeyOrABlankProductIsNoRecord) {
  TMemoryRegistryStore S;
  S.SetString(UninstallKeyRoot, "DisplayName", "the list of products itself");
  TUninstallRecord Rec;
  Rec.Files.push_back({"left over", {}});
  EXPECT_FALSE(ReadUninstallRecord(S, Product, Rec));
  EXPECT_TRUE(Rec.Files.empty());
  EXPECT_EQ(Rec.Key, U);
  EXPECT_FALSE(ReadUninstallRecord(S, "  ", Rec));
  // An empty key is a record with nothing in it.
  S.Find(U, true);
  EXPECT_TRUE(ReadUninstallRecord(S, Product, Rec));
  EXPECT_EQ(Rec.DisplayName, "");
  EXPECT_TRUE(Rec.Files.empty() && Rec.ActiveX.empty() && Rec.RegistryKeys.empty());
}

TEST(UninstallRecordLayout, NumberedNamesAndActiveXEntries) {
  EXPECT_EQ(NumberedName("Files", "Files", true), 0);
  EXPECT_EQ(NumberedName("FILES1000", "Files", true), 1000);
  EXPECT_EQ(NumberedName("File999999999", "File", false), 999999999);
  EXPECT_EQ(NumberedName("File1000000000", "File", false), -1);
  EXPECT_EQ(NumberedName("File+1", "File", false), -1);
  EXPECT_EQ(NumberedName("Fil", "File", false), -1);
  std::string Path;
  bool Program = false;
  EXPECT_TRUE(ParseActiveXEntry(ActiveXEntry(" C:\\a;b.exe ", true), Path, Program));
  EXPECT_EQ(Path, "C:\\a;b.exe");
  EXPECT_TRUE(Program);
  EXPECT_TRUE(ParseActiveXEntry("C:\\x.dll ; 0 ", Path, Program));
  EXPECT_EQ(Path, "C:\\x.dll");
  EXPECT_FALSE(Program);
  EXPECT_EQ(UninstallerPathOf("C:\\P\\UNINSTALL.EXE /S", "Q"), "C:\\P\\UNINSTALL.EXE");
  EXPECT_EQ(UninstallerPathOf("  C:\\P\\u.exe my product ", "My Product"), "C:\\P\\u.exe");
}

}  // namespace
