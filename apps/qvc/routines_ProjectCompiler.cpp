#include "apps/qvc/routines_ProjectCompiler.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "apps/qvc/routines_FolderTrees.h"
#include "apps/setup/cmp_TSetupMainForm.h"
#include "apps/setup/routines_Startup.h"
#include "controls/cmp_TApplication.h"
#include "engine/cmp_TInstall.h"
#include "engine/routines_Distribution.h"
#include "environment/routines_API.h"
#include "environment/routines_Scoped.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TPathSpecifier.h"
#include "rtl/cmp_TCollection.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_ObjectText.h"
#include "rtl/routines_Strings.h"

namespace {

const char* const ProjectResource = "TFORM1";
const char* const TitleResource = "QVTITLE";
const char* const EngineName = "QuorvaneSetup.exe";

// "Line 12: Unexpected ..." from the text parser -> line 12, "Unexpected ...".
bool SplitParserMessage(const std::string& Message, int& Line, std::string& Rest) {
  if (Message.compare(0, 5, "Line ") != 0) return false;
  const size_t Colon = Message.find(": ", 5);
  int32_t N = 0;
  if (Colon == std::string::npos || !TryStrToInt(Message.substr(5, Colon - 5), N)) return false;
  Line = N;
  Rest = Message.substr(Colon + 2);
  return true;
}

[[noreturn]] void ProjectError(const std::string& FileName, int Line, const std::string& Message) {
  throw EProjectError(Line > 0 ? Format("%s(%d): %s", FileName, Line, Message)
                               : Format("%s: %s", FileName, Message));
}

std::string DefaultTitleOf(TCustomForm& Form) {
  if (!Trim(Form.Caption()).empty()) return Form.Caption();
  for (int i = 0; i < Form.ComponentCount(); ++i)
    if (auto* I = dynamic_cast<TCustomInstall*>(Form.Components(i)))
      if (!Trim(I->Information()->ProductName).empty()) return I->Information()->ProductName;
  return "Setup";
}

// --- resources ------------------------------------------------------------------------------

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD Language, LONG_PTR Param) {
  reinterpret_cast<std::vector<WORD>*>(Param)->push_back(Language);
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR Name, LONG_PTR Param) {
  if (!IS_INTRESOURCE(Name)) reinterpret_cast<std::vector<std::string>*>(Param)->push_back(Name);
  return TRUE;
}

// The languages a raw-data resource of the module has.
std::vector<WORD> ResourceLanguages(HMODULE M, const char* Name) {
  std::vector<WORD> R;
  EnumResourceLanguagesA(M, RT_RCDATA, Name, AddLanguage, reinterpret_cast<LONG_PTR>(&R));
  return R;
}

// A program's file loaded for its resources only.
HMODULE LoadAsData(const std::string& File) {
  return LoadLibraryExA(File.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

TLibrary LoadEngine(const std::string& Engine) {
  TLibrary M(LoadAsData(Engine));
  if (!M)
    throw ECompilerError(Format("Cannot read the setup engine %s: %s", Engine,
                                Win32FailureText("LoadLibraryExA", GetLastError())));
  return M;
}

bool ReadResource(HMODULE M, const char* Name, std::string& Data) {
  HRSRC R = FindResourceA(M, Name, RT_RCDATA);
  HGLOBAL G = R ? LoadResource(M, R) : nullptr;
  const void* P = G ? LockResource(G) : nullptr;
  if (!P) return false;
  Data.assign(static_cast<const char*>(P), SizeofResource(M, R));
  return true;
}

// Replaces every language of the resource Name by one copy of Data, so the
// program cannot find an old one first.
bool ReplaceResource(HANDLE Update, const std::vector<WORD>& Old, const char* Name, const std::string& Data) {
  const WORD Language = Old.empty() ? MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL) : Old.front();
  for (WORD L : Old)
    if (L != Language && !UpdateResourceA(Update, RT_RCDATA, Name, L, nullptr, 0)) return false;
  return UpdateResourceA(Update, RT_RCDATA, Name, Language, const_cast<char*>(Data.data()),
                         static_cast<DWORD>(Data.size())) != 0;
}

}  // namespace

TNoParams::TNoParams() { TApplication::SetParamsOverride(&FNone); }
TNoParams::~TNoParams() { TApplication::SetParamsOverride(nullptr); }

void PrepareComponentModel() {
  static bool Done = false;
  if (Done) return;
  RegisterSetupClasses();
  Done = true;
}

std::string ReadSourceFile(const std::string& Name) {
  TFileStream S(Name, TFileMode::fmOpenRead);
  std::string Text(static_cast<size_t>(S.Size()), '\0');
  if (!Text.empty()) S.ReadBuffer(&Text[0], Text.size());
  return Text;
}

std::string CompileFormText(const std::string& Text, const std::string& FileName, TOffsetLines& Lines) {
  try {
    return ObjectTextToBinary(Text, &Lines);
  } catch (const EParserError& E) {
    int Line = 0;
    std::string Rest = E.Message();
    SplitParserMessage(E.Message(), Line, Rest);
    ProjectError(FileName, Line, Rest);
  }
}

void LoadFormStream(const std::string& Stream, const TOffsetLines& Lines, TComponent& Root,
                    const std::string& FileName) {
  PrepareComponentModel();
  TNoParams NoParams;
  int64_t FailOffset = -1;
  try {
    TMemoryStream S(Stream);
    ReadRootComponent(S, &Root, &FailOffset);
  } catch (const Exception& E) {
    ProjectError(FileName, FailOffset >= 0 ? TextLineOfOffset(Lines, FailOffset) : 0, E.Message());
  } catch (const std::exception& E) {
    ProjectError(FileName, FailOffset >= 0 ? TextLineOfOffset(Lines, FailOffset) : 0, E.what());
  }
}

int LineOf(const std::string& Text, const std::string& Name, const std::string& Property) {
  TStrings Lines;
  Lines.SetText(Text);
  int Object = -1;
  for (int i = 0; i < Lines.Count(); ++i) {
    const std::string L = Trim(Lines[i]);
    const size_t Colon = L.find(':');
    if (Object < 0) {
      const size_t Space = L.find(' ');
      if (Colon != std::string::npos && Space != std::string::npos && Space < Colon &&
          SameText(L.substr(0, Space), "object") && SameText(Trim(L.substr(Space + 1, Colon - Space - 1)), Name))
        Object = i;
      continue;
    }
    const size_t Eq = L.find('=');
    if (Eq != std::string::npos && SameText(Trim(L.substr(0, Eq)), Property)) return i + 1;
    if (SameText(L, "end") || SameText(L.substr(0, 7), "object ")) break;
  }
  return Object + 1;
}

std::string FullPathOf(const std::string& P) {
  char Buf[MAX_PATH * 2] = {};
  const DWORD N = GetFullPathNameA(P.c_str(), sizeof Buf, Buf, nullptr);
  return N > 0 && N < sizeof Buf ? std::string(Buf, N) : P;
}

bool IsFullPath(const std::string& Dir) {
  const std::string D = Trim(Dir);
  return (D.size() >= 2 && D[1] == ':') || D.compare(0, 2, "\\\\") == 0;
}

// What the component model takes but no installation can carry out,
// reported with its line like a syntax error.
void CheckProject(const TComponent& Root, const std::string& Text, const std::string& FileName) {
  for (int i = 0; i < Root.ComponentCount(); ++i) {
    auto* O = dynamic_cast<TInstallContainer*>(Root.Components(i));
    if (!O) continue;
    if (auto* F = dynamic_cast<TFileRelated*>(O))
      if (F->Container() && !dynamic_cast<TFileContainer*>(F->Container()))
        ProjectError(FileName, LineOf(Text, O->Name(), "Container"),
                     Format("%s cannot hold the files of %s: a file or a file group belongs to the "
                            "TInstall or to a TInstallFileGroup; name one of those as its Container",
                            F->Container()->Name(), O->Name()));
    if (O->DestDirType() && IsFullPath(O->DestDir()))
      ProjectError(FileName, LineOf(Text, O->Name(), "DestDir"),
                   Format("DestDir '%s' of %s is a full path, but DestDirType %s puts it below a folder: "
                          "write a folder below it (DestDir = '\\%s') or leave out DestDirType",
                          O->DestDir(), O->Name(), O->DestDirType()->Name(),
                          ExtractFileName(RemoveBackslash(O->DestDir()))));
  }
}

// A project saved as UTF-8 with its byte order mark (as many editors do):
// the text in the project's code page, Windows-1252, line by line so that a
// character it cannot hold is named with its line.
std::string FromUtf8(const std::string& Text, const std::string& FileName) {
  std::string Out;
  int Line = 1;
  for (size_t Start = 3; Start <= Text.size(); ++Line) {
    size_t End = Text.find('\n', Start);
    if (End == std::string::npos) End = Text.size();
    const std::string Piece = Text.substr(Start, End - Start);
    if (!Piece.empty()) {
      const int Wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Piece.data(), static_cast<int>(Piece.size()), nullptr, 0);
      if (Wide <= 0) ProjectError(FileName, Line, "The line is not UTF-8 text, as the byte order mark at the start says");
      std::wstring W(static_cast<size_t>(Wide), L'\0');
      MultiByteToWideChar(CP_UTF8, 0, Piece.data(), static_cast<int>(Piece.size()), &W[0], Wide);
      BOOL Lost = FALSE;
      const int Size = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, W.data(), Wide, nullptr, 0, nullptr, &Lost);
      std::string A(static_cast<size_t>(Size), '\0');
      WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, W.data(), Wide, &A[0], Size, nullptr, &Lost);
      if (Lost)
        ProjectError(FileName, Line,
                     "The line holds a character that a project cannot hold: projects are Windows-1252 (Western) text");
      Out += A;
    }
    if (End < Text.size()) Out += '\n';
    Start = End + 1;
  }
  return Out;
}

TCompiledProject CompileProject(const std::string& Source, const std::string& FileName) {
  PrepareComponentModel();
  const std::string Text = Source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? FromUtf8(Source, FileName) : Source;
  TCompiledProject R;
  TOffsetLines Lines;
  R.Stream = CompileFormText(Text, FileName, Lines);
  // The root is the setup program's main form, as when the program starts;
  // it is never shown, so the installation (which starts when the main
  // form is first activated) never runs.
  std::unique_ptr<TSetupMainForm> Form(new TSetupMainForm(nullptr));
  LoadFormStream(R.Stream, Lines, *Form, FileName);
  CheckProject(*Form, Text, FileName);
  R.DefaultTitle = DefaultTitleOf(*Form);
  const std::string Expanded = ExpandProjectText(Text, *Form, ExtractFileDir(FullPathOf(FileName)), FileName);
  if (Expanded != Text) {
    // What the setup program carries loads as well; the lines of the
    // author's text are where they were.
    Form.reset(new TSetupMainForm(nullptr));
    TOffsetLines ExpandedLines;
    try {
      R.Stream = CompileFormText(Expanded, FileName, ExpandedLines);
      LoadFormStream(R.Stream, ExpandedLines, *Form, FileName);
    } catch (const EProjectError& E) {
      // Only what was written out can fail here (a name of the author's
      // that a tree's objects take as well); its line is not in his text.
      throw EProjectError(Format("%s: the objects the folder trees were written out as do not load: %s", FileName,
                                 E.Message()));
    }
  }
  return R;
}

TFormResources ReadEngineForms(const std::string& Engine) {
  TLibrary M = LoadEngine(Engine);
  std::vector<std::string> Names;
  EnumResourceNamesA(M, RT_RCDATA, AddName, reinterpret_cast<LONG_PTR>(&Names));
  TFormResources Forms;
  for (const std::string& Name : Names) {
    if (SameText(Name, ProjectResource) || SameText(Name, TitleResource) || SameText(Name, KitResource)) continue;
    std::string Data;
    if (!ReadResource(M, Name.c_str(), Data))
      throw ECompilerError(Format("Cannot read the resource %s of the setup engine %s", Name, Engine));
    Forms[UpperCase(Name)] = Data;
  }
  return Forms;
}

void WriteSetupProgram(const std::string& Engine, const std::string& Out, const std::string& Stream,
                       const std::string& Title, const TFormResources& Forms, const std::string& Kit) {
  // Every resource written, with the languages the engine has it in.
  struct TEntry {
    std::string Name;
    const std::string* Data;
    std::vector<WORD> Old;
  };
  std::vector<TEntry> Entries = {{ProjectResource, &Stream, {}}, {TitleResource, &Title, {}}};
  for (const auto& F : Forms) Entries.push_back({F.first, &F.second, {}});
  if (!Kit.empty()) Entries.push_back({KitResource, &Kit, {}});
  {
    TLibrary M = LoadEngine(Engine);
    for (TEntry& E : Entries) E.Old = ResourceLanguages(M, E.Name.c_str());
  }
  // Built beside the target and moved over it only when complete.
  const std::string Temp = Out + ".qvc-tmp";
  if (!CopyFileA(Engine.c_str(), Temp.c_str(), FALSE))
    throw ECompilerError(Format("Cannot copy the setup engine to %s: %s", Temp,
                                Win32FailureText("CopyFileA", GetLastError())));
  TTempFile TempEnd(Temp);
  HANDLE U = BeginUpdateResourceA(Temp.c_str(), FALSE);
  if (!U) throw ECompilerError(Format("Cannot update the resources of %s: %s", Temp, Win32FailureText("BeginUpdateResourceA", GetLastError())));
  for (const TEntry& E : Entries)
    if (!ReplaceResource(U, E.Old, E.Name.c_str(), *E.Data)) {
      const DWORD Error = GetLastError();
      EndUpdateResourceA(U, TRUE);
      throw ECompilerError(Format("Cannot update the resources of %s: %s", Temp, Win32FailureText("UpdateResourceA", Error)));
    }
  if (!EndUpdateResourceA(U, FALSE))
    throw ECompilerError(Format("Cannot update the resources of %s: %s", Temp, Win32FailureText("EndUpdateResourceA", GetLastError())));
  {
    TLibrary M(LoadAsData(Temp));
    std::string Got;
    for (const TEntry& E : Entries)
      if (!M || !ReadResource(M, E.Name.c_str(), Got) || Got != *E.Data)
        throw ECompilerError(Format("The resources written to %s do not read back", Temp));
  }
  if (!MoveFileExA(Temp.c_str(), Out.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
    throw ECompilerError(Format("Cannot write %s: %s", Out, Win32FailureText("MoveFileExA", GetLastError())));
}

void WriteBuildInf(const std::string& SetupProgram, const std::string& BuildDir) {
  const std::string Name = AddBackslash(ExtractFileDir(SetupProgram)) + "BUILD.INF";
  try {
    TFileStream S(Name, TFileMode::fmCreate);
    const std::string Line = BuildDir + "\r\n";
    S.WriteBuffer(Line.data(), Line.size());
  } catch (const Exception& E) {
    throw ECompilerError(Format("Cannot write %s: %s", Name, E.Message()));
  }
  // The build writes into the folder but does not make it.  One that cannot
  // be made now (a drive not there yet) is the build's to report.
  ForceDirectories(BuildDir);
}

std::string DefaultBuildDir(const std::string& SetupProgram) {
  return AddBackslash(ExtractFileDir(SetupProgram)) + "dist";
}

std::string FindSetupEngine(const std::string& CompilerPath) {
  const std::string Beside = AddBackslash(ExtractFileDir(CompilerPath)) + EngineName;
  if (FileExists(Beside)) return Beside;
  const std::string Kit = FindKitDirectory(false);
  if (!Kit.empty() && FileExists(AddBackslash(Kit) + EngineName)) return AddBackslash(Kit) + EngineName;
  return "";
}

std::string KitOfEngine(const std::string& Engine) {
  const std::string Beside = RemoveBackslash(ExtractFileDir(Engine));
  return FileExists(AddBackslash(Beside) + "Q32V35.TXT") ? Beside : "";
}
