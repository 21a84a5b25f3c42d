// The install component and the translator of its project under Wine: the
// engine's messages in the chosen language, and the chosen language kept
// across a restart in the install record.
#include <gtest/gtest.h>

#include "controls/cmp_TApplication.h"
#include "controls/routines_ControlClasses.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_Registry.h"
#include "i18n/routines_LanguageFiles.h"
#include "model/routines_Registration.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "kit_translator.h"
#include "test_paths.h"

namespace {

struct LanguageEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterModelClasses();
    RegisterInstallClasses();
    RegisterTranslatorClasses();
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new LanguageEnv);

struct LanguageProject {
  std::vector<std::string> Args{"-sC:\\Dist"};
  TForm* Form = new TForm(nullptr);
  TCustomInstall* Install = nullptr;
  TTranslator* Translator = nullptr;
  explicit LanguageProject(TQrvnLanguage Into) {
    TApplication::SetParamsOverride(&Args);
    const std::string Text = "object Form1: TForm\n" + KitTranslatorText(Into) +
                             "  object Install1: TInstall\n    RunAutomatic = False\n  end\nend\n";
    TMemoryStream S(ObjectTextToBinary(Text));
    ReadRootComponent(S, Form);
    Install = dynamic_cast<TCustomInstall*>(Form->FindComponent("Install1"));
    Translator = dynamic_cast<TTranslator*>(Form->FindComponent("Translator1"));
  }
  ~LanguageProject() {
    delete Form;
    TApplication::SetParamsOverride(nullptr);
    InstallKey.clear();
  }
};

TEST(InstallLanguage, EngineMessagesAreShownInTheChosenLanguage) {
  LanguageProject P(qlFrench);
  ASSERT_TRUE(P.Install && P.Translator);
  ASSERT_EQ(Translator(), P.Translator);
  // The format is translated first, then the argument goes in.
  try {
    P.Install->ParseCommandLine({"-x"});
    ADD_FAILURE();
  } catch (const IException& E) {
    EXPECT_EQ(E.Message(),
              "Param\xE8tre non valide <-x>. Les param\xE8tres de ligne de commande valides sont : "
              "-b (Construction), -d (D\xE9" "bogage), -f (Copie sur disquettes), -e (Appel par "
              "l'auto-extracteur), -r (Apr\xE8s red\xE9marrage)");
  }
  EXPECT_EQ(EQIUserAbort().Message(), "Installation interrompue par l'utilisateur");
  P.Translator->SetTranslateIntoLanguage(qlSpanish);
  EXPECT_EQ(EQIUserAbort().Message(), "Instalaci\xF3n cancelada por el usuario");
  // A message the tables do not hold stays as it is.
  EXPECT_EQ(TranslateMessageText("Cannot create a temporary file"), "Cannot create a temporary file");
}

TEST(InstallLanguage, TheChosenLanguageSurvivesInTheInstallRecord) {
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
  {
    LanguageProject P(qlGerman);
    std::string Key;
    P.Install->FindInstallRecord(true, Key);
    InstallKey = Key;
    P.Install->StoreLanguage();
    EXPECT_EQ(RegReadInteger(hkLocalMachine, Key, "Language", -1), qlGerman);
    P.Translator->SetTranslateIntoLanguage(qlItalian);
    EXPECT_EQ(P.Install->ReadLanguage(), qlGerman);

    // Resumption after the restart starts with the stored language.
    P.Install->FinishUnfinished();
    EXPECT_EQ(P.Translator->TranslateIntoLanguage(), qlGerman);

    // A damaged value stands for the user's own language.
    P.Install->FindInstallRecord(true, Key);
    InstallKey = Key;
    RegWriteInteger(hkLocalMachine, Key, "Language", 99);
    P.Install->FinishUnfinished();
    EXPECT_EQ(P.Translator->TranslateIntoLanguage(), qlUser);
  }
  RegDeleteKeyTree(hkLocalMachine, InstallRecordRoot);
}

}  // namespace
