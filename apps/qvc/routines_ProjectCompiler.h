// The project compiler: from a project in the text form to a setup program.
// The project is loaded with the setup program's own component model before
// anything is written, so every mistake a setup program would trip over when
// it starts (a misspelt class, property, enumerator or reference) is
// reported with its line instead.
#pragma once

#include <string>

#include "rtl/exceptions_Quorvane.h"

// A mistake in the project; the message reads "project.dfm(12): Class
// TInstalFile not found" (without a line when none is known).
QV_DECLARE_EXCEPTION(EProjectError, Exception)
// Anything else that stops the compiler (a missing engine, a file that
// cannot be written).
QV_DECLARE_EXCEPTION(ECompilerError, Exception)

struct TCompiledProject {
  std::string Stream;        // the binary project stream ("TPF0")
  std::string DefaultTitle;  // the main form's caption, else the product name, else "Setup"
};

// Parses and loads the project; EProjectError on any mistake.  FileName is
// only used in the messages.  Loading runs with an empty command line, so
// the install component of the project starts nothing.
TCompiledProject CompileProject(const std::string& Text, const std::string& FileName);

// Writes Out as a copy of Engine (a setup program) with Stream as its
// "TFORM1" resource and Title as "QVTITLE", then reads both back.  Out is
// only replaced once the copy is complete; ECompilerError on failure.
void WriteSetupProgram(const std::string& Engine, const std::string& Out, const std::string& Stream,
                       const std::string& Title);

// The first line of BUILD.INF beside the setup program is its build folder;
// the folder is made when it can be.
void WriteBuildInf(const std::string& SetupProgram, const std::string& BuildDir);

// The default build folder: "dist" beside the setup program.
std::string DefaultBuildDir(const std::string& SetupProgram);

// The setup engine: QuorvaneSetup.exe beside the compiler, else in the kit
// directory; empty when there is none.
std::string FindSetupEngine(const std::string& CompilerPath);

// Every registered component class with its published properties, their
// types and defaults.
std::string ClassCatalogue();

// Registers the setup program's classes (once).
void PrepareComponentModel();
