// A tree of text nodes over the system's "SysTreeView32".  The nodes live
// here (text, data, children, expanded state); the window holds one item per
// node, made when the window is, whose lParam is the node.
//
// Subclasses (the file group page puts check boxes beside the rows) hear
// every change of what shows through the virtual hooks: the selection, a
// node expanded or collapsed (by the user or in code), and vertical
// scrolling.  Keys arrive through the inherited OnKeyDown/OnKeyUp.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <memory>
#include <vector>

#include "controls/cmp_TStdCtrls.h"

class TCustomTreeView;
class TTreeNodes;

class TTreeNode {
 public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& S);
  void* Data = nullptr;

  TTreeNode* Parent() const { return FParent; }
  // The children.
  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int Index) const;
  bool HasChildren() const { return !FChildren.empty(); }

  bool Expanded() const;
  // Expands or collapses; the tree's hooks and events hear it.
  void SetExpanded(bool V);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  // Every parent is expanded.
  bool IsVisible() const;
  bool Selected() const;
  void SetSelected(bool V);
  // The row of the node (or its text only) in client coordinates; empty
  // while the node is scrolled out of sight, collapsed away or there is
  // no window.
  RECT DisplayRect(bool TextOnly) const;

  // Among its siblings.
  int Index() const;
  // In the depth-first order of the whole tree.
  int AbsoluteIndex() const;
  // 0 for a node at the top.
  int Level() const;
  HTREEITEM Handle() const { return FItem; }
  TCustomTreeView* TreeView() const;

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : FOwner(Owner), FParent(Parent) {}
  HWND Window() const;
  TTreeNodes* FOwner;
  TTreeNode* FParent;
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
  std::string FText;
  bool FExpanded = false;
  HTREEITEM FItem = nullptr;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TCustomTreeView* Owner) : FOwner(Owner) {}
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;
  ~TTreeNodes();

  // A last sibling of Sibling (a node at the top for nullptr).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& Text);
  TTreeNode* AddObject(TTreeNode* Sibling, const std::string& Text, void* Data);
  // A last child of Parent (a node at the top for nullptr).
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& Text);
  TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& Text, void* Data);
  void Delete(TTreeNode* Node);
  void Clear();
  // All nodes; Item numbers them depth first.
  int Count() const;
  TTreeNode* Item(int Index) const;
  TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }
  // Redrawing waits until the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  TCustomTreeView* Owner() const { return FOwner; }

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  std::vector<std::unique_ptr<TTreeNode>>& SiblingsOf(TTreeNode* Parent) {
    return Parent ? Parent->FChildren : FRoots;
  }
  const std::vector<TTreeNode*>& Flat() const;
  void Changed() { FFlatValid = false; }
  void InsertItem(TTreeNode* Node);
  void InsertItems(const std::vector<std::unique_ptr<TTreeNode>>& Nodes);
  TCustomTreeView* FOwner;
  std::vector<std::unique_ptr<TTreeNode>> FRoots;
  mutable std::vector<TTreeNode*> FFlat;
  mutable bool FFlatValid = false;
  int FUpdateCount = 0;
};

using TTVChangedEvent = TEvent<void(TPersistent* Sender, TTreeNode* Node)>;
using TTVExpandedEvent = TEvent<void(TPersistent* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return &FItems; }
  TTreeNode* Selected() const { return FSelected; }
  void SetSelected(TTreeNode* Node);
  // The node whose row holds the client point, nullptr for none.
  TTreeNode* GetNodeAt(int X, int Y) const;

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool V);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool V);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool V);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool V);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle V);

  TTVChangedEvent OnChange;
  TTVExpandedEvent OnExpanded;
  TTVExpandedEvent OnCollapsed;

  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  LRESULT NotifyMessage(NMHDR& Header) override;
  // The hooks; by default they fire the events.
  virtual void SelectionChanged(TTreeNode* Node);
  virtual void NodeExpanded(TTreeNode* Node);
  virtual void NodeCollapsed(TTreeNode* Node);
  // The rows moved up or down (after the control scrolled).
  virtual void Scrolled() {}

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void ExpandedChanged(TTreeNode* Node, bool Expanded);
  TTreeNode* NodeOfItem(HTREEITEM H) const;
  void ReadSelection();
  TTreeNodes FItems;
  TTreeNode* FSelected = nullptr;
  bool FReadOnly = false;
  bool FHideSelection = true;
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  TBorderStyle FBorderStyle = bsSingleBorder;
  bool FInExpandMessage = false;  // within TVM_EXPAND: its own reports are not news
  // Items are being inserted or deleted: the control's reports about them
  // are not news.
  bool FSilent = false;
  int FScrollDepth = 0;
};

class TTreeView : public TCustomTreeView {
  QV_CLASS()
 public:
  using TCustomTreeView::TCustomTreeView;
};
