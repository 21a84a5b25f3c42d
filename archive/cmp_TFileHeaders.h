// The archive's records: the 172-byte file header record, the header chain
// of an archive (single file, embedded at a base, or the first file of a
// disk set) and the 56-byte trailer of a self-extracting executable.  The
// byte layout and the rules of the chain are in routines_ArchiveLayout.h.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/routines_ArchiveLayout.h"
#include "rtl/cmp_TStream.h"
#include "rtl/cmp_TStrings.h"

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
  void Clear() {
    FHeaders.clear();
    FNameIndex.clear();
  }
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
  // Upper-case member name -> its first index, made on the first look-up:
  // an installation looks up every member of a large archive by name.
  mutable std::unordered_map<std::string, int> FNameIndex;
};

std::array<uint8_t, SelfExtractTrailerSize> EncodeSelfExtractTrailer(const TSelfExtractTrailer& T);
// Reads the trailer at the end of Stream (the signature is not checked, as
// readers never did); false when the stream is shorter than a trailer or the
// positions do not lie inside it.
// A signed executable keeps its trailer in front of the certificate table.
bool ReadSelfExtractTrailer(TStream& Stream, TSelfExtractTrailer& T);
// The bytes of Stream in front of an appended signature (all when unsigned).
int64_t ContentSize(TStream& Stream);
// The trailer of a loading program's own file, as the loader takes it: only
// one whose setup archive begins behind the program's image (ImageEnd, the
// end of its sections) and is long enough for an archive.
bool ReadDistributionTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& T);
