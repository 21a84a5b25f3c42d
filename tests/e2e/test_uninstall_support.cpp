#include "test_uninstall_support.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/cmp_TInstall.h"
#include "rtl/routines_Format.h"
#include "test_paths.h"
#include "window_support.h"

namespace {

const char* const SessionManagerKey = "\\System\\CurrentControlSet\\Control\\Session Manager";
const char* const PendingValue = "PendingFileRenameOperations";

HANDLE InheritableFile(const std::string& Name) {
  SECURITY_ATTRIBUTES SA{sizeof SA, nullptr, TRUE};
  return CreateFileA(Name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &SA, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE Start(const std::string& CommandLine, HANDLE Out, HANDLE Err) {
  std::vector<char> Line(CommandLine.begin(), CommandLine.end());
  Line.push_back('\0');
  STARTUPINFOA SI{};
  SI.cb = sizeof SI;
  if (Out) {
    SI.dwFlags = STARTF_USESTDHANDLES;
    SI.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    SI.hStdOutput = Out;
    SI.hStdError = Err;
  }
  PROCESS_INFORMATION PI{};
  // A program file copied a moment ago is now and then refused by Wine for a
  // short while; a few tries tell that apart from one that cannot start.
  for (int Try = 1;; ++Try) {
    if (CreateProcessA(nullptr, Line.data(), nullptr, nullptr, Out ? TRUE : FALSE, 0, nullptr, nullptr, &SI, &PI))
      break;
    const DWORD Error = GetLastError();
    fprintf(stderr, "CreateProcess failed (error %lu, try %d): %s\n", static_cast<unsigned long>(Error), Try,
            CommandLine.c_str());
    if (Try == 5) return nullptr;
    Sleep(200 * Try);
  }
  CloseHandle(PI.hThread);
  return PI.hProcess;
}

void Snapshot(const std::string& Dir, const std::string& Rel, std::vector<std::string>& Lines) {
  WIN32_FIND_DATAA D;
  HANDLE H = FindFirstFileA((AddBackslash(Dir) + "*").c_str(), &D);
  if (H == INVALID_HANDLE_VALUE) return;
  do {
    const std::string N = D.cFileName;
    if (N == "." || N == "..") continue;
    const std::string R = Rel.empty() ? N : Rel + "\\" + N;
    if (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Lines.push_back(R + "\\");
      Snapshot(AddBackslash(Dir) + N, R, Lines);
    } else {
      Lines.push_back(Format("%s %u", R, static_cast<unsigned>(D.nFileSizeLow)));
    }
  } while (FindNextFileA(H, &D));
  FindClose(H);
}

void RegSnapshot(TRootKeys Root, const std::string& Key, std::vector<std::string>& Lines) {
  TRegKey K;
  if (!K.OpenReadOnly(Root, Key)) return;
  Lines.push_back(Key + "\\");
  std::vector<std::string> Values, Keys;
  K.GetValueNames(Values);
  for (const std::string& V : Values) {
    std::vector<uint8_t> Data;
    K.ReadBinary(V, Data);
    std::string Hex;
    for (uint8_t B : Data) Hex += Format("%x ", static_cast<unsigned>(B));
    Lines.push_back(Key + "\\" + V + " = " + Hex);
  }
  K.GetKeyNames(Keys);
  K.Close();
  for (const std::string& S : Keys) RegSnapshot(Root, Key + "\\" + S, Lines);
}

std::string Joined(std::vector<std::string> Lines) {
  std::sort(Lines.begin(), Lines.end(), [](const std::string& A, const std::string& B) {
    return UpperCase(A) < UpperCase(B);
  });
  std::string R;
  for (const std::string& L : Lines) R += L + "\n";
  return R;
}

}  // namespace

std::string Quote(const std::string& S) { return "\"" + S + "\""; }

HANDLE StartProgram(const std::string& CommandLine) { return Start(CommandLine, nullptr, nullptr); }

TProgramRun WaitProgram(HANDLE Process, DWORD TimeoutMs) {
  TProgramRun R;
  if (!Process) return R;
  if (WaitForSingleObject(Process, TimeoutMs) == WAIT_OBJECT_0)
    R.Ended = GetExitCodeProcess(Process, &R.ExitCode) != 0;
  else
    TerminateProcess(Process, 99);
  CloseHandle(Process);
  return R;
}

TProgramRun RunCaptured(const std::string& CommandLine, DWORD TimeoutMs, const std::function<void()>& Meanwhile) {
  const std::string OutName = CreateTempFileName("qvo"), ErrName = CreateTempFileName("qve");
  HANDLE Out = InheritableFile(OutName), Err = InheritableFile(ErrName);
  HANDLE P = Start(CommandLine, Out, Err);
  CloseHandle(Out);
  CloseHandle(Err);
  if (P && Meanwhile) Meanwhile();
  TProgramRun R = WaitProgram(P, TimeoutMs);
  R.Output = ReadTestFile(OutName);
  R.Errors = ReadTestFile(ErrName);
  DeleteFileA(OutName.c_str());
  DeleteFileA(ErrName.c_str());
  return R;
}

namespace {

// A visible dialog box titled Title, of any process.
HWND FindBox(const std::string& Title) {
  struct TFind {
    const std::string& Title;
    HWND Found;
  } F{Title, nullptr};
  EnumWindows(
      [](HWND H, LPARAM P) -> BOOL {
        auto* F = reinterpret_cast<TFind*>(P);
        if (IsWindowVisible(H) && WindowText(H) == F->Title && WindowClass(H) == "#32770") {
          F->Found = H;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&F));
  return F.Found;
}

// The message of a message box: its static texts.
std::string BoxMessage(HWND Box) {
  std::string R;
  for (HWND C : ChildWindows(Box))
    if (WindowClass(C) == "Static" && !WindowText(C).empty()) R += (R.empty() ? "" : "\n") + WindowText(C);
  return R;
}

bool Press(HWND Box, const std::string& Button) {
  for (HWND C : ChildWindows(Box))
    if (WindowClass(C) == "Button" && WindowText(C) == Button) {
      DWORD_PTR Result;
      SendMessageTimeoutA(C, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &Result);
      for (int i = 0; i < 100 && IsWindow(Box); ++i) Sleep(50);
      return !IsWindow(Box);
    }
  return false;
}

}  // namespace

TBoxedRun RunAnsweringBoxes(const std::string& CommandLine, const std::string& Title) {
  TBoxedRun R;
  HANDLE P = StartProgram(CommandLine);
  if (!P) return R;
  for (DWORD Start = GetTickCount(); GetTickCount() - Start < 120000;) {
    if (HWND Box = FindBox(Title)) {
      R.Boxes.push_back(BoxMessage(Box));
      if (!Press(Box, "OK")) break;
      continue;
    }
    if (WaitForSingleObject(P, 100) == WAIT_OBJECT_0) break;
  }
  const TProgramRun Done = WaitProgram(P, 5000);
  R.Ended = Done.Ended;
  R.ExitCode = Done.ExitCode;
  return R;
}

std::string KitProgram(const std::string& Name) { return BuildTreePath("kit\\" + Name); }
std::string QvautoProgram() { return BuildTreePath("tests\\qvauto.exe"); }

TKitOnSearchPath::TKitOnSearchPath() {
  TRegKey K;
  if (K.OpenReadOnly(hkCurrentUser, KitSearchPathKey)) FHad = K.ReadString("Search Path", FOld);
  RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", RemoveBackslash(BuildTreePath("kit")));
}

TKitOnSearchPath::~TKitOnSearchPath() {
  if (FHad) {
    RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", FOld);
    return;
  }
  TRegKey K;
  if (K.Open(hkCurrentUser, KitSearchPathKey, false)) K.DeleteValue("Search Path");
}

std::string FolderSnapshot(const std::string& Dir) {
  std::vector<std::string> Lines;
  Snapshot(Dir, "", Lines);
  return Joined(Lines);
}

std::string RegistrySnapshot(TRootKeys Root, const std::string& Key) {
  std::vector<std::string> Lines;
  RegSnapshot(Root, Key, Lines);
  return Joined(Lines);
}

TProgramRun CompileProjectFile(const std::string& Folder, const std::string& ProjectText, const std::string& Extra) {
  const std::string Project = AddBackslash(Folder) + "project.dfm";
  WriteTestFile(Project, ProjectText);
  ForceDirectories(AddBackslash(Folder) + "setup");
  return RunCaptured(Quote(KitProgram("qvc.exe")) + " " + Quote(Project) + " " +
                     Quote(AddBackslash(Folder) + "setup\\Setup.exe") + " --build-dir " +
                     Quote(AddBackslash(Folder) + "dist") + Extra);
}

std::string BuildDistribution(const std::string& Folder, const std::string& ProjectText) {
  const TProgramRun C = CompileProjectFile(Folder, ProjectText);
  if (!C.Ended || C.ExitCode != 0) return "qvc failed: " + C.Errors + C.Output;
  const std::string Problem = BuildCompiled(Folder);
  if (!Problem.empty()) return Problem;
  if (!FileExists(AddBackslash(Folder) + "dist\\files.1")) return "the build made no files.1";
  return "";
}

std::string BuildCompiled(const std::string& Folder) {
  TKitOnSearchPath Kit;
  HANDLE P = StartProgram(Quote(AddBackslash(Folder) + "setup\\Setup.exe") + " -b");
  if (!P) return "the setup program did not start";
  // A build reports its failures in a message box: show what it says.
  if (WaitForSingleObject(P, 120000) != WAIT_OBJECT_0) {
    const std::string Windows = RunCaptured(Quote(QvautoProgram()) + " list").Output;
    WaitProgram(P, 0);
    return "the build did not end; windows:\n" + Windows;
  }
  WaitProgram(P, 0);
  for (const char* F : {"setup.exe", "setup.1"})
    if (!FileExists(AddBackslash(Folder) + "dist\\" + F)) return std::string("the build made no ") + F;
  return "";
}

std::string PendingRenames() {
  TRegKey K;
  std::vector<uint8_t> Data;
  if (!K.OpenReadOnly(hkLocalMachine, SessionManagerKey) || !K.ReadBinary(PendingValue, Data)) return "";
  // A list of strings, each ended by a zero, the list by another: one per
  // line here.
  std::string R;
  for (uint8_t B : Data) R += B ? static_cast<char>(B) : '\n';
  return R;
}

bool PendingRenamesExist() {
  TRegKey K;
  return K.OpenReadOnly(hkLocalMachine, SessionManagerKey) && K.ValueExists(PendingValue);
}

void RestorePendingRenames(const std::string& Saved, bool Existed) {
  TRegKey K;
  if (!K.Open(hkLocalMachine, SessionManagerKey, false)) return;
  if (!Existed) {
    K.DeleteValue(PendingValue);
    return;
  }
  std::string Multi = Saved;
  for (char& C : Multi)
    if (C == '\n') C = '\0';
  RegSetValueExA(K.Handle(), PendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(Multi.data()),
                 static_cast<DWORD>(Multi.size()));
}
