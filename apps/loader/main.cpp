// The loading program QuorvaneLoadProgram.exe: the front of a self-extracting
// setup.exe (see routines_Loader.h).  A GUI program without a window of its
// own, so no console appears while it waits for the setup program.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "apps/loader/routines_Loader.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The runtime has already split the command line the way every Windows
  // program does.
  std::vector<std::string> Args;
  for (int i = 1; i < __argc; ++i) Args.emplace_back(__argv[i]);
  return RunLoader(Args);
}
