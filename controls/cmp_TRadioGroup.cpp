#include "controls/cmp_TRadioGroup.h"

#include <algorithm>

#include "rtl/routines_ClassBuilder.h"

// One item's button: a BS_AUTORADIOBUTTON child of the group's window.
class TCustomRadioGroup::TGroupButton : public TWinControl {
 public:
  TGroupButton(TCustomRadioGroup* Group, int Index) : TWinControl(nullptr), FGroup(Group), FIndex(Index) {
    FParentColor = true;
    FClickOnMouseUp = false;
    // Tab reaches the group at its first button; the arrows go on from there.
    FTabStop = Index == 0;
  }

 protected:
  void CreateParams(TCreateParams& Params) override {
    TWinControl::CreateParams(Params);
    Params.ClassName = "BUTTON";
    Params.Style |= BS_AUTORADIOBUTTON;
    if (FIndex == 0) Params.Style |= WS_GROUP;
  }
  void CommandNotify(WORD NotifyCode) override {
    if (NotifyCode == BN_CLICKED) FGroup->ButtonClicked(FIndex);
  }

 private:
  TCustomRadioGroup* FGroup;
  int FIndex;
};

const TClassInfo& TCustomRadioGroup::StaticClass() {
  using C = TCustomRadioGroup;
  static const TClassInfo Info = TClassBuilder<C>("TCustomRadioGroup", &TCustomGroupBox::StaticClass())
                                     .Int("Columns", &C::Columns, &C::SetColumns, 1)
                                     .Object("Items", &C::Items)
                                     .Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1)
                                     .Build();
  return Info;
}

const TClassInfo& TRadioGroup::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TRadioGroup>("TRadioGroup", &TCustomRadioGroup::StaticClass()).Creatable().Build();
  return Info;
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner) {
  FItems.OnChange = [this](TPersistent*) { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
  Destroying();
  for (TGroupButton* B : FButtons) delete B;
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  UpdateButtons();
}

void TCustomRadioGroup::ItemsChanged() {
  if (!IsLoading()) UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
  while (FButtons.size() > static_cast<size_t>(FItems.Count())) {
    delete FButtons.back();
    FButtons.pop_back();
  }
  while (FButtons.size() < static_cast<size_t>(FItems.Count())) {
    auto* B = new TGroupButton(this, static_cast<int>(FButtons.size()));
    B->SetEnabled(FEnabled);
    B->SetParent(this);
    FButtons.push_back(B);
  }
  for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetCaption(FItems[static_cast<int>(i)]);
  FItemIndex = std::clamp(FItemIndex, -1, FItems.Count() - 1);
  ShowChecks();
  ArrangeButtons();
}

void TCustomRadioGroup::ShowChecks() {
  for (size_t i = 0; i < FButtons.size(); ++i)
    if (FButtons[i]->HandleAllocated())
      SendMessageA(FButtons[i]->Handle(), BM_SETCHECK, static_cast<int>(i) == FItemIndex, 0);
}

void TCustomRadioGroup::SetEnabled(bool V) {
  TCustomGroupBox::SetEnabled(V);
  for (TGroupButton* B : FButtons) B->SetEnabled(V);
}

void TCustomRadioGroup::CreateWnd() {
  TCustomGroupBox::CreateWnd();
  UpdateButtons();
}

void TCustomRadioGroup::Resize() {
  TCustomGroupBox::Resize();
  ArrangeButtons();
}

// The buttons share the inside evenly: a column after the other, each as
// wide as the group allows, the rows dividing the height under the caption.
void TCustomRadioGroup::ArrangeButtons() {
  if (FButtons.empty() || !FHandle) return;
  const int Count = static_cast<int>(FButtons.size());
  const int PerColumn = (Count + FColumns - 1) / FColumns;
  const int ButtonWidth = (FWidth - 10) / FColumns;
  const int TextHeight = CaptionHeight();
  const int Inside = std::max(0, FHeight - TextHeight - 5);
  const int ButtonHeight = Inside / PerColumn;
  const int TopMargin = TextHeight + 1 + (Inside % PerColumn) / 2;
  for (int i = 0; i < Count; ++i)
    FButtons[static_cast<size_t>(i)]->SetBounds((i / PerColumn) * ButtonWidth + 8,
                                                 (i % PerColumn) * ButtonHeight + TopMargin, ButtonWidth,
                                                 ButtonHeight);
}

void TCustomRadioGroup::SetItemIndex(int32_t V) {
  if (IsLoading()) {
    FItemIndex = V;
    return;
  }
  V = std::clamp(V, -1, FItems.Count() - 1);
  if (V == FItemIndex) return;
  FItemIndex = V;
  ShowChecks();
  if (V >= 0 && OnClick) OnClick(this);
}

void TCustomRadioGroup::ButtonClicked(int Index) {
  if (Index == FItemIndex) return;
  FItemIndex = Index;
  if (OnClick) OnClick(this);
}

void TCustomRadioGroup::SetColumns(int32_t V) {
  if (V < 1 || V > 16) throw EComponentError(GetNamePath() + ": Columns must be 1 to 16");
  FColumns = V;
  ArrangeButtons();
}

HWND TCustomRadioGroup::ButtonHandle(int Index) {
  if (Index < 0 || Index >= static_cast<int>(FButtons.size()))
    throw EComponentError(GetNamePath() + ": no button " + std::to_string(Index));
  return FButtons[static_cast<size_t>(Index)]->Handle();
}
