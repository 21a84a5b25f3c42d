#include "controls/cmp_TScreen.h"

namespace {
TScreen TheScreen;
}

TScreen* const Screen = &TheScreen;

int32_t TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int32_t TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

HCURSOR ScreenCursorHandle() {
  switch (Screen->Cursor()) {
    case crHourGlass: return LoadCursor(nullptr, IDC_WAIT);
    case crArrow: return LoadCursor(nullptr, IDC_ARROW);
    default: return nullptr;
  }
}

void TScreen::SetCursor(TCursor C) {
  FCursor = C;
  HCURSOR H = ScreenCursorHandle();
  ::SetCursor(H ? H : LoadCursor(nullptr, IDC_ARROW));
}
