// Reading other programs' windows: their texts, classes and children.
// Shared by the window driver qvauto and the tests that answer message
// boxes themselves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The system copies texts between programs as wide strings; this side turns
// them into the program's code page, or into UTF-8 with QV_AUTO_UTF8 set
// (to read texts of another code page than the system's).
inline std::string FromWide(const wchar_t* W) {
  char Buf[4096] = {};
  static const UINT CodePage = GetEnvironmentVariableA("QV_AUTO_UTF8", nullptr, 0) ? CP_UTF8 : CP_ACP;
  WideCharToMultiByte(CodePage, 0, W, -1, Buf, sizeof Buf - 1, nullptr, nullptr);
  return Buf;
}

// What the window holds: asked of the window itself (an edit's text is not
// its caption), with a time limit for a program that does not answer.
inline std::string WindowText(HWND H) {
  wchar_t Buf[4096] = {};
  // In UTF-8 the text as the system holds it, not as the program's window
  // procedure hands it out in the system's code page.
  if (GetEnvironmentVariableA("QV_AUTO_UTF8", nullptr, 0) &&
      InternalGetWindowText(H, Buf, sizeof Buf / sizeof Buf[0] - 1) > 0)
    return FromWide(Buf);
  DWORD_PTR Len = 0;
  if (SendMessageTimeoutW(H, WM_GETTEXT, sizeof Buf / sizeof Buf[0] - 1, reinterpret_cast<LPARAM>(Buf),
                          SMTO_ABORTIFHUNG, 5000, &Len))
    return FromWide(Buf);
  char A[2048] = {};
  GetWindowTextA(H, A, sizeof A);
  return A;
}

inline std::string WindowClass(HWND H) {
  char Buf[256] = {};
  GetClassNameA(H, Buf, sizeof Buf);
  return Buf;
}

// A named callback, not a lambda: the 32-bit build needs its stdcall.
inline BOOL CALLBACK CollectChildWindow(HWND H, LPARAM P) {
  reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
  return TRUE;
}

inline std::vector<HWND> ChildWindows(HWND Parent) {
  std::vector<HWND> R;
  EnumChildWindows(Parent, CollectChildWindow, reinterpret_cast<LPARAM>(&R));
  return R;
}
