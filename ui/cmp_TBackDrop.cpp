#include "ui/cmp_TBackDrop.h"

#include "rtl/routines_ClassBuilder.h"
#include "ui/routines_MainMark.h"
#include "ui/cmp_Rotate3DLabel.h"

const TEnumInfo DirectionInfo{
    "TDirection", {"bdUp", "bdDown", "bdLeft", "bdRight", "bdHorzIn", "bdHorzOut", "bdVertIn", "bdVertOut"}};

namespace {
TBackdrop* GMainBackdrop = nullptr;
}

void PaintGradient(TCanvas& Canvas, const RECT& R, TDirection Direction, TColor StartColor, TColor EndColor) {
  // Which colour starts, whether the bands are rows, whether both edges start.
  const bool Reversed = Direction == bdDown || Direction == bdRight || Direction == bdHorzOut || Direction == bdVertOut;
  const bool Rows = Direction == bdUp || Direction == bdDown || Direction == bdHorzIn || Direction == bdHorzOut;
  const bool Mirrored = Direction >= bdHorzIn;
  const COLORREF A = ColorToRGB(Reversed ? EndColor : StartColor);
  const COLORREF B = ColorToRGB(Reversed ? StartColor : EndColor);
  const int E = Rows ? R.bottom - R.top : R.right - R.left;
  const int D = Mirrored ? 127 : 255;
  Canvas.Pen.Style = psSolid;
  auto Band = [&](int From, int To) {
    RECT Fill = Rows ? RECT{R.left, R.top + From, R.right, R.top + To} : RECT{R.left + From, R.top, R.left + To, R.bottom};
    Canvas.FillRect(Fill);
  };
  auto Channel = [&](int i, int Shift) {
    const int a = (A >> Shift) & 0xFF, b = (B >> Shift) & 0xFF;
    return a + MulDiv(i, b - a, D);
  };
  for (int i = 0; i <= D; ++i) {
    Canvas.Brush.Color = static_cast<TColor>(RGB(Channel(i, 0), Channel(i, 8), Channel(i, 16)));
    Band(MulDiv(i, E, 256), MulDiv(i + 1, E, 256));
    if (Mirrored) Band(MulDiv(255 - i, E, 256), MulDiv(256 - i, E, 256));
  }
}

const TClassInfo& TBackdrop::StaticClass() {
  using C = TBackdrop;
  static const TClassInfo Info = TClassBuilder<C>("TBackdrop", &TCustomPanel::StaticClass())
                                     .Creatable()
                                     .Enum("Direction", DirectionInfo, &C::Direction, &C::SetDirection, bdUp)
                                     .Int("StartColor", &C::StartColor, &C::SetStartColor, 0xFF0000)
                                     .Int("EndColor", &C::EndColor, &C::SetEndColor, 0)
                                     .Build();
  return Info;
}

TBackdrop::TBackdrop(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBevelOuter(bvNone);
  FAlign = alClient;
}

TBackdrop::~TBackdrop() {
  if (GMainBackdrop == this) GMainBackdrop = nullptr;
}

void TBackdrop::SetDirection(TDirection D) {
  if (D == FDirection) return;
  FDirection = D;
  Invalidate();
}

void TBackdrop::SetStartColor(TColor C) {
  if (C == FStartColor) return;
  FStartColor = C;
  Invalidate();
}

void TBackdrop::SetEndColor(TColor C) {
  if (C == FEndColor) return;
  FEndColor = C;
  Invalidate();
}

void TBackdrop::Assign(const TBackdrop& Source) {
  SetDirection(Source.FDirection);
  SetStartColor(Source.FStartColor);
  SetEndColor(Source.FEndColor);
  SetAlign(Source.Align());
}

void TBackdrop::SetTag(intptr_t V) { SetMainMark(GMainBackdrop, *this, V); }

TBackdrop* TBackdrop::MainBackdrop() { return GMainBackdrop; }

void TBackdrop::Loaded() {
  TCustomPanel::Loaded();
  // A stream stores the Tag as it is; the mark is taken once it is read.
  if (Tag == -1) SetTag(-1);
}

void TBackdrop::Paint(HDC DC) {
  TCanvas Canvas(DC);
  RECT R;
  GetClientRect(FHandle, &R);
  PaintGradient(Canvas, R, FDirection, FStartColor, FEndColor);
  Canvas.SetHandle(nullptr);
  PaintGraphicChildren(DC);
}

void RegisterMainWindowClasses() {
  RegisterComponentClass(TBackdrop::StaticClass());
  RegisterComponentClass(TRotate3DLabel::StaticClass());
}
