#include "controls/cmp_TCheckBox.h"

#include "rtl/routines_ClassBuilder.h"

const TEnumInfo CheckBoxStateInfo{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};

const TClassInfo& TCheckBox::StaticClass() {
  using C = TCheckBox;
  static const TClassInfo Info =
      TClassBuilder<C>("TCheckBox", &TWinControl::StaticClass())
          .Creatable()
          .Enum("Alignment", AlignmentInfo, &C::Alignment, &C::SetAlignment, taRightJustify)
          .Bool("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed, false)
          .Bool("Checked", &C::Checked, &C::SetChecked, false)
          .Bool("ParentColor", &C::ParentColor, &C::SetParentColor, true)
          .Enum("State", CheckBoxStateInfo, &C::State, &C::SetState, cbUnchecked)
          .Bool("TabStop", &C::TabStop, &C::SetTabStop, true)
          .Build();
  return Info;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 97;
  FHeight = 17;
  FTabStop = true;
  FParentColor = true;
  FClickOnMouseUp = false;
}

void TCheckBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ClassName = "BUTTON";
  Params.Style |= FAllowGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCheckBox::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

TCheckBoxState TCheckBox::State() const {
  if (!FHandle) return FState;
  switch (SendMessageA(FHandle, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED: return cbChecked;
    case BST_INDETERMINATE: return cbGrayed;
    default: return cbUnchecked;
  }
}

void TCheckBox::SetState(TCheckBoxState V) {
  if (V == cbGrayed && !FAllowGrayed && !IsLoading())
    throw EComponentError(GetNamePath() + ": a check box without AllowGrayed cannot be grayed");
  const TCheckBoxState Old = State();
  FState = V;
  if (FHandle) SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(V), 0);
  if (V != Old && !IsLoading() && OnClick) OnClick(this);
}

void TCheckBox::SetAllowGrayed(bool V) {
  if (V == FAllowGrayed) return;
  FAllowGrayed = V;
  RecreateBox();
}

void TCheckBox::SetAlignment(TAlignment V) {
  if (V == taCenter) throw EComponentError(GetNamePath() + ": a check box's caption goes left or right of it");
  if (V == FAlignment) return;
  FAlignment = V;
  RecreateBox();
}

void TCheckBox::RecreateBox() {
  FState = State();
  if (!FAllowGrayed && FState == cbGrayed) FState = cbUnchecked;
  RecreateWnd();
}

void TCheckBox::CommandNotify(WORD NotifyCode) {
  if (NotifyCode != BN_CLICKED) return;
  // The system box has toggled itself already.
  FState = State();
  if (OnClick) OnClick(this);
}
