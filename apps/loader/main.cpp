// The loading program QuorvaneLoadProgram.exe: the front of a self-extracting
// setup.exe (see routines_LoaderRun.h).  A GUI program without a window of
// its own, so no console appears while it waits for the setup program.
//
// It starts at LoaderStart, without the C runtime's start-up code: nothing
// in it needs constructors run, and the runtime DLL splits the command line
// itself, exactly as that start-up would have.
#include <windows.h>

#include "apps/loader/routines_LoaderRun.h"
#include "environment/routines_DllSearch.h"

namespace {
struct TStartupInfo {
  int NewMode;
};
}  // namespace

extern "C" int __cdecl __getmainargs(int* Count, char*** Args, char*** Environment, int ExpandWildcards,
                                     TStartupInfo* Info);

extern "C" void LoaderStart() {
  LoadSystemLibrariesFromSystemFolder();
  int Count = 0;
  char** Args = nullptr;
  char** Environment = nullptr;
  TStartupInfo Info{0};
  if (__getmainargs(&Count, &Args, &Environment, 0, &Info) < 0 || Count < 1) ExitProcess(LoaderFailedExitCode);
  ExitProcess(static_cast<UINT>(RunLoader(Count - 1, Args + 1)));
}
