// "qvc --new FOLDER": a starter project an author changes into his own, with
// the files it installs, that compiles, builds and installs as it is.
#pragma once

#include <string>
#include <vector>

// Writes FOLDER\project.dfm (commented: a program, a read-me, a group of
// documents added as a folder tree, a registry key, links in the Start menu,
// the uninstaller and the wizard's dialog managers) and the files it takes
// from FOLDER\files, the program being the kit's stand-in.  The kit is the
// one of Compiler (qvc.exe).  Returns the files written; ECompilerError
// when FOLDER already holds a project or a file cannot be written.
std::vector<std::string> WriteStarterProject(const std::string& Folder, const std::string& Compiler);

// The starter project's text, its uninstaller taken from Kit.
std::string StarterProjectText(const std::string& Kit);
