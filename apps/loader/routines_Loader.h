// The loading program's rules in the kit's own types, for the tests: the
// trailer check, the quoting and the command line the loader builds (see
// routines_LoaderRun.h for the program itself, which these wrap).
#pragma once

#include <cstdint>
#include <string>

#include "apps/loader/routines_LoaderRun.h"
#include "archive/cmp_TFileHeaders.h"
#include "rtl/cmp_TStream.h"

// Where the setup archive lies and what the setup program is told.
struct TLoaderPlan {
  std::string Archive;          // the self-extracting file, or setup.1 beside the loader
  int32_t Offset = 0;           // first byte of the setup archive inside Archive
  std::string SourceDir;        // the distribution folder, no trailing backslash
  std::string SelfExtractName;  // file name of the self-extracting file; empty when plain
  bool ToDisk = false;          // started with *TODISK: copy the distribution to floppies
};

// "*TODISK" in any letter case.
inline bool IsToDiskArgument(const std::string& Arg) { return IsToDiskArgument(Arg.c_str()); }

// Reads the trailer at the end of the loader's own file.  True only for a
// trailer whose setup archive begins behind the loader's image (ImageEnd:
// the end of the sections in the file), lies inside the file and is long
// enough for an archive; the signature is not checked, as readers never
// did.  Anything else means the loader stands alone.
bool ReadLoaderTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& Trailer);

// Arg as one argument of a Windows command line: quoted, with the
// backslashes in front of a quote doubled as the runtime's parser expects.
std::string QuoteArgument(const std::string& Arg);

// The command line that starts SetupProgram for Plan.
std::string SetupCommandLine(const std::string& SetupProgram, const TLoaderPlan& Plan);
