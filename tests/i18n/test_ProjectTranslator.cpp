// The kit's language tables, and a translator carried by a project in text
// form, read through the object stream reader.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "i18n/routines_LanguageFiles.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "test_paths.h"

namespace {

const TQrvnLanguage KitLanguages[] = {qlEnglish, qlFrench, qlGerman, qlItalian, qlSpanish};

std::string TablesDir() { return SourceTreePath("i18n\\tables"); }

std::set<int> IdsOf(const TLanguage& L) {
  std::set<int> R;
  for (const auto& S : L.StringEntries()) R.insert(S->GLID);
  return R;
}

TEST(KitLanguageTables, FiveTablesWithTheSameIdsAndNothingCut) {
  TTranslator T(nullptr);
  const std::vector<TQrvnLanguage> Loaded = LoadLanguageFiles(T, TablesDir());
  ASSERT_EQ(Loaded, std::vector<TQrvnLanguage>(std::begin(KitLanguages), std::end(KitLanguages)));
  const std::set<int> EnglishIds = IdsOf(*T.Language(qlEnglish));
  for (TQrvnLanguage L : KitLanguages) {
    const TLanguage& Lang = *T.Language(L);
    EXPECT_EQ(IdsOf(Lang), EnglishIds) << LangIdToString(L);
    // Every id once, and no text longer than a table holds.
    EXPECT_EQ(Lang.StringEntries().size(), EnglishIds.size()) << LangIdToString(L);
    const std::string Raw = Lang.Strings()->Text();
    for (const auto& S : Lang.StringEntries()) {
      EXPECT_LT(S->Text.size(), TLanguageString::MaxTextLength + 1);
      EXPECT_NE(Raw.find(S->Text + "\r\n"), std::string::npos) << S->GLID << " was cut";
    }
  }
  // Every id the pages and the engine refer to (1 to 76 has five gaps).
  for (int Id = 1; Id <= 76; ++Id) {
    if (Id != 35 && Id != 36 && Id != 50 && Id != 73 && Id != 74) {
      EXPECT_TRUE(EnglishIds.count(Id)) << Id;
    }
  }
  const TLanguage& En = *T.Language(qlEnglish);
  EXPECT_EQ(En.FindString(5)->Text, "Next >");
  EXPECT_EQ(En.FindString(45)->Text, "Please insert disk number %d");
  EXPECT_EQ(En.FindString(75)->Text, "Reading file information...");
  // Format strings keep their directives in every language.
  for (TQrvnLanguage L : KitLanguages)
    for (int Id : {45, 101, 102, 104}) {
      const std::string& Text = T.Language(L)->FindString(Id)->Text;
      const std::string& Directive = Id == 104 ? "%s" : "%d";
      EXPECT_NE(Text.find(Directive), std::string::npos) << LangIdToString(L) << " " << Id;
    }
  // Translated, not copied: most texts differ from the English ones.
  for (TQrvnLanguage L : {qlFrench, qlGerman, qlItalian, qlSpanish}) {
    int Same = 0;
    for (const auto& S : T.Language(L)->StringEntries())
      if (S->Text == En.FindString(S->GLID)->Text) ++Same;
    EXPECT_LT(Same, 5) << LangIdToString(L);
  }
  EXPECT_EQ(T.Language(qlFrench)->FindString(4)->Text, "< Pr\xE9" "c\xE9" "dent");  // ANSI
}

class ProjectTranslatorTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTranslatorClasses(); }
  // Reads a project whose main form holds Objects.
  void Read(const std::string& Objects) {
    const std::string Text = "object Project: TComponent\n" + Objects + "end\n";
    TMemoryStream S(ObjectTextToBinary(Text));
    ReadRootComponent(S, &Root);
  }
  TComponent Root{nullptr};
};

TEST_F(ProjectTranslatorTest, AProjectCarriesTheTablesTheFontsAndTheTarget) {
  std::string Snippet;
  {
    TTranslator Source(nullptr);
    Source.SetName("Translator1");
    LoadLanguageFiles(Source, TablesDir());
    Source.Language(qlGerman)->FontOverride = true;
    Source.Language(qlGerman)->Font()->Name = "Tahoma";
    Source.Language(qlGerman)->Font()->Height = -13;
    Source.SetTranslateIntoLanguage(qlFrench);
    Snippet = TranslatorToText(Source);
  }
  EXPECT_NE(Snippet.find("object Translator1: TTranslator"), std::string::npos);
  EXPECT_NE(Snippet.find("lgFrench.Strings.Strings = ("), std::string::npos);
  EXPECT_NE(Snippet.find("lgGerman.Font.Name = 'Tahoma'"), std::string::npos);
  EXPECT_EQ(Snippet.find("lgVietnamese"), std::string::npos);  // nothing but defaults
  EXPECT_EQ(Snippet.find("LanguageIdent"), std::string::npos);

  Read(Snippet);
  auto* T = dynamic_cast<TTranslator*>(Root.FindComponent("Translator1"));
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(Translator(), T);
  EXPECT_EQ(T->TranslateIntoLanguage(), qlFrench);
  EXPECT_TRUE(T->Language(qlGerman)->FontOverride);
  EXPECT_EQ(T->Language(qlGerman)->Font()->Name, "Tahoma");
  EXPECT_EQ(T->Language(qlGerman)->Font()->Height, -13);
  // The tables were read as their lines arrived.
  EXPECT_EQ(T->Language(qlItalian)->FindString(6)->Text, "Annulla");
  EXPECT_EQ(TranslateMessage("Reading file information..."),
            "Lecture des informations sur les fichiers...");
  EXPECT_TRUE(T->Language(qlKorean)->StringEntries().empty());
}

TEST_F(ProjectTranslatorTest, AFaultyTableStopsTheProjectWithItsLine) {
  const std::string Objects =
      "  object Translator1: TTranslator\n"
      "    lgFrench.Strings.Strings = (\n"
      "      '5;Suivant >'\n"
      "      'Suivant sans id')\n"
      "  end\n";
  try {
    Read(Objects);
    FAIL() << "read";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(),
              "Error reading Translator1.lgFrench.Strings.Strings: The 1'th string (Suivant sans id) "
              "does not have the proper format of GLID;Text or .GLID;");
  }
  EXPECT_EQ(Root.ComponentCount(), 0);
  EXPECT_EQ(Translator(), nullptr);
}

TEST_F(ProjectTranslatorTest, UnknownLanguagesAndIdentitiesAreRefused) {
  EXPECT_THROW(Read("  object T: TTranslator\n    lgKlingon.Strings.Strings = ('1;x')\n  end\n"),
               EReadError);
  EXPECT_THROW(Read("  object T: TTranslator\n    TranslateIntoLanguage = qlKlingon\n  end\n"),
               EReadError);
  Read("  object T: TTranslator\n    lgDanish.LanguageIdent = qlPolish\n  end\n");
  auto* T = dynamic_cast<TTranslator*>(Root.FindComponent("T"));
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->Language(qlDanish)->LanguageIdent, qlPolish);
  // Written back, the changed identity is kept.
  EXPECT_NE(TranslatorToText(*T).find("lgDanish.LanguageIdent = qlPolish"), std::string::npos);
}

}  // namespace
