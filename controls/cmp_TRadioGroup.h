// Radio groups: a group box with one automatic radio button per item, laid
// out evenly in Columns.  The buttons are the group's own windows, not
// components of the form.
#pragma once

#include <vector>

#include "controls/cmp_TGroupBox.h"
#include "rtl/cmp_TStrings.h"

class TCustomRadioGroup : public TCustomGroupBox {
  QV_CLASS()
 public:
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;

  TStrings* Items() const { return &FItems; }
  // -1: none.  Setting checks that item's button and clears the others;
  // OnClick fires when it moves to an item, by the user or in code.
  int32_t ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int32_t V);
  int32_t Columns() const { return FColumns; }
  void SetColumns(int32_t V);

  void SetEnabled(bool V) override;
  void Loaded() override;
  // The item's button window; for tests and the window driver.
  HWND ButtonHandle(int Index);

 protected:
  void CreateWnd() override;
  void Resize() override;

 private:
  class TGroupButton;
  void ItemsChanged();
  void UpdateButtons();
  void ArrangeButtons();
  void ShowChecks();
  void ButtonClicked(int Index);
  mutable TStrings FItems;
  std::vector<TGroupButton*> FButtons;
  int32_t FItemIndex = -1;
  int32_t FColumns = 1;
};

class TRadioGroup : public TCustomRadioGroup {
  QV_CLASS()
 public:
  using TCustomRadioGroup::TCustomRadioGroup;
};
