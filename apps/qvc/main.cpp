// qvc, the project compiler:
//
//   qvc PROJECT.dfm OUT.exe [--build] [--build-dir DIR] [--title TITLE] [--engine SETUP.exe]
//       [--license FILE] [--readme FILE] [--form FILE.dfm]...
//   qvc --new FOLDER
//   qvc --catalogue
//
// Exit code 0 when the setup program was written, 1 for a mistake in the
// project (nothing is written then), 2 for anything else; with --build, the
// exit code of the build once the setup program is written.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "apps/qvc/routines_PageForms.h"
#include "apps/qvc/routines_ProjectCompiler.h"
#include "apps/qvc/routines_Reference.h"
#include "apps/qvc/routines_Starter.h"
#include "environment/routines_Process.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

const char* const Usage =
    "usage: qvc PROJECT.dfm OUT.exe [--build] [--build-dir DIR] [--title TITLE] [--engine SETUP.exe]\n"
    "           [--license FILE] [--readme FILE] [--form FILE.dfm]...\n"
    "       qvc --new FOLDER\n"
    "       qvc --catalogue\n";

struct TArgs {
  std::string Project, Out, BuildDir, Title, Engine, License, Readme, NewFolder;
  std::vector<std::string> Forms;
  bool HasTitle = false, Catalogue = false, Build = false;
};

bool ParseArgs(int argc, char** argv, TArgs& A, std::string& Error) {
  std::vector<std::string> Positional;
  for (int i = 1; i < argc; ++i) {
    const std::string S = argv[i];
    auto Value = [&](std::string& Into) {
      if (i + 1 >= argc) {
        Error = S + " needs a value";
        return false;
      }
      Into = argv[++i];
      return true;
    };
    if (S == "--catalogue" || S == "--catalog") {
      A.Catalogue = true;
    } else if (S == "--build") {
      A.Build = true;
    } else if (S == "--new") {
      if (!Value(A.NewFolder)) return false;
    } else if (S == "--build-dir") {
      if (!Value(A.BuildDir)) return false;
    } else if (S == "--title") {
      if (!Value(A.Title)) return false;
      A.HasTitle = true;
    } else if (S == "--engine") {
      if (!Value(A.Engine)) return false;
    } else if (S == "--license" || S == "--licence") {
      if (!Value(A.License)) return false;
    } else if (S == "--readme") {
      if (!Value(A.Readme)) return false;
    } else if (S == "--form") {
      A.Forms.emplace_back();
      if (!Value(A.Forms.back())) return false;
    } else if (S.size() > 1 && S[0] == '-' && S[1] == '-') {
      Error = "unknown option " + S;
      return false;
    } else {
      Positional.push_back(S);
    }
  }
  if (A.Catalogue) return Positional.empty() || (Error = "--catalogue takes no files", false);
  if (!A.NewFolder.empty()) return Positional.empty() || (Error = "--new takes one folder", false);
  if (Positional.size() != 2) {
    Error = "a project and an output file are needed";
    return false;
  }
  A.Project = Positional[0];
  A.Out = Positional[1];
  return true;
}

std::string SelfPath() {
  char Buf[MAX_PATH * 2] = {};
  const DWORD N = GetModuleFileNameA(nullptr, Buf, sizeof Buf);
  return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

// The engine's pages and windows as the author's forms and texts make them;
// only the forms that changed.
TFormResources AuthorsForms(const TArgs& A, const std::string& Engine) {
  if (A.Forms.empty() && A.License.empty() && A.Readme.empty()) return {};
  TFormResources Forms = ReadEngineForms(Engine);
  const TFormResources Kit = Forms;
  std::map<std::string, std::string> ReplacedBy;  // resource -> form file
  for (const std::string& File : A.Forms) {
    std::string Text;
    try {
      Text = ReadSourceFile(File);
    } catch (const Exception& E) {
      throw ECompilerError(Format("Cannot read %s: %s", File, E.Message()));
    }
    const std::string Resource = ReplacePageForm(Forms, Text, File);
    // Two forms for one page leave the author guessing which one is used.
    if (!ReplacedBy.emplace(Resource, File).second)
      throw EProjectError(Format("%s(1): %s replaces the same form already", File, ReplacedBy[Resource]));
  }
  if (!A.License.empty()) PutPageText(Forms, LicensePage, A.License, Engine);
  if (!A.Readme.empty()) PutPageText(Forms, ReadmePage, A.Readme, Engine);
  for (auto F = Forms.begin(); F != Forms.end();)
    F = F->second == Kit.at(F->first) ? Forms.erase(F) : std::next(F);
  return Forms;
}

// The setup program's own build ("OUT.exe -b"), its lines on this
// program's output; its exit code.
int BuildWith(const std::string& Out) {
  TProcessStart Start;
  Start.CommandLine = "\"" + Out + "\" -b";
  Start.Wait = TProcessWait::Exit;
  Start.ShareStandardHandles = true;
  const TProcessRun R = RunProcess(Start);
  if (!R.Started) throw ECompilerError(R.Failure);
  return R.HasExitCode ? static_cast<int>(R.ExitCode) : 2;
}

int Run(const TArgs& A) {
  if (A.Catalogue) {
    std::fputs(ClassCatalogue().c_str(), stdout);
    return 0;
  }
  if (!A.NewFolder.empty()) {
    for (const std::string& F : WriteStarterProject(FullPathOf(A.NewFolder), SelfPath()))
      std::printf("%s\n", F.c_str());
    return 0;
  }
  std::string Text;
  try {
    Text = ReadSourceFile(A.Project);
  } catch (const Exception& E) {
    std::fprintf(stderr, "qvc: cannot read %s: %s\n", A.Project.c_str(), E.Message().c_str());
    return 2;
  }
  const TCompiledProject P = CompileProject(Text, A.Project);
  const std::string Engine = A.Engine.empty() ? FindSetupEngine(SelfPath()) : A.Engine;
  if (Engine.empty() || !FileExists(Engine)) {
    std::fprintf(stderr, "qvc: the setup engine QuorvaneSetup.exe was not found beside qvc nor in the kit directory\n");
    return 2;
  }
  const TFormResources Forms = AuthorsForms(A, Engine);
  const std::string Out = FullPathOf(A.Out);
  const std::string BuildDir = A.BuildDir.empty() ? DefaultBuildDir(Out) : FullPathOf(A.BuildDir);
  if (!ForceDirectories(ExtractFileDir(Out)))
    throw ECompilerError(Format("Cannot create the folder %s", ExtractFileDir(Out)));
  WriteSetupProgram(Engine, Out, P.Stream, A.HasTitle ? A.Title : P.DefaultTitle, Forms, KitOfEngine(Engine));
  try {
    WriteBuildInf(Out, BuildDir);
  } catch (...) {
    DeleteFileA(Out.c_str());  // a setup program without its build folder is half a result
    throw;
  }
  std::printf("%s: build folder %s\n", Out.c_str(), BuildDir.c_str());
  std::fflush(stdout);
  return A.Build ? BuildWith(Out) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  TArgs A;
  std::string Error;
  if (!ParseArgs(argc, argv, A, Error)) {
    std::fprintf(stderr, "qvc: %s\n%s", Error.c_str(), Usage);
    return 2;
  }
  try {
    return Run(A);
  } catch (const EProjectError& E) {
    std::fprintf(stderr, "%s\n", E.Message().c_str());
    return 1;
  } catch (const Exception& E) {
    std::fprintf(stderr, "qvc: %s\n", E.Message().c_str());
    return 2;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "qvc: %s\n", E.what());
    return 2;
  }
}
