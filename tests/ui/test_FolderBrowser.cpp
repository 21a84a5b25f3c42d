// The folder browser under Wine's shell, driven from outside by the window
// driver while this program sits in the shell's modal dialog: the driver
// runs on a thread of its own, and what it saw is checked afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "controls/cmp_TApplication.h"
#include "ui/routines_FileSystem.h"
#include "DriverScript.h"
#include "test_paths.h"

namespace {

const std::string Browser = "\"Browse for Folder\" ";

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
                        "wait " + Browser, "waittext " + Browser + "PathEdit " + Quoted(D / "Made"),
                        "state " + Browser + "PathEdit",
                        "shot " + Browser + Quoted(ShotPath("folder-browser-reopened.png")), "click " + Browser + "Cancel"});
  // Reopened and then cancelled: false, and the folder stays.
  EXPECT_FALSE(Dlg.Execute());
  const auto& Out = Script.Finish();
  ASSERT_EQ(Out.size(), 12u);
  for (const std::string& O : Out) EXPECT_EQ(O.find("failed"), std::string::npos) << O;
  EXPECT_TRUE(Asked);
  EXPECT_TRUE(Has(Out[9], "text=" + D / "Made"));
  EXPECT_TRUE(DirectoryExists(D / "Made"));
  EXPECT_EQ(Dlg.Folder, D / "Made");
}

}  // namespace
