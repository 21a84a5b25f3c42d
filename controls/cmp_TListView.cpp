#include "controls/cmp_TListView.h"

#include "controls/routines_CommonControls.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Format.h"

const TEnumInfo ViewStyleInfo{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};

namespace {
constexpr DWORD ViewStyleBits[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
// The state image list's pictures count from 1 in the item state; 0 is none.
UINT StateImageBits(int32_t StateIndex) { return INDEXTOSTATEIMAGEMASK(static_cast<UINT>(StateIndex + 1)); }
}  // namespace

// --- TListColumn ------------------------------------------------------------

const TClassInfo& TListColumn::StaticClass() {
  using C = TListColumn;
  static const TClassInfo Info =
      TClassBuilder<C>("TListColumn", &TCollectionItem::StaticClass())
          .Enum("Alignment", AlignmentInfo, &C::Alignment, &C::SetAlignment, taLeftJustify)
          .Str("Caption", &C::Caption, &C::SetCaption, "")
          .Int("Width", &C::Width, &C::SetWidth, 50)
          .Build();
  return Info;
}

namespace {
TCustomListView* ListViewOf(const TCollectionItem& Item) {
  return Item.Collection() ? dynamic_cast<TCustomListView*>(Item.Collection()->Owner()) : nullptr;
}
}  // namespace

void TListColumn::SetCaption(const std::string& S) {
  FCaption = S;
  FWidth = Width();  // as the user left it
  if (TCustomListView* L = ListViewOf(*this)) L->WriteColumn(this, false);
}

int32_t TListColumn::Width() const {
  TCustomListView* L = ListViewOf(*this);
  if (L && L->HandleAllocated())
    return static_cast<int32_t>(SendMessageA(L->Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
  return FWidth;
}

void TListColumn::SetWidth(int32_t W) {
  FWidth = W;
  if (TCustomListView* L = ListViewOf(*this)) L->WriteColumn(this, false);
}

void TListColumn::SetAlignment(TAlignment A) {
  FAlignment = A;
  FWidth = Width();
  if (TCustomListView* L = ListViewOf(*this)) L->WriteColumn(this, false);
}

TListColumns::TListColumns(TCustomListView* Owner) : TOwnedCollection<TListColumn>(Owner), FListView(Owner) {}

void TListColumns::Update(TCollectionItem* Item) {
  FListView->ColumnsChanged(static_cast<TListColumn*>(Item));
}

// --- TListItem --------------------------------------------------------------

TListItem::TListItem(TListItems* Owner) : FOwner(Owner), FSubItems(new TStrings) {
  FSubItems->OnChange = [this](TPersistent*) { SubItemsChanged(); };
}

TListItem::~TListItem() { delete FSubItems; }

HWND TListItem::Window() const { return FOwner->FOwner->HandleAllocated() ? FOwner->FOwner->Handle() : nullptr; }

int TListItem::Index() const { return FOwner->IndexOf(this); }

void TListItem::SetCaption(const std::string& S) {
  FCaption = S;
  if (Window()) FOwner->WriteRow(Index());
}

void TListItem::SetImageIndex(int32_t I) {
  FImageIndex = I;
  if (Window()) FOwner->WriteRow(Index());
}

void TListItem::SetStateIndex(int32_t I) {
  FStateIndex = I;
  if (Window()) FOwner->WriteRow(Index());
}

void TListItem::SubItemsChanged() {
  if (Window()) FOwner->WriteRow(Index());
}

bool TListItem::Selected() const {
  HWND W = Window();
  return W && SendMessageA(W, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool V) {
  HWND W = Window();
  if (!W) return;
  LVITEMA It{};
  It.stateMask = LVIS_SELECTED;
  It.state = V ? LVIS_SELECTED : 0;
  SendMessageA(W, LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&It));
}

// --- TListItems -------------------------------------------------------------

TListItem* TListItems::Add() {
  FItems.push_back(std::unique_ptr<TListItem>(new TListItem(this)));
  if (FOwner->HandleAllocated()) InsertRow(Count() - 1);
  return FItems.back().get();
}

void TListItems::Delete(int Index) {
  Item(Index);
  if (FOwner->HandleAllocated()) SendMessageA(FOwner->Handle(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
  FItems.erase(FItems.begin() + Index);
}

void TListItems::Clear() {
  if (FOwner->HandleAllocated()) SendMessageA(FOwner->Handle(), LVM_DELETEALLITEMS, 0, 0);
  FItems.clear();
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format("List item index %d out of bounds (%d items)", Index, Count()));
  return FItems[static_cast<size_t>(Index)].get();
}

int TListItems::IndexOf(const TListItem* Item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == Item) return static_cast<int>(i);
  return -1;
}

void TListItems::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) SendMessageA(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0 || !FOwner->HandleAllocated()) return;
  SendMessageA(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FOwner->Handle(), nullptr, TRUE);
}

void TListItems::InsertRow(int Index) {
  TListItem* I = Item(Index);
  LVITEMA It{};
  It.mask = LVIF_TEXT | LVIF_PARAM;
  It.iItem = Index;
  It.pszText = const_cast<char*>(I->FCaption.c_str());
  It.lParam = reinterpret_cast<LPARAM>(I);
  SendMessageA(FOwner->Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&It));
  WriteRow(Index);
}

void TListItems::WriteRow(int Index) {
  TListItem* I = Item(Index);
  HWND W = FOwner->Handle();
  LVITEMA It{};
  It.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  It.iItem = Index;
  It.pszText = const_cast<char*>(I->FCaption.c_str());
  It.iImage = I->FImageIndex;
  It.state = StateImageBits(I->FStateIndex);
  It.stateMask = LVIS_STATEIMAGEMASK;
  SendMessageA(W, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&It));
  // Columns beyond the sub-items are emptied: the list may have shrunk.
  const int Columns = std::max(I->FSubItems->Count(), FOwner->FColumns->Count() - 1);
  for (int S = 0; S < Columns; ++S) {
    LVITEMA Sub{};
    Sub.iSubItem = S + 1;
    const std::string Text = S < I->FSubItems->Count() ? I->FSubItems->Strings(S) : std::string();
    Sub.pszText = const_cast<char*>(Text.c_str());
    SendMessageA(W, LVM_SETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Sub));
  }
}

// --- TCustomListView --------------------------------------------------------

const TClassInfo& TCustomListView::StaticClass() {
  using C = TCustomListView;
  static const TClassInfo Info =
      TClassBuilder<C>("TCustomListView", &TWinControl::StaticClass())
          .Enum("BorderStyle", BorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingleBorder)
          .Bool("ColumnClick", &C::ColumnClick, &C::SetColumnClick, true)
          .Object("Columns", &C::Columns)
          .Bool("HideSelection", &C::HideSelection, &C::SetHideSelection, true)
          .Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
          .Bool("RowSelect", &C::RowSelect, &C::SetRowSelect, false)
          .Ref("SmallImages", TImageList::StaticClass(), &C::SmallImages, &C::SetSmallImages)
          .Ref("StateImages", TImageList::StaticClass(), &C::StateImages, &C::SetStateImages)
          .Enum("ViewStyle", ViewStyleInfo, &C::ViewStyle, &C::SetViewStyle, vsIcon)
          .Event("OnChange", &C::OnChange)
          .Event("OnSelectItem", &C::OnSelectItem)
          .Build();
  return Info;
}

const TClassInfo& TListView::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TListView>("TListView", &TCustomListView::StaticClass()).Creatable().Build();
  return Info;
}

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(new TListColumns(this)), FItems(this) {
  FWidth = 250;
  FHeight = 150;
  FTabStop = true;
  FColor = clWindow;
}

TCustomListView::~TCustomListView() {
  DestroyHandle();
  SetSmallImages(nullptr);
  SetStateImages(nullptr);
  delete FColumns;
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
  Params.ClassName = WC_LISTVIEWA;
  // The image lists belong to their components, not to the control.
  Params.Style |= ViewStyleBits[FViewStyle] | LVS_SHAREIMAGELISTS;
  if (!FReadOnly) Params.Style |= LVS_EDITLABELS;
  if (!FColumnClick) Params.Style |= LVS_NOSORTHEADER;
  if (!FHideSelection) Params.Style |= LVS_SHOWSELALWAYS;
  if (FBorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, FRowSelect ? LVS_EX_FULLROWSELECT : 0);
  AttachImages();
  ColumnsChanged(nullptr);
  for (int i = 0; i < FItems.Count(); ++i) FItems.InsertRow(i);
}

void TCustomListView::SetViewStyle(TViewStyle V) {
  if (V < vsIcon || V > vsReport) throw EListError(Format("Invalid view style %d", static_cast<int>(V)));
  FViewStyle = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, LVS_TYPEMASK, false);
  SetWindowStyleBits(FHandle, GWL_STYLE, ViewStyleBits[V], true);
}

void TCustomListView::SetReadOnly(bool V) {
  FReadOnly = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, LVS_EDITLABELS, !V);
}

void TCustomListView::SetColumnClick(bool V) {
  FColumnClick = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, LVS_NOSORTHEADER, !V);
}

void TCustomListView::SetHideSelection(bool V) {
  FHideSelection = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, LVS_SHOWSELALWAYS, !V);
}

void TCustomListView::SetBorderStyle(TBorderStyle V) {
  FBorderStyle = V;
  SetWindowStyleBits(FHandle, GWL_EXSTYLE, WS_EX_CLIENTEDGE, V == bsSingleBorder);
}

void TCustomListView::SetRowSelect(bool V) {
  FRowSelect = V;
  if (FHandle) SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, V ? LVS_EX_FULLROWSELECT : 0);
}

void TCustomListView::SetImages(TImageList*& Field, TImageList* L) {
  if (Field == L) return;
  if (Field) Field->RemoveFreeNotification(this);
  Field = L;
  if (L) L->FreeNotification(this);
  AttachImages();
}

void TCustomListView::SetSmallImages(TImageList* L) { SetImages(FSmallImages, L); }
void TCustomListView::SetStateImages(TImageList* L) { SetImages(FStateImages, L); }

void TCustomListView::AttachImages() {
  if (!FHandle) return;
  SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(FSmallImages ? FSmallImages->Handle() : nullptr));
  SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_STATE,
               reinterpret_cast<LPARAM>(FStateImages ? FStateImages->Handle() : nullptr));
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == FSmallImages) FSmallImages = nullptr;
  if (AComponent == FStateImages) FStateImages = nullptr;
  AttachImages();
}

TListItem* TCustomListView::Selected() const {
  if (!FHandle) return nullptr;
  const int I = static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return I >= 0 && I < FItems.Count() ? FItems.Item(I) : nullptr;
}

void TCustomListView::WriteColumn(TListColumn* Column, bool Insert) {
  if (!FHandle) return;
  LVCOLUMNA C{};
  C.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  C.fmt = Column->Alignment() == taRightJustify ? LVCFMT_RIGHT
          : Column->Alignment() == taCenter     ? LVCFMT_CENTER
                                                : LVCFMT_LEFT;
  C.cx = Column->FWidth;
  C.pszText = const_cast<char*>(Column->FCaption.c_str());
  SendMessageA(FHandle, Insert ? LVM_INSERTCOLUMNA : LVM_SETCOLUMNA, static_cast<WPARAM>(Column->Index()),
               reinterpret_cast<LPARAM>(&C));
}

void TCustomListView::ColumnsChanged(TListColumn* Column) {
  if (!FHandle) return;
  if (Column) {
    WriteColumn(Column, false);
    return;
  }
  while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int i = 0; i < FColumns->Count(); ++i) WriteColumn(FColumns->Items(i), true);
}

LRESULT TCustomListView::NotifyMessage(NMHDR& Header) {
  switch (Header.code) {
    case LVN_ITEMCHANGED: {
      auto& N = reinterpret_cast<NMLISTVIEW&>(Header);
      if (N.iItem < 0 || N.iItem >= FItems.Count()) return 0;
      TListItem* Item = FItems.Item(N.iItem);
      if (OnChange) {
        if (N.uChanged & LVIF_TEXT) OnChange(this, Item, ctText);
        if (N.uChanged & LVIF_IMAGE) OnChange(this, Item, ctImage);
        if (N.uChanged & LVIF_STATE) OnChange(this, Item, ctState);
      }
      if ((N.uChanged & LVIF_STATE) && ((N.uNewState ^ N.uOldState) & LVIS_SELECTED) && OnSelectItem)
        OnSelectItem(this, Item, (N.uNewState & LVIS_SELECTED) != 0);
      return 0;
    }
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
      return FReadOnly ? TRUE : FALSE;
    case LVN_ENDLABELEDITA: {
      auto& D = reinterpret_cast<NMLVDISPINFOA&>(Header);
      if (!D.item.pszText || D.item.iItem < 0 || D.item.iItem >= FItems.Count()) return FALSE;
      FItems.Item(D.item.iItem)->FCaption = D.item.pszText;
      return TRUE;
    }
    case NM_CLICK:
      if (OnClick) OnClick(this);
      return 0;
    default:
      return 0;
  }
}

LRESULT TCustomListView::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // A click arrives as NM_CLICK (the control keeps the button-up to itself
  // while it watches for a drag).
  if (Msg == WM_LBUTTONUP) return DefaultHandler(Msg, WParam, LParam);
  return TWinControl::WndProc(Msg, WParam, LParam);
}
