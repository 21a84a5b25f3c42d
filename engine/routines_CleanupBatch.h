// The batch file that takes the temporary copy of the setup program away
// once the program has ended: the loading program made the copy in a folder
// of its own, and a running program cannot delete itself.
#pragma once

#include <string>

// Writes the batch file that erases Exe, then its folder Dir, then itself,
// and returns its name; empty when it cannot be written.  Family95 writes
// the DOS commands of the 95 family.
std::string WriteCleanupBatch(const std::string& Exe, const std::string& Dir, bool Family95);
