// Push buttons over the system's BUTTON class.  A click fires OnClick and,
// when the button has a modal result, ends the modal form it sits on with it.
#pragma once

#include "controls/cmp_TControl.h"
#include "controls/cmp_TGraphics.h"
#include "rtl/cmp_TPicture.h"

class TButton : public TWinControl {
  QV_CLASS()
 public:
  explicit TButton(TComponent* AOwner);
  int32_t ModalResult = 0;  // mrNone
  // The button Enter presses, and the one Escape presses.
  bool Default = false;
  bool Cancel = false;
  // Fires OnClick, then passes the modal result to the form.
  virtual void Click();

  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CommandNotify(WORD NotifyCode) override;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
extern const TEnumInfo BitBtnKindInfo, ButtonLayoutInfo;

// The buttons of the wizard pages: a push button that draws itself
// (BS_OWNERDRAW) with a picture beside its caption.  The face is the themed
// push button where a theme is active, the classic one elsewhere; the
// caption stays the window text, so dialog accelerators and the test
// driver find the button by it, and BM_CLICK, Tab, Enter and Escape work as
// for any button.
//
// Kind sets what the VCL's kinds set: the caption (while loading only when
// none was read), the modal result, Default for OK and Yes, Cancel for
// Cancel and No; Close closes the form instead of clicking.  Glyph holds NumGlyphs images side
// by side: the first for the normal state, the second (when there) for the
// disabled one, the third for the pressed one; the lower-left pixel's
// colour is transparent.  Margin -1 centres glyph and caption together;
// Spacing is the room between them.
class TBitBtn : public TButton {
  QV_CLASS()
 public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  TBitBtnKind Kind() const { return FKind; }
  void SetKind(TBitBtnKind K);
  TPicture* Glyph() const { return FGlyph; }
  int32_t NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int32_t N);
  int32_t Margin() const { return FMargin; }
  void SetMargin(int32_t M);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t S);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout L);

  void Click() override;
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
  void ChangeScale(int M, int D) override;  // glyph, margin and spacing too

 protected:
  void CreateParams(TCreateParams& Params) override;
  bool ReflectedMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) override;

 private:
  void GlyphChanged();
  void DrawItem(const DRAWITEMSTRUCT& Item);
  // The glyph's image for the state, at X, Y.
  void DrawGlyph(HDC DC, int X, int Y, bool Disabled, bool Down);
  void SetHot(bool V);
  // Whether the button wears the default frame: it has the focus, or it
  // is the Default button and no other button has it.
  bool ShowsDefault(bool HasFocus) const;
  TBitBtnKind FKind = bkCustom;
  TPicture* FGlyph;
  TBitmap FGlyphBitmap;  // the glyph at FGlyphScale
  TPictureScale FGlyphScale;
  int32_t FNumGlyphs = 1;
  int32_t FMargin = -1;
  int32_t FSpacing = 4;
  TButtonLayout FLayout = blGlyphLeft;
  bool FHot = false;  // the mouse is over it (themed faces show that)
};
