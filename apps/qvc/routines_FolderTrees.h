// What the project compiler makes of a project's source folders before the
// setup program gets it: relative folders are relative to the project
// file, and every folder tree (TInstallFolder) is written out as the
// install files, and file groups, it stands for, so that the setup program
// carries ordinary install objects.
#pragma once

#include <string>
#include <vector>

class TComponent;
class TInstallFolder;

// A file of a folder tree: its folder relative to the tree ("" or
// "bin\plugins") and its name.
struct TTreeFile {
  std::string Dir, Name;
};

// The files below Dir that the tree takes, sorted by folder and name.
std::vector<TTreeFile> ListFolderTree(const TInstallFolder& Tree, const std::string& Dir);

// Name matches one of the ";"-separated masks ("*.exe;read?e.*"),
// regardless of case.
bool MatchesMasks(const std::string& Name, const std::string& Masks);

// The project text with each relative IncludeFromDir made full against
// ProjectDir and each folder tree replaced by the objects it stands for, at
// the end of the main form (Root, the project loaded from Text); the tree's
// own object becomes comment lines, so that a setup program that carries
// one was not made by qvc and refuses to build.  EProjectError, with the
// line of the tree, for a tree without a file container, a source folder
// that is not there, or one that takes no file.
std::string ExpandProjectText(const std::string& Text, TComponent& Root, const std::string& ProjectDir,
                              const std::string& FileName);
