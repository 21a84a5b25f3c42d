// A program installed by the run tests and started after the install: it
// leaves "traced.txt" beside itself with the folder it was started in.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char Self[MAX_PATH] = {}, Current[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Self, MAX_PATH);
  GetCurrentDirectoryA(MAX_PATH, Current);
  std::string Trace(Self);
  Trace = Trace.substr(0, Trace.find_last_of('\\') + 1) + "traced.txt";
  FILE* F = std::fopen(Trace.c_str(), "wb");
  if (!F) return 1;
  std::fprintf(F, "started in %s\n", Current);
  return std::fclose(F) == 0 ? 0 : 1;
}
