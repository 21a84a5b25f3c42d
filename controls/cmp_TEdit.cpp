#include "controls/cmp_TEdit.h"

#include "rtl/routines_ClassBuilder.h"

const TEnumInfo EditCharCaseInfo{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};

const TClassInfo& TCustomEdit::StaticClass() {
  using C = TCustomEdit;
  static const TClassInfo Info =
      TClassBuilder<C>("TCustomEdit", &TWinControl::StaticClass())
          .Bool("AutoSelect", &C::AutoSelect, true)
          .Enum("BorderStyle", BorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingleBorder)
          // The caption is the text; a stream carries it once, as Text.
          .Str("Caption", &C::Text, &C::SetText, "")
          .StoredIf([](const C&) { return false; })
          .Enum("CharCase", EditCharCaseInfo, &C::CharCase, &C::SetCharCase, ecNormal)
          .Int("Color", &C::Color, &C::SetColor, clWindow)
          .Int("MaxLength", &C::MaxLength, &C::SetMaxLength, 0)
          .Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
          .Bool("TabStop", &C::TabStop, &C::SetTabStop, true)
          .Str("Text", &C::Text, &C::SetText, "")
          .Event("OnChange", &C::OnChange)
          .Build();
  return Info;
}

const TClassInfo& TEdit::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TEdit>("TEdit", &TCustomEdit::StaticClass()).Creatable().Build();
  return Info;
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 121;
  FHeight = 21;
  FColor = clWindow;
  FTabStop = true;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ClassName = "EDIT";
  Params.Style |= ES_AUTOHSCROLL;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (FBorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  if (FMaxLength > 0) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

std::string TCustomEdit::Text() const {
  if (!FHandle) return FCaption;
  std::string S(static_cast<size_t>(GetWindowTextLengthA(FHandle)) + 1, '\0');
  S.resize(static_cast<size_t>(GetWindowTextA(FHandle, &S[0], static_cast<int>(S.size()))));
  return S;
}

void TCustomEdit::SetText(const std::string& S) {
  FCaption = S;
  if (IsLoading()) return;
  // A multi-line edit reports no change for a text set in code.
  const int Before = FChanges;
  if (FHandle) ShowText(S);
  if (FChanges == Before) Change();
}

void TCustomEdit::ShowText(const std::string& S) { SetWindowTextA(FHandle, S.c_str()); }

void TCustomEdit::Change() {
  ++FChanges;
  if (OnChange) OnChange(this);
}

void TCustomEdit::CommandNotify(WORD NotifyCode) {
  if (NotifyCode == EN_CHANGE && !IsLoading()) Change();
}

void TCustomEdit::SetReadOnly(bool V) {
  FReadOnly = V;
  if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, V, 0);
}

void TCustomEdit::SetCharCase(TEditCharCase V) {
  FCharCase = V;
  if (!FHandle) return;
  // The case styles may change on a live edit window; the text it holds
  // already stays as it is.
  LONG_PTR S = GetWindowLongPtrA(FHandle, GWL_STYLE) & ~static_cast<LONG_PTR>(ES_UPPERCASE | ES_LOWERCASE);
  if (V == ecUpperCase) S |= ES_UPPERCASE;
  if (V == ecLowerCase) S |= ES_LOWERCASE;
  SetWindowLongPtrA(FHandle, GWL_STYLE, S);
}

void TCustomEdit::SetMaxLength(int32_t V) {
  if (V < 0) throw EComponentError(GetNamePath() + ": MaxLength must not be negative");
  FMaxLength = V;
  if (FHandle) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(V), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle V) {
  if (V == FBorderStyle) return;
  FBorderStyle = V;
  RecreateEdit();
}

void TCustomEdit::RecreateEdit() {
  if (!FHandle) return;
  FCaption = Text();
  RecreateWnd();
}

void TCustomEdit::SelectAll() {
  if (FHandle) SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

LRESULT TCustomEdit::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_GETDLGCODE && !AutoSelect) {
    // Dialog navigation selects the text of edits that ask for it.
    return TWinControl::WndProc(Msg, WParam, LParam) & ~static_cast<LRESULT>(DLGC_HASSETSEL);
  }
  return TWinControl::WndProc(Msg, WParam, LParam);
}
