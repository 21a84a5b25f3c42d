// The restart of Windows at the end of a run that left work for it, and the
// command that resumes the installation when Windows comes back.
#pragma once

#include <string>

// The command line of the RunOnce entry that resumes the installation:
//   "<SetupProgram>" -r ["-e<name of the self-extracting file>"] "-s<Distribution's folder>" [-c]
// SetupProgram is the program running now; Distribution the program the
// user started (the loading program or the self-extracting file).
std::string ResumeCommandLine(const std::string& SetupProgram, const std::string& Distribution,
                              bool SelfExtract, bool Copy);

// Restarts Windows; on the NT family with the shutdown privilege, which the
// process must enable first.  False when Windows refuses.
bool RestartWindows();
