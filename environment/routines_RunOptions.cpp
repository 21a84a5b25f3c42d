#include "environment/routines_RunOptions.h"

#include <cstdio>

#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

struct TRunLog {
  HANDLE File = INVALID_HANDLE_VALUE;
  std::string Name;
};

TRunLog& Log() {
  static TRunLog L;
  return L;
}

std::string Stamp(const char* Pattern) {
  SYSTEMTIME T;
  GetLocalTime(&T);
  char B[40];
  std::snprintf(B, sizeof B, Pattern, T.wYear, T.wMonth, T.wDay, T.wHour, T.wMinute, T.wSecond);
  return B;
}

// "Setup Log 2026-12-10 #001.txt": the first number not taken, so that
// the logs of several runs stand side by side.
std::string DefaultLogName() {
  const std::string Base = AddBackslash(TempDirectory()) + "Setup Log " + Stamp("%04u-%02u-%02u") + " #";
  for (int N = 1; N < 1000; ++N) {
    char Number[8];
    std::snprintf(Number, sizeof Number, "%03d", N);
    const std::string Name = Base + Number + ".txt";
    if (!FileExists(Name)) return Name;
  }
  return Base + "999.txt";
}

}  // namespace

TRunOptions& RunOptions() {
  static TRunOptions O;
  return O;
}

bool IsRunOption(const std::string& Arg) { return Arg.size() >= 2 && Arg[0] == '/'; }

bool ParseRunOption(const std::string& Arg, TRunOptions& O, const std::vector<std::string>& Accepted) {
  if (!IsRunOption(Arg)) return false;
  const size_t Eq = Arg.find('=');
  const std::string Name = UpperCase(Arg.substr(1, Eq == std::string::npos ? std::string::npos : Eq - 1));
  const bool HasValue = Eq != std::string::npos;
  const std::string Value = HasValue ? Arg.substr(Eq + 1) : std::string();
  if (!Accepted.empty()) {
    bool Known = false;
    for (const std::string& A : Accepted) Known = Known || SameText(A, Name);
    if (!Known) return false;
  }
  struct TFlag {
    const char* Name;
    bool TRunOptions::*Field;
  };
  static const TFlag Flags[] = {{"SILENT", &TRunOptions::Silent},
                                {"VERYSILENT", &TRunOptions::VerySilent},
                                {"SUPPRESSMSGBOXES", &TRunOptions::SuppressMsgBoxes},
                                {"NORESTART", &TRunOptions::NoRestart}};
  for (const TFlag& F : Flags)
    if (Name == F.Name) {
      if (HasValue) return false;
      O.*F.Field = true;
      return true;
    }
  if (Name == "LOG") {
    O.Log = true;
    O.LogFile = Value;
    return true;
  }
  struct TValue {
    const char* Name;
    bool TRunOptions::*Given;
    std::string TRunOptions::*Field;
  };
  static const TValue Values[] = {{"DIR", &TRunOptions::DirGiven, &TRunOptions::Dir},
                                  {"GROUP", &TRunOptions::GroupGiven, &TRunOptions::Group},
                                  {"COMPONENTS", &TRunOptions::ComponentsGiven, &TRunOptions::Components},
                                  {"LANG", &TRunOptions::LangGiven, &TRunOptions::Lang}};
  for (const TValue& V : Values)
    if (Name == V.Name) {
      // A switch that must name something and names nothing is a mistake
      // of the caller, not an empty choice.
      if (Trim(Value).empty()) return false;
      O.*V.Given = true;
      O.*V.Field = Value;
      return true;
    }
  return false;
}

std::vector<std::string> ComponentNames(const std::string& List) {
  std::vector<std::string> Names;
  size_t From = 0;
  while (From <= List.size()) {
    const size_t Comma = List.find(',', From);
    const std::string N = Trim(List.substr(From, Comma == std::string::npos ? std::string::npos : Comma - From));
    if (!N.empty()) Names.push_back(N);
    if (Comma == std::string::npos) break;
    From = Comma + 1;
  }
  return Names;
}

std::string ResumeSwitches(const TRunOptions& O) {
  std::string S;
  if (O.VerySilent)
    S += " /VERYSILENT";
  else if (O.Silent)
    S += " /SILENT";
  if (O.SuppressMsgBoxes) S += " /SUPPRESSMSGBOXES";
  if (RunLogOpen()) S += " \"/LOG=" + RunLogFile() + "\"";
  return S;
}

void OpenRunLog(const TRunOptions& Options, const std::string& Program) {
  if (!Options.Log || RunLogOpen()) return;
  TRunLog& L = Log();
  L.Name = Options.LogFile.empty() ? DefaultLogName() : Options.LogFile;
  // Appended: the loader and the setup program it starts share one log.
  L.File = CreateFileA(L.Name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (L.File == INVALID_HANDLE_VALUE) return;
  LogLine(Program + " started: " + GetCommandLineA());
}

bool RunLogOpen() { return Log().File != INVALID_HANDLE_VALUE; }
const std::string& RunLogFile() { return Log().Name; }

void LogLine(const std::string& Text) {
  TRunLog& L = Log();
  if (L.File == INVALID_HANDLE_VALUE) return;
  const std::string Line = Stamp("%04u-%02u-%02u %02u:%02u:%02u   ") + Text + "\r\n";
  DWORD Written = 0;
  WriteFile(L.File, Line.data(), static_cast<DWORD>(Line.size()), &Written, nullptr);
}

void CloseRunLog() {
  TRunLog& L = Log();
  if (L.File == INVALID_HANDLE_VALUE) return;
  CloseHandle(L.File);
  L.File = INVALID_HANDLE_VALUE;
}

int RunMessageBox(HWND Owner, const std::string& Text, const std::string& Title, UINT Type, int Suppressed) {
  LogLine("Message: " + Text);
  if (RunOptions().BoxesSuppressed()) {
    LogLine(Format("Message box answered %d without being shown", Suppressed));
    return Suppressed;
  }
  const int Answer = MessageBoxA(Owner, Text.c_str(), Title.c_str(), Type);
  LogLine(Format("Message box answered %d", Answer));
  return Answer;
}
