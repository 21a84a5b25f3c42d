#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "RegistrySupport.h"
#include "environment/routines_Unfinished.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/exceptions_Quorvane.h"

namespace {

const char* const NoRecordMessage =
    "The TInstall could not either write or read unfinished business from the registry";
const char* const RunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// An install record of this test's own, as the install component would
// hold it ("\SOFTWARE\Quorvane\Install\...").
class UnfinishedList : public ::testing::Test {
 protected:
  TScratchKey Record{hkLocalMachine, "SOFTWARE\\Quorvane\\Install"};
  std::string InstallKey = "\\" + Record.Path();
  int32_t Count = 0;

  // The parents are left as the test found them when nothing else uses them.
  void TearDown() override {
    RegDeleteKeyTree(hkLocalMachine, Record.Path());
    for (const char* Parent : {"SOFTWARE\\Quorvane\\Install", "SOFTWARE\\Quorvane"}) {
      TRegKey K;
      if (K.OpenReadOnly(hkLocalMachine, Parent) && !K.HasSubKeys()) {
        K.Close();
        RegDeleteKeyTree(hkLocalMachine, Parent);
      }
    }
  }

  std::vector<std::string> Lines() {
    TStringList L;
    ReadUnfinished(InstallKey, L);
    std::vector<std::string> V = L.ToVector();
    std::sort(V.begin(), V.end());
    return V;
  }
};

TEST_F(UnfinishedList, EveryOperationNeedsARecord) {
  TStringList L;
  L.Add("stale");
  const std::function<void()> Ops[] = {
      [&] { AddUnfinished("", Count, "File1", ukFinishObject); },
      [&] { ClearUnfinished(""); },
      [&] { ReadUnfinished("", L); },
  };
  for (const auto& Op : Ops) {
    try {
      Op();
      ADD_FAILURE() << "no exception";
    } catch (const IEInstall& E) {
      EXPECT_EQ(E.Message(), NoRecordMessage);
    }
  }
  EXPECT_EQ(Count, 0) << "nothing was added";
  EXPECT_EQ(L.Count(), 0) << "the list is cleared before the record is checked";
}

TEST_F(UnfinishedList, AddReadAndClear) {
  EXPECT_TRUE(Lines().empty()) << "no list yet is no error";

  AddUnfinished(InstallKey, Count, "InstallFile1", ukFinishObject);
  AddUnfinished(InstallKey, Count, "C:\\Temp\\bat1.bat", ukDeleteFile);
  EXPECT_EQ(Count, 2);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"C:\\Temp\\bat1.bat;1", "InstallFile1;0"}));
  // The list is where the resumption will look for it.
  EXPECT_EQ(RegReadString(hkLocalMachine, InstallKey + "\\Unfinished", "InstallFile1", ""), "0");

  // The same name again replaces the entry but still counts.
  AddUnfinished(InstallKey, Count, "InstallFile1", ukDeleteFile);
  EXPECT_EQ(Count, 3);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"C:\\Temp\\bat1.bat;1", "InstallFile1;1"}));

  ClearUnfinished(InstallKey);
  EXPECT_FALSE(RegKeyExists(hkLocalMachine, Record.Sub("Unfinished")));
  EXPECT_TRUE(RegKeyExists(hkLocalMachine, Record.Path())) << "only the list goes";
  EXPECT_TRUE(Lines().empty());
  ClearUnfinished(InstallKey);  // already gone: silent
}

TEST_F(UnfinishedList, ReadingClearsTheCallersList) {
  AddUnfinished(InstallKey, Count, "A", ukFinishObject);
  TStringList L;
  L.Add("stale");
  ReadUnfinished(InstallKey, L);
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"A;0"}));
  ClearUnfinished(InstallKey);
  L.Add("stale");
  ReadUnfinished(InstallKey, L);
  EXPECT_EQ(L.Count(), 0);
}

TEST_F(UnfinishedList, NonTextEntryReadsAsEmptyData) {
  // Somebody else's integer value under the list: the line keeps its name so
  // the resumption can report it.
  RegWriteInteger(hkLocalMachine, InstallKey + "\\Unfinished", "Odd", 1);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Odd;"}));
}

TEST_F(UnfinishedList, WriteFailureRaisesAndStillCounts) {
  // A volatile record cannot hold a lasting "Unfinished" key.
  ASSERT_TRUE(CreateVolatileKey(hkLocalMachine, Record.Sub("Volatile")));
  const std::string Key = InstallKey + "\\Volatile";
  try {
    AddUnfinished(Key, Count, "File1", ukFinishObject);
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& E) {
    EXPECT_EQ(E.Message(), "Cannot install into registry. Key: " + Key + "\\Unfinished Ident: File1 Value 0");
  }
  EXPECT_EQ(Count, 1);
}

class RunOnceEntries : public ::testing::Test {
 protected:
  // A base name of this test's own, so a real pending entry is never touched.
  std::string Base = "QvTestRunOnce" + std::to_string(GetCurrentProcessId());
  void TearDown() override {
    TRegKey K;
    if (!K.Open(hkLocalMachine, RunOnce, false)) return;
    for (const char* Suffix : {"", "1", "2", "3"}) K.DeleteValue(Base + Suffix);
  }
  std::string Value(const std::string& Name) {
    return RegReadString(hkLocalMachine, RunOnce, Name, "<missing>");
  }
};

TEST_F(RunOnceEntries, UniqueTakesTheFirstFreeNumber) {
  ASSERT_TRUE(WriteRunOnce(Base, "\"C:\\T\\setup.exe\" -r \"-sD:\\Dist\"", true));
  EXPECT_EQ(Value(Base), "\"C:\\T\\setup.exe\" -r \"-sD:\\Dist\"");
  ASSERT_TRUE(WriteRunOnce(Base, "second", true));
  ASSERT_TRUE(WriteRunOnce(Base, "third", true));
  EXPECT_EQ(Value(Base + "1"), "second");
  EXPECT_EQ(Value(Base + "2"), "third");
  EXPECT_EQ(Value(Base + "3"), "<missing>");

  // A gap is filled first.
  TRegKey K;
  ASSERT_TRUE(K.Open(hkLocalMachine, RunOnce, false));
  ASSERT_TRUE(K.DeleteValue(Base + "1"));
  ASSERT_TRUE(WriteRunOnce(Base, "fourth", true));
  EXPECT_EQ(Value(Base + "1"), "fourth");
}

TEST_F(RunOnceEntries, NotUniqueReplaces) {
  ASSERT_TRUE(WriteRunOnce(Base, "first", false));
  ASSERT_TRUE(WriteRunOnce(Base, "second", false));
  EXPECT_EQ(Value(Base), "second");
  EXPECT_EQ(Value(Base + "1"), "<missing>");
}

}  // namespace
