#include "controls/cmp_TImage.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TImage::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TImage>("TImage", &TControl::StaticClass())
                                     .Creatable()
                                     .Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
                                     .Bool("Center", &TImage::Center, &TImage::SetCenter, false)
                                     .Object("Picture", &TImage::Picture)
                                     .Bool("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
                                     .Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
                                     .Build();
  return Info;
}

TImage::TImage(TComponent* AOwner) : TControl(AOwner), FPicture(new TPicture) {
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TPersistent*) { PictureChanged(); };
}

TImage::~TImage() { delete FPicture; }

void TImage::ShowBitmap(const TBitmap& B) { FPicture->SetBitmap(B.SaveToBmp()); }

void TImage::LoadFromResourceName(const std::string& Name) {
  TBitmap B;
  B.LoadFromResourceName(Name);
  ShowBitmap(B);
}

void TImage::PictureChanged() {
  Invalidate();  // the old picture goes, whether or not the new one loads
  FBitmap.LoadFromPicture(*FPicture);
  FScale.Apply(FBitmap);
  AdjustSize();
}

void TImage::ChangeScale(int M, int D) {
  TControl::ChangeScale(M, D);
  FScale.Combine(M, D);
  PictureChanged();
}

void TImage::AdjustSize() {
  if (FAutoSize && !FBitmap.Empty()) SetBounds(FLeft, FTop, FBitmap.Width(), FBitmap.Height());
}

void TImage::Loaded() {
  TControl::Loaded();
  // The picture may have been read before the streamed size.
  AdjustSize();
}

void TImage::SetAutoSize(bool V) {
  FAutoSize = V;
  AdjustSize();
}

void TImage::SetCenter(bool V) {
  FCenter = V;
  Invalidate();
}

void TImage::SetStretch(bool V) {
  FStretch = V;
  Invalidate();
}

void TImage::SetTransparent(bool V) {
  FTransparent = V;
  Invalidate();
}

RECT TImage::DestRect() const {
  const int W = FStretch ? FWidth : FBitmap.Width();
  const int H = FStretch ? FHeight : FBitmap.Height();
  RECT R{0, 0, W, H};
  if (FCenter) OffsetRect(&R, (FWidth - W) / 2, (FHeight - H) / 2);
  return R;
}

void TImage::PaintTo(HDC DC) {
  if (FBitmap.Empty()) return;
  RECT D = DestRect();
  OffsetRect(&D, FLeft, FTop);
  const int W = D.right - D.left, H = D.bottom - D.top;
  if (W <= 0 || H <= 0) return;
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
  {
    TCanvas C(DC);
    const bool Sized = W != FBitmap.Width() || H != FBitmap.Height();
    if (!FTransparent) {
      if (Sized)
        C.StretchDraw(D, FBitmap);
      else
        C.Draw(D.left, D.top, FBitmap);
    } else if (!Sized) {
      C.DrawTransparent(D.left, D.top, FBitmap, FBitmap.BottomLeftColor());
    } else {
      // Stretched first, so that the mask is made at the size shown.
      TBitmap Shown;
      Shown.SetSize(W, H);
      Shown.Canvas().StretchDraw(RECT{0, 0, W, H}, FBitmap);
      C.DrawTransparent(D.left, D.top, Shown, FBitmap.BottomLeftColor());
    }
  }
  RestoreDC(DC, Saved);
}
