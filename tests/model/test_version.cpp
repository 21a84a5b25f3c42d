#include <gtest/gtest.h>

#include <cstdlib>

#include "model/cmp_TVersion.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

using namespace cmp_TVersion;

namespace {

std::string Fixture(const std::string& Name) {
  const char* B = std::getenv("QV_BINARY_DIR");
  std::string Dir = B ? B : ".";
  // The build directory is a Unix path; under Wine it lies on drive Z:.
  if (!Dir.empty() && Dir[0] == '/') Dir = "Z:" + Dir;
  for (char& c : Dir)
    if (c == '/') c = '\\';
  return AddBackslash(Dir) + "tests\\model\\version-fixtures\\" + Name;
}

TEST(TVersionResource, ReadsTheFixedPartAndTheChosenStringTable) {
  TVersionResource R(nullptr);
  R.SetFileName(Fixture("version_multi.dll"));
  ASSERT_TRUE(FileExists(R.FileName())) << R.FileName();
  const TVersionInfo& V = *R.VersionInfo();
  EXPECT_EQ(V.FileVersion, "1.2.3.4");  // never from the strings
  EXPECT_EQ(V.ProductVersion, "5.6 from strings");
  EXPECT_EQ(V.FileOS, "Windows NT with 32 bit Windows");
  EXPECT_EQ(V.FileType, "Dynamic-Link Library");
  EXPECT_EQ(V.FileSubType, "");
  EXPECT_EQ(V.Comment, "US English table");
  EXPECT_EQ(V.CompanyName, "Quorvane Test");
  EXPECT_EQ(V.FileDescription, "Version fixture");
  EXPECT_EQ(V.InternalName, "multi");
  EXPECT_EQ(V.LegalCopyright, "(c) nobody");
  EXPECT_EQ(V.LegalTradeMarks, "none");
  EXPECT_EQ(V.OriginalFileName, "version_multi.dll");
  EXPECT_EQ(V.PrivateBuild, "private");
  EXPECT_EQ(V.ProductName, "Quorvane Fixture");
  EXPECT_EQ(V.SpecialBuild, "special");
  EXPECT_TRUE(R.FileNameStored());

  R.SetLanguage(lnGerman);
  EXPECT_EQ(V.CompanyName, "Quorvane Test GmbH");
  EXPECT_EQ(V.ProductName, "");
  EXPECT_EQ(V.ProductVersion, "5.6.7.8");
  R.SetLanguage(lnJapanese);
  EXPECT_EQ(V.ProductName, "");  // that table is in code page 1200, not 1252
  R.SetCharacterSet(csUnicode);
  EXPECT_EQ(V.ProductName, "Japanese table");
}

TEST(TVersionResource, TypeTextsAndMissingTables) {
  TVersionResource R(nullptr);
  R.SetFileName(Fixture("version_driver.dll"));
  const TVersionInfo& V = *R.VersionInfo();
  EXPECT_EQ(V.FileVersion, "3.10.0.1");
  EXPECT_EQ(V.ProductVersion, "3.10.0.0");
  EXPECT_EQ(V.FileOS, "32 bit Windows");
  EXPECT_EQ(V.FileType, "Device Driver");
  EXPECT_EQ(V.FileSubType, "Sound");
  EXPECT_EQ(V.CompanyName, "");  // only a German table

  R.SetFileName(Fixture("version_font.dll"));
  EXPECT_EQ(V.FileOS, "Unknown");
  EXPECT_EQ(V.FileType, "Font");
  EXPECT_EQ(V.FileSubType, "TrueType");
  EXPECT_EQ(V.CompanyName, "Fonts Inc");

  R.SetFileName(Fixture("no-such.dll"));
  EXPECT_EQ(V.FileVersion, "");
  EXPECT_EQ(V.FileType, "");
  R.SetFileName(ModuleFileName());
  EXPECT_FALSE(R.FileNameStored());
}

TEST(TVersionResource, TablesAndOutOfRangeValues) {
  EXPECT_EQ(LanguageId(lnArabic), 0x0401);
  EXPECT_EQ(LanguageId(lnBahasa), 0x0421);
  EXPECT_EQ(LanguageId(lnSimplifiedChinese), 0x0804);
  EXPECT_EQ(LanguageId(lnSwissFrench), 0x100C);
  EXPECT_EQ(CodePage(csASCII), 0);
  EXPECT_EQ(CodePage(csArabic), 1256);
  EXPECT_EQ(LanguageInfo().Names.size(), 45u);
  TVersionResource R(nullptr);
  try {
    R.SetLanguage(static_cast<TLanguage>(45));
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "");
  }
  EXPECT_THROW(R.SetCharacterSet(static_cast<TCharacterSet>(-1)), Exception);
}

TEST(TVersionResource, OverwriteDecisionsSeeRealVersions) {
  VersionResource();  // installs the reader for the archive layer
  EXPECT_EQ(ReadFileVersion(Fixture("version_multi.dll")), "1.2.3.4");
  const std::string Multi = Fixture("version_multi.dll");
  EXPECT_EQ(TVersionResource::IsFileNewerByInfo("1.2.3.5", Multi, owVersion, 0), nrNewWins);
  EXPECT_EQ(TVersionResource::IsFileNewerByInfo("1.2.3.4", Multi, owVersion, 0), nrSame);
  EXPECT_EQ(TVersionResource::IsFileNewerByInfo("1.2.10", Multi, owVersion, 0), nrNewWins);
  EXPECT_EQ(TVersionResource::IsFileNewerByInfo("1.2", Multi, owVersion, 0), nrExistingStays);
  EXPECT_EQ(TVersionResource::IsFileNewerByName(Fixture("version_driver.dll"), Multi, owVersion), nrNewWins);
  EXPECT_EQ(TVersionResource::CompareVersions("2.0a", "2.0b"), 2);
}

}  // namespace
