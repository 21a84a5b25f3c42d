/* A self-registering program for the tests: "/REGSERVER" leaves its path in
   the registry, "/UNREGSERVER" removes it; any other start does nothing. */
#include <windows.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE I, HINSTANCE P, LPSTR Cmd, int Show) {
  char Path[MAX_PATH] = {0};
  HKEY K;
  (void)I; (void)P; (void)Show;
  GetModuleFileNameA(NULL, Path, MAX_PATH);
  if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\QuorvaneTest\\SelfReg", &K) != ERROR_SUCCESS) return 1;
  if (strstr(Cmd, "/REGSERVER") && !strstr(Cmd, "/UNREGSERVER"))
    RegSetValueExA(K, "Exe", 0, REG_SZ, (const BYTE*)Path, (DWORD)lstrlenA(Path) + 1);
  else if (strstr(Cmd, "/UNREGSERVER"))
    RegDeleteValueA(K, "Exe");
  RegCloseKey(K);
  return 0;
}
