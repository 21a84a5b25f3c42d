// Check boxes over the system's BUTTON class (BS_AUTOCHECKBOX, or
// BS_AUTO3STATE with AllowGrayed).  OnClick fires when the user toggles the
// box and, as in code, when Checked or State changes once the form has
// loaded.
#pragma once

#include "controls/cmp_TStdCtrls.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
extern const TEnumInfo CheckBoxStateInfo;

class TCheckBox : public TWinControl {
  QV_CLASS()
 public:
  explicit TCheckBox(TComponent* AOwner);

  bool Checked() const { return State() == cbChecked; }
  void SetChecked(bool V) { SetState(V ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const;
  void SetState(TCheckBoxState V);
  // A third, grayed state the user can click to.
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool V);
  // taRightJustify: the caption right of the box; taLeftJustify: left of it.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment V);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CommandNotify(WORD NotifyCode) override;

 private:
  // Button styles take effect only in a new window; the state stays.
  void RecreateBox();
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};
