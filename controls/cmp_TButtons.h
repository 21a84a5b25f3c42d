// Push buttons over the system's BUTTON class.  A click fires OnClick and,
// when the button has a modal result, ends the modal form it sits on with it.
#pragma once

#include "controls/cmp_TControl.h"

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

// The buttons of the wizard pages; so far a push button with a caption.
class TBitBtn : public TButton {
  QV_CLASS()
 public:
  using TButton::TButton;
};

