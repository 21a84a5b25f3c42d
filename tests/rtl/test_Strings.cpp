#include <gtest/gtest.h>

#include "rtl/routines_Strings.h"

namespace {

struct UnaryCase {
  const char* In;
  const char* Out;
};

void ExpectUnary(std::string (*Fn)(const std::string&), const char* Name,
                 std::initializer_list<UnaryCase> Cases) {
  for (const UnaryCase& C : Cases) EXPECT_EQ(Fn(C.In), C.Out) << Name << "(\"" << C.In << "\")";
}

TEST(Strings, BackslashHelpers) {
  ExpectUnary(AddBackslash, "AddBackslash",
              {{"", ""}, {"C:", "C:\\"}, {"C:\\", "C:\\"}, {"C:\\Dir", "C:\\Dir\\"}, {"\\", "\\"}});
  ExpectUnary(RemoveBackslash, "RemoveBackslash",
              {{"", ""}, {"C:\\", "C:"}, {"C:\\Dir\\", "C:\\Dir"}, {"C:\\Dir", "C:\\Dir"},
               {"\\\\", "\\"}, {"\\", ""}});
}

TEST(Strings, FileNameParts) {
  ExpectUnary(ExtractFilePath, "ExtractFilePath",
              {{"C:\\Dir\\a.txt", "C:\\Dir\\"}, {"a.txt", ""}, {"C:a.txt", "C:"}, {"C:\\", "C:\\"}});
  ExpectUnary(ExtractFileDir, "ExtractFileDir",
              {{"C:\\Dir\\a.txt", "C:\\Dir"}, {"C:\\a.txt", "C:\\"}, {"\\a.txt", "\\"}, {"a.txt", ""}});
  ExpectUnary(ExtractFileName, "ExtractFileName",
              {{"C:\\Dir\\a.txt", "a.txt"}, {"a.txt", "a.txt"}, {"C:\\Dir\\", ""}, {"C:b", "b"}});
  ExpectUnary(ExtractFileExt, "ExtractFileExt",
              {{"C:\\Dir\\a.txt", ".txt"}, {"C:\\D.ir\\a", ""}, {"a.tar.gz", ".gz"}, {"a.", "."}});
  ExpectUnary(ExtractFileDrive, "ExtractFileDrive",
              {{"C:\\Dir\\a", "C:"}, {"\\\\srv\\share\\dir", "\\\\srv\\share"}, {"\\\\srv\\share", "\\\\srv\\share"},
               {"\\\\srv", "\\\\srv"}, {"\\Dir", ""}, {"", ""}});
  EXPECT_EQ(ChangeFileExt("C:\\T\\bat1.tmp", ".bat"), "C:\\T\\bat1.bat");
  EXPECT_EQ(ChangeFileExt("C:\\T.d\\bat1", ".bat"), "C:\\T.d\\bat1.bat");
  EXPECT_EQ(ChangeFileExt("setup.exe", ""), "setup");
}

TEST(Strings, MakeValidFileName) {
  ExpectUnary(MakeValidFileName, "MakeValidFileName",
              {{"ftp://host/dir", "ftp--host-dir"},
               {"a\"b*c:d;e<f>g?h\\i|j", "abcdefghij"},
               {"plain name.txt", "plain name.txt"},
               {"", ""},
               {"\xe4\xf6-\xfc", "\xe4\xf6-\xfc"}});
}

TEST(Strings, FieldsTable) {
  struct Case {
    const char* S;
    int N;
    const char* Field;
  };
  const Case Cases[] = {
      {"a;b;c", 1, "a"}, {"a;b;c", 2, "b"}, {"a;b;c", 3, "c"}, {"a;b;c", 4, ""},
      {"a;b", 4, ""},    {"a;b", 0, ""},    {"a;b", -1, ""},   {"", 1, ""},
      {";x", 1, ""},     {";x", 2, "x"},    {"a;;b", 2, ""},   {"a;;b", 3, "b"},
      {"a;b;", 3, ""},
  };
  for (const Case& C : Cases) EXPECT_EQ(GetField(C.S, C.N, ';'), C.Field) << C.S << " #" << C.N;

  struct CountCase {
    const char* S;
    int Count;
  };
  const CountCase Counts[] = {{"", 0}, {"a", 1}, {"a;b", 2}, {"a;b;", 2}, {";", 1}, {";;", 2}, {"a;;b", 3}};
  for (const CountCase& C : Counts) EXPECT_EQ(FieldCount(C.S, ';'), C.Count) << C.S;
}

TEST(Strings, OtherSeparatorsEndTheSameWay) {
  // A trailing separator closes the last field whatever the separator is.
  EXPECT_EQ(FieldCount("a,b,", ','), 2);
  EXPECT_EQ(FieldCount("a,b;", ','), 2);
  EXPECT_EQ(GetField("a,b;", 2, ','), "b;");
}

TEST(Strings, SplitToList) {
  TStringList L;
  L.Add("stale");
  SplitToList("C:\\BDE;D:\\BDE2;", ';', L);
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"C:\\BDE", "D:\\BDE2"}));
  SplitToList("a;;b", ';', L);
  EXPECT_EQ(L.ToVector(), (std::vector<std::string>{"a", "", "b"}));
  SplitToList("", ';', L);
  EXPECT_EQ(L.Count(), 0);
  // The list always agrees with FieldCount and GetField.
  for (const char* S : {"x", ";", "a;b;c;", ";a;;"}) {
    SplitToList(S, ';', L);
    ASSERT_EQ(L.Count(), FieldCount(S, ';')) << S;
    for (int i = 0; i < L.Count(); ++i) EXPECT_EQ(L[i], GetField(S, i + 1, ';')) << S << " #" << i;
  }
}

TEST(Strings, TextAfterColon) {
  ExpectUnary(TextAfterColon, "TextAfterColon",
              {{"Name:Value", "Value"}, {"a:b:c", "b:c"}, {"none", "none"}, {":", ""}, {"x:", ""}});
}

TEST(Strings, Trim) {
  ExpectUnary(Trim, "Trim", {{"  a b \t\r\n", "a b"}, {"", ""}, {" \t ", ""}, {"\xa0x\xa0", "\xa0x\xa0"}});
  ExpectUnary(TrimLeft, "TrimLeft", {{"  a ", "a "}});
  ExpectUnary(TrimRight, "TrimRight", {{"  a ", "  a"}});
}

TEST(Strings, StrToInt) {
  struct Case {
    const char* S;
    bool Ok;
    int32_t V;
  };
  const Case Cases[] = {
      {"0", true, 0},           {"1", true, 1},           {"-17", true, -17},
      {"+5", true, 5},          {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"99999999999999999999", false, 0},
      {"", false, 0},           {"-", false, 0},          {"x", false, 0},
      {"1x", false, 0},         {" 1", false, 0},         {"1 ", false, 0},
  };
  for (const Case& C : Cases) {
    int32_t V = 12345;
    EXPECT_EQ(TryStrToInt(C.S, V), C.Ok) << C.S;
    if (C.Ok) {
      EXPECT_EQ(V, C.V) << C.S;
    }
  }
  EXPECT_EQ(StrToIntDef("x", -3), -3);
  EXPECT_EQ(StrToIntDef("42", -3), 42);
}

}  // namespace
