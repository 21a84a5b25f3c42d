// The remote file list: its bytes, the round trip, and lists that are cut
// short or lie about their count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/routines_FileList.h"

namespace {

std::string Bytes(const TMemoryStream& S) { return S.Data(); }

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

TEST(FileList, FieldsSitAtTheirOffsets) {
  TMemoryStream S;
  WriteFileListRecords(S, {{0x01020304, 36526.5, "ReadMe", "4.0.1381.1"}});
  // 36526.5 (1 January 2000, noon) as an IEEE double: 0x40E1D5D000000000.
  const std::string Expected = std::string("\x01\x00\x00\x00", 4) +          // count
                               std::string("\x04\x03\x02\x01", 4) +          // size
                               std::string("\x00\x00\x00\x00\xD0\xD5\xE1\x40", 8) +  // date
                               "ReadMe" + std::string(34, '\0') +            // name, 40 bytes
                               "4.0.1381.1" + std::string(10, '\0');         // version, 20 bytes
  EXPECT_EQ(Bytes(S), Expected);
  TMemoryStream Back(Expected);
  std::vector<TFileListRecord> Out;
  ASSERT_TRUE(ReadFileListRecords(Back, Out));
  ASSERT_EQ(Out.size(), 1u);
  EXPECT_EQ(Out[0].FileSize, 0x01020304);
  EXPECT_EQ(Out[0].FileDate, 36526.5);
  EXPECT_EQ(Out[0].Name, "ReadMe");
  EXPECT_EQ(Out[0].Version, "4.0.1381.1");
}

TEST(FileList, LongTextIsCutOnWritingAndFullFieldsAreRead) {
  TMemoryStream S;
  WriteFileListRecords(S, {{1, 0, std::string(45, 'n'), std::string(25, 'v')}});
  const std::string B = Bytes(S);
  ASSERT_EQ(B.size(), 4u + 72);
  EXPECT_EQ(B.substr(4 + 12, 40), std::string(39, 'n') + '\0');
  EXPECT_EQ(B.substr(4 + 52, 20), std::string(20, 'v'));
  // A name field without its zero (another writer) is read whole, never
  // past its end into the version.
  std::string Full = B;
  Full.replace(4 + 12, 40, std::string(40, 'm'));
  TMemoryStream F(Full);
  std::vector<TFileListRecord> Out;
  ASSERT_TRUE(ReadFileListRecords(F, Out));
  ASSERT_EQ(Out.size(), 1u);
  EXPECT_EQ(Out[0].Name, std::string(40, 'm'));
  EXPECT_EQ(Out[0].Version, std::string(20, 'v'));
}

TEST(FileList, CountsThatTheRestCannotHoldAreRefused) {
  const struct {
    const char* What;
    std::string Bytes;
    bool Ok;
    size_t Records;
  } Cases[] = {
      {"negative", std::string("\xFF\xFF\xFF\xFF", 4), false, 0},
      {"huge, nothing behind it", std::string("\xFF\xFF\xFF\x7F", 4), false, 0},
      {"two announced, one there", std::string("\x02\x00\x00\x00", 4) + std::string(72, 'x'), false, 0},
      {"one, with bytes behind it", std::string("\x01\x00\x00\x00", 4) + std::string(72 + 5, '\0'), true, 1},
      {"zero, with bytes behind it", std::string("\x00\x00\x00\x00", 4) + "junk", true, 0},
  };
  for (const auto& C : Cases) {
    TMemoryStream S(C.Bytes);
    std::vector<TFileListRecord> Out(3);
    EXPECT_EQ(ReadFileListRecords(S, Out), C.Ok) << C.What;
    EXPECT_EQ(Out.size(), C.Records) << C.What;
  }
}

}  // namespace
