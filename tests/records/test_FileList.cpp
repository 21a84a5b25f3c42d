// The remote file list: the round trip, and lists that are cut short.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/routines_FileList.h"

TEST(FileList, RoundTripAndShortLists) {
  std::vector<TFileListRecord> In = {{123, 45000.5, "InstallFile1", "1.2.3.4"},
                                     {0, 0, std::string(39, 'N'), std::string(20, 'v')}};
  TMemoryStream S;
  WriteFileListRecords(S, In);
  EXPECT_EQ(S.Size(), 4 + 2 * 72);
  S.SetPosition(0);
  std::vector<TFileListRecord> Out;
  ASSERT_TRUE(ReadFileListRecords(S, Out));
  ASSERT_EQ(Out.size(), 2u);
  EXPECT_EQ(Out[0].Name, "InstallFile1");
  EXPECT_EQ(Out[0].Version, "1.2.3.4");
  EXPECT_EQ(Out[0].FileDate, 45000.5);
  EXPECT_EQ(Out[1].Name, std::string(39, 'N'));
  EXPECT_EQ(Out[1].Version, std::string(20, 'v'));
  for (size_t Cut : {0, 3, 4 + 71}) {
    TMemoryStream Short(S.Data().substr(0, Cut));
    EXPECT_FALSE(ReadFileListRecords(Short, Out)) << Cut;
  }
  TMemoryStream Zero(std::string(4, '\0'));
  EXPECT_TRUE(ReadFileListRecords(Zero, Out));
  EXPECT_TRUE(Out.empty());
}
