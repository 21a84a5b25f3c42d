// A list of equally sized images over the common controls' image list
// (HIMAGELIST), which tree and list views draw their pictures from.
//
// A text form carries the images as one picture, "Strip": the images side
// by side, so the strip is Count x Width pixels wide and Height high.  With
// Masked, the colour of the strip's lower-left pixel is transparent in every
// image.  A form may name a bitmap resource of the program instead
// ("ResourceName", read the same way), and code can load a strip with
// LoadStripFromResourceName or add bitmaps one by one.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include "controls/cmp_TGraphics.h"

// "No colour": the image list's background stays transparent.
constexpr TColor clNone = static_cast<TColor>(0x1FFFFFFF);

class TImageList : public TComponent {
  QV_CLASS()
 public:
  explicit TImageList(TComponent* AOwner);
  ~TImageList() override;

  // Changing the size of the images empties the list.
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t W);
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t H);
  bool Masked() const { return FMasked; }
  void SetMasked(bool V);
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor C);
  TPicture* Strip() const { return FStrip; }
  const std::string& ResourceName() const { return FResourceName; }
  void SetResourceName(const std::string& Name);

  // Each adds as many images as the bitmap is Width wide, and returns the
  // index of the first.  Add takes a monochrome mask (1 = transparent);
  // AddMasked makes the mask from a colour.
  int Add(const TBitmap& Image, const TBitmap* Mask);
  int AddMasked(const TBitmap& Image, TColor MaskColor);
  // Replaces the images by those of a strip (see above).
  void LoadStrip(const TBitmap& Strip);
  void LoadStripFromResourceName(const std::string& Name);
  int Count() const;
  void Clear();
  // Draws image Index at X, Y; a disabled image is drawn blended.
  void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true);
  // Made on first use.
  HIMAGELIST Handle();

  void Loaded() override;

 private:
  void Recreate();
  void CheckSize(int32_t V, const char* What) const;
  void StripChanged();
  int32_t FWidth = 16, FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TPicture* FStrip;
  std::string FResourceName;
  HIMAGELIST FHandle = nullptr;
};
