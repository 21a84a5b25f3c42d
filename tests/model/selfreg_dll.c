/* A self-registering library for the tests: DllRegisterServer leaves a
   trace in the registry (the library's own path), DllUnregisterServer takes
   it away.  Built twice: QV_SELFREG_FAIL makes registration fail. */
#include <windows.h>

static HMODULE Self;

BOOL WINAPI DllMain(HINSTANCE H, DWORD Reason, LPVOID R) {
  (void)R;
  if (Reason == DLL_PROCESS_ATTACH) Self = H;
  return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) {
#ifdef QV_SELFREG_FAIL
  return (HRESULT)0x80004005L; /* E_FAIL */
#else
  char Path[MAX_PATH] = {0};
  HKEY K;
  GetModuleFileNameA(Self, Path, MAX_PATH);
  if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\QuorvaneTest\\SelfReg", &K) != ERROR_SUCCESS) return 1;
  RegSetValueExA(K, "Dll", 0, REG_SZ, (const BYTE*)Path, (DWORD)lstrlenA(Path) + 1);
  RegCloseKey(K);
  return 0;
#endif
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) {
  HKEY K;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\QuorvaneTest\\SelfReg", &K) != ERROR_SUCCESS) return 0;
  RegDeleteValueA(K, "Dll");
  RegCloseKey(K);
  return 0;
}
