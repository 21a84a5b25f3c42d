// Work Windows does at its next start: files moved over others and files
// deleted, for files in use now.  NT moves and deletes through MoveFileEx
// (delay until reboot); the 95 family works through the "[Rename]" section
// of WININIT.INI, "destination=source" lines with short names (they are
// read before long names are known), "NUL=path" for a deletion.  Where
// neither serves, a batch file started from RunOnce does the move.
//
// Each routine answers false with the failure named in Error.
#pragma once

#include <string>

// From replaces To at the next start (MoveFileEx, replacing To).
bool MoveAtRestart(const std::string& From, const std::string& To, std::string& Error);

// Path (a file, or a folder that is empty by then) goes at the next start:
// MoveFileEx, or on the 95 family a "NUL=" line of WININIT.INI.
bool DeleteAtRestart(const std::string& Path, std::string& Error);

// "Destination=Source" at the end of the "[Rename]" section of WININIT.INI
// in the Windows folder, the section made when missing.  A line for the
// same destination is replaced, except for NUL, which may stand for many
// deletions.
bool AddWininitRename(const std::string& Destination, const std::string& Source, std::string& Error);

// Writes the batch file Bat that erases Erase and moves From to To (paths
// quoted where a blank would split them).
bool WriteMoveBatch(const std::string& Bat, const std::string& Erase, const std::string& From,
                    const std::string& To, std::string& Error);
