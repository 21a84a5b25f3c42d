// A picture in a form, drawn into the parent's window (no window of its
// own).  The picture is the truth: it is what the stream carries, and the
// bitmap painted is made from it again whenever it changes, also when the
// program hands the image a bitmap (the install's theme picture) or names a
// bitmap resource.
#pragma once

#include "controls/cmp_TControl.h"
#include "controls/cmp_TGraphics.h"
#include "rtl/cmp_TPicture.h"

class TImage : public TControl {
  QV_CLASS()
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture; }
  // Shows a copy of B.
  void ShowBitmap(const TBitmap& B);
  // Shows the bitmap resource Name of the running program ("Resource Name
  // not found" when it has none).
  void LoadFromResourceName(const std::string& Name);
  // The bitmap painted: the picture's, as large as the form was scaled.
  const TBitmap& Bitmap() const { return FBitmap; }

  // The control takes the picture's size.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool V);
  // The picture in the middle of the control (else at its top left).
  bool Center() const { return FCenter; }
  void SetCenter(bool V);
  // The picture fills the control.
  bool Stretch() const { return FStretch; }
  void SetStretch(bool V);
  // The pixels of the picture's lower-left colour are left out.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool V);

  void PaintTo(HDC DC) override;
  void Loaded() override;
  void ChangeScale(int M, int D) override;  // the picture grows with it

 private:
  void PictureChanged();
  void AdjustSize();
  // Where the picture goes, relative to the control.
  RECT DestRect() const;
  TPicture* FPicture;
  TBitmap FBitmap;  // the picture at FScale
  TPictureScale FScale;
  bool FAutoSize = false;
  bool FCenter = false;
  bool FStretch = false;
  bool FTransparent = false;
};
