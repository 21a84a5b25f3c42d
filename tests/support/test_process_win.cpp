#include "test_process.h"

#include <windows.h>

#include <vector>

#include "environment/routines_Registry.h"
#include "test_paths.h"

namespace {
bool WaitForExit(HANDLE Process, unsigned long TimeoutMs, const std::function<void()>& Pump) {
  if (!Pump) return WaitForSingleObject(Process, TimeoutMs) == WAIT_OBJECT_0;
  // Short waits with the messages answered in between: the other program
  // may be sending this one's windows messages and waiting for the answers.
  for (const DWORD Start = GetTickCount(); GetTickCount() - Start < TimeoutMs;) {
    Pump();
    if (WaitForSingleObject(Process, 10) == WAIT_OBJECT_0) return true;
  }
  return false;
}
}  // namespace

int RunWithOutput(const std::string& CommandLine, std::string& Output, unsigned long TimeoutMs,
                  const std::function<void()>& Pump) {
  const std::string OutName = CreateTempFileName("qvo");
  SECURITY_ATTRIBUTES SA{sizeof SA, nullptr, TRUE};
  HANDLE Out = CreateFileA(OutName.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &SA,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA SI{};
  SI.cb = sizeof SI;
  SI.dwFlags = STARTF_USESTDHANDLES;
  SI.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  SI.hStdOutput = Out;
  SI.hStdError = Out;
  PROCESS_INFORMATION PI{};
  std::vector<char> Line(CommandLine.begin(), CommandLine.end());
  Line.push_back('\0');
  const bool Started =
      CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &SI, &PI) != 0;
  CloseHandle(Out);
  int Code = -1;
  if (Started) {
    CloseHandle(PI.hThread);
    DWORD Exit = 0;
    if (WaitForExit(PI.hProcess, TimeoutMs, Pump) && GetExitCodeProcess(PI.hProcess, &Exit))
      Code = static_cast<int>(Exit);
    else
      TerminateProcess(PI.hProcess, 99);
    CloseHandle(PI.hProcess);
  }
  Output = ReadTestFile(OutName);
  DeleteFileA(OutName.c_str());
  return Code;
}

int RunAsWindowsVersion(const std::string& Child, const std::string& Version, std::string& Output) {
  const std::string Settings = "\\Software\\Wine\\AppDefaults\\" + ExtractFileName(Child);
  RegWriteString(hkCurrentUser, Settings, "Version", Version);
  const int Code = RunWithOutput("\"" + Child + "\" --gtest_color=no", Output);
  RegDeleteKeyTree(hkCurrentUser, Settings);
  return Code;
}
