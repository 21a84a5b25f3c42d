#include "controls/cmp_TStdCtrls.h"

#include "rtl/routines_ClassBuilder.h"

const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo BevelCutInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const TEnumInfo BorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};
const TEnumInfo ScrollStyleInfo{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};

const TClassInfo& TCustomPanel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomPanel>("TCustomPanel", &TWinControl::StaticClass())
          .Enum("Alignment", AlignmentInfo, &TCustomPanel::Alignment, taCenter)
          .Enum("BevelInner", BevelCutInfo, &TCustomPanel::BevelInner, bvNone)
          .Enum("BevelOuter", BevelCutInfo, &TCustomPanel::BevelOuter, bvRaised)
          .Int("BevelWidth", &TCustomPanel::BevelWidth, 1)
          .Enum("BorderStyle", BorderStyleInfo, &TCustomPanel::BorderStyle, bsNoneBorder)
          .Int("BorderWidth", &TCustomPanel::BorderWidth, 0)
          .Build();
  return Info;
}

const TClassInfo& TPanel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TPanel>("TPanel", &TCustomPanel::StaticClass()).Creatable().Build();
  return Info;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 185;
  FHeight = 41;
}

namespace {
void DrawBevel(HDC DC, RECT& R, TBevelCut Cut, int Width) {
  if (Cut == bvNone) return;
  for (int i = 0; i < Width; ++i) {
    if (Cut != bvSpace)
      DrawEdge(DC, &R, Cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&R, -1, -1);
  }
}

void DrawCaption(HDC DC, const RECT& R, const std::string& S, TFont* F, TAlignment A, bool Wrap) {
  if (S.empty()) return;
  HGDIOBJ Old = SelectObject(DC, F->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, ColorToRGB(F->Color));
  RECT T = R;
  UINT Flags = (A == taCenter ? DT_CENTER : A == taRightJustify ? DT_RIGHT : DT_LEFT) |
               (Wrap ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
  DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), &T, Flags);
  SelectObject(DC, Old);
}
}  // namespace

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (BorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::AdjustClientRect(RECT& R) {
  int Bevels = 0;
  if (BevelOuter != bvNone) Bevels += BevelWidth;
  if (BevelInner != bvNone) Bevels += BevelWidth;
  InflateRect(&R, -(BorderWidth + Bevels), -(BorderWidth + Bevels));
}

void TCustomPanel::Paint(HDC DC) {
  PaintBackground(DC);
  RECT R;
  GetClientRect(FHandle, &R);
  DrawBevel(DC, R, BevelOuter, BevelWidth);
  InflateRect(&R, -BorderWidth, -BorderWidth);
  DrawBevel(DC, R, BevelInner, BevelWidth);
  DrawCaption(DC, R, FCaption, FFont, Alignment, false);
  PaintGraphicChildren(DC);
}

const TClassInfo& TCustomLabel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomLabel>("TCustomLabel", &TControl::StaticClass())
          .Enum("Alignment", AlignmentInfo, &TCustomLabel::Alignment, taLeftJustify)
          .Bool("AutoSize", &TCustomLabel::AutoSize, true)
          .Bool("Transparent", &TCustomLabel::Transparent, false)
          .Bool("WordWrap", &TCustomLabel::WordWrap, false)
          .Build();
  return Info;
}

const TClassInfo& TLabel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TLabel>("TLabel", &TCustomLabel::StaticClass()).Creatable().Build();
  return Info;
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TControl(AOwner) {
  FWidth = 65;
  FHeight = 17;
  FParentColor = true;
}

void TCustomLabel::PaintTo(HDC DC) {
  RECT R{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
  if (!Transparent) {
    HBRUSH B = CreateSolidBrush(ColorToRGB(FColor));
    FillRect(DC, &R, B);
    DeleteObject(B);
  }
  DrawCaption(DC, R, FCaption, FFont, Alignment, WordWrap);
}
