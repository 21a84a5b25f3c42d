#include <gtest/gtest.h>

#include "stream_test_support.h"

namespace streamtest {
namespace {

TEST_F(StreamTest, DefaultsAreNotWritten) {
  TTestRoot Root(nullptr);
  Root.SetName("Main");
  (new TTestItem(&Root))->SetName("A");
  EXPECT_EQ(ObjectBinaryToText(Save(&Root)),
            "object Main: TTestRoot\n"
            "  object A: TTestItem\n"
            "  end\n"
            "end\n");
}

TEST_F(StreamTest, ChangedValuesAreWrittenInDeclarationOrder) {
  TTestRoot Root(nullptr);
  Root.SetName("Main");
  auto* A = new TTestItem(&Root);
  A->SetName("A");
  auto* B = new TTestItem(&Root);
  B->SetName("B");
  B->SetParentComponent(A);
  A->UniqueID = 9;
  A->OnClick = [](TPersistent*) {};  // bound in code: has no name to store
  A->Link = B;
  A->Ratio = 0.5;
  A->Style = 1 << stItalic;
  A->Mode = mdFast;
  A->Title = std::string(256, 'q');
  A->Enabled = false;
  A->Count = 0;
  A->Info.Notes.Add("n");
  A->Info.Company = "C";
  A->Entries.Add()->Value = 1;
  auto* O = new TTestOther(&Root);
  O->SetName("O");
  O->Item = A;
  EXPECT_EQ(ObjectBinaryToText(Save(&Root)),
            "object Main: TTestRoot\n"
            "  object A: TTestItem\n"
            "    Count = 0\n"
            "    Enabled = False\n"
            "    Title = '" + std::string(64, 'q') + "' +\n"
            "      '" + std::string(64, 'q') + "' +\n"
            "      '" + std::string(64, 'q') + "' +\n"
            "      '" + std::string(64, 'q') + "'\n"
            "    Mode = mdFast\n"
            "    Style = [stItalic]\n"
            "    Ratio = 0.5\n"
            "    Info.Company = 'C'\n"
            "    Info.Notes.Strings = (\n"
            "      'n')\n"
            "    Entries = <\n"
            "      item\n"
            "        Value = 1\n"
            "      end>\n"
            "    Link = B\n"
            "    UniqueID = 9\n"
            "    object B: TTestItem\n"
            "    end\n"
            "  end\n"
            "  object O: TTestOther\n"
            "    Item = A\n"
            "    Required = nil\n"
            "  end\n"
            "end\n");
}

TEST_F(StreamTest, StringsOf256CharactersUseTheLongTag) {
  for (size_t Len : {1u, 255u, 256u, 1000u}) {
    TTestRoot Root(nullptr);
    Root.Title = std::string(Len, 'a');
    const std::string Bytes = Save(&Root);
    const size_t At = Bytes.find("Title") + 5;
    EXPECT_EQ(Bytes[At], Len >= 256 ? '\x0C' : '\x06') << Len;
    TTestRoot Copy(nullptr);
    Load(&Copy, Bytes);
    EXPECT_EQ(Copy.Title, Root.Title);
  }
}

TEST_F(StreamTest, IntegersUseTheSmallestTag) {
  struct {
    int Value;
    std::string Bytes;
  } const Cases[] = {
      {-128, std::string("\x02\x80", 2)},
      {127, std::string("\x02\x7F", 2)},
      {128, std::string("\x03\x80\x00", 3)},
      {-129, std::string("\x03\x7F\xFF", 3)},
      {32768, std::string("\x04\x00\x80\x00\x00", 5)},
      {-2147483647 - 1, std::string("\x04\x00\x00\x00\x80", 5)},
  };
  for (const auto& C : Cases) {
    TTestRoot Root(nullptr);
    Root.SetName("Main");
    Root.Size = C.Value;
    EXPECT_EQ(Save(&Root), RootWith(ShortStr("Size") + C.Bytes)) << C.Value;
  }
}

TEST_F(StreamTest, CanonicalStreamsRoundTripByteForByte) {
  const std::string Text = R"(object Main: TTestRoot
  Size = 100000
  Title = 'Main window'#13#10'second line'
  OnClick = ItemClick
  object Backdrop: TTestItem
    Ratio = 1e+20
    Lines.Strings = (
      'a'
      ''
      'c')
    Picture.Data = {
      07544269746D61700E000000424D0E0000000000000000000000}
    object Title: TTestItem
      Mode = mdSafe
      Link = Later
    end
  end
  object Later: TTestItem
    Size = -1
    Entries = <
      item
        Name = 'x'
        Target = Backdrop
      end
      item
        Value = -70000
      end>
    OnClick = ItemClick
    UniqueID = 3
  end
end
)";
  const std::string Bytes = ObjectTextToBinary(Text);
  TTestRoot Root(nullptr);
  Load(&Root, Bytes);
  EXPECT_EQ(Save(&Root), Bytes);
  EXPECT_EQ(ObjectBinaryToText(Save(&Root)), Text);
}

TEST_F(StreamTest, ReferencesOutsideTheStreamCannotBeWritten) {
  TTestRoot Root(nullptr);
  TTestItem Stranger(nullptr);
  Stranger.SetName("Stranger");
  Root.Link = &Stranger;
  EXPECT_THROW(Save(&Root), EWriteError);
}

}  // namespace
}  // namespace streamtest
