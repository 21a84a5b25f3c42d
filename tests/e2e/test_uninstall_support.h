// What the uninstaller, build and project compiler tests share: running the
// kit's programs with their output captured or their message boxes answered, the kit on the library search path,
// compiling and building a project, and snapshots of folders and registry
// keys to compare before and after.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "environment/routines_Registry.h"

struct TProgramRun {
  bool Ended = false;  // false: it did not start, or hung and was ended
  DWORD ExitCode = 0;
  std::string Output, Errors;
};

std::string Quote(const std::string& S);
// Runs a command line and waits for it; standard output and error are
// captured through files.  Meanwhile runs once the program has started
// (to answer its windows).
TProgramRun RunCaptured(const std::string& CommandLine, DWORD TimeoutMs = 180000,
                        const std::function<void()>& Meanwhile = nullptr);
// Starts without waiting; WaitProgram collects the result.
HANDLE StartProgram(const std::string& CommandLine);
TProgramRun WaitProgram(HANDLE Process, DWORD TimeoutMs = 180000);

struct TBoxedRun {
  bool Ended = false;
  DWORD ExitCode = 0;
  std::vector<std::string> Boxes;  // the messages shown, in order
};
// Runs a command line to its end, answering every message box titled Title
// with OK and recording its message.
TBoxedRun RunAnsweringBoxes(const std::string& CommandLine, const std::string& Title);

// A program of the kit directory of this build.
std::string KitProgram(const std::string& Name);
std::string QvautoProgram();

// Puts the build's kit directory on the library search path, where the
// setup program looks for the loading program; the old value comes back at
// the end.
class TKitOnSearchPath {
 public:
  TKitOnSearchPath();
  ~TKitOnSearchPath();
  TKitOnSearchPath(const TKitOnSearchPath&) = delete;
  TKitOnSearchPath& operator=(const TKitOnSearchPath&) = delete;

 private:
  bool FHad = false;
  std::string FOld;
};

// Every file and folder below Dir with its size, one per line, sorted.
std::string FolderSnapshot(const std::string& Dir);
// Every key and value below Key, with types and data, sorted.
std::string RegistrySnapshot(TRootKeys Root, const std::string& Key);

// Writes the project text to Folder\project.dfm and compiles it with the
// kit's qvc into Folder\setup\Setup.exe, building into Folder\dist.
TProgramRun CompileProjectFile(const std::string& Folder, const std::string& ProjectText,
                               const std::string& Extra = "");
// The above, then "Setup.exe -b"; the distribution is in Folder\dist.
// Empty on success, else what went wrong.
std::string BuildDistribution(const std::string& Folder, const std::string& ProjectText);
// "Folder\setup\Setup.exe -b" for a setup program already there; checks
// for setup.exe and setup.1 (a distribution fetched from the net may have
// no files.1).
std::string BuildCompiled(const std::string& Folder);

// The "PendingFileRenameOperations" list of the session manager, and
// putting a saved one back.
std::string PendingRenames();
void RestorePendingRenames(const std::string& Saved, bool Existed);
bool PendingRenamesExist();
