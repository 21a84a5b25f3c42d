#include "controls/cmp_TStdCtrls.h"

#include "controls/cmp_TGraphics.h"
#include "rtl/routines_ClassBuilder.h"

const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo BevelCutInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const TEnumInfo BorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};
const TEnumInfo ScrollStyleInfo{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo TextLayoutInfo{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};

UINT AlignmentFlag(TAlignment A) {
  return A == taCenter ? DT_CENTER : A == taRightJustify ? DT_RIGHT : DT_LEFT;
}

void DrawCaption(HDC DC, RECT& R, const std::string& S, TFont* F, UINT Flags, bool Enabled) {
  // Hebrew and Arabic read from the right: so do their lines, and a text
  // that would stand at the left stands at the right.
  if (F->Charset == HEBREW_CHARSET || F->Charset == ARABIC_CHARSET) {
    Flags |= DT_RTLREADING;
    if (!(Flags & (DT_CENTER | DT_RIGHT))) Flags |= DT_RIGHT;
  }
  HGDIOBJ Old = SelectObject(DC, F->Handle());
  SetBkMode(DC, TRANSPARENT);
  const int Len = static_cast<int>(S.size());
  if (Flags & DT_CALCRECT) {
    DrawTextA(DC, S.c_str(), Len, &R, Flags);
  } else if (Enabled) {
    SetTextColor(DC, ColorToRGB(F->Color));
    DrawTextA(DC, S.c_str(), Len, &R, Flags);
  } else {
    RECT Lit = R;
    OffsetRect(&Lit, 1, 1);
    SetTextColor(DC, ColorToRGB(clBtnHighlight));
    DrawTextA(DC, S.c_str(), Len, &Lit, Flags);
    SetTextColor(DC, ColorToRGB(clBtnShadow));
    DrawTextA(DC, S.c_str(), Len, &R, Flags);
  }
  SelectObject(DC, Old);
}

// --- TCustomPanel -----------------------------------------------------------

const TClassInfo& TCustomPanel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomPanel>("TCustomPanel", &TWinControl::StaticClass())
          .Enum("Alignment", AlignmentInfo, &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, taCenter)
          .Enum("BevelInner", BevelCutInfo, &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, bvNone)
          .Enum("BevelOuter", BevelCutInfo, &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, bvRaised)
          .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, 1)
          .Enum("BorderStyle", BorderStyleInfo, &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
                bsNoneBorder)
          .Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth, 0)
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

void TCustomPanel::SetAlignment(TAlignment A) {
  FAlignment = A;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut B) {
  FBevelInner = B;
  FrameChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut B) {
  FBevelOuter = B;
  FrameChanged();
}

void TCustomPanel::SetBevelWidth(int32_t W) {
  if (W < 1) throw EComponentError("BevelWidth must be at least 1");
  FBevelWidth = W;
  FrameChanged();
}

void TCustomPanel::SetBorderWidth(int32_t W) {
  if (W < 0) throw EComponentError("BorderWidth must not be negative");
  FBorderWidth = W;
  FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle S) {
  FBorderStyle = S;
  if (!HandleAllocated()) return;
  // The client edge is a window style: the frame is recalculated in place.
  const LONG_PTR Ex = GetWindowLongPtrA(FHandle, GWL_EXSTYLE);
  SetWindowLongPtrA(FHandle, GWL_EXSTYLE,
                    S == bsSingleBorder ? Ex | WS_EX_CLIENTEDGE : Ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  FrameChanged();
}

void TCustomPanel::FrameChanged() {
  if (IsLoading()) return;
  Realign();
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FBorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::AdjustClientRect(RECT& R) {
  int Bevels = 0;
  if (FBevelOuter != bvNone) Bevels += FBevelWidth;
  if (FBevelInner != bvNone) Bevels += FBevelWidth;
  InflateRect(&R, -(FBorderWidth + Bevels), -(FBorderWidth + Bevels));
}

namespace {
// As the VCL draws it: any cut but a lowered one (a space too) in the
// raised colours.
void PanelBevel(TCanvas& C, RECT& R, TBevelCut Cut, int Width) {
  if (Cut == bvNone) return;
  const bool Lowered = Cut == bvLowered;
  Frame3D(C, R, Lowered ? clBtnShadow : clBtnHighlight, Lowered ? clBtnHighlight : clBtnShadow, Width);
}
}  // namespace

void TCustomPanel::Paint(HDC DC) {
  PaintBackground(DC);
  RECT R;
  GetClientRect(FHandle, &R);
  {
    TCanvas C(DC);
    PanelBevel(C, R, FBevelOuter, FBevelWidth);
    InflateRect(&R, -FBorderWidth, -FBorderWidth);
    PanelBevel(C, R, FBevelInner, FBevelWidth);
  }
  if (!FCaption.empty()) {
    // One line of the font's height, centred in what the bevels leave.
    RECT Line{0, 0, 0, 0};
    DrawCaption(DC, Line, "W", FFont, DT_CALCRECT | DT_SINGLELINE);
    const int H = Line.bottom - Line.top;
    R.top = (R.top + R.bottom - H) / 2;
    R.bottom = R.top + H;
    DrawCaption(DC, R, FCaption, FFont, DT_EXPANDTABS | DT_VCENTER | AlignmentFlag(FAlignment), FEnabled);
  }
  PaintGraphicChildren(DC);
}

// --- TCustomLabel -----------------------------------------------------------

const TClassInfo& TCustomLabel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomLabel>("TCustomLabel", &TControl::StaticClass())
          .Enum("Alignment", AlignmentInfo, &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, taLeftJustify)
          .Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
          .Ref("FocusControl", TWinControl::StaticClass(), &TCustomLabel::FocusControl,
               &TCustomLabel::SetFocusControl)
          .Enum("Layout", TextLayoutInfo, &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop)
          .Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
          .Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false)
          .Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false)
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

void TCustomLabel::SetAlignment(TAlignment A) {
  FAlignment = A;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool V) {
  FAutoSize = V;
  AdjustBounds();
}

void TCustomLabel::SetTransparent(bool V) {
  FTransparent = V;
  if (FParent) FParent->Invalidate();
}

void TCustomLabel::SetWordWrap(bool V) {
  FWordWrap = V;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout L) {
  FLayout = L;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool V) {
  FShowAccelChar = V;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* W) {
  FFocusControl = W;
  if (W) W->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetCaption(const std::string& S) {
  TControl::SetCaption(S);
  AdjustBounds();
}

void TCustomLabel::FontChanged() {
  TControl::FontChanged();
  AdjustBounds();
}

void TCustomLabel::Loaded() {
  TControl::Loaded();
  AdjustBounds();
}

UINT TCustomLabel::TextFlags() const {
  return DT_EXPANDTABS | AlignmentFlag(FAlignment) | (FWordWrap ? DT_WORDBREAK : 0) |
         (FShowAccelChar ? 0 : DT_NOPREFIX);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || IsLoading()) return;
  // An empty caption (or a lone "&") still keeps the height of a line.
  std::string S = FCaption;
  if (S.empty() || (FShowAccelChar && S == "&")) S += ' ';
  RECT R{0, 0, FWordWrap ? FWidth : 0, 0};
  HDC DC = GetDC(nullptr);
  DrawCaption(DC, R, S, FFont, TextFlags() | DT_CALCRECT);
  ReleaseDC(nullptr, DC);
  const int32_t W = FWordWrap ? FWidth : R.right - R.left;
  // Right-justified text keeps its right edge where it was.
  const int32_t X = !FWordWrap && FAlignment == taRightJustify ? FLeft + FWidth - W : FLeft;
  if (X != FLeft || W != FWidth || R.bottom - R.top != FHeight) {
    if (FParent) FParent->Invalidate();  // the old area too
    SetBounds(X, FTop, W, R.bottom - R.top);
  }
}

void TCustomLabel::PaintTo(HDC DC) {
  RECT R{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
  if (!FTransparent) {
    HBRUSH B = CreateSolidBrush(ColorToRGB(FColor));
    FillRect(DC, &R, B);
    DeleteObject(B);
  }
  if (FCaption.empty()) return;
  const UINT Flags = TextFlags();
  if (FLayout != tlTop) {
    RECT Text = R;
    DrawCaption(DC, Text, FCaption, FFont, Flags | DT_CALCRECT);
    const int Room = FHeight - (Text.bottom - Text.top);
    OffsetRect(&R, 0, FLayout == tlBottom ? Room : Room / 2);
  }
  DrawCaption(DC, R, FCaption, FFont, Flags, FEnabled);
}

namespace {
char UpperChar(char C) {
  char S[2] = {C, 0};
  CharUpperBuffA(S, 1);
  return S[0];
}

// The letter after the caption's single "&"; 0 when it has none.
char Accelerator(const std::string& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i)
    if (Caption[i] == '&') {
      if (Caption[i + 1] != '&') return Caption[i + 1];
      ++i;  // "&&" is a literal "&"
    }
  return 0;
}
}  // namespace

bool TCustomLabel::DialogChar(char C) {
  if (!FShowAccelChar || !FEnabled || !FFocusControl) return false;
  const char Key = Accelerator(FCaption);
  if (!Key || UpperChar(Key) != UpperChar(C) || !FFocusControl->CanFocus()) return false;
  FFocusControl->SetFocus();
  return true;
}
