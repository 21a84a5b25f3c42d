// Rows of items over the system's "SysListView32": icons, a list, or a
// report with columns.  The items live here (caption, sub-items, pictures,
// data) and the window holds one item per row, in the same order; the
// columns are a published collection, so forms carry them and the
// translator translates their captions.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <memory>
#include <vector>

#include "controls/cmp_TImageList.h"
#include "controls/cmp_TStdCtrls.h"
#include "rtl/cmp_TCollection.h"

class TStrings;
class TCustomListView;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
extern const TEnumInfo ViewStyleInfo;

class TListColumn : public TCollectionItem {
  QV_CLASS()
 public:
  using TCollectionItem::TCollectionItem;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& S);
  // What the header shows, after the user dragged it.
  int32_t Width() const;
  void SetWidth(int32_t W);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment A);

 private:
  friend class TCustomListView;
  std::string FCaption;
  int32_t FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
};

class TListColumns : public TOwnedCollection<TListColumn> {
 public:
  explicit TListColumns(TCustomListView* Owner);

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomListView* FListView;
};

class TListItems;

class TListItem {
 public:
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;
  ~TListItem();

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& S);
  // The texts of the columns after the first.
  TStrings* SubItems() const { return FSubItems; }
  // In the small (or large) image list; -1 for none.
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t I);
  // In the state image list, drawn left of the item; -1 for none.
  int32_t StateIndex() const { return FStateIndex; }
  void SetStateIndex(int32_t I);
  void* Data = nullptr;
  bool Selected() const;
  void SetSelected(bool V);
  int Index() const;

 private:
  friend class TListItems;
  friend class TCustomListView;
  explicit TListItem(TListItems* Owner);
  HWND Window() const;
  void SubItemsChanged();
  TListItems* FOwner;
  std::string FCaption;
  TStrings* FSubItems;
  int32_t FImageIndex = -1;
  int32_t FStateIndex = -1;
};

class TListItems {
 public:
  explicit TListItems(TCustomListView* Owner) : FOwner(Owner) {}
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;

  // A new last item.
  TListItem* Add();
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int Index) const;
  int IndexOf(const TListItem* Item) const;
  // Redrawing waits until the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  TCustomListView* Owner() const { return FOwner; }

 private:
  friend class TListItem;
  friend class TCustomListView;
  void InsertRow(int Index);
  void WriteRow(int Index);
  TCustomListView* FOwner;
  std::vector<std::unique_ptr<TListItem>> FItems;
  int FUpdateCount = 0;
};

// What changed of an item (LVN_ITEMCHANGED).
enum TItemChange { ctText, ctImage, ctState };
using TLVChangeEvent = TEvent<void(TPersistent* Sender, TListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = TEvent<void(TPersistent* Sender, TListItem* Item, bool Selected)>;

class TCustomListView : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle V);
  TListColumns* Columns() const { return FColumns; }
  TListItems* Items() { return &FItems; }
  // The first selected item, nullptr for none.
  TListItem* Selected() const;

  TImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TImageList* L);
  TImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TImageList* L);

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V);
  bool ColumnClick() const { return FColumnClick; }
  void SetColumnClick(bool V);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool V);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool V);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle V);

  TLVChangeEvent OnChange;
  TLVSelectItemEvent OnSelectItem;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  LRESULT NotifyMessage(NMHDR& Header) override;

 private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItems;
  // One column (its header), or all of them for nullptr.
  void ColumnsChanged(TListColumn* Column);
  void WriteColumn(TListColumn* Column, bool Insert);
  void AttachImages();
  void SetImages(TImageList*& Field, TImageList* L);
  TViewStyle FViewStyle = vsIcon;
  TListColumns* FColumns;
  TListItems FItems;
  TImageList* FSmallImages = nullptr;
  TImageList* FStateImages = nullptr;
  bool FReadOnly = false;
  bool FColumnClick = true;
  bool FRowSelect = false;
  bool FHideSelection = true;
  TBorderStyle FBorderStyle = bsSingleBorder;
};

class TListView : public TCustomListView {
  QV_CLASS()
 public:
  using TCustomListView::TCustomListView;
};
