#include "controls/routines_CommonControls.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

void InitCommonControlClasses(DWORD Classes) {
  static DWORD Done = 0;
  if ((Done & Classes) == Classes) return;
  INITCOMMONCONTROLSEX Icc{sizeof Icc, Classes};
  if (InitCommonControlsEx(&Icc)) Done |= Classes;
}

void SetWindowStyleBits(HWND H, int Which, DWORD Bits, bool On) {
  if (!H) return;
  const LONG_PTR Old = GetWindowLongPtrA(H, Which);
  const LONG_PTR New = On ? Old | static_cast<LONG_PTR>(Bits) : Old & ~static_cast<LONG_PTR>(Bits);
  if (New == Old) return;
  SetWindowLongPtrA(H, Which, New);
  SetWindowPos(H, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
