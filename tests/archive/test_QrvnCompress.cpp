#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "ArchiveTestSupport.h"
#include "archive/cmp_TQrvnCompress.h"

namespace {

const char* const Corrupt =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";

class QrvnCompressTest : public ::testing::Test {
 protected:
  // Writes the named source files (under src\) and returns their paths.
  std::vector<std::string> MakeSources(const std::vector<std::pair<std::string, std::string>>& Files) {
    std::vector<std::string> Paths;
    for (const auto& F : Files) {
      Paths.push_back(Dir / ("src\\" + F.first));
      WriteFileBytes(Paths.back(), F.second);
    }
    return Paths;
  }
  void Compress(TQrvnCompress& C, const std::vector<std::string>& Paths, bool Append = false, int Id = 0) {
    TStrings L;
    for (const auto& P : Paths) L.Add(P);
    C.SetFilesToProcess(L);
    C.CompressFiles(Append, Id);
  }
  void Extract(TQrvnCompress& C, const std::string& Member, const std::string& Into) {
    TStrings L;
    L.Add(Member);
    C.SetFilesToProcess(L);
    C.SetExtractDirectory(Into);
    C.ExtractFiles();
  }
  template <class E = EQrvnCompress, class F>
  std::string ErrorOf(F&& Fn) {
    try {
      Fn();
    } catch (const E& Ex) {
      return Ex.Message();
    }
    return "<no error>";
  }

  TScratchDir Dir;
  std::string Archive = Dir / "out\\files.1";
};

// A source deeper than the record's 100 characters (a project in a deep
// folder) is stored under a name made from its path and found by that path;
// only a file name that fits in no form is refused, by name.
TEST_F(QrvnCompressTest, ASourceDeeperThanTheRecordIsFoundByItsPath) {
  const std::string Deep = Dir / (std::string(60, 'd') + "\\" + std::string(60, 'e'));
  ASSERT_TRUE(ForceDirectories(Deep));
  const std::string Src = Deep + "\\deep.txt";
  WriteFileBytes(Src, "deep contents");
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, {Src});
  const std::string Member = C.Headers().GetFileHeaders(0).Rec.FileName;
  EXPECT_EQ(Member, MemberNameOf(Src));
  EXPECT_EQ(Member.substr(Member.size() - 9), "\\deep.txt");
  EXPECT_LE(Member.size(), 100u);
  Extract(C, Src, Dir / "x");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\deep.txt"), "deep contents");

  const std::string Long = Dir / (std::string(120, 'n') + ".txt");
  WriteFileBytes(Long, "x");
  TQrvnCompress L(nullptr);
  L.SetCompressedFile(Dir / "long.1");
  EXPECT_EQ(ErrorOf([&] { Compress(L, {Long}); }), "The name of the file " + Long + " is too long for an archive");
}

// An installation keeps the archive open from member to member; once it
// lets go, the archive is a file like any other again.
TEST_F(QrvnCompressTest, AnArchiveKeptOpenServesEveryMemberAndIsLetGo) {
  const auto Paths = MakeSources({{"a.txt", "first"}, {"b.txt", std::string(200000, 'b')}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Paths);
  C.SetKeepArchiveOpen(true);
  Extract(C, Paths[0], Dir / "x");
  Extract(C, Paths[1], Dir / "x");
  Extract(C, Paths[0], Dir / "y");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\a.txt"), "first");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\b.txt"), std::string(200000, 'b'));
  EXPECT_EQ(ReadFileBytes(Dir / "y\\a.txt"), "first");
  C.SetKeepArchiveOpen(false);
  EXPECT_TRUE(RemoveFile(Archive));
}

TEST_F(QrvnCompressTest, RoundTripsAtEveryLevelWithEmptyAndLargeFiles) {
  const auto Src = MakeSources({{"empty.txt", ""},
                                {"mixed.bin", MixedData(300000, 1)},
                                {"tiny.txt", "x"},
                                {"zeros.bin", std::string(200000, '\0')}});
  for (TCompressionLevel Level : {colNone, colFastest, colDefault, colMax}) {
    SCOPED_TRACE(Level);
    TQrvnCompress C(nullptr);
    C.SetCompressedFile(Archive);
    C.SetCompressionLevel(Level);
    Compress(C, Src);
    ASSERT_EQ(C.FileCount(), 4);
    for (const std::string& S : Src) {
      const std::string Out = Dir / ("x" + std::to_string(Level));
      Extract(C, S, Out);
      const std::string Got = Out + "\\" + ExtractFileName(S);
      EXPECT_EQ(ReadFileBytes(Got), ReadFileBytes(S));
      double A, B;
      ASSERT_TRUE(FileAge(Got, A) && FileAge(S, B));
      EXPECT_EQ(A, B);
    }
    TlzhFileStats St;
    C.GetFileStats(0, St);
    EXPECT_EQ(St.FileSize, 0);
    EXPECT_EQ(St.Ratio, 0);
    EXPECT_EQ(St.TotalFileSize, 500001);
    C.GetFileStats(3, St);
    EXPECT_EQ(St.FileName, Src[3]);
    if (Level == colNone) {
      EXPECT_GT(St.CompressedSize, 200000);
    }
    if (Level == colMax) {
      EXPECT_LT(St.CompressedSize, 1000);
    }
  }
}

TEST_F(QrvnCompressTest, LayoutOfAWrittenArchive) {
  const auto Src = MakeSources({{"a.txt", std::string(1000, 'a')}, {"b.txt", MixedData(5000, 2)}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src, false, 17);
  TFileHeaders& H = C.Headers();
  ASSERT_EQ(H.Count(), 2);
  const TFileHeaderRecord& A = H.GetFileHeaders(0).Rec;
  const TFileHeaderRecord& B = H.GetFileHeaders(1).Rec;
  EXPECT_EQ(A.Index, 1);
  EXPECT_EQ(B.Index, 2);
  EXPECT_EQ(A.DataStart, 5 + 172);
  EXPECT_EQ(A.EndPos, A.DataStart + A.CompressedSize - 1);
  EXPECT_EQ(A.NextHeader, A.EndPos + 1);
  EXPECT_EQ(B.DataStart, A.NextHeader + 172);
  EXPECT_EQ(B.NextHeader, FileSizeByName(Archive));
  EXPECT_EQ(A.StartDisk + A.EndDisk + B.StartDisk + B.EndDisk, 0);
  EXPECT_EQ(B.FileId, 17);
  // The identifier map points at the last member carrying the id.
  EXPECT_EQ(C.HeaderIndexOfId(17), 1);
  EXPECT_EQ(C.HeaderIndexOfId(18), -1);
  EXPECT_EQ(C.HeaderIndexOfId(2000), -1);
  EXPECT_EQ(C.HeaderIndexOfId(-5), -1);
  EXPECT_TRUE(C.HeadersLoaded());  // reloaded from the file by the lookup
}

TEST_F(QrvnCompressTest, AppendKeepsMembersAndDuplicatesResolveToTheFirst) {
  const auto Src = MakeSources({{"dup.txt", "first version"}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src, false, 1);
  WriteFileBytes(Src[0], "second version, longer");
  Compress(C, Src, true, 2);
  ASSERT_EQ(C.FileCount(), 2);
  EXPECT_EQ(C.Headers().GetFileHeaders(1).Rec.Index, 1);  // appended lists restart at 1
  EXPECT_EQ(C.HeaderIndexOfId(1), 0);
  EXPECT_EQ(C.HeaderIndexOfId(2), 1);
  Extract(C, UpperCase(Src[0]) + ";whatever", Dir / "x");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\dup.txt"), "first version");
}

TEST_F(QrvnCompressTest, NamesJustPastTheRecordAreStoredAndFoundAgain) {
  std::string Long = "n";
  while ((Dir / ("src\\" + Long)).size() < 101) Long += "n";
  const auto Src = MakeSources({{Long, "data"}});
  ASSERT_EQ(Src[0].size(), 101u);
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  EXPECT_EQ(ErrorOf([&] { Compress(C, Src); }), "<no error>");
  Extract(C, Src[0], Dir / "x");
  EXPECT_EQ(ReadFileBytes(Dir / ("x\\" + Long)), "data");
}

TEST_F(QrvnCompressTest, BlankLinesAreRemovedFromTheCallersList) {
  TQrvnCompress C(nullptr);
  TStrings L;
  L.Add("a");
  L.Add("   ");
  L.Add("");
  L.Add("b");
  C.SetFilesToProcess(L);
  EXPECT_EQ(L.Count(), 2);
  EXPECT_EQ(C.FilesToProcess()->Count(), 2);
}

TEST_F(QrvnCompressTest, OverwriteRulesAndReplaceHandler) {
  const auto Src = MakeSources({{"keep.txt", "from archive"}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src);
  const std::string Target = Dir / "dest\\keep.txt";
  WriteFileBytes(Target, "already there");

  std::vector<bool> Finished;
  C.OnStatus = [&](TQrvnCompress*, const TlzhFileStats& S) { Finished.push_back(S.FileFinished); };
  C.SetOverwrite(owNever);
  Extract(C, Src[0], Dir / "dest");
  EXPECT_EQ(ReadFileBytes(Target), "already there");
  ASSERT_EQ(Finished.size(), 1u);
  EXPECT_TRUE(Finished[0]);

  // Same date as the member: kept; an older target is replaced, and the
  // replace handler may choose another name.
  double MemberDate = C.Headers().GetFileHeaders(0).Rec.FileDate;
  ASSERT_TRUE(FileSetDate(Target, MemberDate));
  C.SetOverwrite(owDate);
  Extract(C, Src[0], Dir / "dest");
  EXPECT_EQ(ReadFileBytes(Target), "already there");
  ASSERT_TRUE(FileSetDate(Target, MemberDate - 1));
  int Replaced = 0;
  C.OnReplace = [&](TQrvnCompress* Q, const TlzhFileStats&) {
    ++Replaced;
    Q->ExtractName = "C:\\elsewhere\\renamed.txt";  // only the name part counts
  };
  Extract(C, Src[0], Dir / "dest");
  EXPECT_EQ(Replaced, 1);
  EXPECT_EQ(ReadFileBytes(Dir / "dest\\renamed.txt"), "from archive");
  EXPECT_EQ(ReadFileBytes(Target), "already there");
  EXPECT_EQ(C.ExtractName, "");
}

TEST_F(QrvnCompressTest, ANameForASkippedMemberDoesNotRenameTheNext) {
  const auto Src = MakeSources({{"one.txt", "1"}, {"two.txt", "2"}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src);
  WriteFileBytes(Dir / "d\\one.txt", "kept");
  C.SetOverwrite(owNever);
  TStrings L;
  L.Add(Src[0]);
  L.Add(Src[1]);
  C.SetFilesToProcess(L);
  C.SetExtractDirectory(Dir / "d");
  C.ExtractFiles();
  EXPECT_EQ(ReadFileBytes(Dir / "d\\one.txt"), "kept");
  EXPECT_EQ(ReadFileBytes(Dir / "d\\two.txt"), "2");
}

TEST_F(QrvnCompressTest, OutcomeRules) {
  const auto Src = MakeSources({{"big.bin", MixedData(400000, 3)}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src);
  int Aborted = 0;
  C.OnAborted = [&](TPersistent*) { ++Aborted; };

  // Abort from a progress handler: quiet, through OnAborted.
  C.OnStatus = [](TQrvnCompress* Q, const TlzhFileStats& S) {
    if (S.BytesDone > 10000) Q->SetAbort(true);
  };
  Extract(C, Src[0], Dir / "x");
  EXPECT_EQ(Aborted, 1);
  EXPECT_FALSE(FileExists(Dir / "x\\big.bin"));  // the half file is gone
  EXPECT_TRUE(C.FilesToProcess()->Count() == 0);
  Compress(C, Src);  // compressing too
  EXPECT_EQ(Aborted, 2);

  // The silent abort skips quietly in extraction, without OnAborted.
  C.OnStatus = TlzhFileStatsEvent();
  C.OnBeforeExtracting = [](TQrvnCompress*, const TlzhFileStats&) { throw EAbort(); };
  Compress(C, Src);
  Extract(C, Src[0], Dir / "y");
  EXPECT_EQ(Aborted, 2);
  EXPECT_FALSE(C.Abort());
  EXPECT_FALSE(FileExists(Dir / "y\\big.bin"));

  // Anything else sets Abort and reaches the caller.
  C.OnBeforeExtracting = [](TQrvnCompress*, const TlzhFileStats&) { throw EQIUserAbort(); };
  EXPECT_THROW(Extract(C, Src[0], Dir / "y"), EQIUserAbort);
  EXPECT_TRUE(C.Abort());
  C.OnBeforeExtracting = TlzhFileStatsEvent();
  EXPECT_EQ(ErrorOf([&] { Extract(C, "nothere", Dir / "y"); }),
            "The file <nothere> was not found in the archive <" + Archive + ">");
}

TEST_F(QrvnCompressTest, ProgressIsReportedPerBufferWithSaneTotals) {
  const auto Src = MakeSources({{"a.bin", MixedData(200000, 4)}, {"b.txt", std::string(50000, 'b')}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  std::vector<TlzhFileStats> Seen;
  C.OnStatus = [&](TQrvnCompress*, const TlzhFileStats& S) { Seen.push_back(S); };
  int Before = 0, After = 0;
  C.OnBeforeAdding = [&](TQrvnCompress*, const TlzhFileStats&) { ++Before; };
  C.OnAfterAdding = [&](TQrvnCompress*, const TlzhFileStats& S) {
    ++After;
    EXPECT_EQ(S.Header.CompressedSize, S.CompressedSize);
  };
  C.SetCompressionLevel(colNone);  // incompressible enough for several buffers
  Compress(C, Src);
  EXPECT_EQ(Before, 2);
  EXPECT_EQ(After, 2);
  ASSERT_GE(Seen.size(), 4u);
  EXPECT_TRUE(Seen.back().FileFinished);
  EXPECT_EQ(Seen.back().PercentDone, 100);
  EXPECT_EQ(Seen.back().TotalBytesDone, 250000);
  EXPECT_EQ(Seen.back().TotalPercentDone, 100);

  Seen.clear();
  Extract(C, Src[0], Dir / "x");
  ASSERT_GE(Seen.size(), 200000u / 65536);  // one per 64 KB written
  EXPECT_EQ(Seen.back().BytesDone, 200000);
  EXPECT_EQ(Seen.back().TotalFileSize, 250000);
  for (size_t i = 1; i < Seen.size(); ++i) EXPECT_GE(Seen[i].BytesDone, Seen[i - 1].BytesDone);
}

TEST_F(QrvnCompressTest, EmbeddedArchiveAtAnOffset) {
  const auto Src = MakeSources({{"a.txt", MixedData(20000, 5)}, {"b.txt", "bee"}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src);
  const std::string Exe = Dir / "setup.exe";
  // Garbage after the archive must not leak into the last member.
  WriteFileBytes(Exe, std::string(4321, 'L') + ReadFileBytes(Archive) + std::string(999, 'T'));
  TQrvnCompress R(nullptr);
  R.SetCompressedFile(Exe);
  R.SetOffset(4321);
  ASSERT_EQ(R.FileCount(), 2);
  Extract(R, Src[1], Dir / "x");
  Extract(R, Src[0], Dir / "x");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\b.txt"), "bee");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\a.txt"), ReadFileBytes(Src[0]));
  TQrvnCompress Wrong(nullptr);
  Wrong.SetCompressedFile(Exe);
  Wrong.SetOffset(4320);
  EXPECT_EQ(ErrorOf([&] { Wrong.FileCount(); }), Corrupt + (": " + Exe));
}

TEST_F(QrvnCompressTest, CorruptMembersGiveClearErrors) {
  const auto Src = MakeSources({{"a.txt", MixedData(30000, 6)}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  Compress(C, Src);
  const std::string Good = ReadFileBytes(Archive);
  const TFileHeaderRecord H = C.Headers().GetFileHeaders(0).Rec;
  auto Patched = [&](size_t At, const std::string& Bytes) {
    std::string S = Good;
    S.replace(At, Bytes.size(), Bytes);
    return S;
  };
  auto SizeField = [](int32_t V) {
    return std::string{static_cast<char>(V), static_cast<char>(V >> 8), static_cast<char>(V >> 16),
                       static_cast<char>(V >> 24)};
  };
  const std::string Damaged = ExtractFileName(Src[0]) + " cannot be unpacked from " + (Dir / "bad.1") +
                              ": the distribution is damaged or incomplete. Copy or download it again";
  const std::string SizeMsg =
      "The decompressed file's size does not match with the actual size of the file.  The file is " + Src[0];
  struct Case {
    const char* What;
    std::string Bytes;
    std::string Expected;
  } Cases[] = {
      {"zlib data damaged", Patched(static_cast<size_t>(H.DataStart) + 100, std::string(40, '\x55')), Damaged},
      {"zlib header damaged", Patched(static_cast<size_t>(H.DataStart), "\xff\xff"), Damaged},
      {"size too small", Patched(5 + FileHeaderLayout::FileSize, SizeField(H.FileSize - 1)), SizeMsg},
      {"size too large", Patched(5 + FileHeaderLayout::FileSize, SizeField(H.FileSize + 1)), SizeMsg},
      {"checksum damaged", Patched(Good.size() - 1, std::string(1, static_cast<char>(Good.back() ^ 1))), Damaged},
      {"truncated", Good.substr(0, Good.size() - 10), Corrupt + (": " + (Dir / "bad.1"))},
      {"empty file", "", Corrupt + (": " + (Dir / "bad.1"))},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    const std::string Bad = Dir / "bad.1";
    WriteFileBytes(Bad, K.Bytes);
    TQrvnCompress R(nullptr);
    R.SetCompressedFile(Bad);
    EXPECT_EQ(ErrorOf<Exception>([&] { Extract(R, Src[0], Dir / "x"); }), K.Expected);
    EXPECT_TRUE(R.Abort());
    // Nothing of a member that did not arrive whole stands in the folder.
    const std::string Member = Dir / ("x\\" + ExtractFileName(Src[0]));
    EXPECT_FALSE(FileExists(Member));
    EXPECT_FALSE(FileExists(Member + ".qvpart"));
  }
  TQrvnCompress R(nullptr);
  R.SetCompressedFile(Dir / "missing.1");
  EXPECT_EQ(ErrorOf([&] { R.FileCount(); }), "Cannot open the compressed file " + (Dir / "missing.1"));
  R.SetCompressedFile(Archive);
  EXPECT_EQ(ErrorOf([&] {
              TlzhFileStats S;
              R.GetFileStats(1, S);
            }),
            "Tried to access the 1th file. This file is not defined");
}

class DiskSetTest : public QrvnCompressTest {
 protected:
  // Compresses the sources (stored, so sizes are predictable) and splits the
  // archive onto simulated disks of Capacity bytes in folder "disks".
  void MakeDiskSet(const std::vector<std::string>& Src, int64_t Capacity) {
    TQrvnCompress C(nullptr);
    C.SetCompressedFile(Archive);
    C.SetCompressionLevel(colNone);
    Compress(C, Src);
    C.DiskCapacity = Capacity;
    C.OnNewDisk = [&](TQrvnCompress*, int Disk, std::string& Path) { NewDisks.push_back(Disk); };
    C.SplitToDisks(Dir / "disks", "files.1");
    Split = C.Headers();  // copy of the disk set's headers
  }
  std::vector<int> NewDisks;
  struct TCopy {
    std::vector<TFileHeaderRecord> Recs;
    TCopy& operator=(TFileHeaders& H) {
      Recs.clear();
      for (int i = 0; i < H.Count(); ++i) Recs.push_back(H.GetFileHeaders(i).Rec);
      return *this;
    }
  } Split;
};

TEST_F(DiskSetTest, MembersSpanDisksAndExtractWhole) {
  const auto Src = MakeSources({{"a.bin", MixedData(17000, 7)}, {"b.bin", MixedData(23000, 8)}, {"c.txt", "c"}});
  MakeDiskSet(Src, 10000);
  ASSERT_EQ(Split.Recs.size(), 3u);
  const auto& A = Split.Recs[0];
  EXPECT_EQ(A.StartDisk, 1);
  EXPECT_EQ(A.DataStart, 5 + 3 * 172);
  EXPECT_GE(A.EndDisk, 2);
  EXPECT_GT(Split.Recs[1].EndDisk, Split.Recs[1].StartDisk);
  EXPECT_EQ(FileSizeByName(Dir / "disks\\files.1"), 10000);
  EXPECT_EQ(FileSizeByName(Dir / "disks\\files.2"), 10000);
  const int Last = Split.Recs[2].EndDisk;
  EXPECT_EQ(NewDisks.size(), static_cast<size_t>(Last - 1));
  EXPECT_TRUE(FileExists(Dir / ("disks\\files." + std::to_string(Last))));

  TQrvnCompress R(nullptr);
  R.SetCompressedFile(Dir / "disks\\files.1");
  ASSERT_EQ(R.FileCount(), 3);
  EXPECT_EQ(R.Headers().MultiDisk(), 1);
  for (const auto& S : Src) {
    Extract(R, S, Dir / "x");
    EXPECT_EQ(ReadFileBytes(Dir / ("x\\" + ExtractFileName(S))), ReadFileBytes(S)) << S;
  }
  // Moving between files of one set keeps the headers.
  EXPECT_NE(R.CompressedFile(), Dir / "disks\\files.1");
  EXPECT_TRUE(R.HeadersLoaded());
  R.SetCompressedFile(Dir / "disks\\files.2");
  EXPECT_TRUE(R.HeadersLoaded());
  R.SetCompressedFile(Archive);
  EXPECT_FALSE(R.HeadersLoaded());
}

TEST_F(DiskSetTest, ADiskFilledExactlyByAMember) {
  // With colNone a member of n bytes is n + 11 bytes of zlib stream (two
  // header bytes, one stored block of five, four checksum bytes).
  const int64_t HeaderBlock = 5 + 2 * 172;
  const int64_t Capacity = 3000;
  const size_t FirstSize = static_cast<size_t>(Capacity - HeaderBlock - 11);
  const auto Src = MakeSources({{"a.bin", MixedData(FirstSize, 9)}, {"b.bin", MixedData(500, 10)}});
  MakeDiskSet(Src, Capacity);
  ASSERT_EQ(Split.Recs.size(), 2u);
  EXPECT_EQ(Split.Recs[0].EndDisk, 1);
  EXPECT_EQ(Split.Recs[0].EndPos, Capacity - 1);
  EXPECT_EQ(Split.Recs[1].StartDisk, 1);
  EXPECT_EQ(Split.Recs[1].DataStart, Capacity);
  EXPECT_EQ(Split.Recs[1].EndDisk, 2);
  TQrvnCompress R(nullptr);
  R.SetCompressedFile(Dir / "disks\\files.1");
  Extract(R, Src[1], Dir / "x");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\b.bin"), ReadFileBytes(Src[1]));
}

TEST_F(DiskSetTest, MissingDiskIsAskedForAtMostFourTimes) {
  const auto Src = MakeSources({{"a.bin", MixedData(25000, 11)}});
  MakeDiskSet(Src, 10000);
  const std::string Disk2 = ReadFileBytes(Dir / "disks\\files.2");
  RemoveFile(Dir / "disks\\files.2");
  TQrvnCompress R(nullptr);
  R.SetCompressedFile(Dir / "disks\\files.1");
  std::vector<std::string> Asked;
  R.OnNewDisk = [&](TQrvnCompress*, int Disk, std::string& Path) {
    Asked.push_back(std::to_string(Disk) + " " + Path);
  };
  const std::string Msg = ErrorOf([&] { Extract(R, Src[0], Dir / "x"); });
  EXPECT_EQ(Msg, "Cannot open the compressed file " + (Dir / "disks\\files.2"));
  ASSERT_EQ(Asked.size(), 4u);
  EXPECT_EQ(Asked[0], "2 " + (Dir / "disks"));

  // Answering with the folder where each disk really is works.
  WriteFileBytes(Dir / "floppy\\files.2", Disk2);
  TQrvnCompress Again(nullptr);
  Again.SetCompressedFile(Dir / "disks\\files.1");
  Again.OnNewDisk = [&](TQrvnCompress*, int Disk, std::string& Path) {
    Path = FileExists(Dir / ("floppy\\files." + std::to_string(Disk))) ? Dir / "floppy" : Dir / "disks";
  };
  Extract(Again, Src[0], Dir / "x");
  EXPECT_EQ(ReadFileBytes(Dir / "x\\a.bin"), ReadFileBytes(Src[0]));
  EXPECT_EQ(Again.CompressedFile(), Dir / "disks\\files.3");

  TQrvnCompress NoHandler(nullptr);
  NoHandler.SetCompressedFile(Dir / "disks\\files.1");
  EXPECT_EQ(ErrorOf([&] { Extract(NoHandler, Src[0], Dir / "x"); }), "Could not open the correct disk file 2");
}

TEST_F(DiskSetTest, TheSetGoesOnInTheFolderWhereItsLastDiskWasFound) {
  const auto Src = MakeSources({{"a.bin", MixedData(25000, 12)}, {"b.bin", MixedData(3000, 13)}});
  MakeDiskSet(Src, 10000);
  ASSERT_EQ(Split.Recs[1].StartDisk, 3);
  for (const char* N : {"files.2", "files.3"}) {
    WriteFileBytes(Dir / (std::string("elsewhere\\") + N), ReadFileBytes(Dir / (std::string("disks\\") + N)));
    RemoveFile(Dir / (std::string("disks\\") + N));
  }
  TQrvnCompress R(nullptr);
  std::vector<int> Asked;
  R.OnNewDisk = [&](TQrvnCompress*, int Disk, std::string& Path) {
    Asked.push_back(Disk);
    Path = Dir / "elsewhere";
  };
  // Each file names disk 1 of its set, as the install files do.
  for (const auto& S : Src) {
    R.SetCompressedFile(Dir / "disks\\files.1");
    Extract(R, S, Dir / "x");
    EXPECT_EQ(ReadFileBytes(Dir / ("x\\" + ExtractFileName(S))), ReadFileBytes(S)) << S;
  }
  EXPECT_EQ(Asked, (std::vector<int>{2}));
  EXPECT_EQ(R.CompressedFile(), Dir / "elsewhere\\files.3");
  // Another archive, and disk 1 again: read anew from where it is.
  R.SetCompressedFile(Archive);
  R.SetCompressedFile(Dir / "disks\\files.1");
  EXPECT_FALSE(R.HeadersLoaded());
  EXPECT_EQ(R.CompressedFile(), Dir / "disks\\files.1");
}

TEST_F(DiskSetTest, SplittingNeedsANewDiskHandler) {
  const auto Src = MakeSources({{"a.bin", MixedData(25000, 12)}});
  TQrvnCompress C(nullptr);
  C.SetCompressedFile(Archive);
  C.SetCompressionLevel(colNone);
  Compress(C, Src);
  C.DiskCapacity = 10000;
  EXPECT_EQ(ErrorOf([&] { C.SplitToDisks(Dir / "disks", "files.1"); }),
            "There was no event handler for the OnNewDisk event, therefore no new disk could be inserted");
  C.OnNewDisk = [](TQrvnCompress*, int, std::string&) {};
  C.DiskCapacity = 300;  // not even the header block fits on disk 2
  EXPECT_EQ(ErrorOf([&] { C.SplitToDisks(Dir / "disks", "files.1"); }),
            "There is too little space on this disk to operate");
}

TEST_F(QrvnCompressTest, CopyUncompressed) {
  const auto Src = MakeSources({{"plain.bin", MixedData(20000, 13)}});
  ASSERT_TRUE(FileSetDate(Src[0], 40000.25));
  TQrvnCompress C(nullptr);
  std::vector<TlzhFileStats> Seen;
  C.OnStatus = [&](TQrvnCompress*, const TlzhFileStats& S) { Seen.push_back(S); };
  const std::string Dest = Dir / "copy.bin";
  C.CopyUncompressed(Src[0], Dest);
  EXPECT_EQ(ReadFileBytes(Dest), ReadFileBytes(Src[0]));
  double D;
  ASSERT_TRUE(FileAge(Dest, D));
  EXPECT_EQ(D, 40000.25);
  ASSERT_EQ(Seen.size(), 4u);  // three reads of 8,192 bytes or less, then finished
  EXPECT_TRUE(Seen.back().FileFinished);
  EXPECT_EQ(Seen.back().PercentDone, 100);

  WriteFileBytes(Dest, "newer");
  ASSERT_TRUE(FileSetDate(Dest, 40001));
  C.SetOverwrite(owDate);
  C.CopyUncompressed(Src[0], Dest);
  EXPECT_EQ(ReadFileBytes(Dest), "newer");
  C.SetOverwrite(owAlways);
  C.OnStatus = [](TQrvnCompress* Q, const TlzhFileStats&) { Q->SetAbort(true); };
  C.CopyUncompressed(Src[0], Dest);  // stops quietly after the first piece
  EXPECT_EQ(FileSizeByName(Dest), 8192);
  EXPECT_EQ(ErrorOf([&] { C.CopyUncompressed(Dir / "none", Dir / "none2"); }),
            "Cannot open the file " + (Dir / "none"));
}

TEST(QrvnCompressClass, PublishesItsProperties) {
  const TClassInfo& I = TQrvnCompress::StaticClass();
  for (const char* P : {"Abort", "CompressedFile", "CompressionLevel", "ExtractDirectory", "FilesToProcess",
                        "Offset", "Overwrite", "OnAborted", "OnAfterAdding", "OnAfterExtracting",
                        "OnBeforeAdding", "OnBeforeExtracting", "OnFullDisk", "OnListing", "OnNewDisk",
                        "OnReplace", "OnStatus"})
    EXPECT_NE(I.FindProp(P), nullptr) << P;
  TQrvnCompress C(nullptr);
  EXPECT_EQ(I.FindProp("CompressionLevel")->GetOrd(C), colMax);
  EXPECT_EQ(&QrvnCompress(), &QrvnCompress());
}

}  // namespace
