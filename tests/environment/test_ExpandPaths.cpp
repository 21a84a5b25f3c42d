#include <gtest/gtest.h>

#include <map>

#include "environment/routines_API.h"
#include "environment/routines_ExpandPaths.h"
#include "rtl/cmp_TComponent.h"
#include "rtl/exceptions_Quorvane.h"

namespace {

std::string Expand(const std::string& Text, TComponent* Link = nullptr) {
  std::string R;
  ExpandMetaVariables(Text, Link, R);
  return R;
}

// Install objects stand-ins: plain components whose destination folders
// and containers the hooks look up in tables.
class MetaVariables : public ::testing::Test {
 protected:
  void SetUp() override {
    FSaved = MetaVariableHooks();
    TMetaVariableHooks H;
    H.DestPath = [this](TComponent* C) { return FDest.at(C); };
    H.Container = [this](TComponent* C) {
      auto It = FContainer.find(C);
      return It == FContainer.end() ? nullptr : It->second;
    };
    H.CurrentInstall = [this] { return FInstall; };
    SetMetaVariableHooks(H);

    FDest[&Link] = "C:\\Apps\\Link";
    FDest[&Group] = "C:\\Apps\\Group";
    FDest[&Install] = "C:\\Apps";
    FContainer[&Link] = &Group;
  }
  void TearDown() override { SetMetaVariableHooks(FSaved); }

  TComponent Link{nullptr}, Group{nullptr}, Install{nullptr}, Orphan{nullptr};
  TComponent* FInstall = &Install;
  std::map<TComponent*, std::string> FDest;
  std::map<TComponent*, TComponent*> FContainer;
  TMetaVariableHooks FSaved;
};

TEST_F(MetaVariables, TextTable) {
  const std::string W = GetWindowsDir();
  struct Case {
    std::string Text, Expected;
  };
  const Case Cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"%w\\Fonts", W + "\\Fonts"},
      {"100%%", "100%"},
      {"%%w", "%w"},
      {"%%%w", "%" + W},
      {"%x", ""},
      {"a%xb", "ab"},
      {"%", ""},
      {"abc%", "abc"},
      {"%%%", "%"},
      {"%P", GetProgramFilesDir()},
      {"%p%P", GetProgramFilesDir() + GetProgramFilesDir()},
      {"%b|%d|%f|%m|%s|%w", GetProgramsDir() + "|" + GetDesktopDir() + "|" + GetCommonFilesDir() + "|" +
                                GetStartMenuDir() + "|" + GetSystemDir() + "|" + W},
      {"%B|%D|%F|%M|%S|%W", GetProgramsDir() + "|" + GetDesktopDir() + "|" + GetCommonFilesDir() + "|" +
                                GetStartMenuDir() + "|" + GetSystemDir() + "|" + W},
      {"%a\\run.exe", "C:\\Apps\\Link\\run.exe"},
      {"%A %C %I", "C:\\Apps\\Link C:\\Apps\\Group C:\\Apps"},
      {"\"%c\\x y.txt\" /s", "\"C:\\Apps\\Group\\x y.txt\" /s"},
  };
  for (const Case& C : Cases) EXPECT_EQ(Expand(C.Text, &Link), C.Expected) << C.Text;
}

TEST_F(MetaVariables, ComponentVariablesNeedTheirComponents) {
  struct Case {
    std::string Text;
    TComponent* Link;
    bool NoInstall;
    const char* Class;
    std::string Message;
  };
  const Case Cases[] = {
      {"x%ay", nullptr, false, "EQICannotExpandContainerDirMV",
       "Cannot expand the %a meta variable because the component is Nil"},
      {"%c", nullptr, false, "EQICannotExpandContainerDirMV",
       "Cannot expand the %c meta variable because the component is Nil"},
      {"%C", &Orphan, false, "EQICannotExpandContainerDirMV",
       "Cannot expand the %c meta variable because the Container property is Nil"},
      {"%i", &Link, true, "EQICannotExpandInstallDirMV",
       "Cannot expand the %i meta variable because there is no TInstall component"},
  };
  for (const Case& C : Cases) {
    FInstall = C.NoInstall ? nullptr : &Install;
    std::string Result = "untouched";
    try {
      ExpandMetaVariables(C.Text, C.Link, Result);
      ADD_FAILURE() << C.Text << ": no exception";
    } catch (const EQI& E) {
      EXPECT_STREQ(E.ClassName(), C.Class) << C.Text;
      EXPECT_EQ(E.Message(), C.Message) << C.Text;
    }
    EXPECT_EQ(Result, "untouched") << C.Text;
  }
  // Escaped or absent, they need nothing.
  EXPECT_EQ(Expand("%%a %%c %%i", nullptr), "%a %c %i");
}

TEST_F(MetaVariables, MessagesPassThroughTheTranslator) {
  SetMessageTranslator([](const std::string& S) { return "<" + S + ">"; });
  std::string Message;
  try {
    Expand("%a", nullptr);
  } catch (const EQICannotExpandContainerDirMV& E) {
    Message = E.Message();
  }
  SetMessageTranslator(nullptr);
  EXPECT_EQ(Message, "<Cannot expand the %a meta variable because the component is Nil>");
}

TEST(MetaVariablesWithoutInstallObjects, BehaveAsIfThereWereNone) {
  TMetaVariableHooks Saved = MetaVariableHooks();
  SetMetaVariableHooks({});
  TComponent Link(nullptr);
  EXPECT_THROW(Expand("%i", &Link), EQICannotExpandInstallDirMV);
  try {
    Expand("%c", &Link);
    ADD_FAILURE() << "no exception";
  } catch (const EQICannotExpandContainerDirMV& E) {
    EXPECT_EQ(E.Message(), "Cannot expand the %c meta variable because the Container property is Nil");
  }
  EXPECT_THROW(Expand("%a", &Link), EQI);
  EXPECT_EQ(Expand("%w", &Link), GetWindowsDir());
  SetMetaVariableHooks(Saved);
}

}  // namespace
