#include <windows.h>

#include "rtl/cmp_TFont.h"

HFONT TFont::Handle() {
  if (!FHandle) {
    FHandle = CreateFontA(Height, 0, 0, 0, (Style & (1 << fsBold)) ? FW_BOLD : FW_NORMAL,
                          (Style & (1 << fsItalic)) != 0, (Style & (1 << fsUnderline)) != 0,
                          (Style & (1 << fsStrikeOut)) != 0, static_cast<BYTE>(Charset),
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, Name.c_str());
  }
  return FHandle;
}

void TFont::ReleaseHandle() {
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
  }
}
