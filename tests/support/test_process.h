// Starting a program of the tests under Wine and collecting what it said.
#pragma once

#include <functional>
#include <string>

// Runs CommandLine with its standard output and error in one file and waits
// at most TimeoutMs (then ends it).  The exit code, or -1 when the program
// did not start or did not end in time; Output gets what it wrote.  While
// it waits, Pump (when given) runs whenever a window message arrives: a
// program that drives this one's windows needs them answered.
int RunWithOutput(const std::string& CommandLine, std::string& Output, unsigned long TimeoutMs = 120000,
                  const std::function<void()>& Pump = nullptr);

// Runs the test program Child (a file of the build tree) with Wine set to
// report the Windows version Version ("win98", "nt351" ...) to it alone,
// through the per-program settings under HKCU\Software\Wine\AppDefaults;
// the setting is removed again afterwards.
int RunAsWindowsVersion(const std::string& Child, const std::string& Version, std::string& Output);
