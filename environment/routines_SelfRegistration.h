// Self-registration of components: a library registers itself through its
// DllRegisterServer export (and goes through DllUnregisterServer), a program
// when started with /REGSERVER (/UNREGSERVER).  Both run in the component's
// own folder, where it finds the files beside it.  The callers word their
// own messages; these routines say which step failed and why.
#pragma once

#include <windows.h>

#include <string>

#include "environment/routines_Process.h"

enum class TServerAction { Register, Unregister };

struct TSelfRegistration {
  enum TStep {
    srDone,         // the server function was called, or the program started
    srLoadLibrary,  // the library could not be loaded
    srEntryPoint,   // it has no such export
    srStart,        // the program could not be started
    srNoEnd,        // the program did not end in the time it was given
  };
  TStep Failed = srDone;
  // GetLastError of a failed load, look-up or start.
  DWORD Error = ERROR_SUCCESS;
  // What the library's server function answered; the caller decides which
  // results it accepts.
  HRESULT Result = S_OK;
  // The failure named ("LoadLibraryA(C:\x.dll) failed: error 126: ..."),
  // also for a result other than S_OK; empty otherwise.
  std::string Cause;
};

// "DllRegisterServer" or "DllUnregisterServer".
const char* ServerExport(TServerAction Action);

// Loads the library Path with OLE initialised, in the library's folder,
// calls its server export and lets the library go again.
TSelfRegistration CallLibraryServer(const std::string& Path, TServerAction Action);

// Starts the program Path hidden in its folder with /REGSERVER or
// /UNREGSERVER and waits as asked (srNoEnd only when waiting for its end).
TSelfRegistration RunProgramServer(const std::string& Path, TServerAction Action, TProcessWait Wait,
                                   DWORD TimeoutMs);
