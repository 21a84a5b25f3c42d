#include "apps/loader/routines_LoaderRun.h"

#include <windows.h>
#include <zlib.h>

#include <new>

#include "archive/routines_ArchiveLayout.h"
#include "rtl/routines_FileTime_win.h"

namespace {

const char* const MsgOwnFile = "Cannot find the file of the loading program (%s).";
const char* const MsgArchiveMissing = "The setup archive %s cannot be found. Setup cannot continue.";
// Damage and a full disk both end here; the reason tells them apart.
const char* const MsgCannotUnpack = "Cannot unpack the setup archive %s (%s). Setup cannot continue.";
// What a user who has only the one downloaded file can act on.
const char* const MsgSelfExtractorDamaged =
    "The setup file %s is damaged or incomplete (%s). Please download or copy it again.";
const char* const MsgNoTempFolder = "Cannot create a temporary folder in %s for the setup program (%s).";
const char* const MsgCannotStart = "Cannot start the setup program %s (%s).";
const char* const MessageTitle = "Setup";

// The archive engine's own wording for what goes wrong inside the archive,
// so that a user reads the same reason whichever program unpacks.
const char* const MsgCannotOpenArchive = "Cannot open the compressed file %s";
const char* const MsgHeadersUnreadable =
    "Could not read the file headers for the compressed file. The Archive file could possible be corrupt";
const char* const MsgCannotCreate = "Cannot create the file %s";
const char* const MsgDamaged =
    "%s cannot be unpacked from %s: the distribution is damaged or incomplete. Copy or download it again";
const char* const MsgSizeMismatch =
    "The decompressed file's size does not match with the actual size of the file.  The file is %s";
const char* const MsgDiskFull = "The disk is full";
const char* const MsgCannotDate = "Cannot set the date of the file just extracted.";

const char* const SetupArchiveName = "setup.1";
const char* const TempFolderPrefix = "QVL";
const char* const RunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A file still held by the exiting setup program (or a virus scanner) is
// usually free again within a second or two.
constexpr int RemoveAttempts = 20;
constexpr DWORD RemoveRetryDelayMs = 250;

// Buffer sizes of the unpacking, as the archive engine reads members.
constexpr DWORD InflateInputSize = 65536;
constexpr DWORD InflateOutputSize = 4096;

[[noreturn]] void OutOfMemory() { ExitProcess(LoaderFailedExitCode); }

// --- Small text routines, with the rtl's rules ------------------------------

size_t TextLength(const char* S) {
  size_t N = 0;
  while (S[N]) ++N;
  return N;
}

char Upper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

bool SameText(const char* A, size_t NA, const char* B, size_t NB) {
  if (NA != NB) return false;
  for (size_t i = 0; i < NA; ++i)
    if (Upper(A[i]) != Upper(B[i])) return false;
  return true;
}

// Bytes above 127 are letters of the code page, not blanks.
bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

bool BlankText(const char* S, size_t N) {
  for (size_t i = 0; i < N; ++i)
    if (!IsBlank(S[i])) return false;
  return true;
}

bool IsPathDelimiter(char C) { return C == '\\' || C == ':'; }

// Where the file-name part of Path begins: behind the last "\" or ":".
size_t FileNameStart(const char* Path, size_t N) {
  for (size_t i = N; i-- > 0;)
    if (IsPathDelimiter(Path[i])) return i + 1;
  return 0;
}

// The folder part of Path without its last backslash ("C:\" keeps it; the
// loader then removes it, as the distribution folder has none).
void AppendFileDir(TLoaderText& Out, const char* Path) {
  const size_t N = TextLength(Path);
  size_t E = FileNameStart(Path, N);
  if (E > 1 && Path[E - 1] == '\\' && Path[E - 2] != ':') --E;
  Out.Append(Path, E);
}

void AddBackslash(TLoaderText& S) {
  if (!S.Empty() && S.Last() != '\\') S.Append('\\');
}

void RemoveBackslash(TLoaderText& S) {
  if (S.Last() == '\\') S.Truncate(S.Length() - 1);
}

bool ContainsText(const TLoaderText& Text, const TLoaderText& Part) {
  if (Part.Empty() || Part.Length() > Text.Length()) return false;
  for (size_t At = 0; At + Part.Length() <= Text.Length(); ++At)
    if (SameText(Text.Text() + At, Part.Length(), Part.Text(), Part.Length())) return true;
  return false;
}

// Pattern with each "%s" replaced by the next of A, B.
void Format(TLoaderText& Out, const char* Pattern, const char* A, const char* B = "") {
  const char* Args[] = {A, B};
  int Next = 0;
  for (const char* P = Pattern; *P; ++P) {
    if (P[0] == '%' && P[1] == 's' && Next < 2) {
      Out.Append(Args[Next++]);
      ++P;
    } else {
      Out.Append(*P);
    }
  }
}

// The system's text of an error code, without its line end; empty when it
// has none.
void AppendSystemMessage(TLoaderText& Out, DWORD Code) {
  char* Text = nullptr;
  const DWORD N = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, Code, 0, reinterpret_cast<char*>(&Text), 0, nullptr);
  if (N && Text) {
    size_t E = N;
    while (E > 0 && IsBlank(Text[E - 1])) --E;
    Out.Append(Text, E);
  }
  if (Text) LocalFree(Text);
}

// "<Function> failed: error <code>: <system text>", as the environment
// layer words a failed call.
void AppendWin32Failure(TLoaderText& Out, const char* Function, DWORD Code) {
  Out.Append(Function).Append(" failed: error ").AppendNumber(Code);
  TLoaderText Text;
  AppendSystemMessage(Text, Code);
  if (!Text.Empty()) Out.Append(": ").Append(Text);
}

// The system's text of the last error, or "error <code>".
void AppendLastSystemError(TLoaderText& Out) {
  const DWORD Code = GetLastError();
  const size_t Before = Out.Length();
  AppendSystemMessage(Out, Code);
  if (Out.Length() == Before) Out.Append("error ").AppendNumber(Code);
}

bool EnvironmentValue(const char* Name, TLoaderText& Value) {
  char Buf[MAX_PATH * 2];
  const DWORD N = GetEnvironmentVariableA(Name, Buf, sizeof Buf);
  Value.Assign(Buf, N > 0 && N < sizeof Buf ? N : 0);
  return !Value.Empty();
}

// --- Files ------------------------------------------------------------------

bool FileExists(const char* Name) {
  const DWORD A = GetFileAttributesA(Name);
  return A != INVALID_FILE_ATTRIBUTES && !(A & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const char* Name) {
  const DWORD A = GetFileAttributesA(Name);
  return A != INVALID_FILE_ATTRIBUTES && (A & FILE_ATTRIBUTE_DIRECTORY);
}

int64_t FileSizeByName(const char* Name) {
  WIN32_FILE_ATTRIBUTE_DATA D;
  if (!*Name || !GetFileAttributesExA(Name, GetFileExInfoStandard, &D) || (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return (static_cast<int64_t>(D.nFileSizeHigh) << 32) | D.nFileSizeLow;
}

class TFile {
 public:
  TFile() = default;
  ~TFile() { Close(); }
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  bool OpenRead(const char* Name) {
    return Set(CreateFileA(Name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  bool Create(const char* Name) {
    return Set(CreateFileA(Name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  bool OpenAppend(const char* Name) {
    if (!Set(CreateFileA(Name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr)))
      return false;
    LARGE_INTEGER Zero;
    Zero.QuadPart = 0;
    return SetFilePointerEx(FHandle, Zero, nullptr, FILE_END) != 0;
  }
  bool IsOpen() const { return FHandle != INVALID_HANDLE_VALUE; }
  void Close() {
    if (IsOpen()) CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
  }
  int64_t Size() const {
    LARGE_INTEGER S;
    return GetFileSizeEx(FHandle, &S) ? S.QuadPart : -1;
  }
  bool SetPosition(int64_t P) {
    LARGE_INTEGER To;
    To.QuadPart = P;
    return SetFilePointerEx(FHandle, To, nullptr, FILE_BEGIN) != 0;
  }
  DWORD Read(void* B, DWORD N) {
    DWORD Got = 0;
    return ReadFile(FHandle, B, N, &Got, nullptr) ? Got : 0;
  }
  bool ReadAt(int64_t P, void* B, DWORD N) { return SetPosition(P) && Read(B, N) == N; }
  DWORD Write(const void* B, DWORD N) {
    DWORD Done = 0;
    return WriteFile(FHandle, B, N, &Done, nullptr) ? Done : 0;
  }
  // Date is a local day count, as the archive headers store it.
  bool SetDate(double Date) {
    FILETIME T;
    return FileTimeFromDayCount(Date, T) && SetFileTime(FHandle, nullptr, nullptr, &T);
  }

 private:
  bool Set(HANDLE H) {
    Close();
    FHandle = H;
    return IsOpen();
  }
  HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// The folder and everything in it; read-only files too.
bool RemoveDirTree(const char* Dir) {
  if (!*Dir) return false;
  TLoaderText Pattern(Dir);
  AddBackslash(Pattern);
  const size_t Base = Pattern.Length();
  Pattern.Append('*');
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA(Pattern.Text(), &D);
  if (H != INVALID_HANDLE_VALUE) {
    do {
      if (!lstrcmpA(D.cFileName, ".") || !lstrcmpA(D.cFileName, "..")) continue;
      TLoaderText P;
      P.Append(Pattern.Text(), Base).Append(D.cFileName);
      if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirTree(P.Text());
      } else {
        // DeleteFile refuses a read-only file.
        SetFileAttributesA(P.Text(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(P.Text());
      }
    } while (FindNextFileA(H, &D));
    FindClose(H);
  }
  RemoveDirectoryA(Dir);
  return !DirectoryExists(Dir);
}

// --- user32, loaded late ----------------------------------------------------
// The loader takes user32 by LoadLibrary once its library search is
// restricted to the system folder (LoaderStart), never as an import: Wine's
// user32 needs version.dll, and an import would be resolved from the
// loader's own folder, where anyone may have put one, before the loader
// could say otherwise.  Constant-initialised: no constructor runs here.

struct TUser32 {
  bool Tried;
  decltype(&MessageBoxA) MessageBox;
  decltype(&MsgWaitForMultipleObjects) MsgWaitForMultiple;
  decltype(&PeekMessageA) PeekMessage;
  decltype(&TranslateMessage) Translate;
  decltype(&DispatchMessageA) Dispatch;
};
TUser32 GUser32;

template <class F>
void Bind(HMODULE M, const char* Name, F& Function) {
  Function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(M, Name)));
}

// The functions, or null ones when user32 cannot be had.
const TUser32& User32() {
  if (!GUser32.Tried) {
    GUser32.Tried = true;
    if (HMODULE M = LoadLibraryA("user32.dll")) {
      Bind(M, "MessageBoxA", GUser32.MessageBox);
      Bind(M, "MsgWaitForMultipleObjects", GUser32.MsgWaitForMultiple);
      Bind(M, "PeekMessageA", GUser32.PeekMessage);
      Bind(M, "TranslateMessage", GUser32.Translate);
      Bind(M, "DispatchMessageA", GUser32.Dispatch);
    }
  }
  return GUser32;
}

// --- Reporting --------------------------------------------------------------

void Trace(const TLoaderText& Line) {
  TLoaderText Path;
  if (!EnvironmentValue("QV_LOADER_TRACE", Path)) return;
  TFile F;
  if (!F.OpenAppend(Path.Text())) return;
  TLoaderText L;
  L.Append(Line).Append("\r\n");
  F.Write(L.Text(), static_cast<DWORD>(L.Length()));
}

// Arg is "/<Name>" or "/<Name>=...", in any letter case; Value is what
// follows the "=".
bool IsSwitch(const char* Arg, const char* Name, const char** Value = nullptr) {
  const size_t N = TextLength(Name);
  if (Arg[0] != '/' || TextLength(Arg) < N + 1 || !SameText(Arg + 1, N, Name, N)) return false;
  if (Arg[N + 1] == '\0') {
    if (Value) *Value = "";
    return true;
  }
  if (Arg[N + 1] != '=' || !Value) return false;
  *Value = Arg + N + 2;
  return true;
}

void ReportFailure(const TLoaderText& Message, int Count, char** Args) {
  TLoaderText Line("message: ");
  Line.Append(Message);
  Trace(Line);
  bool Suppressed = false;
  for (int i = 0; i < Count; ++i) {
    const char* LogFile = nullptr;
    Suppressed = Suppressed || IsSwitch(Args[i], "VERYSILENT") || IsSwitch(Args[i], "SUPPRESSMSGBOXES");
    // The setup program never started, so the log it would have written
    // holds the loader's reason.
    if (IsSwitch(Args[i], "LOG", &LogFile) && *LogFile) {
      TFile F;
      TLoaderText L("Setup failed: ");
      L.Append(Message).Append("\r\n");
      if (F.OpenAppend(LogFile)) F.Write(L.Text(), static_cast<DWORD>(L.Length()));
    }
  }
  TLoaderText Quiet;
  EnvironmentValue("QV_LOADER_QUIET", Quiet);
  if (Suppressed || (Quiet.Length() == 1 && Quiet.Text()[0] == '1') || !User32().MessageBox) return;
  User32().MessageBox(nullptr, Message.Text(), MessageTitle, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

// --- The distribution -------------------------------------------------------

struct TPlan {
  TLoaderText Archive;          // the self-extracting file, or setup.1 beside the loader
  int32_t Offset = 0;           // first byte of the setup archive inside Archive
  TLoaderText SourceDir;        // the distribution folder, no trailing backslash
  TLoaderText SelfExtractName;  // file name of the self-extracting file; empty when plain
  bool ToDisk = false;
  // The loader's own file when it carries data behind its image but no
  // trailer that leads to it: a self-extracting file cut short or damaged.
  TLoaderText DamagedSelfExtractor;
};

bool OwnFileName(TLoaderText& Name, TLoaderText& Failure) {
  // GetModuleFileName cuts the name silently when the buffer is too small.
  for (DWORD Size = MAX_PATH;; Size *= 2) {
    const DWORD N = GetModuleFileNameA(nullptr, Name.Reserve(Size), Size);
    if (N == 0) {
      TLoaderText Why;
      AppendWin32Failure(Why, "GetModuleFileNameA", GetLastError());
      Format(Failure, MsgOwnFile, Why.Text());
      return false;
    }
    if (N < Size) {
      Name.SetLength(N);
      return true;
    }
    if (Size >= 32768) {
      Format(Failure, MsgOwnFile, "the name is too long");
      return false;
    }
  }
}

// The end of the loader's sections in its file, from the headers Windows has
// mapped: whatever a build appended lies behind it.
int64_t OwnImageEnd() {
  const auto* Base = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
  const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base);
  if (!Base || Dos->e_magic != IMAGE_DOS_SIGNATURE) return 1;
  const auto* Nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base + Dos->e_lfanew);
  if (Nt->Signature != IMAGE_NT_SIGNATURE) return 1;
  int64_t End = Nt->OptionalHeader.SizeOfHeaders;
  const IMAGE_SECTION_HEADER* S = IMAGE_FIRST_SECTION(Nt);
  for (WORD i = 0; i < Nt->FileHeader.NumberOfSections; ++i) {
    const int64_t SectionEnd = static_cast<int64_t>(S[i].PointerToRawData) + S[i].SizeOfRawData;
    if (SectionEnd > End) End = SectionEnd;
  }
  return End;
}

void PlanDistribution(const TLoaderText& OwnFile, int64_t ImageEnd, TPlan& Plan) {
  AppendFileDir(Plan.SourceDir, OwnFile.Text());
  RemoveBackslash(Plan.SourceDir);
  TFile Own;
  TSelfExtractTrailer T;
  const bool Open = Own.OpenRead(OwnFile.Text());
  const int64_t Size = Open ? Own.Size() : -1;
  // A signature appended to the file stands behind the trailer.
  uint8_t Head[SignedHeadSize];
  const DWORD HeadSize = Open && Own.SetPosition(0) ? Own.Read(Head, sizeof Head) : 0;
  const int64_t End = SignedContentEnd(Head, HeadSize, Size);
  const bool Signed = End != Size;
  const int64_t TailSize = Signed ? SignedTailSize : SelfExtractTrailerSize;
  uint8_t B[SignedTailSize];
  if (Open && End >= TailSize && Own.ReadAt(End - TailSize, B, static_cast<DWORD>(TailSize)) &&
      DecodeTrailerBefore(B, static_cast<size_t>(TailSize), End, Signed, T) && TrailerLeadsBehindImage(T, ImageEnd)) {
    Plan.Archive.Assign(OwnFile);
    Plan.Offset = T.SetupStart;
    const size_t NameAt = FileNameStart(OwnFile.Text(), OwnFile.Length());
    Plan.SelfExtractName.Assign(OwnFile.Text() + NameAt, OwnFile.Length() - NameAt);
  } else {
    Plan.Archive.Assign(Plan.SourceDir);
    AddBackslash(Plan.Archive);
    Plan.Archive.Append(SetupArchiveName);
    if (Open && ImageEnd > 0 && End > ImageEnd) Plan.DamagedSelfExtractor.Assign(OwnFile);
  }
}

// --- Unpacking the setup archive --------------------------------------------

struct TMember {
  TLoaderText Stored;  // the build machine's path
  TLoaderText Name;    // the file-name part, unpacked under it
  TMemberPlace Place;
  double FileDate = 0;
};

class TMembers {
 public:
  ~TMembers() {
    for (int i = 0; i < FCount; ++i) FItems[i].~TMember();
    if (FItems) HeapFree(GetProcessHeap(), 0, FItems);
  }
  // Room for N members; the chain walk has checked that N fit the file.
  void Reserve(int N) {
    FItems = static_cast<TMember*>(HeapAlloc(GetProcessHeap(), 0, sizeof(TMember) * (N > 0 ? N : 1)));
    if (!FItems) OutOfMemory();
    FCapacity = N;
  }
  TMember& Add() {
    if (FCount >= FCapacity) OutOfMemory();
    return *new (static_cast<void*>(&FItems[FCount++])) TMember;
  }
  int Count() const { return FCount; }
  TMember& operator[](int i) { return FItems[i]; }

 private:
  TMember* FItems = nullptr;
  int FCount = 0;
  int FCapacity = 0;
};

// One member into Target, written under a name of its own and given the
// target's name only once it is complete and checked: a damaged member never
// stands as the file it should have been.  False with Reason set on failure.
bool ExtractMember(TFile& Archive, const TPlan& Plan, const TMember& M, const TLoaderText& Target, uint8_t* In,
                   uint8_t* Out, TLoaderText& Reason) {
  TLoaderText Part;
  Part.Append(Target).Append(".qvpart");
  TFile F;
  auto CannotCreate = [&] {
    Format(Reason, MsgCannotCreate, Target.Text());
    Reason.Append(": ");
    AppendLastSystemError(Reason);
    return false;
  };
  if (!F.Create(Part.Text())) return CannotCreate();
  struct TPartGoes {
    TFile& F;
    const TLoaderText& Part;
    bool Kept = false;
    ~TPartGoes() {
      if (Kept) return;
      F.Close();
      DeleteFileA(Part.Text());
    }
  } PartGoes{F, Part};
  // Data that does not inflate, or ends early, is a damaged distribution;
  // the user needs to hear which file and that a new copy is the remedy.
  auto Damaged = [&] {
    Format(Reason, MsgDamaged, M.Name.Text(), Plan.Archive.Text());
    return false;
  };
  auto SizeMismatch = [&] {
    Format(Reason, MsgSizeMismatch, M.Stored.Text());
    return false;
  };
  z_stream Z{};
  if (inflateInit(&Z) != Z_OK) return Damaged();
  struct TZEnd {
    z_stream& Z;
    ~TZEnd() { inflateEnd(&Z); }
  } ZEnd{Z};
  const int64_t End = static_cast<int64_t>(Plan.Offset) + M.Place.EndPos + 1;
  int64_t Pos = static_cast<int64_t>(Plan.Offset) + M.Place.DataStart;
  if (!Archive.SetPosition(Pos)) return Damaged();
  int64_t Done = 0;
  bool Ended = false;
  for (;;) {
    DWORD Produced = 0;
    while (Produced < InflateOutputSize && !Ended) {
      if (Z.avail_in == 0) {
        const int64_t Want = End - Pos < InflateInputSize ? End - Pos : InflateInputSize;
        const DWORD Got = Want > 0 ? Archive.Read(In, static_cast<DWORD>(Want)) : 0;
        if (Got == 0) break;
        Pos += Got;
        Z.next_in = In;
        Z.avail_in = Got;
      }
      Z.next_out = Out + Produced;
      Z.avail_out = InflateOutputSize - Produced;
      const uInt InBefore = Z.avail_in;
      const int R = inflate(&Z, Z_NO_FLUSH);
      // A stream asking for a preset dictionary is not one of ours, and a
      // call that moves nothing would only be repeated forever.
      if (R < 0 || R == Z_NEED_DICT || (Z.avail_in == InBefore && Z.avail_out == InflateOutputSize - Produced &&
                                        R != Z_STREAM_END))
        return Damaged();
      Produced = InflateOutputSize - Z.avail_out;
      if (R == Z_STREAM_END) Ended = true;
    }
    if (Produced == 0) break;
    // More than the header promises is a corrupt member; stop writing.
    if (Done + Produced > M.Place.FileSize) return SizeMismatch();
    if (F.Write(Out, Produced) < Produced) {
      Reason.Append(MsgDiskFull);
      return false;
    }
    Done += Produced;
  }
  if (F.Size() != M.Place.FileSize) return SizeMismatch();
  // The right size without the end of the stream (and its checksum) is no
  // proof of the right contents.
  if (!Ended) return Damaged();
  if (!F.SetDate(M.FileDate)) {
    Reason.Append(MsgCannotDate);
    return false;
  }
  F.Close();
  if (!MoveFileExA(Part.Text(), Target.Text(), MOVEFILE_REPLACE_EXISTING)) return CannotCreate();
  PartGoes.Kept = true;
  return true;
}

// Every member of the setup archive into Folder under the file-name part of
// its stored path; SetupProgram receives the path of the first member.
bool UnpackSetupArchive(const TPlan& Plan, const TLoaderText& Folder, TLoaderText& SetupProgram,
                        TLoaderText& Failure) {
  if (!FileExists(Plan.Archive.Text())) {
    if (!Plan.DamagedSelfExtractor.Empty())
      Format(Failure, MsgSelfExtractorDamaged, Plan.DamagedSelfExtractor.Text(), "its end is missing or damaged");
    else
      Format(Failure, MsgArchiveMissing, Plan.Archive.Text());
    return false;
  }
  TLoaderText Reason;
  auto CannotUnpack = [&] {
    Format(Failure, Plan.SelfExtractName.Empty() ? MsgCannotUnpack : MsgSelfExtractorDamaged, Plan.Archive.Text(),
           Reason.Text());
    return false;
  };
  TFile Archive;
  if (!Archive.OpenRead(Plan.Archive.Text())) {
    Format(Reason, MsgCannotOpenArchive, Plan.Archive.Text());
    return CannotUnpack();
  }
  TMembers Members;
  uint8_t MultiDisk = 0;
  auto ReadAt = [&](int64_t P, uint8_t* B, size_t N) { return Archive.ReadAt(P, B, static_cast<DWORD>(N)); };
  auto Begin = [&](int32_t N, uint8_t Multi) {
    MultiDisk = Multi;
    Members.Reserve(N);
  };
  auto Header = [&](const uint8_t* B, const TMemberPlace& Place) {
    namespace L = FileHeaderLayout;
    TMember& M = Members.Add();
    M.Stored.Assign(ShortStringText(B + L::FileName), ShortStringLength(B + L::FileName, L::FileNameMax));
    M.Place = Place;
    M.FileDate = GetDoubleLE(B + L::FileDate);
    // A header without a name is not one an archive holds.
    return !BlankText(M.Stored.Text(), M.Stored.Length());
  };
  const THeaderChainResult Read = WalkHeaderChain(Plan.Offset, Archive.Size(), ReadAt, Begin, Header);
  // An unreadable count is an unreadable chain, named with its file.
  if (Read != THeaderChainResult::Read) {
    Reason.Append(MsgHeadersUnreadable).Append(": ").Append(Plan.Archive);
    return CannotUnpack();
  }
  if (Members.Count() == 0) {
    Reason.Append("it holds no files");
    return CannotUnpack();
  }
  // A disk set would send the engine looking for setup.2 ...
  if (MultiDisk != 0) {
    Reason.Append("it is marked as a disk set");
    return CannotUnpack();
  }
  for (int i = 0; i < Members.Count(); ++i) {
    // The stored path is the build machine's, so only its last part counts,
    // and that must name a file.
    TMember& M = Members[i];
    const size_t At = FileNameStart(M.Stored.Text(), M.Stored.Length());
    M.Name.Assign(M.Stored.Text() + At, M.Stored.Length() - At);
    const char* N = M.Name.Text();
    if (BlankText(N, M.Name.Length()) || !lstrcmpA(N, ".") || !lstrcmpA(N, "..")) {
      Format(Reason, "a member has no usable file name: <%s>", M.Stored.Text());
      return CannotUnpack();
    }
    // Two members unpacked under one name: the second would replace the first.
    for (int j = 0; j < i; ++j)
      if (SameText(Members[j].Name.Text(), Members[j].Name.Length(), N, M.Name.Length())) {
        Format(Reason, "two members are named %s", N);
        return CannotUnpack();
      }
  }
  uint8_t* In = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, InflateInputSize + InflateOutputSize));
  if (!In) OutOfMemory();
  bool Ok = true;
  for (int i = 0; i < Members.Count() && Ok; ++i) {
    TLoaderText Target(Folder.Text());
    AddBackslash(Target);
    Target.Append(Members[i].Name);
    Ok = ExtractMember(Archive, Plan, Members[i], Target, In, In + InflateInputSize, Reason);
  }
  HeapFree(GetProcessHeap(), 0, In);
  if (!Ok) return CannotUnpack();
  // Only what is there counts.
  for (int i = 0; i < Members.Count(); ++i) {
    TLoaderText Target(Folder.Text());
    AddBackslash(Target);
    Target.Append(Members[i].Name);
    if (FileSizeByName(Target.Text()) != Members[i].Place.FileSize) {
      Format(Reason, "%s was not unpacked", Members[i].Name.Text());
      return CannotUnpack();
    }
    if (i == 0) SetupProgram.Assign(Target);
  }
  return true;
}

// --- The temporary folder ---------------------------------------------------

void TempDirectory(TLoaderText& Dir) {
  char Buf[MAX_PATH + 1];
  const DWORD N = GetTempPathA(sizeof Buf, Buf);
  if (N == 0 || N > MAX_PATH) {
    Dir.Assign("C:\\");
    return;
  }
  Dir.Assign(Buf, N);
  RemoveBackslash(Dir);
}

// A new, empty folder with a unique name in the temporary folder.
bool CreateTempFolder(TLoaderText& Path, TLoaderText& Failure) {
  TLoaderText Base;
  TempDirectory(Base);
  const DWORD Seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
  DWORD Error = ERROR_ALREADY_EXISTS;
  for (int Attempt = 0; Attempt < 1000 && Error == ERROR_ALREADY_EXISTS; ++Attempt) {
    Path.Assign(Base);
    AddBackslash(Path);
    Path.Append(TempFolderPrefix);
    const DWORD V = (Seed + static_cast<DWORD>(Attempt)) & 0xFFFFF;
    for (int Shift = 16; Shift >= 0; Shift -= 4) Path.Append("0123456789ABCDEF"[(V >> Shift) & 0xF]);
    // CreateDirectory fails on an existing name, which makes the name ours.
    if (CreateDirectoryA(Path.Text(), nullptr)) return true;
    Error = GetLastError();
  }
  TLoaderText Why;
  AppendWin32Failure(Why, "CreateDirectoryA", Error);
  Format(Failure, MsgNoTempFolder, Base.Text(), Why.Text());
  return false;
}

// Removes the folder, retrying for a few seconds while a file in it is still
// locked.
void RemoveTempFolder(const TLoaderText& Path) {
  for (int Attempt = 0; Attempt < RemoveAttempts; ++Attempt) {
    if (Attempt > 0) Sleep(RemoveRetryDelayMs);
    if (RemoveDirTree(Path.Text())) return;
  }
}

// True when a RunOnce command refers to something inside Folder: a setup
// program that asked for a restart resumes from its temporary copy, so the
// copy must outlive this run.
bool FolderNeededAfterRestart(const TLoaderText& Folder) {
  TLoaderText Long(Folder.Text()), Short;
  AddBackslash(Long);
  char Buf[MAX_PATH + 1];
  const DWORD N = GetShortPathNameA(Folder.Text(), Buf, sizeof Buf);
  Short.Assign(N > 0 && N < sizeof Buf ? Buf : Folder.Text());
  AddBackslash(Short);
  const HKEY Roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
  for (HKEY Root : Roots) {
    HKEY K;
    if (RegOpenKeyExA(Root, RunOnceKey, 0, KEY_READ, &K) != ERROR_SUCCESS) continue;
    bool Needed = false;
    char Name[16384];
    for (DWORD I = 0; !Needed; ++I) {
      DWORD NameLen = sizeof Name, Type = 0, Size = 0;
      if (RegEnumValueA(K, I, Name, &NameLen, nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS) break;
      if (Type != REG_SZ && Type != REG_EXPAND_SZ) continue;
      TLoaderText Command;
      char* Data = Command.Reserve(Size + 1);
      DWORD Got = Size;
      if (RegQueryValueExA(K, Name, nullptr, nullptr, reinterpret_cast<BYTE*>(Data), &Got) != ERROR_SUCCESS) continue;
      // The stored data need not end in a NUL, or may carry several.
      size_t Len = 0;
      while (Len < Got && Data[Len]) ++Len;
      Command.SetLength(Len);
      Needed = ContainsText(Command, Long) || ContainsText(Command, Short);
    }
    RegCloseKey(K);
    if (Needed) return true;
  }
  return false;
}

// --- Starting the setup program ---------------------------------------------

// Waits for Process to end while the messages of this thread are answered:
// a GUI program that never reads its queue keeps the busy cursor up and
// stalls broadcasts.
DWORD WaitAnsweringMessages(HANDLE Process) {
  const TUser32& U = User32();
  if (!U.MsgWaitForMultiple || !U.PeekMessage || !U.Translate || !U.Dispatch)
    return WaitForSingleObject(Process, INFINITE);
  for (;;) {
    const DWORD R = U.MsgWaitForMultiple(1, &Process, FALSE, INFINITE, QS_ALLINPUT);
    if (R == WAIT_OBJECT_0) return R;
    // The message wait itself failed: a plain wait still ends with the
    // program, and nothing may go on while it runs.
    if (R != WAIT_OBJECT_0 + 1) return WaitForSingleObject(Process, INFINITE);
    MSG M;
    while (U.PeekMessage(&M, nullptr, 0, 0, PM_REMOVE)) {
      U.Translate(&M);
      U.Dispatch(&M);
    }
  }
}

bool RunSetupProgram(const TLoaderText& SetupProgram, const TLoaderText& CommandLine, int& ExitCode,
                     TLoaderText& Failure) {
  STARTUPINFOA SI{};
  SI.cb = sizeof SI;
  PROCESS_INFORMATION PI{};
  // CreateProcessA may write into the command line.
  TLoaderText Line(CommandLine.Text());
  if (!CreateProcessA(nullptr, Line.Data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &SI, &PI)) {
    const DWORD Error = GetLastError();
    TLoaderText Function("CreateProcessA("), Why;
    Function.Append(CommandLine).Append(')');
    AppendWin32Failure(Why, Function.Text(), Error);
    Format(Failure, MsgCannotStart, SetupProgram.Text(), Why.Text());
    return false;
  }
  CloseHandle(PI.hThread);
  DWORD Code = 0;
  ExitCode = WaitAnsweringMessages(PI.hProcess) == WAIT_OBJECT_0 && GetExitCodeProcess(PI.hProcess, &Code)
                 ? static_cast<int>(Code)
                 : LoaderFailedExitCode;
  CloseHandle(PI.hProcess);
  return true;
}

}  // namespace

// --- TLoaderText ------------------------------------------------------------

TLoaderText::~TLoaderText() {
  if (FData) HeapFree(GetProcessHeap(), 0, FData);
}

char* TLoaderText::Reserve(size_t N) {
  const size_t Need = FLength + N + 1;
  if (Need > FCapacity) {
    size_t Cap = FCapacity ? FCapacity * 2 : 64;
    while (Cap < Need) Cap *= 2;
    void* P = FData ? HeapReAlloc(GetProcessHeap(), 0, FData, Cap) : HeapAlloc(GetProcessHeap(), 0, Cap);
    if (!P) OutOfMemory();
    FData = static_cast<char*>(P);
    FCapacity = Cap;
    FData[FLength] = '\0';
  }
  return FData + FLength;
}

void TLoaderText::SetLength(size_t N) {
  Reserve(0);
  FLength = N < FCapacity ? N : FCapacity - 1;
  FData[FLength] = '\0';
}

void TLoaderText::Truncate(size_t N) {
  if (N < FLength) {
    FLength = N;
    FData[N] = '\0';
  }
}

TLoaderText& TLoaderText::Append(const char* S, size_t N) {
  char* P = Reserve(N);
  for (size_t i = 0; i < N; ++i) P[i] = S[i];
  FLength += N;
  FData[FLength] = '\0';
  return *this;
}

TLoaderText& TLoaderText::Append(const char* S) { return Append(S, TextLength(S)); }

void TLoaderText::Assign(const char* S) {
  Truncate(0);
  Append(S);
}

TLoaderText& TLoaderText::AppendNumber(unsigned long V) {
  char Digits[24];
  int N = 0;
  do {
    Digits[N++] = static_cast<char>('0' + V % 10);
    V /= 10;
  } while (V);
  while (N > 0) Append(Digits[--N]);
  return *this;
}

// --- The program's parts ----------------------------------------------------

bool IsToDiskArgument(const char* Arg) { return SameText(Arg, TextLength(Arg), "*TODISK", 7); }

void AppendQuotedArgument(TLoaderText& Line, const char* Arg) {
  Line.Append('"');
  size_t Slashes = 0;
  for (const char* P = Arg; *P; ++P) {
    if (*P == '\\') {
      ++Slashes;
      continue;
    }
    // Backslashes count as escapes only in front of a quote.
    for (size_t i = 0, N = *P == '"' ? Slashes * 2 + 1 : Slashes; i < N; ++i) Line.Append('\\');
    Slashes = 0;
    Line.Append(*P);
  }
  for (size_t i = 0; i < Slashes * 2; ++i) Line.Append('\\');
  Line.Append('"');
}

void AppendSetupCommandLine(TLoaderText& Line, const char* SetupProgram, const char* SourceDir,
                            const char* SelfExtractName, bool ToDisk, int Count, char** Args) {
  AppendQuotedArgument(Line, SetupProgram);
  TLoaderText Arg("-s");
  Arg.Append(SourceDir);
  AppendQuotedArgument(Line.Append(' '), Arg.Text());
  if (*SelfExtractName) {
    Arg.Assign("-e");
    Arg.Append(SelfExtractName);
    AppendQuotedArgument(Line.Append(' '), Arg.Text());
  }
  Line.Append(" -c");
  if (ToDisk) Line.Append(" -f");
  for (int i = 0; i < Count; ++i)
    if (!IsToDiskArgument(Args[i])) AppendQuotedArgument(Line.Append(' '), Args[i]);
}

int RunLoader(int Count, char** Args) {
  TPlan Plan;
  for (int i = 0; i < Count; ++i)
    if (IsToDiskArgument(Args[i])) Plan.ToDisk = true;
  TLoaderText Failure, OwnFile, Temp, SetupProgram;
  int Code = LoaderFailedExitCode;
  bool Ok = OwnFileName(OwnFile, Failure);
  if (Ok) {
    PlanDistribution(OwnFile, OwnImageEnd(), Plan);
    Ok = CreateTempFolder(Temp, Failure);
  }
  if (Ok) {
    Ok = UnpackSetupArchive(Plan, Temp, SetupProgram, Failure);
    if (Ok) {
      TLoaderText Line;
      AppendSetupCommandLine(Line, SetupProgram.Text(), Plan.SourceDir.Text(), Plan.SelfExtractName.Text(),
                             Plan.ToDisk, Count, Args);
      Trace(Line);
      Ok = RunSetupProgram(SetupProgram, Line, Code, Failure);
    }
    // The setup program removes its copy itself only once it has ended; the
    // folder goes now unless a restart is to resume from it.
    if (!Ok || !FolderNeededAfterRestart(Temp)) RemoveTempFolder(Temp);
  }
  if (!Ok) {
    ReportFailure(Failure, Count, Args);
    return LoaderFailedExitCode;
  }
  return Code;
}
