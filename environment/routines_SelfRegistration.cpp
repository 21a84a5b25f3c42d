#include "environment/routines_SelfRegistration.h"

#include "environment/routines_API.h"
#include "environment/routines_DllSearch.h"
#include "environment/routines_Scoped.h"
#include "rtl/routines_Strings.h"

const char* ServerExport(TServerAction Action) {
  return Action == TServerAction::Register ? "DllRegisterServer" : "DllUnregisterServer";
}

TSelfRegistration CallLibraryServer(const std::string& Path, TServerAction Action) {
  TSelfRegistration R;
  TOleInitialized Ole;
  TCurrentDirScope Dir(ExtractFileDir(Path));
  // The libraries the component needs beside it: the programs search the
  // system folder only (routines_DllSearch.h), not the current folder.
  TLibrary Lib(LoadLibraryExA(Path.c_str(), nullptr, InstalledLibraryLoadFlags()));
  if (!Lib) {
    R.Failed = TSelfRegistration::srLoadLibrary;
    R.Error = GetLastError();
    R.Cause = Win32FailureText("LoadLibraryExA(" + Path + ")", R.Error);
    return R;
  }
  const char* Export = ServerExport(Action);
  using TServerProc = HRESULT(WINAPI*)();
  auto Server = reinterpret_cast<TServerProc>(reinterpret_cast<void*>(GetProcAddress(Lib, Export)));
  if (!Server) {
    R.Failed = TSelfRegistration::srEntryPoint;
    R.Error = GetLastError();
    R.Cause = Win32FailureText(std::string("GetProcAddress(") + Export + ")", R.Error);
    return R;
  }
  R.Result = Server();
  if (R.Result != S_OK) R.Cause = ComFailureText(Export, R.Result);
  return R;
}

TSelfRegistration RunProgramServer(const std::string& Path, TServerAction Action, TProcessWait Wait,
                                   DWORD TimeoutMs) {
  TSelfRegistration R;
  TProcessStart Start;
  // Quoted: unquoted, a folder with blanks lets Windows try "C:\Program.exe"
  // and the like first.
  Start.CommandLine = "\"" + Path + "\" " + (Action == TServerAction::Register ? "/REGSERVER" : "/UNREGSERVER");
  Start.Dir = ExtractFileDir(Path);
  Start.Show = SW_HIDE;
  Start.Wait = Wait;
  Start.TimeoutMs = TimeoutMs;
  const TProcessRun Run = RunProcess(Start);
  if (!Run.Started) {
    R.Failed = TSelfRegistration::srStart;
    R.Error = Run.Error;
    R.Cause = Run.Failure;
  } else if (Wait == TProcessWait::Exit && !Run.Finished) {
    R.Failed = TSelfRegistration::srNoEnd;
  }
  return R;
}
