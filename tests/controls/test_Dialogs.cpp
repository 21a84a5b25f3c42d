// Forms as dialogs, driven from outside as a user drives them (the window
// driver sends real key strokes): the tab order through a page placed in
// the form, accelerators, Enter and Escape, a close box that is not there,
// close requests a modal form refuses, the hourglass.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TButtons.h"
#include "controls/cmp_TScreen.h"
#include "controls/cmp_TStdCtrls.h"
#include "controls/routines_ControlClasses.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"
#include "test_process.h"
#include "window_driver.h"

namespace {

struct DialogsEnv : ::testing::Environment {
  void SetUp() override { RegisterControlsClasses(); }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new DialogsEnv);

void ReadForm(TComponent* Root, const std::string& Text) {
  TMemoryStream S(ObjectTextToBinary(Text));
  ReadRootComponent(S, Root);
}

std::string Driver() { return "\"" + BuildTreePath("tests\\qvauto.exe") + "\""; }

const char* const DialogText = R"(object KeysForm: TForm
  Caption = 'Keys under test'
  BorderStyle = bsDialog
  BorderIcons = []
  Position = poScreenCenter
  ClientWidth = 300
  ClientHeight = 160
  object Body: TPanel
    Align = alClient
    BorderWidth = 8
    object OkBtn: TButton
      Left = 120
      Top = 110
      Caption = 'OK'
      Default = True
    end
    object CancelBtn: TButton
      Left = 200
      Top = 110
      Caption = 'Cancel'
      Cancel = True
    end
  end
end
)";

const char* const PageText = R"(object Page: TForm
  BorderStyle = bsNone
  object Alpha: TButton
    Left = 8
    Top = 8
    Caption = '&Alpha'
    TabOrder = 1
  end
  object Beta: TButton
    Left = 90
    Top = 8
    Caption = '&Beta'
    TabOrder = 0
  end
end
)";

TEST(Dialogs, KeysMoveThroughTheFormAndItsPageAndPressItsButtons) {
  TApplication App(nullptr);
  auto* F = new TForm(&App);
  ReadForm(F, DialogText);
  auto* Page = new TForm(F);
  ReadForm(Page, PageText);
  auto* Body = dynamic_cast<TPanel*>(F->FindComponent("Body"));
  Page->SetParent(Body);
  Page->SetBounds(8, 8, 250, 60);
  Page->SetTabOrder(0);
  std::map<std::string, int> Clicks;
  for (const char* Name : {"Alpha", "Beta", "OkBtn", "CancelBtn"}) {
    auto* B = dynamic_cast<TButton*>(Name[0] == 'A' || Name[0] == 'B' ? Page->FindComponent(Name)
                                                                      : F->FindComponent(Name));
    ASSERT_TRUE(B) << Name;
    B->OnClick = [&Clicks, Name](TPersistent*) { ++Clicks[Name]; };
  }
  int Resized = 0;
  F->OnResize = [&](TPersistent*) { ++Resized; };
  F->Show();
  Page->Show();
  App.ProcessMessages();

  // A dialog frame without a close box, in the middle of the screen; the
  // page is a child window inside the panel.
  HWND H = F->Handle();
  EXPECT_FALSE(GetWindowLongPtrA(H, GWL_STYLE) & WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongPtrA(H, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  RECT R;
  GetWindowRect(H, &R);
  EXPECT_NEAR((R.left + R.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((R.top + R.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(GetParent(Page->Handle()), Body->Handle());
  EXPECT_TRUE(GetWindowLongPtrA(Page->Handle(), GWL_STYLE) & WS_CHILD);

  auto Focus = [&](const char* Name) {
    TComponent* C = Page->FindComponent(Name);
    return dynamic_cast<TWinControl*>(C ? C : F->FindComponent(Name))->Handle();
  };
  dynamic_cast<TWinControl*>(Page->FindComponent("Beta"))->SetFocus();
  // Tab follows TabOrder inside the page, then leaves it for the form's
  // buttons; Shift+Tab goes back.
  Drive("key \"Keys under test\" Tab");
  EXPECT_EQ(GetFocus(), Focus("Alpha"));
  Drive("key \"Keys under test\" Tab");
  EXPECT_EQ(GetFocus(), Focus("OkBtn"));
  Drive("key \"Keys under test\" Shift+Tab");
  EXPECT_EQ(GetFocus(), Focus("Alpha"));
  EXPECT_TRUE(Clicks.empty());
  // Enter presses the focused button, Escape the cancel button, Alt+letter
  // the button of that accelerator.
  Drive("key \"Keys under test\" Enter Escape Alt+B");
  EXPECT_EQ(Clicks["Alpha"], 1);
  EXPECT_EQ(Clicks["CancelBtn"], 1);
  EXPECT_EQ(Clicks["Beta"], 1);
  EXPECT_EQ(Clicks["OkBtn"], 0);
  // The driver reads and presses by name.
  Drive("toggle \"Keys under test\" OkBtn");
  EXPECT_EQ(Clicks["OkBtn"], 1);

  // The hourglass shows over every kit window while the program is busy.
  {
    TScreenCursorScope Busy;
    SendMessageA(H, WM_SETCURSOR, reinterpret_cast<WPARAM>(H), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  }
  EXPECT_EQ(Screen->Cursor(), crDefault);
  F->SetBounds(F->Left(), F->Top(), F->Width() + 20, F->Height());
  App.ProcessMessages();
  EXPECT_GE(Resized, 1);
  EXPECT_EQ(Body->Width(), F->ClientWidth());
}

TEST(Dialogs, AModalFormClosesOnlyWhenItsHandlersAgree) {
  TApplication App(nullptr);
  auto* Other = new TForm(&App);
  Other->SetCaption("Behind");
  Other->Show();
  auto* F = new TForm(&App);
  F->SetCaption("Modal under test");
  F->SetBounds(100, 100, 240, 120);
  int Queries = 0, Closes = 0;
  bool OtherDisabled = false;
  F->OnCloseQuery = [&](TPersistent*, bool& CanClose) { CanClose = ++Queries > 1; };
  F->OnClose = [&](TPersistent*, TCloseAction& Action) {
    OtherDisabled = !IsWindowEnabled(Other->Handle());
    if (++Closes == 1) Action = caNone;
  };
  // Three Alt+F4 strokes: refused by the query, refused by the close
  // action, then granted.
  PROCESS_INFORMATION PI{};
  F->OnShow = [&](TPersistent*) {
    SetTimer(F->Handle(), 1, 20000, [](HWND W, UINT, UINT_PTR, DWORD) {
      dynamic_cast<TCustomForm*>(TWinControl::FromHandle(W))->SetModalResult(mrAbort);  // no hang
    });
    STARTUPINFOA SI{};
    SI.cb = sizeof SI;
    std::string Line = Driver() + " key \"Modal under test\" Alt+F4 Alt+F4 Alt+F4";
    ASSERT_TRUE(CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &SI, &PI));
  };
  EXPECT_EQ(F->ShowModal(), mrCancel);
  KillTimer(F->Handle(), 1);
  EXPECT_EQ(Queries, 3);
  EXPECT_EQ(Closes, 2);
  EXPECT_TRUE(OtherDisabled);
  EXPECT_TRUE(IsWindowEnabled(Other->Handle()));
  EXPECT_FALSE(IsWindowVisible(F->Handle()));
  if (PI.hProcess) {
    WaitForSingleObject(PI.hProcess, 10000);
    CloseHandle(PI.hProcess);
    CloseHandle(PI.hThread);
  }
}

}  // namespace
