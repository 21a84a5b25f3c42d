#include "archive/cmp_TFileHeaders.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "archive/routines_VersionCompare.h"
#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_LittleEndian.h"
#include "rtl/routines_Strings.h"

namespace L = FileHeaderLayout;

namespace {

[[noreturn]] void Fail(const std::string& Msg) { throw EQrvnCompress(TranslateMessageText(Msg)); }

const char* const MsgCountUnreadable = "Could not read the file header count for the compressed file";
const char* const MsgHeadersUnreadable =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";

// Length byte + at most Max characters; a stored length above Max is cut.
void PutShortString(uint8_t* P, const std::string& S, size_t Max) {
  const size_t N = std::min(S.size(), Max);
  P[0] = static_cast<uint8_t>(N);
  std::memcpy(P + 1, S.data(), N);
}

std::string GetShortString(const uint8_t* P, size_t Max) {
  return std::string(reinterpret_cast<const char*>(P + 1), std::min<size_t>(P[0], Max));
}

}  // namespace

std::array<uint8_t, L::Size> TFileHeaderRecord::Encode() const {
  std::array<uint8_t, L::Size> B{};
  PutLE<int32_t>(&B[L::Index], Index);
  PutDoubleLE(&B[L::FileDate], FileDate);
  B[L::EndDisk] = EndDisk;
  PutLE<int32_t>(&B[L::EndPos], EndPos);
  PutShortString(&B[L::FileName], FileName, L::FileNameMax);
  PutLE<int32_t>(&B[L::NextHeader], NextHeader);
  PutLE<int32_t>(&B[L::FileSize], FileSize);
  PutLE<int32_t>(&B[L::DataStart], DataStart);
  PutLE<int32_t>(&B[L::CompressedSize], CompressedSize);
  B[L::StartDisk] = StartDisk;
  PutLE<int32_t>(&B[L::FileId], FileId);
  PutShortString(&B[L::Version], Version, L::VersionMax);
  return B;
}

TFileHeaderRecord TFileHeaderRecord::Decode(const uint8_t* B) {
  TFileHeaderRecord R;
  R.Index = GetLE<int32_t>(B + L::Index);
  R.FileDate = GetDoubleLE(B + L::FileDate);
  R.EndDisk = B[L::EndDisk];
  R.EndPos = GetLE<int32_t>(B + L::EndPos);
  R.FileName = GetShortString(B + L::FileName, L::FileNameMax);
  R.NextHeader = GetLE<int32_t>(B + L::NextHeader);
  R.FileSize = GetLE<int32_t>(B + L::FileSize);
  R.DataStart = GetLE<int32_t>(B + L::DataStart);
  R.CompressedSize = GetLE<int32_t>(B + L::CompressedSize);
  R.StartDisk = B[L::StartDisk];
  R.FileId = GetLE<int32_t>(B + L::FileId);
  R.Version = GetShortString(B + L::Version, L::VersionMax);
  return R;
}

uint8_t PercentOf(double Part, double Whole) {
  if (Whole == 0) return 0;
  const double V = std::nearbyint(Part / Whole * 100.0);  // default rounding: ties to even
  if (!std::isfinite(V) || V <= 0) return 0;
  return V >= 255 ? 255 : static_cast<uint8_t>(V);
}

// --- TFileHeader ------------------------------------------------------------

bool TFileHeader::ReadFromStream(TStream& Stream) {
  uint8_t B[L::Size];
  if (Stream.Read(B, sizeof B) != sizeof B) return false;
  Rec = TFileHeaderRecord::Decode(B);
  Source.clear();
  Loaded = true;
  return true;
}

bool TFileHeader::WriteToStream(TStream& Stream) const {
  const auto B = Rec.Encode();
  return Stream.Write(B.data(), B.size()) == B.size();
}

std::string MemberNameOf(const std::string& SourcePath) {
  if (SourcePath.size() <= L::FileNameMax) return SourcePath;
  // Too long for the record: a name made from the whole path alone, so that
  // the installation, which knows only the path, finds the member again.
  // The file name stays, for whoever unpacks by it.
  const std::string Upper = UpperCase(SourcePath);
  const uLong Crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(Upper.data()),
                          static_cast<uInt>(Upper.size()));
  char Tag[16];
  std::snprintf(Tag, sizeof Tag, "~%08lX~\\", static_cast<unsigned long>(Crc & 0xFFFFFFFFUL));
  const std::string Name = Tag + ExtractFileName(SourcePath);
  return Name.size() <= L::FileNameMax ? Name : std::string();
}

void TFileHeader::FillFromFile(const std::string& Line) {
  Rec = TFileHeaderRecord();
  Loaded = false;
  Source = GetField(Line, 1, ';');
  Rec.FileName = MemberNameOf(Source);
  if (Rec.FileName.empty())
    throw EQrvnCompress(TranslatedFormat("The name of the file %s is too long for an archive", Source));
  {
    auto F = TFileStream::TryOpen(Source, TFileMode::fmOpenRead);
    if (!F) throw EQrvnCompress(TranslatedFormat("Cannot open the file %s", Source));
    const int64_t Size = F->Size();
    // Sizes and positions are 32-bit in the record.
    if (Size > std::numeric_limits<int32_t>::max())
      throw EQrvnCompress(TranslatedFormat("The file %s is too large for an archive", Source));
    Rec.FileSize = static_cast<int32_t>(Size);
    if (!F->GetFileDate(Rec.FileDate)) Rec.FileDate = 0;
  }
  Rec.Version = ReadFileVersion(Source).substr(0, L::VersionMax);
}

bool TFileHeader::IsValid() const { return !Trim(Rec.FileName).empty(); }

// --- TFileHeaders -----------------------------------------------------------

TFileHeader& TFileHeaders::GetFileHeaders(int Index) {
  return const_cast<TFileHeader&>(static_cast<const TFileHeaders&>(*this).GetFileHeaders(Index));
}

const TFileHeader& TFileHeaders::GetFileHeaders(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EQrvnCompress(
        TranslatedFormat("%d is an invalid TFileHeader index in TFileHeaders.GetFileHeaders", Index));
  return *FHeaders[static_cast<size_t>(Index)];
}

void TFileHeaders::Add(std::unique_ptr<TFileHeader> Header) {
  if (!Header || !Header->IsValid()) Fail("Tried to add an invalid file header");
  FHeaders.push_back(std::move(Header));
}

void TFileHeaders::AddFiles(const TStrings& List, bool Keep) {
  if (!Keep) Clear();
  for (int i = 0; i < List.Count(); ++i) {
    auto H = std::make_unique<TFileHeader>();
    H->FillFromFile(List[i]);
    H->Rec.Index = i + 1;
    Add(std::move(H));
  }
}

int TFileHeaders::IndexOfName(const std::string& Name) const {
  const std::string Wanted = MemberNameOf(GetField(Name, 1, ';'));
  for (size_t i = 0; i < FHeaders.size(); ++i)
    if (SameText(FHeaders[i]->Rec.FileName, Wanted)) return static_cast<int>(i);
  return -1;
}

namespace {

// A member's data must lie where the archive can hold it.  Only the first
// file of a disk set is at hand, so there the disk numbers are all we check.
bool MemberIsPlausible(const TFileHeaderRecord& R, uint8_t MultiDisk, int64_t Base, int64_t StreamSize) {
  if (R.FileSize < 0 || R.CompressedSize < 0 || R.DataStart < 0 || R.EndPos < -1) return false;
  if (MultiDisk) return R.StartDisk <= R.EndDisk;
  return R.StartDisk == 0 && R.EndDisk == 0 &&
         static_cast<int64_t>(R.EndPos) == static_cast<int64_t>(R.DataStart) + R.CompressedSize - 1 &&
         Base + R.DataStart + R.CompressedSize <= StreamSize;
}

}  // namespace

void TFileHeaders::ReadFromStream(TStream& Stream, int64_t Base) {
  Clear();
  const int64_t StreamSize = Stream.Size();
  if (Base < 0 || Base + ArchivePreambleSize > StreamSize) Fail(MsgCountUnreadable);
  Stream.SetPosition(Base);
  uint8_t Pre[ArchivePreambleSize];
  if (Stream.Read(Pre, sizeof Pre) != sizeof Pre) Fail(MsgCountUnreadable);
  const int32_t N = GetLE<int32_t>(Pre);
  FMultiDisk = Pre[4];
  // Every header needs 172 bytes of the file: a count that cannot fit is a
  // corrupt archive, not a reason to allocate.
  if (N < 0 || FMultiDisk > 1 || N > (StreamSize - Base - ArchivePreambleSize) / static_cast<int64_t>(L::Size))
    Fail(MsgHeadersUnreadable);
  int64_t P = Base + ArchivePreambleSize;
  for (int32_t i = 0; i < N; ++i) {
    if (P + static_cast<int64_t>(L::Size) > StreamSize) Fail(MsgHeadersUnreadable);
    Stream.SetPosition(P);
    auto H = std::make_unique<TFileHeader>();
    if (!H->ReadFromStream(Stream)) Fail(MsgHeadersUnreadable);
    if (!MemberIsPlausible(H->Rec, FMultiDisk, Base, StreamSize)) Fail(MsgHeadersUnreadable);
    const int64_t Next = Base + H->Rec.NextHeader;
    // The chain only runs forward, past the header just read: no loops.
    if (i + 1 < N && Next < P + static_cast<int64_t>(L::Size)) Fail(MsgHeadersUnreadable);
    P = Next;
    Add(std::move(H));
  }
}

void TFileHeaders::WriteToStream(TStream& Stream) {
  const char* const MsgWrite = "Could not write the file headers for the compressed file";
  Stream.SetPosition(0);
  uint8_t Pre[ArchivePreambleSize];
  PutLE<int32_t>(Pre, Count());
  Pre[4] = FMultiDisk;
  if (Stream.Write(Pre, sizeof Pre) != sizeof Pre) Fail(MsgWrite);
  if (FMultiDisk != 1) return;
  for (auto& H : FHeaders) {
    H->Rec.NextHeader = static_cast<int32_t>(Stream.Position() + static_cast<int64_t>(L::Size));
    if (!H->WriteToStream(Stream)) Fail(MsgWrite);
  }
}

void TFileHeaders::SumTotals(TlzhFileStats& Stats) const {
  Stats.TotalCompressedSize = 0;
  Stats.TotalFileSize = 0;
  for (const auto& H : FHeaders) {
    Stats.TotalCompressedSize += H->Rec.CompressedSize;
    Stats.TotalFileSize += H->Rec.FileSize;
  }
}

void TFileHeaders::ResetTotals(TlzhFileStats& Stats) const {
  Stats.TotalBytesDone = 0;
  Stats.TotalPercentDone = 0;
  Stats.FileFinished = false;
  SumTotals(Stats);
  Stats.TotalRatio = PercentOf(static_cast<double>(Stats.TotalCompressedSize),
                               static_cast<double>(Stats.TotalFileSize));
}

// --- Self-extracting trailer ------------------------------------------------

namespace {
constexpr size_t TrSetupStart = 16, TrSetupEnd = 20, TrFilesStart = 24, TrFilesEnd = 28;
const char TrSignature[] = "SELFEXTRACTING";
}  // namespace

std::array<uint8_t, SelfExtractTrailerSize> EncodeSelfExtractTrailer(const TSelfExtractTrailer& T) {
  std::array<uint8_t, SelfExtractTrailerSize> B{};
  PutShortString(B.data(), TrSignature, 14);
  PutLE<int32_t>(&B[TrSetupStart], T.SetupStart);
  PutLE<int32_t>(&B[TrSetupEnd], T.SetupEnd);
  PutLE<int32_t>(&B[TrFilesStart], T.FilesStart);
  PutLE<int32_t>(&B[TrFilesEnd], T.FilesEnd);
  return B;
}

bool ReadSelfExtractTrailer(TStream& Stream, TSelfExtractTrailer& T) {
  const int64_t Size = Stream.Size();
  const int64_t At = Size - static_cast<int64_t>(SelfExtractTrailerSize);
  if (At < 0) return false;
  uint8_t B[SelfExtractTrailerSize];
  Stream.SetPosition(At);
  if (Stream.Read(B, sizeof B) != sizeof B) return false;
  T.SetupStart = GetLE<int32_t>(B + TrSetupStart);
  T.SetupEnd = GetLE<int32_t>(B + TrSetupEnd);
  T.FilesStart = GetLE<int32_t>(B + TrFilesStart);
  T.FilesEnd = GetLE<int32_t>(B + TrFilesEnd);
  auto Inside = [At](int32_t Pos) { return Pos >= 0 && Pos < At; };
  const bool NoFiles = T.FilesStart == 0 && T.FilesEnd == 0;
  return Inside(T.SetupStart) && Inside(T.SetupEnd) && T.SetupStart <= T.SetupEnd &&
         (NoFiles || (Inside(T.FilesStart) && Inside(T.FilesEnd) && T.FilesStart <= T.FilesEnd));
}

bool ReadDistributionTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& T) {
  if (!ReadSelfExtractTrailer(OwnFile, T)) return false;
  const int64_t Span = static_cast<int64_t>(T.SetupEnd) - T.SetupStart + 1;
  return T.SetupStart >= std::max<int64_t>(ImageEnd, 1) && Span >= ArchivePreambleSize;
}
