#include "ui/cmp_Rotate3DLabel.h"

#include <cmath>

#include "controls/cmp_TGraphics.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/routines_MainMark.h"

const TEnumInfo Effect3DInfo{"T3DEffectShort", {"A3dNormal", "A3dResit", "A3dRaised", "A3dShadowed"}};

// --- TLabelStyle ------------------------------------------------------------

const TClassInfo& TLabelStyle::StaticClass() {
  using C = TLabelStyle;
  static const TClassInfo Info =
      TClassBuilder<C>("TLabelStyle", &TPersistent::StaticClass())
          .Int("Angle", &C::Angle, &C::SetAngle, 0)
          .Enum("AStyle3D", Effect3DInfo, &C::AStyle3D, &C::SetAStyle3D, A3dRaised)
          .Int("AShadeRightBottom", &C::AShadeRightBottom, &C::SetAShadeRightBottom, 0x808080)
          .Int("AShadeLeftTop", &C::AShadeLeftTop, &C::SetAShadeLeftTop, 0xFFFFFF)
          .Bool("AShadeLTSet", &C::AShadeLTSet, &C::SetAShadeLTSet, true)
          .Int("AHShadeOffSet", &C::AHShadeOffSet, &C::SetAHShadeOffSet, 5)
          .Int("AVShadeOffSet", &C::AVShadeOffSet, &C::SetAVShadeOffSet, -5)
          .Build();
  return Info;
}

TLabelStyle::TLabelStyle() = default;

void TLabelStyle::Changed() {
  if (OnChange) OnChange(this);
}

void TLabelStyle::Assign(const TLabelStyle& Source) {
  FAngle = Source.FAngle;
  FStyle3D = Source.FStyle3D;
  FShadeRightBottom = Source.FShadeRightBottom;
  FShadeLeftTop = Source.FShadeLeftTop;
  FStoredLeftTop = Source.FStoredLeftTop;
  FShadeLTSet = Source.FShadeLTSet;
  FHShadeOffset = Source.FHShadeOffset;
  FVShadeOffset = Source.FVShadeOffset;
  Changed();
}

void TLabelStyle::SetAngle(int32_t V) {
  if (V < 0 || V >= 360) V = 0;
  if (V == FAngle) return;
  FAngle = V;
  Changed();
}

void TLabelStyle::SetAStyle3D(T3DEffectShort V) {
  if (V == FStyle3D) return;
  FStyle3D = V;
  Changed();
}

void TLabelStyle::SetAShadeRightBottom(TColor V) {
  if (V == FShadeRightBottom) return;
  FShadeRightBottom = V;
  Changed();
}

void TLabelStyle::SetAShadeLeftTop(TColor V) {
  if (FShadeLTSet || V == FShadeLeftTop) return;
  FShadeLeftTop = V;
  Changed();
}

void TLabelStyle::SetAShadeLTSet(bool V) {
  if (V == FShadeLTSet) return;
  FShadeLTSet = V;
  if (V) {
    FStoredLeftTop = FShadeLeftTop;
    FShadeLeftTop = 0xFFFFFF;
    // Only a highlight that really changes to white is worth a repaint.
    if ((FStyle3D == A3dResit || FStyle3D == A3dRaised) && FStoredLeftTop != 0xFFFFFF) Changed();
  } else {
    FShadeLeftTop = FStoredLeftTop;
  }
}

void TLabelStyle::SetAHShadeOffSet(int32_t V) {
  if (V == FHShadeOffset) return;
  FHShadeOffset = V;
  if (FStyle3D == A3dShadowed) Changed();
}

void TLabelStyle::SetAVShadeOffSet(int32_t V) {
  if (V == FVShadeOffset) return;
  FVShadeOffset = V;
  if (FStyle3D == A3dShadowed) Changed();
}

// --- TRotate3DLabel ---------------------------------------------------------

namespace {
TRotate3DLabel* GMainLabel = nullptr;

// Rounded to the nearest integer, halves to the even one.
int Rnd(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

const TClassInfo& TRotate3DLabel::StaticClass() {
  using C = TRotate3DLabel;
  static const TClassInfo Info = TClassBuilder<C>("TRotate3DLabel", &TCustomLabel::StaticClass())
                                     .Creatable()
                                     .Object("LabelStyle", &C::LabelStyle)
                                     .Bool("MyTransparent", &C::MyTransparent, &C::SetMyTransparent, true)
                                     .Build();
  return Info;
}

TRotate3DLabel::TRotate3DLabel(TComponent* AOwner) : TCustomLabel(AOwner), FLabelStyle(new TLabelStyle) {
  SetTransparent(true);
  SetAutoSize(false);
  FFont->Name = "Arial";
  FFont->Style = 1 << fsBold;
  FFont->Changed();
  FLabelStyle->OnChange = [this](TPersistent*) { Invalidate(); };
}

TRotate3DLabel::~TRotate3DLabel() {
  if (GMainLabel == this) GMainLabel = nullptr;
  delete FLabelStyle;
}

void TRotate3DLabel::SetLabelStyle(const TLabelStyle& S) { FLabelStyle->Assign(S); }

void TRotate3DLabel::SetMyTransparent(bool V) {
  if (V == FMyTransparent) return;
  FMyTransparent = V;
  // The colour the label shows now becomes its own.
  if (!V) SetColor(Color());
  Invalidate();
}

void TRotate3DLabel::Assign(const TRotate3DLabel& Source) {
  SetCaption(Source.Caption());
  FLabelStyle->Assign(*Source.FLabelStyle);
  FFont->Assign(*Source.FFont);
  SetAlignment(Source.Alignment());
  SetBounds(Source.Left(), Source.Top(), Source.Width(), Source.Height());
  SetMyTransparent(Source.FMyTransparent);
}

void TRotate3DLabel::SetTag(intptr_t V) { SetMainMark(GMainLabel, *this, V); }

TRotate3DLabel* TRotate3DLabel::MainLabel() { return GMainLabel; }

void TRotate3DLabel::Loaded() {
  TCustomLabel::Loaded();
  if (Tag == -1) SetTag(-1);
}

void TRotate3DLabel::PaintTo(HDC DC) {
  const double Radians = FLabelStyle->Angle() * 3.14159265358979323846 / 180;
  FCos = std::cos(Radians);
  FSin = std::sin(Radians);
  if (!FMyTransparent) FLabelStyle->SetAStyle3D(A3dNormal);
  int LowerRight = 0, UpperLeft = 0;
  switch (FLabelStyle->AStyle3D()) {
    case A3dResit: LowerRight = -1; UpperLeft = 1; break;
    case A3dRaised: LowerRight = 1; UpperLeft = -1; break;
    default: break;
  }
  // The label paints into its parent's window: its own origin and bounds.
  const int SavedDC = SaveDC(DC);
  IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
  SetViewportOrgEx(DC, FLeft, FTop, nullptr);
  TCanvas Canvas(DC);
  Canvas.Font()->Assign(*FFont);
  const SIZE Text = Canvas.TextExtent(FCaption);
  const int w = Text.cx, h = Text.cy;
  const int cx = FWidth / 2, cy = FHeight / 2;
  const int y = Rnd(w / 2.0 * FSin) + cy - Rnd(h / 2.0 * FCos);
  int x = 0;
  if (Alignment() == taRightJustify) x = FWidth - w;
  if (Alignment() == taCenter) x = cx - Rnd(w / 2.0 * FCos) - Rnd(h / 2.0 * FSin);
  if (!FMyTransparent) {
    const double f = (w + 10) / 2.0, g = (h + 7) / 2.0;
    const int fc = Rnd(f * FCos), fs = Rnd(f * FSin), gc = Rnd(g * FCos), gs = Rnd(g * FSin);
    Canvas.Brush.Color = FColor;
    Canvas.Pen.Style = psClear;
    Canvas.Polygon({{cx - fc - gs, cy + fs - gc}, {cx + fc - gs, cy - fs - gc},
                    {cx + fc + gs, cy - fs + gc}, {cx - fc + gs, cy + fs + gc}});
  }
  // The rotated face: the label's font turned by the angle, TrueType only.
  LOGFONTA LF{};
  GetObjectA(FFont->Handle(), sizeof LF, &LF);
  LF.lfEscapement = LF.lfOrientation = FLabelStyle->Angle() * 10;
  LF.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  HFONT Rotated = CreateFontIndirectA(&LF);
  HGDIOBJ OldFont = SelectObject(DC, Rotated);
  SetBkMode(DC, TRANSPARENT);
  auto Draw = [&](TColor C, int X, int Y) {
    SetTextColor(DC, ColorToRGB(C));
    ::TextOutA(DC, X, Y, FCaption.c_str(), static_cast<int>(FCaption.size()));
  };
  switch (FLabelStyle->AStyle3D()) {
    case A3dResit:
    case A3dRaised:
      Draw(FLabelStyle->AShadeLeftTop(), x + UpperLeft, y + UpperLeft);
      Draw(FLabelStyle->AShadeRightBottom(), x + LowerRight, y + LowerRight);
      break;
    case A3dShadowed:
      Draw(FLabelStyle->AShadeRightBottom(), x + FLabelStyle->AHShadeOffSet(), y + FLabelStyle->AVShadeOffSet());
      break;
    default:
      break;
  }
  Draw(FFont->Color, x, y);
  SelectObject(DC, OldFont);
  DeleteObject(Rotated);
  Canvas.SetHandle(nullptr);
  RestoreDC(DC, SavedDC);
}
