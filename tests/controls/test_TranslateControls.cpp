// The translator on real windows under Wine: the user's Windows language,
// comparisons as Windows makes them, forms read from a stream translated by
// id and by text, and fonts set through the control tree.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "controls/cmp_TTranslateControls.h"
#include "controls/routines_ControlClasses.h"
#include "i18n/routines_LanguageFiles.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"

namespace {

struct TranslateControlsEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new TranslateControlsEnv);

class TranslateControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(LoadLanguageFiles(T, SourceTreePath("i18n\\tables")).empty()); }
  TTranslator T{nullptr};
};

TEST_F(TranslateControlsTest, TheUsersLanguageComesFromWindows) {
  const TQrvnLanguage User = LanguageOfLangId(GetUserDefaultLangID());
  EXPECT_EQ(T.UserDefaultLanguage(), T.FindLanguage(User));
  EXPECT_EQ(T.ResolveLanguage(qlUser), T.FindLanguage(User));
  EXPECT_EQ(LangIdToString(qlUser), LangIdToString(User));
  // qlUser as the target follows the user's language.
  T.SetTranslateIntoLanguage(qlUser);
  EXPECT_EQ(T.TranslateById(6, "?"), T.FindLanguage(User)->FindString(6) ? T.FindLanguage(User)->FindString(6)->Text : "?");
}

// Run again by CTest under a German and a Dutch Windows (QV_USER_WINDOWS
// names it); skipped in the plain run.
class UserLanguage : public TranslateControlsTest {};
TEST_F(UserLanguage, QlUserTranslatesIntoTheWindowsLanguageWhenThereIsATable) {
  const char* Windows = std::getenv("QV_USER_WINDOWS");
  if (!Windows) GTEST_SKIP() << "run with QV_USER_WINDOWS and the matching LC_ALL";
  struct Case {
    const char* Windows;
    const char* Language;
    const char* Cancel;
  } Cases[] = {{"German", "German", "Abbrechen"}, {"Dutch", "English", "Cancel"}};
  for (const Case& C : Cases) {
    if (std::string(Windows) != C.Windows) continue;
    EXPECT_EQ(LangIdToString(qlUser), C.Language);
    T.SetTranslateIntoLanguage(qlUser);
    TApplication App(nullptr);
    auto* Form = new TForm(&App);
    auto* Button = new TBitBtn(Form);
    Button->SetParent(Form);
    Button->SetCaption("Cancel");
    EXPECT_EQ(TranslateFrom(qlEnglish, Form), qlUser);
    EXPECT_EQ(Button->Caption(), C.Cancel);
    return;
  }
  FAIL() << "unknown Windows " << Windows;
}

TEST_F(TranslateControlsTest, TextsCompareIgnoringCaseAsWindowsDoes) {
  // Accented capitals fold the way the ANSI code page folds them.
  T.SetTranslateIntoLanguage(qlEnglish);
  EXPECT_EQ(T.TranslateText(qlFrench, "< PR\xC9" "C\xC9" "DENT"), "< Previous");
  EXPECT_EQ(T.TranslateText(qlGerman, "\xC4" "X"), "\xC4" "X");
}

const char* const PageText = R"(object Page: TForm
  Caption = 'Welcome'
  ClientWidth = 400
  ClientHeight = 300
  object Panel1: TPanel
    Align = alTop
    Height = 60
    Caption = 'Readme information'
    object ByIdLabel: TTranslateLabel
      Caption = 'some old text'
      GLID = 12
    end
    object ByTextLabel: TTranslateLabel
      Caption = 'click next to continue with the installation.'
    end
    object Fixed: TTranslateLabel
      Caption = 'Cancel'
      GLID = -1
    end
  end
  object NextButton: TTranslateBitBtn
    Left = 300
    Top = 250
    Caption = 'Next >'
    GLID = 5
  end
  object CancelButton: TBitBtn
    Left = 200
    Top = 250
    Caption = 'Cancel'
    ModalResult = 3
  end
  object Plain: TLabel
    Top = 100
    Caption = 'Setup incomplete'
    Visible = False
  end
end
)";

class PageTest : public TranslateControlsTest {
 protected:
  void SetUp() override {
    TranslateControlsTest::SetUp();
    Page = new TForm(&App);
    TMemoryStream S(ObjectTextToBinary(PageText));
    ReadRootComponent(S, Page);
  }
  template <class C>
  C* Find(const char* Name) {
    auto* R = dynamic_cast<C*>(Page->FindComponent(Name));
    EXPECT_NE(R, nullptr) << Name;
    return R;
  }
  TApplication App{nullptr};
  TForm* Page = nullptr;
};

TEST_F(PageTest, APageChangesItsTextsByIdAndByTextIntoAnyLanguage) {
  Page->HandleNeeded();
  auto* Next = Find<TTranslateBitBtn>("NextButton");
  auto* ByText = Find<TTranslateLabel>("ByTextLabel");
  ByText->SetAutoSize(true);
  // A form owned by the page is translated on its own, not as a part of it.
  auto* Owned = new TForm(Page);
  Owned->SetCaption("Cancel");

  EXPECT_EQ(TranslateFromInto(qlEnglish, qlFrench, Page), qlFrench);
  EXPECT_EQ(Page->Caption(), "Bienvenue");
  EXPECT_EQ(Find<TPanel>("Panel1")->Caption(), "Informations Lisez-moi");
  EXPECT_EQ(Find<TTranslateLabel>("ByIdLabel")->Caption(), "Cliquez sur Suivant pour poursuivre l'installation.");
  EXPECT_EQ(ByText->Caption(), "Cliquez sur Suivant pour poursuivre l'installation.");
  EXPECT_EQ(Find<TTranslateLabel>("Fixed")->Caption(), "Cancel");
  EXPECT_EQ(Next->Caption(), "Suivant >");
  EXPECT_EQ(Find<TBitBtn>("CancelButton")->Caption(), "Annuler");
  EXPECT_EQ(Find<TLabel>("Plain")->Caption(), "Installation incompl\xE8te");
  EXPECT_EQ(Owned->Caption(), "Cancel");
  // The window shows the new caption; visibility and sizing are as before.
  char Shown[64] = {};
  GetWindowTextA(Next->Handle(), Shown, sizeof Shown);
  EXPECT_STREQ(Shown, "Suivant >");
  EXPECT_TRUE(Next->Visible());
  EXPECT_FALSE(Find<TLabel>("Plain")->Visible());
  EXPECT_TRUE(ByText->AutoSize());

  // From French into German, then back into English.
  EXPECT_EQ(TranslateFromInto(qlFrench, qlGerman, Page), qlGerman);
  EXPECT_EQ(Next->Caption(), "Weiter >");
  EXPECT_EQ(Find<TBitBtn>("CancelButton")->Caption(), "Abbrechen");
  EXPECT_EQ(TranslateFromInto(qlGerman, qlEnglish, Page), qlEnglish);
  EXPECT_EQ(Page->Caption(), "Welcome");
  EXPECT_EQ(ByText->Caption(), "Click Next to continue with the installation.");
  // Into a language without strings nothing changes.
  T.Language(qlKorean)->Strings()->Clear();
  EXPECT_EQ(TranslateFromInto(qlEnglish, qlKorean, Page), qlEnglish);
  EXPECT_EQ(Next->Caption(), "Next >");
}

TEST_F(PageTest, FontsChangeThroughTheControlTree) {
  TStringList Korean;
  Korean.Add("5;x");
  T.Language(qlKorean)->Strings()->Assign(Korean);
  auto* Inner = Find<TTranslateLabel>("ByIdLabel");
  Inner->Font()->SetSize(7);
  SetFontsOfFor(qlKorean, Page);
  for (TControl* C : {static_cast<TControl*>(Page), static_cast<TControl*>(Find<TPanel>("Panel1")),
                      static_cast<TControl*>(Inner), static_cast<TControl*>(Find<TBitBtn>("NextButton"))}) {
    EXPECT_EQ(C->Font()->Charset, 129) << C->Name();
    EXPECT_EQ(C->Font()->Name, "\xB9\xD9\xC5\xC1") << C->Name();
    EXPECT_GE(C->Font()->Size(), 9) << C->Name();
  }
  // Back to a language without strings of its own: English fonts.
  T.Language(qlDanish)->Strings()->Clear();
  T.SetTranslateIntoLanguage(qlDanish);
  SetFontsOf(Page);
  EXPECT_EQ(Inner->Font()->Charset, 0);
  EXPECT_EQ(Inner->Font()->Name, "Arial");
}

TEST_F(PageTest, AButtonWithAModalResultEndsTheModalForm) {
  auto* Cancel = Find<TBitBtn>("CancelButton");
  int Clicks = 0;
  Cancel->OnClick = [&](TPersistent*) { ++Clicks; };
  Page->HandleNeeded();
  // The system button reports the click to its parent, which hands it back.
  SendMessageA(Cancel->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Page->ModalResult(), mrAbort);
}

}  // namespace
