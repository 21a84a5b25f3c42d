// A whole distribution as an author builds it and a user installs it, under
// Wine: about 100 MB of generated files (many small text files, a few large
// ones, structured binaries, data that is already compressed) in a project
// made into a setup program with the kit's engine, built with -b and
// installed from the self-extracting setup.exe.  Beside it, the same archive
// members inflated by a plain zlib loop in this process.
//
//   wine-run build/win64/bench/bench_install.exe [MEGABYTES] [--keep-payload]   (default 100)
//   wine-run build/win64/bench/bench_install.exe --files N
//
// --files N makes the payload N small files (2 to 8 KB, in four folders)
// instead, and prints the install time per file: it must not grow with N.
// --keep-payload leaves the generated files in %TEMP%\qv_bench_install\payload
// for another installer to be measured on, and the installation with its
// uninstall record for the kit's uninstaller to be timed on (bench/side_by_side.sh).
//
// The kit directory is found beside the bench folder (build/win64/kit) and
// put on the library search path for the build; the old value comes back.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "apps/qvc/routines_ProjectCompiler.h"
#include "archive/cmp_TFileHeaders.h"
#include "bench_support.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_API.h"
#include "environment/routines_Process.h"
#include "environment/routines_Registry.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_ObjectText.h"
#include "rtl/routines_Strings.h"

namespace {

const char* const Product = "QvBench Product";

double Seconds(const std::function<void()>& F) {
  const auto T0 = std::chrono::steady_clock::now();
  F();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
}

[[noreturn]] void Fail(const std::string& What) { BenchFail("bench_install", What); }

// The kit's Format knows no widths.
std::string Numbered(const char* Pattern, int N) {
  char Buf[64];
  std::snprintf(Buf, sizeof Buf, Pattern, N);
  return Buf;
}

// --- the payload ---------------------------------------------------------------------------

enum TKind { kText, kBinary, kRandom, kMixed };

std::string Generate(TKind Kind, size_t Size, uint32_t Seed) {
  std::mt19937 R(Seed);
  static const char* const Words[] = {"setup ", "archive ", "member ", "version ", "install ",
                                      "program ", "files ", "the ", "of ", "a ", "\r\n"};
  std::string S;
  S.reserve(Size);
  while (S.size() < Size) {
    const TKind K = Kind == kMixed ? static_cast<TKind>(R() % 3) : Kind;
    const size_t Block = std::min<size_t>(65536, Size - S.size());
    const size_t End = S.size() + Block;
    switch (K) {
      case kText:
        while (S.size() < End) S += Words[R() % 11];
        S.resize(End);
        break;
      case kBinary:  // records of a table: counters, small numbers, padding
        for (uint32_t i = static_cast<uint32_t>(S.size()); S.size() < End; ++i) {
          const uint32_t V[2] = {i, static_cast<uint32_t>(R() % 1000)};
          S.append(reinterpret_cast<const char*>(V), 8).append(8, '\0');
        }
        S.resize(End);
        break;
      default:
        while (S.size() < End) S += static_cast<char>(R());
        break;
    }
  }
  return S;
}

struct TPayloadFile {
  std::string Group;  // "" for the main group
  std::string Name;
  int64_t Size;
};

std::vector<TPayloadFile> MakePayload(const std::string& Dir, size_t Megabytes) {
  const double Scale = Megabytes / 100.0;
  std::vector<TPayloadFile> Files;
  auto Add = [&](const std::string& Group, const std::string& Name, TKind Kind, size_t Size, uint32_t Seed) {
    const std::string Data = Generate(Kind, Size, Seed);
    TFileStream F(AddBackslash(Dir) + Name, TFileMode::fmCreate);
    F.WriteBuffer(Data.data(), Data.size());
    Files.push_back({Group, Name, static_cast<int64_t>(Data.size())});
  };
  const int Small = static_cast<int>(1000 * Scale);
  for (int i = 0; i < Small; ++i) Add("Small", Numbered("note%04d.txt", i), kText, 2048 + (i * 7919) % 12288, i);
  for (int i = 0; i < 20; ++i) Add("Texts", Numbered("text%02d.txt", i), kText, static_cast<size_t>(1e6 * Scale), 5000 + i);
  for (int i = 0; i < 10; ++i) Add("", Numbered("table%02d.dat", i), kBinary, static_cast<size_t>(3e6 * Scale), 6000 + i);
  for (int i = 0; i < 6; ++i) Add("Media", Numbered("media%02d.zip", i), kRandom, static_cast<size_t>(5e6 * Scale), 7000 + i);
  for (int i = 0; i < 2; ++i) Add("", Numbered("big%02d.bin", i), kMixed, static_cast<size_t>(6e6 * Scale), 8000 + i);
  return Files;
}

// N small text files, spread over the main folder and the three groups.
std::vector<TPayloadFile> MakeSmallFiles(const std::string& Dir, int N) {
  static const char* const Groups[] = {"", "Small", "Texts", "Media"};
  std::vector<TPayloadFile> Files;
  for (int i = 0; i < N; ++i) {
    const std::string Name = Numbered("small%05d.txt", i);
    const std::string Data = Generate(kText, 2048 + (i * 7919) % 6144, 9000 + i);
    TFileStream F(AddBackslash(Dir) + Name, TFileMode::fmCreate);
    F.WriteBuffer(Data.data(), Data.size());
    Files.push_back({Groups[i % 4], Name, static_cast<int64_t>(Data.size())});
  }
  return Files;
}

std::string ProjectText(const std::vector<TPayloadFile>& Files, const std::string& Payload) {
  std::string T =
      "object Form1: TForm1\n"
      "  Caption = 'QvBench'\n"
      "  object psProgramFiles: TpsProgramFiles\n  end\n"
      "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
      "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
      "  object psMainArchiveFile: TpsMainArchiveFile\n  end\n"
      "  object Install1: TInstall\n"
      "    DestDir = '\\" + std::string(Product) + "'\n"
      "    DestDirType = psProgramFiles\n"
      "    Information.ProductName = '" + Product + "'\n"
      "  end\n";
  for (const char* G : {"Small", "Texts", "Media"})
    T += Format("  object %s: TInstallFileGroup\n    Container = Install1\n"
                "    ArchiveFileType = psContainerArchiveFile\n    DestDirType = psContainerDestDir\n"
                "    DestDir = '\\%s'\n  end\n",
                G, G);
  int N = 0;
  for (const TPayloadFile& F : Files)
    T += Format("  object F%d: TInstallFile\n    Container = %s\n    ArchiveFileType = psContainerArchiveFile\n"
                "    DestDirType = psContainerDestDir\n    FileName = '%s'\n    DestName = '%s'\n"
                "    IncludeFromDir = '%s'\n  end\n",
                ++N, F.Group.empty() ? "Install1" : F.Group.c_str(), F.Name, F.Name, RemoveBackslash(Payload));
  return T + "end\n";
}

// --- running the programs ------------------------------------------------------------------

void RunAndWait(const std::string& CommandLine) { ::RunAndWait("bench_install", CommandLine); }

// The largest working set a process of the install reached: the loader
// starts the setup engine as its child, which does the install; the child
// is found while it runs and measured until it ends (the loader's own
// peak when it started none).
struct TInstallRun {
  double PeakMB = 0;
  std::string Measured;  // which process the peak is of
};

TInstallRun RunMeasured(const std::string& CommandLine) {
  STARTUPINFOA Si{};
  Si.cb = sizeof Si;
  PROCESS_INFORMATION Pi{};
  std::string Line = CommandLine;
  if (!CreateProcessA(nullptr, &Line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi))
    Fail("cannot start " + CommandLine);
  CloseHandle(Pi.hThread);
  auto PeakOf = [](HANDLE P) {
    PROCESS_MEMORY_COUNTERS C{};
    C.cb = sizeof C;
    return GetProcessMemoryInfo(P, &C, sizeof C) ? static_cast<size_t>(C.PeakWorkingSetSize) : size_t{0};
  };
  std::vector<std::pair<DWORD, HANDLE>> Children;
  size_t ChildPeak = 0, OwnPeak = 0;
  for (;;) {
    const bool Ended = WaitForSingleObject(Pi.hProcess, 50) == WAIT_OBJECT_0;
    OwnPeak = std::max(OwnPeak, PeakOf(Pi.hProcess));
    // The loader starts one program; the snapshots stop once it is found
    // (each costs the Wine server a walk of every process).
    HANDLE Snap = Children.empty() ? CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0) : INVALID_HANDLE_VALUE;
    if (Snap != INVALID_HANDLE_VALUE) {
      PROCESSENTRY32 E{};
      E.dwSize = sizeof E;
      for (BOOL More = Process32First(Snap, &E); More; More = Process32Next(Snap, &E)) {
        if (E.th32ParentProcessID != Pi.dwProcessId) continue;
        bool Known = false;
        for (const auto& C : Children) Known = Known || C.first == E.th32ProcessID;
        if (Known) continue;
        if (HANDLE H = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, E.th32ProcessID))
          Children.emplace_back(E.th32ProcessID, H);
      }
      CloseHandle(Snap);
    }
    for (const auto& C : Children) ChildPeak = std::max(ChildPeak, PeakOf(C.second));
    if (Ended) break;
  }
  DWORD Code = 0;
  GetExitCodeProcess(Pi.hProcess, &Code);
  CloseHandle(Pi.hProcess);
  for (const auto& C : Children) CloseHandle(C.second);
  if (Code != 0) Fail(Format("%s ended with exit code %d", CommandLine, static_cast<int>(Code)));
  TInstallRun R;
  R.PeakMB = (Children.empty() ? OwnPeak : ChildPeak) / 1048576.0;
  char Own[96];
  std::snprintf(Own, sizeof Own, "the setup engine setup.exe started; setup.exe itself %.1f MB", OwnPeak / 1048576.0);
  R.Measured = Children.empty() ? "setup.exe itself" : Own;
  return R;
}

// --- plain zlib ----------------------------------------------------------------------------

// Inflates every member of Archive into Dir with a plain zlib loop (65,536-
// byte reads and writes, as the engine does); returns the bytes out.
int64_t PlainExtract(const std::string& Archive, const std::string& Dir) {
  TFileStream In(Archive, TFileMode::fmOpenRead);
  TFileHeaders H;
  H.ReadFromStream(In, 0);
  int64_t Total = 0;
  std::vector<uint8_t> Src(65536), Dst(65536);
  for (int i = 0; i < H.Count(); ++i) {
    const TFileHeaderRecord& R = H.GetFileHeaders(i).Rec;
    TFileStream Out(AddBackslash(Dir) + Numbered("m%05d", i), TFileMode::fmCreate);
    In.SetPosition(R.DataStart);
    int64_t Left = int64_t(R.EndPos) - R.DataStart + 1;
    z_stream Z{};
    if (inflateInit(&Z) != Z_OK) Fail("inflateInit");
    int Rc = Z_OK;
    while (Left > 0 && Rc != Z_STREAM_END) {
      const size_t N = In.Read(Src.data(), static_cast<size_t>(std::min<int64_t>(Left, Src.size())));
      if (N == 0) break;
      Left -= static_cast<int64_t>(N);
      Z.next_in = Src.data();
      Z.avail_in = static_cast<uInt>(N);
      while (Z.avail_in > 0 && Rc != Z_STREAM_END) {
        Z.next_out = Dst.data();
        Z.avail_out = static_cast<uInt>(Dst.size());
        Rc = inflate(&Z, Z_NO_FLUSH);
        if (Rc != Z_OK && Rc != Z_STREAM_END) Fail(Format("inflate error %d in member %d", Rc, i));
        Out.WriteBuffer(Dst.data(), Dst.size() - Z.avail_out);
      }
    }
    inflateEnd(&Z);
    if (Out.Size() != R.FileSize) Fail(Format("member %d inflated to a wrong size", i));
    Total += R.FileSize;
  }
  return Total;
}

void Row(const char* What, double Seconds, double Bytes) {
  std::printf("%-34s %8.2f s %9.1f MB/s\n", What, Seconds, Bytes / (1024.0 * 1024.0) / Seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const bool Small = argc == 3 && std::string(argv[1]) == "--files";
  const int SmallCount = Small ? std::atoi(argv[2]) : 0;
  const size_t MB = Small ? 0 : argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 100;
  const bool KeepPayload = !Small && argc > 2 && std::string(argv[2]) == "--keep-payload";
  if (Small ? SmallCount < 1 : (MB < 1 || (argc > 2 && !KeepPayload) || argc > 3))
    Fail("usage: bench_install [MEGABYTES] [--keep-payload] | --files N");
  const std::string Kit = AddBackslash(BenchBuildDir()) + "kit";
  const std::string Engine = AddBackslash(Kit) + "QuorvaneSetup.exe";
  if (!FileExists(Engine)) Fail("no setup engine at " + Engine);

  const std::string Work = AddBackslash(TempDirectory()) + "qv_bench_install";
  RemoveDirTree(Work);
  const std::string Payload = Work + "\\payload", Setup = Work + "\\setup\\Setup.exe", Dist = Work + "\\dist";
  ForceDirectories(Payload);
  ForceDirectories(Work + "\\setup");
  const std::string Target = AddBackslash(GetProgramFilesDir()) + Product;
  // A first installation: no folder and no record left by an earlier run.
  const std::string Record = std::string("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + Product;
  RemoveDirTree(Target);
  RegDeleteKeyTree(hkLocalMachine, Record);

  std::vector<TPayloadFile> Files;
  const double Gen =
      Seconds([&] { Files = Small ? MakeSmallFiles(Payload, SmallCount) : MakePayload(Payload, MB); });
  int64_t Bytes = 0;
  for (const TPayloadFile& F : Files) Bytes += F.Size;
  std::printf("payload: %zu files, %.1f MB, generated in %.2f s\n", Files.size(), Bytes / 1048576.0, Gen);

  WriteSetupProgram(Engine, Setup, ObjectTextToBinary(ProjectText(Files, Payload)), "QvBench Setup");
  WriteBuildInf(Setup, Dist);
  double Build = 0;
  {
    TKitOnSearchPath OnPath(Kit);
    Build = Seconds([&] { RunAndWait(Quote(Setup) + " -b"); });
  }
  const std::string Files1 = Dist + "\\files.1";
  if (!FileExists(Files1)) Fail("the build made no files.1");
  const int64_t Archive = FileSizeByName(Files1);
  std::printf("archive: files.1 %.1f MB (%.0f%% of the payload), setup.exe %.1f MB\n", Archive / 1048576.0,
              100.0 * Archive / Bytes, FileSizeByName(Dist + "\\setup.exe") / 1048576.0);

  TInstallRun Run;
  const double Install = Seconds([&] { Run = RunMeasured(Quote(Dist + "\\setup.exe")); });
  int Missing = 0;
  for (const TPayloadFile& F : Files) {
    const std::string Dest = Target + (F.Group.empty() ? "" : "\\" + F.Group) + "\\" + F.Name;
    if (FileSizeByName(Dest) != F.Size) ++Missing;
  }
  if (Missing) Fail(Format("%d files were not installed as built", Missing));

  const std::string Plain = Work + "\\plain";
  ForceDirectories(Plain);
  int64_t Inflated = 0;
  const double Zlib = Seconds([&] { Inflated = PlainExtract(Files1, Plain); });

  std::printf("%-34s %10s %14s\n", "", "time", "throughput");
  Row("build (-b: compress, self-extractor)", Build, static_cast<double>(Bytes));
  Row("install (setup.exe, every file)", Install, static_cast<double>(Bytes));
  Row("plain zlib inflate of files.1", Zlib, static_cast<double>(Inflated));
  std::printf("install takes %.1f times the plain inflate\n", Install / Zlib);
  if (Small) std::printf("per file: %.3f ms (%d files)\n", Install * 1000.0 / Files.size(), SmallCount);
  std::printf("peak working set: %.1f MB (%s)\n", Run.PeakMB, Run.Measured.c_str());

  if (!KeepPayload) {
    RemoveDirTree(Target);
    RegDeleteKeyTree(hkLocalMachine, Record);
    RemoveDirTree(Work);
    return 0;
  }
  RemoveDirTree(Plain);
  RemoveDirTree(Dist);
  RemoveDirTree(Work + "\\setup");
  std::printf("payload kept in %s\n", Payload.c_str());
  return 0;
}
