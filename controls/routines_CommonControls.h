// What the wrappers over the common controls share: registering the
// window classes of comctl32 before the first window of one is made, and
// turning a style bit of a live window on or off.
#pragma once

#include <windows.h>

// ICC_... flags; each class is registered once per process.
void InitCommonControlClasses(DWORD Classes);
// Sets or clears Bits in the window's GWL_STYLE or GWL_EXSTYLE (Which); the
// controls re-read their style on WM_STYLECHANGED.  Nothing without a window.
void SetWindowStyleBits(HWND H, int Which, DWORD Bits, bool On);
