// Drawing: a canvas over a device context with its pen, brush and font, and
// a bitmap that loads from a picture of a stream or from a bitmap resource
// and has a canvas of its own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/cmp_TControl.h"
#include "rtl/cmp_TPicture.h"

QV_DECLARE_EXCEPTION(EInvalidGraphic, Exception)

enum TBrushStyle { bsSolid, bsClear };
enum TPenStyle { psSolid, psClear };

struct TPen {
  TColor Color = clBlack;
  int32_t Width = 1;
  TPenStyle Style = psSolid;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

class TBitmap;

// Every drawing call selects GDI objects made from the current Pen, Brush
// and Font; they are kept until a value changes and freed with the canvas.
class TCanvas {
 public:
  TCanvas();
  explicit TCanvas(HDC DC);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return FHandle; }
  // The canvas draws into DC from now on; it never releases a DC it was given.
  void SetHandle(HDC DC);

  TPen Pen;
  TBrush Brush;
  TFont* Font() { return &FFont; }

  void FillRect(const RECT& R);
  void FrameRect(const RECT& R);
  // Outline in the pen, filled with the brush.
  void Rectangle(int Left, int Top, int Right, int Bottom);
  void Polygon(const std::vector<POINT>& Points);
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  // Text in the font's colour, on the brush unless the brush is clear.
  void TextOut(int X, int Y, const std::string& S);
  // TextOut clipped to R.
  void TextRect(const RECT& R, int X, int Y, const std::string& S);
  SIZE TextExtent(const std::string& S);
  int TextWidth(const std::string& S) { return TextExtent(S).cx; }
  int TextHeight(const std::string& S) { return TextExtent(S).cy; }
  void Draw(int X, int Y, const TBitmap& B);
  void StretchDraw(const RECT& R, const TBitmap& B);
  // The bitmap with every pixel of colour Transparent left out.
  void DrawTransparent(int X, int Y, const TBitmap& B, TColor Transparent);
  // Fill wherever the bitmap is not of colour Transparent: the outline of
  // a picture (disabled glyphs are drawn so).
  void DrawShape(int X, int Y, const TBitmap& B, TColor Transparent, TColor Fill);
  TColor Pixel(int X, int Y) const;

 private:
  void Select(bool WithPen, bool WithBrush, bool WithFont);
  void Deselect();
  HDC FHandle = nullptr;
  TFont FFont;
  HPEN FPenHandle = nullptr;
  TPen FPenMade;
  HBRUSH FBrushHandle = nullptr;
  TBrush FBrushMade;
  HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr, FOldFont = nullptr;
};

// A device-independent bitmap of 24 bits per pixel.
class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return !FHandle; }
  HBITMAP Handle() const { return FHandle; }
  // A new, white bitmap of that size (none for 0).
  void SetSize(int32_t W, int32_t H);
  void Clear() { SetSize(0, 0); }
  void Assign(const TBitmap& Source);

  // The bytes of a .bmp file; "Bitmap image is not valid" for anything else.
  void LoadFromBmp(const std::string& Bmp);
  // The picture of a stream: a bitmap loads, an empty picture clears; a
  // failure leaves the bitmap empty.
  void LoadFromPicture(const TPicture& P);
  // The bitmap resource Name of the running program; "Resource Name not
  // found" when it has none.
  void LoadFromResourceName(const std::string& Name);
  // The .bmp file of the bitmap (what a picture carries).
  std::string SaveToBmp() const;

  // A canvas on the bitmap, made on first use.
  TCanvas& Canvas();
  // The colour of the lower-left pixel, which glyphs and image lists take
  // as transparent.
  TColor BottomLeftColor() const;

 private:
  void Release();
  HBITMAP FHandle = nullptr;
  void* FBits = nullptr;  // the pixel rows of the section, bottom up
  int32_t FWidth = 0, FHeight = 0;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  TCanvas* FCanvas = nullptr;
};

// How much larger than designed a form's pictures show: the factor its
// controls were scaled by for the screen's density (1 where none was).
struct TPictureScale {
  int M = 1, D = 1;
  void Combine(int AM, int AD);  // this scale, then that one
  // B drawn anew at this scale, pixel by pixel, so that its transparent
  // colour stays exact.
  void Apply(TBitmap& B) const;
};

// Lines of Width pixels along the edges of R, top and left in TopColor,
// bottom and right in BottomColor (the corners at top right and bottom left
// take BottomColor); R comes back inside them.  Panels and bevels draw so.
void Frame3D(TCanvas& Canvas, RECT& R, TColor TopColor, TColor BottomColor, int Width);
