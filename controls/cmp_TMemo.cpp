#include "controls/cmp_TMemo.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TCustomMemo::StaticClass() {
  using C = TCustomMemo;
  static const TClassInfo Info =
      TClassBuilder<C>("TCustomMemo", &TCustomEdit::StaticClass())
          .Object("Lines", &C::Lines)
          .Enum("ScrollBars", ScrollStyleInfo, &C::ScrollBars, &C::SetScrollBars, ssNone)
          // A stream carries a memo's text once, as Lines.
          .Str("Text", &C::Text, &C::SetText, "")
          .StoredIf([](const C&) { return false; })
          .Bool("WantReturns", &C::WantReturns, true)
          .Bool("WantTabs", &C::WantTabs, false)
          .Bool("WordWrap", &C::WordWrap, &C::SetWordWrap, true)
          .Build();
  return Info;
}

const TClassInfo& TMemo::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TMemo>("TMemo", &TCustomMemo::StaticClass()).Creatable().Build();
  return Info;
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FWidth = 185;
  FHeight = 89;
  FLines.OnChange = [this](TPersistent*) { LinesChanged(); };
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (WantReturns) Params.Style |= ES_WANTRETURN;
  // A wrapping memo never scrolls sideways.
  if (FWordWrap) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

std::string TCustomMemo::JoinedLines() const {
  std::string S = FLines.Text();
  if (S.size() >= 2) S.resize(S.size() - 2);
  return S;
}

TStrings* TCustomMemo::Lines() const {
  // The window tells whether the user changed its text since it was set.
  if (FHandle && !FReadingBack && SendMessageA(FHandle, EM_GETMODIFY, 0, 0)) {
    FReadingBack = true;
    FLines.SetText(Text());
    FReadingBack = false;
    SendMessageA(FHandle, EM_SETMODIFY, FALSE, 0);
  }
  return &FLines;
}

void TCustomMemo::SetText(const std::string& S) { FLines.SetText(S); }

void TCustomMemo::LinesChanged() {
  if (FReadingBack) return;
  TCustomEdit::SetText(JoinedLines());
}

void TCustomMemo::RecreateEdit() {
  if (!FHandle) return;
  Lines();
  FCaption = JoinedLines();
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle V) {
  if (V == FScrollBars) return;
  FScrollBars = V;
  RecreateEdit();
}

void TCustomMemo::SetWordWrap(bool V) {
  if (V == FWordWrap) return;
  FWordWrap = V;
  RecreateEdit();
}

LRESULT TCustomMemo::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg != WM_GETDLGCODE) return TCustomEdit::WndProc(Msg, WParam, LParam);
  // A multi-line edit wants every key; the form takes Tab and Enter back
  // where the memo does not want them.
  LRESULT Code = TCustomEdit::WndProc(Msg, WParam, LParam);
  const auto* M = reinterpret_cast<const MSG*>(LParam);
  const bool KeyDown = M && (M->message == WM_KEYDOWN || M->message == WM_CHAR);
  if (WantTabs) {
    Code |= DLGC_WANTTAB;
  } else {
    Code &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (KeyDown && M->wParam == VK_TAB) Code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
  }
  if (!WantReturns && KeyDown && M->wParam == VK_RETURN) Code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
  return Code;
}
