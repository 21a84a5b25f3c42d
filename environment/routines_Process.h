// Starting another program: the one place that calls CreateProcess.  A
// caller says where the program starts, how its window shows and how long
// to wait; it gets back whether the program started, the named failure
// when it did not, and the exit code when it waited for the end.
#pragma once

#include <windows.h>

#include <string>

enum class TProcessWait {
  None,       // started, not waited for
  InputIdle,  // until the program waits for its first input (as WinExec does)
  Exit,       // until the program ends
};

struct TProcessStart {
  // The whole command line; a program path with blanks must be quoted.
  std::string CommandLine;
  // The folder the program starts in; empty: this process's current folder.
  std::string Dir;
  // The first ShowWindow of the program; SW_SHOWDEFAULT leaves it to the
  // program.
  int Show = SW_SHOWDEFAULT;
  TProcessWait Wait = TProcessWait::None;
  DWORD TimeoutMs = INFINITE;
  // While waiting for the end, answer this thread's window messages: a
  // waiting program with windows must not stall broadcasts or keep the
  // busy cursor up.
  bool AnswerMessages = false;
  // The program writes to this process's standard output and error (and
  // reads its input), as a program started from a console does, even when
  // it is a window program.
  bool ShareStandardHandles = false;
};

struct TProcessRun {
  bool Started = false;
  // The wait asked for ended within the time (always true for None).
  bool Finished = false;
  bool HasExitCode = false;
  DWORD ExitCode = 0;
  // Why the program did not start: the code and the failure text
  // ("CreateProcessA(<command line>) failed: error 2: ...").
  DWORD Error = ERROR_SUCCESS;
  std::string Failure;
};

TProcessRun RunProcess(const TProcessStart& Start);
