// What the Windows benchmarks share: failing with a message, starting the
// kit's programs and waiting for them, and the kit's folder on the library
// search path while a setup program builds its distribution.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/routines_Distribution.h"
#include "environment/routines_Process.h"
#include "environment/routines_Registry.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

[[noreturn]] inline void BenchFail(const char* Bench, const std::string& What) {
  std::fprintf(stderr, "%s: %s\n", Bench, What.c_str());
  std::exit(1);
}

inline std::string Quote(const std::string& S) { return "\"" + S + "\""; }

// Runs CommandLine to its end; its exit code.
inline DWORD RunAndWait(const char* Bench, const std::string& CommandLine) {
  TProcessStart Start;
  Start.CommandLine = CommandLine;
  Start.Wait = TProcessWait::Exit;
  const TProcessRun Run = RunProcess(Start);
  if (!Run.Started) BenchFail(Bench, "cannot start " + CommandLine + ": " + Run.Failure);
  return Run.ExitCode;
}

// The build tree the benchmark belongs to: the folder above its own.
inline std::string BenchBuildDir() {
  char Self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Self, MAX_PATH);
  return ExtractFileDir(ExtractFileDir(Self));
}

// The kit folder first on the search path, where -b looks for the loading
// program and the uninstaller; the old value comes back afterwards, and
// keys that were made for it go again.
class TKitOnSearchPath {
 public:
  explicit TKitOnSearchPath(const std::string& Kit)
      : FSaved(RegReadString(hkCurrentUser, KitSearchPathKey, "Search Path", "")) {
    // The outermost key of the path that is not there yet.
    const std::string Path = KitSearchPathKey;
    for (size_t At = Path.find('\\', 1);; At = Path.find('\\', At + 1)) {
      const std::string Part = Path.substr(0, At);
      TRegKey K;
      if (!K.OpenReadOnly(hkCurrentUser, Part)) {
        FMade = Part;
        break;
      }
      if (At == std::string::npos) break;
    }
    RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", Kit);
  }
  ~TKitOnSearchPath() {
    if (!FSaved.empty()) {
      RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", FSaved);
    } else if (!FMade.empty()) {
      RegDeleteKeyTree(hkCurrentUser, FMade);
    } else {
      TRegKey K;
      if (K.Open(hkCurrentUser, KitSearchPathKey, false)) K.DeleteValue("Search Path");
    }
  }
  TKitOnSearchPath(const TKitOnSearchPath&) = delete;
  TKitOnSearchPath& operator=(const TKitOnSearchPath&) = delete;

 private:
  std::string FSaved;
  std::string FMade;
};
