#include "controls/routines_InputQuery.h"

#include <memory>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TEdit.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TStdCtrls.h"

namespace {

// The layout, in pixels of the client area.
constexpr int ClientW = 320, ClientH = 104, Margin = 8, ButtonW = 75, ButtonH = 25;

template <class T>
T* Place(TForm* Form, const char* Name, int L, int T_, int W, int H) {
  auto* C = new T(Form);
  C->SetName(Name);
  C->SetBounds(L, T_, W, H);
  C->SetParent(Form);
  return C;
}

TButton* AddButton(TForm* Form, const char* Name, const char* Caption, int Left, int Result) {
  auto* B = Place<TButton>(Form, Name, Left, ClientH - Margin - ButtonH, ButtonW, ButtonH);
  B->SetCaption(Caption);
  B->ModalResult = Result;
  B->SetTabStop(true);
  return B;
}

}  // namespace

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  std::unique_ptr<TForm> Form(new TForm(nullptr));
  Form->SetName("InputQueryForm");
  Form->SetCaption(Caption);
  Form->SetBorderStyle(bsDialog);
  Form->SetBorderIcons(0);
  Form->Font()->Name = "Arial";
  Form->Font()->Height = -11;
  Form->Font()->Changed();
  auto* Label = Place<TLabel>(Form.get(), "PromptLabel", Margin, Margin, ClientW - 2 * Margin, 16);
  Label->SetCaption(Prompt);
  auto* Edit = Place<TEdit>(Form.get(), "ValueEdit", Margin, Margin + 20, ClientW - 2 * Margin, 21);
  Edit->SetTabStop(true);
  Edit->SetText(Value);
  Label->SetFocusControl(Edit);
  AddButton(Form.get(), "OkBtn", "OK", ClientW - 2 * (ButtonW + Margin), mrOk)->Default = true;
  AddButton(Form.get(), "CancelBtn", "Cancel", ClientW - ButtonW - Margin, mrCancel)->Cancel = true;

  // The client size needs the frame of the window's real style.
  Form->HandleNeeded();
  Form->SetClientSize(ClientW, ClientH);
  Form->SetBounds((GetSystemMetrics(SM_CXSCREEN) - Form->Width()) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - Form->Height()) / 2, Form->Width(), Form->Height());
  // Focus on the edit once the window is up, its text selected for typing over.
  bool Focused = false;
  Form->OnActivate = [&](TPersistent*) {
    if (Focused) return;
    Focused = true;
    Edit->SetFocus();
    Edit->SelectAll();
  };
  if (Form->ShowModal() != mrOk) return false;
  Value = Edit->Text();
  return true;
}
