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
  // The scopes of a run nest, each per file: the same cursor again is no
  // change, and asking the system for it costs round trips to the server.
  if (C == FCursor && FCursorShown) return;
  FCursor = C;
  FCursorShown = true;
  HCURSOR H = ScreenCursorHandle();
  ::SetCursor(H ? H : LoadCursor(nullptr, IDC_ARROW));
}
