// The standard controls on a form read from text, shown under Wine and read
// back through their windows: styles, texts, selections and check marks as
// the system controls report them, and the events the user's actions fire.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TCheckBox.h"
#include "controls/cmp_TEdit.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TGraphics.h"
#include "controls/cmp_TGroupBox.h"
#include "controls/cmp_TListBox.h"
#include "controls/cmp_TMemo.h"
#include "controls/cmp_TProgressBar.h"
#include "controls/cmp_TRadioGroup.h"
#include "controls/cmp_TRichEdit.h"
#include "controls/routines_ControlClasses.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"

namespace {

// The page under test: its handlers record who fired.
class TStdTestForm : public TForm {
  QV_CLASS()
 public:
  using TForm::TForm;
  std::vector<std::string> Events;
  std::vector<WORD> KeysUp;
  void Record(TPersistent* Sender) { Events.push_back(static_cast<TComponent*>(Sender)->Name()); }
  void KeyUp(TPersistent*, WORD& Key, TShiftState) { KeysUp.push_back(Key); }
};

const TClassInfo& TStdTestForm::StaticClass() {
  using C = TStdTestForm;
  static const TClassInfo Info = TClassBuilder<C>("TStdTestForm", &TForm::StaticClass())
                                     .Creatable()
                                     .Method<void(TPersistent*)>("Record", &C::Record)
                                     .Method<void(TPersistent*, WORD&, TShiftState)>("KeyUp", &C::KeyUp)
                                     .Build();
  return Info;
}

struct StdControlsEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterComponentClass(TStdTestForm::StaticClass());
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new StdControlsEnv);

const char* const FormText = R"(object StdForm: TStdTestForm
  Caption = 'Standard controls'
  ClientWidth = 560
  ClientHeight = 280
  Color = 12648447
  object Name1: TEdit
    Left = 8
    Top = 8
    Width = 200
    CharCase = ecLowerCase
    Text = 'Start'
    OnChange = Record
    OnKeyUp = KeyUp
  end
  object Serial: TEdit
    Left = 8
    Top = 36
    Width = 200
    MaxLength = 8
    ReadOnly = True
    Text = 'XY-1'
  end
  object Notes: TMemo
    Left = 8
    Top = 64
    Width = 200
    Height = 70
    Lines.Strings = (
      'first line'
      'second line')
    ScrollBars = ssVertical
  end
  object Licence: TRichEdit
    Left = 8
    Top = 140
    Width = 200
    Height = 70
    Lines.Strings = (
      '{\rtf1\ansi {\b Bold} plain\par}')
    ReadOnly = True
    ScrollBars = ssVertical
  end
  object Languages: TListBox
    Left = 216
    Top = 8
    Width = 150
    Height = 96
    Items.Strings = (
      'Dutch'
      'english'
      'Afrikaans'
      'German')
    ItemHeight = 18
    Sorted = True
    OnClick = Record
    OnDblClick = Record
  end
  object Agree: TCheckBox
    Left = 216
    Top = 112
    Width = 150
    Caption = 'I agree'
    OnClick = Record
  end
  object Locked: TCheckBox
    Left = 216
    Top = 132
    Width = 150
    Caption = 'Locked'
    Checked = True
    Enabled = False
  end
  object Options: TGroupBox
    Left = 376
    Top = 8
    Width = 176
    Height = 64
    Caption = 'Options'
    object Inside: TCheckBox
      Align = alTop
      Caption = 'Inside'
    end
    object Note: TLabel
      Left = 8
      Top = 40
      Caption = 'A label inside'
    end
  end
  object Restart: TRadioGroup
    Left = 376
    Top = 80
    Width = 176
    Height = 100
    Caption = 'Restart'
    ItemIndex = 0
    Items.Strings = (
      'Now'
      'Later'
      'Never')
    OnClick = Record
  end
  object Ok: TButton
    Left = 376
    Top = 220
    Caption = 'OK'
    Default = True
    OnClick = Record
  end
  object Progress: TProgressBar
    Left = 8
    Top = 220
    Width = 360
    Max = 50
    Min = 10
    Position = 30
  end
end
)";

std::string WindowText(HWND H) {
  char Buf[256] = {};
  GetWindowTextA(H, Buf, sizeof Buf);
  return Buf;
}

bool HasStyle(HWND H, DWORD Bits) { return (GetWindowLongPtrA(H, GWL_STYLE) & Bits) == Bits; }

class StdControls : public ::testing::Test {
 protected:
  void SetUp() override {
    F = new TStdTestForm(&App);
    TMemoryStream S(ObjectTextToBinary(FormText));
    ReadRootComponent(S, F);
    F->Show();
    App.ProcessMessages();
  }
  template <class T>
  T* Find(const char* Name) {
    auto* C = dynamic_cast<T*>(F->FindComponent(Name));
    if (!C) throw EComponentError(std::string("no control ") + Name);
    return C;
  }
  // Through the form's message loop, as the user's input arrives.
  void Post(HWND H, UINT Msg, WPARAM W, LPARAM L = 0) {
    PostMessageA(H, Msg, W, L);
    App.ProcessMessages();
  }
  TApplication App{nullptr};
  TStdTestForm* F = nullptr;
};

TEST_F(StdControls, EditsTakeTheirStylesAndReportTypingAndKeys) {
  HWND Name1 = Find<TEdit>("Name1")->Handle();
  HWND Serial = Find<TEdit>("Serial")->Handle();
  char Class[32];
  GetClassNameA(Name1, Class, sizeof Class);
  EXPECT_STREQ(Class, "Edit");
  EXPECT_TRUE(HasStyle(Name1, ES_LOWERCASE | WS_TABSTOP));
  EXPECT_TRUE(GetWindowLongPtrA(Name1, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(HasStyle(Serial, ES_READONLY));
  EXPECT_EQ(SendMessageA(Serial, EM_GETLIMITTEXT, 0, 0), 8);
  EXPECT_EQ(WindowText(Serial), "XY-1");
  // Loading fired nothing; typing does, and arrives lower-cased.
  EXPECT_TRUE(F->Events.empty());
  SendMessageA(Name1, EM_SETSEL, 5, 5);
  SetFocus(Name1);
  Post(Name1, WM_CHAR, 'X');
  Post(Name1, WM_CHAR, 'Y');
  EXPECT_EQ(WindowText(Name1), "startxy");
  EXPECT_EQ(Find<TEdit>("Name1")->Text(), "startxy");
  EXPECT_EQ(F->Events, (std::vector<std::string>{"Name1", "Name1"}));
  Post(Name1, WM_KEYUP, VK_F5, 0xC0000001);
  EXPECT_EQ(F->KeysUp, std::vector<WORD>{VK_F5});
  // Tab goes on to the next edit, which selects its text on the way in.
  Post(Name1, WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(GetFocus(), Serial);
  DWORD From = 1, To = 0;
  SendMessageA(Serial, EM_GETSEL, reinterpret_cast<WPARAM>(&From), reinterpret_cast<LPARAM>(&To));
  EXPECT_EQ(From, 0u);
  EXPECT_EQ(To, 4u);
  // Set in code: the window shows it and OnChange fires once.
  Find<TEdit>("Name1")->SetText("again");
  EXPECT_EQ(WindowText(Name1), "again");
  EXPECT_EQ(F->Events.size(), 3u);
  EXPECT_THROW(Find<TEdit>("Serial")->SetMaxLength(-1), EComponentError);
}

TEST_F(StdControls, MemoLinesFollowTheWindowAndRichTextShowsFormatted) {
  auto* Notes = Find<TMemo>("Notes");
  HWND M = Notes->Handle();
  EXPECT_EQ(WindowText(M), "first line\r\nsecond line");
  EXPECT_TRUE(HasStyle(M, ES_MULTILINE | WS_VSCROLL));
  EXPECT_FALSE(HasStyle(M, ES_AUTOHSCROLL));  // wraps
  // The user's typing is what Lines gives.
  const int End = GetWindowTextLengthA(M);
  SendMessageA(M, EM_SETSEL, End, End);
  SetFocus(M);
  Post(M, WM_CHAR, VK_RETURN);
  Post(M, WM_CHAR, 'z');
  ASSERT_EQ(Notes->Lines()->Count(), 3);
  EXPECT_EQ(Notes->Lines()->Strings(2), "z");
  Notes->Lines()->Add("more");
  EXPECT_EQ(WindowText(M), "first line\r\nsecond line\r\nz\r\nmore");
  // Without WantTabs, Tab leaves the memo instead of typing a tab.
  Post(M, WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(GetFocus(), Find<TRichEdit>("Licence")->Handle());
  EXPECT_EQ(Notes->Lines()->Count(), 4);
  // Without WantReturns, Enter presses the form's default button.
  Notes->WantReturns = false;
  SetFocus(M);
  Post(M, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(F->Events, std::vector<std::string>{"Ok"});
  EXPECT_EQ(Notes->Lines()->Count(), 4);

  auto* Licence = Find<TRichEdit>("Licence");
  HWND R = Licence->Handle();
  char Class[32];
  GetClassNameA(R, Class, sizeof Class);
  EXPECT_STREQ(Class, "RichEdit20A");
  // A rich edit keeps its read-only state in its options, and shows the
  // scroll bar only when the text is taller than the window.
  EXPECT_TRUE(SendMessageA(R, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
  EXPECT_EQ(WindowText(R).substr(0, 10), "Bold plain");
  CHARFORMATA Format{};
  Format.cbSize = sizeof Format;
  SendMessageA(R, EM_SETSEL, 0, 2);
  SendMessageA(R, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
  EXPECT_TRUE((Format.dwMask & CFM_BOLD) && (Format.dwEffects & CFE_BOLD));
  SendMessageA(R, EM_SETSEL, 6, 8);
  SendMessageA(R, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
  EXPECT_FALSE(Format.dwEffects & CFE_BOLD);
  // Untouched by the user, the lines keep their source for the translator.
  EXPECT_EQ(Licence->Lines()->Strings(0).substr(0, 5), "{\\rtf");
}

TEST_F(StdControls, ListBoxSortsItsItemsAndReportsTheUsersChoice) {
  auto* L = Find<TListBox>("Languages");
  HWND H = L->Handle();
  EXPECT_TRUE(HasStyle(H, LBS_SORT | LBS_NOTIFY));
  EXPECT_EQ(SendMessageA(H, LB_GETITEMHEIGHT, 0, 0), 18);
  const std::vector<std::string> Sorted{"Afrikaans", "Dutch", "english", "German"};
  ASSERT_EQ(SendMessageA(H, LB_GETCOUNT, 0, 0), 4);
  for (int i = 0; i < 4; ++i) {
    char Buf[64] = {};
    SendMessageA(H, LB_GETTEXT, i, reinterpret_cast<LPARAM>(Buf));
    EXPECT_EQ(Buf, Sorted[static_cast<size_t>(i)]);
  }
  EXPECT_EQ(L->Items()->ToVector(), Sorted);
  EXPECT_EQ(L->ItemIndex(), -1);
  RECT R;
  SendMessageA(H, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&R));
  const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
  Post(H, WM_LBUTTONDOWN, MK_LBUTTON, At);
  Post(H, WM_LBUTTONUP, 0, At);
  EXPECT_EQ(F->Events, std::vector<std::string>{"Languages"});
  EXPECT_EQ(L->ItemIndex(), 2);
  SetFocus(H);
  Post(H, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(SendMessageA(H, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(F->Events.size(), 2u);
  Post(H, WM_LBUTTONDBLCLK, MK_LBUTTON, At);
  Post(H, WM_LBUTTONUP, 0, At);
  EXPECT_GE(F->Events.size(), 3u);
  // Code adds an item: the window sorts it in, Items follow.
  L->SetItemIndex(-1);
  L->Items()->Add("Basque");
  char Buf[64] = {};
  SendMessageA(H, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(Buf));
  EXPECT_STREQ(Buf, "Basque");
  EXPECT_EQ(L->Items()->Strings(1), "Basque");
  EXPECT_THROW(L->SetItemIndex(5), EComponentError);
}

TEST_F(StdControls, CheckBoxTogglesAndShowsOnItsParentsColour) {
  auto* Agree = Find<TCheckBox>("Agree");
  HWND H = Agree->Handle();
  EXPECT_EQ(GetWindowLongPtrA(H, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  SendMessageA(H, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(H, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(Agree->Checked());
  EXPECT_EQ(F->Events, std::vector<std::string>{"Agree"});
  Agree->SetChecked(false);  // in code: fires too
  EXPECT_EQ(SendMessageA(H, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(F->Events.size(), 2u);
  EXPECT_THROW(Agree->SetState(cbGrayed), EComponentError);
  HWND Locked = Find<TCheckBox>("Locked")->Handle();
  EXPECT_FALSE(IsWindowEnabled(Locked));
  EXPECT_EQ(SendMessageA(Locked, BM_GETCHECK, 0, 0), BST_CHECKED);
  // The text's background is the form's colour, right of the caption.
  UpdateWindow(H);
  HDC DC = GetDC(H);
  RECT R;
  GetClientRect(H, &R);
  EXPECT_EQ(GetPixel(DC, R.right - 3, R.bottom / 2), ColorToRGB(F->Color()));
  ReleaseDC(H, DC);
}

TEST_F(StdControls, GroupBoxAndRadioGroupHoldTheirControlsInsideTheFrame) {
  HWND Options = Find<TGroupBox>("Options")->Handle();
  EXPECT_EQ(GetWindowLongPtrA(Options, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
  HWND Inside = Find<TCheckBox>("Inside")->Handle();
  RECT R;
  GetWindowRect(Inside, &R);
  MapWindowPoints(nullptr, Options, reinterpret_cast<POINT*>(&R), 2);
  EXPECT_EQ(R.left, 2);
  EXPECT_GE(R.top, 12);  // below the caption
  EXPECT_EQ(R.right, 176 - 2);

  auto* G = Find<TRadioGroup>("Restart");
  const char* Texts[] = {"Now", "Later", "Never"};
  int LastTop = -1;
  for (int i = 0; i < 3; ++i) {
    HWND B = G->ButtonHandle(i);
    EXPECT_EQ(GetParent(B), G->Handle());
    EXPECT_EQ(WindowText(B), Texts[i]);
    EXPECT_EQ(GetWindowLongPtrA(B, GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_EQ(HasStyle(B, WS_GROUP | WS_TABSTOP), i == 0);
    EXPECT_EQ(SendMessageA(B, BM_GETCHECK, 0, 0), i == 0 ? BST_CHECKED : BST_UNCHECKED);
    GetWindowRect(B, &R);
    MapWindowPoints(nullptr, G->Handle(), reinterpret_cast<POINT*>(&R), 2);
    EXPECT_GT(R.top, LastTop);
    EXPECT_LE(R.bottom, 100);
    LastTop = R.top;
  }
  SendMessageA(G->ButtonHandle(1), BM_CLICK, 0, 0);
  EXPECT_EQ(G->ItemIndex(), 1);
  EXPECT_EQ(SendMessageA(G->ButtonHandle(0), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(F->Events, std::vector<std::string>{"Restart"});
  G->SetItemIndex(2);
  EXPECT_EQ(SendMessageA(G->ButtonHandle(2), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(G->ButtonHandle(1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(F->Events.size(), 2u);
  // The arrows move within the group, as the form's dialog keys do.
  SetFocus(G->ButtonHandle(2));
  Post(G->ButtonHandle(2), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(G->ItemIndex(), 1);
  EXPECT_EQ(F->Events.size(), 3u);
  // A wider group, wider buttons.
  G->SetWidth(276);
  GetWindowRect(G->ButtonHandle(0), &R);
  EXPECT_EQ(R.right - R.left, 276 - 10);
  // Fewer items, fewer buttons.
  G->Items()->Delete(2);
  EXPECT_THROW(G->ButtonHandle(2), EComponentError);
}

TEST_F(StdControls, ProgressBarKeepsItsPositionInTheRange) {
  auto* P = Find<TProgressBar>("Progress");
  HWND H = P->Handle();
  EXPECT_EQ(SendMessageA(H, PBM_GETPOS, 0, 0), 30);
  EXPECT_EQ(SendMessageA(H, PBM_GETRANGE, TRUE, 0), 10);
  EXPECT_EQ(SendMessageA(H, PBM_GETRANGE, FALSE, 0), 50);
  P->SetPosition(99);
  EXPECT_EQ(SendMessageA(H, PBM_GETPOS, 0, 0), 50);
  P->StepIt();  // past the end: starts over
  EXPECT_EQ(SendMessageA(H, PBM_GETPOS, 0, 0), 20);
  EXPECT_THROW(P->SetMin(60), EComponentError);
  P->SetMax(25);
  EXPECT_EQ(SendMessageA(H, PBM_GETPOS, 0, 0), 20);
  EXPECT_EQ(SendMessageA(H, PBM_GETRANGE, FALSE, 0), 25);
  TMemoryStream Bad(ObjectTextToBinary("object F: TForm\n object B: TProgressBar\n Min = 5\n Max = 1\n end\nend\n"));
  EXPECT_THROW(ReadRootComponent(Bad, new TForm(&App)), Exception);

  // A picture of the form, for a person to look at.
  if (const char* Dir = std::getenv("QV_SCREENSHOT_DIR")) {
    RECT W;
    GetWindowRect(F->Handle(), &W);
    TBitmap Shot;
    Shot.SetSize(W.right - W.left, W.bottom - W.top);
    HDC Screen = GetDC(nullptr);
    BitBlt(Shot.Canvas().Handle(), 0, 0, Shot.Width(), Shot.Height(), Screen, W.left, W.top, SRCCOPY);
    ReleaseDC(nullptr, Screen);
    EXPECT_TRUE(WriteTestFile(TreePath("QV_SCREENSHOT_DIR", "std_controls.bmp"), Shot.SaveToBmp())) << Dir;
  }
}

}  // namespace
