// Panels and labels: the plain visual building blocks the main window and the
// pages are made of.
#pragma once

#include "controls/cmp_TControl.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNoneBorder, bsSingleBorder };
// The scroll bars of a memo or a grid.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TEnumInfo AlignmentInfo, BevelCutInfo, BorderStyleInfo, ScrollStyleInfo;

class TCustomPanel : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomPanel(TComponent* AOwner);
  TAlignment Alignment = taCenter;
  TBevelCut BevelInner = bvNone;
  TBevelCut BevelOuter = bvRaised;
  int32_t BevelWidth = 1;
  TBorderStyle BorderStyle = bsNoneBorder;
  int32_t BorderWidth = 0;
  // Aligned children keep off the border width and the bevels.
  void AdjustClientRect(RECT& R) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint(HDC DC) override;
};

class TPanel : public TCustomPanel {
  QV_CLASS()
 public:
  using TCustomPanel::TCustomPanel;
};

// A label paints into its parent's window; it has no window of its own.
class TCustomLabel : public TControl {
  QV_CLASS()
 public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment = taLeftJustify;
  bool AutoSize = true;
  bool Transparent = false;
  bool WordWrap = false;
  void PaintTo(HDC DC) override;
};

class TLabel : public TCustomLabel {
  QV_CLASS()
 public:
  using TCustomLabel::TCustomLabel;
};

