// The loading program: the first part of a self-extracting setup.exe, or a
// plain program beside setup.1.  It unpacks the setup archive into a fresh
// temporary folder, starts the setup program found there with the switches
// that tell it where the distribution lies, waits for it and removes the
// temporary folder again.
//
//   self-extracting:  <temp>\setup.exe "-s<folder>" "-e<file name>" -c [-f]
//   plain (setup.1 beside the loader):  <temp>\setup.exe "-s<folder>" -c [-f]
//
// -f is passed when the loader was started with the argument *TODISK.
//
// Environment variables, read by the tests and harmless otherwise:
//   QV_LOADER_TRACE=<path>  append the command line started (one line) and
//                           every failure message ("message: <text>") to it;
//   QV_LOADER_QUIET=1       report failures only to the trace, without the
//                           message box that would wait for a user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/cmp_TFileHeaders.h"
#include "rtl/cmp_TStream.h"
#include "rtl/exceptions_Quorvane.h"

// A failure of the loader; its message is shown to the user as it stands.
QV_DECLARE_EXCEPTION(ELoadProgram, Exception)

// The exit code when the loader itself fails (the setup program's own code
// is passed on otherwise).
constexpr int LoaderFailedExitCode = 255;

// Where the setup archive lies and what the setup program is told.
struct TLoaderPlan {
  std::string Archive;          // the self-extracting file, or setup.1 beside the loader
  int32_t Offset = 0;           // first byte of the setup archive inside Archive
  std::string SourceDir;        // the distribution folder, no trailing backslash
  std::string SelfExtractName;  // file name of the self-extracting file; empty when plain
  bool ToDisk = false;          // started with *TODISK: copy the distribution to floppies
  // The loader's own file when it carries data behind its image but no
  // trailer that leads to it: a self-extracting file cut short or damaged.
  std::string DamagedSelfExtractor;
};

// "*TODISK" in any letter case.
bool IsToDiskArgument(const std::string& Arg);

// Reads the trailer at the end of the loader's own file.  True only for a
// trailer whose setup archive begins behind the loader's image (ImageEnd:
// the end of the sections in the file), lies inside the file and is long
// enough for an archive; the signature is not checked, as readers never
// did.  Anything else means the loader stands alone.
bool ReadLoaderTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& Trailer);

// The plan for a loader whose file is OwnFile.
TLoaderPlan PlanDistribution(const std::string& OwnFile, int64_t ImageEnd, bool ToDisk);

// Arg as one argument of a Windows command line: unchanged unless it is
// empty or holds a blank or a quote; then quoted, with the backslashes in
// front of a quote doubled as the runtime's parser expects.
std::string QuoteArgument(const std::string& Arg);

// The command line that starts SetupProgram for Plan.
std::string SetupCommandLine(const std::string& SetupProgram, const TLoaderPlan& Plan);

// Unpacks every member of the setup archive into Folder under the file-name
// part of its stored path and returns the path of the first member, the
// setup program.  A missing or damaged archive raises ELoadProgram.
std::string UnpackSetupArchive(const TLoaderPlan& Plan, const std::string& Folder);

// A new, empty folder with a unique name in the temporary folder, removed
// with everything in it when the object goes (unless kept).
class TTempFolder {
 public:
  TTempFolder();  // raises ELoadProgram when no folder can be made
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return FPath; }
  // Leave the folder where it is.
  void Keep() { FKeep = true; }
  // Removes the folder, retrying for a few seconds while a file in it is
  // still locked; true when it is gone.
  bool Remove();

 private:
  std::string FPath;
  bool FKeep = false;
};

// True when a RunOnce command refers to something inside Folder: a setup
// program that asked for a restart resumes from its temporary copy, so the
// copy must outlive this run.
bool FolderNeededAfterRestart(const std::string& Folder);

// The whole program; Args are the loader's arguments without its own name.
int RunLoader(const std::vector<std::string>& Args);
