// The window driver (qvauto) run from a test whose windows it drives: this
// program answers their messages while it waits.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/cmp_TApplication.h"
#include "test_paths.h"
#include "test_process.h"

// What the driver printed for Args (a failure is reported with it).
inline std::string Drive(const std::string& Args) {
  std::string Output;
  const std::string Line = "\"" + BuildTreePath("tests\\qvauto.exe") + "\" " + Args;
  EXPECT_EQ(RunWithOutput(Line, Output, 30000, [] { Application->ProcessMessages(); }), 0) << Args << ": " << Output;
  Output.erase(std::remove(Output.begin(), Output.end(), '\r'), Output.end());
  return Output;
}
