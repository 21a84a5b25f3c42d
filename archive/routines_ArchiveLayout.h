// The archive layout at the level of bytes: the fields of a member's header
// record, the walk along the header chain with its plausibility checks, and
// the trailer of a self-extracting executable.  No allocation, no exception
// and no library beyond the little-endian fields, so that the loading
// program, which must stay small, reads archives by the same rules as the
// archive engine (cmp_TFileHeaders.h builds its records on these).
//
// Archive (positions relative to the archive base; all integers little-endian):
//   0    int32   header count N
//   4    uint8   MultiDisk: 0 single file, 1 first file of a disk set
//   5    172     header 1, then (single file) its zlib stream; the next header
//                is at NextHeader, and so on.  A disk set keeps all N headers
//                back to back from 5 and the data after them, running on from
//                disk file to disk file (files.1, files.2, ...).
#pragma once

#include <cstddef>
#include <cstdint>

#include "rtl/routines_LittleEndian.h"

// Header record, 172 bytes.  Strings are a length byte plus up to the
// declared number of characters; padding and unused string bytes are zero.
namespace FileHeaderLayout {
constexpr size_t Index = 0;            // int32, 1-based position in the list it came from
constexpr size_t FileDate = 4;         // double, local day count (two-second stamp)
constexpr size_t EndDisk = 12;         // uint8, disk holding the last data byte
constexpr size_t EndPos = 16;          // int32, position of the last data byte (inclusive)
constexpr size_t FileName = 20;        // length byte + 100 characters
constexpr size_t NextHeader = 124;     // int32
constexpr size_t FileSize = 128;       // int32, uncompressed size
constexpr size_t DataStart = 132;      // int32, position of the first data byte
constexpr size_t CompressedSize = 136; // int32
constexpr size_t StartDisk = 140;      // uint8, disk holding the first data byte
constexpr size_t FileId = 144;         // int32, caller's identifier (0-1999 looked up)
constexpr size_t Version = 148;        // length byte + 20 characters
constexpr size_t Size = 172;
constexpr size_t FileNameMax = 100;
constexpr size_t VersionMax = 20;
}  // namespace FileHeaderLayout

// Count (4 bytes) and MultiDisk flag (1 byte) in front of the first header.
constexpr int64_t ArchivePreambleSize = 5;

// Where a member's data lies: the fields of a header record that the chain
// walk and an extraction need.
struct TMemberPlace {
  uint8_t StartDisk = 0;
  uint8_t EndDisk = 0;
  int32_t DataStart = 0;
  int32_t EndPos = 0;
  int32_t CompressedSize = 0;
  int32_t FileSize = 0;
  int32_t NextHeader = 0;
};

inline TMemberPlace DecodeMemberPlace(const uint8_t* B) {
  namespace L = FileHeaderLayout;
  TMemberPlace P;
  P.StartDisk = B[L::StartDisk];
  P.EndDisk = B[L::EndDisk];
  P.DataStart = GetLE<int32_t>(B + L::DataStart);
  P.EndPos = GetLE<int32_t>(B + L::EndPos);
  P.CompressedSize = GetLE<int32_t>(B + L::CompressedSize);
  P.FileSize = GetLE<int32_t>(B + L::FileSize);
  P.NextHeader = GetLE<int32_t>(B + L::NextHeader);
  return P;
}

// The characters of a length-prefixed string field of at most Max
// characters; a stored length above Max is cut.
inline size_t ShortStringLength(const uint8_t* Field, size_t Max) { return Field[0] < Max ? Field[0] : Max; }
inline const char* ShortStringText(const uint8_t* Field) { return reinterpret_cast<const char*>(Field + 1); }

// A member's data must lie where the archive can hold it.  Only the first
// file of a disk set is at hand, so there the disk numbers are all we check.
inline bool MemberIsPlausible(const TMemberPlace& R, uint8_t MultiDisk, int64_t Base, int64_t StreamSize) {
  if (R.FileSize < 0 || R.CompressedSize < 0 || R.DataStart < 0 || R.EndPos < -1) return false;
  if (MultiDisk) return R.StartDisk <= R.EndDisk;
  return R.StartDisk == 0 && R.EndDisk == 0 &&
         static_cast<int64_t>(R.EndPos) == static_cast<int64_t>(R.DataStart) + R.CompressedSize - 1 &&
         Base + R.DataStart + R.CompressedSize <= StreamSize;
}

enum class THeaderChainResult { Read, CountUnreadable, HeadersUnreadable };

// Walks the header chain of the archive at Base in a file of StreamSize
// bytes.  ReadAt(Position, Buffer, Count) reads exactly Count bytes or
// returns false; Begin(Count, MultiDisk) is told the count once it is known
// to fit; Header(Bytes, Place) receives each of the 172-byte records in turn
// and may return false to stop the walk as unreadable.  Half a chain is no
// chain: a caller drops what it kept on anything but Read.
template <class ReadAtFn, class BeginFn, class HeaderFn>
THeaderChainResult WalkHeaderChain(int64_t Base, int64_t StreamSize, ReadAtFn&& ReadAt, BeginFn&& Begin,
                                   HeaderFn&& Header) {
  namespace L = FileHeaderLayout;
  if (Base < 0 || Base + ArchivePreambleSize > StreamSize) return THeaderChainResult::CountUnreadable;
  uint8_t Pre[ArchivePreambleSize];
  if (!ReadAt(Base, Pre, sizeof Pre)) return THeaderChainResult::CountUnreadable;
  const int32_t N = GetLE<int32_t>(Pre);
  const uint8_t MultiDisk = Pre[4];
  // Every header needs 172 bytes of the file: a count that cannot fit is a
  // corrupt archive, not a reason to allocate.
  if (N < 0 || MultiDisk > 1 || N > (StreamSize - Base - ArchivePreambleSize) / static_cast<int64_t>(L::Size))
    return THeaderChainResult::HeadersUnreadable;
  Begin(N, MultiDisk);
  int64_t P = Base + ArchivePreambleSize;
  for (int32_t i = 0; i < N; ++i) {
    if (P + static_cast<int64_t>(L::Size) > StreamSize) return THeaderChainResult::HeadersUnreadable;
    uint8_t B[L::Size];
    if (!ReadAt(P, B, sizeof B)) return THeaderChainResult::HeadersUnreadable;
    const TMemberPlace Place = DecodeMemberPlace(B);
    if (!MemberIsPlausible(Place, MultiDisk, Base, StreamSize)) return THeaderChainResult::HeadersUnreadable;
    const int64_t Next = Base + Place.NextHeader;
    // The chain only runs forward, past the header just read: no loops.
    if (i + 1 < N && Next < P + static_cast<int64_t>(L::Size)) return THeaderChainResult::HeadersUnreadable;
    if (!Header(static_cast<const uint8_t*>(B), Place)) return THeaderChainResult::HeadersUnreadable;
    P = Next;
  }
  return THeaderChainResult::Read;
}

// Trailer of a self-extracting executable, the last 56 bytes of the file:
//   0  15  length byte 14 + "SELFEXTRACTING"     16  int32 SetupStart
//  15   1  zero                                  20  int32 SetupEnd
//  32  24  zero                                  24  int32 FilesStart (0: none)
//                                                28  int32 FilesEnd   (0: none)
struct TSelfExtractTrailer {
  int32_t SetupStart = 0;
  int32_t SetupEnd = 0;
  int32_t FilesStart = 0;
  int32_t FilesEnd = 0;
};
constexpr size_t SelfExtractTrailerSize = 56;
namespace SelfExtractTrailerLayout {
constexpr size_t Signature = 0, SetupStart = 16, SetupEnd = 20, FilesStart = 24, FilesEnd = 28;
constexpr const char* SignatureText = "SELFEXTRACTING";
constexpr size_t SignatureMax = 14;
}  // namespace SelfExtractTrailerLayout

// The trailer in the last 56 bytes B of a file of FileSize bytes (the
// signature is not checked, as readers never did); false when the
// positions do not lie in front of it.
inline bool DecodeSelfExtractTrailer(const uint8_t* B, int64_t FileSize, TSelfExtractTrailer& T) {
  namespace L = SelfExtractTrailerLayout;
  const int64_t At = FileSize - static_cast<int64_t>(SelfExtractTrailerSize);
  if (At < 0) return false;
  T.SetupStart = GetLE<int32_t>(B + L::SetupStart);
  T.SetupEnd = GetLE<int32_t>(B + L::SetupEnd);
  T.FilesStart = GetLE<int32_t>(B + L::FilesStart);
  T.FilesEnd = GetLE<int32_t>(B + L::FilesEnd);
  auto Inside = [At](int32_t Pos) { return Pos >= 0 && Pos < At; };
  const bool NoFiles = T.FilesStart == 0 && T.FilesEnd == 0;
  return Inside(T.SetupStart) && Inside(T.SetupEnd) && T.SetupStart <= T.SetupEnd &&
         (NoFiles || (Inside(T.FilesStart) && Inside(T.FilesEnd) && T.FilesStart <= T.FilesEnd));
}

// An Authenticode signature is appended behind the trailer, as the
// certificate table that the executable's headers point at:
//   0x3C        int32  position of "PE\0\0" (the NT headers)
//   NT + 24     the optional header: uint16 magic 0x10B (PE32) or 0x20B (PE32+)
//   NT + 24 + 92 / 108   uint32 number of data directories (PE32 / PE32+)
//   NT + 24 + 128 / 144  security directory: uint32 file position, uint32 size
// The table starts on a multiple of 8: a signing tool puts up to 7 zero
// bytes between the trailer and the table.
constexpr size_t SignedHeadSize = 1024;  // enough of the file's start for the headers
constexpr size_t CertificatePaddingMax = 7;
constexpr size_t SignedTailSize = SelfExtractTrailerSize + CertificatePaddingMax;

// Where the file's own content ends: the position of a certificate table
// that runs to the end of a FileSize-byte file, read from the first
// HeadSize bytes Head; FileSize when the file carries none.
inline int64_t SignedContentEnd(const uint8_t* Head, size_t HeadSize, int64_t FileSize) {
  constexpr size_t NtAt = 0x3C, OptionalAt = 24;
  if (HeadSize < NtAt + 4 || Head[0] != 'M' || Head[1] != 'Z') return FileSize;
  const int64_t Nt = GetLE<int32_t>(Head + NtAt);
  if (Nt < 0 || Nt + static_cast<int64_t>(OptionalAt + 2) > static_cast<int64_t>(HeadSize)) return FileSize;
  const uint8_t* P = Head + Nt;
  if (P[0] != 'P' || P[1] != 'E' || P[2] || P[3]) return FileSize;
  const uint16_t Magic = GetLE<uint16_t>(P + OptionalAt);
  if (Magic != 0x10B && Magic != 0x20B) return FileSize;
  const size_t Count = OptionalAt + (Magic == 0x10B ? 92 : 108);
  const size_t Security = OptionalAt + (Magic == 0x10B ? 128 : 144);
  if (Nt + static_cast<int64_t>(Security + 8) > static_cast<int64_t>(HeadSize) || GetLE<uint32_t>(P + Count) < 5)
    return FileSize;
  const int64_t At = GetLE<uint32_t>(P + Security), Size = GetLE<uint32_t>(P + Security + 4);
  // Only a table at the very end: anything else is not a signature the
  // build's trailer could lie in front of.
  if (At == 0 || Size == 0 || At + Size != FileSize || At < static_cast<int64_t>(SignedHeadSize)) return FileSize;
  return At;
}

// The trailer in front of End, the end of the file's content: Tail holds
// the N bytes (at most SignedTailSize) that end at End.  Unsigned (End is
// the file's size): the last 56 bytes, as ever.  Signed: the trailer may
// stand in front of up to 7 zero bytes, and then its signature text must
// be there, which tells the padding from the trailer's own zero bytes.
inline bool DecodeTrailerBefore(const uint8_t* Tail, size_t N, int64_t End, bool Signed, TSelfExtractTrailer& T) {
  namespace L = SelfExtractTrailerLayout;
  const size_t MaxPadding = Signed ? CertificatePaddingMax : 0;
  for (size_t Pad = 0; Pad <= MaxPadding && Pad + SelfExtractTrailerSize <= N; ++Pad) {
    if (Pad > 0 && Tail[N - Pad] != 0) break;
    const uint8_t* B = Tail + N - Pad - SelfExtractTrailerSize;
    if (Signed) {
      bool Named = B[L::Signature] == L::SignatureMax;
      for (size_t i = 0; Named && i < L::SignatureMax; ++i)
        Named = B[L::Signature + 1 + i] == static_cast<uint8_t>(L::SignatureText[i]);
      if (!Named) continue;
    }
    if (DecodeSelfExtractTrailer(B, End - static_cast<int64_t>(Pad), T)) return true;
  }
  return false;
}

// A trailer as a loading program takes it from its own file: only one whose
// setup archive begins behind the program's image (ImageEnd, the end of its
// sections) and is long enough for an archive.
inline bool TrailerLeadsBehindImage(const TSelfExtractTrailer& T, int64_t ImageEnd) {
  const int64_t Span = static_cast<int64_t>(T.SetupEnd) - T.SetupStart + 1;
  return T.SetupStart >= (ImageEnd > 1 ? ImageEnd : 1) && Span >= ArchivePreambleSize;
}
