#include "controls/cmp_TBevel.h"

#include "controls/cmp_TGraphics.h"
#include "rtl/routines_ClassBuilder.h"

const TEnumInfo BevelShapeInfo{
    "TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
const TEnumInfo BevelStyleInfo{"TBevelStyle", {"bsLowered", "bsRaised"}};

const TClassInfo& TBevel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TBevel>("TBevel", &TControl::StaticClass())
          .Creatable()
          .Enum("Shape", BevelShapeInfo, &TBevel::Shape, &TBevel::SetShape, bsBox)
          .Enum("Style", BevelStyleInfo, &TBevel::Style, &TBevel::SetStyle, bsLowered)
          .Build();
  return Info;
}

TBevel::TBevel(TComponent* AOwner) : TControl(AOwner) {
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape S) {
  FShape = S;
  if (FParent) FParent->Invalidate();
}

void TBevel::SetStyle(TBevelStyle S) {
  FStyle = S;
  Invalidate();
}

void TBevel::PaintTo(HDC DC) {
  // Lowered: shadow first (top, left), highlight after; raised the other
  // way round.  Nothing else is painted: the parent shows through.
  const TColor First = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor Second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  TCanvas C(DC);
  auto Line = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
    C.Pen.Color = Color;
    C.MoveTo(FLeft + X1, FTop + Y1);
    C.LineTo(FLeft + X2, FTop + Y2);
  };
  // Top and left in one colour, right and bottom in the other, from the
  // corner pixels (L, B) and (R, T) of the rectangle.
  auto Box = [&](TColor TopLeft, TColor BottomRight, int L, int T, int R, int B) {
    C.Pen.Color = TopLeft;
    C.MoveTo(FLeft + L, FTop + B);
    C.LineTo(FLeft + L, FTop + T);
    C.LineTo(FLeft + R, FTop + T);
    C.Pen.Color = BottomRight;
    C.LineTo(FLeft + R, FTop + B);
    C.LineTo(FLeft + L, FTop + B);
  };
  const int W = FWidth, H = FHeight;
  switch (FShape) {
    case bsBox:
      Box(First, Second, 0, 0, W - 1, H - 1);
      break;
    case bsFrame:
      // Two boxes one pixel apart: the groove (or ridge) of a frame.
      Box(Second, Second, 1, 1, W - 1, H - 1);
      Box(First, First, 0, 0, W - 2, H - 2);
      break;
    case bsTopLine:
      Line(First, 0, 0, W, 0);
      Line(Second, 0, 1, W, 1);
      break;
    case bsBottomLine:
      Line(First, 0, H - 2, W, H - 2);
      Line(Second, 0, H - 1, W, H - 1);
      break;
    case bsLeftLine:
      Line(First, 0, 0, 0, H);
      Line(Second, 1, 0, 1, H);
      break;
    case bsRightLine:
      Line(First, W - 2, 0, W - 2, H);
      Line(Second, W - 1, 0, W - 1, H);
      break;
    case bsSpacer:
      break;
  }
}
