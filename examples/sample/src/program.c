/* QvSample.exe: the sample product's program.  Its window shows the
 * product's version (from its own version resource), the greeting of the
 * shared library in the system folder and whether the self-registering
 * component can be created.  Started with /check it shows nothing and
 * answers in its exit code instead: 0 when all three are in order, 1 when
 * the shared library is missing, 2 when the component is not registered,
 * 3 when the version resource cannot be read. */
#define COBJMACROS
#include <windows.h>
#include <objbase.h>
#include <stdio.h>
#include <string.h>

#include "component.h"

typedef const char*(__stdcall* GreetingProc)(void);

static BOOL ReadOwnVersion(char* Out, size_t Size) {
  char Path[MAX_PATH];
  DWORD Ignored = 0;
  if (!GetModuleFileNameA(NULL, Path, sizeof Path)) return FALSE;
  DWORD Len = GetFileVersionInfoSizeA(Path, &Ignored);
  if (!Len) return FALSE;
  void* Data = HeapAlloc(GetProcessHeap(), 0, Len);
  if (!Data) return FALSE;
  BOOL Ok = FALSE;
  char* Value = NULL;
  UINT ValueLen = 0;
  if (GetFileVersionInfoA(Path, 0, Len, Data) &&
      VerQueryValueA(Data, "\\StringFileInfo\\040904E4\\ProductVersion", (void**)&Value, &ValueLen) &&
      ValueLen) {
    snprintf(Out, Size, "%s", Value);
    Ok = TRUE;
  }
  HeapFree(GetProcessHeap(), 0, Data);
  return Ok;
}

static BOOL ReadGreeting(char* Out, size_t Size) {
  HMODULE Lib = LoadLibraryA("QvSampleShared.dll");
  if (!Lib) return FALSE;
  GreetingProc Greeting = (GreetingProc)(void*)GetProcAddress(Lib, "QvSampleGreeting");
  if (Greeting) snprintf(Out, Size, "%s", Greeting());
  FreeLibrary(Lib);
  return Greeting != NULL;
}

static BOOL ComponentWorks(void) {
  IUnknown* Obj = NULL;
  if (FAILED(CoInitialize(NULL))) return FALSE;
  HRESULT R = CoCreateInstance(&CLSID_QvSampleComponent, NULL, CLSCTX_INPROC_SERVER, &IID_IUnknown, (void**)&Obj);
  if (SUCCEEDED(R)) IUnknown_Release(Obj);
  CoUninitialize();
  return SUCCEEDED(R);
}

static char Report[1024];

static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_PAINT) {
    PAINTSTRUCT Ps;
    HDC Dc = BeginPaint(Wnd, &Ps);
    RECT R;
    GetClientRect(Wnd, &R);
    InflateRect(&R, -12, -12);
    SetBkMode(Dc, TRANSPARENT);
    DrawTextA(Dc, Report, -1, &R, DT_LEFT | DT_TOP | DT_WORDBREAK);
    EndPaint(Wnd, &Ps);
    return 0;
  }
  if (Msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(Wnd, Msg, W, L);
}

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE Prev, LPSTR CmdLine, int Show) {
  (void)Prev;
  char Version[64] = "", Greeting[256] = "";
  const BOOL HaveVersion = ReadOwnVersion(Version, sizeof Version);
  const BOOL HaveShared = ReadGreeting(Greeting, sizeof Greeting);
  const BOOL HaveComponent = ComponentWorks();
  if (CmdLine && _stricmp(CmdLine, "/check") == 0) {
    if (!HaveShared) return 1;
    if (!HaveComponent) return 2;
    return HaveVersion ? 0 : 3;
  }
  snprintf(Report, sizeof Report, "Quorvane Sample %s\n\n%s\n\nSample component: %s",
           HaveVersion ? Version : "(version unknown)",
           HaveShared ? Greeting : "The shared library QvSampleShared.dll is missing.",
           HaveComponent ? "registered and working" : "not registered");
  WNDCLASSA C;
  memset(&C, 0, sizeof C);
  C.lpfnWndProc = WindowProc;
  C.hInstance = Instance;
  C.hCursor = LoadCursor(NULL, IDC_ARROW);
  C.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  C.lpszClassName = "QuorvaneSampleWindow";
  if (!RegisterClassA(&C)) return 4;
  HWND Wnd = CreateWindowA(C.lpszClassName, "Quorvane Sample", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           480, 220, NULL, NULL, Instance, NULL);
  if (!Wnd) return 4;
  ShowWindow(Wnd, Show);
  MSG M;
  while (GetMessageA(&M, NULL, 0, 0) > 0) {
    TranslateMessage(&M);
    DispatchMessageA(&M);
  }
  return (int)M.wParam;
}
