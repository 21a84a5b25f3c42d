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

// Every language has a table in the kit.
std::vector<TQrvnLanguage> KitLanguages() {
  std::vector<TQrvnLanguage> R;
  for (int L = 0; L < QrvnLanguageCount; ++L)
    if (L != qlUser) R.push_back(static_cast<TQrvnLanguage>(L));
  return R;
}

std::string TablesDir() { return SourceTreePath("i18n\\tables"); }

std::set<int> IdsOf(const TLanguage& L) {
  std::set<int> R;
  for (const auto& S : L.StringEntries()) R.insert(S->GLID);
  return R;
}

TEST(KitLanguageTables, SixteenTablesWithTheEnglishIdsAndNothingCut) {
  TTranslator T(nullptr);
  const std::vector<TQrvnLanguage> Loaded = LoadLanguageFiles(T, TablesDir());
  ASSERT_EQ(Loaded, KitLanguages());
  const std::set<int> EnglishIds = IdsOf(*T.Language(qlEnglish));
  for (TQrvnLanguage L : KitLanguages()) {
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
  for (TQrvnLanguage L : KitLanguages())
    for (int Id : {45, 101, 102, 104}) {
      const std::string& Text = T.Language(L)->FindString(Id)->Text;
      const std::string& Directive = Id == 104 ? "%s" : "%d";
      EXPECT_NE(Text.find(Directive), std::string::npos) << LangIdToString(L) << " " << Id;
    }
  // Translated, not copied: most texts differ from the English ones.
  for (TQrvnLanguage L : KitLanguages()) {
    if (L == qlEnglish) continue;
    int Same = 0;
    for (const auto& S : T.Language(L)->StringEntries())
      if (S->Text == En.FindString(S->GLID)->Text) ++Same;
    EXPECT_LT(Same, 5) << LangIdToString(L);
  }
  // Each table is in the code page of its language's character set.
  EXPECT_EQ(T.Language(qlFrench)->FindString(4)->Text, "< Pr\xE9" "c\xE9" "dent");  // 1252
  EXPECT_EQ(T.Language(qlRussian)->FindString(6)->Text, "\xCE\xF2\xEC\xE5\xED\xE0");  // 1251
  EXPECT_EQ(T.Language(qlJapanese)->FindString(9)->Text, "\x82\xE6\x82\xA4\x82\xB1\x82\xBB");  // 932
  EXPECT_EQ(T.Language(qlChineseSimplified)->FindString(9)->Text, "\xBB\xB6\xD3\xAD");  // 936
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
    Source.Language(qlVietnamese)->Strings()->Clear();
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
  EXPECT_TRUE(T->Language(qlVietnamese)->StringEntries().empty());
  // Every text of every table comes through the project text byte for byte
  // (the trail bytes of Shift-JIS include "\\" and "|").
  TTranslator Files(nullptr);
  LoadLanguageFiles(Files, TablesDir());
  for (TQrvnLanguage L : KitLanguages()) {
    if (L == qlVietnamese) continue;
    const auto& Read = T->Language(L)->StringEntries();
    const auto& Want = Files.Language(L)->StringEntries();
    ASSERT_EQ(Read.size(), Want.size()) << LangIdToString(L);
    for (size_t i = 0; i < Want.size(); ++i) EXPECT_EQ(Read[i]->Text, Want[i]->Text) << LangIdToString(L);
  }
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
