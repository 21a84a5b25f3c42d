// How long a user waits for the first wizard page, under Wine: the sample
// product's distribution built as its author builds it (qvc compiles the
// project, the setup program builds it with -b), then its self-extracting
// setup.exe, the plain distribution (the loading program beside setup.1 and
// files.1) and the setup program alone (started as the loader starts it)
// run in turns, each timed from CreateProcess until the "Select a language"
// page shows.  Each run then cancels the wizard (Yes to the question),
// finishes the failure page and waits for the programs to end; what the run
// left (a temporary file or folder, an install record) fails the benchmark.
//
//   wine-run build/win64/bench/bench_first_page.exe [RUNS]   (default 9, after the first)
//
// The Wine server is up when the benchmark starts (wine-run started it for
// the benchmark itself), so the first run finds a warm Wine, though the new
// files and the setup program's own code are still cold; it is printed
// apart and the others give the median and the worst.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "engine/routines_InstallRecord.h"
#include "environment/routines_Registry.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"
#include "test_paths.h"
#include "window_support.h"

namespace {

const char* const Bench = "bench_first_page";
const char* const FirstPage = "Select a language";
const char* const FailurePage = "Setup incomplete";
// The title of the sample's message boxes: the question Cancel asks.
const char* const Question = "Quorvane Sample Installation";
constexpr DWORD PollMs = 5;
constexpr DWORD PageLimitMs = 30000;

[[noreturn]] void Fail(const std::string& What) { BenchFail(Bench, What); }

// The visible top-level window titled Title (its own caption, read without
// a message to its program) that shows a visible button captioned Button
// ("&" ignored).
struct TPageSearch {
  const char* Title;
  const char* Button;
  HWND Found;
};

// Named callbacks, not lambdas: the 32-bit build needs their stdcall.
BOOL CALLBACK MatchPage(HWND H, LPARAM P) {
  auto* C = reinterpret_cast<TPageSearch*>(P);
  char Text[256] = {};
  if (!IsWindowVisible(H) || !GetWindowTextA(H, Text, sizeof Text) || std::string(Text) != C->Title) return TRUE;
  for (HWND Child : ChildWindows(H)) {
    char B[64] = {};
    GetWindowTextA(Child, B, sizeof B);
    std::string Caption(B);
    Caption.erase(std::remove(Caption.begin(), Caption.end(), '&'), Caption.end());
    if (IsWindowVisible(Child) && Caption == C->Button) {
      C->Found = Child;
      return FALSE;
    }
  }
  return TRUE;
}

BOOL CALLBACK AddVisibleWindow(HWND H, LPARAM P) {
  char Text[256] = {};
  if (IsWindowVisible(H) && GetWindowTextA(H, Text, sizeof Text)) *reinterpret_cast<std::string*>(P) += std::string(" \"") + Text + "\"";
  return TRUE;
}

HWND FindPage(const char* Title, const char* Button) {
  TPageSearch C{Title, Button, nullptr};
  EnumWindows(MatchPage, reinterpret_cast<LPARAM>(&C));
  return C.Found;
}

std::string VisibleWindows() {
  std::string List;
  EnumWindows(AddVisibleWindow, reinterpret_cast<LPARAM>(&List));
  return List.empty() ? " none" : List;
}

// Waits for the page's button; null when the program ended or the time ran out.
HWND WaitForPage(HANDLE Process, const char* Title, const char* Button, DWORD LimitMs) {
  for (const DWORD Start = GetTickCount(); GetTickCount() - Start < LimitMs; Sleep(PollMs)) {
    if (HWND B = FindPage(Title, Button)) return B;
    if (WaitForSingleObject(Process, 0) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

// The install records of every setup program on the machine.
std::vector<std::string> InstallRecords() {
  TRegKey K;
  std::vector<std::string> Subs;
  if (K.OpenReadOnly(hkLocalMachine, InstallRecordRoot)) K.GetKeyNames(Subs);
  std::sort(Subs.begin(), Subs.end());
  return Subs;
}

// One user start of Setup: the milliseconds until the first page shows.
// The wizard is then cancelled (Yes to the question), the failure page
// finished, and the run
// waits until the loading program has ended and the temporary folder is
// as before.
double TimeFirstPage(const std::string& Setup, const std::string& Args = "") {
  const std::vector<std::string> TempBefore = FolderNames(TempDirectory()), RecordsBefore = InstallRecords();
  STARTUPINFOA Si{};
  Si.cb = sizeof Si;
  PROCESS_INFORMATION Pi{};
  std::string Line = Quote(Setup) + Args;
  const std::string Dir = ExtractFileDir(Setup);
  const auto T0 = std::chrono::steady_clock::now();
  if (!CreateProcessA(nullptr, &Line[0], nullptr, nullptr, FALSE, 0, nullptr, Dir.c_str(), &Si, &Pi))
    Fail("cannot start " + Setup + ": error " + std::to_string(GetLastError()));
  CloseHandle(Pi.hThread);
  HWND Next = WaitForPage(Pi.hProcess, FirstPage, "Next >", PageLimitMs);
  const double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count();
  if (!Next) {
    const std::string Shown = VisibleWindows();
    TerminateProcess(Pi.hProcess, 1);
    Fail(Format("%s showed no \"%s\" page within %d s; windows:%s", Setup, FirstPage, int(PageLimitMs / 1000), Shown));
  }
  // Cancel, as a user would, and Yes to the question; the failure page
  // follows, and Finish ends it.
  HWND Cancel = FindPage(FirstPage, "Cancel");
  if (!Cancel) Fail("the first page has no Cancel button");
  PostMessageA(Cancel, BM_CLICK, 0, 0);
  HWND Yes = WaitForPage(Pi.hProcess, Question, "Yes", PageLimitMs);
  if (!Yes) Fail(Format("Cancel asked no question; windows:%s", VisibleWindows()));
  PostMessageA(Yes, BM_CLICK, 0, 0);
  HWND Finish = WaitForPage(Pi.hProcess, FailurePage, "Finish", PageLimitMs);
  if (!Finish) Fail(Format("no \"%s\" page after Cancel; windows:%s", FailurePage, VisibleWindows()));
  PostMessageA(Finish, BM_CLICK, 0, 0);
  if (WaitForSingleObject(Pi.hProcess, PageLimitMs) != WAIT_OBJECT_0) {
    TerminateProcess(Pi.hProcess, 1);
    Fail(Setup + " did not end after Finish");
  }
  CloseHandle(Pi.hProcess);
  // The setup program's clean-up batch may still be erasing its copy.
  for (int i = 0; i < 100 && FolderNames(TempDirectory()) != TempBefore; ++i) Sleep(100);
  if (FolderNames(TempDirectory()) != TempBefore) Fail("the run left files in the temporary folder");
  if (InstallRecords() != RecordsBefore) Fail("the cancelled run left its install record");
  return Ms;
}

void Report(const char* What, std::vector<double> Ms) {
  const double First = Ms.front();
  Ms.erase(Ms.begin());
  std::sort(Ms.begin(), Ms.end());
  std::printf("%-32s first %6.0f ms   median %6.0f ms   worst %6.0f ms   (%zu runs after the first)\n", What, First,
              Ms[Ms.size() / 2], Ms.back(), Ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int Runs = argc > 1 ? std::atoi(argv[1]) : 9;
  if (Runs < 1 || argc > 2) Fail("usage: bench_first_page [RUNS]");
  const std::string Build = BenchBuildDir();
  const std::string Kit = Build + "\\kit";
  const std::string Project = Build + "\\examples\\sample\\project.dfm";
  if (!FileExists(Kit + "\\qvc.exe") || !FileExists(Project)) Fail("no kit or sample project in " + Build);

  // The author's two steps, as the sample cycle takes them.
  const std::string Work = AddBackslash(TempDirectory()) + "qv_bench_first_page";
  RemoveDirTree(Work);
  const std::string Stage = Work + "\\stage\\QvSampleSetup.exe", Dist = Work + "\\dist", Plain = Work + "\\plain";
  ForceDirectories(Work + "\\stage");
  ForceDirectories(Plain);
  if (RunAndWait(Bench, Quote(Kit + "\\qvc.exe") + " " + Quote(Project) + " " + Quote(Stage) + " --build-dir " +
                            Quote(Dist)) != 0)
    Fail("qvc did not compile the sample project");
  {
    TKitOnSearchPath OnPath(Kit);
    if (RunAndWait(Bench, Quote(Stage) + " -b") != 0) Fail("the sample's -b build failed");
  }
  for (const char* F : {"setup.exe", "setup.1", "files.1"})
    if (!FileExists(Dist + "\\" + F)) Fail(std::string("the build made no ") + F);
  for (const char* F : {"setup.1", "files.1"})
    if (!CopyFileA((Dist + "\\" + F).c_str(), (Plain + "\\" + F).c_str(), FALSE)) Fail("cannot copy the distribution");
  if (!CopyFileA((Kit + "\\QuorvaneLoadProgram.exe").c_str(), (Plain + "\\setup.exe").c_str(), FALSE))
    Fail("cannot copy the loading program");

  std::printf("time from starting setup.exe to the visible \"%s\" page, under Wine with its server running\n",
              FirstPage);
  std::printf("(the first run is the first start of the new files; the others start them again)\n");
  std::vector<double> SelfExtracting, PlainRuns, Alone;
  // Taken in turns, so that all meet the same machine.  The setup program
  // started as the loading program starts it, without the loader, tells
  // the loader's share.
  for (int i = 0; i <= Runs; ++i) {
    SelfExtracting.push_back(TimeFirstPage(Dist + "\\setup.exe"));
    PlainRuns.push_back(TimeFirstPage(Plain + "\\setup.exe"));
    Alone.push_back(TimeFirstPage(Stage, " " + Quote("-s" + Dist)));
  }
  Report("self-extracting setup.exe", SelfExtracting);
  Report("plain (loader, setup.1, files.1)", PlainRuns);
  Report("setup program alone (no loader)", Alone);
  RemoveDirTree(Work);
  return 0;
}
