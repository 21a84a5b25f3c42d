// The file routines every layer uses, checked where the archive relies on them.
#include <gtest/gtest.h>

#include "ArchiveTestSupport.h"

namespace {

TEST(DayCount, EncodesAndDecodesCalendarTimes) {
  struct Case {
    TCalendarTime T;
    double Expected;
  } Cases[] = {
      {{1899, 12, 30, 0, 0, 0}, 0.0},
      {{1900, 1, 1, 0, 0, 0}, 2.0},
      {{2000, 1, 1, 12, 0, 0}, 36526.5},
      {{2024, 2, 29, 6, 0, 0}, 45351.25},
      {{1899, 12, 29, 6, 0, 0}, -1.25},
  };
  for (const Case& C : Cases) {
    EXPECT_DOUBLE_EQ(EncodeDayCount(C.T), C.Expected);
    const TCalendarTime D = DecodeDayCount(C.Expected);
    EXPECT_EQ(D.Year, C.T.Year);
    EXPECT_EQ(D.Month, C.T.Month);
    EXPECT_EQ(D.Day, C.T.Day);
    EXPECT_EQ(D.Hour, C.T.Hour);
  }
  // Garbage from a header never becomes an impossible date.
  EXPECT_EQ(DecodeDayCount(1e300).Year, 1899);
}

TEST(FileRoutines, DatesFoldersRenameAndStreams) {
  TScratchDir D;
  const std::string Deep = D / "a\\b\\c";
  EXPECT_TRUE(ForceDirectories(Deep));
  EXPECT_TRUE(DirectoryExists(Deep));
  EXPECT_FALSE(FileExists(Deep));

  const std::string F = Deep + "\\f.txt";
  WriteFileBytes(F, "hello");
  EXPECT_EQ(FileSizeByName(F), 5);
  EXPECT_EQ(FileSizeByName(D / "none"), -1);
  // Two-second stamps: an odd second comes back one earlier.
  const double Odd = EncodeDayCount({2010, 6, 15, 10, 20, 31});
  ASSERT_TRUE(FileSetDate(F, Odd));
  double Got = 0;
  ASSERT_TRUE(FileAge(F, Got));
  EXPECT_EQ(Got, EncodeDayCount({2010, 6, 15, 10, 20, 30}));

  WriteFileBytes(D / "g.txt", "g");
  EXPECT_FALSE(RenameFile(F, D / "g.txt"));  // never replaces
  EXPECT_TRUE(RenameFile(F, D / "h.txt"));
  EXPECT_FALSE(FileExists(F));
  EXPECT_TRUE(RemoveFile(D / "h.txt"));
  EXPECT_FALSE(RemoveFile(D / "h.txt"));

  EXPECT_EQ(TFileStream::TryOpen(D / "none", TFileMode::fmOpenRead), nullptr);
  EXPECT_EQ(TFileStream::TryOpen(Deep, TFileMode::fmOpenRead), nullptr);  // a folder is no file
  EXPECT_THROW(TFileStream(D / "none", TFileMode::fmOpenRead), EFileError);
  {
    // A reader with sharing allowed does not keep a writer out.
    TFileStream W(D / "g.txt", TFileMode::fmOpenReadWrite);
    TFileStream R(D / "g.txt", TFileMode::fmOpenRead);
    W.Seek(0, TSeekOrigin::soEnd);
    W.WriteBuffer("xyz", 3);
    EXPECT_EQ(R.Size(), 4);
    W.SetSize(2);
    EXPECT_EQ(W.Size(), 2);
    EXPECT_EQ(W.Position(), 2);
  }
  const std::string T1 = CreateTempFileName("bat"), T2 = CreateTempFileName("bat");
  EXPECT_NE(T1, T2);
  EXPECT_FALSE(FileExists(T1));
  EXPECT_EQ(ExtractFileDir(T1), TempDirectory());
}

TEST(FileRoutines, RemoveDirTreeTakesEverythingBelow) {
  TScratchDir D;
  const std::string Top = D / "top";
  WriteFileBytes(Top + "\\a.txt", "a");
  ForceDirectories(Top + "\\sub\\deeper");
  WriteFileBytes(Top + "\\sub\\deeper\\b.txt", "b");
  ForceDirectories(Top + "\\empty");
  EXPECT_TRUE(RemoveDirTree(Top));
  EXPECT_FALSE(DirectoryExists(Top));
  EXPECT_TRUE(DirectoryExists(D.Path()));  // only what was named goes
  EXPECT_TRUE(RemoveDirTree(Top));         // already gone
  EXPECT_FALSE(RemoveDirTree(""));
}

}  // namespace
