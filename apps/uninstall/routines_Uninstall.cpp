#include "apps/uninstall/routines_Uninstall.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>

#include "environment/routines_API.h"
#include "environment/routines_AtRestart.h"
#include "environment/routines_FileRegistration.h"
#include "environment/routines_Registry.h"
#include "environment/routines_RegistryStore.h"
#include "environment/routines_Scoped.h"
#include "environment/routines_SelfRegistration.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

std::string Key(const std::string& Path) { return UpperCase(RemoveBackslash(Trim(Path))); }

// --- files --------------------------------------------------------------------------------

bool IsInUseError(DWORD E) {
  return E == ERROR_SHARING_VIOLATION || E == ERROR_ACCESS_DENIED || E == ERROR_LOCK_VIOLATION ||
         E == ERROR_USER_MAPPED_FILE;
}

// --- self-registered components ---------------------------------------------------------

// Empty on success, else why not.
std::string UnregisterLibrary(const std::string& Path) {
  const TSelfRegistration R = CallLibraryServer(Path, TServerAction::Unregister);
  return R.Failed != TSelfRegistration::srDone || FAILED(R.Result) ? R.Cause : "";
}

std::string UnregisterProgram(const std::string& Path, unsigned TimeoutMs) {
  // The file can only go once the program has let go of it.
  const TSelfRegistration R = RunProgramServer(Path, TServerAction::Unregister, TProcessWait::Exit, TimeoutMs);
  if (R.Failed == TSelfRegistration::srNoEnd)
    return Format("%s /UNREGSERVER did not end within %d seconds", ExtractFileName(Path),
                  static_cast<int>(TimeoutMs / 1000));
  return R.Cause;
}

// --- registry --------------------------------------------------------------------------------

bool KeyIsEmpty(TRootKeys Root, const std::string& Rel) {
  TRegKey K;
  if (!K.OpenReadOnly(Root, Rel)) return false;
  std::vector<std::string> Values;
  return K.GetValueNames(Values) && Values.empty() && !K.HasSubKeys();
}

void PruneEmptyKeys(TRootKeys Root, std::string Rel) {
  // Never a key right below the root ("SOFTWARE" ...), whatever happens.
  while (Rel.find('\\') != std::string::npos && KeyIsEmpty(Root, Rel)) {
    if (RegDeleteKeyA(RootKeyToHKEY(Root), Rel.c_str()) != ERROR_SUCCESS) return;
    Rel = Rel.substr(0, Rel.rfind('\\'));
  }
}

// Takes each dealt-with item out of the record at once; the key of the
// items struck last stays open for the next, which is mostly in it too.
class TRecordStriker {
 public:
  void Close() {
    FKey.Close();
    FSubKey.clear();
  }
  void StrikeOut(const TRecordPlace& P) {
    if (P.ValueName.empty()) {
      Close();
      RegDeleteKeyTree(hkLocalMachine, P.SubKey);
      return;
    }
    if (!FKey.IsOpen() || !SameText(FSubKey, P.SubKey)) {
      FSubKey = P.SubKey;
      if (!FKey.Open(hkLocalMachine, P.SubKey, false)) {
        FSubKey.clear();
        return;
      }
    }
    FKey.DeleteValue(P.ValueName);
  }

 private:
  TRegKey FKey;
  std::string FSubKey;
};

bool SameFile(const std::string& A, const std::string& B) {
  auto Long = [](const std::string& P) {
    char Buf[MAX_PATH * 2] = {};
    const DWORD N = GetLongPathNameA(P.c_str(), Buf, sizeof Buf);
    return N > 0 && N < sizeof Buf ? std::string(Buf, N) : P;
  };
  return !Trim(A).empty() && SameText(Long(Trim(A)), Long(Trim(B)));
}

// Moves the running uninstaller out of the product's folder: Windows lets
// a running program be renamed on its volume though not deleted.  The moved
// copy lies in the temporary folder until the next start removes it.
TReportLine RemoveSelf(const std::string& Self, std::set<std::string>& Pending) {
  const std::string Temp =
      AddBackslash(TempDirectory()) + Format("~qvun%u.tmp", static_cast<unsigned>(GetCurrentProcessId()));
  if (MoveFileExA(Self.c_str(), Temp.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    std::string Ignored;
    DeleteAtRestart(Temp, Ignored);
    return {TOutcome::Removed, Self, ""};
  }
  std::string Error;
  if (DeleteAtRestart(Self, Error)) {
    Pending.insert(Key(Self));
    return {TOutcome::AtRestart, Self, "the uninstaller is running"};
  }
  return {TOutcome::Failed, Self, Error};
}

// What the folder holds, as upper-cased full paths.
std::vector<std::string> FolderEntries(const std::string& Dir) {
  std::vector<std::string> R;
  WIN32_FIND_DATAA D;
  const TFindHandle H(FindFirstFileA((AddBackslash(Dir) + "*").c_str(), &D));
  if (!H.Valid()) return R;
  do {
    const std::string N = D.cFileName;
    if (N != "." && N != "..") R.push_back(Key(AddBackslash(Dir) + N));
  } while (FindNextFileA(H, &D));
  return R;
}

int Depth(const std::string& P) { return static_cast<int>(std::count(P.begin(), P.end(), '\\')); }

}  // namespace

// --- report ------------------------------------------------------------------------------------

void TUninstallReport::Add(TOutcome O, const std::string& What, const std::string& Reason) {
  Lines.push_back({O, What, Reason});
}

int TUninstallReport::Count(TOutcome O) const {
  return static_cast<int>(std::count_if(Lines.begin(), Lines.end(), [O](const TReportLine& L) { return L.Outcome == O; }));
}

std::string TUninstallReport::Summary(const std::string& Product) const {
  // A message box cannot scroll: long lists are cut.
  constexpr int MaxListed = 15;
  std::string S = Failed() ? Format("%s could not be removed completely.", Product)
                           : Format("%s was removed.", Product);
  S += Format("\r\n\r\nRemoved: %d item(s).", Count(TOutcome::Removed) + Count(TOutcome::Absent));
  struct TSection {
    TOutcome Outcome;
    const char* Title;
  } const Sections[] = {
      {TOutcome::Kept, "Kept because other programs still use them:"},
      {TOutcome::AtRestart, "In use; removed when Windows restarts:"},
      {TOutcome::Failed, "Could not be removed:"},
  };
  for (const TSection& Sec : Sections) {
    if (Count(Sec.Outcome) == 0) continue;
    S += std::string("\r\n\r\n") + Sec.Title;
    int Listed = 0;
    for (const TReportLine& L : Lines) {
      if (L.Outcome != Sec.Outcome) continue;
      if (++Listed > MaxListed) {
        S += Format("\r\n  ... and %d more", Count(Sec.Outcome) - MaxListed);
        break;
      }
      S += "\r\n  " + L.What + (L.Reason.empty() ? "" : " (" + L.Reason + ")");
    }
  }
  return S;
}

// --- steps ----------------------------------------------------------------------------------------

void ParseUninstallCommandLine(const std::string& CommandLine, bool& Silent, std::string& Product) {
  TRunOptions Options;
  ParseUninstallCommandLine(CommandLine, Options, Product);
  Silent = Options.VerySilent;
}

void ParseUninstallCommandLine(const std::string& CommandLine, TRunOptions& Options, std::string& Product) {
  std::string S = TrimLeft(CommandLine);
  // The program's own name, quoted or not.  The uninstall record starts it
  // unquoted, so a folder with blanks ("C:\Program Files\...") is part of
  // it: an unquoted name ends after its ".exe".
  size_t End = std::string::npos;
  if (!S.empty() && S[0] == '"') {
    End = S.find('"', 1);
    End = End == std::string::npos ? S.size() : End + 1;
  } else {
    const std::string Upper = UpperCase(S);
    for (size_t P = Upper.find(".EXE"); P != std::string::npos && End == std::string::npos; P = Upper.find(".EXE", P + 1))
      if (P + 4 == S.size() || S[P + 4] == ' ' || S[P + 4] == '\t') End = P + 4;
    if (End == std::string::npos) End = S.find_first_of(" \t");
    if (End == std::string::npos) End = S.size();
  }
  S = TrimLeft(S.substr(End));
  Options = TRunOptions();
  // The switches in front of the name; a quoted part of one (a log file in
  // a folder with blanks) holds its blanks, and the quotes go.
  for (;;) {
    if (S.size() < 2 || (S[0] != '/' && S[0] != '-')) break;
    std::string Token;
    size_t P = 0;
    for (bool Quoted = false; P < S.size() && (Quoted || (S[P] != ' ' && S[P] != '\t')); ++P)
      if (S[P] == '"')
        Quoted = !Quoted;
      else
        Token += S[P];
    if (SameText(Token, "/S") || SameText(Token, "-S"))
      Options.VerySilent = true;
    else if (!ParseRunOption(Token, Options, {"SILENT", "VERYSILENT", "LOG"}))
      break;
    S = TrimLeft(S.substr(P));
  }
  Product = Trim(S);
  if (Product.size() >= 2 && Product.front() == '"' && Product.back() == '"')
    Product = Trim(Product.substr(1, Product.size() - 2));
}

std::vector<std::string> SystemFolders() {
  static const int Folders[] = {
      CSIDL_PROGRAM_FILES,       CSIDL_PROGRAM_FILES_COMMON,    CSIDL_PROGRAM_FILESX86,
      CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_WINDOWS,             CSIDL_SYSTEM,
      CSIDL_SYSTEMX86,           CSIDL_FONTS,                   CSIDL_STARTMENU,
      CSIDL_COMMON_STARTMENU,    CSIDL_PROGRAMS,                CSIDL_COMMON_PROGRAMS,
      CSIDL_STARTUP,             CSIDL_COMMON_STARTUP,          CSIDL_DESKTOPDIRECTORY,
      CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_APPDATA,             CSIDL_COMMON_APPDATA,
      CSIDL_LOCAL_APPDATA,       CSIDL_PROFILE,                 CSIDL_PERSONAL,
      CSIDL_COMMON_DOCUMENTS,    CSIDL_FAVORITES,               CSIDL_TEMPLATES,
      CSIDL_SENDTO,
  };
  std::vector<std::string> R;
  for (int F : Folders) {
    char Buf[MAX_PATH + 1] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, F, nullptr, 0, Buf)) && Buf[0]) R.push_back(Buf);
  }
  // The folders the installation itself resolved its path specifiers with.
  for (const std::string& D : {GetWindowsDir(), GetSystemDir(), GetProgramFilesDir(), GetCommonFilesDir(),
                               GetStartMenuDir(), GetProgramsDir(), GetDesktopDir(), GetStartupDir(),
                               TempDirectory()})
    R.push_back(D);
  for (const char* Var : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
                          "CommonProgramFiles(x86)", "SystemRoot", "windir", "USERPROFILE",
                          "ALLUSERSPROFILE", "PUBLIC", "TEMP", "TMP"}) {
    char Buf[MAX_PATH + 1] = {};
    const DWORD N = GetEnvironmentVariableA(Var, Buf, sizeof Buf);
    if (N > 0 && N < sizeof Buf) R.push_back(Buf);
  }
  for (std::string& D : R) D = RemoveBackslash(Trim(D));
  R.erase(std::remove_if(R.begin(), R.end(), [](const std::string& D) { return D.empty(); }), R.end());
  return R;
}

bool MayRemoveFolder(const std::string& Dir, const std::vector<std::string>& Roots) {
  const std::string D = Key(Dir);
  // "X:\name..." or "\\server\share\name...": something below a drive or share.
  const std::string Drive = ExtractFileDrive(D);
  if (Drive.empty() || D.size() <= Drive.size() + 1 || D[Drive.size()] != '\\') return false;
  if (D.find("\\.\\") != std::string::npos || D.find("\\..") != std::string::npos) return false;
  for (const std::string& R : Roots) {
    const std::string K = Key(R);
    if (K == D || (K.size() > D.size() && K.compare(0, D.size(), D) == 0 && K[D.size()] == '\\')) return false;
  }
  return true;
}

bool DecrementSharedCount(const std::string& Path, int32_t& Left, std::string& Error) {
  TSharedFileCounts Counts;
  return Counts.Open(false) && Counts.CountDown(Path, Left, Error);
}

namespace {

// What a removal of many files reads once instead of once per file: the
// shared-file counts and the help entries, each key opened once and its
// value names read once.  A count is still read and written in the
// registry at the moment its file goes.
class TRecordedFileRemoval {
 public:
  // Path's count goes down by one, as DecrementSharedCount does.
  bool CountDown(const std::string& Path, int32_t& Left, std::string& Error) {
    LoadCounts();
    if (!FCountsOpen) return false;
    const std::string Name = CountedName(Path);
    if (Name.empty()) return false;
    std::string Failure;
    if (!FCounts.CountDownValue(Name, Left, Failure)) return false;
    if (Left == 0) FCountNames.erase(UpperCase(Name));
    Error = Failure;
    return true;
  }

  // As RemoveHelpEntry.
  void RemoveHelp(const std::string& Path) {
    LoadHelp();
    const auto It = FHelp.find(UpperCase(ExtractFileName(Path)));
    if (It == FHelp.end() || !SameText(RemoveBackslash(It->second), ExtractFileDir(Path))) return;
    FHelpKey.DeleteValue(It->first);
    FHelp.erase(It);
  }

 private:
  void LoadCounts() {
    if (FCountsLoaded) return;
    FCountsLoaded = true;
    FCountsOpen = FCounts.Open(false);
    TRegKey K;
    std::vector<std::string> Names;
    if (!FCountsOpen || !K.OpenReadOnly(hkLocalMachine, SharedDllsKey) || !K.GetValueNames(Names)) return;
    for (const std::string& N : Names) {
      FCountNames[UpperCase(N)] = N;
      // A count kept under a short name ("C:\PROGRA~1\..."): found by the
      // long name it stands for.
      if (N.find('~') == std::string::npos) continue;
      char Buf[MAX_PATH * 2] = {};
      const DWORD L = GetLongPathNameA(N.c_str(), Buf, sizeof Buf);
      if (L > 0 && L < sizeof Buf) FByLongName.emplace(UpperCase(std::string(Buf, L)), N);
    }
  }

  // The value that counts Path: its own name first, else its short name.
  std::string CountedName(const std::string& Path) const {
    const auto Own = FCountNames.find(UpperCase(Path));
    if (Own != FCountNames.end()) return Own->second;
    const auto Short = FByLongName.find(UpperCase(Path));
    if (Short != FByLongName.end() && FCountNames.count(UpperCase(Short->second))) return Short->second;
    return "";
  }

  void LoadHelp() {
    if (FHelpLoaded) return;
    FHelpLoaded = true;
    std::vector<std::string> Names;
    if (!FHelpKey.Open(hkLocalMachine, HelpKey, false) || !FHelpKey.GetValueNames(Names)) return;
    for (const std::string& N : Names) {
      std::string Folder;
      if (FHelpKey.ReadString(N, Folder)) FHelp[UpperCase(N)] = Folder;
    }
  }

  bool FCountsLoaded = false, FCountsOpen = false, FHelpLoaded = false;
  TSharedFileCounts FCounts;
  std::map<std::string, std::string> FCountNames;  // upper-cased value name -> value name
  std::map<std::string, std::string> FByLongName;  // upper-cased long path -> short value name
  TRegKey FHelpKey;
  std::map<std::string, std::string> FHelp;  // upper-cased file name -> folder
};

// The second half of removing a file, once its count (if any) is down to
// zero: the component's unregistration when it has one, then the file.
TReportLine DeleteRecordedFile(const std::string& Path, std::set<std::string>& Pending,
                               const std::function<std::string()>& Unregister, TRecordedFileRemoval& Removal) {
  const DWORD Attr = GetFileAttributesA(Path.c_str());
  if (Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY))
    return {TOutcome::Failed, Path, "a folder stands where the file was installed"};
  if (Attr == INVALID_FILE_ATTRIBUTES) {
    Removal.RemoveHelp(Path);
    return {TOutcome::Absent, Path, ""};
  }
  if (Unregister) {
    const std::string Error = Unregister();
    if (!Error.empty()) return {TOutcome::Failed, Path, Error};
  }
  if (Attr & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(Path.c_str(), Attr & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (DeleteFileA(Path.c_str())) {
    Removal.RemoveHelp(Path);
    return {TOutcome::Removed, Path, ""};
  }
  const DWORD E = GetLastError();
  if (!IsInUseError(E)) return {TOutcome::Failed, Path, Win32FailureText("DeleteFileA", E)};
  std::string Error;
  if (!DeleteAtRestart(Path, Error)) return {TOutcome::Failed, Path, Error};
  Pending.insert(Key(Path));
  Removal.RemoveHelp(Path);
  return {TOutcome::AtRestart, Path, "in use"};
}

TReportLine RemoveCountedFile(const std::string& Path, std::set<std::string>& Pending,
                              const std::function<std::string()>& Unregister, TRecordedFileRemoval& Removal) {
  int32_t Left = 0;
  std::string Error;
  if (Removal.CountDown(Path, Left, Error)) {
    if (!Error.empty()) return {TOutcome::Failed, Path, Error};
    if (Left > 0) return {TOutcome::Kept, Path, Format("shared, %d other installation(s) use it", Left)};
  }
  return DeleteRecordedFile(Path, Pending, Unregister, Removal);
}

}  // namespace

TReportLine RemoveRecordedFile(const std::string& Path, std::set<std::string>& Pending) {
  TRecordedFileRemoval Removal;
  return RemoveCountedFile(Path, Pending, nullptr, Removal);
}

void RemoveEmptyFolders(const std::vector<std::string>& Candidates, std::set<std::string>& Pending,
                        const std::vector<std::string>& Roots, TUninstallReport& Report) {
  std::vector<std::string> Sorted;
  for (const std::string& C : Candidates) Sorted.push_back(RemoveBackslash(Trim(C)));
  // Deepest first, so that a parent is looked at after its children.
  std::stable_sort(Sorted.begin(), Sorted.end(),
                   [](const std::string& A, const std::string& B) { return Depth(A) > Depth(B); });
  for (std::string D : Sorted) {
    while (MayRemoveFolder(D, Roots)) {
      if (DirectoryExists(D) && !Pending.count(Key(D))) {
        const std::vector<std::string> Entries = FolderEntries(D);
        const bool OnlyPending = std::all_of(Entries.begin(), Entries.end(),
                                             [&](const std::string& E) { return Pending.count(E) > 0; });
        if (!OnlyPending) break;
        if (Entries.empty() && RemoveDirectoryA(D.c_str())) {
          Report.Add(TOutcome::Removed, D);
        } else {
          // Windows removes a folder at the start only once it is empty;
          // the items in it are scheduled before it.
          std::string Error;
          if (!DeleteAtRestart(D, Error)) {
            Report.Add(TOutcome::Failed, D, Error);
            break;
          }
          Pending.insert(Key(D));
          Report.Add(TOutcome::AtRestart, D, Entries.empty() ? "in use" : "holds files in use");
        }
      }
      D = ExtractFileDir(D);
    }
  }
}

TReportLine RemoveRegistryValues(const TRecordedRegistryKey& R) {
  const std::string Rel = RelativeKey(R.Key);
  const std::string What = RootKeyName(R.Root) + "\\" + Rel;
  if (Rel.empty()) return {TOutcome::Failed, What, "the recorded key is the root itself"};
  {
    TRegKey K;
    if (!K.Open(R.Root, Rel, false)) return {TOutcome::Absent, What, ""};
    for (const std::string& N : R.ValueNames)
      if (K.ValueExists(N) && !K.DeleteValue(N)) return {TOutcome::Failed, What, K.FailureText()};
  }
  PruneEmptyKeys(R.Root, Rel);
  return {TOutcome::Removed, What, ""};
}

bool ReadUninstallRecord(const std::string& Product, TUninstallRecord& Record) {
  TRegistryStore Machine(hkLocalMachine);
  return ReadUninstallRecord(Machine, Product, Record);
}

TUninstallReport Uninstall(const TUninstallRecord& Record, const TUninstallOptions& Options) {
  TUninstallReport Report;
  std::set<std::string> Pending;
  std::vector<std::string> Folders;
  for (const std::string& U : Record.Unreadable) Report.Add(TOutcome::Failed, U, "unreadable entry of the record");

  TRecordedFileRemoval Removal;
  TRecordStriker Striker;
  // An item stays in the record until it has been dealt with.
  auto Settle = [&](const TReportLine& L, const TRecordPlace& Place) {
    Report.Lines.push_back(L);
    if (L.Outcome != TOutcome::Failed) Striker.StrikeOut(Place);
  };
  // Each folder once: most files share theirs.
  std::set<std::string> SeenFolders;
  auto AddFolder = [&](const std::string& Dir) {
    if (SeenFolders.insert(Key(Dir)).second) Folders.push_back(Dir);
  };

  for (const TRecordedActiveX& A : Record.ActiveX) {
    AddFolder(ExtractFileDir(A.Path));
    const unsigned Timeout = Options.UnregisterTimeoutMs;
    Settle(RemoveCountedFile(A.Path, Pending,
                             [&] { return A.IsProgram ? UnregisterProgram(A.Path, Timeout) : UnregisterLibrary(A.Path); },
                             Removal),
           A.Place);
  }
  for (const TRecordedFile& F : Record.Files) {
    AddFolder(ExtractFileDir(F.Path));
    Settle(RemoveCountedFile(F.Path, Pending, nullptr, Removal), F.Place);
  }
  for (const TRecordedRegistryKey& R : Record.RegistryKeys) Settle(RemoveRegistryValues(R), R.Place);

  const std::string Uninstaller = UninstallerPathOf(Record.UninstallString, Record.Product);
  const bool IsRecordedUninstaller = SameFile(Options.SelfPath, Uninstaller);
  if (!Report.Failed()) {
    if (IsRecordedUninstaller) {
      AddFolder(ExtractFileDir(Uninstaller));
      Report.Lines.push_back(RemoveSelf(Uninstaller, Pending));
    } else if (!Trim(Uninstaller).empty()) {
      // Started from elsewhere (a copy, the kit): the installed uninstaller
      // is a file of the product like any other.
      AddFolder(ExtractFileDir(Uninstaller));
      Report.Lines.push_back(RemoveCountedFile(Uninstaller, Pending, nullptr, Removal));
    }
  }
  RemoveEmptyFolders(Folders, Pending, SystemFolders(), Report);
  // With a failure the record keeps what is left, for the next attempt.
  Striker.Close();
  if (!Report.Failed()) RegDeleteKeyTree(hkLocalMachine, Record.Key);
  return Report;
}
