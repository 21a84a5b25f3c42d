// Forms and controls over real windows under Wine: a form read from a
// stream, its parents and children, alignment, fonts, modal runs, and the
// command line as the application splits it.
#include <gtest/gtest.h>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TStdCtrls.h"
#include "controls/routines_ControlClasses.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"

namespace {

struct ControlsEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new ControlsEnv);

void ReadForm(TComponent* Root, const std::string& Text) {
  TMemoryStream S(ObjectTextToBinary(Text));
  ReadRootComponent(S, Root);
}

const char* const FormText = R"(object Form1: TForm
  Caption = 'Form under test'
  ClientWidth = 400
  ClientHeight = 300
  Font.Height = -20
  Font.Name = 'Arial'
  object Top1: TPanel
    Align = alTop
    Height = 50
    object Inner: TLabel
      Left = 4
      Top = 4
      Caption = 'inside'
    end
  end
  object Rest: TPanel
    Align = alClient
    Font.Height = -9
  end
end
)";

TEST(Forms, AFormReadFromItsStreamHasItsControlsInPlace) {
  TApplication App(nullptr);
  auto* F = new TForm(&App);
  ReadForm(F, FormText);
  EXPECT_EQ(F->Name(), "Form1");
  EXPECT_EQ(F->Caption(), "Form under test");
  ASSERT_EQ(F->ComponentCount(), 3);
  auto* Top1 = dynamic_cast<TPanel*>(F->FindComponent("Top1"));
  auto* Inner = dynamic_cast<TLabel*>(F->FindComponent("Inner"));
  auto* Rest = dynamic_cast<TPanel*>(F->FindComponent("Rest"));
  ASSERT_TRUE(Top1 && Inner && Rest);
  // Owned by the form, parented as nested in the stream.
  EXPECT_EQ(Inner->Owner(), F);
  EXPECT_EQ(Inner->Parent(), Top1);
  EXPECT_EQ(Top1->Parent(), F);
  // Fonts: taken from the parent unless set.
  EXPECT_EQ(Top1->Font()->Height, -20);
  EXPECT_EQ(Inner->Font()->Height, -20);
  EXPECT_EQ(Inner->Font()->Name, "Arial");
  EXPECT_FALSE(Rest->ParentFont());
  EXPECT_EQ(Rest->Font()->Height, -9);

  // The real windows: created on demand, the client area as streamed, the
  // aligned panels laid out in it.
  HWND H = F->Handle();
  ASSERT_TRUE(IsWindow(H));
  RECT R;
  GetClientRect(H, &R);
  EXPECT_EQ(R.right, 400);
  EXPECT_EQ(R.bottom, 300);
  EXPECT_EQ(GetParent(Top1->Handle()), H);
  EXPECT_EQ(Top1->Top(), 0);
  EXPECT_EQ(Top1->Width(), 400);
  EXPECT_EQ(Rest->Top(), 50);
  EXPECT_EQ(Rest->Height(), 250);
  char Buf[64];
  GetWindowTextA(H, Buf, sizeof Buf);
  EXPECT_STREQ(Buf, "Form under test");
}

TEST(Forms, TheFirstFormCreatedIsTheMainFormAndAMissingResourceIsNoError) {
  TApplication App(nullptr);
  TCustomForm* A = App.CreateForm(TForm::StaticClass(), "NOSUCHFORM");
  TCustomForm* B = App.CreateForm(TForm::StaticClass(), "NOSUCHFORM2");
  EXPECT_EQ(App.MainForm(), A);
  EXPECT_NE(A, B);
  EXPECT_EQ(A->Owner(), &App);
}

TEST(Forms, ShowModalReturnsTheResultSetWhileItRuns) {
  TApplication App(nullptr);
  auto* F = new TForm(&App);
  F->SetBounds(0, 0, 200, 100);
  // A timer stands for a button press: the result arrives through the
  // message loop while the form runs.
  struct Timer {
    static void CALLBACK Fire(HWND H, UINT, UINT_PTR Id, DWORD) {
      KillTimer(H, Id);
      if (auto* W = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(H))) W->SetModalResult(mrAbort);
    }
  };
  F->OnShow = [F](TPersistent*) { SetTimer(F->Handle(), 1, 50, &Timer::Fire); };
  EXPECT_EQ(F->ShowModal(), mrAbort);
  EXPECT_FALSE(IsWindowVisible(F->Handle()));
}

TEST(Forms, UnhandledExceptionsReachTheHandlerButAQuietAbortDoesNot) {
  TApplication App(nullptr);
  std::vector<std::string> Seen;
  App.OnException = [&](TPersistent*, const Exception& E) { Seen.push_back(E.Message()); };
  App.HandleException(EAbort());
  App.HandleException(EQIUserAbort());
  ASSERT_EQ(Seen.size(), 1u);
  EXPECT_EQ(Seen[0], "Installation aborted by the user");
}

TEST(Application, CommandLineSplitsAsTheClassicRules) {
  struct Case {
    const char* Line;
    std::vector<std::string> Args;
  } Cases[] = {
      {"setup.exe", {"setup.exe"}},
      {"setup.exe -b", {"setup.exe", "-b"}},
      {"\"C:\\Program Files\\setup.exe\" \"-sC:\\My Build\" -c",
       {"C:\\Program Files\\setup.exe", "-sC:\\My Build", "-c"}},
      {"setup.exe \"\" -", {"setup.exe", "", "-"}},
      {"  a   b\t c ", {"a", "b", "c"}},
      {"a\"b c\"d", {"ab cd"}},
  };
  for (const Case& C : Cases) EXPECT_EQ(TApplication::SplitCommandLine(C.Line), C.Args) << C.Line;
}

TEST(Forms, AStreamNamingAnUnknownClassFailsAndLeavesNothingBehind) {
  TApplication App(nullptr);
  auto* F = new TForm(&App);
  try {
    ReadForm(F, "object Form1: TForm\n  object X: TNoSuchControl\n  end\nend\n");
    FAIL() << "read an unknown class";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find("Class TNoSuchControl not found"), std::string::npos) << E.Message();
  }
  EXPECT_EQ(F->ComponentCount(), 0);
}

}  // namespace
