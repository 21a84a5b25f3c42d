// The main window's backdrop and 3-D title: the gradient's bands where the
// band formulas put them, in every direction, on a bitmap and in the real
// window; the label's styles and angles as pixels; the main marks.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/cmp_Rotate3DLabel.h"
#include "ui/cmp_TBackDrop.h"
#include "ModalScenario.h"

namespace {

constexpr TColor Blue = 0xFF0000, Black = 0;

int BlueOf(TColor C) { return (C >> 16) & 0xFF; }

TEST(Backdrop, BandsFallWhereTheFormulasPutThemInEveryDirection) {
  TBitmap B;
  B.SetSize(60, 100);
  RECT R{0, 0, 60, 100};
  // Blue to black over 100 rows: several bands share a row and the last one
  // drawn stays, so the first rows are 254 and 252 and the last is 1, not 0.
  PaintGradient(B.Canvas(), R, bdUp, Blue, Black);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(0, 0)), 254);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(30, 1)), 252);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(59, 99)), 1);
  // From both edges to the middle: 128 bands each side, the middle rows the
  // end colour's neighbours.
  PaintGradient(B.Canvas(), R, bdHorzIn, Blue, Black);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(0, 0)), 253);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(0, 99)), 253);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(0, 49)), 2);
  EXPECT_EQ(BlueOf(B.Canvas().Pixel(0, 50)), 2);

  // Every direction: which edge starts, whether both do, and that the bands
  // run across the whole other extent.
  struct Case {
    TDirection D;
    bool Rows, StartFirst, Mirrored;
  } Cases[] = {{bdUp, true, true, false},     {bdDown, true, false, false},  {bdLeft, false, true, false},
               {bdRight, false, false, false}, {bdHorzIn, true, true, true},   {bdHorzOut, true, false, true},
               {bdVertIn, false, true, true},  {bdVertOut, false, false, true}};
  TBitmap S;
  S.SetSize(100, 100);
  const RECT Square{0, 0, 100, 100};
  for (const Case& C : Cases) {
    PaintGradient(S.Canvas(), Square, C.D, Blue, Black);
    auto At = [&](int Along, int Across) {
      return BlueOf(C.Rows ? S.Canvas().Pixel(Across, Along) : S.Canvas().Pixel(Along, Across));
    };
    const int First = At(0, 50), Last = At(99, 50), Middle = At(50, 50);
    if (C.Mirrored) {
      EXPECT_EQ(First, Last) << C.D;
      EXPECT_EQ(First > 200, C.StartFirst) << C.D;
      EXPECT_EQ(Middle < 50, C.StartFirst) << C.D;
    } else {
      EXPECT_EQ(First > 200 && Last < 50, C.StartFirst) << C.D;
      EXPECT_EQ(First < 50 && Last > 200, !C.StartFirst) << C.D;
    }
    for (int Across : {0, 37, 99}) EXPECT_EQ(At(20, Across), At(20, 50)) << C.D;
  }
}

TEST(Backdrop, TheMainWindowPaintsItAndTheMarksMove) {
  RegisterControlsClasses();
  RegisterMainWindowClasses();
  TApplication App(nullptr);
  auto* F = new TForm(&App);
  ReadFormText(F, R"(object Main: TForm
  Caption = 'Backdrop under test'
  BorderStyle = bsNone
  ClientWidth = 200
  ClientHeight = 100
  object Back: TBackdrop
    Direction = bdDown
    Tag = -1
    object Title: TRotate3DLabel
      Align = alTop
      Height = 40
      Caption = 'Quorvane'
      Tag = -1
    end
  end
end
)");
  auto* Back = dynamic_cast<TBackdrop*>(F->FindComponent("Back"));
  ASSERT_TRUE(Back);
  EXPECT_EQ(Back->Align(), alClient);
  EXPECT_EQ(TBackdrop::MainBackdrop(), Back);
  EXPECT_EQ(TRotate3DLabel::MainLabel(), F->FindComponent("Title"));
  F->Show();
  App.ProcessMessages();
  // The window shows the same bands as the bitmap: black at the top, blue
  // at the bottom (below the title).
  TBitmap Expected;
  Expected.SetSize(200, 100);
  PaintGradient(Expected.Canvas(), RECT{0, 0, 200, 100}, bdDown, Blue, Black);
  HDC DC = GetDC(Back->Handle());
  for (int Y : {60, 80, 99}) EXPECT_EQ(GetPixel(DC, 150, Y), static_cast<COLORREF>(Expected.Canvas().Pixel(150, Y))) << Y;
  ReleaseDC(Back->Handle(), DC);

  // A second marked backdrop takes the mark; the first one's Tag is 0.
  auto* Other = new TBackdrop(F);
  Other->SetTag(-1);
  EXPECT_EQ(TBackdrop::MainBackdrop(), Other);
  EXPECT_EQ(Back->Tag, 0);
  Other->SetTag(3);
  EXPECT_EQ(TBackdrop::MainBackdrop(), nullptr);
}

// The label painted on a grey bitmap: how many pixels of each colour, and
// the extent of the text's own colour.
struct TInk {
  int White = 0, Shade = 0, Text = 0, Box = 0;
  int Left = 1000, Right = -1, Top = 1000, Bottom = -1;
};

TInk PaintLabel(TRotate3DLabel& L) {
  TBitmap B;
  B.SetSize(L.Width(), L.Height());
  B.Canvas().Brush.Color = 0x00C000;
  B.Canvas().FillRect(RECT{0, 0, L.Width(), L.Height()});
  L.PaintTo(B.Canvas().Handle());
  TInk Ink;
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X) {
      const TColor C = B.Canvas().Pixel(X, Y);
      if (C == 0xFFFFFF) ++Ink.White;
      if (C == 0x808080) ++Ink.Shade;
      if (C == 0x0000FF) ++Ink.Box;
      if (C == 0) {
        ++Ink.Text;
        Ink.Left = std::min(Ink.Left, X);
        Ink.Right = std::max(Ink.Right, X);
        Ink.Top = std::min(Ink.Top, Y);
        Ink.Bottom = std::max(Ink.Bottom, Y);
      }
    }
  return Ink;
}

TEST(Rotate3DLabel, StylesAndAnglesShowAsThePaintingRulesSay) {
  TRotate3DLabel L(nullptr);
  L.SetBounds(0, 0, 240, 240);
  L.SetCaption("Quorvane");
  L.Font()->Height = -32;
  L.Font()->Color = 0;
  L.SetAlignment(taCenter);

  // Raised: a white highlight and a grey shade around black text.
  const TInk Raised = PaintLabel(L);
  EXPECT_GT(Raised.Text, 100);
  EXPECT_GT(Raised.White, 20);
  EXPECT_GT(Raised.Shade, 20);
  // Centred: the text's middle is the label's middle.
  EXPECT_NEAR((Raised.Left + Raised.Right) / 2, 120, 4);
  EXPECT_GT(Raised.Right - Raised.Left, 2 * (Raised.Bottom - Raised.Top));
  // Turned by 90 degrees it stands upright, still about the middle.
  L.LabelStyle()->SetAngle(90);
  const TInk Upright = PaintLabel(L);
  EXPECT_GT(Upright.Bottom - Upright.Top, 2 * (Upright.Right - Upright.Left));
  EXPECT_NEAR((Upright.Top + Upright.Bottom) / 2, 120, 4);
  // Angles out of range become 0.
  L.LabelStyle()->SetAngle(360);
  EXPECT_EQ(L.LabelStyle()->Angle(), 0);
  L.LabelStyle()->SetAngle(-1);
  EXPECT_EQ(L.LabelStyle()->Angle(), 0);
  // Shadowed: the grey copy 5 right and 5 up, no highlight.
  L.LabelStyle()->SetAStyle3D(A3dShadowed);
  const TInk Shadow = PaintLabel(L);
  EXPECT_EQ(Shadow.White, 0);
  EXPECT_GT(Shadow.Shade, Raised.Shade);
  // While AShadeLTSet holds, the highlight stays white.
  L.LabelStyle()->SetAShadeLTSet(true);
  L.LabelStyle()->SetAShadeLeftTop(0x00FFFF);
  EXPECT_EQ(L.LabelStyle()->AShadeLeftTop(), 0xFFFFFF);
  L.LabelStyle()->SetAShadeLTSet(false);
  // Not transparent: a plain caption on a box of the label's colour, and
  // the style is left plain.
  L.LabelStyle()->SetAStyle3D(A3dRaised);
  L.SetColor(0x0000FF);
  L.SetMyTransparent(false);
  const TInk Boxed = PaintLabel(L);
  EXPECT_EQ(L.LabelStyle()->AStyle3D(), A3dNormal);
  EXPECT_GT(Boxed.Box, Boxed.Text);
  EXPECT_EQ(Boxed.White, 0);
  EXPECT_EQ(Boxed.Shade, 0);
}

}  // namespace
