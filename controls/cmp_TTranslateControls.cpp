#include "controls/cmp_TTranslateControls.h"

#include "controls/cmp_TForm.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TTranslateLabel::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTranslateLabel>("TTranslateLabel", &TLabel::StaticClass())
          .Creatable()
          .Int("GLID", &TTranslateLabel::GLID, 0)
          .Build();
  return Info;
}

const TClassInfo& TTranslateBitBtn::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTranslateBitBtn>("TTranslateBitBtn", &TBitBtn::StaticClass())
          .Creatable()
          .Int("GLID", &TTranslateBitBtn::GLID, 0)
          .Build();
  return Info;
}

namespace {

// Pictures are drawn, not written: they stay visible while texts change.
bool IsImage(const TComponent* C) {
  for (const TClassInfo* I = &C->ClassInfo(); I; I = I->Parent)
    if (I->ClassName == "TImage") return true;
  return false;
}

std::function<void()> BeginTexts(TComponent* C) {
  auto* Control = dynamic_cast<TControl*>(C);
  if (!Control) return nullptr;
  const bool WasVisible = Control->Visible();
  if (!dynamic_cast<TCustomForm*>(C) && !IsImage(C) && WasVisible) Control->SetVisible(false);
  // A label that sized itself to the old text must not jump about on the way.
  auto* Label = dynamic_cast<TCustomLabel*>(C);
  const bool AutoSize = Label && Label->AutoSize();
  if (Label) Label->SetAutoSize(false);
  return [Control, Label, AutoSize, WasVisible] {
    if (Label) Label->SetAutoSize(AutoSize);
    if (Control->Visible() != WasVisible) Control->SetVisible(WasVisible);
    if (auto* W = dynamic_cast<TWinControl*>(Control)) W->Realign();
  };
}

bool CaptionId(TComponent* C, int32_t& GLID) {
  if (auto* L = dynamic_cast<TTranslateLabel*>(C)) {
    GLID = L->GLID;
    return true;
  }
  if (auto* B = dynamic_cast<TTranslateBitBtn*>(C)) {
    GLID = B->GLID;
    return true;
  }
  return false;
}

std::vector<TComponent*> ChildControls(TComponent* C) {
  std::vector<TComponent*> R;
  if (auto* W = dynamic_cast<TWinControl*>(C))
    for (int i = 0; i < W->ControlCount(); ++i) R.push_back(W->Controls(i));
  return R;
}

}  // namespace

void ConnectTranslatorToControls() {
  TTranslatorControlHooks H;
  H.BeginTexts = BeginTexts;
  H.CaptionId = CaptionId;
  H.IsForm = [](TComponent* C) { return dynamic_cast<TCustomForm*>(C) != nullptr; };
  H.ChildControls = ChildControls;
  SetTranslatorControlHooks(H);
}
