#include "controls/cmp_TGroupBox.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TCustomGroupBox::StaticClass() {
  using C = TCustomGroupBox;
  static const TClassInfo Info = TClassBuilder<C>("TCustomGroupBox", &TWinControl::StaticClass())
                                     .Bool("ParentColor", &C::ParentColor, &C::SetParentColor, true)
                                     .Build();
  return Info;
}

const TClassInfo& TGroupBox::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TGroupBox>("TGroupBox", &TCustomGroupBox::StaticClass()).Creatable().Build();
  return Info;
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 185;
  FHeight = 105;
  FParentColor = true;
}

void TCustomGroupBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ClassName = "BUTTON";
  Params.Style |= BS_GROUPBOX;
}

int TCustomGroupBox::CaptionHeight() {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, FFont->Handle());
  TEXTMETRICA M{};
  GetTextMetricsA(DC, &M);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return M.tmHeight;
}

void TCustomGroupBox::AdjustClientRect(RECT& R) {
  R.top += CaptionHeight();
  InflateRect(&R, -2, -2);
}

LRESULT TCustomGroupBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_ERASEBKGND: {
      // The system group box leaves its inside unpainted.
      RECT R;
      GetClientRect(FHandle, &R);
      FillRect(reinterpret_cast<HDC>(WParam), &R, ColorBrush());
      return 1;
    }
    case WM_PAINT: {
      const LRESULT Result = TWinControl::WndProc(Msg, WParam, LParam);
      // Labels and other windowless children paint over the frame's inside.
      HDC DC = GetDC(FHandle);
      PaintGraphicChildren(DC);
      ReleaseDC(FHandle, DC);
      return Result;
    }
    default:
      return TWinControl::WndProc(Msg, WParam, LParam);
  }
}
