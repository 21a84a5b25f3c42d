#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "ArchiveTestSupport.h"
#include "archive/cmp_TFileHeaders.h"

namespace {

namespace L = FileHeaderLayout;

int32_t Int32At(const uint8_t* P) {
  return static_cast<int32_t>(P[0] | (P[1] << 8) | (P[2] << 16) | (static_cast<uint32_t>(P[3]) << 24));
}

TFileHeaderRecord SampleRecord() {
  TFileHeaderRecord R;
  R.Index = 3;
  R.FileDate = 36526.5;  // 1 January 2000, noon
  R.EndDisk = 2;
  R.EndPos = 0x01020304;
  R.FileName = "C:\\build\\bin\\app.exe";
  R.NextHeader = 777;
  R.FileSize = 123456;
  R.DataStart = 5 + 172;
  R.CompressedSize = 65432;
  R.StartDisk = 1;
  R.FileId = 1999;
  R.Version = "4.0.1381.1";
  return R;
}

TEST(TFileHeaderRecord, FieldsSitAtTheirOffsets) {
  const auto B = SampleRecord().Encode();
  ASSERT_EQ(B.size(), 172u);
  EXPECT_EQ(Int32At(&B[0]), 3);
  double D;
  std::memcpy(&D, &B[4], 8);
  EXPECT_EQ(D, 36526.5);
  EXPECT_EQ(B[12], 2);
  EXPECT_EQ(Int32At(&B[16]), 0x01020304);
  EXPECT_EQ(B[20], 20);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&B[21]), 20), "C:\\build\\bin\\app.exe");
  EXPECT_EQ(Int32At(&B[124]), 777);
  EXPECT_EQ(Int32At(&B[128]), 123456);
  EXPECT_EQ(Int32At(&B[132]), 177);
  EXPECT_EQ(Int32At(&B[136]), 65432);
  EXPECT_EQ(B[140], 1);
  EXPECT_EQ(Int32At(&B[144]), 1999);
  EXPECT_EQ(B[148], 10);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&B[149]), 10), "4.0.1381.1");
  // Padding and unused string bytes are zero.
  for (size_t i : {13u, 14u, 15u, 121u, 122u, 123u, 141u, 142u, 143u, 169u, 170u, 171u, 41u, 120u, 159u, 168u})
    EXPECT_EQ(B[i], 0) << i;
  const TFileHeaderRecord R = TFileHeaderRecord::Decode(B.data());
  EXPECT_EQ(R.Encode(), B);
}

TEST(TFileHeaderRecord, LongTextIsCutAndOverlongLengthBytesAreNotTrusted) {
  TFileHeaderRecord R;
  R.FileName = std::string(101, 'n');
  R.Version = std::string(25, 'v');
  auto B = R.Encode();
  EXPECT_EQ(B[L::FileName], 100);
  EXPECT_EQ(B[L::Version], 20);
  B[L::FileName] = 255;  // more than the field holds
  B[L::Version] = 200;
  const TFileHeaderRecord D = TFileHeaderRecord::Decode(B.data());
  EXPECT_EQ(D.FileName, std::string(100, 'n'));
  EXPECT_EQ(D.Version, std::string(20, 'v'));
}

TEST(PercentOf, RoundsHalfToEvenAndNeverFails) {
  struct Case {
    double Part, Whole;
    int Expected;
  } Cases[] = {{0, 0, 0}, {5, 0, 0}, {1, 8, 12}, {1, 200, 0}, {3, 200, 2}, {1, 3, 33},
               {2, 3, 67}, {10, 10, 100}, {9, 1, 255}, {-1, 10, 0}};
  for (const Case& C : Cases) EXPECT_EQ(PercentOf(C.Part, C.Whole), C.Expected) << C.Part << "/" << C.Whole;
}

// An archive in memory: count, flag, then each header followed by Data bytes.
std::string BuildArchive(const std::vector<TFileHeaderRecord>& Members, int32_t Count, uint8_t Flag = 0,
                         size_t DataBytes = 4) {
  std::string S(5, '\0');
  for (int i = 0; i < 4; ++i) S[i] = static_cast<char>(static_cast<uint32_t>(Count) >> (8 * i));
  S[4] = static_cast<char>(Flag);
  for (TFileHeaderRecord R : Members) {
    const int32_t H = static_cast<int32_t>(S.size());
    R.DataStart = H + 172;
    R.CompressedSize = static_cast<int32_t>(DataBytes);
    R.EndPos = R.DataStart + R.CompressedSize - 1;
    if (R.NextHeader == 0) R.NextHeader = R.EndPos + 1;
    const auto B = R.Encode();
    S.append(reinterpret_cast<const char*>(B.data()), B.size());
    S.append(DataBytes, 'x');
  }
  return S;
}

TFileHeaderRecord Named(const std::string& Name) {
  TFileHeaderRecord R;
  R.FileName = Name;
  R.FileSize = 10;
  return R;
}

TEST(TFileHeaders, ReadsAChainAndFindsNames) {
  TMemoryStream S(BuildArchive({Named("C:\\src\\One.txt"), Named("C:\\src\\two.txt"), Named("C:\\src\\ONE.TXT")}, 3));
  TFileHeaders H;
  H.ReadFromStream(S, 0);
  ASSERT_EQ(H.Count(), 3);
  EXPECT_TRUE(H.GetFileHeaders(0).Loaded);
  EXPECT_EQ(H.IndexOfName("c:\\SRC\\two.TXT;C:\\dest;more"), 1);
  EXPECT_EQ(H.IndexOfName("C:\\src\\one.txt"), 0);  // the first of two equal names
  EXPECT_EQ(H.IndexOfName("two.txt"), -1);
  // A record renamed after the first look-up is found by its new name only.
  H.GetFileHeaders(1).Rec.FileName = "C:\\src\\three.txt";
  EXPECT_EQ(H.IndexOfName("C:\\src\\two.txt"), -1);
  EXPECT_EQ(H.IndexOfName("C:\\SRC\\three.txt"), 1);
  EXPECT_EQ(H.MultiDisk(), 0);
  try {
    H.GetFileHeaders(3);
    FAIL();
  } catch (const EQrvnCompress& E) {
    EXPECT_STREQ(E.what(), "3 is an invalid TFileHeader index in TFileHeaders.GetFileHeaders");
  }
}

TEST(TFileHeaders, AnEmptyArchiveIsFiveBytes) {
  TMemoryStream Out;
  TFileHeaders H;
  H.WriteToStream(Out);
  EXPECT_EQ(Out.Data(), std::string(5, '\0'));
  H.ReadFromStream(Out, 0);
  EXPECT_EQ(H.Count(), 0);
}

TEST(TFileHeaders, ReadsAnArchiveEmbeddedAtABase) {
  const std::string Prefix(1000, 'P');
  TMemoryStream S(Prefix + BuildArchive({Named("a"), Named("b")}, 2) + "trailer");
  TFileHeaders H;
  H.ReadFromStream(S, 1000);
  ASSERT_EQ(H.Count(), 2);
  EXPECT_EQ(H.GetFileHeaders(1).Rec.FileName, "b");
  EXPECT_EQ(H.GetFileHeaders(1).Rec.DataStart, 5 + 172 + 4 + 172);
}

TEST(TFileHeaders, DiskSetHeaderBlockIsBackToBack) {
  TFileHeaders H;
  for (const char* N : {"a", "b", "c"}) {
    auto F = std::make_unique<TFileHeader>();
    F->Rec = Named(N);
    H.Add(std::move(F));
  }
  H.SetMultiDisk(1);
  TMemoryStream Out;
  H.WriteToStream(Out);
  ASSERT_EQ(Out.Size(), 5 + 3 * 172);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(H.GetFileHeaders(i).Rec.NextHeader, 5 + 172 * (i + 1));
  EXPECT_THROW(H.Add(std::make_unique<TFileHeader>()), EQrvnCompress);  // blank name
}

void ExpectReadFails(const std::string& Bytes, const char* Message, int64_t Base = 0) {
  TMemoryStream S(Bytes);
  TFileHeaders H;
  try {
    H.ReadFromStream(S, Base);
    ADD_FAILURE() << "no error";
  } catch (const EQrvnCompress& E) {
    EXPECT_STREQ(E.what(), Message);
  }
}

TEST(TFileHeaders, BadChainsGiveTheHeaderError) {
  const char* Corrupt =
      "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";
  const std::string Good = BuildArchive({Named("a"), Named("b")}, 2);
  struct Case {
    const char* What;
    std::function<std::string()> Make;
  } Cases[] = {
      {"count larger than the file can hold", [&] { return BuildArchive({Named("a")}, 2); }},
      {"absurd count", [&] { return BuildArchive({Named("a")}, 0x7fffffff); }},
      {"negative count", [&] { return BuildArchive({Named("a")}, -1); }},
      {"truncated header", [&] { return Good.substr(0, 5 + 100); }},
      {"truncated data", [&] { return Good.substr(0, Good.size() - 2); }},
      {"flag neither 0 nor 1", [&] { return BuildArchive({Named("a")}, 1, 7); }},
      {"loop back to the first header",
       [&] {
         TFileHeaderRecord A = Named("a");
         A.NextHeader = 5;
         return BuildArchive({A, Named("b")}, 2);
       }},
      {"next header outside the file",
       [&] {
         TFileHeaderRecord A = Named("a");
         A.NextHeader = 1 << 30;
         return BuildArchive({A, Named("b")}, 2);
       }},
      {"negative next header",
       [&] {
         TFileHeaderRecord A = Named("a");
         A.NextHeader = -1000;
         return BuildArchive({A, Named("b")}, 2);
       }},
      {"negative size",
       [&] {
         TFileHeaderRecord A = Named("a");
         A.FileSize = -1;
         return BuildArchive({A}, 1);
       }},
      {"disk numbers in a single file",
       [&] {
         TFileHeaderRecord A = Named("a");
         A.EndDisk = 3;
         return BuildArchive({A}, 1);
       }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    ExpectReadFails(C.Make(), Corrupt);
  }
  ExpectReadFails("\x01\x00", "Could not read the file header count for the compressed file");
  ExpectReadFails(Good, "Could not read the file header count for the compressed file", 5000);
  ExpectReadFails(BuildArchive({Named("   ")}, 1), "Tried to add an invalid file header");
}

TEST(TFileHeader, FillFromFileTakesNameSizeAndDate) {
  TScratchDir D;
  const std::string F = D / "data.bin";
  WriteFileBytes(F, std::string(1234, 'z'));
  ASSERT_TRUE(FileSetDate(F, 36526.5));
  TFileHeader H;
  H.FillFromFile(F + ";C:\\dest;1");
  EXPECT_EQ(H.Rec.FileName, F);
  EXPECT_EQ(H.Rec.FileSize, 1234);
  EXPECT_EQ(H.Rec.FileDate, 36526.5);
  EXPECT_EQ(H.Rec.Version, "");
  EXPECT_FALSE(H.Loaded);
  try {
    H.FillFromFile(D / "missing.bin");
    FAIL();
  } catch (const EQrvnCompress& E) {
    EXPECT_EQ(E.Message(), "Cannot open the file " + (D / "missing.bin"));
  }
}

TEST(SelfExtractTrailer, RoundTripsAndRejectsPositionsOutsideTheFile) {
  TSelfExtractTrailer T{100, 199, 200, 299};
  const auto B = EncodeSelfExtractTrailer(T);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(B.data()), 15), "\x0eSELFEXTRACTING");
  TMemoryStream S(std::string(300, 'x') + std::string(reinterpret_cast<const char*>(B.data()), B.size()));
  TSelfExtractTrailer R;
  ASSERT_TRUE(ReadSelfExtractTrailer(S, R));
  EXPECT_EQ(R.SetupStart, 100);
  EXPECT_EQ(R.SetupEnd, 199);
  EXPECT_EQ(R.FilesStart, 200);
  EXPECT_EQ(R.FilesEnd, 299);

  const auto NoFiles = EncodeSelfExtractTrailer({100, 199, 0, 0});
  TMemoryStream S2(std::string(300, 'x') + std::string(reinterpret_cast<const char*>(NoFiles.data()), 56));
  EXPECT_TRUE(ReadSelfExtractTrailer(S2, R));
  EXPECT_EQ(R.FilesStart, 0);

  const auto Beyond = EncodeSelfExtractTrailer({100, 199, 200, 300});
  TMemoryStream S3(std::string(300, 'x') + std::string(reinterpret_cast<const char*>(Beyond.data()), 56));
  EXPECT_FALSE(ReadSelfExtractTrailer(S3, R));
  TMemoryStream Short(std::string(55, 'x'));
  EXPECT_FALSE(ReadSelfExtractTrailer(Short, R));
}

// An executable whose security directory points at a certificate table of
// TableSize bytes, Padding zero bytes behind Body.
std::string SignedFile(const std::string& Body, size_t Padding, uint32_t TableSize, int64_t TableAtShift = 0) {
  std::string F = Body + std::string(Padding, '\0');
  const uint32_t At = static_cast<uint32_t>(F.size() + TableAtShift);
  F += std::string(TableSize, 'C');
  auto Put32 = [&F](size_t P, uint32_t V) {
    for (int i = 0; i < 4; ++i) F[P + i] = static_cast<char>(V >> (8 * i));
  };
  F[0] = 'M', F[1] = 'Z';
  Put32(0x3C, 0x80);
  F.replace(0x80, 4, std::string("PE\0\0", 4));
  F[0x80 + 24] = 0x0B, F[0x80 + 25] = 0x02;  // PE32+
  Put32(0x80 + 24 + 108, 16);
  Put32(0x80 + 24 + 144, At);
  Put32(0x80 + 24 + 148, TableSize);
  return F;
}

TEST(SelfExtractTrailer, IsFoundInFrontOfAnAppendedSignature) {
  const auto B = EncodeSelfExtractTrailer({1500, 1599, 1600, 1699});
  const std::string Body = std::string(1700, 'x') + std::string(reinterpret_cast<const char*>(B.data()), B.size());
  TSelfExtractTrailer R;
  for (size_t Padding = 0; Padding <= 7; ++Padding) {
    TMemoryStream S(SignedFile(Body, Padding, 2000));
    ASSERT_TRUE(ReadSelfExtractTrailer(S, R)) << Padding;
    EXPECT_EQ(R.SetupStart, 1500);
    EXPECT_EQ(R.FilesEnd, 1699);
    EXPECT_EQ(ContentSize(S), static_cast<int64_t>(Body.size() + Padding));
  }
  // More padding than a signing tool adds, or a table that does not run to
  // the end of the file, is no signature the trailer stands in front of.
  TMemoryStream Padded(SignedFile(Body, 8, 2000));
  EXPECT_FALSE(ReadSelfExtractTrailer(Padded, R));
  TMemoryStream Inside(SignedFile(Body, 0, 2000, -100));
  EXPECT_FALSE(ReadSelfExtractTrailer(Inside, R));
}

}  // namespace
