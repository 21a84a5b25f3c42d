#include "archive/cmp_TQrvnCompress.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "archive/routines_BlockDeflate.h"
#include "archive/routines_Compression.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_LittleEndian.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {

// Buffer sizes: members stream through these, never whole.
constexpr size_t SourcePiece = 61440;         // compress: source read per write
constexpr size_t InflateInputSize = 65536;
constexpr size_t InflateOutputSize = 65536;
constexpr size_t ChunkSize = 8192;            // split and uncompressed copy

template <class E = EQrvnCompress, class... A>
[[noreturn]] void Fail(const char* Fmt, const A&... Args) {
  throw E(TranslatedFormat(Fmt, Args...));
}

const char* const MsgCannotOpenArchive = "Cannot open the compressed file %s";
const char* const MsgCannotCreate = "Cannot create the file %s";
const char* const MsgCannotOpenFile = "Cannot open the file %s";
const char* const MsgCompareFailed = "Error comparing file versions in TQrvnCompress";
const char* const MsgTooLarge = "The file %s is too large for an archive";

// The message as it stands, and the system's reason after it: a read-only
// or blocked destination says why.
[[noreturn]] void CannotCreate(const std::string& File) {
  const std::string Reason = LastSystemErrorText();
  throw EQrvnCompress(TranslatedFormat(MsgCannotCreate, File) + ": " + Reason);
}
const char* const MsgDamaged =
    "%s cannot be unpacked from %s: the distribution is damaged or incomplete. Copy or download it again";

bool KeepsExisting(int Decision) { return Decision == nrSame || Decision == nrExistingStays; }

// A disk file that holds at most Capacity bytes: writes beyond are short,
// as on a full floppy.
class TLimitedDiskStream : public TStream {
 public:
  TLimitedDiskStream(std::unique_ptr<TFileStream> F, int64_t Capacity)
      : FFile(std::move(F)), FCapacity(Capacity) {}
  size_t Read(void* B, size_t C) override { return FFile->Read(B, C); }
  size_t Write(const void* B, size_t C) override {
    const int64_t Room = std::max<int64_t>(0, FCapacity - FFile->Position());
    return FFile->Write(B, static_cast<size_t>(std::min<int64_t>(Room, static_cast<int64_t>(C))));
  }
  int64_t Seek(int64_t O, TSeekOrigin Origin) override { return FFile->Seek(O, Origin); }
  int64_t Size() override { return FFile->Size(); }

 private:
  std::unique_ptr<TFileStream> FFile;
  int64_t FCapacity;
};

int32_t CheckedPosition(int64_t Pos, const std::string& Archive) {
  if (Pos > std::numeric_limits<int32_t>::max()) Fail(MsgTooLarge, Archive);
  return static_cast<int32_t>(Pos);
}

}  // namespace

const TClassInfo& TQrvnCompress::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TQrvnCompress>("TQrvnCompress", &TComponent::StaticClass())
          .Creatable()
          .Bool("Abort", &TQrvnCompress::Abort, &TQrvnCompress::SetAbort, false)
          .Str("CompressedFile", &TQrvnCompress::CompressedFile, &TQrvnCompress::SetCompressedFile, "")
          .Enum("CompressionLevel", CompressionLevelInfo(), &TQrvnCompress::CompressionLevel,
                &TQrvnCompress::SetCompressionLevel, colMax)
          .Str("ExtractDirectory", &TQrvnCompress::ExtractDirectory, &TQrvnCompress::SetExtractDirectory, "")
          .Object("FilesToProcess", [](const TQrvnCompress& C) -> TPersistent* { return C.FilesToProcess(); })
          .Int("Offset", &TQrvnCompress::Offset, &TQrvnCompress::SetOffset, 0)
          .Enum("Overwrite", OverwriteTypeInfo(), &TQrvnCompress::Overwrite, &TQrvnCompress::SetOverwrite,
                owAlways)
          .Event("OnAborted", &TQrvnCompress::OnAborted)
          .Event("OnAfterAdding", &TQrvnCompress::OnAfterAdding)
          .Event("OnAfterExtracting", &TQrvnCompress::OnAfterExtracting)
          .Event("OnBeforeAdding", &TQrvnCompress::OnBeforeAdding)
          .Event("OnBeforeExtracting", &TQrvnCompress::OnBeforeExtracting)
          .Event("OnFullDisk", &TQrvnCompress::OnFullDisk)
          .Event("OnListing", &TQrvnCompress::OnListing)
          .Event("OnNewDisk", &TQrvnCompress::OnNewDisk)
          .Event("OnReplace", &TQrvnCompress::OnReplace)
          .Event("OnStatus", &TQrvnCompress::OnStatus)
          .Build();
  return Info;
}

TQrvnCompress::TQrvnCompress(TComponent* AOwner)
    : TComponent(AOwner), FFilesToProcess(std::make_unique<TStrings>()) {
  FIdMap.fill(-1);
}

TQrvnCompress::~TQrvnCompress() = default;

TQrvnCompress& QrvnCompress() {
  static TQrvnCompress Shared(nullptr);
  return Shared;
}

// --- Properties -------------------------------------------------------------

void TQrvnCompress::SetCompressedFile(const std::string& Value) {
  if (SameText(Value, FCompressedFile)) return;
  // A disk set goes on where its last disk was found, which may be another
  // folder than disk 1's: named by disk 1 again, it stays there.
  if (FHeadersLoaded && FHeaders.MultiDisk() == 1 && SameText(Value, FHeadersFile) &&
      !SameText(ExtractFileDir(Value), ExtractFileDir(FCompressedFile)))
    return;
  // Files of one disk set share the headers of disk 1.
  if (FHeadersLoaded && !SameText(ChangeFileExt(Value, ".1"), ChangeFileExt(FCompressedFile, ".1")))
    FHeadersLoaded = false;
  FCompressedFile = Value;
}

void TQrvnCompress::SetFilesToProcess(TStrings& List) {
  for (int i = List.Count() - 1; i >= 0; --i)
    if (Trim(List[i]).empty()) List.Delete(i);
  FFilesToProcess->Assign(List);
}

// --- Common -----------------------------------------------------------------

template <class Body>
void TQrvnCompress::RunOperation(bool SilentAbortIsQuiet, Body&& B) {
  try {
    B();
  } catch (const EqcAborted&) {
    if (OnAborted) OnAborted(this);
  } catch (const EAbort&) {
    if (SilentAbortIsQuiet) return;
    FAbort = true;
    throw;
  } catch (...) {
    FAbort = true;
    throw;
  }
}

void TQrvnCompress::CheckAbort() const {
  if (FAbort) Fail<EqcAborted>("Operation aborted by user");
}

void TQrvnCompress::StartStats(const TFileHeaderRecord& H) {
  FStats.FileName = H.FileName;
  FStats.FileSize = H.FileSize;
  FStats.CompressedSize = H.CompressedSize;
  FStats.Header = H;
  FStats.Ratio = PercentOf(H.CompressedSize, H.FileSize);
  FStats.BytesDone = 0;
  FStats.PercentDone = 0;
  FStats.FileFinished = false;
}

void TQrvnCompress::DiskFull() {
  if (OnFullDisk) {
    OnFullDisk(this);
    return;
  }
  Fail<EqcDiskFull>("The disk is full");
}

void TQrvnCompress::ReadHeaders() {
  FHeadersLoaded = false;
  FChainFile.clear();
  auto S = FileExists(FCompressedFile) ? TFileStream::TryOpen(FCompressedFile, TFileMode::fmOpenRead) : nullptr;
  if (!S) Fail(MsgCannotOpenArchive, FCompressedFile);
  FIdMap.fill(-1);
  try {
    FHeaders.ReadFromStream(*S, FOffset);
  } catch (const std::exception&) {
    // Half a chain is no chain: nothing of it may be used.
    FHeaders.Clear();
    // The wording as it stands, and the file it is about.
    throw EQrvnCompress(
        TranslatedFormat("Could not read the file headers for the compressed file. The Archive file could possible be corrupt") +
        ": " + FCompressedFile);
  }
  for (int i = 0; i < FHeaders.Count(); ++i) {
    const int32_t Id = FHeaders.GetFileHeaders(i).Rec.FileId;
    if (Id >= 0 && Id < QrvnIdMapSize) FIdMap[static_cast<size_t>(Id)] = i;
  }
  FHeadersLoaded = true;
  FHeadersFile = FCompressedFile;
}

int TQrvnCompress::FileCount() {
  if (!FHeadersLoaded && FMode != qcmCompressing) ReadHeaders();
  return FHeaders.Count();
}

void TQrvnCompress::GetFileStats(int Index, TlzhFileStats& Stats) {
  if (Index < 0 || Index >= FileCount()) Fail("Tried to access the %dth file. This file is not defined", Index);
  FHeaders.ResetTotals(FStats);
  StartStats(FHeaders.GetFileHeaders(Index).Rec);
  Stats = FStats;
}

int TQrvnCompress::HeaderIndexOfId(int FileId) {
  if (!FHeadersLoaded) ReadHeaders();
  if (FileId < 0 || FileId >= QrvnIdMapSize) return -1;
  return FIdMap[static_cast<size_t>(FileId)];
}

void TQrvnCompress::SetKeepArchiveOpen(bool Value) {
  FKeepArchiveOpen = Value;
  if (!Value) {
    FArchive.reset();
    FArchiveName.clear();
  }
}

void TQrvnCompress::CloseArchiveUnlessKept() {
  if (FKeepArchiveOpen && FArchive && !FArchiveName.empty()) return;
  FArchive.reset();
  FArchiveName.clear();
}

void TQrvnCompress::OpenDisk(int Disk, TFileMode Mode, std::string& Name) {
  if (FArchive && !FArchiveName.empty() && Mode == TFileMode::fmOpenRead && SameText(Name, FArchiveName)) return;
  FArchiveName.clear();
  for (int Attempt = 0; Attempt < 4; ++Attempt) {
    FArchive.reset();
    if (FHeaders.MultiDisk() == 1) Name = ChangeFileExt(Name, "." + std::to_string(Disk));
    if (!FileExists(Name)) {
      if (!OnNewDisk) Fail("Could not open the correct disk file %d", Disk);
      std::string Path = RemoveBackslash(ExtractFileDir(Name));
      const std::string Base = ExtractFileName(Name);
      OnNewDisk(this, Disk, Path);
      Name = AddBackslash(Path) + Base;
    }
    if (FileExists(Name)) {
      FArchive = TFileStream::TryOpen(Name, Mode);
      if (!FArchive) Fail(MsgCannotOpenArchive, Name);
      if (FKeepArchiveOpen && Mode == TFileMode::fmOpenRead && FHeaders.MultiDisk() != 1) FArchiveName = Name;
      return;
    }
  }
  Fail(MsgCannotOpenArchive, Name);
}

// --- Compressing ------------------------------------------------------------

void TQrvnCompress::CompressFiles(bool Append, int FileId) {
  RunOperation(true, [&] { DoCompress(Append, FileId); });
}

void TQrvnCompress::DoCompress(bool Append, int FileId) {
  FAbort = false;
  FMode = qcmCompressing;
  FHeaders.SetMultiDisk(0);
  FOffset = 0;
  try {
    ForceDirectories(ExtractFileDir(FCompressedFile));
    if (Append && FileExists(FCompressedFile)) {
      FArchive = TFileStream::TryOpen(FCompressedFile, TFileMode::fmOpenReadWrite);
      if (!FArchive) CannotCreate(FCompressedFile);
      // Appending file after file to one archive would read its whole chain
      // of headers each time; the list this engine wrote last is used again
      // while the archive is as it left it.
      if (!ChainIsCurrent(*FArchive)) FHeaders.ReadFromStream(*FArchive, 0);
      FHeaders.AddFiles(*FFilesToProcess, true);
    } else {
      // The sources are checked before an existing archive is truncated.
      FHeaders.AddFiles(*FFilesToProcess, false);
      FArchive = TFileStream::TryOpen(FCompressedFile, TFileMode::fmCreate);
      if (!FArchive) CannotCreate(FCompressedFile);
    }
    FHeaders.WriteToStream(*FArchive);
    FArchive->Seek(0, TSeekOrigin::soEnd);
    FHeaders.ResetTotals(FStats);
    FStats.TotalCompressedSize = 0;
    for (int i = 0; i < FHeaders.Count(); ++i)
      if (!FHeaders.GetFileHeaders(i).Loaded) CompressMember(i, *FArchive, FileId);
  } catch (...) {
    FHeadersLoaded = false;
    FChainFile.clear();
    FArchive.reset();
    FFilesToProcess->Clear();
    throw;
  }
  FHeadersLoaded = false;
  RememberChain(*FArchive);
  FArchive.reset();
  FFilesToProcess->Clear();
}

// What reading the chain back would give: every header as stored, loaded.
void TQrvnCompress::RememberChain(TStream& Archive) {
  FChainFile.clear();
  if (FHeaders.Count() == 0 || FHeaders.MultiDisk() != 0) return;
  for (int i = 0; i < FHeaders.Count(); ++i) {
    TFileHeader& H = FHeaders.GetFileHeaders(i);
    if (H.Loaded) continue;
    const auto Bytes = H.Rec.Encode();
    H.Rec = TFileHeaderRecord::Decode(Bytes.data());
    H.Source.clear();
    H.Loaded = true;
  }
  FChainFile = FCompressedFile;
  FChainSize = Archive.Size();
}

// The archive is still the one RememberChain saw: same name, same size, the
// same count, and its last header reads as the one in memory.
bool TQrvnCompress::ChainIsCurrent(TStream& Archive) {
  if (FChainFile.empty() || !SameText(FChainFile, FCompressedFile) || FHeaders.Count() == 0 ||
      FHeaders.MultiDisk() != 0 || Archive.Size() != FChainSize)
    return false;
  const TFileHeaderRecord& Last = FHeaders.GetFileHeaders(FHeaders.Count() - 1).Rec;
  const int64_t At = static_cast<int64_t>(Last.DataStart) - static_cast<int64_t>(FileHeaderLayout::Size);
  uint8_t Pre[ArchivePreambleSize];
  std::array<uint8_t, FileHeaderLayout::Size> Stored;
  Archive.SetPosition(0);
  if (Archive.Read(Pre, sizeof Pre) != sizeof Pre || GetLE<int32_t>(Pre) != FHeaders.Count() || Pre[4] != 0)
    return false;
  if (At < static_cast<int64_t>(ArchivePreambleSize)) return false;
  Archive.SetPosition(At);
  return Archive.Read(Stored.data(), Stored.size()) == Stored.size() && Stored == Last.Encode();
}

namespace {

// Raised by the archive side of a member being deflated when the archive
// takes fewer bytes than it is given: the disk is full.
struct TArchiveShort {};

// The archive as a deflating stream's destination: every byte must go.
class TArchiveSink : public TStream {
 public:
  explicit TArchiveSink(TStream& Archive) : FArchive(Archive) {}
  size_t Read(void*, size_t) override { throw EStreamError("Invalid stream operation"); }
  size_t Write(const void* B, size_t C) override {
    size_t W = 0;
    try {
      W = FArchive.Write(B, C);
    } catch (const std::exception&) {
      throw TArchiveShort{};
    }
    if (W < C) throw TArchiveShort{};
    return C;
  }
  int64_t Seek(int64_t O, TSeekOrigin Origin) override { return FArchive.Seek(O, Origin); }
  int64_t Size() override { return FArchive.Size(); }

 private:
  TStream& FArchive;
};

}  // namespace

void TQrvnCompress::CompressMember(int HeaderIndex, TStream& Archive, int FileId) {
  TFileHeaderRecord& H = FHeaders.GetFileHeaders(HeaderIndex).Rec;
  std::unique_ptr<TFileStream> Source;
  TArchiveSink Sink(Archive);
  struct TCleanup {
    TQrvnCompress* Self;
    ~TCleanup() {
      Self->FSource = Self->FDest = nullptr;
      Self->FDestBase = 0;
    }
  } Cleanup{this};

  const std::string& SourcePath = FHeaders.GetFileHeaders(HeaderIndex).Source;
  Source = TFileStream::TryOpen(SourcePath, TFileMode::fmOpenRead);
  if (!Source) Fail(MsgCannotOpenFile, SourcePath);

  // The member goes straight behind its header, which is written again once
  // the compressed size is known: no copy of it through a temporary file.
  const int64_t HeaderPos = Archive.Position();
  if (!FHeaders.GetFileHeaders(HeaderIndex).WriteToStream(Archive)) DiskFull();
  const int64_t DataPos = HeaderPos + static_cast<int64_t>(FileHeaderLayout::Size);
  H.DataStart = CheckedPosition(DataPos, FCompressedFile);
  FSource = Source.get();
  FDest = &Archive;
  FDestBase = DataPos;

  StartStats(H);
  FStats.CompressedSize = 0;
  if (OnBeforeAdding) OnBeforeAdding(this, FStats);
  try {
    Source->SetPosition(0);
    const int64_t Size = Source->Size();
    if (WorthBlocks(Size)) {
      DeflateInBlocks(*Source, Size, ZlibLevel(FCompressionLevel), Sink, ZlibStreamBufferSize, [this] { AddStatus(); });
    } else {
      TCompressionStream Z(FCompressionLevel, Sink);
      Z.OnProgress = [this](TCustomZlibStream*) { AddStatus(); };
      std::vector<uint8_t> Buf(SourcePiece);
      for (size_t N; (N = Source->Read(Buf.data(), Buf.size())) > 0;) Z.WriteBuffer(Buf.data(), N);
      Z.Finish();
    }
  } catch (const TArchiveShort&) {
    DiskFull();
  }
  const int64_t End = Archive.Seek(0, TSeekOrigin::soEnd);
  const int64_t Packed = End - DataPos;
  FStats.Ratio = PercentOf(static_cast<double>(Packed), FStats.FileSize);
  FStats.FileFinished = true;
  AddStatus();
  FStats.FileFinished = false;

  FStats.TotalCompressedSize += Packed;
  H.EndPos = CheckedPosition(End - 1, FCompressedFile);
  H.NextHeader = CheckedPosition(End, FCompressedFile);
  H.CompressedSize = FStats.CompressedSize;
  H.FileId = FileId;
  if (FileId >= 0 && FileId < QrvnIdMapSize) FIdMap[static_cast<size_t>(FileId)] = HeaderIndex;
  Archive.SetPosition(HeaderPos);
  if (!FHeaders.GetFileHeaders(HeaderIndex).WriteToStream(Archive)) DiskFull();
  Archive.Seek(0, TSeekOrigin::soEnd);
  FStats.Header = H;
  if (OnAfterAdding) OnAfterAdding(this, FStats);
}

void TQrvnCompress::AddStatus() {
  CheckAbort();
  ProcessPendingMessages();
  if (!FDest || !FSource) Fail("AddStatus has Nil DestFile");
  const int64_t P = FSource->Position();
  FStats.TotalBytesDone += P - FStats.BytesDone;
  FStats.BytesDone = static_cast<int32_t>(P);
  const int64_t Out = FDest->Size() - FDestBase;
  if (Out > std::numeric_limits<int32_t>::max()) Fail(MsgTooLarge, FStats.FileName);
  FStats.CompressedSize = static_cast<int32_t>(Out);
  FStats.PercentDone = PercentOf(FStats.BytesDone, FStats.FileSize);
  FStats.TotalPercentDone =
      PercentOf(static_cast<double>(FStats.TotalBytesDone), static_cast<double>(FStats.TotalFileSize));
  FireStatus();
}

// --- Extracting -------------------------------------------------------------

void TQrvnCompress::ExtractFiles() {
  RunOperation(true, [&] {
    try {
      DoExtract();
    } catch (...) {
      FArchive.reset();
      FArchiveName.clear();
      FFilesToProcess->Clear();
      ExtractName.clear();
      ExtractTargetAbsent = false;
      throw;
    }
    CloseArchiveUnlessKept();
    FFilesToProcess->Clear();
    ExtractName.clear();
    ExtractTargetAbsent = false;
  });
}

std::string TQrvnCompress::TargetPath(const TFileHeader& H) {
  if (Trim(ExtractName).empty()) ExtractName = ExtractFileName(H.Rec.FileName);
  ExtractName = ExtractFileName(ExtractName);
  return AddBackslash(FExtractDirectory) + ExtractName;
}

void TQrvnCompress::DoExtract() {
  FAbort = false;
  FMode = qcmExtracting;
  if (!FHeadersLoaded) ReadHeaders();
  FCurrentDisk = 0;
  FHeaders.ResetTotals(FStats);
  FHeaders.SumTotals(FStats);
  for (int Line = 0; Line < FFilesToProcess->Count(); ++Line) {
    const std::string Wanted = (*FFilesToProcess)[Line];
    const int I = FHeaders.IndexOfName(Wanted);
    if (I < 0) Fail("The file <%s> was not found in the archive <%s>", Wanted, FCompressedFile);
    const TFileHeader& H = FHeaders.GetFileHeaders(I);
    StartStats(H.Rec);
    if (Trim(ExtractName).empty()) ExtractName = ExtractFileName(H.Rec.FileName);
    if (OnBeforeExtracting) OnBeforeExtracting(this, FStats);
    std::string Target = TargetPath(H);

    bool Extract = true;
    if (!ExtractTargetAbsent && FileExists(Target)) {
      const int Decision = IsFileNewerByInfo(H.Rec.Version, Target, FOverwrite, H.Rec.FileDate);
      if (Decision == nrUndecided) Fail(MsgCompareFailed);
      Extract = !KeepsExisting(Decision);
      if (Extract && OnReplace) {
        OnReplace(this, FStats);
        Target = TargetPath(H);
      }
    }
    if (Extract) {
      ExtractMember(H, Target);
    } else {
      FStats.FileFinished = true;
      FireStatus();
    }
    // Cleared on both roads: a name meant for this member must not rename
    // the next one.
    ExtractName.clear();
    ExtractTargetAbsent = false;
  }
}

void TQrvnCompress::ExtractMember(const TFileHeader& H, const std::string& Target) {
  const int FirstDisk = H.Rec.StartDisk == 0 ? 1 : H.Rec.StartDisk;
  OpenDisk(FirstDisk, TFileMode::fmOpenRead, FCompressedFile);
  FCurrentDisk = H.Rec.StartDisk;
  ForceDirectories(ExtractFileDir(Target));
  // Written under a name of its own and given the target's name only once
  // it is complete and checked: a damaged or cancelled member never stands
  // as the file it should have been.
  const std::string Part = Target + ".qvpart";
  auto Out = TFileStream::TryOpen(Part, TFileMode::fmCreate);
  if (!Out) CannotCreate(Target);
  struct TPartGoes {
    std::unique_ptr<TFileStream>& Out;
    const std::string& Part;
    bool Kept = false;
    ~TPartGoes() {
      if (Kept) return;
      Out.reset();
      RemoveFile(Part);
    }
  } PartGoes{Out, Part};
  FArchive->SetPosition(static_cast<int64_t>(FOffset) + H.Rec.DataStart);
  // Data that does not inflate, or ends early, is a damaged distribution;
  // the user needs to hear which file and that a new copy is the remedy.
  auto Damaged = [&] { Fail(MsgDamaged, ExtractFileName(H.Rec.FileName), FCompressedFile); };
  bool Complete = false;
  try {
    Complete = InflateMember(H.Rec, *Out);
  } catch (const EZlibError&) {
    Damaged();
  } catch (const EReadError&) {
    Damaged();  // the archive ends inside the member
  }
  FStats.FileFinished = true;
  FireStatus();
  if (Out->Size() != H.Rec.FileSize)
    Fail("The decompressed file's size does not match with the actual size of the file.  The file is %s",
         H.Rec.FileName);
  // The right size without the end of the stream (and its checksum) is no
  // proof of the right contents.
  if (!Complete) Damaged();
  if (!Out->SetFileDate(H.Rec.FileDate)) Fail("Cannot set the date of the file just extracted.");
  Out.reset();
  if (!RenameFileReplacing(Part, Target)) CannotCreate(Target);
  PartGoes.Kept = true;
  CloseArchiveUnlessKept();
}

bool TQrvnCompress::InflateMember(const TFileHeaderRecord& H, TStream& Target) {
  TInflater Z;
  std::vector<uint8_t> In(InflateInputSize), Out(InflateOutputSize);
  const int Disks = H.EndDisk - FCurrentDisk + 1;
  for (int D = 0; D < Disks; ++D) {
    size_t Produced;
    do {
      Produced = 0;
      while (Produced < Out.size() && !Z.Finished()) {
        if (Z.NeedsInput()) {
          int64_t Want = static_cast<int64_t>(In.size());
          if (FCurrentDisk == H.EndDisk)
            Want = std::min<int64_t>(Want, static_cast<int64_t>(FOffset) + H.EndPos + 1 - FArchive->Position());
          const size_t Got = Want > 0 ? FArchive->Read(In.data(), static_cast<size_t>(Want)) : 0;
          if (Got == 0) break;
          Z.SetInput(In.data(), Got);
        }
        Produced += Z.Inflate(Out.data() + Produced, Out.size() - Produced);
      }
      CheckAbort();
      ProcessPendingMessages();
      if (Produced > 0) {
        // More than the header promises is a corrupt member; stop writing.
        if (static_cast<int64_t>(FStats.BytesDone) + static_cast<int64_t>(Produced) > H.FileSize)
          Fail("The decompressed file's size does not match with the actual size of the file.  The file is %s",
               H.FileName);
        if (Target.Write(Out.data(), Produced) < Produced) DiskFull();
        FStats.BytesDone += static_cast<int32_t>(Produced);
        FStats.TotalBytesDone += static_cast<int64_t>(Produced);
        FStats.PercentDone = PercentOf(FStats.BytesDone, FStats.FileSize);
        FStats.TotalPercentDone =
            PercentOf(static_cast<double>(FStats.TotalBytesDone), static_cast<double>(FStats.TotalFileSize));
        FireStatus();
      }
    } while (Produced > 0);
    if (FCurrentDisk < H.EndDisk) {
      ++FCurrentDisk;
      OpenDisk(FCurrentDisk, TFileMode::fmOpenRead, FCompressedFile);
      FArchive->SetPosition(0);
    }
  }
  return Z.Finished();
}

// --- Splitting into a disk set ----------------------------------------------

void TQrvnCompress::SplitToDisks(std::string Directory, const std::string& FileName) {
  RunOperation(false, [&] {
    try {
      DoSplit(Directory, FileName);
    } catch (...) {
      FDisk.reset();
      FArchive.reset();
      FSource = FDest = nullptr;
      throw;
    }
    FDisk.reset();
    FArchive.reset();
    FSource = FDest = nullptr;
  });
}

std::unique_ptr<TStream> TQrvnCompress::CreateDiskFile(const std::string& Name) {
  ForceDirectories(ExtractFileDir(Name));  // a folder standing in for a disk may be new
  auto F = TFileStream::TryOpen(Name, TFileMode::fmCreate);
  if (!F) CannotCreate(Name);
  if (DiskCapacity > 0) return std::make_unique<TLimitedDiskStream>(std::move(F), DiskCapacity);
  return F;
}

void TQrvnCompress::DoSplit(std::string& Directory, const std::string& FileName) {
  FAbort = false;
  FChainFile.clear();
  // A list left by an earlier split describes that disk set, not this file.
  if (!FHeadersLoaded || FHeaders.MultiDisk() != 0) ReadHeaders();
  if (FHeaders.MultiDisk() != 0)
    Fail("The compressed file %s is a disk set and cannot be split again", FCompressedFile);
  FCurrentDisk = 1;
  FHeaders.SetMultiDisk(1);
  FHeaders.ResetTotals(FStats);

  // The source is only read: the self-extracting file being split may be
  // the running program's image, which Windows will not open for writing.
  auto Source = TFileStream::TryOpen(FCompressedFile, TFileMode::fmOpenRead);
  if (!Source) Fail(MsgCannotOpenArchive, FCompressedFile);
  FSource = Source.get();
  const std::string FirstDisk = AddBackslash(Directory) + ExtractFileName(FileName);
  FDisk = CreateDiskFile(FirstDisk);
  FDest = FDisk.get();
  FHeaders.WriteToStream(*FDisk);

  for (int i = 0; i < FHeaders.Count(); ++i) {
    TFileHeaderRecord& H = FHeaders.GetFileHeaders(i).Rec;
    StartStats(H);
    const int32_t SourceEndPos = H.EndPos;
    FSource->SetPosition(static_cast<int64_t>(FOffset) + H.DataStart);
    H.DataStart = CheckedPosition(FDisk->Position(), FirstDisk);
    H.StartDisk = static_cast<uint8_t>(FCurrentDisk);
    while (CopyChunk(SourceEndPos, Directory, FileName) > 0) {
    }
    H.EndPos = CheckedPosition(FDisk->Position() - 1, FirstDisk);
    H.EndDisk = static_cast<uint8_t>(FCurrentDisk);
  }
  FDest = nullptr;
  FDisk.reset();

  std::string Name = FirstDisk;
  OpenDisk(1, TFileMode::fmOpenReadWrite, Name);
  FHeaders.WriteToStream(*FArchive);
  FArchive.reset();
}

size_t TQrvnCompress::CopyChunk(int32_t SourceEndPos, std::string& Directory, const std::string& FileName) {
  CheckAbort();
  const int64_t Last = static_cast<int64_t>(FOffset) + SourceEndPos;
  const int64_t Pos = FSource->Position();
  if (Pos > Last) return 0;
  uint8_t Buf[ChunkSize];
  const size_t N = FSource->Read(Buf, static_cast<size_t>(std::min<int64_t>(ChunkSize, Last - Pos + 1)));
  ProcessPendingMessages();
  const size_t W = FDisk->Write(Buf, N);
  if (W < N) {
    FDest = nullptr;
    FDisk.reset();
    // Disk numbers are one byte in the headers.
    if (FCurrentDisk >= 255) Fail("There is too little space on this disk to operate");
    ++FCurrentDisk;
    if (!OnNewDisk)
      Fail("There was no event handler for the OnNewDisk event, therefore no new disk could be inserted");
    OnNewDisk(this, FCurrentDisk, Directory);
    FDisk = CreateDiskFile(AddBackslash(Directory) +
                           ChangeFileExt(ExtractFileName(FileName), "." + std::to_string(FCurrentDisk)));
    FDest = FDisk.get();
    if (FDisk->Write(Buf + W, N - W) < N - W) Fail("There is too little space on this disk to operate");
  }
  FStats.BytesDone += static_cast<int32_t>(N);
  FStats.TotalBytesDone += static_cast<int64_t>(N);
  FStats.PercentDone = PercentOf(FStats.BytesDone, FStats.CompressedSize);
  FStats.TotalPercentDone =
      PercentOf(static_cast<double>(FStats.TotalBytesDone), static_cast<double>(FStats.TotalCompressedSize));
  FireStatus();
  return N;
}

// --- Copying uncompressed ---------------------------------------------------

void TQrvnCompress::CopyUncompressed(const std::string& Source, const std::string& Dest) {
  FAbort = false;
  FOffset = 0;
  FExtractDirectory = ExtractFileDir(Dest);
  ExtractName = ExtractFileName(Dest);
  struct TClearName {
    std::string& Name;
    ~TClearName() { Name.clear(); }
  } ClearName{ExtractName};

  std::string Target = Dest;
  if (FileExists(Target)) {
    const int Decision = IsFileNewerByName(Source, Target, FOverwrite);
    if (Decision == nrUndecided) Fail(MsgCompareFailed);
    if (KeepsExisting(Decision)) return;
    if (OnReplace) {
      FStats = TlzhFileStats();
      OnReplace(this, FStats);
      Target = AddBackslash(FExtractDirectory) + ExtractName;
    }
  }

  FStats = TlzhFileStats();
  FStats.FileName = Source;
  const int64_t SourceSize = FileSizeByName(Source);
  FStats.FileSize = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(SourceSize, 0),
                                                           std::numeric_limits<int32_t>::max()));
  auto In = TFileStream::TryOpen(Source, TFileMode::fmOpenRead);
  if (!In) Fail(MsgCannotOpenFile, Source);
  auto Out = TFileStream::TryOpen(Target, TFileMode::fmCreate);
  if (!Out) CannotCreate(Target);
  uint8_t Buf[ChunkSize];
  for (;;) {
    if (FAbort) return;  // a quiet stop: the caller asked for it
    const size_t N = In->Read(Buf, sizeof Buf);
    if (Out->Write(Buf, N) < N) DiskFull();
    FStats.BytesDone += static_cast<int32_t>(N);
    FStats.TotalBytesDone += static_cast<int64_t>(N);
    FStats.PercentDone = PercentOf(FStats.BytesDone, FStats.FileSize);
    FStats.TotalPercentDone = FStats.PercentDone;
    FireStatus();
    ProcessPendingMessages();
    if (N < sizeof Buf) {
      double Date;
      if (In->GetFileDate(Date)) Out->SetFileDate(Date);
      FStats.FileFinished = true;
      FireStatus();
      return;
    }
  }
}
