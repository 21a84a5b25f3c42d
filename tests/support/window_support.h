// Reading other programs' windows: their texts, classes and children.
// Shared by the window driver qvauto and the tests that answer message
// boxes themselves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline std::string WindowText(HWND H) {
  char Buf[2048] = {};
  GetWindowTextA(H, Buf, sizeof Buf);
  return Buf;
}

inline std::string WindowClass(HWND H) {
  char Buf[256] = {};
  GetClassNameA(H, Buf, sizeof Buf);
  return Buf;
}

inline std::vector<HWND> ChildWindows(HWND Parent) {
  std::vector<HWND> R;
  EnumChildWindows(
      Parent,
      [](HWND H, LPARAM P) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&R));
  return R;
}
