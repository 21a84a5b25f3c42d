// The common controls and the grid on a form read from text and shown under
// Wine, read back through their windows: control messages, styles, pixels.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <gtest/gtest.h>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TImageList.h"
#include "controls/cmp_TListView.h"
#include "controls/cmp_TStringGrid.h"
#include "controls/cmp_TTabControl.h"
#include "controls/cmp_TTreeView.h"
#include "controls/routines_ControlClasses.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"

namespace {

// A tree as the file group page derives one: it counts what its hooks hear.
class THookedTree : public TTreeView {
  QV_CLASS()
 public:
  using TTreeView::TTreeView;
  int Expansions = 0, Collapses = 0, Scrolls = 0;

 protected:
  void NodeExpanded(TTreeNode* N) override { ++Expansions, TTreeView::NodeExpanded(N); }
  void NodeCollapsed(TTreeNode* N) override { ++Collapses, TTreeView::NodeCollapsed(N); }
  void Scrolled() override { ++Scrolls; }
};

const TClassInfo& THookedTree::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<THookedTree>("THookedTree", &TTreeView::StaticClass()).Creatable().Build();
  return Info;
}

class TTestForm : public TForm {
  QV_CLASS()
 public:
  using TForm::TForm;
  std::vector<std::string> Heard;
  bool VetoTab = false, VetoRow2 = false;
  void TabChanging(TPersistent*, bool& Allow) { Heard.push_back("changing"), Allow = !VetoTab; }
  void TabChange(TPersistent*) { Heard.push_back("change"); }
  void GridDrawCell(TPersistent* Sender, int C, int R, const RECT& Rect, TGridDrawState) {
    auto* G = static_cast<TStringGrid*>(Sender);
    static_cast<TImageList*>(FindComponent("Pictures"))->Draw(G->Canvas(), Rect.left + 4, Rect.top + 4, (C + R) % 2);
  }
  void GridSelectCell(TPersistent*, int C, int R, bool& Can) {
    Heard.push_back("select " + std::to_string(C) + "," + std::to_string(R)), Can = !(VetoRow2 && R == 2);
  }
  void GridClick(TPersistent*) { Heard.push_back("click"); }
  void KeyPress(TPersistent*, char& K) { Heard.push_back(std::string("press ") + K); }
  void KeyDown(TPersistent*, WORD& K, TShiftState) { Heard.push_back("down " + std::to_string(K)); }
  void TreeChange(TPersistent*, TTreeNode* N) { Heard.push_back("node " + (N ? N->Text() : "-")); }
};

const TClassInfo& TTestForm::StaticClass() {
  using C = TTestForm;
  static const TClassInfo Info =
      TClassBuilder<C>("TTestForm", &TForm::StaticClass())
          .Method<void(TPersistent*, bool&)>("TabChanging", &C::TabChanging)
          .Method<void(TPersistent*)>("TabChange", &C::TabChange)
          .Method<void(TPersistent*, int, int, const RECT&, TGridDrawState)>("GridDrawCell", &C::GridDrawCell)
          .Method<void(TPersistent*, int, int, bool&)>("GridSelectCell", &C::GridSelectCell)
          .Method<void(TPersistent*)>("GridClick", &C::GridClick)
          .Method<void(TPersistent*, char&)>("KeyPress", &C::KeyPress)
          .Method<void(TPersistent*, WORD&, TShiftState)>("KeyDown", &C::KeyDown)
          .Method<void(TPersistent*, TTreeNode*)>("TreeChange", &C::TreeChange)
          .Build();
  return Info;
}

struct CommonControlsEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterComponentClass(THookedTree::StaticClass());
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new CommonControlsEnv);

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Fuchsia = RGB(255, 0, 255);

// Two 16 x 16 pictures side by side on fuchsia, the colour that masks them:
// a red square and a blue one.  As a picture property's value in a text form.
std::string StripData() {
  TBitmap B;
  B.SetSize(32, 16);
  TCanvas& C = B.Canvas();
  for (auto [R, Colour] : {std::pair{RECT{0, 0, 32, 16}, Fuchsia}, {RECT{4, 4, 12, 12}, Red}, {RECT{20, 4, 28, 12}, Blue}}) {
    C.Brush.Color = static_cast<TColor>(Colour);
    C.FillRect(R);
  }
  const std::string Bmp = B.SaveToBmp();
  const uint32_t N = static_cast<uint32_t>(Bmp.size());
  const std::string Data = std::string("\x07TBitmap") + std::string(reinterpret_cast<const char*>(&N), 4) + Bmp;
  std::string Hex;
  for (unsigned char Ch : Data) Hex += "0123456789ABCDEF"[Ch >> 4], Hex += "0123456789ABCDEF"[Ch & 15];
  return "{" + Hex + "}";
}

std::string FormText() {
  return R"(object Form1: TTestForm
  ClientWidth = 640
  ClientHeight = 420
  object Pictures: TImageList
    Strip.Data = )" + StripData() + R"(
  end
  object Tabs: TTabControl
    Left = 8
    Top = 8
    Width = 300
    Height = 120
    Tabs.Strings = ('One' 'Two' 'Three')
    TabIndex = 1
    OnChange = TabChange
    OnChanging = TabChanging
    object Page: TPanel
      Align = alClient
    end
  end
  object PageIndex: TTabControl
    Height = 0
    Visible = False
    Tabs.Strings = ('a' 'b' 'c' 'd')
    TabIndex = 3
  end
  object Grid: TStringGrid
    Left = 320
    Top = 8
    Width = 310
    Height = 104
    ColCount = 2
    RowCount = 3
    FixedCols = 0
    FixedRows = 0
    DefaultColWidth = 140
    DefaultRowHeight = 48
    Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine]
    ScrollBars = ssVertical
    OnClick = GridClick
    OnDrawCell = GridDrawCell
    OnKeyPress = KeyPress
    OnSelectCell = GridSelectCell
  end
  object Tree: THookedTree
    Left = 8
    Top = 136
    Width = 300
    Height = 120
    HideSelection = False
    ReadOnly = True
    OnChange = TreeChange
    OnKeyDown = KeyDown
  end
  object Files: TListView
    Left = 320
    Top = 136
    Width = 310
    Height = 270
    ColumnClick = False
    Columns = <
      item
        Caption = 'Drive'
        Width = 60
      end
      item
        Caption = 'Needed'
        Width = 100
        Alignment = taRightJustify
      end
      item
        Caption = 'Free'
        Width = 110
      end>
    StateImages = Pictures
    ViewStyle = vsReport
  end
end
)";
}

class CommonControls : public ::testing::Test {
 protected:
  void SetUp() override {
    F = new TTestForm(&App);
    TMemoryStream S(ObjectTextToBinary(FormText()));
    ReadRootComponent(S, F);
    F->Show();
    UpdateWindow(F->Handle());
  }
  template <class T>
  T* Control(const char* Name) {
    auto* C = dynamic_cast<T*>(F->FindComponent(Name));
    EXPECT_TRUE(C) << Name;
    return C;
  }
  static LONG_PTR Style(TWinControl* C) { return GetWindowLongPtrA(C->Handle(), GWL_STYLE); }
  TApplication App{nullptr};
  TTestForm* F = nullptr;
};

TEST_F(CommonControls, TabControlTabsUserChangesAndAHiddenPageIndex) {
  auto* T = Control<TTabControl>("Tabs");
  HWND H = T->Handle();
  EXPECT_EQ(SendMessageA(H, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(H, TCM_GETCURSEL, 0, 0), 1);
  auto ClickTab = [&](int I) {
    RECT R;
    SendMessageA(H, TCM_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
    SendMessageA(H, WM_LBUTTONDOWN, MK_LBUTTON, At);
    SendMessageA(H, WM_LBUTTONUP, 0, At);
  };
  ClickTab(2);
  EXPECT_EQ(SendMessageA(H, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(F->Heard, (std::vector<std::string>{"changing", "change"}));
  F->Heard.clear();
  F->VetoTab = true;
  ClickTab(0);
  EXPECT_EQ(SendMessageA(H, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(F->Heard, std::vector<std::string>{"changing"});
  F->Heard.clear();
  T->SetTabIndex(0);  // in code: no events
  EXPECT_EQ(SendMessageA(H, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(F->Heard.empty());
  EXPECT_THROW(T->SetTabIndex(3), EListError);
  // The aligned child fills the display area, below the tabs.
  RECT Tab, Page;
  SendMessageA(H, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&Tab));
  GetWindowRect(Control<TPanel>("Page")->Handle(), &Page);
  MapWindowPoints(nullptr, H, reinterpret_cast<POINT*>(&Page), 2);
  EXPECT_GE(Page.top, Tab.bottom);
  EXPECT_GT(Page.bottom - Page.top, 50);

  auto* Hidden = Control<TTabControl>("PageIndex");
  EXPECT_FALSE(IsWindowVisible(Hidden->Handle()));
  EXPECT_EQ(SendMessageA(Hidden->Handle(), TCM_GETCURSEL, 0, 0), 3);
  Hidden->SetTabIndex(2);
  EXPECT_EQ(SendMessageA(Hidden->Handle(), TCM_GETCURSEL, 0, 0), 2);
}

TEST_F(CommonControls, GridDrawsItsCellsAndMovesWithClicksKeysAndTheDriverMessage) {
  auto* G = Control<TStringGrid>("Grid");
  HWND H = G->Handle();
  UpdateWindow(H);
  HDC DC = GetDC(H);
  // Cell (c, r) shows picture (c + r) % 2 at 4, 4; its corner is masked out.
  auto At = [&](int C, int R, int DX, int DY) { return GetPixel(DC, C * 141 + 4 + DX, R * 49 + 4 + DY); };
  EXPECT_EQ(At(0, 0, 8, 8), Red);
  EXPECT_EQ(At(1, 0, 8, 8), Blue);
  EXPECT_EQ(At(0, 1, 8, 8), Blue);
  EXPECT_EQ(At(1, 0, 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(DC, 140, 20), RGB(192, 192, 192));  // the line between the columns
  ReleaseDC(H, DC);

  static const UINT Selection = RegisterWindowMessageA(GridSelectionMessage);
  static const UINT Select = RegisterWindowMessageA(GridSelectMessage);
  SendMessageA(H, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 60));
  SendMessageA(H, WM_LBUTTONUP, 0, MAKELPARAM(150, 60));
  EXPECT_EQ(SendMessageA(H, Selection, 0, 0), MAKELRESULT(1, 1));
  EXPECT_EQ(F->Heard, (std::vector<std::string>{"select 1,1", "click"}));
  F->Heard.clear();
  // Down to the third row, which scrolls into sight.
  SendMessageA(H, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(H, WM_CHAR, 'x', 0);
  EXPECT_EQ(SendMessageA(H, Selection, 0, 0), MAKELRESULT(1, 2));
  EXPECT_EQ(GetScrollPos(H, SB_VERT), 1);
  EXPECT_EQ(F->Heard, (std::vector<std::string>{"select 1,2", "click", "press x"}));
  // The driver's selection is a click's; a refused cell stays unselected.
  EXPECT_EQ(SendMessageA(H, Select, MAKEWPARAM(0, 0), 0), 1);
  EXPECT_EQ(SendMessageA(H, Selection, 0, 0), MAKELRESULT(0, 0));
  EXPECT_EQ(GetScrollPos(H, SB_VERT), 0);
  F->VetoRow2 = true;
  EXPECT_EQ(SendMessageA(H, Select, MAKEWPARAM(0, 2), 0), 0);
  EXPECT_EQ(SendMessageA(H, Select, MAKEWPARAM(5, 0), 0), 0);
  EXPECT_EQ(SendMessageA(H, Selection, 0, 0), MAKELRESULT(0, 0));
  // Resizing keeps the cells; a cell outside is an error.
  G->SetCells(1, 2, "kept");
  G->SetRowCount(5);
  G->SetColCount(3);
  EXPECT_EQ(G->Cells(1, 2), "kept");
  EXPECT_THROW(G->Cells(3, 0), EInvalidGridOperation);
}

TEST_F(CommonControls, TreeViewNodesExpandScrollAndKeysReachTheHooks) {
  auto* T = Control<THookedTree>("Tree");
  HWND H = T->Handle();
  EXPECT_TRUE(Style(T) & TVS_SHOWSELALWAYS);
  EXPECT_FALSE(Style(T) & TVS_EDITLABELS);
  TTreeNodes* Items = T->Items();
  Items->BeginUpdate();
  for (int i = 0; i < 20; ++i) {
    TTreeNode* N = Items->Add(nullptr, "Group " + std::to_string(i));
    Items->AddChild(N, "File a");
    Items->AddChildObject(N, "File b", N);
  }
  Items->EndUpdate();
  EXPECT_EQ(SendMessageA(H, TVM_GETCOUNT, 0, 0), 60);
  TTreeNode* First = Items->GetFirstNode();
  EXPECT_EQ(Items->Item(4)->Text(), "File a");
  EXPECT_EQ(Items->Item(5)->Data, Items->Item(3));
  EXPECT_EQ(Items->Item(5)->AbsoluteIndex(), 5);
  EXPECT_EQ(Items->Item(5)->Level(), 1);
  EXPECT_FALSE(First->Item(0)->IsVisible());

  SendMessageA(H, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(First->Handle()));
  EXPECT_EQ(T->Expansions, 1);
  EXPECT_TRUE(First->Item(0)->IsVisible());
  Items->Item(3)->SetExpanded(true);
  EXPECT_EQ(T->Expansions, 2);
  EXPECT_TRUE(SendMessageA(H, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(Items->Item(3)->Handle()), TVIS_EXPANDED) & TVIS_EXPANDED);
  First->Collapse(false);
  EXPECT_EQ(T->Collapses, 1);

  // Rows stack; the control finds the node at its display rect.
  const RECT A = First->DisplayRect(false), B = Items->Item(3)->DisplayRect(true);
  EXPECT_GT(A.bottom, A.top);
  EXPECT_EQ(Items->Item(3)->DisplayRect(false).top - A.top, SendMessageA(H, TVM_GETITEMHEIGHT, 0, 0));
  TVHITTESTINFO Hit{};
  Hit.pt = POINT{(B.left + B.right) / 2, (B.top + B.bottom) / 2};
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(H, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit))),
            Items->Item(3)->Handle());

  SendMessageA(H, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(T->Scrolls, 1);
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(H, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)), Items->Item(3)->Handle());

  F->Heard.clear();
  T->SetSelected(First);
  SendMessageA(H, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(F->Heard, (std::vector<std::string>{"node Group 0", "down 40", "node Group 1"}));
  EXPECT_EQ(T->Selected(), Items->Item(3));
}

TEST_F(CommonControls, ListViewReportColumnsItemsAndStatePictures) {
  auto* L = Control<TListView>("Files");
  HWND H = L->Handle();
  EXPECT_EQ(Style(L) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(Style(L) & LVS_NOSORTHEADER);
  HWND Header = reinterpret_cast<HWND>(SendMessageA(H, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0), 3);
  const char* Captions[] = {"Drive", "Needed", "Free"};
  const int Widths[] = {60, 100, 110};
  for (int i = 0; i < 3; ++i) {
    char Buf[32] = "";
    HDITEMA Item{};
    Item.mask = HDI_TEXT;
    Item.pszText = Buf;
    Item.cchTextMax = sizeof Buf;
    SendMessageA(Header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&Item));
    EXPECT_STREQ(Buf, Captions[i]);
    EXPECT_EQ(SendMessageA(H, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0), Widths[i]);
  }
  // The translator's way in: a caption set through the collection.
  L->Columns()->Items(2)->SetCaption("Available");

  for (auto Row : {std::vector<std::string>{"C:", "12 MB", "1 GB"}, {"D:", "80 MB", "3 MB"}}) {
    TListItem* I = L->Items()->Add();
    I->SetCaption(Row[0]);
    I->SubItems()->Add(Row[1]);
    I->SubItems()->Add(Row[2]);
  }
  L->Items()->Item(1)->SetStateIndex(1);  // short of space
  auto Text = [&](int Item, int Sub) {
    char Buf[32] = "";
    LVITEMA It{};
    It.iSubItem = Sub;
    It.pszText = Buf;
    It.cchTextMax = sizeof Buf;
    SendMessageA(H, LVM_GETITEMTEXTA, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&It));
    return std::string(Buf);
  };
  EXPECT_EQ(SendMessageA(H, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(Text(0, 0), "C:");
  EXPECT_EQ(Text(1, 1), "80 MB");
  EXPECT_EQ(Text(1, 2), "3 MB");
  EXPECT_EQ(SendMessageA(H, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
  EXPECT_EQ(SendMessageA(H, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), 0);
  auto* Pictures = Control<TImageList>("Pictures");
  auto State = reinterpret_cast<HIMAGELIST>(SendMessageA(H, LVM_GETIMAGELIST, LVSIL_STATE, 0));
  EXPECT_EQ(State, Pictures->Handle());
  EXPECT_EQ(ImageList_GetImageCount(State), 2);
  UpdateWindow(F->Handle());
  UpdateWindow(H);

  // A look at the whole form.
  RECT W;
  GetWindowRect(F->Handle(), &W);
  TBitmap Shot;
  Shot.SetSize(W.right - W.left, W.bottom - W.top);
  HDC Screen = GetDC(nullptr);
  BitBlt(Shot.Canvas().Handle(), 0, 0, Shot.Width(), Shot.Height(), Screen, W.left, W.top, SRCCOPY);
  ReleaseDC(nullptr, Screen);
  EXPECT_TRUE(WriteTestFile(BuildTreePath("test_CommonControls.bmp"), Shot.SaveToBmp()));

  // The list lets go of an image list that goes away.
  delete Pictures;
  EXPECT_EQ(SendMessageA(H, LVM_GETIMAGELIST, LVSIL_STATE, 0), 0);
}

}  // namespace
