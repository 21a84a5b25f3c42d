#include "controls/cmp_TImageList.h"

#include "controls/routines_CommonControls.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Format.h"

const TClassInfo& TImageList::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TImageList>("TImageList", &TComponent::StaticClass())
          .Creatable()
          .Int("Width", &TImageList::Width, &TImageList::SetWidth, 16)
          .Int("Height", &TImageList::Height, &TImageList::SetHeight, 16)
          .Bool("Masked", &TImageList::Masked, &TImageList::SetMasked, true)
          .Int("BkColor", &TImageList::BkColor, &TImageList::SetBkColor, clNone)
          .Object("Strip", &TImageList::Strip)
          .Str("ResourceName", &TImageList::ResourceName, &TImageList::SetResourceName, "")
          .Build();
  return Info;
}

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner), FStrip(new TPicture) {
  FStrip->OnChange = [this](TPersistent*) { StripChanged(); };
}

TImageList::~TImageList() {
  if (FHandle) ImageList_Destroy(FHandle);
  delete FStrip;
}

void TImageList::CheckSize(int32_t V, const char* What) const {
  if (V < 1 || V > 32767) throw EInvalidGraphic(Format("Invalid image %s %d", What, V));
}

void TImageList::SetWidth(int32_t W) {
  if (!IsLoading()) CheckSize(W, "width");
  if (W == FWidth) return;
  FWidth = W;
  Recreate();
}

void TImageList::SetHeight(int32_t H) {
  if (!IsLoading()) CheckSize(H, "height");
  if (H == FHeight) return;
  FHeight = H;
  Recreate();
}

void TImageList::SetMasked(bool V) {
  if (V == FMasked) return;
  FMasked = V;
  Recreate();
}

void TImageList::SetBkColor(TColor C) {
  FBkColor = C;
  if (FHandle) ImageList_SetBkColor(FHandle, C == clNone ? CLR_NONE : ColorToRGB(C));
}

void TImageList::Recreate() {
  if (!FHandle) return;
  ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TImageList::Handle() {
  if (!FHandle) {
    CheckSize(FWidth, "width");
    CheckSize(FHeight, "height");
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | (FMasked ? ILC_MASK : 0), 4, 4);
    if (!FHandle) throw EInvalidGraphic(Format("Cannot make an image list of %d x %d", FWidth, FHeight));
    SetBkColor(FBkColor);
  }
  return FHandle;
}

namespace {
// The image list selects what it adds into a DC of its own, which fails for
// a bitmap still selected into its canvas, and AddMasked blackens the
// transparent pixels of its source: it gets a copy.
struct TBitmapCopy {
  HBITMAP Handle = nullptr;
  explicit TBitmapCopy(const TBitmap& B, bool Monochrome) {
    HDC Screen = GetDC(nullptr);
    Handle = Monochrome ? CreateBitmap(B.Width(), B.Height(), 1, 1, nullptr)
                        : CreateCompatibleBitmap(Screen, B.Width(), B.Height());
    HDC DC = CreateCompatibleDC(Screen);
    HGDIOBJ Old = SelectObject(DC, Handle);
    BitBlt(DC, 0, 0, B.Width(), B.Height(), const_cast<TBitmap&>(B).Canvas().Handle(), 0, 0, SRCCOPY);
    SelectObject(DC, Old);
    DeleteDC(DC);
    ReleaseDC(nullptr, Screen);
  }
  ~TBitmapCopy() { DeleteObject(Handle); }
};
}  // namespace

int TImageList::Add(const TBitmap& Image, const TBitmap* Mask) {
  if (Image.Empty()) throw EInvalidGraphic("Cannot add an empty bitmap to an image list");
  HIMAGELIST H = Handle();
  TBitmapCopy Copy(Image, false);
  int First;
  if (Mask && !Mask->Empty()) {
    TBitmapCopy MaskCopy(*Mask, true);
    First = ImageList_Add(H, Copy.Handle, MaskCopy.Handle);
  } else {
    First = ImageList_Add(H, Copy.Handle, nullptr);
  }
  if (First < 0) throw EInvalidGraphic("Cannot add the bitmap to the image list");
  return First;
}

int TImageList::AddMasked(const TBitmap& Image, TColor MaskColor) {
  if (Image.Empty()) throw EInvalidGraphic("Cannot add an empty bitmap to an image list");
  HIMAGELIST H = Handle();
  TBitmapCopy Copy(Image, false);
  const int First = ImageList_AddMasked(H, Copy.Handle, ColorToRGB(MaskColor));
  if (First < 0) throw EInvalidGraphic("Cannot add the bitmap to the image list");
  return First;
}

void TImageList::LoadStrip(const TBitmap& Strip) {
  if (Strip.Width() % FWidth != 0 || Strip.Height() != FHeight)
    throw EInvalidGraphic(Format("An image strip of %d x %d does not hold images of %d x %d",
                                 Strip.Width(), Strip.Height(), FWidth, FHeight));
  Clear();
  if (FMasked)
    AddMasked(Strip, Strip.BottomLeftColor());
  else
    Add(Strip, nullptr);
}

void TImageList::LoadStripFromResourceName(const std::string& Name) {
  TBitmap B;
  B.LoadFromResourceName(Name);
  LoadStrip(B);
}

void TImageList::SetResourceName(const std::string& Name) {
  FResourceName = Name;
  if (!IsLoading() && !Name.empty()) LoadStripFromResourceName(Name);
}

void TImageList::StripChanged() {
  if (IsLoading()) return;
  TBitmap B;
  B.LoadFromPicture(*FStrip);
  if (B.Empty())
    Clear();
  else
    LoadStrip(B);
}

void TImageList::Loaded() {
  TComponent::Loaded();
  CheckSize(FWidth, "width");
  CheckSize(FHeight, "height");
  if (!FStrip->Empty()) StripChanged();
  if (!FResourceName.empty()) LoadStripFromResourceName(FResourceName);
}

int TImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled) {
  if (Index < 0 || Index >= Count())
    throw EInvalidGraphic(Format("Image index %d out of range (%d images)", Index, Count()));
  if (!Canvas.Handle()) throw EInvalidGraphic("Canvas does not allow drawing");
  ImageList_Draw(FHandle, Index, Canvas.Handle(), X, Y, Enabled ? ILD_TRANSPARENT : ILD_BLEND50);
}
