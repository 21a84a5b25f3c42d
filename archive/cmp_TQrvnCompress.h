// The archive engine: compresses files into an archive (new or appended),
// extracts members with the overwrite rules, cuts an archive into a disk set
// and copies single files uncompressed, reporting progress on every buffer.
//
// Outcome of compress, extract and split: EqcAborted (Abort seen) ends the
// operation quietly through OnAborted; the silent EAbort ends compress and
// extract quietly too; anything else sets Abort and propagates.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "archive/cmp_TFileHeaders.h"
#include "archive/routines_Compression.h"
#include "archive/routines_VersionCompare.h"
#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/cmp_TStrings.h"

class TQrvnCompress;

using TlzhFileStatsEvent = TEvent<void(TQrvnCompress* QrvnCompress, const TlzhFileStats& FileStats)>;
using TlzhNewDiskEvent = TEvent<void(TQrvnCompress* QrvnCompress, int DiskNumber, std::string& Path)>;

enum TQrvnCompressMode { qcmNone, qcmCompressing, qcmExtracting };

constexpr int QrvnIdMapSize = 2000;

class TQrvnCompress : public TComponent {
  QV_CLASS()
 public:
  explicit TQrvnCompress(TComponent* AOwner);
  ~TQrvnCompress() override;

  // Published properties.
  bool Abort() const { return FAbort; }
  void SetAbort(bool Value) { FAbort = Value; }
  const std::string& CompressedFile() const { return FCompressedFile; }
  void SetCompressedFile(const std::string& Value);
  TCompressionLevel CompressionLevel() const { return FCompressionLevel; }
  void SetCompressionLevel(TCompressionLevel Value) { FCompressionLevel = Value; }
  const std::string& ExtractDirectory() const { return FExtractDirectory; }
  void SetExtractDirectory(const std::string& Value) { FExtractDirectory = Value; }
  TStrings* FilesToProcess() const { return FFilesToProcess.get(); }
  // Removes the blank lines from List itself, then copies it.
  void SetFilesToProcess(TStrings& List);
  int32_t Offset() const { return FOffset; }
  void SetOffset(int32_t Value) { FOffset = Value; }
  TOverwriteType Overwrite() const { return FOverwrite; }
  void SetOverwrite(TOverwriteType Value) { FOverwrite = Value; }

  TNotifyEvent OnAborted;
  TlzhFileStatsEvent OnBeforeAdding, OnAfterAdding, OnBeforeExtracting, OnAfterExtracting, OnListing;
  TNotifyEvent OnFullDisk;
  TlzhNewDiskEvent OnNewDisk;
  TlzhFileStatsEvent OnReplace, OnStatus;

  // Public state.
  std::string ExtractName;  // name for the next extracted member; empty: its own
  // The caller has made sure the next member's target is not there: no
  // overwrite decision to make, and no look for it (which costs Wine a read
  // of the whole folder).  Cleared with ExtractName.
  bool ExtractTargetAbsent = false;
  TFileHeaders& Headers() { return FHeaders; }
  bool HeadersLoaded() const { return FHeadersLoaded; }
  TQrvnCompressMode Mode() const { return FMode; }
  int CurrentDisk() const { return FCurrentDisk; }
  const std::array<int32_t, QrvnIdMapSize>& IdMap() const { return FIdMap; }
  // Simulated removable disks for SplitToDisks: when positive, a disk file
  // takes at most this many bytes and then reports itself full.
  int64_t DiskCapacity = 0;

  // Operations.
  void CompressFiles(bool Append, int FileId);
  void ExtractFiles();
  void SplitToDisks(std::string Directory, const std::string& FileName);
  void CopyUncompressed(const std::string& Source, const std::string& Dest);
  int FileCount();
  void GetFileStats(int Index, TlzhFileStats& Stats);
  int HeaderIndexOfId(int FileId);
  void ReadHeaders();
  // Opens disk Disk of the archive whose file (of any disk) is Name, asking
  // OnNewDisk up to four times; Name follows the file opened.
  void OpenDisk(int Disk, TFileMode Mode, std::string& Name);
  virtual void DiskFull();
  // While on, the archive read by an extraction stays open for the next
  // member of the same file (an installation extracts one member at a
  // time, and opening the archive for each costs more than a small
  // member).  A disk set is opened anew for every member, as its disks
  // change.  Off closes it.
  void SetKeepArchiveOpen(bool Value);

 private:
  template <class Body>
  void RunOperation(bool SilentAbortIsQuiet, Body&& B);
  void DoCompress(bool Append, int FileId);
  void CompressMember(int HeaderIndex, TStream& Archive, int FileId);
  void AddStatus();
  void RememberChain(TStream& Archive);
  bool ChainIsCurrent(TStream& Archive);
  void DoExtract();
  void ExtractMember(const TFileHeader& H, const std::string& Target);
  bool InflateMember(const TFileHeaderRecord& H, TStream& Target);
  std::string TargetPath(const TFileHeader& H);
  void DoSplit(std::string& Directory, const std::string& FileName);
  size_t CopyChunk(int32_t SourceEndPos, std::string& Directory, const std::string& FileName);
  std::unique_ptr<TStream> CreateDiskFile(const std::string& Name);
  void StartStats(const TFileHeaderRecord& H);
  void CheckAbort() const;
  void FireStatus() { if (OnStatus) OnStatus(this, FStats); }

  bool FAbort = false;
  std::string FCompressedFile;
  TCompressionLevel FCompressionLevel = colMax;
  std::string FExtractDirectory;
  std::unique_ptr<TStrings> FFilesToProcess;
  int32_t FOffset = 0;
  TOverwriteType FOverwrite = owAlways;

  TFileHeaders FHeaders;
  bool FHeadersLoaded = false;
  std::string FHeadersFile;  // the file the headers were read from
  TQrvnCompressMode FMode = qcmNone;
  int FCurrentDisk = 0;
  std::array<int32_t, QrvnIdMapSize> FIdMap;
  TlzhFileStats FStats;
  // The streams of the running operation.
  std::unique_ptr<TFileStream> FArchive;  // the archive, or the disk file open for reading
  std::string FArchiveName;               // the file FArchive is open on, when it is kept
  bool FKeepArchiveOpen = false;
  void CloseArchiveUnlessKept();
  TStream* FSource = nullptr;             // what is being read (compress: the source file)
  TStream* FDest = nullptr;               // what is being written
  int64_t FDestBase = 0;                  // where the member being compressed starts in FDest
  // The archive whose header chain FHeaders holds after the last compress,
  // and its size then (RememberChain).
  std::string FChainFile;
  int64_t FChainSize = -1;
  std::unique_ptr<TStream> FDisk;         // the disk file being written by a split
};

// The one archive engine of the process, created on first use.
TQrvnCompress& QrvnCompress();
