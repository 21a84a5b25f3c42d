/* QvSampleShared.dll: a library the sample product shares with other
 * products of its vendor.  It lives in the system folder and is counted in
 * the system's shared-library list, so removing one product keeps it for
 * the others. */
#include <windows.h>

__declspec(dllexport) const char* __stdcall QvSampleGreeting(void) {
  return "Hello from the Quorvane sample's shared library";
}

__declspec(dllexport) int __stdcall QvSampleSharedVersion(void) { return 0x00010000; }

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
  (void)Instance;
  (void)Reason;
  (void)Reserved;
  return TRUE;
}
