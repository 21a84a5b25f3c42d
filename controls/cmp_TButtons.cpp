#include "controls/cmp_TButtons.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <functional>

#include "controls/cmp_TForm.h"
#include "controls/cmp_TStdCtrls.h"
#include "rtl/routines_ClassBuilder.h"

namespace {

TCustomForm* ParentForm(TControl* C) {
  for (TWinControl* P = C->Parent(); P; P = P->Parent())
    if (auto* Form = dynamic_cast<TCustomForm*>(P)) return Form;
  return nullptr;
}

// The theme functions, looked up at run time: the release build also runs
// on Windows without uxtheme.dll, where the classic face is drawn.
class TThemeApi {
 public:
  TThemeApi() {
    HMODULE M = LoadLibraryA("uxtheme.dll");  // kept for the life of the process
    if (!M) return;
    Find(M, "GetWindowTheme", FWindowTheme);
    Find(M, "DrawThemeBackground", FDraw);
    if (!FDraw) FWindowTheme = nullptr;
  }
  // The theme the system's button class opened for the window: there is
  // one only where the program's buttons are themed (common controls 6,
  // which a manifest selects), so a bit button looks like its neighbours.
  HTHEME WindowTheme(HWND H) const { return FWindowTheme ? FWindowTheme(H) : nullptr; }
  void Draw(HTHEME T, HDC DC, int Part, int State, const RECT& R) const { FDraw(T, DC, Part, State, &R, nullptr); }

 private:
  template <class F>
  static void Find(HMODULE M, const char* Name, F& Fn) {
    Fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(M, Name)));
  }
  HTHEME(WINAPI* FWindowTheme)(HWND) = nullptr;
  HRESULT(WINAPI* FDraw)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
};

const TThemeApi& ThemeApi() {
  static const TThemeApi Api;
  return Api;
}

// The themed push button face on the parent's colour; false where the
// button is not themed.
bool DrawThemedPushButton(HWND H, HDC DC, const RECT& R, bool Disabled, bool Down, bool Hot, bool Defaulted,
                          TColor Back) {
  HTHEME Theme = ThemeApi().WindowTheme(H);
  if (!Theme) return false;
  HBRUSH B = CreateSolidBrush(ColorToRGB(Back));
  FillRect(DC, &R, B);
  DeleteObject(B);
  const int State = Disabled ? PBS_DISABLED : Down ? PBS_PRESSED : Hot ? PBS_HOT : Defaulted ? PBS_DEFAULTED : PBS_NORMAL;
  ThemeApi().Draw(Theme, DC, BP_PUSHBUTTON, State, R);
  return true;
}

// A button drawn as the default one shows it only while no other button
// has the focus: every focus change among buttons repaints those.
void RepaintDefaultBitBtns(TControl* From) {
  TCustomForm* Form = ParentForm(From);
  if (!Form) return;
  std::function<void(TWinControl*)> Visit = [&](TWinControl* W) {
    for (int i = 0; i < W->ControlCount(); ++i)
      if (auto* Child = dynamic_cast<TWinControl*>(W->Controls(i))) {
        auto* B = dynamic_cast<TBitBtn*>(Child);
        if (B && B->Default && B->HandleAllocated()) InvalidateRect(B->Handle(), nullptr, FALSE);
        Visit(Child);
      }
  };
  Visit(Form);
}

}  // namespace

const TClassInfo& TButton::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TButton>("TButton", &TWinControl::StaticClass())
                                     .Creatable()
                                     .Bool("Cancel", &TButton::Cancel, false)
                                     .Bool("Default", &TButton::Default, false)
                                     .Int("ModalResult", &TButton::ModalResult, mrNone)
                                     .Build();
  return Info;
}

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
}

void TButton::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ClassName = "BUTTON";
  Params.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
  if (OnClick) OnClick(this);
  if (ModalResult == mrNone) return;
  if (TCustomForm* Form = ParentForm(this)) Form->SetModalResult(ModalResult);
}

void TButton::CommandNotify(WORD NotifyCode) {
  if (NotifyCode == BN_CLICKED) Click();
}

LRESULT TButton::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // The system button reports the click itself (BN_CLICKED); the generic
  // mouse-up click of kit windows would fire OnClick a second time.
  if (Msg == WM_LBUTTONUP) return DefaultHandler(Msg, WParam, LParam);
  if (Msg == WM_SETFOCUS || Msg == WM_KILLFOCUS) RepaintDefaultBitBtns(this);
  return TWinControl::WndProc(Msg, WParam, LParam);
}

// --- TBitBtn ----------------------------------------------------------------

const TEnumInfo BitBtnKindInfo{"TBitBtnKind",
                               {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                                "bkAbort", "bkRetry", "bkIgnore", "bkAll"}};
const TEnumInfo ButtonLayoutInfo{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};

const TClassInfo& TBitBtn::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TBitBtn>("TBitBtn", &TButton::StaticClass())
          .Creatable()
          .Object("Glyph", &TBitBtn::Glyph)
          .Enum("Kind", BitBtnKindInfo, &TBitBtn::Kind, &TBitBtn::SetKind, bkCustom)
          .Enum("Layout", ButtonLayoutInfo, &TBitBtn::Layout, &TBitBtn::SetLayout, blGlyphLeft)
          .Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin, -1)
          .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1)
          .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, 4)
          .Build();
  return Info;
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(new TPicture) {
  FGlyph->OnChange = [this](TPersistent*) { GlyphChanged(); };
}

TBitBtn::~TBitBtn() { delete FGlyph; }

void TBitBtn::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  Params.Style = (Params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

namespace {
struct TKindValues {
  const char* Caption;
  int ModalResult;
};
constexpr TKindValues KindValues[] = {
    {"", mrNone},          {"OK", mrOk},         {"Cancel", mrCancel}, {"&Help", mrNone},
    {"&Yes", mrYes},       {"&No", mrNo},        {"&Close", mrNone},   {"Abort", mrAbort},
    {"&Retry", mrRetry},   {"&Ignore", mrIgnore}, {"&All", mrAll},
};
}  // namespace

void TBitBtn::SetKind(TBitBtnKind K) {
  if (K < bkCustom || K > bkAll) throw EComponentError(Format("Invalid button kind %d", static_cast<int>(K)));
  FKind = K;
  if (K == bkCustom) return;
  Default = K == bkOK || K == bkYes;
  Cancel = K == bkCancel || K == bkNo;
  ModalResult = KindValues[K].ModalResult;
  // A caption read from the stream is the translated one: keep it.
  if (!IsLoading() || FCaption.empty()) SetCaption(KindValues[K].Caption);
  Invalidate();
}

void TBitBtn::SetNumGlyphs(int32_t N) {
  FNumGlyphs = std::clamp(N, 1, 4);
  Invalidate();
}

void TBitBtn::SetMargin(int32_t M) {
  FMargin = M < -1 ? -1 : M;
  Invalidate();
}

void TBitBtn::SetSpacing(int32_t S) {
  FSpacing = S < -1 ? -1 : S;
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout L) {
  FLayout = L;
  Invalidate();
}

void TBitBtn::GlyphChanged() {
  Invalidate();
  FGlyphBitmap.LoadFromPicture(*FGlyph);
  FGlyphScale.Apply(FGlyphBitmap);
}

void TBitBtn::ChangeScale(int M, int D) {
  TButton::ChangeScale(M, D);
  if (FMargin > 0) FMargin = MulDiv(FMargin, M, D);
  FSpacing = MulDiv(FSpacing, M, D);
  FGlyphScale.Combine(M, D);
  GlyphChanged();
}

void TBitBtn::Click() {
  // As the VCL's Close kind: the form closes, instead of a click.
  if (FKind == bkClose)
    if (TCustomForm* Form = ParentForm(this)) {
      Form->Close();
      return;
    }
  TButton::Click();
}

bool TBitBtn::ShowsDefault(bool HasFocus) const {
  if (HasFocus) return true;
  if (!Default) return false;
  HWND F = GetFocus();
  return F == FHandle || !dynamic_cast<TButton*>(TWinControl::FromHandle(F));
}

void TBitBtn::SetHot(bool V) {
  if (FHot == V) return;
  FHot = V;
  if (ThemeApi().WindowTheme(FHandle)) Invalidate();
}

LRESULT TBitBtn::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button reports double clicks instead of clicks; a
      // quick second press is another click.
      Msg = WM_LBUTTONDOWN;
      break;
    case WM_MOUSEMOVE:
      if (!FHot) {
        TRACKMOUSEEVENT T{sizeof T, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&T);
        SetHot(true);
      }
      break;
    case WM_MOUSELEAVE:
      SetHot(false);
      break;
    default:
      break;
  }
  return TButton::WndProc(Msg, WParam, LParam);
}

bool TBitBtn::ReflectedMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  if (Msg == WM_DRAWITEM) {
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam));
    Result = TRUE;
    return true;
  }
  return TButton::ReflectedMessage(Msg, WParam, LParam, Result);
}

void TBitBtn::DrawGlyph(HDC DC, int X, int Y, bool Disabled, bool Down) {
  const int W = FGlyphBitmap.Width() / FNumGlyphs, H = FGlyphBitmap.Height();
  const int Image = Disabled ? (FNumGlyphs >= 2 ? 1 : 0) : Down && FNumGlyphs >= 3 ? 2 : 0;
  TBitmap Cell;
  Cell.SetSize(W, H);
  BitBlt(Cell.Canvas().Handle(), 0, 0, W, H, FGlyphBitmap.Canvas().Handle(), Image * W, 0, SRCCOPY);
  const TColor Transparent = FGlyphBitmap.BottomLeftColor();
  TCanvas C(DC);
  if (Disabled && FNumGlyphs < 2) {
    // No disabled image: the outline embossed, as the system greys a picture.
    C.DrawShape(X + 1, Y + 1, Cell, Transparent, clBtnHighlight);
    C.DrawShape(X, Y, Cell, Transparent, clBtnShadow);
  } else {
    C.DrawTransparent(X, Y, Cell, Transparent);
  }
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
  HDC DC = Item.hDC;
  const RECT Client = Item.rcItem;
  const bool Down = (Item.itemState & ODS_SELECTED) != 0;
  const bool Disabled = (Item.itemState & ODS_DISABLED) != 0;
  const bool Focus = (Item.itemState & ODS_FOCUS) != 0;
  const bool Defaulted = ShowsDefault(Focus);

  const bool Themed =
      DrawThemedPushButton(FHandle, DC, Client, Disabled, Down, FHot, Defaulted, FParent ? FParent->Color() : clBtnFace);
  if (!Themed) {
    // The classic face: a black frame round the default button, and
    // inside it while pressed the flat shadow frame of a pressed button.
    RECT R = Client;
    TCanvas C(DC);
    if (Defaulted) {
      C.Pen.Color = clWindowFrame;
      C.Brush.Style = bsClear;
      C.Rectangle(R.left, R.top, R.right, R.bottom);
      InflateRect(&R, -1, -1);
    }
    if (Down) {
      C.Pen.Color = clBtnShadow;
      C.Brush.Style = bsSolid;
      C.Brush.Color = clBtnFace;
      C.Rectangle(R.left, R.top, R.right, R.bottom);
    } else {
      DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | (Disabled ? DFCS_INACTIVE : 0));
    }
  }

  // Glyph and caption laid out in the face as the VCL lays them out.
  RECT Face = Client;
  InflateRect(&Face, -3, -3);
  if (Down && !Themed) OffsetRect(&Face, 1, 1);  // a classic face moves in when pressed
  const SIZE Room{Face.right - Face.left, Face.bottom - Face.top};
  const SIZE Glyph{FGlyphBitmap.Empty() ? 0 : FGlyphBitmap.Width() / FNumGlyphs, FGlyphBitmap.Height()};
  const UINT TextFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((Item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  RECT TextR{0, 0, Room.cx, 0};
  if (!FCaption.empty()) DrawCaption(DC, TextR, FCaption, FFont, TextFlags | DT_CALCRECT);
  const SIZE Text{FCaption.empty() ? 0 : TextR.right - TextR.left, FCaption.empty() ? 0 : TextR.bottom - TextR.top};
  const bool Across = FLayout == blGlyphLeft || FLayout == blGlyphRight;
  // Along the layout's axis the room, glyph and text sizes; across it both
  // are centred.
  const int AxisRoom = Across ? Room.cx : Room.cy;
  const int AxisGlyph = Across ? Glyph.cx : Glyph.cy;
  const int AxisText = Across ? Text.cx : Text.cy;
  int Spacing = Text.cx == 0 || Glyph.cx == 0 ? 0 : FSpacing;
  int Margin = FMargin;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (AxisRoom - AxisGlyph - AxisText) / 3;
      Spacing = Margin;
    } else {
      Margin = (AxisRoom - AxisGlyph - Spacing - AxisText + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (AxisRoom - Margin - AxisGlyph - AxisText) / 2;
  }
  int GlyphAt = 0, TextAt = 0;
  switch (FLayout) {
    case blGlyphLeft:
    case blGlyphTop:
      GlyphAt = Margin;
      TextAt = GlyphAt + AxisGlyph + Spacing;
      break;
    case blGlyphRight:
    case blGlyphBottom:
      GlyphAt = AxisRoom - Margin - AxisGlyph;
      TextAt = GlyphAt - Spacing - AxisText;
      break;
  }
  POINT GlyphPos, TextPos;
  if (Across) {
    GlyphPos = {GlyphAt, (Room.cy - Glyph.cy + 1) / 2};
    TextPos = {TextAt, (Room.cy - Text.cy + 1) / 2};
  } else {
    GlyphPos = {(Room.cx - Glyph.cx + 1) / 2, GlyphAt};
    TextPos = {(Room.cx - Text.cx + 1) / 2, TextAt};
  }
  if (Glyph.cx > 0) DrawGlyph(DC, Face.left + GlyphPos.x, Face.top + GlyphPos.y, Disabled, Down);
  if (Text.cx > 0) {
    RECT T{Face.left + TextPos.x, Face.top + TextPos.y, Face.left + TextPos.x + Text.cx,
           Face.top + TextPos.y + Text.cy};
    // The measured box is the font's cell; accents, the dots of i and j and
    // the tops of capitals may reach beyond it and must not be cut off.
    DrawCaption(DC, T, FCaption, FFont, TextFlags | DT_NOCLIP, !Disabled);
  }

  if (Focus && !(Item.itemState & ODS_NOFOCUSRECT)) {
    RECT F = Client;
    InflateRect(&F, -4, -4);
    SetTextColor(DC, RGB(0, 0, 0));
    SetBkColor(DC, RGB(255, 255, 255));
    DrawFocusRect(DC, &F);
  }
}
