// Panels and labels: the plain visual building blocks the main window and the
// pages are made of.
#pragma once

#include "controls/cmp_TControl.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNoneBorder, bsSingleBorder };
// The scroll bars of a memo or a grid.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TTextLayout { tlTop, tlCenter, tlBottom };
extern const TEnumInfo AlignmentInfo, BevelCutInfo, BorderStyleInfo, ScrollStyleInfo, TextLayoutInfo;

// S in the font's colour in R with DrawText's Flags (with DT_CALCRECT it only
// measures, into R).  Disabled text is embossed, highlight under shadow, as
// the system draws it.
void DrawCaption(HDC DC, RECT& R, const std::string& S, TFont* F, UINT Flags, bool Enabled = true);
// The DrawText alignment flag of A.
UINT AlignmentFlag(TAlignment A);

// Painted as the VCL panel: the outer bevel, BorderWidth pixels of Color,
// the inner bevel, the caption centred vertically.
class TCustomPanel : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomPanel(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment A);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut B);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut B);
  int32_t BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int32_t W);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle S);
  int32_t BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int32_t W);
  // Aligned children keep off the border width and the bevels.
  void AdjustClientRect(RECT& R) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint(HDC DC) override;

 private:
  // The frame changed: children realign, the panel repaints.
  void FrameChanged();
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int32_t FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNoneBorder;
  int32_t FBorderWidth = 0;
};

class TPanel : public TCustomPanel {
  QV_CLASS()
 public:
  using TCustomPanel::TCustomPanel;
};

// A label paints into its parent's window; it has no window of its own.
// With AutoSize it takes the size of its caption (without WordWrap both
// width and height, with WordWrap the height only), also when the caption
// or the font change; not while loading.  Its accelerator ("&x"; "&&" is a
// literal "&") focuses FocusControl.
class TCustomLabel : public TControl {
  QV_CLASS()
 public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment A);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool V);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool V);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool V);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout L);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool V);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* W);

  void SetCaption(const std::string& S) override;
  void PaintTo(HDC DC) override;
  bool DialogChar(char C) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void FontChanged() override;
  void AdjustBounds();
  UINT TextFlags() const;

 private:
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FWordWrap = false;
  TTextLayout FLayout = tlTop;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  QV_CLASS()
 public:
  using TCustomLabel::TCustomLabel;
};
