// The window driver run on a thread of its own while this program sits in
// a modal loop (the shell's, or a form's): each step is a command line of
// qvauto; what it printed is kept for the checks afterwards.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_paths.h"
#include "test_process.h"
#include "window_driver.h"

// Window driver commands, one after the other, each given the time a user
// would need; the outputs in order.
class TDriverScript {
 public:
  explicit TDriverScript(std::vector<std::string> Steps) : FSteps(std::move(Steps)) {
    FThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~TDriverScript() { Finish(); }
  // Waits for the last step (a dialog that stays open would hang the test:
  // each step gives up on its own).
  const std::vector<std::string>& Finish() {
    if (FThread) {
      WaitForSingleObject(FThread, 120000);
      CloseHandle(FThread);
      FThread = nullptr;
    }
    return FOutputs;
  }

 private:
  static DWORD WINAPI Run(void* P) {
    auto* Self = static_cast<TDriverScript*>(P);
    const std::string Driver = "\"" + BuildTreePath("tests\\qvauto.exe") + "\" ";
    for (const std::string& Step : Self->FSteps) {
      std::string Out;
      const int Code = RunWithOutput(Driver + Step, Out, 30000);
      Out.erase(std::remove(Out.begin(), Out.end(), '\r'), Out.end());
      Self->FOutputs.push_back(Code == 0 ? Out : "failed (" + std::to_string(Code) + "): " + Step + ": " + Out);
      Sleep(200);
    }
    return 0;
  }
  std::vector<std::string> FSteps;
  std::vector<std::string> FOutputs;
  HANDLE FThread = nullptr;
};
