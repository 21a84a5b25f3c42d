#include "apps/loader/routines_Loader.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "archive/cmp_TQrvnCompress.h"
#include "environment/routines_API.h"
#include "environment/routines_Process.h"
#include "environment/routines_Registry.h"
#include "environment/routines_Unfinished.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

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

const char* const SetupArchiveName = "setup.1";
const char* const TempFolderPrefix = "QVL";

// A file still held by the exiting setup program (or a virus scanner) is
// usually free again within a second or two.
constexpr int RemoveAttempts = 20;
constexpr DWORD RemoveRetryDelayMs = 250;

std::string EnvironmentValue(const char* Name) {
  char Buf[MAX_PATH * 2];
  const DWORD N = GetEnvironmentVariableA(Name, Buf, sizeof Buf);
  return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

void Trace(const std::string& Line) {
  const std::string Path = EnvironmentValue("QV_LOADER_TRACE");
  if (Path.empty()) return;
  if (FILE* F = std::fopen(Path.c_str(), "ab")) {
    std::fprintf(F, "%s\r\n", Line.c_str());
    std::fclose(F);
  }
}

void ReportFailure(const std::string& Message) {
  Trace("message: " + Message);
  if (EnvironmentValue("QV_LOADER_QUIET") == "1") return;
  MessageBoxA(nullptr, Message.c_str(), MessageTitle, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

std::string OwnFileName() {
  // GetModuleFileName cuts the name silently when the buffer is too small.
  std::vector<char> Buf(MAX_PATH);
  for (;;) {
    const DWORD N = GetModuleFileNameA(nullptr, Buf.data(), static_cast<DWORD>(Buf.size()));
    if (N == 0) throw ELoadProgram(Format(MsgOwnFile, Win32FailureText("GetModuleFileNameA", GetLastError())));
    if (N < Buf.size()) return std::string(Buf.data(), N);
    if (Buf.size() >= 32768) throw ELoadProgram(Format(MsgOwnFile, "the name is too long"));
    Buf.resize(Buf.size() * 2);
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
  for (WORD i = 0; i < Nt->FileHeader.NumberOfSections; ++i)
    End = std::max<int64_t>(End, static_cast<int64_t>(S[i].PointerToRawData) + S[i].SizeOfRawData);
  return End;
}

[[noreturn]] void CannotUnpack(const TLoaderPlan& Plan, const std::string& Reason) {
  if (!Plan.SelfExtractName.empty()) throw ELoadProgram(Format(MsgSelfExtractorDamaged, Plan.Archive, Reason));
  throw ELoadProgram(Format(MsgCannotUnpack, Plan.Archive, Reason));
}

// The name a member is unpacked under; the stored path is the build
// machine's, so only its last part counts, and that must name a file.
std::string MemberFileName(const TLoaderPlan& Plan, const std::string& Stored) {
  const std::string Name = ExtractFileName(Stored);
  if (Trim(Name).empty() || Name == "." || Name == "..")
    CannotUnpack(Plan, Format("a member has no usable file name: <%s>", Stored));
  return Name;
}

int RunSetupProgram(const std::string& SetupProgram, const std::string& CommandLine) {
  TProcessStart Start;
  Start.CommandLine = CommandLine;
  Start.Wait = TProcessWait::Exit;
  // A GUI program that never reads its queue keeps the busy cursor up and
  // stalls broadcasts.
  Start.AnswerMessages = true;
  const TProcessRun Run = RunProcess(Start);
  if (!Run.Started) throw ELoadProgram(Format(MsgCannotStart, SetupProgram, Run.Failure));
  return Run.HasExitCode ? static_cast<int>(Run.ExitCode) : LoaderFailedExitCode;
}

bool ContainsText(const std::string& Text, const std::string& Part) {
  return !Part.empty() && UpperCase(Text).find(UpperCase(Part)) != std::string::npos;
}

}  // namespace

bool IsToDiskArgument(const std::string& Arg) { return SameText(Arg, "*TODISK"); }

bool ReadLoaderTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& Trailer) {
  return ReadDistributionTrailer(OwnFile, ImageEnd, Trailer);
}

TLoaderPlan PlanDistribution(const std::string& OwnFile, int64_t ImageEnd, bool ToDisk) {
  TLoaderPlan Plan;
  Plan.ToDisk = ToDisk;
  Plan.SourceDir = RemoveBackslash(ExtractFileDir(OwnFile));
  TSelfExtractTrailer T;
  auto Own = TFileStream::TryOpen(OwnFile, TFileMode::fmOpenRead);
  if (Own && ReadLoaderTrailer(*Own, ImageEnd, T)) {
    Plan.Archive = OwnFile;
    Plan.Offset = T.SetupStart;
    Plan.SelfExtractName = ExtractFileName(OwnFile);
  } else {
    Plan.Archive = AddBackslash(Plan.SourceDir) + SetupArchiveName;
    if (Own && ImageEnd > 0 && Own->Size() > ImageEnd) Plan.DamagedSelfExtractor = OwnFile;
  }
  return Plan;
}

std::string QuoteArgument(const std::string& Arg) {
  std::string R = "\"";
  size_t Slashes = 0;
  for (char C : Arg) {
    if (C == '\\') {
      ++Slashes;
      continue;
    }
    // Backslashes count as escapes only in front of a quote.
    R.append(C == '"' ? Slashes * 2 + 1 : Slashes, '\\');
    Slashes = 0;
    R += C;
  }
  R.append(Slashes * 2, '\\');
  return R + "\"";
}

std::string SetupCommandLine(const std::string& SetupProgram, const TLoaderPlan& Plan) {
  std::string Line = QuoteArgument(SetupProgram) + " " + QuoteArgument("-s" + Plan.SourceDir);
  if (!Plan.SelfExtractName.empty()) Line += " " + QuoteArgument("-e" + Plan.SelfExtractName);
  Line += " -c";
  if (Plan.ToDisk) Line += " -f";
  return Line;
}

std::string UnpackSetupArchive(const TLoaderPlan& Plan, const std::string& Folder) {
  if (!FileExists(Plan.Archive)) {
    if (!Plan.DamagedSelfExtractor.empty())
      throw ELoadProgram(Format(MsgSelfExtractorDamaged, Plan.DamagedSelfExtractor, "its end is missing or damaged"));
    throw ELoadProgram(Format(MsgArchiveMissing, Plan.Archive));
  }
  TQrvnCompress Engine(nullptr);
  Engine.SetCompressedFile(Plan.Archive);
  Engine.SetOffset(Plan.Offset);
  Engine.SetExtractDirectory(Folder);
  Engine.SetOverwrite(owAlways);
  std::vector<std::pair<std::string, int32_t>> Members;  // unpacked name, size
  try {
    Engine.ReadHeaders();
    const TFileHeaders& H = Engine.Headers();
    if (H.Count() == 0) CannotUnpack(Plan, "it holds no files");
    // A disk set would send the engine looking for setup.2 ...
    if (H.MultiDisk() != 0) CannotUnpack(Plan, "it is marked as a disk set");
    TStrings Names;
    std::set<std::string> Seen;
    for (int i = 0; i < H.Count(); ++i) {
      const TFileHeaderRecord& R = H.GetFileHeaders(i).Rec;
      const std::string Name = MemberFileName(Plan, R.FileName);
      // Two members unpacked under one name: the second would replace the first.
      if (!Seen.insert(UpperCase(Name)).second) CannotUnpack(Plan, Format("two members are named %s", Name));
      Names.Add(R.FileName);
      Members.emplace_back(Name, R.FileSize);
    }
    Engine.SetFilesToProcess(Names);
    Engine.ExtractFiles();
  } catch (const ELoadProgram&) {
    throw;
  } catch (const std::exception& E) {
    CannotUnpack(Plan, E.what());
  }
  // The engine ends some failures quietly; only what is there counts.
  for (const auto& M : Members)
    if (FileSizeByName(AddBackslash(Folder) + M.first) != M.second)
      CannotUnpack(Plan, Format("%s was not unpacked", M.first));
  return AddBackslash(Folder) + Members.front().first;
}

TTempFolder::TTempFolder() {
  const std::string Base = TempDirectory();
  DWORD Seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
  DWORD Error = ERROR_ALREADY_EXISTS;
  for (int Attempt = 0; Attempt < 1000 && Error == ERROR_ALREADY_EXISTS; ++Attempt) {
    char Name[16];
    std::snprintf(Name, sizeof Name, "%s%05lX", TempFolderPrefix, static_cast<unsigned long>((Seed + Attempt) & 0xFFFFF));
    const std::string Path = AddBackslash(Base) + Name;
    // CreateDirectory fails on an existing name, which makes the name ours.
    if (CreateDirectoryA(Path.c_str(), nullptr)) {
      FPath = Path;
      return;
    }
    Error = GetLastError();
  }
  throw ELoadProgram(Format(MsgNoTempFolder, Base, Win32FailureText("CreateDirectoryA", Error)));
}

TTempFolder::~TTempFolder() {
  if (!FKeep) Remove();
}

bool TTempFolder::Remove() {
  for (int Attempt = 0; Attempt < RemoveAttempts; ++Attempt) {
    if (Attempt > 0) Sleep(RemoveRetryDelayMs);
    if (RemoveDirTree(FPath)) return true;
  }
  return false;
}

bool FolderNeededAfterRestart(const std::string& Folder) {
  const std::string Long = AddBackslash(Folder);
  const std::string Short = AddBackslash(GetShortPath(Folder));
  for (TRootKeys Root : {hkLocalMachine, hkCurrentUser}) {
    TRegKey K;
    std::vector<std::string> Names;
    if (!K.OpenReadOnly(Root, RunOnceKey) || !K.GetValueNames(Names)) continue;
    for (const std::string& N : Names) {
      std::string Command;
      if (K.ReadString(N, Command) && (ContainsText(Command, Long) || ContainsText(Command, Short))) return true;
    }
  }
  return false;
}

int RunLoader(const std::vector<std::string>& Args) {
  try {
    const bool ToDisk = std::any_of(Args.begin(), Args.end(), IsToDiskArgument);
    const TLoaderPlan Plan = PlanDistribution(OwnFileName(), OwnImageEnd(), ToDisk);
    TTempFolder Temp;
    const std::string SetupProgram = UnpackSetupArchive(Plan, Temp.Path());
    const std::string Line = SetupCommandLine(SetupProgram, Plan);
    Trace(Line);
    const int Code = RunSetupProgram(SetupProgram, Line);
    // The setup program removes its copy itself only once it has ended; the
    // folder goes now unless a restart is to resume from it.
    if (FolderNeededAfterRestart(Temp.Path())) Temp.Keep();
    return Code;
  } catch (const std::exception& E) {
    ReportFailure(E.what());
    return LoaderFailedExitCode;
  }
}
