/* A stand-in for a DLL planted beside a downloaded setup.exe: built as
   version.dll, it leaves a mark (the file named by QV_PLANTED_MARK) when any
   program loads it.  planted_probe.exe loads "version.dll" by name from its
   own folder, as an unprotected program would, to show the mark works. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
  (void)Instance;
  (void)Reserved;
  if (Reason == DLL_PROCESS_ATTACH) {
    char Mark[MAX_PATH];
    DWORD N = GetEnvironmentVariableA("QV_PLANTED_MARK", Mark, sizeof Mark);
    if (N > 0 && N < sizeof Mark) {
      HANDLE F = CreateFileA(Mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
      if (F != INVALID_HANDLE_VALUE) CloseHandle(F);
    }
  }
  return TRUE;
}

#ifdef QV_PLANTED_PROBE
int WINAPI WinMain(HINSTANCE I, HINSTANCE P, LPSTR C, int S) {
  (void)I;
  (void)P;
  (void)C;
  (void)S;
  return LoadLibraryA("version.dll") ? 0 : 1;
}
#endif
