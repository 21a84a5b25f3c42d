#include <gtest/gtest.h>

#include <map>

#include "ArchiveTestSupport.h"
#include "archive/routines_VersionCompare.h"

namespace {

TEST(CompareVersions, Table) {
  struct Case {
    const char *A, *B;
    int Expected;
  } Cases[] = {
      {"", "", 0},           {"1.0", "1.0", 0},     {"1.10", "1.9", 1},   {"1.9", "1.10", 2},
      {"1.0.0", "1.0", 1},   {"1.0", "1.0.0", 2},   {"2.0a", "2.0b", 2},  {"2.0b", "2.0a", 1},
      {"a", "B", 1},         {"1..2", "1..3", 0},   {"", "1", 2},         {"1", "", 1},
      {"4.0.1381.1", "4.0.1381.1", 0},              {"010", "9", 1},      {"-1", "0", 2},
      {"99999999999", "2", 1},  // does not fit 32 bits: compared as text
  };
  for (const Case& C : Cases) EXPECT_EQ(CompareVersions(C.A, C.B), C.Expected) << C.A << " vs " << C.B;
}

// Version resources come from a fake reader: the test names each file's version.
std::map<std::string, std::string>& FakeVersions() {
  static std::map<std::string, std::string> M;
  return M;
}
std::string FakeReader(const std::string& F) {
  auto It = FakeVersions().find(F);
  return It == FakeVersions().end() ? std::string() : It->second;
}

class OverwriteDecision : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFileVersionReader(FakeReader);
    Existing = Dir / "existing.dll";
    Newer = Dir / "new.dll";
    WriteFileBytes(Existing, "old");
    WriteFileBytes(Newer, "new");
    ASSERT_TRUE(FileSetDate(Existing, Day));
    FakeVersions()[Existing] = "1.2.3.4";
    FakeVersions()[Newer] = "1.2.3.4";
  }
  void TearDown() override {
    SetFileVersionReader(nullptr);
    FakeVersions().clear();
  }
  TScratchDir Dir;
  std::string Existing, Newer;
  const double Day = 36526.5;
  const double TwoSeconds = 2.0 / 86400;
};

TEST_F(OverwriteDecision, ByInfo) {
  const std::string Missing = Dir / "missing.dll";
  struct Case {
    const char* Version;
    std::string File;
    TOverwriteType Mode;
    double Date;
    int Expected;
  } Cases[] = {
      {"0.1", Existing, owAlways, 0, nrNewWins},
      {"9.9", Existing, owNever, 0, nrExistingStays},
      {"9.9", Missing, owNever, 0, nrNewWins},
      {"9.9", "   ", owNever, 0, nrNewWins},
      {"1.2.3.5", Existing, owVersion, 0, nrNewWins},
      {"1.2.3.4", Existing, owVersion, 0, nrSame},
      {"1.2.3", Existing, owVersion, 0, nrExistingStays},
      {"", Missing, owVersion, 0, nrNewWins},
      {"", Existing, owDate, Day + TwoSeconds, nrNewWins},
      {"", Existing, owDate, Day, nrSame},
      {"", Existing, owDate, Day - TwoSeconds, nrExistingStays},
      {"", Missing, owDate, Day, nrUndecided},
      {"1.3", Existing, owVersionDate, Day - 1, nrNewWins},
      {"1.1", Existing, owVersionDate, Day + 1, nrExistingStays},
      {"1.2.3.4", Existing, owVersionDate, Day + 1, nrNewWins},
      {"1.2.3.4", Existing, owVersionDate, Day, nrSame},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(IsFileNewerByInfo(C.Version, C.File, C.Mode, C.Date), C.Expected)
        << C.Version << " " << C.File << " mode " << C.Mode;

  // An existing file without version information against an empty version.
  FakeVersions().erase(Existing);
  EXPECT_EQ(IsFileNewerByInfo("", Existing, owVersion, 0), nrSame);
}

TEST_F(OverwriteDecision, ByName) {
  ASSERT_TRUE(FileSetDate(Newer, Day + 1));
  EXPECT_EQ(IsFileNewerByName(Newer, Existing, owDate), nrNewWins);
  EXPECT_EQ(IsFileNewerByName(Existing, Newer, owDate), nrExistingStays);
  EXPECT_EQ(IsFileNewerByName(Newer, Dir / "missing", owDate), nrUndecided);
  EXPECT_EQ(IsFileNewerByName(Dir / "missing", Existing, owDate), nrUndecided);
  EXPECT_EQ(IsFileNewerByName(Newer, Existing, owVersion), nrSame);
  EXPECT_EQ(IsFileNewerByName(Newer, Existing, owVersionDate), nrNewWins);  // same version, later date
  FakeVersions()[Newer] = "1.0";
  EXPECT_EQ(IsFileNewerByName(Newer, Existing, owVersionDate), nrExistingStays);
  EXPECT_EQ(IsFileNewerByName(Newer, Existing, owNever), nrExistingStays);
  EXPECT_EQ(IsFileNewerByName(Newer, Existing, owAlways), nrNewWins);
}

}  // namespace
