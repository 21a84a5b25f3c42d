// The screen as the program sees it: its size, for placing windows, and the
// cursor every kit window shows (the hourglass while the program is busy).
#pragma once

#include <windows.h>

#include <cstdint>

// Cursor ids: the kit's own numbering (negative), 0 for each window's own.
enum TCursor : int32_t { crDefault = 0, crArrow = -2, crHourGlass = -11 };

class TScreen {
 public:
  int32_t Width() const;
  int32_t Height() const;
  TCursor Cursor() const { return FCursor; }
  // Takes effect at once, and in every kit window until set back.
  void SetCursor(TCursor C);

 private:
  TCursor FCursor = crDefault;
  bool FCursorShown = false;
};

extern TScreen* const Screen;

// The cursor kit windows show instead of their own; nullptr for crDefault.
HCURSOR ScreenCursorHandle();

// Shows the hourglass for a scope and puts back the cursor it found.
class TScreenCursorScope {
 public:
  explicit TScreenCursorScope(TCursor C = crHourGlass) : FOld(Screen->Cursor()) { Screen->SetCursor(C); }
  ~TScreenCursorScope() { Screen->SetCursor(FOld); }
  TScreenCursorScope(const TScreenCursorScope&) = delete;
  TScreenCursorScope& operator=(const TScreenCursorScope&) = delete;

 private:
  TCursor FOld;
};
