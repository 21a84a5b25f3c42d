#include "apps/qvc/routines_FolderTrees.h"

#include <windows.h>

#include <algorithm>

#include "apps/qvc/routines_ProjectCompiler.h"
#include "archive/cmp_TQrvnCompress.h"
#include "environment/routines_Scoped.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TInstallFile.h"
#include "model/cmp_TInstallFolder.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

bool MatchesMask(const char* Name, const char* Mask) {
  for (;; ++Name, ++Mask) {
    if (*Mask == '*') {
      while (*Mask == '*') ++Mask;
      if (!*Mask) return true;
      for (; *Name; ++Name)
        if (MatchesMask(Name, Mask)) return true;
      return false;
    }
    if (!*Name || !*Mask) return !*Name && !*Mask;
    if (*Mask != '?' && UpperCase(std::string(1, *Name)) != UpperCase(std::string(1, *Mask))) return false;
  }
}

std::vector<std::string> MaskList(const std::string& Masks) {
  TStrings L;
  SplitToList(Masks, ';', L);
  std::vector<std::string> R;
  for (int i = 0; i < L.Count(); ++i)
    if (!Trim(L[i]).empty()) R.push_back(Trim(L[i]) == "*.*" ? "*" : Trim(L[i]));
  return R;
}

// An exclusion with a backslash is matched against the path below the tree
// ("obj\*"), any other against the name alone ("*.bak", "CVS").
bool Excluded(const std::string& Relative, const std::string& Name, const std::vector<std::string>& Exclusions) {
  for (const std::string& E : Exclusions)
    if (MatchesMask((E.find('\\') != std::string::npos ? Relative : Name).c_str(), E.c_str())) return true;
  return false;
}

void Walk(const std::string& Dir, const std::string& Relative, const TInstallFolder& Tree,
          const std::vector<std::string>& Masks, const std::vector<std::string>& Exclusions,
          std::vector<TTreeFile>& Out) {
  std::vector<std::pair<std::string, bool>> Entries;  // name, is a folder
  WIN32_FIND_DATAA D;
  {
    TFindHandle H(FindFirstFileA((AddBackslash(Dir) + (Relative.empty() ? "" : Relative + "\\") + "*").c_str(), &D));
    if (!H.Valid()) return;
    do {
      const std::string Name = D.cFileName;
      if (Name != "." && Name != "..") Entries.emplace_back(Name, (D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(H, &D));
  }
  // Files of a folder before its subfolders, each by name, whatever order
  // the file system lists them in.
  std::sort(Entries.begin(), Entries.end(), [](const auto& A, const auto& B) {
    return A.second != B.second ? B.second : UpperCase(A.first) < UpperCase(B.first);
  });
  for (const auto& E : Entries) {
    const std::string Path = Relative.empty() ? E.first : Relative + "\\" + E.first;
    if (Excluded(Path, E.first, Exclusions)) continue;
    if (E.second) {
      if (Tree.Recursive) Walk(Dir, Path, Tree, Masks, Exclusions, Out);
    } else if (std::any_of(Masks.begin(), Masks.end(), [&](const std::string& M) { return MatchesMask(E.first.c_str(), M.c_str()); })) {
      Out.push_back({Relative, E.first});
    }
  }
}

bool IsRelative(const std::string& Dir) {
  const std::string D = Trim(Dir);
  return !D.empty() && !(D.size() >= 2 && D[1] == ':') && D[0] != '\\';
}

std::string FullDir(const std::string& ProjectDir, const std::string& Dir) {
  if (!IsRelative(Dir)) return RemoveBackslash(Trim(Dir));
  char Buf[MAX_PATH * 2] = {};
  const std::string Joined = AddBackslash(ProjectDir) + Trim(Dir);
  const DWORD N = GetFullPathNameA(Joined.c_str(), sizeof Buf, Buf, nullptr);
  return RemoveBackslash(N > 0 && N < sizeof Buf ? std::string(Buf, N) : Joined);
}

std::string Quoted(const std::string& S) {
  std::string R = "'";
  for (char C : S) R += C == '\'' ? std::string("''") : std::string(1, C);
  return R + "'";
}

// "\Data" from "Data", "\Data\" or "\Data"; "" stays "".
std::string BelowFolder(const std::string& Dir) {
  std::string D = RemoveBackslash(Trim(Dir));
  return D.empty() || D[0] == '\\' ? D : "\\" + D;
}

std::string FileText(const std::string& Name, const std::string& Container, const std::string& DestDir,
                     const std::string& SourceDir, const std::string& FileName, TOverwriteType Mode) {
  return "  object " + Name + ": TInstallFile\n    Container = " + Container +
         "\n    ArchiveFileType = psContainerArchiveFile\n    DestDirType = psContainerDestDir\n" +
         (DestDir.empty() ? "" : "    DestDir = " + Quoted(DestDir) + "\n") + "    FileName = " + Quoted(FileName) +
         "\n    DestName = " + Quoted(FileName) + "\n    IncludeFromDir = " + Quoted(SourceDir) +
         "\n    OverwriteMode = " + OverwriteTypeInfo().Names[Mode] + "\n  end\n";
}

std::string GroupText(const std::string& Name, const std::string& Container, const std::string& DestDir,
                      const std::string& Caption) {
  return "  object " + Name + ": TInstallFileGroup\n    Container = " + Container +
         "\n    ArchiveFileType = psContainerArchiveFile\n    DestDirType = psContainerDestDir\n    DestDir = " +
         Quoted(DestDir) + "\n    GroupName = " + Quoted(Caption) + "\n  end\n";
}

// The objects a tree stands for, in the text form.
std::string TreeText(const TInstallFolder& Tree, const std::string& Dir, const std::vector<TTreeFile>& Files) {
  std::string Text = "  // " + Tree.Name() + ": the files of " + Dir + "\n";
  const std::string Below = BelowFolder(Tree.DestDir);
  std::vector<std::string> Groups;  // first-level folders made groups, in order
  int N = 0;
  for (const TTreeFile& F : Files) {
    std::string Container = Tree.Container()->Name(), Sub = F.Dir;
    std::string DestDir = Below + (F.Dir.empty() ? "" : "\\" + F.Dir);
    if (Tree.Subfolders == sfGroups && !F.Dir.empty()) {
      const size_t Cut = F.Dir.find('\\');
      const std::string First = F.Dir.substr(0, Cut);
      auto G = std::find(Groups.begin(), Groups.end(), First);
      if (G == Groups.end()) {
        Groups.push_back(First);
        G = Groups.end() - 1;
        Text += GroupText(Tree.Name() + "Group" + std::to_string(Groups.size()), Container, Below + "\\" + First, First);
      }
      Container = Tree.Name() + "Group" + std::to_string(G - Groups.begin() + 1);
      DestDir = Cut == std::string::npos ? "" : "\\" + F.Dir.substr(Cut + 1);
    }
    Text += FileText(Tree.Name() + "File" + std::to_string(++N), Container, DestDir,
                     RemoveBackslash(AddBackslash(Dir) + F.Dir), F.Name, Tree.OverwriteMode);
  }
  return Text;
}

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> Lines;
  size_t Start = 0;
  for (size_t End; (End = Text.find('\n', Start)) != std::string::npos; Start = End + 1)
    Lines.push_back(Text.substr(Start, End - Start + 1));
  if (Start < Text.size()) Lines.push_back(Text.substr(Start));
  return Lines;
}

// Line (1-based) of Lines set to "Property = <Value>" with the indent and
// line end it had; false when that line is not a plain "Property = '...'".
bool ReplaceValue(std::vector<std::string>& Lines, int Line, const std::string& Property, const std::string& Value) {
  if (Line < 1 || Line > static_cast<int>(Lines.size())) return false;
  std::string& L = Lines[static_cast<size_t>(Line - 1)];
  const size_t Eq = L.find('=');
  if (Eq == std::string::npos || !SameText(Trim(L.substr(0, Eq)), Property)) return false;
  const std::string Rest = Trim(L.substr(Eq + 1));
  if (Rest.size() < 2 || Rest.front() != '\'' || Rest.back() != '\'') return false;
  const bool CR = !L.empty() && L.back() == '\n' && L.size() >= 2 && L[L.size() - 2] == '\r';
  L = L.substr(0, L.find_first_not_of(" \t")) + Property + " = " + Quoted(Value) + (CR ? "\r\n" : "\n");
  return true;
}

// The object whose "object" line is Line (1-based), up to its "end", made
// comment lines: a tree has no objects inside it.  The line count stays, so
// the lines of the author's text are where they were.
void CommentOut(std::vector<std::string>& Lines, int Line) {
  for (size_t i = static_cast<size_t>(Line - 1); Line > 0 && i < Lines.size(); ++i) {
    const bool End = SameText(Trim(Lines[i]), "end");
    Lines[i] = "//" + Lines[i];
    if (End) break;
  }
}

}  // namespace

bool MatchesMasks(const std::string& Name, const std::string& Masks) {
  for (const std::string& M : MaskList(Masks))
    if (MatchesMask(Name.c_str(), M.c_str())) return true;
  return false;
}

std::vector<TTreeFile> ListFolderTree(const TInstallFolder& Tree, const std::string& Dir) {
  std::vector<TTreeFile> Files;
  std::vector<std::string> Masks = MaskList(Tree.Masks);
  if (Masks.empty()) Masks.push_back("*");
  Walk(RemoveBackslash(Dir), "", Tree, Masks, MaskList(Tree.Exclude), Files);
  return Files;
}

std::string ExpandProjectText(const std::string& Text, TComponent& Root, const std::string& ProjectDir,
                              const std::string& FileName) {
  std::vector<std::string> Lines = SplitLines(Text);
  bool Changed = false;
  std::string Trees;
  int Files = 0;
  for (int i = 0; i < Root.ComponentCount(); ++i) {
    TComponent* C = Root.Components(i);
    if (auto* F = dynamic_cast<TCustomInstallFile*>(C)) {
      ++Files;
      const int Line = LineOf(Text, F->Name(), "IncludeFromDir");
      if (IsRelative(F->IncludeFromDir()) &&
          !ReplaceValue(Lines, Line, "IncludeFromDir", FullDir(ProjectDir, F->IncludeFromDir())))
        throw EProjectError(Format("%s(%d): Write the relative IncludeFromDir of %s as one quoted text on its line, "
                                   "so that it can be taken relative to the project file",
                                   FileName, Line, F->Name()));
      Changed |= IsRelative(F->IncludeFromDir());
    }
    auto* T = dynamic_cast<TInstallFolder*>(C);
    if (!T) continue;
    const int Line = LineOf(Text, T->Name(), "SourceDir");
    auto Refuse = [&](const std::string& Message, int At) {
      throw EProjectError(Format("%s(%d): %s", FileName, At, Message));
    };
    if (!dynamic_cast<TFileContainer*>(T->Container()))
      Refuse(Format("The folder tree %s needs a Container: the TInstall or a TInstallFileGroup", T->Name()),
             LineOf(Text, T->Name(), "Container"));
    const std::string Dir = FullDir(ProjectDir, T->SourceDir);
    if (Trim(T->SourceDir).empty() || !DirectoryExists(Dir))
      Refuse(Format("The SourceDir '%s' of %s is not a folder (relative folders are relative to the project file)",
                    T->SourceDir, T->Name()),
             Line);
    const std::vector<TTreeFile> Tree = ListFolderTree(*T, Dir);
    if (Tree.empty()) Refuse(Format("The folder tree %s takes no file from %s", T->Name(), Dir), Line);
    Files += static_cast<int>(Tree.size());
    if (Files > QrvnIdMapSize)
      Refuse(Format("With the folder tree %s the project has %d files; a setup holds at most %d", T->Name(), Files,
                    QrvnIdMapSize),
             Line);
    Trees += TreeText(*T, Dir, Tree);
    CommentOut(Lines, LineOf(Text, T->Name(), ""));
  }
  if (!Changed && Trees.empty()) return Text;
  // The trees go at the end of the main form, before its "end".
  size_t Last = Lines.size();
  while (Last > 0 && !SameText(Trim(Lines[Last - 1]), "end")) --Last;
  std::string Out;
  for (size_t i = 0; i < Lines.size(); ++i) Out += (i + 1 == Last ? Trees : "") + Lines[i];
  return Out;
}
