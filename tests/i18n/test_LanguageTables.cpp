// Reading language tables: every kind of line, the format errors with their
// messages, and which changes of the lines read the table again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/cmp_TTranslator.h"
#include "rtl/cmp_TStream.h"

namespace {

class LanguageTableTest : public ::testing::Test {
 protected:
  TTranslator Translator{nullptr};
  TLanguage& English = *Translator.Language(qlEnglish);

  void SetLines(const std::vector<std::string>& Lines) {
    TStringList L;
    for (const std::string& S : Lines) L.Add(S);
    English.Strings()->Assign(L);
  }
  std::string MessageOf(const std::vector<std::string>& Lines) {
    try {
      SetLines(Lines);
    } catch (const IException& E) {
      return E.Message();
    }
    return "(no error)";
  }
  std::vector<int> Ids() const {
    std::vector<int> R;
    for (const auto& S : English.StringEntries()) R.push_back(S->GLID);
    return R;
  }
  std::vector<int> LineNumbers() const {
    std::vector<int> R;
    for (const auto& S : English.StringEntries()) R.push_back(S->Line);
    return R;
  }
};

TEST_F(LanguageTableTest, StringLinesTakeTheTextUpToTheNextSemicolon) {
  SetLines({"12;Click Next to continue", "  13; leading blank stays  ", "14;A;B", "-3;Negative id"});
  ASSERT_EQ(English.StringEntries().size(), 4u);
  EXPECT_EQ(English.StringEntries()[0]->GLID, 12);
  EXPECT_EQ(English.StringEntries()[0]->Text, "Click Next to continue");
  // The line is trimmed first, the text is not trimmed again.
  EXPECT_EQ(English.StringEntries()[1]->Text, " leading blank stays");
  EXPECT_EQ(English.StringEntries()[2]->Text, "A");
  EXPECT_EQ(English.StringEntries()[3]->GLID, -3);
  EXPECT_EQ(LineNumbers(), (std::vector<int>{0, 1, 2, 3}));
  for (const auto& S : English.StringEntries()) EXPECT_EQ(S->Language, &English);
}

TEST_F(LanguageTableTest, BlankAndCommentLinesAreSkippedAndLinesKeepTheirIndex) {
  SetLines({"", "* a comment", "   ", "  *indented comment", "5;Next >"});
  ASSERT_EQ(English.StringEntries().size(), 1u);
  EXPECT_EQ(English.StringEntries()[0]->Line, 4);
  EXPECT_TRUE(English.MemoEntries().empty());
}

TEST_F(LanguageTableTest, MemoBlocksCollectTrimmedLinesWithoutCommentsOrBlanks) {
  SetLines({"1;Before", "#5;remark after the id", "Line one", "* not part of it", "",
            "   Line two  ", "#", "6;After"});
  ASSERT_EQ(English.MemoEntries().size(), 1u);
  const TLanguageMemo& M = *English.MemoEntries()[0];
  EXPECT_EQ(M.GLID, 5);
  EXPECT_EQ(M.Line, 1);
  EXPECT_EQ(M.Lines.ToVector(), (std::vector<std::string>{"Line one", "Line two"}));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 6}));
}

TEST_F(LanguageTableTest, InsideAMemoEveryLineIsText) {
  // A string line or a memo start inside a block is just a line of the memo.
  SetLines({"#7", "12;not a string", "#8;not a memo", "#"});
  ASSERT_EQ(English.MemoEntries().size(), 1u);
  EXPECT_EQ(English.MemoEntries()[0]->GLID, 7);
  EXPECT_EQ(English.MemoEntries()[0]->Lines.ToVector(),
            (std::vector<std::string>{"12;not a string", "#8;not a memo"}));
  EXPECT_TRUE(English.StringEntries().empty());
}

TEST_F(LanguageTableTest, AMemoLeftOpenIsDropped) {
  SetLines({"1;One", "#9", "dangling"});
  EXPECT_TRUE(English.MemoEntries().empty());
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
}

TEST_F(LanguageTableTest, TextsLongerThanAShortStringAreCut) {
  SetLines({"52;" + std::string(300, 'x')});
  EXPECT_EQ(English.StringEntries()[0]->Text, std::string(255, 'x'));
}

TEST_F(LanguageTableTest, FormatErrorsNameTheLineIndexAndTheLine) {
  const std::string Format = "does not have the proper format of GLID;Text";
  struct Case {
    std::vector<std::string> Lines;
    std::string Message;
  } Cases[] = {
      {{"x;Text"}, "The 0'th string (x;Text) " + Format + " or .GLID;"},
      {{"1;ok", "  ;Text  "}, "The 1'th string (;Text) " + Format},
      {{"12;"}, "The 0'th string (12;) " + Format},
      {{"12"}, "The 0'th string (12) " + Format},
      {{"12;   ;more"}, "The 0'th string (12;   ;more) " + Format},
      {{"Just words"}, "The 0'th string (Just words) " + Format + " or .GLID;"},
      {{"#;memo without id"}, "The 0'th string (#;memo without id) " + Format},
      {{"1;a", "#x", "#"}, "The 1'th string (#x) " + Format + " or .GLID;"},
      {{"1;a", "", "* c", "#"}, "Found the end of memo marker # at line 3. Was not in a memo however"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(MessageOf(C.Lines), C.Message) << C.Lines.back();
    // Nothing of a faulty table is used, but its lines stay.
    EXPECT_TRUE(English.StringEntries().empty());
    EXPECT_TRUE(English.MemoEntries().empty());
    EXPECT_EQ(English.Strings()->Count(), static_cast<int>(C.Lines.size()));
  }
}

TEST_F(LanguageTableTest, EveryChangeOfTheLinesReadsTheTableAgain) {
  TLangFormatStrings& S = *English.Strings();
  S.Add("1;One");
  S.Add("2;Two");
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
  S.Insert(0, "0;Zero");
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(LineNumbers(), (std::vector<int>{0, 1, 2}));
  S.Move(0, 2);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 0}));
  S.SetStrings(1, "22;Twenty-two");
  EXPECT_EQ(English.FindString(22)->Text, "Twenty-two");
  EXPECT_EQ(English.FindString(2), nullptr);
  TStringList More;
  More.Add("3;Three");
  S.AddStrings(More);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 22, 0, 3}));
  S.Clear();
  EXPECT_TRUE(English.StringEntries().empty());
}

TEST_F(LanguageTableTest, AnErrorDiscardsTheEntriesUntilTheTableIsRight) {
  TLangFormatStrings& S = *English.Strings();
  S.Add("1;One");
  EXPECT_THROW(S.Add("oops"), IException);
  EXPECT_TRUE(English.StringEntries().empty());
  EXPECT_EQ(S.Count(), 2);
  S.Delete(1);
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
}

TEST_F(LanguageTableTest, DeleteRenumbersTheEntriesBelowTheDeletedLine) {
  SetLines({"1;One", "* comment", "2;Two", "#3", "memo", "#", "4;Four"});
  English.Strings()->Delete(1);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(LineNumbers(), (std::vector<int>{0, 1, 5}));
  ASSERT_EQ(English.MemoEntries().size(), 1u);
  EXPECT_EQ(English.MemoEntries()[0]->Line, 2);
  // The entry of a deleted string line goes with it.
  English.Strings()->Delete(1);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 4}));
  EXPECT_EQ(LineNumbers(), (std::vector<int>{0, 4}));
  EXPECT_EQ(English.FindString(2), nullptr);
}

TEST_F(LanguageTableTest, DeletingALineOfAMemoReadsTheMemoAgain) {
  SetLines({"#3", "first", "second", "#", "4;Four"});
  English.Strings()->Delete(1);
  ASSERT_EQ(English.MemoEntries().size(), 1u);
  EXPECT_EQ(English.MemoEntries()[0]->Lines.ToVector(), std::vector<std::string>{"second"});
  // Without its end marker the memo swallows the rest and is dropped.
  English.Strings()->Delete(2);
  EXPECT_TRUE(English.MemoEntries().empty());
  EXPECT_TRUE(English.StringEntries().empty());
}

TEST_F(LanguageTableTest, AssignAndLoadingReadTheTableOnceAfterTheWholeChange) {
  // Line by line, the first line alone would be an open memo and the lone
  // "#" would not be an error yet; the whole table reads the same.
  TMemoryStream M(std::string("#1\r\nmemo line\n#\r\n2;Two\r\n"));
  English.Strings()->LoadFromStream(M);
  EXPECT_EQ(English.Strings()->Count(), 4);
  EXPECT_EQ(Ids(), (std::vector<int>{2}));
  ASSERT_EQ(English.MemoEntries().size(), 1u);
  EXPECT_TRUE(English.AutoParse);

  TStringList Bad;
  Bad.Add("#");
  EXPECT_THROW(English.Strings()->Assign(Bad), IException);
  // The flag is back on after a failed assignment too.
  EXPECT_TRUE(English.AutoParse);
  EXPECT_THROW(English.Strings()->LoadFromFile("no such folder\\no such table.txt"), EFileError);
  EXPECT_TRUE(English.AutoParse);
}

TEST_F(LanguageTableTest, WithoutAutoParseTheEntriesWaitForParse) {
  English.AutoParse = false;
  English.Strings()->Add("1;One");
  EXPECT_TRUE(English.StringEntries().empty());
  English.Parse();
  EXPECT_EQ(Ids(), (std::vector<int>{1}));
}

TEST_F(LanguageTableTest, LookupsTakeTheFirstMatchInLineOrder) {
  SetLines({"5;Next >", "5;Second five", "6;NEXT >", "#2", "a", "#", "#2", "b", "#"});
  EXPECT_EQ(English.FindString(5)->Text, "Next >");
  EXPECT_EQ(English.FindText("next >")->GLID, 5);
  EXPECT_EQ(English.FindText("Missing"), nullptr);
  EXPECT_EQ(English.FindMemo(2)->Lines.ToVector(), std::vector<std::string>{"a"});
  EXPECT_EQ(English.FindMemoText("b\r\n")->Line, 6);
  EXPECT_EQ(English.FindMemoText("B\r\n"), nullptr);  // memos compare exactly
}

}  // namespace
