#include "controls/cmp_TTreeView.h"

#include <algorithm>
#include <cstring>

#include "controls/routines_CommonControls.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Format.h"

// --- TTreeNode --------------------------------------------------------------

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->FOwner; }

HWND TTreeNode::Window() const {
  TCustomTreeView* T = TreeView();
  return T->HandleAllocated() && FItem ? T->Handle() : nullptr;
}

void TTreeNode::SetText(const std::string& S) {
  FText = S;
  if (HWND W = Window()) {
    TVITEMA Item{};
    Item.mask = TVIF_TEXT;
    Item.hItem = FItem;
    Item.pszText = const_cast<char*>(FText.c_str());
    SendMessageA(W, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
  }
}

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format("Tree node index %d out of bounds (%d children)", Index, Count()));
  return FChildren[static_cast<size_t>(Index)].get();
}

bool TTreeNode::Expanded() const {
  if (HWND W = Window())
    return (SendMessageA(W, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItem), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  return FExpanded;
}

void TTreeNode::SetExpanded(bool V) {
  if (Expanded() == V) return;
  if (HWND W = Window()) {
    // The tree's window procedure calls the hook (a node without children
    // stays as it is).
    SendMessageA(W, TVM_EXPAND, V ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItem));
    return;
  }
  TreeView()->ExpandedChanged(this, V);
}

void TTreeNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (auto& C : FChildren) C->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  SetExpanded(false);
  if (Recurse)
    for (auto& C : FChildren) C->Collapse(true);
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* P = FParent; P; P = P->FParent)
    if (!P->Expanded()) return false;
  return true;
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool V) {
  if (V)
    TreeView()->SetSelected(this);
  else if (Selected())
    TreeView()->SetSelected(nullptr);
}

RECT TTreeNode::DisplayRect(bool TextOnly) const {
  RECT R{};
  HWND W = Window();
  if (!W) return R;
  // The item goes in where the rectangle comes out.
  std::memcpy(&R, &FItem, sizeof FItem);
  if (!SendMessageA(W, TVM_GETITEMRECT, TextOnly, reinterpret_cast<LPARAM>(&R))) R = RECT{};
  return R;
}

int TTreeNode::Index() const {
  const auto& Siblings = FOwner->SiblingsOf(FParent);
  for (size_t i = 0; i < Siblings.size(); ++i)
    if (Siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::AbsoluteIndex() const {
  const auto& All = FOwner->Flat();
  return static_cast<int>(std::find(All.begin(), All.end(), this) - All.begin());
}

int TTreeNode::Level() const {
  int L = 0;
  for (TTreeNode* P = FParent; P; P = P->FParent) ++L;
  return L;
}

// --- TTreeNodes -------------------------------------------------------------

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& Text) {
  return AddObject(Sibling, Text, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& Text, void* Data) {
  if (Sibling && Sibling->FOwner != this) throw EListError("The node belongs to another tree");
  return AddChildObject(Sibling ? Sibling->FParent : nullptr, Text, Data);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& Text) {
  return AddChildObject(Parent, Text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& Text, void* Data) {
  if (Parent && Parent->FOwner != this) throw EListError("The node belongs to another tree");
  auto& Siblings = SiblingsOf(Parent);
  Siblings.push_back(std::unique_ptr<TTreeNode>(new TTreeNode(this, Parent)));
  TTreeNode* N = Siblings.back().get();
  N->FText = Text;
  N->Data = Data;
  Changed();
  InsertItem(N);
  return N;
}

void TTreeNodes::InsertItem(TTreeNode* Node) {
  if (!FOwner->HandleAllocated()) return;
  if (Node->FParent && !Node->FParent->FItem) return;
  TVINSERTSTRUCTA Ins{};
  Ins.hParent = Node->FParent ? Node->FParent->FItem : TVI_ROOT;
  Ins.hInsertAfter = TVI_LAST;
  Ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  Ins.item.pszText = const_cast<char*>(Node->FText.c_str());
  Ins.item.lParam = reinterpret_cast<LPARAM>(Node);
  Node->FItem = reinterpret_cast<HTREEITEM>(
      SendMessageA(FOwner->Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Ins)));
}

void TTreeNodes::InsertItems(const std::vector<std::unique_ptr<TTreeNode>>& Nodes) {
  for (const auto& N : Nodes) {
    InsertItem(N.get());
    InsertItems(N->FChildren);
    if (N->FExpanded && N->FItem)
      SendMessageA(FOwner->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(N->FItem));
  }
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node->FOwner != this) throw EListError("The node belongs to another tree");
  for (TTreeNode* S = FOwner->FSelected; S; S = S->FParent)
    if (S == Node) FOwner->FSelected = nullptr;
  if (FOwner->HandleAllocated() && Node->FItem) {
    // The control selects another row as the old one goes; that is read
    // back afterwards, not heard while the nodes are half gone.
    FOwner->FSilent = true;
    SendMessageA(FOwner->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->FItem));
    FOwner->FSilent = false;
    FOwner->ReadSelection();
  }
  auto& Siblings = SiblingsOf(Node->FParent);
  Siblings.erase(std::find_if(Siblings.begin(), Siblings.end(),
                              [Node](const std::unique_ptr<TTreeNode>& P) { return P.get() == Node; }));
  Changed();
}

void TTreeNodes::Clear() {
  FOwner->FSelected = nullptr;
  if (FOwner->HandleAllocated()) {
    FOwner->FSilent = true;
    SendMessageA(FOwner->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    FOwner->FSilent = false;
  }
  FRoots.clear();
  Changed();
}

const std::vector<TTreeNode*>& TTreeNodes::Flat() const {
  if (!FFlatValid) {
    FFlat.clear();
    std::function<void(const std::vector<std::unique_ptr<TTreeNode>>&)> Walk =
        [&](const std::vector<std::unique_ptr<TTreeNode>>& Nodes) {
          for (const auto& N : Nodes) {
            FFlat.push_back(N.get());
            Walk(N->FChildren);
          }
        };
    Walk(FRoots);
    FFlatValid = true;
  }
  return FFlat;
}

int TTreeNodes::Count() const { return static_cast<int>(Flat().size()); }

TTreeNode* TTreeNodes::Item(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format("Tree node index %d out of bounds (%d nodes)", Index, Count()));
  return Flat()[static_cast<size_t>(Index)];
}

void TTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->HandleAllocated())
    SendMessageA(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0 || !FOwner->HandleAllocated()) return;
  SendMessageA(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(FOwner->Handle(), nullptr, TRUE);
}

// --- TCustomTreeView --------------------------------------------------------

const TClassInfo& TCustomTreeView::StaticClass() {
  using C = TCustomTreeView;
  static const TClassInfo Info =
      TClassBuilder<C>("TCustomTreeView", &TWinControl::StaticClass())
          .Enum("BorderStyle", BorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingleBorder)
          .Bool("HideSelection", &C::HideSelection, &C::SetHideSelection, true)
          .Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
          .Bool("ShowButtons", &C::ShowButtons, &C::SetShowButtons, true)
          .Bool("ShowLines", &C::ShowLines, &C::SetShowLines, true)
          .Bool("ShowRoot", &C::ShowRoot, &C::SetShowRoot, true)
          .Event("OnChange", &C::OnChange)
          .Event("OnCollapsed", &C::OnCollapsed)
          .Event("OnExpanded", &C::OnExpanded)
          .Build();
  return Info;
}

const TClassInfo& TTreeView::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTreeView>("TTreeView", &TCustomTreeView::StaticClass()).Creatable().Build();
  return Info;
}

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(this) {
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FColor = clWindow;
}

TCustomTreeView::~TCustomTreeView() {
  // The window goes before the nodes its items point to.
  DestroyHandle();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  InitCommonControlClasses(ICC_TREEVIEW_CLASSES);
  Params.ClassName = WC_TREEVIEWA;
  if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
  if (FShowLines) Params.Style |= TVS_HASLINES;
  if (FShowRoot) Params.Style |= TVS_LINESATROOT;
  if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
  if (!FHideSelection) Params.Style |= TVS_SHOWSELALWAYS;
  if (FBorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  FSilent = true;
  FItems.InsertItems(FItems.FRoots);
  if (FSelected && FSelected->FItem)
    SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSelected->FItem));
  FSilent = false;
}

void TCustomTreeView::SetReadOnly(bool V) {
  FReadOnly = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, TVS_EDITLABELS, !V);
}

void TCustomTreeView::SetHideSelection(bool V) {
  FHideSelection = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, TVS_SHOWSELALWAYS, !V);
}

void TCustomTreeView::SetShowButtons(bool V) {
  FShowButtons = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, TVS_HASBUTTONS, V);
}

void TCustomTreeView::SetShowLines(bool V) {
  FShowLines = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, TVS_HASLINES, V);
}

void TCustomTreeView::SetShowRoot(bool V) {
  FShowRoot = V;
  SetWindowStyleBits(FHandle, GWL_STYLE, TVS_LINESATROOT, V);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle V) {
  FBorderStyle = V;
  SetWindowStyleBits(FHandle, GWL_EXSTYLE, WS_EX_CLIENTEDGE, V == bsSingleBorder);
}

TTreeNode* TCustomTreeView::NodeOfItem(HTREEITEM H) const {
  if (!H || !FHandle) return nullptr;
  TVITEMA Item{};
  Item.mask = TVIF_PARAM | TVIF_HANDLE;
  Item.hItem = H;
  if (!SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item))) return nullptr;
  return reinterpret_cast<TTreeNode*>(Item.lParam);
}

void TCustomTreeView::ReadSelection() {
  FSelected = NodeOfItem(reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* Node) {
  if (Node && Node->TreeView() != this) throw EListError("The node belongs to another tree");
  if (!FHandle || (Node && !Node->FItem)) {
    FSelected = Node;
    return;
  }
  // The control reports the change (TVN_SELCHANGED), also for this one.
  SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Node ? Node->FItem : nullptr));
  ReadSelection();
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
  if (!FHandle) return nullptr;
  TVHITTESTINFO Hit{};
  Hit.pt = POINT{X, Y};
  SendMessageA(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
  return Hit.flags & TVHT_ONITEM ? NodeOfItem(Hit.hItem) : nullptr;
}

void TCustomTreeView::ExpandedChanged(TTreeNode* Node, bool Expanded) {
  Node->FExpanded = Expanded;
  if (Expanded)
    NodeExpanded(Node);
  else
    NodeCollapsed(Node);
}

void TCustomTreeView::SelectionChanged(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

void TCustomTreeView::NodeExpanded(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

void TCustomTreeView::NodeCollapsed(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

LRESULT TCustomTreeView::NotifyMessage(NMHDR& Header) {
  // The window is ANSI, but a control may report in either character set;
  // the fields read here sit at the same place in both.
  switch (Header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      if (FSilent) return 0;
      auto& N = reinterpret_cast<NMTREEVIEWA&>(Header);
      FSelected = reinterpret_cast<TTreeNode*>(N.itemNew.lParam);
      SelectionChanged(FSelected);
      return 0;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      if (FSilent || FInExpandMessage) return 0;
      auto& N = reinterpret_cast<NMTREEVIEWA&>(Header);
      TTreeNode* Node = NodeOfItem(N.itemNew.hItem);
      if (Node) ExpandedChanged(Node, Node->Expanded());
      return 0;
    }
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW:
      return FReadOnly ? TRUE : FALSE;
    case TVN_ENDLABELEDITA: {
      auto& D = reinterpret_cast<NMTVDISPINFOA&>(Header);
      TTreeNode* Node = NodeOfItem(D.item.hItem);
      if (!Node || !D.item.pszText) return FALSE;
      Node->FText = D.item.pszText;
      return TRUE;
    }
    case NM_CLICK:
      if (OnClick) OnClick(this);
      return 0;
    default:
      return 0;
  }
}

LRESULT TCustomTreeView::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_LBUTTONUP:
      // A click arrives as NM_CLICK; the control keeps the button-up to itself
      // while it watches for a drag, so the generic click would be unreliable.
      return DefaultHandler(Msg, WParam, LParam);
    case TVM_EXPAND: {
      // The control reports expansions asked for by message not at all or
      // only the first time; the hook hears each change once, here.
      TTreeNode* Node = FSilent ? nullptr : NodeOfItem(reinterpret_cast<HTREEITEM>(LParam));
      const bool Before = Node && Node->Expanded();
      const bool Outer = !FInExpandMessage;
      FInExpandMessage = true;
      const LRESULT R = TWinControl::WndProc(Msg, WParam, LParam);
      if (Outer) FInExpandMessage = false;
      if (Node && Node->Expanded() != Before) ExpandedChanged(Node, !Before);
      return R;
    }
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: {
      // The wheel may scroll through WM_VSCROLL of its own: the hook is
      // called once, for the outermost message, when the rows moved.
      const LRESULT Before = SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
      ++FScrollDepth;
      const LRESULT R = TWinControl::WndProc(Msg, WParam, LParam);
      --FScrollDepth;
      if (FScrollDepth == 0 && FHandle &&
          SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0) != Before)
        Scrolled();
      return R;
    }
    default:
      return TWinControl::WndProc(Msg, WParam, LParam);
  }
}
