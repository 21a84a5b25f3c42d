// One form with every control of the toolkit, laid out as a wizard page is:
// read from its text with the handlers bound to the form's methods, shown
// with the common controls of version 6, operated and read back from outside
// by the window driver as a user would, and saved as a screenshot.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TImage.h"
#include "controls/cmp_TImageList.h"
#include "controls/cmp_TListView.h"
#include "controls/cmp_TStringGrid.h"
#include "controls/cmp_TTreeView.h"
#include "controls/routines_ControlClasses.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"
#include "window_driver.h"

namespace {

class TEveryControlForm : public TForm {
  QV_CLASS()
 public:
  using TForm::TForm;
  int NameChanges = 0, FolderClicks = 0, GridClicks = 0;
  void NameChanged(TPersistent*) { ++NameChanges; }
  void FolderClicked(TPersistent*) { ++FolderClicks; }
  void GridClicked(TPersistent*) { ++GridClicks; }
  void DrawCell(TPersistent* Sender, int Col, int Row, const RECT& R, TGridDrawState) {
    TCanvas& C = static_cast<TStringGrid*>(Sender)->Canvas();
    C.Brush.Color = Col == Row ? 0xC08040 : 0x40C0F0;
    C.FillRect(R);
    C.Brush.Style = bsClear;
    C.TextOut(R.left + 4, R.top + 4, Format("%d,%d", Col, Row));
    C.Brush.Style = bsSolid;
  }
};

const TClassInfo& TEveryControlForm::StaticClass() {
  using F = TEveryControlForm;
  using Draw = void(TPersistent*, int, int, const RECT&, TGridDrawState);
  static const TClassInfo Info = TClassBuilder<F>("TEveryControlForm", &TForm::StaticClass())
                                     .Creatable()
                                     .Method<void(TPersistent*)>("NameChanged", &F::NameChanged)
                                     .Method<void(TPersistent*)>("FolderClicked", &F::FolderClicked)
                                     .Method<void(TPersistent*)>("GridClicked", &F::GridClicked)
                                     .Method<Draw>("DrawCell", &F::DrawCell)
                                     .Build();
  return Info;
}

const char* const FormText = R"(object EveryForm: TEveryControlForm
  Caption = 'Every control'
  BorderStyle = bsDialog
  BorderIcons = []
  Position = poScreenCenter
  ClientWidth = 600
  ClientHeight = 400
  Font.Name = 'Arial'
  Font.Height = -11
  object Images: TImageList
  end
  object Buttons: TPanel
    Align = alBottom
    Height = 52
    BevelOuter = bvNone
    object Line: TBevel
      Align = alTop
      Height = 9
      Shape = bsTopLine
    end
    object OkBtn: TBitBtn
      Left = 424
      Top = 15
      Width = 75
      Height = 33
      Kind = bkOK
    end
    object CancelBtn: TBitBtn
      Left = 504
      Top = 15
      Width = 89
      Height = 33
      Kind = bkCancel
    end
  end
  object Side: TPanel
    Align = alLeft
    Width = 136
    BevelOuter = bvLowered
    object Picture: TImage
      Align = alClient
      Center = True
    end
  end
  object Body: TPanel
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 8
    object Pages: TTabControl
      Align = alTop
      Height = 0
      Visible = False
      Tabs.Strings = ('One' 'Two')
    end
    object NameLabel: TLabel
      Left = 8
      Top = 11
      Caption = '&Name:'
      FocusControl = NameEdit
    end
    object NameEdit: TEdit
      Left = 60
      Top = 8
      Width = 200
      CharCase = ecLowerCase
      OnChange = NameChanged
    end
    object Docs: TCheckBox
      Left = 280
      Top = 8
      Width = 160
      Caption = '&Documentation'
      Checked = True
    end
    object Notes: TMemo
      Left = 8
      Top = 36
      Width = 200
      Height = 60
      ReadOnly = True
      ScrollBars = ssVertical
      Lines.Strings = ('First line of the memo' 'Second line')
    end
    object Licence: TRichEdit
      Left = 216
      Top = 36
      Width = 232
      Height = 60
      ReadOnly = True
      ScrollBars = ssVertical
      Lines.Strings = ('{\rtf1\ansi {\b Bold} words and plain ones.}')
    end
    object Folders: TListBox
      Left = 8
      Top = 104
      Width = 130
      Height = 74
      Sorted = True
      ItemHeight = 14
      Items.Strings = ('Gamma' 'Alpha' 'Beta')
      OnClick = FolderClicked
    end
    object Reboot: TRadioGroup
      Left = 146
      Top = 100
      Width = 140
      Height = 78
      Caption = 'Reboot'
      Items.Strings = ('Yes' 'No')
      ItemIndex = 0
    end
    object Progress: TGroupBox
      Left = 294
      Top = 100
      Width = 154
      Height = 78
      Caption = 'Progress'
      object Bar: TProgressBar
        Left = 10
        Top = 32
        Width = 130
        Height = 16
        Position = 40
      end
    end
    object Grid: TStringGrid
      Left = 8
      Top = 186
      Width = 150
      Height = 108
      ColCount = 2
      RowCount = 2
      DefaultColWidth = 70
      DefaultRowHeight = 48
      FixedCols = 0
      FixedRows = 0
      Options = [goVertLine, goHorzLine, goDrawFocusSelected]
      OnDrawCell = DrawCell
      OnClick = GridClicked
    end
    object Groups: TTreeView
      Left = 162
      Top = 186
      Width = 130
      Height = 104
      ReadOnly = True
      HideSelection = False
    end
    object Drives: TListView
      Left = 300
      Top = 186
      Width = 148
      Height = 104
      ViewStyle = vsReport
      ReadOnly = True
      ColumnClick = False
      SmallImages = Images
      Columns = <
        item
          Caption = ''
          Width = 40
        end
        item
          Caption = 'Required'
          Width = 90
        end>
    end
  end
end
)";

TBitmap* Square(TColor Fill, int Size) {
  auto* B = new TBitmap;
  B->SetSize(Size, Size);
  B->Canvas().Brush.Color = Fill;
  RECT R{2, 2, Size - 2, Size - 2};
  B->Canvas().FillRect(R);
  return B;
}

TEST(EveryControl, IsCreatedFromTextOperatedFromOutsideAndLooksRight) {
  RegisterControlsClasses();
  RegisterComponentClass(TEveryControlForm::StaticClass());
  TApplication App(nullptr);
  auto* F = new TEveryControlForm(&App);
  TMemoryStream S(ObjectTextToBinary(FormText));
  ReadRootComponent(S, F);

  // What the pages set up in code: pictures, tree nodes, list rows.
  std::unique_ptr<TBitmap> Blue(Square(0xC06020, 16)), Side(Square(0x2080E0, 96));
  dynamic_cast<TImageList*>(F->FindComponent("Images"))->AddMasked(*Blue, clWhite);
  dynamic_cast<TImage*>(F->FindComponent("Picture"))->ShowBitmap(*Side);
  auto* Tree = dynamic_cast<TTreeView*>(F->FindComponent("Groups"));
  TTreeNode* Root = Tree->Items()->AddChild(nullptr, "Product");
  Tree->Items()->AddChild(Root, "Documentation");
  Tree->Items()->AddChild(Root, "Examples");
  Root->SetExpanded(true);
  TListItem* Drive1 = dynamic_cast<TListView*>(F->FindComponent("Drives"))->Items()->Add();
  Drive1->SetCaption("C:");
  Drive1->SubItems()->Add("1,234 Bytes");
  Drive1->SetImageIndex(0);
  F->Show();
  App.ProcessMessages();

  // The common controls of version 6, as the manifest asks: the system
  // loads them from its side-by-side store.
  char Path[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), Path, MAX_PATH);
  EXPECT_NE(LowerCase(Path).find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos)
      << Path;

  const std::string W = "\"Every control\" ";
  Drive("type " + W + "NameEdit MyProduct");
  EXPECT_TRUE(Has(Drive("state " + W + "NameEdit"), "text=myproduct"));
  EXPECT_EQ(F->NameChanges, 9);
  Drive("select " + W + "Folders Beta");
  EXPECT_TRUE(Has(Drive("state " + W + "Folders"), "selected=Beta"));
  EXPECT_EQ(F->FolderClicks, 1);
  Drive("toggle " + W + "Docs");
  EXPECT_TRUE(Has(Drive("state " + W + "Docs"), "checked=0"));
  Drive("select " + W + "Reboot No");
  EXPECT_TRUE(Has(Drive("state " + W + "Reboot"), "selected=No"));
  Drive("select " + W + "Grid 1,1");
  EXPECT_TRUE(Has(Drive("state " + W + "Grid"), "row=1"));
  EXPECT_EQ(F->GridClicks, 1);
  Drive("select " + W + "Groups Examples");
  EXPECT_TRUE(Has(Drive("state " + W + "Groups"), "selected=Examples"));
  Drive("select " + W + "Drives C:");
  EXPECT_TRUE(Has(Drive("state " + W + "Drives"), "selected=C:"));
  EXPECT_TRUE(Has(Drive("state " + W + "Bar"), "position=40"));
  EXPECT_TRUE(Has(Drive("state " + W + "Pages"), "visible=0"));
  // Alt+N reaches the edit through its label; Enter there is the OK kind's.
  Drive("key " + W + "Alt+N");
  EXPECT_EQ(GetFocus(), dynamic_cast<TWinControl*>(F->FindComponent("NameEdit"))->Handle());
  Drive("key " + W + "Enter");
  EXPECT_EQ(F->ModalResult(), mrOk);

  Shoot(W, "every-control.png");
}

}  // namespace
