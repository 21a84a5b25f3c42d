// Pictures, bevels, bit buttons, panels and labels under Wine: forms read
// from text, shown, and read back through their windows and their pixels.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TBevel.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TImage.h"
#include "controls/cmp_TStdCtrls.h"
#include "controls/routines_ControlClasses.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);

// A picture as a form's text carries it ("{hex}" of the picture's data): W
// x H of magenta (the lower-left colour, so transparent) with a rectangle of
// Colour inside.
std::string DrawnPicture(int W, int H, const RECT& Inside, COLORREF Colour) {
  TBitmap B;
  B.SetSize(W, H);
  B.Canvas().Brush.Color = Magenta;
  B.Canvas().FillRect(RECT{0, 0, W, H});
  B.Canvas().Brush.Color = static_cast<TColor>(Colour);
  B.Canvas().FillRect(Inside);
  TPicture P;
  P.SetBitmap(B.SaveToBmp());
  TMemoryStream S;
  P.WriteData(S);
  std::string Hex = "{";
  for (unsigned char C : S.Data()) Hex += std::string(1, "0123456789ABCDEF"[C >> 4]) + "0123456789ABCDEF"[C & 15];
  return Hex + "}";
}

std::string Replace(std::string S, const std::string& From, const std::string& To) {
  for (size_t P; (P = S.find(From)) != std::string::npos;) S.replace(P, From.size(), To);
  return S;
}

class PicturesTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterControlsClasses(); }
  TForm* ShowForm(const std::string& Text) {
    auto* F = new TForm(&App);
    TMemoryStream S(ObjectTextToBinary(Text));
    ReadRootComponent(S, F);
    F->Show();
    App.ProcessMessages();
    return F;
  }
  template <class C>
  C* Find(TForm* F, const char* Name) {
    auto* R = dynamic_cast<C*>(F->FindComponent(Name));
    EXPECT_NE(R, nullptr) << Name;
    return R;
  }
  TApplication App{nullptr};
};

// R of a device context (a window's, the screen's) into B.
void Capture(TBitmap& B, HWND H, const RECT& R) {
  if (H) UpdateWindow(H);
  B.SetSize(R.right - R.left, R.bottom - R.top);
  HDC DC = GetDC(H);
  BitBlt(B.Canvas().Handle(), 0, 0, B.Width(), B.Height(), DC, R.left, R.top, SRCCOPY);
  ReleaseDC(H, DC);
}

// How many pixels of R in H's client area are as Wanted says.  Copied
// first: reading a window's pixel is a round trip to the server.
int CountPixels(HWND H, const RECT& R, const std::function<bool(COLORREF)>& Wanted) {
  TBitmap B;
  Capture(B, H, R);
  int N = 0;
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X)
      if (Wanted(static_cast<COLORREF>(B.Canvas().Pixel(X, Y)))) ++N;
  return N;
}
int CountPixels(HWND H, const RECT& R, COLORREF C) {
  return CountPixels(H, R, [C](COLORREF P) { return P == C; });
}
COLORREF PixelOf(HWND H, int X, int Y) {
  TBitmap B;
  Capture(B, H, RECT{X, Y, X + 1, Y + 1});
  return static_cast<COLORREF>(B.Canvas().Pixel(0, 0));
}
// Text: dark pixels, whatever smoothing the font gets.
int CountInk(HWND H, const RECT& R) {
  return CountPixels(H, R, [](COLORREF P) { return GetRValue(P) + GetGValue(P) + GetBValue(P) < 3 * 128; });
}

// Left, top, width and height of a child window in its parent's client area.
using Box = std::array<long, 4>;
Box Placed(HWND Child) {
  RECT R;
  GetWindowRect(Child, &R);
  MapWindowPoints(nullptr, GetParent(Child), reinterpret_cast<POINT*>(&R), 2);
  return {R.left, R.top, R.right - R.left, R.bottom - R.top};
}

// The form as the screen shows it, into the build tree for a person to see.
void Screenshot(HWND H, const std::string& Name) {
  if (!std::getenv("QV_BINARY_DIR")) return;
  RECT R;
  GetWindowRect(H, &R);
  TBitmap B;
  Capture(B, nullptr, R);
  WriteTestFile(BuildTreePath("screenshots\\" + Name + ".bmp"), B.SaveToBmp());
}

// The image shows a 4 x 4 green bitmap handed over in code.
void ShowGreen(TImage& Image) {
  TBitmap Green;
  Green.SetSize(4, 4);
  Green.Canvas().Brush.Color = RGB(0, 128, 0);
  Green.Canvas().FillRect(RECT{0, 0, 4, 4});
  Image.SetTransparent(false);
  Image.ShowBitmap(Green);
}

const char* const PageText = R"(object PicForm: TForm
  Left = 20  Top = 20  Caption = 'Pictures'  ClientWidth = 320  ClientHeight = 220
  object Frame: TPanel
    Align = alClient  BevelInner = bvLowered  BevelWidth = 2  BorderWidth = 4
    object Banner: TPanel
      Align = alTop  Height = 30  BevelOuter = bvNone  Caption = 'Banner'  Color = 16777215
    end
    object Buttons: TPanel
      Align = alBottom  Height = 48  BevelOuter = bvNone
      object Line: TBevel
        Align = alTop  Height = 9  Shape = bsTopLine
      end
      object OkButton: TBitBtn
        Left = 10  Top = 14  Width = 90  Height = 28  Kind = bkOK
        Glyph.Data = GLYPH
      end
      object HelpButton: TBitBtn
        Left = 110  Top = 14  Width = 90  Height = 28  Caption = '&Help'  Enabled = False
        Glyph.Data = GLYPH
      end
    end
    object Side: TPanel
      Align = alLeft  Width = 60  BevelOuter = bvLowered
    end
    object Middle: TPanel
      Align = alClient  BevelOuter = bvNone
      object Picture: TImage
        Left = 8  Top = 8  AutoSize = True  Transparent = True
        Picture.Data = PICTURE
      end
    end
  end
end
)";

TEST_F(PicturesTest, PanelsBevelsImagesAndGlyphButtonsShowWhereAndAsDesigned) {
  std::string Text = Replace(PageText, "GLYPH", DrawnPicture(16, 16, RECT{4, 4, 12, 12}, Red));
  Text = Replace(Text, "PICTURE", DrawnPicture(20, 10, RECT{4, 2, 16, 8}, Blue));
  TForm* F = ShowForm(Text);
  HWND Frame = Find<TPanel>(F, "Frame")->Handle();
  HWND Buttons = Find<TPanel>(F, "Buttons")->Handle();
  HWND Middle = Find<TPanel>(F, "Middle")->Handle();
  HWND Ok = Find<TBitBtn>(F, "OkButton")->Handle();
  HWND Help = Find<TBitBtn>(F, "HelpButton")->Handle();
  const COLORREF Face = GetSysColor(COLOR_BTNFACE), Shadow = GetSysColor(COLOR_BTNSHADOW),
                 Highlight = GetSysColor(COLOR_BTNHIGHLIGHT);

  // Aligned in creation order inside the frame's bevels (2 + 2) and border
  // (4): top, bottom, left, then the client.
  EXPECT_EQ(Placed(Find<TPanel>(F, "Banner")->Handle()), (Box{8, 8, 304, 30}));
  EXPECT_EQ(Placed(Buttons), (Box{8, 164, 304, 48}));
  EXPECT_EQ(Placed(Find<TPanel>(F, "Side")->Handle()), (Box{8, 38, 60, 126}));
  EXPECT_EQ(Placed(Middle), (Box{68, 38, 244, 126}));

  // The frame: a raised outer bevel, the border in the face colour, a
  // lowered inner bevel; the side panel lowered; the top line above the
  // buttons shadow over highlight; the image sized to its picture, its
  // magenta left out.
  HWND Side = Find<TPanel>(F, "Side")->Handle();
  const struct { HWND H; int X, Y; COLORREF Colour; } Pixels[] = {
      {Frame, 0, 100, Highlight}, {Frame, 319, 100, Shadow}, {Frame, 319, 0, Shadow},
      {Frame, 4, 100, Face},      {Frame, 6, 100, Shadow},   {Frame, 7, 100, Shadow},
      {Frame, 313, 100, Highlight}, {Side, 0, 50, Shadow},   {Side, 59, 50, Highlight},
      {Buttons, 50, 0, Shadow},   {Buttons, 50, 1, Highlight}, {Buttons, 50, 2, Face},
      {Middle, 18, 13, Blue},     {Middle, 8, 8, Face},
  };
  for (const auto& P : Pixels) EXPECT_EQ(PixelOf(P.H, P.X, P.Y), P.Colour) << P.X << ", " << P.Y;
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 60, 40}, Blue), 12 * 6);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 60, 40}, Magenta), 0);
  // The banner's caption is centred: dark pixels in its middle only.
  HWND Banner = Find<TPanel>(F, "Banner")->Handle();
  EXPECT_GT(CountInk(Banner, RECT{110, 5, 194, 25}), 10);
  EXPECT_EQ(CountInk(Banner, RECT{0, 0, 100, 30}), 0);

  // The bit buttons draw themselves, captions kept as window texts.
  char Caption[32];
  GetWindowTextA(Ok, Caption, sizeof Caption);
  EXPECT_STREQ(Caption, "OK");
  EXPECT_EQ(GetWindowLongPtrA(Ok, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(GetWindowLongPtrA(Help, GWL_STYLE) & WS_DISABLED);
  // The glyph whole and without its magenta, left of the caption.
  const RECT Inside{5, 6, 84, 22};
  EXPECT_EQ(CountPixels(Ok, Inside, Red), 8 * 8);
  EXPECT_EQ(CountPixels(Ok, RECT{0, 0, 90, 28}, Magenta), 0);
  int GlyphLeft = 90, GlyphRight = 0;
  for (int X = Inside.left; X < Inside.right; ++X)
    if (CountPixels(Ok, RECT{X, Inside.top, X + 1, Inside.bottom}, Red)) {
      GlyphLeft = std::min(GlyphLeft, X);
      GlyphRight = std::max(GlyphRight, X);
    }
  EXPECT_GT(CountInk(Ok, RECT{GlyphRight + 1, Inside.top, Inside.right, Inside.bottom}), 10);
  EXPECT_EQ(CountInk(Ok, RECT{Inside.left, Inside.top, GlyphLeft, Inside.bottom}), 0);
  // Disabled without a disabled image: the glyph's outline embossed, no red.
  EXPECT_EQ(CountPixels(Help, RECT{0, 0, 90, 28}, Red), 0);
  EXPECT_GE(CountPixels(Help, Inside, Shadow), 8 * 8);

  Screenshot(F->Handle(), "Pictures");

  // Stretched to twice its size, still without its magenta; a picture that
  // is not there is a clear error.
  auto* Image = Find<TImage>(F, "Picture");
  Image->SetAutoSize(false);
  Image->SetBounds(8, 8, 40, 20);
  Image->SetStretch(true);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 60, 40}, Blue), 24 * 12);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 60, 40}, Magenta), 0);
  EXPECT_THROW(Image->LoadFromResourceName("NOSUCHPICTURE"), EInvalidGraphic);
  // A bitmap handed over in code shows instead.
  ShowGreen(*Image);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 60, 40}, RGB(0, 128, 0)), 40 * 20);

  // A bigger window: everything realigned, nested panels too.
  F->SetClientSize(400, 260);
  App.ProcessMessages();
  EXPECT_EQ(Placed(Buttons), (Box{8, 204, 384, 48}));
  EXPECT_EQ(Placed(Middle), (Box{68, 38, 324, 166}));
  EXPECT_EQ(PixelOf(Buttons, 380, 0), Shadow);
  EXPECT_EQ(PixelOf(Frame, 399, 100), Shadow);
}

// A form designed at half the screen's density shows twice as large: its
// picture and its buttons' glyphs too, still without their magenta, and a
// picture given after the scaling grows as well.
TEST_F(PicturesTest, PicturesAndGlyphsGrowWithTheFormScaledToTheScreen) {
  std::string Text = Replace(PageText, "GLYPH", DrawnPicture(16, 16, RECT{4, 4, 12, 12}, Red));
  Text = Replace(Text, "PICTURE", DrawnPicture(20, 10, RECT{4, 2, 16, 8}, Blue));
  const int Screen = ScreenPixelsPerInch();
  Text = Replace(Text, "Caption = 'Pictures'", "PixelsPerInch = " + std::to_string(Screen / 2));
  TForm* F = ShowForm(Text);
  HWND Middle = Find<TPanel>(F, "Middle")->Handle();
  HWND Ok = Find<TBitBtn>(F, "OkButton")->Handle();
  EXPECT_EQ(Placed(Ok), (Box{20, 28, 180, 56}));
  auto* Image = Find<TImage>(F, "Picture");
  EXPECT_EQ(Image->Width(), 40);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 120, 80}, Blue), 24 * 12);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 120, 80}, Magenta), 0);
  EXPECT_EQ(CountPixels(Ok, RECT{0, 0, 180, 56}, Red), 16 * 16);
  EXPECT_EQ(CountPixels(Ok, RECT{0, 0, 180, 56}, Magenta), 0);
  ShowGreen(*Image);
  EXPECT_EQ(CountPixels(Middle, RECT{0, 0, 120, 80}, RGB(0, 128, 0)), 8 * 8);
}

// Runs an action from inside the message loop of the next modal form.
std::function<void()>& Pending() {
  static std::function<void()> Action;
  return Action;
}
void CALLBACK RunPending(HWND H, UINT, UINT_PTR Id, DWORD) {
  KillTimer(H, Id);
  std::function<void()> Action = std::move(Pending());
  Pending() = nullptr;
  if (Action) Action();
}
// A form the action did not end gives up after a while: a failure, not a hang.
void CALLBACK GiveUp(HWND H, UINT, UINT_PTR Id, DWORD) {
  KillTimer(H, Id);
  if (auto* F = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(H))) F->SetModalResult(99);
}
int ShowModalThen(TForm* F, std::function<void()> Action) {
  Pending() = std::move(Action);
  F->OnShow = [F](TPersistent*) {
    SetTimer(F->Handle(), 1, 50, &RunPending);
    SetTimer(F->Handle(), 2, 20000, &GiveUp);
  };
  const int Result = F->ShowModal();
  KillTimer(F->Handle(), 2);
  return Result;
}
// The window of the form that has the focus; the first button when another
// program's window is in front and the form has none.
HWND FocusIn(TForm* F, HWND Fallback) {
  HWND H = GetFocus();
  if (H && GetAncestor(H, GA_ROOT) == F->Handle()) return H;
  SetFocus(Fallback);
  return Fallback;
}

TEST_F(PicturesTest, ButtonKindsAnswerForTheModalFormAsTheirKindSays) {
  auto* F = new TForm(&App);
  TMemoryStream S(ObjectTextToBinary(R"(object Ask: TForm
  ClientWidth = 240  ClientHeight = 60
  object OkBtn: TBitBtn
    Left = 20  Top = 16  Kind = bkOK
  end
  object CancelBtn: TBitBtn
    Left = 120  Top = 16  Caption = 'Annuler'  Kind = bkCancel
  end
end
)"));
  ReadRootComponent(S, F);
  HWND Ok = Find<TBitBtn>(F, "OkBtn")->Handle(), Cancel = Find<TBitBtn>(F, "CancelBtn")->Handle();
  char Text[32];
  GetWindowTextA(Ok, Text, sizeof Text);
  EXPECT_STREQ(Text, "OK");
  // A caption read with the kind is the translated one.
  GetWindowTextA(Cancel, Text, sizeof Text);
  EXPECT_STREQ(Text, "Annuler");

  EXPECT_EQ(ShowModalThen(F, [Ok] { SendMessageA(Ok, BM_CLICK, 0, 0); }), mrOk);
  EXPECT_FALSE(IsWindowVisible(F->Handle()));
  auto Key = [F, Ok](WPARAM K) {
    return [F, Ok, K] { PostMessageA(FocusIn(F, Ok), WM_KEYDOWN, K, 1); };
  };
  EXPECT_EQ(ShowModalThen(F, Key(VK_ESCAPE)), mrCancel);
  EXPECT_EQ(ShowModalThen(F, Key(VK_RETURN)), mrOk);
  // Changing the kind in code changes the caption and the result.
  Find<TBitBtn>(F, "OkBtn")->SetKind(bkRetry);
  GetWindowTextA(Ok, Text, sizeof Text);
  EXPECT_STREQ(Text, "&Retry");
  // Its accelerator, Alt+R, presses it.
  EXPECT_EQ(ShowModalThen(F, [F, Ok] { PostMessageA(FocusIn(F, Ok), WM_SYSCHAR, 'r', 1 << 29); }), mrRetry);
}

TEST_F(PicturesTest, LabelsSizeToTheirCaptionsAndTheirAcceleratorsFocusTheirControls) {
  TForm* F = ShowForm(R"(object LabelForm: TForm
  Left = 40  Top = 40  Caption = 'Labels'  ClientWidth = 320  ClientHeight = 180
  object NameLabel: TLabel
    Left = 10  Top = 10  Caption = '&Target folder'  FocusControl = Target
  end
  object Literal: TLabel
    Left = 10  Top = 40  Caption = 'Fish && &Chips'  FocusControl = Other
  end
  object NoAccel: TLabel
    Left = 10  Top = 70  Caption = '&Quit'  ShowAccelChar = False  FocusControl = Target
  end
  object Wrapped: TLabel
    Left = 10  Top = 100  Width = 60  Caption = 'one two three four five six'  WordWrap = True
  end
  object Low: TLabel
    Left = 200  Top = 100  Width = 80  Height = 60  AutoSize = False  Caption = 'low'
    Color = 16777215  Layout = tlBottom
  end
  object Target: TButton
    Left = 200  Top = 10  Caption = 'Browse'
  end
  object Other: TButton
    Left = 200  Top = 50  Caption = 'Other'
  end
end
)");
  auto* Name = Find<TLabel>(F, "NameLabel");
  // Sized as the text measures in the label's font, the "&" not counted.
  HDC DC = GetDC(nullptr);
  auto Extent = [&](const std::string& S) {
    HGDIOBJ Old = SelectObject(DC, Name->Font()->Handle());
    SIZE Sz;
    GetTextExtentPoint32A(DC, S.c_str(), static_cast<int>(S.size()), &Sz);
    SelectObject(DC, Old);
    return Sz;
  };
  const SIZE Line = Extent("Target folder");
  EXPECT_EQ(Name->Width(), Line.cx);
  EXPECT_EQ(Name->Height(), Line.cy);
  // Its text is painted inside those bounds.
  HWND H = F->Handle();
  EXPECT_GT(CountInk(H, RECT{10, 10, 10 + Line.cx, 10 + Line.cy}), 20);
  EXPECT_EQ(CountInk(H, RECT{10 + Line.cx, 10, 10 + Line.cx + 20, 10 + Line.cy}), 0);
  // A new caption and a new font size it again.
  Name->SetCaption("&Target folder of the program");
  EXPECT_EQ(Name->Width(), Extent("Target folder of the program").cx);
  Name->Font()->Height = -24;
  Name->Font()->Changed();
  EXPECT_GT(Name->Height(), Line.cy * 3 / 2);
  EXPECT_EQ(Name->Width(), Extent("Target folder of the program").cx);
  ReleaseDC(nullptr, DC);

  // Wrapped: the width kept, the height of several lines.
  auto* Wrapped = Find<TLabel>(F, "Wrapped");
  EXPECT_EQ(Wrapped->Width(), 60);
  EXPECT_GE(Wrapped->Height(), 3 * Line.cy);
  // At the bottom of its bounds: nothing but white in the upper half.
  EXPECT_EQ(CountInk(H, RECT{200, 100, 280, 130}), 0);
  EXPECT_GT(CountInk(H, RECT{200, 130, 280, 160}), 10);

  // Alt+letter as Windows delivers it, to the focused window.
  HWND Target = Find<TButton>(F, "Target")->Handle(), Other = Find<TButton>(F, "Other")->Handle();
  auto AltKey = [&](char C) {
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, static_cast<WPARAM>(UpperCase(std::string(1, C))[0]), 1 << 29);
    PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(C), 1 << 29);
    App.ProcessMessages();
  };
  Find<TButton>(F, "Other")->SetFocus();
  AltKey('t');
  EXPECT_EQ(GetFocus(), Target);
  AltKey('c');
  EXPECT_EQ(GetFocus(), Other);
  // "&&" is a literal ampersand, and a label without accelerators has none.
  AltKey('f');
  AltKey('q');
  EXPECT_EQ(GetFocus(), Other);
  Screenshot(H, "Labels");
}

}  // namespace
