// The translator: texts by id and by text, lines of memos, component trees,
// fonts per language, the language identities and the process-wide
// translator through which kit messages pass.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "i18n/cmp_TTranslator.h"
#include "rtl/cmp_TCollection.h"
#include "rtl/routines_ClassBuilder.h"

namespace {

void SetTable(TTranslator& T, TQrvnLanguage L, const std::vector<std::string>& Lines) {
  TStringList S;
  for (const std::string& Line : Lines) S.Add(Line);
  T.Language(L)->Strings()->Assign(S);
}

void FillEnglishAndFrench(TTranslator& T) {
  SetTable(T, qlEnglish, {"5;Next >", "6;Cancel", "45;Please insert disk number %d",
                          "#20", "First line", "Second line", "#"});
  SetTable(T, qlFrench, {"6;Annuler", "5;Suivant >", "45;Veuillez insérer le disque numéro %d",
                         "#20", "Première ligne", "Deuxième ligne", "#"});
}

// A component with texts of every kind the translator knows: string
// properties, a list of items (by the class it derives from) and owned
// components.
class TTextHolder : public TComponent {
  QV_CLASS()
 public:
  explicit TTextHolder(TComponent* AOwner) : TComponent(AOwner) {}
  std::string Caption, Hint;
  int32_t Number = 0;
  TFont Font;
};

class TCustomListBox : public TTextHolder {
  QV_CLASS()
 public:
  using TTextHolder::TTextHolder;
  TStringList Items;
};

class TFakeMemo : public TTextHolder {
  QV_CLASS()
 public:
  using TTextHolder::TTextHolder;
  TStringList Lines;
};
class TCustomMemo : public TFakeMemo {  // only the name matters to the translator
  QV_CLASS()
 public:
  using TFakeMemo::TFakeMemo;
};

const TClassInfo& TTextHolder::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TTextHolder>("TTextHolder", &TComponent::StaticClass())
                                     .Str("Caption", &TTextHolder::Caption)
                                     .Str("Hint", &TTextHolder::Hint)
                                     .Int("Number", &TTextHolder::Number)
                                     .Object("Font", [](const TTextHolder& H) {
                                       return const_cast<TFont*>(&H.Font);
                                     })
                                     .Build();
  return Info;
}
const TClassInfo& TCustomListBox::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomListBox>("TCustomListBox", &TTextHolder::StaticClass())
          .Object("Items", [](const TCustomListBox& L) { return const_cast<TStringList*>(&L.Items); })
          .Build();
  return Info;
}
const TClassInfo& TFakeMemo::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TFakeMemo>("TFakeMemo", &TTextHolder::StaticClass())
          .Object("Lines", [](const TFakeMemo& M) { return const_cast<TStringList*>(&M.Lines); })
          .Build();
  return Info;
}
const TClassInfo& TCustomMemo::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomMemo>("TCustomMemo", &TFakeMemo::StaticClass()).Build();
  return Info;
}

TEST(Translator, TranslatesTextsByTheirIdInTheSourceLanguage) {
  TTranslator T(nullptr);
  FillEnglishAndFrench(T);
  T.SetTranslateIntoLanguage(qlFrench);
  EXPECT_EQ(T.TranslateText(qlEnglish, "Next >"), "Suivant >");
  // The source text is found ignoring case.
  EXPECT_EQ(T.TranslateText(qlEnglish, "NEXT >"), "Suivant >");
  EXPECT_EQ(T.TranslateText(qlEnglish, "Not in the table"), "Not in the table");
  // Back again: the French text is looked up in the French table.
  T.SetTranslateIntoLanguage(qlEnglish);
  EXPECT_EQ(T.TranslateText(qlFrench, "Annuler"), "Cancel");
  // A target without that id, or without strings, leaves the text.
  T.SetTranslateIntoLanguage(qlGerman);
  EXPECT_EQ(T.TranslateText(qlEnglish, "Cancel"), "Cancel");
  EXPECT_EQ(T.TranslateById(6, "Cancel"), "Cancel");
  T.SetTranslateIntoLanguage(qlFrench);
  EXPECT_EQ(T.TranslateById(6, "x"), "Annuler");
  EXPECT_EQ(T.TranslateById(99, "x"), "x");
}

TEST(Translator, TranslatesMemoLinesThatMatchExactly) {
  TTranslator T(nullptr);
  FillEnglishAndFrench(T);
  T.SetTranslateIntoLanguage(qlFrench);
  TStringList Lines;
  Lines.Add("First line");
  Lines.Add("Second line");
  EXPECT_EQ(T.TranslateLines(qlEnglish, Lines),
            (std::vector<std::string>{"Première ligne", "Deuxième ligne"}));
  Lines.SetStrings(1, "second line");
  EXPECT_EQ(T.TranslateLines(qlEnglish, Lines), Lines.ToVector());
}

TEST(Translator, LanguagesAreFoundByTheirIdentity) {
  TTranslator T(nullptr);
  ASSERT_EQ(T.Languages().size(), 16u);
  for (TLanguage* L : T.Languages()) {
    EXPECT_EQ(T.FindLanguage(L->LanguageIdent), L);
    EXPECT_EQ(T.Language(L->LanguageIdent), L);
    EXPECT_EQ(L->Translator(), &T);
  }
  EXPECT_EQ(T.Language(qlUser), nullptr);
  EXPECT_EQ(T.FindLanguage(qlUser), nullptr);
  EXPECT_EQ(T.Language(qlVietnamese)->LanguageIdent, qlVietnamese);
  // The identity a language answers to is its published LanguageIdent.
  T.Language(qlDanish)->LanguageIdent = qlPolish;
  EXPECT_EQ(T.FindLanguage(qlPolish), T.Language(qlDanish));  // first in the list wins
  T.Language(qlDanish)->LanguageIdent = qlDanish;
  EXPECT_EQ(T.FindLanguage(qlPolish), T.Language(qlPolish));
}

TEST(Translator, SettingTheTargetAnnouncesIt) {
  TTranslator T(nullptr);
  EXPECT_EQ(T.TranslateIntoLanguage(), qlUser);
  int Calls = 0;
  T.OnLanguageChanged = [&](TPersistent* Sender) {
    EXPECT_EQ(Sender, &T);
    ++Calls;
  };
  T.SetTranslateIntoLanguage(qlItalian);
  EXPECT_EQ(Calls, 1);
  // A temporary target for one translation is not a new choice.
  TTextHolder C(nullptr);
  T.TranslateComponentInto(qlEnglish, qlFrench, &C);
  T.SetFontsFor(qlFrench, &C);
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(T.TranslateIntoLanguage(), qlItalian);
}

TEST(Translator, TranslatesStringPropertiesListsAndOwnedComponents) {
  TTranslator T(nullptr);
  FillEnglishAndFrench(T);
  T.SetTranslateIntoLanguage(qlFrench);
  TTextHolder Root(nullptr);
  Root.Caption = "next >";
  Root.Hint = "   ";
  ASSERT_NO_THROW(Root.SetName("Cancel"));  // the name is never translated
  auto* List = new TCustomListBox(&Root);
  List->Items.Add("Cancel");
  List->Items.Add("Unknown");
  auto* Memo = new TCustomMemo(&Root);
  Memo->Lines.Add("First line");
  Memo->Lines.Add("Second line");
  auto* Deep = new TTextHolder(List);
  Deep->Caption = "Cancel";

  EXPECT_EQ(T.TranslateComponent(qlEnglish, &Root), qlFrench);
  EXPECT_EQ(Root.Caption, "Suivant >");
  EXPECT_EQ(Root.Hint, "   ");
  EXPECT_EQ(Root.Name(), "Cancel");
  EXPECT_EQ(List->Items.ToVector(), (std::vector<std::string>{"Annuler", "Unknown"}));
  EXPECT_EQ(Memo->Lines.ToVector(), (std::vector<std::string>{"Première ligne", "Deuxième ligne"}));
  EXPECT_EQ(Deep->Caption, "Annuler");

  // From whatever language the texts are in now into any other.
  EXPECT_EQ(T.TranslateComponentInto(qlFrench, qlEnglish, &Root), qlEnglish);
  EXPECT_EQ(Root.Caption, "Next >");
  EXPECT_EQ(Memo->Lines[1], "Second line");
  EXPECT_EQ(T.TranslateIntoLanguage(), qlFrench);
}

TEST(Translator, ATargetWithoutStringsLeavesTextsAndTheirLanguage) {
  TTranslator T(nullptr);
  FillEnglishAndFrench(T);
  TTextHolder C(nullptr);
  C.Caption = "Cancel";
  EXPECT_EQ(T.TranslateComponentInto(qlEnglish, qlGerman, &C), qlEnglish);
  EXPECT_EQ(C.Caption, "Cancel");
  EXPECT_EQ(T.TranslateComponent(qlEnglish, nullptr), qlEnglish);
}

TEST(Translator, FontsFollowTheTargetLanguage) {
  TTranslator T(nullptr);
  FillEnglishAndFrench(T);
  SetTable(T, qlRussian, {"5;Далее"});
  SetTable(T, qlJapanese, {"5;x"});
  TTextHolder C(nullptr);
  C.Font.Name = "Tahoma";
  C.Font.SetSize(6);

  T.SetFontsFor(qlRussian, &C);
  EXPECT_EQ(C.Font.Charset, 204);
  EXPECT_EQ(C.Font.Name, "Arial");
  EXPECT_EQ(C.Font.Size(), 8);  // raised to the smallest readable size

  C.Font.SetSize(14);
  T.SetFontsFor(qlJapanese, &C);
  EXPECT_EQ(C.Font.Charset, 128);
  EXPECT_EQ(C.Font.Name.size(), 15u);
  EXPECT_EQ(C.Font.Size(), 14);  // larger sizes stay

  // A language without strings is shown with the English font.
  T.SetFontsFor(qlGreek, &C);
  EXPECT_EQ(C.Font.Charset, 0);
  EXPECT_EQ(C.Font.Name, "Arial");

  // With FontOverride the language's own font is taken whole.
  TLanguage& French = *T.Language(qlFrench);
  French.FontOverride = true;
  French.Font()->Name = "Courier New";
  French.Font()->Height = -20;
  French.Font()->Charset = 2;
  T.SetFontsFor(qlFrench, &C);
  EXPECT_EQ(C.Font.Name, "Courier New");
  EXPECT_EQ(C.Font.Height, -20);
  EXPECT_EQ(C.Font.Charset, 2);
}

TEST(Translator, FontsForHebrewAndForALanguageWithoutIdentity) {
  TTranslator T(nullptr);
  SetTable(T, qlHebrew, {"5;x"});
  TTextHolder C(nullptr);
  C.Font.Name = "David";
  T.SetFontsFor(qlHebrew, &C);
  EXPECT_EQ(C.Font.Charset, 177);
  EXPECT_EQ(C.Font.Name, "Arial");
  // A language that claims to be the user's language has no row in the
  // font tables; English fonts stand in for a language without strings.
  T.Language(qlEnglish)->LanguageIdent = qlUser;
  EXPECT_THROW(T.SetFontsFor(qlGreek, &C), IException);
}

TEST(LanguageIdentities, TableOfTheSixteenLanguages) {
  struct Row {
    TQrvnLanguage L;
    const char* Name;
    const char* Bitmap;
    int Charset;
    const char* Face;
    int MinSize;
  } Rows[] = {
      {qlChineseSimplified, "ChineseSimplified", "BM_LANG_SIMPCHINESE", 134, "\xB7\x73\xB2\xD3\xA9\xFA\xC5", 9},
      {qlCzech, "Czech", "BM_LANG_CZECH", 238, "Arial", 8},
      {qlDanish, "Danish", "BM_LANG_DANISH", 0, "Arial", 8},
      {qlEnglish, "English", "BM_LANG_ENGLISH", 0, "Arial", 8},
      {qlFrench, "French", "BM_LANG_FRENCH", 0, "Arial", 8},
      {qlGerman, "German", "BM_LANG_GERMAN", 0, "MS Sans Serif", 8},
      {qlGreek, "Greek", "BM_LANG_GREEK", 161, "Arial", 8},
      {qlHebrew, "Hebrew", "BM_LANG_HEBREW", 177, "Arial", 8},
      {qlItalian, "Italian", "BM_LANG_ITALIAN", 0, "Arial", 8},
      {qlJapanese, "Japanese", "BM_LANG_JAPANESE", 128,
       "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E", 9},
      {qlKorean, "Korean", "BM_LANG_KOREAN", 129, "\xB9\xD9\xC5\xC1", 9},
      {qlPolish, "Polish", "BM_LANG_POLISH", 238, "Arial", 8},
      {qlPortugese, "Portugese", "BM_LANG_PORTUGESE", 0, "Arial", 8},
      {qlRussian, "Russian", "BM_LANG_RUSSIAN", 204, "Arial", 8},
      {qlSpanish, "Spanish", "BM_LANG_SPANISH", 0, "Arial", 8},
      {qlVietnamese, "Vietnamese", "BM_LANG_VIETNAMESE", 163, "Arial", 8},
  };
  TTranslator T(nullptr);
  for (const Row& R : Rows) {
    EXPECT_EQ(LangIdToString(R.L), R.Name);
    EXPECT_EQ(LanguageBitmapName(R.L), R.Bitmap);
    EXPECT_EQ(LanguageTextFileName(R.L), std::string("qrvi") + R.Name + ".txt");
    EXPECT_EQ(LanguageCharset(R.L), R.Charset) << R.Name;
    EXPECT_EQ(LanguageFontFace(R.L), R.Face) << R.Name;
    EXPECT_EQ(LanguageMinFontSize(R.L), R.MinSize) << R.Name;
    EXPECT_EQ(T.Language(R.L)->BitmapName(), R.Bitmap);
    EXPECT_EQ(T.Language(R.L)->TextFileName(), LanguageTextFileName(R.L));
  }
  for (int Bad : {static_cast<int>(qlUser), 17, -1}) {
    const auto L = static_cast<TQrvnLanguage>(Bad);
    EXPECT_THROW(LanguageCharset(L), IException);
    EXPECT_THROW(LanguageFontFace(L), IException);
    EXPECT_THROW(LanguageBitmapName(L), IException);
  }
  try {
    LanguageCharset(qlUser);
  } catch (const IException& E) {
    EXPECT_EQ(E.Message(), "Unrecognized language");
  }
}

TEST(LanguageIdentities, WindowsLanguageIdsMapByTheirPrimaryLanguage) {
  struct Case {
    int LangId;
    TQrvnLanguage L;
  } Cases[] = {
      {0x0407, qlGerman},   {0x0807, qlGerman},  {0x040C, qlFrench},     {0x0C0C, qlFrench},
      {0x0410, qlItalian},  {0x0C0A, qlSpanish}, {0x0409, qlEnglish},    {0x0809, qlEnglish},
      {0x0413, qlEnglish},  // Dutch has no table: English
      {0x0804, qlChineseSimplified}, {0x0411, qlJapanese}, {0x0412, qlKorean},
      {0x0419, qlRussian},  {0x042A, qlVietnamese}, {0x040D, qlHebrew}, {0x0416, qlPortugese},
      {0x0415, qlPolish},   {0x0408, qlGreek},   {0x0406, qlDanish},     {0x0405, qlCzech},
      {0, qlEnglish},
  };
  for (const Case& C : Cases) EXPECT_EQ(LanguageOfLangId(C.LangId), C.L) << std::hex << C.LangId;
}

TEST(ProcessWideTranslator, TheFirstTranslatorTranslatesKitMessages) {
  ASSERT_EQ(Translator(), nullptr);
  EXPECT_EQ(TranslateMessage("Cancel"), "Cancel");
  TTextHolder C(nullptr);
  C.Caption = "Cancel";
  EXPECT_EQ(TranslateFrom(qlEnglish, &C), qlEnglish);
  EXPECT_EQ(TranslateFromInto(qlEnglish, qlFrench, &C), qlEnglish);
  {
    auto First = std::make_unique<TTranslator>(nullptr);
    TTranslator Second(nullptr);
    EXPECT_EQ(Translator(), First.get());
    FillEnglishAndFrench(*First);
    First->SetTranslateIntoLanguage(qlFrench);
    EXPECT_EQ(TranslateMessage("cancel"), "Annuler");
    // Kit exceptions translate the format before formatting.
    IException E("Please insert disk number %d", 3);
    EXPECT_EQ(E.Message(), "Veuillez insérer le disque numéro 3");
    EXPECT_EQ(TranslatedFormat("Please insert disk number %d", 4), "Veuillez insérer le disque numéro 4");
    EXPECT_EQ(TranslateFromInto(qlEnglish, qlFrench, &C), qlFrench);
    EXPECT_EQ(C.Caption, "Annuler");
    First.reset();
    // Only the first translator is the process-wide one.
    EXPECT_EQ(Translator(), nullptr);
    EXPECT_EQ(TranslateMessageText("Cancel"), "Cancel");
  }
}

}  // namespace
