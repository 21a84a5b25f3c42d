// The program of the starter project that "qvc --new" writes: a stand-in
// for the author's own product, which says where it was installed.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char Path[MAX_PATH * 2] = {};
  const DWORD N = GetModuleFileNameA(nullptr, Path, sizeof Path);
  const std::string Self(Path, N < sizeof Path ? N : 0);
  const std::string Name = Self.substr(Self.find_last_of('\\') + 1);
  const std::string Text = "This is " + Name + ", installed in " + Self.substr(0, Self.find_last_of('\\')) +
                           ".\n\nReplace it with your own program in the project's files folder.";
  MessageBoxA(nullptr, Text.c_str(), Name.c_str(), MB_OK | MB_ICONINFORMATION);
  return 0;
}
