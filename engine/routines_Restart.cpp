#include "engine/routines_Restart.h"

#include <windows.h>

#include "environment/routines_API.h"
#include "environment/routines_Scoped.h"
#include "rtl/routines_Strings.h"

namespace {
std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

bool EnableShutdownPrivilege() {
  TKernelHandle Token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, Token.Out())) return false;
  TOKEN_PRIVILEGES TP{};
  TP.PrivilegeCount = 1;
  TP.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  const bool Looked = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &TP.Privileges[0].Luid);
  return Looked && AdjustTokenPrivileges(Token, FALSE, &TP, 0, nullptr, nullptr);
}
}  // namespace

std::string ResumeCommandLine(const std::string& SetupProgram, const std::string& Distribution,
                              bool SelfExtract, bool Copy) {
  std::string Cmd = Quoted(SetupProgram) + " -r ";
  if (SelfExtract) Cmd += Quoted("-e" + ExtractFileName(Distribution)) + " ";
  Cmd += Quoted("-s" + RemoveBackslash(ExtractFileDir(Distribution)));
  if (Copy) Cmd += " -c";
  return Cmd;
}

bool RestartWindows() {
  switch (GetWindowsVersion()) {
    case wvWindows95:
      return ExitWindowsEx(EWX_REBOOT, 0) != 0;
    case wvWindowsNT:
      return EnableShutdownPrivilege() && ExitWindowsEx(EWX_REBOOT, 0);
    default:
      return false;
  }
}
