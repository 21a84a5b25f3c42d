#include "controls/cmp_TRichEdit.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "environment/routines_API.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TCustomRichEdit::StaticClass() {
  using C = TCustomRichEdit;
  static const TClassInfo Info = TClassBuilder<C>("TCustomRichEdit", &TCustomMemo::StaticClass())
                                     .Bool("PlainText", &C::PlainText, &C::SetPlainText, false)
                                     .Build();
  return Info;
}

const TClassInfo& TRichEdit::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TRichEdit>("TRichEdit", &TCustomRichEdit::StaticClass()).Creatable().Build();
  return Info;
}

namespace {

// The window class lives in riched20.dll, loaded once for the program's life.
const char* RichEditClassName() {
  static const DWORD Failure = LoadLibraryA("riched20.dll") ? 0 : GetLastError();
  if (Failure) throw EComponentError(Win32FailureText("LoadLibraryA(riched20.dll)", Failure));
  return RICHEDIT_CLASSA;  // "RichEdit20A"
}

struct TStreamSource {
  const std::string* Text;
  size_t Pos;
};

// A named callback: the 32-bit build needs the stdcall convention.
DWORD CALLBACK ReadStreamSource(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Done) {
  auto* Source = reinterpret_cast<TStreamSource*>(Cookie);
  const size_t N = std::min(static_cast<size_t>(Size), Source->Text->size() - Source->Pos);
  std::memcpy(Buffer, Source->Text->data() + Source->Pos, N);
  Source->Pos += N;
  *Done = static_cast<LONG>(N);
  return 0;
}

bool IsRichText(const std::string& S) { return S.compare(0, 5, "{\\rtf") == 0; }

}  // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  TCustomMemo::CreateParams(Params);
  Params.ClassName = RichEditClassName();
  // The text goes in after creation, where rich text is streamed.
  Params.Caption.clear();
}

void TCustomRichEdit::CreateWnd() {
  TCustomMemo::CreateWnd();
  if (FPlainText) SendMessageA(FHandle, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  // The target device decides the wrapping: 0 wraps at the window's edge.
  SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, WordWrap() ? 0 : 1);
  SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  ShowText(FCaption);
  // A rich edit reports changes only when asked to.
  SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE);
}

void TCustomRichEdit::ShowText(const std::string& S) {
  // Streamed in either way: only SF_RTF reads markup.
  TStreamSource Source{&S, 0};
  EDITSTREAM Stream{};
  Stream.dwCookie = reinterpret_cast<DWORD_PTR>(&Source);
  Stream.pfnCallback = ReadStreamSource;
  const WPARAM Format = !FPlainText && IsRichText(S) ? SF_RTF : SF_TEXT;
  SendMessageA(FHandle, EM_STREAMIN, Format, reinterpret_cast<LPARAM>(&Stream));
  if (Stream.dwError)
    throw EComponentError(GetNamePath() + ": the text could not be read into the rich edit (error " +
                          std::to_string(Stream.dwError) + ")");
  // Lines keep the source until the user edits the window.
  SendMessageA(FHandle, EM_SETMODIFY, FALSE, 0);
}

void TCustomRichEdit::SetPlainText(bool V) {
  if (V == FPlainText) return;
  FPlainText = V;
  RecreateEdit();
}

void TCustomRichEdit::SetColor(TColor C) {
  TCustomMemo::SetColor(C);
  if (FHandle) SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(C)));
}
