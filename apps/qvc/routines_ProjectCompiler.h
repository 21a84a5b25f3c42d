// The project compiler: from a project in the text form to a setup program.
// The project is loaded with the setup program's own component model before
// anything is written, so every mistake a setup program would trip over when
// it starts (a misspelt class, property, enumerator or reference) is
// reported with its line instead.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_ObjectText.h"

class TComponent;

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

// Parses and loads the project; EProjectError on any mistake.  FileName
// names the project in the messages, and its folder is the one relative
// source folders start from (routines_FolderTrees.h).  Loading runs with an
// empty command line, so the install component of the project starts
// nothing.
TCompiledProject CompileProject(const std::string& Text, const std::string& FileName);

// P as a full path (against the current folder).
std::string FullPathOf(const std::string& P);

// The line of "object Name:" in a project text, or of Property within that
// object when it is there; 0 when the object is not found.
int LineOf(const std::string& Text, const std::string& Name, const std::string& Property);

// The bytes of a source file (a project, a form, a licence); Exception
// when it cannot be read.
std::string ReadSourceFile(const std::string& Name);

// Parses a text form into its stream, noting the line of every entry;
// EProjectError "file(line): ..." on a mistake of syntax.
std::string CompileFormText(const std::string& Text, const std::string& FileName, TOffsetLines& Lines);
// Loads a stream from CompileFormText into Root with the setup program's
// component model; EProjectError with the line of the failing entry.
void LoadFormStream(const std::string& Stream, const TOffsetLines& Lines, TComponent& Root,
                    const std::string& FileName);

// Raw-data resources by name: the page and window forms a setup program
// carries, each its binary stream under its class's name in upper case.
using TFormResources = std::map<std::string, std::string>;

// Every page and window form of the setup engine (its raw-data resources
// but the project and the title); ECompilerError when it cannot be read.
TFormResources ReadEngineForms(const std::string& Engine);

// Writes Out as a copy of Engine (a setup program) with Stream as its
// "TFORM1" resource, Title as "QVTITLE", Kit (when given) as the kit folder
// its build takes the loading program from, and each of Forms replacing the
// engine's resource of that name, then reads them all back.  Out is only
// replaced once the copy is complete; ECompilerError on failure.
void WriteSetupProgram(const std::string& Engine, const std::string& Out, const std::string& Stream,
                       const std::string& Title, const TFormResources& Forms = {}, const std::string& Kit = "");

// The kit an engine belongs to: its own folder when that is a kit
// directory (as it is for the engine beside qvc, or the one found on the
// search path); empty for an engine from anywhere else.
std::string KitOfEngine(const std::string& Engine);

// The first line of BUILD.INF beside the setup program is its build folder;
// the folder is made when it can be.
void WriteBuildInf(const std::string& SetupProgram, const std::string& BuildDir);

// The default build folder: "dist" beside the setup program.
std::string DefaultBuildDir(const std::string& SetupProgram);

// The setup engine: QuorvaneSetup.exe beside the compiler, else in the kit
// directory; empty when there is none.
std::string FindSetupEngine(const std::string& CompilerPath);

// Registers the setup program's classes (once).
void PrepareComponentModel();

// Loading a project runs the install component's start-up, which reads the
// command line: the compiler's own arguments must not reach it.
class TNoParams {
 public:
  TNoParams();
  ~TNoParams();
  TNoParams(const TNoParams&) = delete;
  TNoParams& operator=(const TNoParams&) = delete;

 private:
  const std::vector<std::string> FNone;
};
