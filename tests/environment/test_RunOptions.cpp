#include <gtest/gtest.h>

#include "environment/routines_RunOptions.h"

namespace {

TEST(RunOptions, SwitchesAnyCaseWithTheirValuesAndNothingElse) {
  TRunOptions O;
  for (const char* A : {"/silent", "/VerySilent", "/SUPPRESSMSGBOXES", "/NoRestart", "/LOG=C:\\My Logs\\a.txt",
                        "/DIR=C:\\Program Files\\X", "/group=My Group", "/Components=Docs, Examples ,",
                        "/LANG=German"})
    EXPECT_TRUE(ParseRunOption(A, O)) << A;
  EXPECT_TRUE(O.Silent && O.VerySilent && O.SuppressMsgBoxes && O.NoRestart && O.Log);
  EXPECT_EQ(O.LogFile, "C:\\My Logs\\a.txt");
  EXPECT_EQ(O.Dir, "C:\\Program Files\\X");
  EXPECT_EQ(O.Group, "My Group");
  EXPECT_EQ(ComponentNames(O.Components), (std::vector<std::string>{"Docs", "Examples"}));
  EXPECT_EQ(O.Lang, "German");
  // A bare /LOG asks for the default name.
  EXPECT_TRUE(ParseRunOption("/log", O));
  EXPECT_TRUE(O.LogFile.empty());

  // Not switches of the list: the caller reports them with its message.
  for (const char* A : {"/", "/BOGUS", "/SILENT=1", "/DIR=", "/DIR=  ", "/LANG", "-b", "SILENT", "/SILENTLY", ""})
    EXPECT_FALSE(ParseRunOption(A, O)) << A;
  // A program that takes only some of them.
  EXPECT_FALSE(ParseRunOption("/DIR=C:\\X", O, {"SILENT", "LOG"}));
  EXPECT_TRUE(ParseRunOption("/Log=x", O, {"SILENT", "LOG"}));

  const TRunOptions Plain;
  EXPECT_FALSE(Plain.Unattended() || Plain.BoxesSuppressed());
  TRunOptions Quiet;
  Quiet.VerySilent = true;
  EXPECT_TRUE(Quiet.Unattended() && Quiet.BoxesSuppressed());
}

}  // namespace
