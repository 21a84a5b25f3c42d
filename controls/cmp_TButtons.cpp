#include "controls/cmp_TButtons.h"

#include "controls/cmp_TForm.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TButton::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TButton>("TButton", &TWinControl::StaticClass())
                                     .Creatable()
                                     .Bool("Cancel", &TButton::Cancel, false)
                                     .Bool("Default", &TButton::Default, false)
                                     .Int("ModalResult", &TButton::ModalResult, mrNone)
                                     .Build();
  return Info;
}

const TClassInfo& TBitBtn::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TBitBtn>("TBitBtn", &TButton::StaticClass()).Creatable().Build();
  return Info;
}

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 75;
  FHeight = 25;
  FTabStop = true;
}

void TButton::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ClassName = "BUTTON";
  Params.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
  if (OnClick) OnClick(this);
  if (ModalResult == mrNone) return;
  for (TWinControl* P = Parent(); P; P = P->Parent())
    if (auto* Form = dynamic_cast<TCustomForm*>(P)) {
      Form->SetModalResult(ModalResult);
      return;
    }
}

void TButton::CommandNotify(WORD NotifyCode) {
  if (NotifyCode == BN_CLICKED) Click();
}

LRESULT TButton::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // The system button reports the click itself (BN_CLICKED); the generic
  // mouse-up click of kit windows would fire OnClick a second time.
  if (Msg == WM_LBUTTONUP) return DefaultHandler(Msg, WParam, LParam);
  return TWinControl::WndProc(Msg, WParam, LParam);
}
