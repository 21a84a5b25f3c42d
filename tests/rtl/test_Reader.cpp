#include <gtest/gtest.h>

#include "stream_test_support.h"

namespace streamtest {
namespace {

using Log = std::vector<std::string>;

TEST_F(StreamTest, ForwardReferenceResolvesWithItsSetterBeforeAnyLoaded) {
  TTestRoot Root(nullptr);
  LoadText(&Root, R"(
object Main: TTestRoot
  object A: TTestItem
    Link = B
  end
  object B: TTestItem
    Link = Main
  end
end)");
  auto* A = static_cast<TTestItem*>(Root.FindComponent("A"));
  auto* B = static_cast<TTestItem*>(Root.FindComponent("B"));
  ASSERT_TRUE(A && B);
  EXPECT_EQ(A->Link, B);
  EXPECT_EQ(B->Link, &Root);
  EXPECT_TRUE(A->LoadingWhenLinked);
  EXPECT_EQ(StreamLog(), (Log{"SetLink A=B", "SetLink B=Main", "Loaded Main", "Loaded A", "Loaded B"}));
  EXPECT_FALSE(Root.IsLoading());
  EXPECT_FALSE(A->HasState(csReading));
}

TEST_F(StreamTest, NestedChildIsLoadedBeforeItsParentAndTheRootFirst) {
  TTestRoot Root(nullptr);
  LoadText(&Root, R"(
object Main: TTestRoot
  object Backdrop: TTestItem
    object Title: TTestItem
    end
    object Subtitle: TTestItem [0]
    end
  end
  object Other: TTestItem
  end
end)");
  EXPECT_EQ(StreamLog(), (Log{"Loaded Main", "Loaded Title", "Loaded Subtitle", "Loaded Backdrop",
                              "Loaded Other"}));
  auto* Backdrop = static_cast<TTestItem*>(Root.FindComponent("Backdrop"));
  auto* Title = static_cast<TTestItem*>(Root.FindComponent("Title"));
  auto* Subtitle = static_cast<TTestItem*>(Root.FindComponent("Subtitle"));
  // Everything is owned by the root; nesting gives the parent, the child
  // position the order among the parent's children.
  EXPECT_EQ(Title->Owner(), &Root);
  EXPECT_EQ(Title->Parent, Backdrop);
  EXPECT_EQ(Backdrop->Parent, &Root);
  EXPECT_EQ(Backdrop->Children, (std::vector<TTestItem*>{Subtitle, Title}));
}

TEST_F(StreamTest, IntegerTagsAreSignExtended) {
  struct {
    std::string Data;
    int Expected;
  } const Cases[] = {
      {std::string("\x02\xFF", 2), -1},
      {std::string("\x02\x7F", 2), 127},
      {std::string("\x03\x00\x80", 3), -32768},
      {std::string("\x03\xFF\x7F", 3), 32767},
      {std::string("\x04\xFF\xFF\xFF\x7F", 5), 2147483647},
      {std::string("\x04\x00\x00\x00\x80", 5), -2147483647 - 1},
  };
  for (const auto& C : Cases) {
    TTestRoot Root(nullptr);
    Load(&Root, RootWith(ShortStr("Size") + C.Data));
    EXPECT_EQ(Root.Size, C.Expected);
  }
}

TEST_F(StreamTest, StringsComeFromShortLongAndWideTags) {
  const std::string Long(300, 'x');
  auto U32 = [](uint32_t N) { return std::string{char(N), char(N >> 8), char(N >> 16), char(N >> 24)}; };
  struct {
    std::string Data;
    std::string Expected;
  } const Cases[] = {
      {"\x06" + ShortStr("short"), "short"},
      {"\x0C" + U32(300) + Long, Long},
      {"\x0C" + U32(3) + "abc", "abc"},
      // UTF-16: e-acute stays, a Cyrillic letter and a surrogate pair become '?'.
      {"\x12" + U32(5) + std::string("\xE9\x00\x1F\x04\x3D\xD8\x00\xDE\x41\x00", 10), "\xE9??A"},
  };
  for (const auto& C : Cases) {
    TTestRoot Root(nullptr);
    Load(&Root, RootWith(ShortStr("Title") + C.Data));
    EXPECT_EQ(Root.Title, C.Expected);
  }
}

TEST_F(StreamTest, EveryPropertyKindIsApplied) {
  TTestRoot Root(nullptr);
  LoadText(&Root, R"(
object Main: TTestRoot
  object A: TTestItem
    Size = -7
    Count = 0
    Enabled = False
    Title = 'Hello'
    Mode = mdSafe
    Style = [stBold, stUnderline]
    Ratio = 0.25
    Info.Company = 'ACME'
    Info.Version = 3
    Info.Notes.Strings = (
      'first'
      'second')
    Lines.Strings = (
      'x')
    Entries = <
      item
        Name = 'one'
        Target = Main
      end
      item
        Value = 2
      end>
    OnClick = ItemClick
    UniqueID = 42
  end
end)");
  auto* A = static_cast<TTestItem*>(Root.FindComponent("A"));
  ASSERT_NE(A, nullptr);
  EXPECT_EQ(A->Size, -7);
  EXPECT_EQ(A->Count, 0);
  EXPECT_FALSE(A->Enabled);
  EXPECT_EQ(A->Title, "Hello");
  EXPECT_EQ(A->Mode, mdSafe);
  EXPECT_EQ(A->Style, (1 << stBold) | (1 << stUnderline));
  EXPECT_EQ(A->Ratio, 0.25);
  EXPECT_EQ(A->Info.Company, "ACME");
  EXPECT_EQ(A->Info.Version, 3);
  EXPECT_EQ(A->Info.Notes.ToVector(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(A->Lines.ToVector(), (std::vector<std::string>{"x"}));
  ASSERT_EQ(A->Entries.Count(), 2);
  EXPECT_EQ(A->Entries.Items(0)->Name, "one");
  EXPECT_EQ(A->Entries.Items(0)->Target, &Root);
  EXPECT_EQ(A->Entries.Items(1)->Value, 2);
  EXPECT_EQ(A->UniqueID, 42);
  ASSERT_TRUE(A->OnClick);
  EXPECT_EQ(A->OnClick.MethodName, "ItemClick");
  A->OnClick(A);
  EXPECT_EQ(Root.Clicks, 1);
}

TEST_F(StreamTest, FloatPropertiesAcceptEveryNumericTag) {
  struct {
    const char* Text;
    double Expected;
  } const Cases[] = {{"1.5", 1.5}, {"2.5s", 2.5}, {"3.25c", 3.25}, {"36526.5d", 36526.5}, {"-4", -4}};
  for (const auto& C : Cases) {
    TTestRoot Root(nullptr);
    LoadText(&Root, std::string("object Main: TTestRoot\n Ratio = ") + C.Text + "\nend");
    EXPECT_EQ(Root.Ratio, C.Expected) << C.Text;
  }
}

TEST_F(StreamTest, CollectionItemOrderValuesReadTheSameAsNone) {
  const char* Plain = "object Main: TTestRoot\n Entries = <\n item\n Name = 'a'\n end\n item\n Name = 'b'\n end>\nend";
  const char* Ordered = "object Main: TTestRoot\n Entries = <\n item [7]\n Name = 'a'\n end\n item [-300]\n Name = 'b'\n end>\nend";
  TTestRoot R1(nullptr), R2(nullptr);
  LoadText(&R1, Plain);
  LoadText(&R2, Ordered);
  ASSERT_EQ(R2.Entries.Count(), 2);
  EXPECT_EQ(R2.Entries.Items(0)->Name, "a");
  EXPECT_EQ(R2.Entries.Items(1)->Name, "b");
  EXPECT_EQ(Save(&R1), Save(&R2));
}

TEST_F(StreamTest, BitmapDataBlockIsClassNameCountAndFile) {
  std::string Bmp(68494, '\x5A');
  Bmp[0] = 'B';
  Bmp[1] = 'M';
  TTestRoot Root(nullptr);
  Root.SetName("Main");
  Root.Picture.SetBitmap(Bmp);
  const std::string Bytes = Save(&Root);

  TMemoryStream S(Bytes);
  TReader R(S);
  R.ReadSignature();
  R.ReadStr();
  R.ReadStr();
  EXPECT_EQ(R.ReadStr(), "Picture.Data");
  const std::string Block = R.ReadBinary();
  ASSERT_EQ(Block.size(), 68506u);
  EXPECT_EQ(Block.substr(0, 8), "\x07TBitmap");
  EXPECT_EQ(Block.substr(8, 4), std::string("\x8E\x0B\x01\x00", 4));
  EXPECT_EQ(Block.substr(12), Bmp);

  TTestRoot Copy(nullptr);
  Load(&Copy, Bytes);
  EXPECT_EQ(Copy.Picture.GraphicClassName(), "TBitmap");
  EXPECT_EQ(Copy.Picture.Data(), Bmp);
}

TEST_F(StreamTest, InheritedRecordsUpdateExistingComponents) {
  TTestRoot Root(nullptr);
  auto* Old = new TTestItem(&Root);
  Old->SetName("Old");
  LoadText(&Root, "object Main: TTestRoot\n inherited Old: TTestItem\n Size = 3\n end\nend");
  EXPECT_EQ(Root.ComponentCount(), 1);
  EXPECT_EQ(Old->Size, 3);
  EXPECT_EQ(StreamLog(), (Log{"Loaded Main", "Loaded Old"}));
}

TEST_F(StreamTest, RootTakesTheStreamNameMadeUniqueAmongItsOwner) {
  TComponent App(nullptr);
  (new TComponent(&App))->SetName("Main");
  auto* Root = new TTestRoot(&App);
  LoadText(Root, "object Main: TTestRoot\nend");
  EXPECT_EQ(Root->Name(), "Main_1");
}

// A failing stream leaves no component behind and calls no Loaded.
struct TFailCase {
  const char* Text;
  const char* Message;
};

const TFailCase FailCases[] = {
    {"object Main: TTestRoot\n object A: TNope\n end\nend", "Class TNope not found"},
    {"object Main: TTestRoot\n object A: TTestItem\n end\n object a: TTestItem\n end\nend",
     "A component named a already exists"},
    {"object Main: TTestRoot\n object A: TTestItem\n Nope = 1\n end\nend",
     "Error reading A.Nope: Property does not exist"},
    {"object Main: TTestRoot\n object A: TTestItem\n Nope.X = 1\n end\nend",
     "Error reading A.Nope.X: Property does not exist"},
    {"object Main: TTestRoot\n object A: TTestItem\n Size.X = 1\n end\nend",
     "Error reading A.Size.X: Invalid property path"},
    {"object Main: TTestRoot\n object A: TTestItem\n Link.Size = 1\n end\nend",
     "Error reading A.Link.Size: Invalid property path"},
    {"object Main: TTestRoot\n Info.Nope = 1\nend", "Error reading Main.Info.Nope: Property does not exist"},
    {"object Main: TTestRoot\n Size = 'x'\nend", "Error reading Main.Size: Invalid property value"},
    {"object Main: TTestRoot\n Size = 1.5\nend", "Error reading Main.Size: Invalid property value"},
    {"object Main: TTestRoot\n Title = 5\nend", "Error reading Main.Title: Invalid property value"},
    {"object Main: TTestRoot\n Enabled = 1\nend", "Error reading Main.Enabled: Invalid property value"},
    // A wrong enumerator is named, with the ones the type has.
    {"object Main: TTestRoot\n Mode = mdWrong\nend",
     "Error reading Main.Mode: Invalid property value mdWrong (valid: mdNone, mdFast, mdSafe)"},
    {"object Main: TTestRoot\n Style = [stBold, stNope]\nend",
     "Error reading Main.Style: Invalid property value stNope (valid: stBold, stItalic, stUnderline)"},
    {"object Main: TTestRoot\n Ratio = 'x'\nend", "Error reading Main.Ratio: Invalid property value"},
    {"object Main: TTestRoot\n OnClick = NoSuchMethod\nend", "Error reading Main.OnClick: Invalid property value"},
    {"object Main: TTestRoot\n Lines = 1\nend", "Error reading Main.Lines: Invalid property value"},
    {"object Main: TTestRoot\n Lines.Strings = (1)\nend", "Error reading Main.Lines.Strings: Invalid property value"},
    {"object Main: TTestRoot\n Entries = (1)\nend", "Error reading Main.Entries: Invalid property value"},
    {"object Main: TTestRoot\n Picture.Data = {0554}\nend", "Error reading Main.Picture.Data: Stream read error"},
    {"object Main: TTestRoot\n Picture.Data = {07544269746D617001000000}\nend",
     "Error reading Main.Picture.Data: Bitmap image is not valid"},
    {"object Main: TTestRoot\n Entries = <\n item\n Name = 'a'\n end\n item\n Nope = 1\n end>\nend",
     "Error reading Main.Entries[1].Nope: Property does not exist"},
    {"object Main: TTestRoot\n object A: TTestItem\n Link = Nowhere\n end\nend",
     "Error reading A.Link: Unresolved reference to Nowhere"},
    {"object Main: TTestRoot\n object O: TTestOther\n Item = P\n end\n object P: TTestOther\n end\nend",
     "Error reading O.Item: Invalid property value"},
    {"object Main: TTestRoot\n inherited X: TTestItem\n end\nend", "Ancestor for 'X' not found"},
};

TEST_F(StreamTest, FailuresReportTheirMessageAndUndoTheRead) {
  for (const TFailCase& C : FailCases) {
    TTestRoot Root(nullptr);
    StreamLog().clear();
    try {
      LoadText(&Root, C.Text);
      ADD_FAILURE() << "no failure for: " << C.Text;
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message(), C.Message) << C.Text;
    }
    EXPECT_EQ(Root.ComponentCount(), 0) << C.Text;
    EXPECT_FALSE(Root.IsLoading()) << C.Text;
    for (const std::string& L : StreamLog()) EXPECT_EQ(L.find("Loaded"), std::string::npos) << C.Text;
  }
}

TEST_F(StreamTest, FailureClassesAreTheStreamErrors) {
  TTestRoot Root(nullptr);
  EXPECT_THROW(LoadText(&Root, "object Main: TTestRoot\n object A: TNope\n end\nend"), EClassNotFound);
  EXPECT_THROW(LoadText(&Root, "object Main: TTestRoot\n Nope = 1\nend"), EReadError);
}

TEST_F(StreamTest, BadSignatureAndTruncation) {
  TTestRoot Root(nullptr);
  struct {
    std::string Data;
    const char* Message;
  } const Cases[] = {
      {"", "Invalid stream format"},
      {"TPF", "Invalid stream format"},
      {"TPF1" + ShortStr("TTestRoot") + ShortStr("Main") + std::string(2, '\0'), "Invalid stream format"},
      {"TPF0" + ShortStr("TTestRoot"), "Stream read error"},
      {"TPF0" + ShortStr("TTestRoot") + ShortStr("Main"), "Stream read error"},
      {"TPF0" + ShortStr("TTestRoot") + ShortStr("Main") + ShortStr("Size") + "\x04\x01",
       "Error reading Main.Size: Stream read error"},
      {"TPF0" + ShortStr("TTestRoot") + ShortStr("Main") + ShortStr("Title") + std::string("\x0C\xFF\xFF\xFF\x7F" "abc"),
       "Error reading Main.Title: Stream read error"},
      {RootWith(ShortStr("Size") + "\x63"), "Error reading Main.Size: Invalid property value"},
  };
  for (const auto& C : Cases) {
    try {
      Load(&Root, C.Data);
      ADD_FAILURE() << C.Message;
    } catch (const EReadError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
}

TEST_F(StreamTest, ExcessiveNestingIsRefused) {
  std::string Data = "TPF0" + ShortStr("TTestRoot") + ShortStr("Main") + std::string(1, '\0');
  for (int i = 0; i < 1000; ++i) Data += ShortStr("TTestItem") + ShortStr("") + std::string(1, '\0');
  TTestRoot Root(nullptr);
  try {
    Load(&Root, Data);
    FAIL();
  } catch (const EReadError& E) {
    EXPECT_EQ(E.Message(), "Invalid stream format");
  }
  EXPECT_EQ(Root.ComponentCount(), 0);
}

TEST_F(StreamTest, FailureOffsetLeadsBackToTheTextLine) {
  struct {
    const char* Text;
    int Line;
  } const Cases[] = {
      {"object Main: TTestRoot\n  Size = 1\n  object A: TTestItem\n    Title = 'x'\n    Size = 'bad'\n  end\nend", 5},
      {"object Main: TTestRoot\n  object A: TTestItem\n    Link = Gone\n    Size = 2\n  end\nend", 3},
      {"object Main: TTestRoot\n  Size = 1\n  object A: TMissing\n  end\nend", 3},
      {"object Main: TTestRoot\n  Entries = <\n    item\n      Name = 'a'\n      Value = 'b'\n    end>\nend", 5},
  };
  for (const auto& C : Cases) {
    TOffsetLines Lines;
    TMemoryStream S(ObjectTextToBinary(C.Text, &Lines));
    TTestRoot Root(nullptr);
    int64_t Offset = -1;
    EXPECT_THROW(ReadRootComponent(S, &Root, &Offset), Exception);
    EXPECT_EQ(TextLineOfOffset(Lines, Offset), C.Line) << C.Text;
  }
}

TEST_F(StreamTest, ReplacingACollectionDropsReferencesOfTheOldItems) {
  TTestRoot Root(nullptr);
  LoadText(&Root, R"(
object Main: TTestRoot
  Entries = <
    item
      Target = Gone
    end>
  Entries = <
    item
      Target = Main
    end>
end)");
  ASSERT_EQ(Root.Entries.Count(), 1);
  EXPECT_EQ(Root.Entries.Items(0)->Target, &Root);
}

}  // namespace
}  // namespace streamtest
