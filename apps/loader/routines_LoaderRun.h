// The loading program as it runs: the first part of a self-extracting
// setup.exe, or a plain program beside setup.1.  It unpacks the setup archive
// into a fresh temporary folder, starts the setup program found there with
// the switches that tell it where the distribution lies, waits for it and
// removes the temporary folder again.
//
//   self-extracting:  <temp>\setup.exe "-s<folder>" "-e<file name>" -c [-f]
//   plain (setup.1 beside the loader):  <temp>\setup.exe "-s<folder>" -c [-f]
//
// -f is passed when the loader was started with the argument *TODISK; every
// other argument of the loader (the administrator's /SILENT, /LOG=... of
// the setup program) follows, each quoted.  With /VERYSILENT or
// /SUPPRESSMSGBOXES a failure of the loader shows no message box, and with
// /LOG=<file> it is appended to that log.
//
// Environment variables, read by the tests and harmless otherwise:
//   QV_LOADER_TRACE=<path>  append the command line started (one line) and
//                           every failure message ("message: <text>") to it;
//   QV_LOADER_QUIET=1       report failures only to the trace, without the
//                           message box that would wait for a user.
//
// The loader travels in front of every self-extracting setup.exe, so it is
// written against the Windows API, zlib and the archive layout alone
// (archive/routines_ArchiveLayout.h): no C++ library, no exceptions.  A
// failure is a message that goes back up to RunLoader.
#pragma once

#include <cstddef>
#include <cstdint>

// The exit code when the loader itself fails, the setup program's for a
// failure (the setup program's own code is passed on otherwise).
constexpr int LoaderFailedExitCode = 1;

// A growing text on the process heap.  Running out of memory ends the
// loader with LoaderFailedExitCode: there is nothing sensible left to do.
class TLoaderText {
 public:
  TLoaderText() = default;
  explicit TLoaderText(const char* S) { Append(S); }
  ~TLoaderText();
  TLoaderText(const TLoaderText&) = delete;
  TLoaderText& operator=(const TLoaderText&) = delete;

  const char* Text() const { return FData ? FData : ""; }
  // The characters for a system call that may write into them.
  char* Data() {
    Reserve(0);
    return FData;
  }
  size_t Length() const { return FLength; }
  bool Empty() const { return FLength == 0; }
  char Last() const { return FLength ? FData[FLength - 1] : '\0'; }

  TLoaderText& Append(const char* S, size_t N);
  TLoaderText& Append(const char* S);
  TLoaderText& Append(const TLoaderText& S) { return Append(S.Text(), S.Length()); }
  TLoaderText& Append(char C) { return Append(&C, 1); }
  TLoaderText& AppendNumber(unsigned long V);
  void Assign(const char* S, size_t N) { Truncate(0); Append(S, N); }
  void Assign(const char* S);
  void Assign(const TLoaderText& S) { Assign(S.Text(), S.Length()); }
  void Truncate(size_t N);
  // Room for N more characters (and the NUL), to be written by a system
  // call at the pointer returned; SetLength then says how long the text is.
  char* Reserve(size_t N);
  void SetLength(size_t N);

 private:
  char* FData = nullptr;
  size_t FLength = 0;
  size_t FCapacity = 0;
};

// "*TODISK" in any letter case.
bool IsToDiskArgument(const char* Arg);

// Arg as one argument of a Windows command line: quoted, with the
// backslashes in front of a quote doubled as the runtime's parser expects.
void AppendQuotedArgument(TLoaderText& Line, const char* Arg);

// The command line that starts SetupProgram for a distribution in SourceDir
// (no trailing backslash); SelfExtractName is the self-extracting file's
// name, empty for a plain distribution.
void AppendSetupCommandLine(TLoaderText& Line, const char* SetupProgram, const char* SourceDir,
                            const char* SelfExtractName, bool ToDisk, int Count = 0, char** Args = nullptr);

// The whole program; Args[0..Count) are the loader's arguments without its
// own name.
int RunLoader(int Count, char** Args);
