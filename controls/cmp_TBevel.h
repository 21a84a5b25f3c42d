// A bevel: lines or a frame in the button shadow and highlight colours,
// drawn into the parent's window (no window of its own).  The wizard pages
// separate their buttons from the page with a top line.
#pragma once

#include "controls/cmp_TControl.h"

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
extern const TEnumInfo BevelShapeInfo, BevelStyleInfo;

class TBevel : public TControl {
  QV_CLASS()
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape S);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle S);
  void PaintTo(HDC DC) override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};
