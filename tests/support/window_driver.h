// The window driver (qvauto) run from a test that owns the windows it
// operates: the test's messages are answered while the driver works.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/cmp_TApplication.h"
#include "test_paths.h"
#include "test_process.h"

// The driver's command; what it printed (without carriage returns).
inline std::string Drive(const std::string& Args) {
  std::string Output;
  const std::string Line = "\"" + BuildTreePath("tests\\qvauto.exe") + "\" " + Args;
  EXPECT_EQ(RunWithOutput(Line, Output, 30000, [] { Application->ProcessMessages(); }), 0) << Args << ": " << Output;
  Output.erase(std::remove(Output.begin(), Output.end(), '\r'), Output.end());
  return Output;
}

// Output holds Line as a whole line.
inline ::testing::AssertionResult Has(const std::string& Output, const std::string& Line) {
  if (("\n" + Output).find("\n" + Line + "\n") != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no line \"" << Line << "\" in:\n" << Output;
}
