// The window driver (qvauto) run from a test that owns the windows it
// operates: the test's messages are answered while the driver works.  A
// window is named to the driver by its title in quotes (Quoted).
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

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

inline std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

// Where the screenshot Name goes: the build tree's screenshots folder.
inline std::string ShotPath(const std::string& Name) {
  const std::string P = BuildTreePath("screenshots\\" + Name);
  CreateDirectoryA(ExtractFileDir(P).c_str(), nullptr);
  return P;
}

// The window (its quoted title) as it shows, saved as the screenshot Name.
inline void Shoot(const std::string& Window, const std::string& Name) {
  const std::string Shot = ShotPath(Name);
  Drive("shot " + Window + " " + Quoted(Shot));
  EXPECT_EQ(ReadTestFile(Shot).substr(1, 3), "PNG") << Name;
}

// The control of the window titled Title shows (Visible) or is hidden.
inline ::testing::AssertionResult Shows(const std::string& Title, const std::string& Control, bool Visible) {
  return Has(Drive("state " + Quoted(Title) + " " + Control), Visible ? "visible=1" : "visible=0");
}
