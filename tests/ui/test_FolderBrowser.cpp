// The folder browser under Wine's shell, driven from outside by the window
// driver while this program sits in the shell's modal dialog: the driver
// runs on a thread of its own, and what it saw is checked afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/cmp_TApplication.h"
#include "ui/routines_FileSystem.h"
#include "test_paths.h"
#include "test_process.h"

namespace {

// Window driver commands, one after the other, each given the time a user
// would need; the outputs in order.
class TDriverScript {
 public:
  explicit TDriverScript(std::vector<std::string> Steps) : FSteps(std::move(Steps)) {
    FThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~TDriverScript() { Finish(); }
  // Waits for the last step (a dialog that stays open would hang the test:
  // each step gives up on its own).
  const std::vector<std::string>& Finish() {
    if (FThread) {
      WaitForSingleObject(FThread, 120000);
      CloseHandle(FThread);
      FThread = nullptr;
    }
    return FOutputs;
  }

 private:
  static DWORD WINAPI Run(void* P) {
    auto* Self = static_cast<TDriverScript*>(P);
    const std::string Driver = "\"" + BuildTreePath("tests\\qvauto.exe") + "\" ";
    for (const std::string& Step : Self->FSteps) {
      std::string Out;
      const int Code = RunWithOutput(Driver + Step, Out, 30000);
      Out.erase(std::remove(Out.begin(), Out.end(), '\r'), Out.end());
      Self->FOutputs.push_back(Code == 0 ? Out : "failed (" + std::to_string(Code) + "): " + Step + ": " + Out);
      Sleep(200);
    }
    return 0;
  }
  std::vector<std::string> FSteps;
  std::vector<std::string> FOutputs;
  HANDLE FThread = nullptr;
};

::testing::AssertionResult Has(const std::string& Output, const std::string& Line) {
  if (("\n" + Output).find("\n" + Line + "\n") != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no line \"" << Line << "\" in:\n" << Output;
}

const std::string Browser = "\"Browse for Folder\" ";

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

std::string ShotPath(const char* Name) {
  const std::string P = BuildTreePath(std::string("screenshots\\") + Name);
  CreateDirectoryA(ExtractFileDir(P).c_str(), nullptr);
  return P;
}

TEST(FolderBrowser, OpensOnTheNearestFolderAndTheTypedPathIsCreated) {
  TApplication App(nullptr);
  TScratchDir D;
  ASSERT_TRUE(ForceDirectories(D / "existing"));
  TOpenFolderDialog Dlg(nullptr);
  Dlg.Folder = D / "existing\\missing\\deeper";
  TDriverScript Script({"wait " + Browser, "state " + Browser + "PathEdit", "state " + Browser + "SysTreeView32#1",
                        "state " + Browser + "CreateButton", "shot " + Browser + Quoted(ShotPath("folder-browser.png")),
                        "type " + Browser + "PathEdit \"\\new one\"", "click " + Browser + "OK"});
  EXPECT_TRUE(Dlg.Execute());
  const auto& Out = Script.Finish();
  ASSERT_EQ(Out.size(), 7u);
  for (const std::string& O : Out) EXPECT_EQ(O.find("failed"), std::string::npos) << O;
  EXPECT_TRUE(Has(Out[1], "text=" + D / "existing"));
  EXPECT_TRUE(Has(Out[2], "selected=existing"));
  EXPECT_TRUE(Has(Out[3], "visible=1"));
  // The typed path, made with its parents though no tree item showed it.
  EXPECT_EQ(Dlg.Folder, D / "existing\\new one");
  EXPECT_TRUE(DirectoryExists(D / "existing\\new one"));
}

TEST(FolderBrowser, ADriveLetterSelectsItsRootAndCancelReturnsFalse) {
  TApplication App(nullptr);
  TOpenFolderDialog Dlg(nullptr);
  Dlg.Folder = "C:";
  TDriverScript Script({"wait " + Browser, "state " + Browser + "PathEdit",
                        "shot " + Browser + Quoted(ShotPath("folder-browser-drive.png")), "click " + Browser + "Cancel"});
  EXPECT_FALSE(Dlg.Execute());
  const auto& Out = Script.Finish();
  ASSERT_EQ(Out.size(), 4u);
  EXPECT_TRUE(Has(Out[1], "text=C:\\")) << Out[1];
  EXPECT_EQ(Dlg.Folder, "C:");
}

TEST(FolderBrowser, CreatingAFolderReopensTheDialogOnIt) {
  TApplication App(nullptr);
  TScratchDir D;
  TOpenFolderDialog Dlg(nullptr);
  Dlg.Folder = D.Path();
  bool Asked = false;
  Dlg.OnCreateFolder = [&](TPersistent*, bool& Allow) { Asked = Allow; };
  // The edit shows an existing folder, so the button asks for a name.
  // Found by its caption, or by its form's name where the system has no
  // text for the caption.
  const std::string Caption = TOFDResourceStrings::CreateFolderCaption();
  const std::string Prompt = Quoted(Caption.empty() ? "InputQueryForm" : Caption) + " ";
  TDriverScript Script({"wait " + Browser, "press " + Browser + "CreateButton", "wait " + Prompt,
                        "shot " + Prompt + Quoted(ShotPath("folder-name-prompt.png")),
                        "type " + Prompt + "ValueEdit Made", "click " + Prompt + "OK", "gone " + Prompt,
                        "wait " + Browser, "state " + Browser + "PathEdit",
                        "shot " + Browser + Quoted(ShotPath("folder-browser-reopened.png")), "click " + Browser + "Cancel"});
  // Reopened and then cancelled: false, and the folder stays.
  EXPECT_FALSE(Dlg.Execute());
  const auto& Out = Script.Finish();
  ASSERT_EQ(Out.size(), 11u);
  for (const std::string& O : Out) EXPECT_EQ(O.find("failed"), std::string::npos) << O;
  EXPECT_TRUE(Asked);
  EXPECT_TRUE(Has(Out[8], "text=" + D / "Made"));
  EXPECT_TRUE(DirectoryExists(D / "Made"));
  EXPECT_EQ(Dlg.Folder, D / "Made");
}

}  // namespace
