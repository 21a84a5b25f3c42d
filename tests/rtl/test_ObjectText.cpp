#include <gtest/gtest.h>

#include <cmath>

#include "rtl/cmp_TStream.h"
#include "rtl/routines_ObjectText.h"
#include "stream_test_support.h"

namespace streamtest {
namespace {

std::string Header(const std::string& Class, const std::string& Name) {
  return "TPF0" + ShortStr(Class) + ShortStr(Name);
}

std::string OneValue(const std::string& Value) {
  return ObjectTextToBinary("object A: T\n  P = " + Value + "\nend");
}

std::string OneValueBytes(const std::string& Tagged) {
  return Header("T", "A") + ShortStr("P") + Tagged + std::string(2, '\0');
}

TEST(ObjectText, ValuesAndTheirBinaryForm) {
  struct {
    const char* Text;
    std::string Bytes;
  } const Cases[] = {
      {"0", std::string("\x02\x00", 2)},
      {"-128", std::string("\x02\x80", 2)},
      {"200", std::string("\x03\xC8\x00", 3)},
      {"$FF", std::string("\x03\xFF\x00", 3)},
      {"$8000000F", std::string("\x04\x0F\x00\x00\x80", 5)},
      {"-2147483648", std::string("\x04\x00\x00\x00\x80", 5)},
      {"1.0", std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 11)},
      {"1E0", std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 11)},
      {"-2.0", std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x80\x00\xC0", 11)},
      {"1.5s", std::string("\x0F\x00\x00\xC0\x3F", 5)},
      {"1.5c", std::string("\x10\x98\x3A\x00\x00\x00\x00\x00\x00", 9)},
      {"-0.0001c", std::string("\x10\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 9)},
      {"2d", std::string("\x11\x00\x00\x00\x00\x00\x00\x00\x40", 9)},
      {"'a''b'", "\x06\x03" "a'b"},
      {"''", std::string("\x06\x00", 2)},
      {"'a'#13#10'b'", "\x06\x04" "a\r\nb"},
      {"#$41'B' +\n   'C'", "\x06\x03" "ABC"},
      {"#233", "\x06\x01\xE9"},
      {"#1055'x'", std::string("\x12\x02\x00\x00\x00\x1F\x04x\x00", 9)},
      {"dmReboot", "\x07\x08" "dmReboot"},
      {"Form1.Button1", "\x07\x0D" "Form1.Button1"},
      {"True", "\x09"},
      {"false", "\x08"},
      {"nil", "\x0D"},
      {"[]", std::string("\x0B\x00", 2)},
      {"[fsBold, fsItalic]", std::string("\x0B\x06" "fsBold" "\x08" "fsItalic" "\x00", 18)},
      {"()", std::string("\x01\x00", 2)},
      {"('a' 1 (2))", std::string("\x01\x06\x01" "a" "\x02\x01\x01\x02\x02\x00\x00", 11)},
      {"{}", std::string("\x0A\x00\x00\x00\x00", 5)},
      {"{ 0a0B\n ff }", std::string("\x0A\x03\x00\x00\x00\x0A\x0B\xFF", 8)},
      {"<>", std::string("\x0E\x00", 2)},
      {"<item end item [5] Q = 1 end>",
       std::string("\x0E\x01\x00\x02\x05\x01\x01Q\x02\x01\x00\x00", 12)},
  };
  for (const auto& C : Cases) EXPECT_EQ(OneValue(C.Text), OneValueBytes(C.Bytes)) << C.Text;

  const std::string Long(256, 'z');
  EXPECT_EQ(OneValue("'" + Long + "'"), OneValueBytes(std::string("\x0C\x00\x01\x00\x00", 5) + Long));
}

TEST(ObjectText, ObjectHeadersAndNesting) {
  EXPECT_EQ(ObjectTextToBinary("object TForm1\nend"), Header("TForm1", "") + std::string(2, '\0'));
  EXPECT_EQ(ObjectTextToBinary("OBJECT F: TForm1 // comment\n  inherited B: TB [3]\n  end\n"
                               "  inline C: TC\n  end\nEnd"),
            Header("TForm1", "F") + std::string(1, '\0') + "\xF3\x02\x03" + ShortStr("TB") +
                ShortStr("B") + std::string(2, '\0') + "\xF4" + ShortStr("TC") + ShortStr("C") +
                std::string(3, '\0'));
  // A class name whose length byte would read as a prefix gets an empty one.
  const std::string LongClass = "T" + std::string(240, 'x');
  const std::string Bytes = ObjectTextToBinary("object " + LongClass + "\nend");
  EXPECT_EQ(Bytes, "TPF0\xF0" + ShortStr(LongClass) + ShortStr("") + std::string(2, '\0'));
  EXPECT_EQ(ObjectBinaryToText(Bytes), "object " + LongClass + "\nend\n");
}

TEST(ObjectText, ParseErrorsNameTheLine) {
  struct {
    const char* Text;
    const char* Message;
  } const Cases[] = {
      {"", "Line 1: 'object' expected"},
      {"thing A: T\nend", "Line 1: 'object' expected"},
      {"object A: T\n  P = 'abc\nend", "Line 2: Unterminated string"},
      // Named at the last line of text, and at the header that lacks its colon.
      {"object A: T\n  P = 1\n", "Line 2: 'end' expected"},
      {"object A T\n  P = 1\nend", "Line 1: ':' expected"},
      {"object A: T\n\n  P 1\nend", "Line 3: '=' expected"},
      {"object A: T\n  P = 2147483648\nend", "Line 2: Integer out of range"},
      {"object A: T\n  P = $123456789\nend", "Line 2: Integer out of range"},
      {"object A: T\n  P = 12abc\nend", "Line 2: Invalid number"},
      {"object A: T\n  P = 1e999\nend", "Line 2: Invalid floating point value"},
      {"object A: T\n  P = 1e999c\nend", "Line 2: Invalid floating point value"},
      {"object A: T\n  P = 99999999999999999c\nend", "Line 2: Currency value out of range"},
      {"object A: T\n  P = {\n  0g}\nend", "Line 3: Invalid binary value"},
      {"object A: T\n  P = {012}\nend", "Line 2: Invalid binary value"},
      {"object A: T\n  P = {01\n", "Line 3: '}' expected"},
      {"object A: T\n  P = ('a'\n", "Line 3: ')' expected"},
      {"object A: T\n  P = <\n  thing>\nend", "Line 3: 'item' expected"},
      {"object A: T\n  P = [a b]\nend", "Line 2: ']' expected"},
      {"object A: T\n  P = #\nend", "Line 2: Invalid character code"},
      {"object A: T\n  P = #65536\nend", "Line 2: Invalid character code"},
      {"object A: T\n  P = 'a' +\n  x\nend", "Line 3: String expected"},
      {"object A: T\n  P = ?\nend", "Line 2: Invalid property value"},
      {"object A: T\n  P =", "Line 2: Unexpected end of file"},
      {"object A: T\nend\nobject B: T\nend", "Line 3: End of file expected"},
      {"object A: T [x]\nend", "Line 1: Number expected"},
      {"object A: T [1.5]\nend", "Line 1: Integer expected"},
  };
  for (const auto& C : Cases) {
    try {
      ObjectTextToBinary(C.Text);
      ADD_FAILURE() << C.Text;
    } catch (const EParserError& E) {
      EXPECT_EQ(E.Message(), C.Message) << C.Text;
    }
  }
  const std::string LongName(256, 'n');
  EXPECT_THROW(ObjectTextToBinary("object A: T\n  " + LongName + " = 1\nend"), EParserError);
  std::string Deep = "object A: T\n  P = ";
  for (int i = 0; i < 500; ++i) Deep += "(";
  EXPECT_THROW(ObjectTextToBinary(Deep), EParserError);
}

TEST(ObjectText, PrinterOutputIsStable) {
  const std::string Text = R"(object Form1: TForm1
  Caption = 'It''s'#9'tabbed'#13#10#233#1055
  Huge = 1e+20
  Small = 1.25e-07
  Whole = 3.0
  Neg = -0.0
  S = 0.1s
  C = -12.3456c
  C2 = 5.0c
  D = 36526.5d
  Flags = [a, b]
  Lines.Strings = (
    'one'
    (
      1
      2)
    ())
  Entries = <
    item [2]
      A = 1
    end
    item
    end>
  Data = {
    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
    20}
  object Child: TChild [1]
    inline Frame: TFrame
    end
  end
  inherited Old: TOld
  end
end
)";
  const std::string Bytes = ObjectTextToBinary(Text);
  EXPECT_EQ(ObjectBinaryToText(Bytes), Text);
  EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(Bytes)), Bytes);
}

TEST(ObjectText, OffsetMapPointsAtRecordsEntriesAndItems) {
  TOffsetLines Lines;
  const std::string Bytes = ObjectTextToBinary(
      "object A: T\n  P = 1\n  Q = <\n    item\n      R = 2\n    end>\n  object B: T\n  end\nend",
      &Lines);
  std::vector<int> LineNumbers;
  for (auto& E : Lines) LineNumbers.push_back(E.second);
  EXPECT_EQ(LineNumbers, (std::vector<int>{1, 2, 3, 4, 5, 7}));
  for (size_t i = 1; i < Lines.size(); ++i) EXPECT_LT(Lines[i - 1].first, Lines[i].first);
  EXPECT_EQ(Bytes.substr(Lines[1].first, 2), "\x01P");
  EXPECT_EQ(TextLineOfOffset(Lines, static_cast<int64_t>(Lines[1].first) + 2), 2);
  EXPECT_EQ(TextLineOfOffset(Lines, -1), 0);
}

TEST(ObjectText, MalformedBinaryIsRefused) {
  struct {
    std::string Bytes;
    const char* Message;
  } const Cases[] = {
      {"TPF1", "Invalid stream format"},
      {Header("T", "A"), "Stream read error"},
      {OneValueBytes("\x63"), "Invalid property value"},
      {OneValueBytes(std::string("\x0C\x10\x00\x00\x00" "ab", 7)), "Stream read error"},
      {Header("T", "bad name") + std::string(2, '\0'), "Invalid stream format"},
      {Header("T", "A") + ShortStr("P.") + "\x09" + std::string(2, '\0'), "Invalid stream format"},
      {OneValueBytes("\x07\x03" "a b"), "Invalid stream format"},
      {OneValueBytes(std::string("\x05\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\x7F", 11)),
       "Invalid floating point value"},
  };
  for (const auto& C : Cases) {
    try {
      ObjectBinaryToText(C.Bytes);
      ADD_FAILURE() << C.Message;
    } catch (const EReadError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
}

}  // namespace
}  // namespace streamtest
