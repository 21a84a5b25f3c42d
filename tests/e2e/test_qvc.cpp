// The project compiler: mistakes reported with their line and nothing
// written, the setup program it writes (resources, BUILD.INF), a compiled
// project that builds its distribution, and the class catalogue.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "apps/qvc/routines_ProjectCompiler.h"
#include "apps/qvc/routines_Reference.h"
#include "engine/routines_Distribution.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/routines_Files.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"
#include "test_uninstall_support.h"

namespace {

// A project with an install file; Mistake replaces one line of it (by
// number) when given.
std::string Project(const std::string& Payload, int Line = 0, const std::string& Mistake = "") {
  const std::vector<std::string> Lines = {
      "object Form1: TForm1",                                  // 1
      "  Caption = 'Compiler Test Installation'",              // 2
      "  object psProgramFiles: TpsProgramFiles",              // 3
      "  end",                                                 // 4
      "  object psContainerDestDir: TpsContainerDestDir",      // 5
      "  end",                                                 // 6
      "  object psContainerArchiveFile: TpsContainerArchiveFile",  // 7
      "  end",                                                 // 8
      "  object Install1: TInstall",                           // 9
      "    DestDir = '\\QvCompiler Test'",                     // 10
      "    DestDirType = psProgramFiles",                      // 11
      "    Information.ProductName = 'QvCompiler Test'",       // 12
      "  end",                                                 // 13
      "  object ReadMe: TInstallFile",                         // 14
      "    Container = Install1",                              // 15
      "    FileName = 'readme.txt'",                           // 16
      "    DestName = 'readme.txt'",                           // 17
      "    DestDirType = psContainerDestDir",                  // 18
      "    OverwriteMode = owAlways",                          // 19
      "    IncludeFromDir = '" + Payload + "'",                // 20
      "    ArchiveFileType = psContainerArchiveFile",          // 21
      "  end",                                                 // 22
      "end",                                                   // 23
  };

  std::string Text;
  for (size_t i = 0; i < Lines.size(); ++i)
    Text += (static_cast<int>(i) + 1 == Line ? Mistake : Lines[i]) + "\r\n";
  return Text;
}

struct TMistake {
  const char* What;
  int Line;
  std::string Replacement;
  const char* Message;  // the part after "file(line): "
};

const TMistake Mistakes[] = {
    {"unknown class", 14, "  object ReadMe: TInstalFile", "Class TInstalFile not found"},
    {"unknown property", 16, "    FileNam = 'readme.txt'", "Error reading ReadMe.FileNam: Property does not exist"},
    {"bad enumerator", 19, "    OverwriteMode = owSometimes", "Error reading ReadMe.OverwriteMode: Invalid property value"},
    {"unknown reference", 15, "    Container = Install2", "Unresolved reference to Install2"},
    {"syntax error", 17, "    DestName 'readme.txt'", ""},
    {"unknown sub-property", 12, "    Information.ProductNam = 'x'", "Property does not exist"},
};

TEST(ProjectCompiler, MistakesAreReportedWithTheirLine) {
  for (const TMistake& M : Mistakes) {
    SCOPED_TRACE(M.What);
    try {
      CompileProject(Project("C:\\payload", M.Line, M.Replacement), "project.dfm");
      ADD_FAILURE() << "no error";
    } catch (const EProjectError& E) {
      const std::string Prefix = "project.dfm(" + std::to_string(M.Line) + "): ";
      EXPECT_EQ(E.Message().compare(0, Prefix.size(), Prefix), 0) << E.Message();
      EXPECT_NE(E.Message().find(M.Message), std::string::npos) << E.Message();
    }
  }
}

// Projects the component model takes but no installation could carry out:
// files in a registry entry would leave the archive, a full DestDir below a
// path specifier would install into "C:\\Program FilesQ:\\...".
TEST(ProjectCompiler, WhatNoInstallationCanDoIsRefusedWithItsLine) {
  auto Changed = [](std::string Text, const std::string& From, const std::string& To) {
    const size_t At = Text.find(From);
    EXPECT_NE(At, std::string::npos) << From;
    return At == std::string::npos ? Text : Text.replace(At, From.size(), To);
  };
  const std::string Good = Project("C:\\payload");
  const struct {
    std::string Text;
    std::string Message;
  } Cases[] = {
      {Changed(Changed(Good, "    Container = Install1\r\n    FileName", "    Container = Settings\r\n    FileName"),
               "  end\r\nend", "  end\r\n  object Settings: TInstallRegistry\r\n    Container = Install1\r\n  end\r\nend"),
       "project.dfm(15): Settings cannot hold the files of ReadMe: a file or a file group belongs to the TInstall "
       "or to a TInstallFileGroup; name one of those as its Container"},
      {Changed(Good, "DestDir = '\\QvCompiler Test'", "DestDir = 'Q:\\QvCompiler Test'"),
       "project.dfm(10): DestDir 'Q:\\QvCompiler Test' of Install1 is a full path, but DestDirType psProgramFiles "
       "puts it below a folder: write a folder below it (DestDir = '\\QvCompiler Test') or leave out DestDirType"},
  };
  for (const auto& C : Cases) {
    try {
      CompileProject(C.Text, "project.dfm");
      ADD_FAILURE() << "no error for " << C.Message;
    } catch (const EProjectError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
}

// A project saved as UTF-8 with a byte order mark is read in the project's
// code page; a character that code page lacks is refused with its line.
TEST(ProjectCompiler, AUtf8ProjectIsReadInItsCodePage) {
  const std::string Bom = "\xEF\xBB\xBF";
  std::string Text = Project("C:\\payload");
  Text.replace(Text.find("'Compiler Test Installation'"), 28, "'Install\xC3\xA9 \xE2\x82\xAC'");  // é €
  EXPECT_EQ(CompileProject(Bom + Text, "project.dfm").DefaultTitle, "Install\xE9 \x80");
  Text.replace(Text.find("Install\xC3\xA9"), 9, "\xE6\x97\xA5");  // a Chinese character
  try {
    CompileProject(Bom + Text, "project.dfm");
    ADD_FAILURE() << "no error";
  } catch (const EProjectError& E) {
    EXPECT_EQ(E.Message(), "project.dfm(2): The line holds a character that a project cannot hold: projects are "
                           "Windows-1252 (Western) text");
  }
}

TEST(ProjectCompiler, AGoodProjectLoadsAndNamesItsTitle) {
  const TCompiledProject P = CompileProject(Project("C:\\payload"), "project.dfm");
  EXPECT_EQ(P.Stream, ObjectTextToBinary(Project("C:\\payload")));
  EXPECT_EQ(P.DefaultTitle, "Compiler Test Installation");
  // Without a caption the product names the installation.
  const TCompiledProject Q = CompileProject(Project("C:\\payload", 2, ""), "project.dfm");
  EXPECT_EQ(Q.DefaultTitle, "QvCompiler Test");
}

// The standard path specifiers are in every project: one declared after
// the object that names it describes that one; declared twice, it clashes.
TEST(ProjectCompiler, PathSpecifiersMayBeDeclaredInAnyOrder) {
  std::string Text = Project("C:\\payload");
  const std::string Declaration = "  object psProgramFiles: TpsProgramFiles\r\n  end\r\n";
  Text.erase(Text.find(Declaration), Declaration.size());
  const std::string Later = Text.insert(Text.rfind("end"), Declaration);
  EXPECT_EQ(CompileProject(Later, "project.dfm").Stream, ObjectTextToBinary(Later));
  try {
    CompileProject(std::string(Later).insert(Later.rfind("end"), Declaration), "project.dfm");
    ADD_FAILURE() << "no error";
  } catch (const EProjectError& E) {
    EXPECT_NE(E.Message().find("A component named psProgramFiles already exists"), std::string::npos) << E.Message();
  }
}

TEST(ProjectCompiler, LoadingStartsNoInstallation) {
  // An install component reads the command line when it is loaded; whatever
  // this program was started with, the compiler loads with none, and the
  // installation only starts when a main form is shown.
  TScratchDir D("qv_qvc_noinstall");
  const std::string Before = RegistrySnapshot(hkLocalMachine, "\\SOFTWARE\\Quorvane");
  CompileProject(Project(D.Path()), "project.dfm");
  EXPECT_EQ(RegistrySnapshot(hkLocalMachine, "\\SOFTWARE\\Quorvane"), Before);
  EXPECT_FALSE(DirectoryExists(AddBackslash(GetProgramFilesDir()) + "QvCompiler Test"));
}

TEST(ProjectCompiler, TheKitsTranslatorGoesIntoAProject) {
  const std::string Translator = ReadTestFile(BuildTreePath("kit\\Translator.dfm"));
  ASSERT_NE(Translator.find("object Translator1: TTranslator"), std::string::npos);
  std::string Text = Project("C:\\payload");
  Text.insert(Text.rfind("end"), Translator);
  const TCompiledProject P = CompileProject(Text, "project.dfm");
  EXPECT_EQ(P.Stream, ObjectTextToBinary(Text));
  // A faulty table line is a mistake of the project like any other.
  const size_t At = Text.find("'5;Suivant >'");
  ASSERT_NE(At, std::string::npos);
  Text.replace(At, 13, "'Suivant >'");
  try {
    CompileProject(Text, "project.dfm");
    ADD_FAILURE() << "no error";
  } catch (const EProjectError& E) {
    EXPECT_NE(E.Message().find("lgFrench.Strings.Strings: The "), std::string::npos) << E.Message();
    EXPECT_NE(E.Message().find("(Suivant >) does not have the proper format of GLID;Text or .GLID;"),
              std::string::npos)
        << E.Message();
  }
}

class CompilerProgram : public ::testing::Test {
 protected:
  TScratchDir Dir{"qv_qvc_test"};
  std::string Payload = Dir / "payload";
  std::string Out = Dir / "setup\\Setup.exe";
  std::string BuildInf = Dir / "setup\\BUILD.INF";

  void SetUp() override { WriteTestFile(AddBackslash(Payload) + "readme.txt", "Read me.\r\n"); }

  std::string Resource(const char* Name, const std::string& Module = "") {
    HMODULE M = LoadLibraryExA((Module.empty() ? Out : Module).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!M) return "<no module>";
    std::string R = "<none>";
    if (HRSRC H = FindResourceA(M, Name, RT_RCDATA))
      if (HGLOBAL G = LoadResource(M, H)) R.assign(static_cast<const char*>(LockResource(G)), SizeofResource(M, H));
    FreeLibrary(M);
    return R;
  }
};

TEST_F(CompilerProgram, NothingIsWrittenForAMistake) {
  for (const TMistake& M : Mistakes) {
    SCOPED_TRACE(M.What);
    const TProgramRun R = CompileProjectFile(Dir.Path(), Project(Payload, M.Line, M.Replacement));
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, 1u);
    const std::string Prefix = Dir / "project.dfm" + "(" + std::to_string(M.Line) + "): ";
    EXPECT_EQ(R.Errors.compare(0, Prefix.size(), Prefix), 0) << R.Errors;
    EXPECT_FALSE(FileExists(Out));
    EXPECT_FALSE(FileExists(BuildInf));
    EXPECT_FALSE(FileExists(Out + ".qvc-tmp"));
  }
}

TEST_F(CompilerProgram, WritesTheProjectTitleAndBuildFolder) {
  const std::string Text = Project(Payload);
  TProgramRun R = CompileProjectFile(Dir.Path(), Text, " --title \"My Title\"");
  ASSERT_TRUE(R.Ended);
  ASSERT_EQ(R.ExitCode, 0u) << R.Errors;
  EXPECT_EQ(Resource("TFORM1"), ObjectTextToBinary(Text));
  EXPECT_EQ(Resource("QVTITLE"), "My Title");
  EXPECT_EQ(ReadTestFile(BuildInf), Dir / "dist" + "\r\n");

  // Again without a title or build folder: the caption, and "dist" beside
  // the program; the resources are replaced, not added beside the old.
  R = RunCaptured(Quote(KitProgram("qvc.exe")) + " " + Quote(Dir / "project.dfm") + " " + Quote(Out));
  ASSERT_EQ(R.ExitCode, 0u) << R.Errors;
  EXPECT_EQ(Resource("QVTITLE"), "Compiler Test Installation");
  EXPECT_EQ(ReadTestFile(BuildInf), Dir / "setup\\dist" + "\r\n");
}

TEST_F(CompilerProgram, BadUsageAndMissingFiles) {
  struct Case {
    std::string Args;
    DWORD Exit;
  } Cases[] = {
      {"", 2},
      {Quote(Dir / "project.dfm"), 2},
      {Quote(Dir / "missing.dfm") + " " + Quote(Out), 2},
      {Quote(Dir / "project.dfm") + " " + Quote(Out) + " --title", 2},
      {Quote(Dir / "project.dfm") + " " + Quote(Out) + " --frobnicate", 2},
  };
  WriteTestFile(Dir / "project.dfm", Project(Payload));
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Args);
    const TProgramRun R = RunCaptured(Quote(KitProgram("qvc.exe")) + " " + C.Args);
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, C.Exit);
    EXPECT_FALSE(R.Errors.empty());
    EXPECT_FALSE(FileExists(Out));
  }
}

// The kit's welcome page (LF line ends) with a caption of the author's;
// Mistake replaces one line (by number) when given.
std::string WelcomeForm(int Line = 0, const std::string& Mistake = "") {
  std::string Text = ReadTestFile(SourceTreePath("ui\\forms\\TWelcomeForm.dfm"));
  const std::string Caption = "  Caption = 'Welcome'\n";
  const size_t At = Text.find(Caption);
  if (At == std::string::npos) return "";
  Text.replace(At, Caption.size(), "  Caption = 'Welcome to My Product'\n");
  size_t From = 0;
  for (int i = 1; i < Line; ++i) From = Text.find('\n', From) + 1;
  return Line ? Text.replace(From, Text.find('\n', From) - From, Mistake) : Text;
}

TEST_F(CompilerProgram, PutsTheAuthorsTextsAndFormsIntoThePages) {
  WriteTestFile(Dir / "licence.txt", "Terms of use\r\n\r\nYou may use it.\n");
  const std::string Rtf = "{\\rtf1\\ansi Read {\\b me}.\\par\r\n}";
  WriteTestFile(Dir / "readme.rtf", Rtf);
  ASSERT_NE(WelcomeForm(), "");
  WriteTestFile(Dir / "welcome.dfm", WelcomeForm());
  const TProgramRun R = CompileProjectFile(Dir.Path(), Project(Payload),
                                           " --license " + Quote(Dir / "licence.txt") + " --readme " +
                                               Quote(Dir / "readme.rtf") + " --form " + Quote(Dir / "welcome.dfm"));
  ASSERT_TRUE(R.Ended);
  ASSERT_EQ(R.ExitCode, 0u) << R.Errors;
  const std::string Engine = KitProgram("QuorvaneSetup.exe");

  // The texts replace the kit's, line by line; the rest of each page stays.
  const std::string License = ObjectBinaryToText(Resource("TLICENSEFORM"));
  EXPECT_NE(License.find("Lines.Strings = (\n          'Terms of use'\n          ''\n          'You may use it.')"),
            std::string::npos)
      << License;
  EXPECT_EQ(License.find("SOFTWARE LICENSE AGREEMENT"), std::string::npos);
  const std::string Kit = ObjectBinaryToText(Resource("TLICENSEFORM", Engine));
  EXPECT_EQ(License.substr(0, License.find("Lines.Strings")), Kit.substr(0, Kit.find("Lines.Strings")));
  const std::string Readme = ObjectBinaryToText(Resource("TREADMEFORM"));
  EXPECT_NE(Readme.find("'{\\rtf1\\ansi Read {\\b me}.\\par'\n          '}')"), std::string::npos) << Readme;

  EXPECT_EQ(Resource("TWELCOMEFORM"), ObjectTextToBinary(WelcomeForm()));
  EXPECT_EQ(Resource("TCOPYFILEFORM"), Resource("TCOPYFILEFORM", Engine));
  EXPECT_EQ(Resource("TFORM1"), ObjectTextToBinary(Project(Payload)));
}

TEST_F(CompilerProgram, RefusesFormsAndTextsItCannotUse) {
  WriteTestFile(Dir / "licence.txt", "Terms of use\r\n");
  WriteTestFile(Dir / "word.doc", std::string("\xD0\xCF\x11\xE0\0\0\0", 7));
  WriteTestFile(Dir / "stranger.dfm", "object Stranger: TStrangerForm\r\nend\r\n");
  WriteTestFile(Dir / "syntax.dfm", WelcomeForm(3, "  Top 120"));
  WriteTestFile(Dir / "misspelt.dfm", "object CopyFileForm: TCopyFileForm\r\n  Captin = 'x'\r\nend\r\n");
  WriteTestFile(Dir / "nolicence.dfm", "object LicenseForm: TLicenseForm\r\nend\r\n");
  struct Case {
    std::string Args;
    DWORD Exit;
    std::string Message;
  } Cases[] = {
      {" --license " + Quote(Dir / "missing.txt"), 2, Dir / "missing.txt"},
      {" --readme " + Quote(Dir / "word.doc"), 2, Dir / "word.doc" + " is not a plain-text or RTF file"},
      {" --form " + Quote(Dir / "stranger.dfm"), 1,
       Dir / "stranger.dfm" + "(1): TStrangerForm is not one of the setup's pages or windows (TBadInstallForm, "},
      {" --form " + Quote(Dir / "syntax.dfm"), 1, Dir / "syntax.dfm" + "(3): "},
      {" --form " + Quote(Dir / "misspelt.dfm"), 1, Dir / "misspelt.dfm" + "(2): "},
      {" --form " + Quote(Dir / "welcome.dfm") + " --form " + Quote(Dir / "welcome.dfm"), 1, "replaces the same form"},
      // A licence page without its controls is refused as the program would
      // refuse to show it.
      {" --form " + Quote(Dir / "nolicence.dfm") + " --license " + Quote(Dir / "licence.txt"), 1,
       "The form TLicenseForm has no control"},
      {" --license " + Quote(Dir / "licence.txt") + " --engine " + Quote(KitProgram("qvc.exe")), 2,
       Dir / "licence.txt" + " into the setup: the setup engine " + KitProgram("qvc.exe") + " has no TLICENSEFORM form"},
  };
  WriteTestFile(Dir / "welcome.dfm", WelcomeForm());
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Args);
    const TProgramRun R = CompileProjectFile(Dir.Path(), Project(Payload), C.Args);
    ASSERT_TRUE(R.Ended);
    EXPECT_EQ(R.ExitCode, C.Exit);
    EXPECT_NE(R.Errors.find(C.Message), std::string::npos) << R.Errors;
    EXPECT_FALSE(FileExists(Out));
    EXPECT_FALSE(FileExists(BuildInf));
    EXPECT_FALSE(FileExists(Out + ".qvc-tmp"));
  }
  // Options go before the positional arguments as well as after them.
  const TProgramRun R = RunCaptured(Quote(KitProgram("qvc.exe")) + " --license " + Quote(Dir / "licence.txt") + " " +
                                    Quote(Dir / "project.dfm") + " " + Quote(Out));
  ASSERT_EQ(R.ExitCode, 0u) << R.Errors;
  EXPECT_NE(ObjectBinaryToText(Resource("TLICENSEFORM")).find("'Terms of use')"), std::string::npos);
}

TEST_F(CompilerProgram, TheCompiledProjectBuildsItsDistribution) {
  EXPECT_EQ(BuildDistribution(Dir.Path(), Project(Payload)), "");
  // The distribution's setup program is the compiled one.
  EXPECT_TRUE(FileExists(Dir / "dist\\files.1"));
  EXPECT_GT(FileSizeByName(Dir / "dist\\setup.exe"), FileSizeByName(KitProgram("QuorvaneLoadProgram.exe")));
}

// A tree of several hundred files in a few lines, relative to the project
// file: compiled and built in one command (without the kit on any search
// path), installed with its folders, contents and dates; masks and
// exclusions leave out what they say, and a tree of groups makes one group
// per first-level folder.
TEST_F(CompilerProgram, AFolderTreeOfHundredsOfFilesBuildsAndInstalls) {
  const std::string Product = "QvCompiler Tree";
  struct TSource {
    std::string Relative, Installed;
    double Date;
  };
  std::vector<TSource> Sources;
  auto Add = [&](const std::string& Relative, const std::string& Installed) {
    const double Date = 43900.5 + static_cast<double>(Sources.size()) / 96;  // every 15 minutes from May 2020
    ASSERT_TRUE(WriteTestFile(Dir / "project\\" + Relative, "file " + Relative + std::string(Sources.size() % 7, '+')));
    ASSERT_TRUE(FileSetDate(Dir / "project\\" + Relative, Date));
    Sources.push_back({Relative, Installed, Date});
  };
  for (int A = 0; A < 6; ++A)
    for (int B = 0; B < 5; ++B)
      for (int F = 0; F < 10; ++F) {
        const std::string Sub = Format("lib%d\\sub%d\\file%d.", A, B, F) + (F % 2 ? "txt" : "dat");
        Add("tree\\" + Sub, "Data\\" + Sub);
      }
  for (int F = 0; F < 10; ++F) Add(Format("tree\\top%d.txt", F), Format("Data\\top%d.txt", F));
  for (const char* P : {"a\\one.txt", "a\\deeper\\two.txt", "b\\three.txt"}) Add(std::string("plugins\\") + P, std::string("Plugins\\") + P);
  const std::vector<std::string> Left = {"tree\\lib1\\old.bak", "tree\\skip\\file.txt", "tree\\lib2\\notes.doc"};
  for (const std::string& L : Left) WriteTestFile(Dir / "project\\" + L, "left out");
  std::string Text = Project("");
  Text.replace(Text.find("QvCompiler Test"), 15, Product);
  Text.replace(Text.find("  object ReadMe:"), Text.rfind("end") - Text.find("  object ReadMe:"),
               "  object Tree: TInstallFolder\r\n    Container = Install1\r\n    SourceDir = 'tree'\r\n"
               "    DestDir = 'Data'\r\n    Masks = '*.txt;*.dat'\r\n    Exclude = '*.bak;skip'\r\n  end\r\n"
               "  object Plugins: TInstallFolder\r\n    Container = Install1\r\n    SourceDir = 'plugins\\'\r\n"
               "    DestDir = '\\Plugins'\r\n    Subfolders = sfGroups\r\n  end\r\n");
  WriteTestFile(Dir / "project\\project.dfm", Text);
  const std::string SavedPath = RegReadString(hkCurrentUser, KitSearchPathKey, "Search Path", "");
  RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", "");
  const TProgramRun Built = RunCaptured(Quote(KitProgram("qvc.exe")) + " " + Quote(Dir / "project\\project.dfm") +
                                        " " + Quote(Out) + " --build");
  RegWriteString(hkCurrentUser, KitSearchPathKey, "Search Path", SavedPath);
  ASSERT_TRUE(Built.Ended);
  ASSERT_EQ(Built.ExitCode, 0u) << Built.Output << Built.Errors;
  const std::string Count = std::to_string(Sources.size());
  EXPECT_NE(Built.Output.find("  [" + Count + "/" + Count + "] "), std::string::npos) << Built.Output;
  EXPECT_NE(Built.Output.find("Built " + Dir / "setup\\dist in "), std::string::npos) << Built.Output;
  EXPECT_NE(Built.Output.find(Count + " files, "), std::string::npos) << Built.Output;

  const std::string Target = AddBackslash(GetProgramFilesDir()) + Product;
  const TProgramRun Installed = RunCaptured(Quote(Dir / "setup\\dist\\setup.exe"));
  EXPECT_TRUE(Installed.Ended);
  for (const TSource& S : Sources) {
    const std::string Path = AddBackslash(Target) + S.Installed;
    double Date = 0;
    EXPECT_EQ(ReadTestFile(Path), ReadTestFile(Dir / "project\\" + S.Relative)) << S.Installed;
    EXPECT_TRUE(FileAge(Path, Date)) << S.Installed;
    EXPECT_NEAR(Date, S.Date, 1.0 / 86400) << S.Installed;
  }
  for (const std::string& L : Left) EXPECT_FALSE(FileExists(AddBackslash(Target) + "Data" + L.substr(4))) << L;
  // The groups of the plugins' folders, with their files.
  const std::string Setup = ObjectBinaryToText(Resource("TFORM1"));
  EXPECT_NE(Setup.find("object PluginsGroup2: TInstallFileGroup"), std::string::npos);
  EXPECT_NE(Setup.find("GroupName = 'b'"), std::string::npos);
  EXPECT_EQ(Setup.find("TInstallFolder"), std::string::npos);  // what a build refuses to find
  RemoveTree(Target);
  RegDeleteKeyTree(hkLocalMachine, UninstallKeyOf(Product));
}

// The reference in the sources is what qvc prints, and it says what each
// property of a project's objects is for.
TEST(ProjectCompilerCatalogue, TheReferenceInTheSourcesIsWhatQvcPrints) {
  const TProgramRun R = RunCaptured(Quote(KitProgram("qvc.exe")) + " --catalogue");
  ASSERT_EQ(R.ExitCode, 0u) << R.Errors;
  std::string Printed;
  for (char C : R.Output)
    if (C != '\r') Printed += C;
  EXPECT_TRUE(Printed == ReadTestFile(SourceTreePath("docs\\reference.txt")))
      << "docs/reference.txt is not what qvc --catalogue prints: write it again with\n"
         "  build/win64/wine-run build/win64/kit/qvc.exe --catalogue | tr -d '\\r' > docs/reference.txt";
  EXPECT_EQ(UndescribedProperties(), std::vector<std::string>());
  for (const char* Line : {"  DestDirType: reference to TCustomPathSpecifier = psProgramFiles\n",
                           "  FileName: String  [needed]\n", "  psWindow                Path of the Windows directory\n",
                           "TLicenseForm (TWizardPage)\n    goes: a page or window of the wizard, not written"})
    EXPECT_NE(Printed.find(Line), std::string::npos) << Line;
}

TEST(ProjectCompilerCatalogue, ListsEveryClassWithItsProperties) {
  const TProgramRun R = RunCaptured(Quote(KitProgram("qvc.exe")) + " --catalogue");
  ASSERT_TRUE(R.Ended);
  ASSERT_EQ(R.ExitCode, 0u) << R.Errors;
  const std::string C = "\n" + R.Output;
  PrepareComponentModel();
  for (const TClassInfo* Info : RegisteredClasses())
    EXPECT_TRUE(C.find("\n" + Info->ClassName + " (") != std::string::npos ||
                C.find("\n" + Info->ClassName + "\n") != std::string::npos)
        << Info->ClassName;
  for (const char* Line : {
           "  OverwriteMode: TOverwriteType = owAlways",
           "  InstallTypes: set of TInstallType = [itAlways]",
           "  Container: reference to TInstallContainer",
           "  Information.ProductName: String = 'My product'",
           "  OnBeforeInstall: event",
       })
    EXPECT_NE(C.find(Line), std::string::npos) << Line;
}

}  // namespace
