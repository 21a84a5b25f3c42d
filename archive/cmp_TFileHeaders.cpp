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
  return std::string(ShortStringText(P), ShortStringLength(P, Max));
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
  const TMemberPlace P = DecodeMemberPlace(B);
  TFileHeaderRecord R;
  R.Index = GetLE<int32_t>(B + L::Index);
  R.FileDate = GetDoubleLE(B + L::FileDate);
  R.EndDisk = P.EndDisk;
  R.EndPos = P.EndPos;
  R.FileName = GetShortString(B + L::FileName, L::FileNameMax);
  R.NextHeader = P.NextHeader;
  R.FileSize = P.FileSize;
  R.DataStart = P.DataStart;
  R.CompressedSize = P.CompressedSize;
  R.StartDisk = P.StartDisk;
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
  FNameIndex.clear();
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
  if (FNameIndex.empty())
    for (size_t i = 0; i < FHeaders.size(); ++i)
      FNameIndex.emplace(UpperCase(FHeaders[i]->Rec.FileName), static_cast<int>(i));
  // A record's name can be changed through GetFileHeaders: an index entry
  // is taken only when the record still has the name, and a name the index
  // does not know is looked for in the records themselves.
  const auto It = FNameIndex.find(UpperCase(Wanted));
  if (It != FNameIndex.end() && SameText(FHeaders[static_cast<size_t>(It->second)]->Rec.FileName, Wanted))
    return It->second;
  for (size_t i = 0; i < FHeaders.size(); ++i)
    if (SameText(FHeaders[i]->Rec.FileName, Wanted)) {
      FNameIndex.clear();
      return static_cast<int>(i);
    }
  return -1;
}


void TFileHeaders::ReadFromStream(TStream& Stream, int64_t Base) {
  Clear();
  auto ReadAt = [&Stream](int64_t Pos, uint8_t* B, size_t N) {
    Stream.SetPosition(Pos);
    return Stream.Read(B, N) == N;
  };
  auto Begin = [this](int32_t, uint8_t MultiDisk) { FMultiDisk = MultiDisk; };
  auto Header = [this](const uint8_t* B, const TMemberPlace&) {
    auto H = std::make_unique<TFileHeader>();
    H->Rec = TFileHeaderRecord::Decode(B);
    H->Loaded = true;
    Add(std::move(H));
    return true;
  };
  switch (WalkHeaderChain(Base, Stream.Size(), ReadAt, Begin, Header)) {
    case THeaderChainResult::Read:
      return;
    case THeaderChainResult::CountUnreadable:
      Fail(MsgCountUnreadable);
    case THeaderChainResult::HeadersUnreadable:
      Fail(MsgHeadersUnreadable);
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

namespace TL = SelfExtractTrailerLayout;

std::array<uint8_t, SelfExtractTrailerSize> EncodeSelfExtractTrailer(const TSelfExtractTrailer& T) {
  std::array<uint8_t, SelfExtractTrailerSize> B{};
  PutShortString(B.data() + TL::Signature, TL::SignatureText, TL::SignatureMax);
  PutLE<int32_t>(&B[TL::SetupStart], T.SetupStart);
  PutLE<int32_t>(&B[TL::SetupEnd], T.SetupEnd);
  PutLE<int32_t>(&B[TL::FilesStart], T.FilesStart);
  PutLE<int32_t>(&B[TL::FilesEnd], T.FilesEnd);
  return B;
}

int64_t ContentSize(TStream& Stream) {
  const int64_t FileSize = Stream.Size();
  uint8_t Head[SignedHeadSize];
  Stream.SetPosition(0);
  const size_t Want = FileSize < static_cast<int64_t>(sizeof Head) ? static_cast<size_t>(FileSize) : sizeof Head;
  return SignedContentEnd(Head, Stream.Read(Head, Want), FileSize);
}

bool ReadSelfExtractTrailer(TStream& Stream, TSelfExtractTrailer& T) {
  // A signed file keeps its trailer in front of the signature.
  const int64_t End = ContentSize(Stream);
  const bool Signed = End != Stream.Size();
  const size_t N = static_cast<size_t>(std::min<int64_t>(End, Signed ? SignedTailSize : SelfExtractTrailerSize));
  if (N < SelfExtractTrailerSize) return false;
  uint8_t B[SignedTailSize];
  Stream.SetPosition(End - static_cast<int64_t>(N));
  if (Stream.Read(B, N) != N) return false;
  return DecodeTrailerBefore(B, N, End, Signed, T);
}

bool ReadDistributionTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& T) {
  return ReadSelfExtractTrailer(OwnFile, T) && TrailerLeadsBehindImage(T, ImageEnd);
}
