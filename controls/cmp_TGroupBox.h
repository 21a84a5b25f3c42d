// Group boxes over the system's BUTTON class (BS_GROUPBOX): a captioned
// frame that holds controls.
#pragma once

#include "controls/cmp_TStdCtrls.h"

class TCustomGroupBox : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  // Aligned children keep off the frame and the caption.
  void AdjustClientRect(RECT& R) override;
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  // The height of a line of the caption's font.
  int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
  QV_CLASS()
 public:
  using TCustomGroupBox::TCustomGroupBox;
};
