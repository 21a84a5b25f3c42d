// List boxes over the system's LISTBOX class, single selection.  Items and
// the window stay in step: a change of Items shows at once, and strings
// added to the window from outside appear in Items.
#pragma once

#include "controls/cmp_TStdCtrls.h"
#include "rtl/cmp_TStrings.h"

class TCustomListBox : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomListBox(TComponent* AOwner);

  TStrings* Items() const;
  // Items kept in the order the window sorts them (case ignored).
  bool Sorted() const { return FSorted; }
  void SetSorted(bool V);
  // 0: the height the font gives.
  int32_t ItemHeight() const;
  void SetItemHeight(int32_t V);
  // -1: none selected.
  int32_t ItemIndex() const;
  void SetItemIndex(int32_t V);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle V);

  // OnClick fires when the user selects an item, by mouse or keys.
  TNotifyEvent OnDblClick;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CommandNotify(WORD NotifyCode) override;

 private:
  void ItemsChanged();
  void ShowItems();
  void SortItems();
  // A style change needs a new window; the items and the selection stay.
  void RecreateList();
  mutable TStrings FItems;
  mutable bool FSyncing = false;
  bool FSorted = false;
  int32_t FItemHeight = 0;
  int32_t FItemIndex = -1;
  TBorderStyle FBorderStyle = bsSingleBorder;
};

class TListBox : public TCustomListBox {
  QV_CLASS()
 public:
  using TCustomListBox::TCustomListBox;
};
