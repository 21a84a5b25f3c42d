#include "controls/cmp_TListBox.h"

#include <algorithm>

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TCustomListBox::StaticClass() {
  using C = TCustomListBox;
  static const TClassInfo Info =
      TClassBuilder<C>("TCustomListBox", &TWinControl::StaticClass())
          .Enum("BorderStyle", BorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingleBorder)
          .Int("Color", &C::Color, &C::SetColor, clWindow)
          .Int("ItemHeight", &C::ItemHeight, &C::SetItemHeight, 0)
          .Object("Items", &C::Items)
          .Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1)
          .Bool("Sorted", &C::Sorted, &C::SetSorted, false)
          .Bool("TabStop", &C::TabStop, &C::SetTabStop, true)
          .Event("OnDblClick", &C::OnDblClick)
          .Build();
  return Info;
}

const TClassInfo& TListBox::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TListBox>("TListBox", &TCustomListBox::StaticClass()).Creatable().Build();
  return Info;
}

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 121;
  FHeight = 97;
  FColor = clWindow;
  FTabStop = true;
  FClickOnMouseUp = false;
  FItems.OnChange = [this](TPersistent*) { ItemsChanged(); };
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ClassName = "LISTBOX";
  Params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (FSorted) Params.Style |= LBS_SORT;
  if (FBorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (FItemHeight > 0) SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
  ShowItems();
}

TStrings* TCustomListBox::Items() const {
  // Strings added to the window behind the list's back are taken in.
  if (FHandle && !FSyncing) {
    const int N = static_cast<int>(SendMessageA(FHandle, LB_GETCOUNT, 0, 0));
    if (N >= 0 && N != FItems.Count()) {
      FSyncing = true;
      FItems.Clear();
      for (int i = 0; i < N; ++i) {
        std::string S(static_cast<size_t>(std::max<LRESULT>(0, SendMessageA(FHandle, LB_GETTEXTLEN, i, 0))), '\0');
        S.resize(static_cast<size_t>(std::max<LRESULT>(0, SendMessageA(FHandle, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&S[0])))));
        FItems.Add(S);
      }
      FSyncing = false;
    }
  }
  return &FItems;
}

void TCustomListBox::ItemsChanged() {
  if (FSyncing) return;
  if (FHandle)
    ShowItems();
  else if (FSorted && !IsLoading())
    SortItems();
}

// A list without a window sorts the way the window would.
void TCustomListBox::SortItems() {
  std::vector<std::pair<std::string, void*>> V;
  for (int i = 0; i < FItems.Count(); ++i) V.emplace_back(FItems[i], FItems.Objects(i));
  std::stable_sort(V.begin(), V.end(),
                   [](const auto& A, const auto& B) { return lstrcmpiA(A.first.c_str(), B.first.c_str()) < 0; });
  FSyncing = true;
  FItems.Clear();
  for (const auto& P : V) FItems.Add(P.first, P.second);
  FSyncing = false;
}

void TCustomListBox::ShowItems() {
  const int Selected = FItemIndex;
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  SendMessageA(FHandle, LB_RESETCONTENT, 0, 0);
  // Each window item remembers its place in the list, so that a sorting
  // window's order can be copied back.
  for (int i = 0; i < FItems.Count(); ++i) {
    const LRESULT At = SendMessageA(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FItems[i].c_str()));
    if (At < 0) throw EComponentError(GetNamePath() + ": the list box cannot take more items");
    SendMessageA(FHandle, LB_SETITEMDATA, static_cast<WPARAM>(At), i);
  }
  if (FSorted) {
    TStrings Ordered;
    for (int i = 0; i < FItems.Count(); ++i) {
      const int From = static_cast<int>(SendMessageA(FHandle, LB_GETITEMDATA, i, 0));
      Ordered.Add(FItems[From], FItems.Objects(From));
    }
    FSyncing = true;
    FItems.Assign(Ordered);
    FSyncing = false;
  }
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FHandle, nullptr, TRUE);
  SetItemIndex(std::min(Selected, FItems.Count() - 1));
}

void TCustomListBox::SetSorted(bool V) {
  if (V == FSorted) return;
  FSorted = V;
  if (FHandle)
    RecreateList();
  else if (V && !IsLoading())
    SortItems();
}

int32_t TCustomListBox::ItemHeight() const {
  if (FHandle) return static_cast<int32_t>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int32_t V) {
  if (V < 0 || V > 255) throw EComponentError(GetNamePath() + ": ItemHeight must be 0 to 255");
  FItemHeight = V;
  if (FHandle && V > 0) {
    SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, V);
    InvalidateRect(FHandle, nullptr, TRUE);
  }
}

int32_t TCustomListBox::ItemIndex() const {
  if (FHandle) return static_cast<int32_t>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
  return FItemIndex;
}

void TCustomListBox::SetItemIndex(int32_t V) {
  if (V < -1) V = -1;
  if (!IsLoading() && V >= FItems.Count())
    throw EComponentError(GetNamePath() + ": ItemIndex " + std::to_string(V) + " is out of range");
  FItemIndex = V;
  if (FHandle) SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(V), 0);
}

void TCustomListBox::SetBorderStyle(TBorderStyle V) {
  if (V == FBorderStyle) return;
  FBorderStyle = V;
  RecreateList();
}

void TCustomListBox::RecreateList() {
  if (!FHandle) return;
  FItemIndex = ItemIndex();
  RecreateWnd();
}

void TCustomListBox::CommandNotify(WORD NotifyCode) {
  if (NotifyCode == LBN_SELCHANGE) {
    FItemIndex = ItemIndex();
    if (OnClick) OnClick(this);
  } else if (NotifyCode == LBN_DBLCLK && OnDblClick) {
    OnDblClick(this);
  }
}
