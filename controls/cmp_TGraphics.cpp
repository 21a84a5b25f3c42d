#include "controls/cmp_TGraphics.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "controls/routines_Resources.h"

// --- TCanvas ----------------------------------------------------------------

TCanvas::TCanvas() = default;

TCanvas::TCanvas(HDC DC) : FHandle(DC) {}

TCanvas::~TCanvas() {
  Deselect();
  if (FPenHandle) DeleteObject(FPenHandle);
  if (FBrushHandle) DeleteObject(FBrushHandle);
}

void TCanvas::SetHandle(HDC DC) {
  Deselect();
  FHandle = DC;
}

void TCanvas::Deselect() {
  if (!FHandle) return;
  if (FOldPen) SelectObject(FHandle, FOldPen);
  if (FOldBrush) SelectObject(FHandle, FOldBrush);
  if (FOldFont) SelectObject(FHandle, FOldFont);
  FOldPen = FOldBrush = FOldFont = nullptr;
}

void TCanvas::Select(bool WithPen, bool WithBrush, bool WithFont) {
  if (!FHandle) throw EInvalidGraphic("Canvas does not allow drawing");
  if (WithPen) {
    if (!FPenHandle || FPenMade.Color != Pen.Color || FPenMade.Width != Pen.Width ||
        FPenMade.Style != Pen.Style) {
      HPEN P = CreatePen(Pen.Style == psClear ? PS_NULL : PS_SOLID, Pen.Width, ColorToRGB(Pen.Color));
      HGDIOBJ Old = SelectObject(FHandle, P);
      if (!FOldPen) FOldPen = Old;
      if (FPenHandle) DeleteObject(FPenHandle);
      FPenHandle = P;
      FPenMade = Pen;
    } else {
      HGDIOBJ Old = SelectObject(FHandle, FPenHandle);
      if (!FOldPen) FOldPen = Old;
    }
  }
  if (WithBrush) {
    if (!FBrushHandle || FBrushMade.Color != Brush.Color || FBrushMade.Style != Brush.Style) {
      HBRUSH B = Brush.Style == bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                        : CreateSolidBrush(ColorToRGB(Brush.Color));
      HGDIOBJ Old = SelectObject(FHandle, B);
      if (!FOldBrush) FOldBrush = Old;
      if (FBrushHandle) DeleteObject(FBrushHandle);  // stock objects ignore it
      FBrushHandle = B;
      FBrushMade = Brush;
    } else {
      HGDIOBJ Old = SelectObject(FHandle, FBrushHandle);
      if (!FOldBrush) FOldBrush = Old;
    }
  }
  if (WithFont) {
    HGDIOBJ Old = SelectObject(FHandle, FFont.Handle());
    if (!FOldFont) FOldFont = Old;
    SetTextColor(FHandle, ColorToRGB(FFont.Color));
    SetBkMode(FHandle, Brush.Style == bsClear ? TRANSPARENT : OPAQUE);
    SetBkColor(FHandle, ColorToRGB(Brush.Color));
  }
}

void TCanvas::FillRect(const RECT& R) {
  Select(false, true, false);
  ::FillRect(FHandle, &R, FBrushHandle);
}

void TCanvas::FrameRect(const RECT& R) {
  Select(false, true, false);
  ::FrameRect(FHandle, &R, FBrushHandle);
}

void TCanvas::Rectangle(int Left, int Top, int Right, int Bottom) {
  Select(true, true, false);
  ::Rectangle(FHandle, Left, Top, Right, Bottom);
}

void TCanvas::Polygon(const std::vector<POINT>& Points) {
  if (Points.empty()) return;
  Select(true, true, false);
  ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::MoveTo(int X, int Y) {
  if (!FHandle) throw EInvalidGraphic("Canvas does not allow drawing");
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Select(true, false, false);
  ::LineTo(FHandle, X, Y);
}

void TCanvas::TextOut(int X, int Y, const std::string& S) {
  Select(false, true, true);
  ::TextOutA(FHandle, X, Y, S.c_str(), static_cast<int>(S.size()));
}

void TCanvas::TextRect(const RECT& R, int X, int Y, const std::string& S) {
  Select(false, true, true);
  const UINT Opaque = Brush.Style == bsClear ? 0 : ETO_OPAQUE;
  ExtTextOutA(FHandle, X, Y, ETO_CLIPPED | Opaque, &R, S.c_str(), static_cast<UINT>(S.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& S) {
  Select(false, false, true);
  SIZE Sz{0, 0};
  GetTextExtentPoint32A(FHandle, S.c_str(), static_cast<int>(S.size()), &Sz);
  return Sz;
}

void TCanvas::Draw(int X, int Y, const TBitmap& B) {
  if (B.Empty()) return;
  Select(false, false, false);
  BitBlt(FHandle, X, Y, B.Width(), B.Height(), const_cast<TBitmap&>(B).Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& R, const TBitmap& B) {
  if (B.Empty()) return;
  Select(false, false, false);
  SetStretchBltMode(FHandle, COLORONCOLOR);
  StretchBlt(FHandle, R.left, R.top, R.right - R.left, R.bottom - R.top,
             const_cast<TBitmap&>(B).Canvas().Handle(), 0, 0, B.Width(), B.Height(), SRCCOPY);
}

namespace {
// A monochrome mask of a bitmap: 1 where it has the transparent colour.
class TTransparentMask {
 public:
  TTransparentMask(HDC Like, const TBitmap& B, TColor Transparent)
      : FDC(CreateCompatibleDC(Like)), FMask(CreateBitmap(B.Width(), B.Height(), 1, 1, nullptr)) {
    FOld = SelectObject(FDC, FMask);
    HDC Src = const_cast<TBitmap&>(B).Canvas().Handle();
    const COLORREF OldBk = SetBkColor(Src, ColorToRGB(Transparent));
    BitBlt(FDC, 0, 0, B.Width(), B.Height(), Src, 0, 0, SRCCOPY);
    SetBkColor(Src, OldBk);
  }
  ~TTransparentMask() {
    SelectObject(FDC, FOld);
    DeleteObject(FMask);
    DeleteDC(FDC);
  }
  TTransparentMask(const TTransparentMask&) = delete;
  TTransparentMask& operator=(const TTransparentMask&) = delete;
  HDC Handle() const { return FDC; }

 private:
  HDC FDC;
  HBITMAP FMask;
  HGDIOBJ FOld = nullptr;
};

// Monochrome sources keep their bits on a colour destination: 0 black, 1 white.
class TMonoTransfer {
 public:
  explicit TMonoTransfer(HDC DC)
      : FDC(DC), FText(SetTextColor(DC, RGB(0, 0, 0))), FBack(SetBkColor(DC, RGB(255, 255, 255))) {}
  ~TMonoTransfer() {
    SetTextColor(FDC, FText);
    SetBkColor(FDC, FBack);
  }
  TMonoTransfer(const TMonoTransfer&) = delete;
  TMonoTransfer& operator=(const TMonoTransfer&) = delete;

 private:
  HDC FDC;
  COLORREF FText, FBack;
};

// Pattern where the source is 0, destination where it is 1.
constexpr DWORD RopPatternWhereSourceClear = 0x00B8074A;  // PSDPxax
}  // namespace

void TCanvas::DrawTransparent(int X, int Y, const TBitmap& B, TColor Transparent) {
  if (B.Empty()) return;
  Select(false, false, false);
  HDC Src = const_cast<TBitmap&>(B).Canvas().Handle();
  TTransparentMask Mask(FHandle, B, Transparent);
  // Destination kept where the mask is 1, picture where it is 0.
  TMonoTransfer Mono(FHandle);
  BitBlt(FHandle, X, Y, B.Width(), B.Height(), Src, 0, 0, SRCINVERT);
  BitBlt(FHandle, X, Y, B.Width(), B.Height(), Mask.Handle(), 0, 0, SRCAND);
  BitBlt(FHandle, X, Y, B.Width(), B.Height(), Src, 0, 0, SRCINVERT);
}

void TCanvas::DrawShape(int X, int Y, const TBitmap& B, TColor Transparent, TColor Fill) {
  if (B.Empty()) return;
  Select(false, false, false);
  TTransparentMask Mask(FHandle, B, Transparent);
  TMonoTransfer Mono(FHandle);
  HBRUSH Brush = CreateSolidBrush(ColorToRGB(Fill));
  HGDIOBJ Old = SelectObject(FHandle, Brush);
  BitBlt(FHandle, X, Y, B.Width(), B.Height(), Mask.Handle(), 0, 0, RopPatternWhereSourceClear);
  SelectObject(FHandle, Old);
  DeleteObject(Brush);
}

TColor TCanvas::Pixel(int X, int Y) const { return static_cast<TColor>(GetPixel(FHandle, X, Y)); }

// --- TBitmap ----------------------------------------------------------------

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() {
  delete FCanvas;
  FCanvas = nullptr;
  if (FDC) {
    SelectObject(FDC, FOldBitmap);
    DeleteDC(FDC);
  }
  FDC = nullptr;
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
}

namespace {
BITMAPINFO Info24(int W, int H) {
  BITMAPINFO I{};
  I.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  I.bmiHeader.biWidth = W;
  I.bmiHeader.biHeight = H;
  I.bmiHeader.biPlanes = 1;
  I.bmiHeader.biBitCount = 24;
  I.bmiHeader.biCompression = BI_RGB;
  return I;
}
}  // namespace

void TBitmap::SetSize(int32_t W, int32_t H) {
  Release();
  if (W <= 0 || H <= 0) return;
  BITMAPINFO I = Info24(W, H);
  FHandle = CreateDIBSection(nullptr, &I, DIB_RGB_COLORS, &FBits, nullptr, 0);
  if (!FHandle) throw EInvalidGraphic(Format("Cannot make a bitmap of %d x %d", W, H));
  FWidth = W;
  FHeight = H;
  std::memset(FBits, 0xFF, static_cast<size_t>((W * 3 + 3) & ~3) * static_cast<size_t>(H));
}

void TPictureScale::Combine(int AM, int AD) {
  if (AM <= 0 || AD <= 0) return;
  M *= AM;
  D *= AD;
  const int G = std::gcd(M, D);
  M /= G;
  D /= G;
}

void TPictureScale::Apply(TBitmap& B) const {
  if (M == D || B.Empty()) return;
  TBitmap Scaled;
  Scaled.SetSize(std::max(1, MulDiv(B.Width(), M, D)), std::max(1, MulDiv(B.Height(), M, D)));
  Scaled.Canvas().StretchDraw(RECT{0, 0, Scaled.Width(), Scaled.Height()}, B);
  B.Assign(Scaled);
}

void TBitmap::Assign(const TBitmap& Source) {
  if (&Source == this) return;
  if (Source.Empty()) {
    Clear();
    return;
  }
  SetSize(Source.Width(), Source.Height());
  Canvas().Draw(0, 0, Source);
}

void TBitmap::LoadFromBmp(const std::string& Bmp) {
  const size_t HeaderSize = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  if (Bmp.size() < HeaderSize || Bmp[0] != 'B' || Bmp[1] != 'M')
    throw EInvalidGraphic("Bitmap image is not valid");
  BITMAPFILEHEADER F;
  std::memcpy(&F, Bmp.data(), sizeof F);
  const auto* Info = reinterpret_cast<const BITMAPINFO*>(Bmp.data() + sizeof F);
  const BITMAPINFOHEADER& H = Info->bmiHeader;
  if (H.biSize < sizeof(BITMAPINFOHEADER) || H.biWidth <= 0 || H.biHeight == 0 ||
      F.bfOffBits >= Bmp.size() || H.biWidth > 32767 || H.biHeight > 32767 || H.biHeight < -32767)
    throw EInvalidGraphic("Bitmap image is not valid");
  const int W = H.biWidth, Ht = H.biHeight < 0 ? -H.biHeight : H.biHeight;
  // The pixel rows must all be there.
  const size_t Stride = ((static_cast<size_t>(W) * H.biBitCount + 31) / 32) * 4;
  if (H.biCompression == BI_RGB && Bmp.size() - F.bfOffBits < Stride * static_cast<size_t>(Ht))
    throw EInvalidGraphic("Bitmap image is not valid");
  SetSize(W, Ht);
  HDC DC = Canvas().Handle();
  if (!SetDIBitsToDevice(DC, 0, 0, static_cast<DWORD>(W), static_cast<DWORD>(Ht), 0, 0, 0,
                         static_cast<UINT>(Ht), Bmp.data() + F.bfOffBits, Info, DIB_RGB_COLORS)) {
    Clear();
    throw EInvalidGraphic("Bitmap image is not valid");
  }
}

void TBitmap::LoadFromPicture(const TPicture& P) {
  // A picture that cannot be shown leaves no stale one behind.
  Clear();
  if (P.Empty()) return;
  if (P.GraphicClassName() != "TBitmap")
    throw EInvalidGraphic(Format("Cannot show a picture of class %s", P.GraphicClassName()));
  LoadFromBmp(P.Data());
}

void TBitmap::LoadFromResourceName(const std::string& Name) {
  std::string Bmp;
  if (!ReadBitmapResource(Name.c_str(), Bmp)) throw EInvalidGraphic(Format("Resource %s not found", Name));
  LoadFromBmp(Bmp);
}

std::string TBitmap::SaveToBmp() const {
  if (Empty()) return "";
  BITMAPINFO I = Info24(FWidth, FHeight);
  const size_t Stride = static_cast<size_t>((FWidth * 3 + 3) & ~3);
  GdiFlush();  // drawing may still be queued
  const std::string Pixels(static_cast<const char*>(FBits), Stride * static_cast<size_t>(FHeight));
  BITMAPFILEHEADER F{};
  F.bfType = 0x4D42;
  F.bfOffBits = sizeof F + sizeof(BITMAPINFOHEADER);
  F.bfSize = static_cast<DWORD>(F.bfOffBits + Pixels.size());
  std::string R(reinterpret_cast<const char*>(&F), sizeof F);
  R.append(reinterpret_cast<const char*>(&I.bmiHeader), sizeof(BITMAPINFOHEADER));
  return R + Pixels;
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) {
    if (!FDC) {
      FDC = CreateCompatibleDC(nullptr);
      if (FHandle) FOldBitmap = SelectObject(FDC, FHandle);
    }
    FCanvas = new TCanvas(FDC);
  }
  return *FCanvas;
}

TColor TBitmap::BottomLeftColor() const {
  if (Empty()) return clWhite;
  return const_cast<TBitmap*>(this)->Canvas().Pixel(0, FHeight - 1);
}

void Frame3D(TCanvas& Canvas, RECT& R, TColor TopColor, TColor BottomColor, int Width) {
  Canvas.Pen.Width = 1;
  Canvas.Pen.Style = psSolid;
  --R.right;
  --R.bottom;
  for (; Width > 0; --Width) {
    Canvas.Pen.Color = TopColor;
    Canvas.MoveTo(R.left, R.bottom);
    Canvas.LineTo(R.left, R.top);
    Canvas.LineTo(R.right, R.top);
    Canvas.Pen.Color = BottomColor;
    Canvas.LineTo(R.right, R.bottom);
    Canvas.LineTo(R.left - 1, R.bottom);
    InflateRect(&R, -1, -1);
  }
  ++R.right;
  ++R.bottom;
}
