#include "environment/routines_Process.h"

#include <vector>

#include "environment/routines_API.h"
#include "environment/routines_Scoped.h"

namespace {

// Waits for Process to end while the messages of this thread are answered.
DWORD WaitAnsweringMessages(HANDLE Process, DWORD TimeoutMs) {
  const DWORD Start = GetTickCount();
  for (;;) {
    DWORD Left = INFINITE;
    if (TimeoutMs != INFINITE) {
      const DWORD Spent = GetTickCount() - Start;
      if (Spent >= TimeoutMs) return WAIT_TIMEOUT;
      Left = TimeoutMs - Spent;
    }
    const DWORD R = MsgWaitForMultipleObjects(1, &Process, FALSE, Left, QS_ALLINPUT);
    if (R == WAIT_OBJECT_0 || R == WAIT_TIMEOUT) return R;
    // The message wait itself failed: a plain wait still ends with the
    // program, and nothing may go on while it runs.
    if (R != WAIT_OBJECT_0 + 1) return WaitForSingleObject(Process, Left);
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&M);
      DispatchMessageA(&M);
    }
  }
}

}  // namespace

TProcessRun RunProcess(const TProcessStart& Start) {
  TProcessRun Run;
  STARTUPINFOA SI{};
  SI.cb = sizeof SI;
  if (Start.Show != SW_SHOWDEFAULT) {
    SI.dwFlags = STARTF_USESHOWWINDOW;
    SI.wShowWindow = static_cast<WORD>(Start.Show);
  }
  // Only inheritable handles can be passed on: copies of this process's.
  std::vector<TKernelHandle> Shared;
  if (Start.ShareStandardHandles) {
    SI.dwFlags |= STARTF_USESTDHANDLES;
    HANDLE* Into[] = {&SI.hStdInput, &SI.hStdOutput, &SI.hStdError};
    const DWORD Which[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int i = 0; i < 3; ++i) {
      HANDLE H = GetStdHandle(Which[i]), Copy = nullptr;
      if (H && H != INVALID_HANDLE_VALUE &&
          DuplicateHandle(GetCurrentProcess(), H, GetCurrentProcess(), &Copy, 0, TRUE, DUPLICATE_SAME_ACCESS))
        Shared.emplace_back(Copy);
      *Into[i] = Copy;
    }
  }
  PROCESS_INFORMATION PI{};
  // CreateProcessA may write into the command line.
  std::vector<char> Line(Start.CommandLine.begin(), Start.CommandLine.end());
  Line.push_back('\0');
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, Start.ShareStandardHandles, 0, nullptr,
                      Start.Dir.empty() ? nullptr : Start.Dir.c_str(), &SI, &PI)) {
    Run.Error = GetLastError();
    Run.Failure = Win32FailureText("CreateProcessA(" + Start.CommandLine + ")", Run.Error);
    return Run;
  }
  Run.Started = true;
  TKernelHandle Thread(PI.hThread), Process(PI.hProcess);
  switch (Start.Wait) {
    case TProcessWait::None:
      Run.Finished = true;
      break;
    case TProcessWait::InputIdle:
      // A program without a message queue (a console program) answers at
      // once; one that never gets there has had its time.
      Run.Finished = WaitForInputIdle(Process, Start.TimeoutMs) != WAIT_TIMEOUT;
      break;
    case TProcessWait::Exit: {
      const DWORD W = Start.AnswerMessages ? WaitAnsweringMessages(Process, Start.TimeoutMs)
                                           : WaitForSingleObject(Process, Start.TimeoutMs);
      Run.Finished = W == WAIT_OBJECT_0;
      if (Run.Finished) Run.HasExitCode = GetExitCodeProcess(Process, &Run.ExitCode) != 0;
      break;
    }
  }
  return Run;
}
