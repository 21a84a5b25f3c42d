// The archive file format: the 172-byte file header record, the header chain
// of an archive (single file, embedded at a base, or the first file of a
// disk set) and the 56-byte trailer of a self-extracting executable.
//
// Archive (positions relative to the archive base; all integers little-endian):
//   0    int32   header count N
//   4    uint8   MultiDisk: 0 single file, 1 first file of a disk set
//   5    172     header 1, then (single file) its zlib stream; the next header
//                is at NextHeader, and so on.  A disk set keeps all N headers
//                back to back from 5 and the data after them, running on from
//                disk file to disk file (files.1, files.2, ...).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rtl/cmp_TStream.h"
#include "rtl/cmp_TStrings.h"

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

struct TFileHeaderRecord {
  int32_t Index = 0;
  double FileDate = 0;
  uint8_t EndDisk = 0;
  int32_t EndPos = 0;
  std::string FileName;
  int32_t NextHeader = 0;
  int32_t FileSize = 0;
  int32_t DataStart = 0;
  int32_t CompressedSize = 0;
  uint8_t StartDisk = 0;
  int32_t FileId = 0;
  std::string Version;

  // The 172 bytes as stored; names longer than their field are cut.
  std::array<uint8_t, FileHeaderLayout::Size> Encode() const;
  static TFileHeaderRecord Decode(const uint8_t* Bytes);
};

// The statistics record every progress event receives.  The run totals are
// 64-bit so a large run cannot overflow them.
struct TlzhFileStats {
  uint8_t PercentDone = 0;
  int32_t BytesDone = 0;
  std::string FileName;
  int32_t CompressedSize = 0;
  uint8_t Ratio = 0;
  int32_t FileSize = 0;
  TFileHeaderRecord Header;
  bool FileFinished = false;
  uint8_t TotalPercentDone = 0;
  int64_t TotalBytesDone = 0;
  int64_t TotalCompressedSize = 0;
  uint8_t TotalRatio = 0;
  int64_t TotalFileSize = 0;
};

// round(Part / Whole * 100), ties to even, as a byte; 0 when Whole is 0 and
// 255 at most.
uint8_t PercentOf(double Part, double Whole);

// The name a source file has in an archive: its path when that fits the
// record's 100 characters, else "~<CRC-32 of the path>~\<file name>"; empty
// when not even that fits.  Looking a member up by its source path goes
// through the same rule.
std::string MemberNameOf(const std::string& SourcePath);

class TFileHeader {
 public:
  TFileHeaderRecord Rec;
  bool Loaded = false;  // read from an archive, not made from a source file
  std::string Source;   // made from a source file: its path (Rec.FileName may be shorter)

  // Exactly 172 bytes at the stream's position, or false.
  bool ReadFromStream(TStream& Stream);
  bool WriteToStream(TStream& Stream) const;
  void FillFromFile(const std::string& Line);
  bool IsValid() const;
};

class TFileHeaders {
 public:
  int Count() const { return static_cast<int>(FHeaders.size()); }
  TFileHeader& GetFileHeaders(int Index);
  const TFileHeader& GetFileHeaders(int Index) const;
  void Add(std::unique_ptr<TFileHeader> Header);
  void Clear() { FHeaders.clear(); }
  void AddFiles(const TStrings& List, bool Keep);
  int IndexOfName(const std::string& Name) const;

  uint8_t MultiDisk() const { return FMultiDisk; }
  void SetMultiDisk(uint8_t Value) { FMultiDisk = Value; }

  void ReadFromStream(TStream& Stream, int64_t Base);
  void WriteToStream(TStream& Stream);

  void ResetTotals(TlzhFileStats& Stats) const;
  void SumTotals(TlzhFileStats& Stats) const;

 private:
  std::vector<std::unique_ptr<TFileHeader>> FHeaders;
  uint8_t FMultiDisk = 0;
};

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

std::array<uint8_t, SelfExtractTrailerSize> EncodeSelfExtractTrailer(const TSelfExtractTrailer& T);
// Reads the trailer at the end of Stream (the signature is not checked, as
// readers never did); false when the stream is shorter than a trailer or the
// positions do not lie inside it.
bool ReadSelfExtractTrailer(TStream& Stream, TSelfExtractTrailer& T);
// The trailer of a loading program's own file, as the loader takes it: only
// one whose setup archive begins behind the program's image (ImageEnd, the
// end of its sections) and is long enough for an archive.
bool ReadDistributionTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& T);
