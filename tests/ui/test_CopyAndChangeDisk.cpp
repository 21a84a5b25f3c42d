// The copy and change-disk windows from the program's own form resources,
// fed as the dialog manager feeds them and operated from outside.
#include <gtest/gtest.h>

#include <memory>

#include "archive/cmp_TQrvnCompress.h"
#include "controls/cmp_TApplication.h"
#include "ui/ordlg_ChangeDisk.h"
#include "ui/ordlg_CopyFile.h"
#include "DriverScript.h"
#include "ModalScenario.h"

namespace {

TEST(CopyFileForm, ShowsFilesAndDownloadsAndCancelStopsTheEngine) {
  TApplication App(nullptr);
  std::unique_ptr<TCustomForm> Form(CreateKitForm(TCopyFileForm::StaticClass(), &App));
  auto* F = dynamic_cast<TCopyFileForm*>(Form.get());
  ASSERT_TRUE(F);
  EXPECT_FALSE(F->UnZipImage->Bitmap().Empty());
  F->Show();
  const std::string W = "\"Copying installation files\" ";

  TFileStatusParameter File;
  File.FileName = "readme.txt";
  File.FilePercentDone = 40;
  File.TotalPercentDone = 15;
  F->UpdateStatus(&File, nullptr);
  EXPECT_FALSE(F->TransferBitmap->Visible());
  EXPECT_TRUE(Has(Drive("state " + W + "ProgressBar2"), "position=15"));
  // A download after a file: the file bar and label show it, the total bar
  // keeps the last file's total.
  TDownloadStatusParameter Download;
  Download.FileName = "files.1";
  Download.PercentDone = 70;
  F->UpdateStatus(nullptr, &Download);
  EXPECT_TRUE(F->TransferBitmap->Visible());
  EXPECT_FALSE(F->UnZipImage->Visible());
  EXPECT_EQ(F->lblCopyingFile->Caption(), "files.1");
  EXPECT_TRUE(Has(Drive("state " + W + "ProgressBar1"), "position=70"));
  EXPECT_TRUE(Has(Drive("state " + W + "ProgressBar2"), "position=15"));
  Shoot(W, "copy-file.png");

  // Without an install component Cancel stops the archive engine at once.
  QrvnCompress().SetAbort(false);
  Drive("click " + W + "Cancel");
  EXPECT_EQ(F->ModalResult(), mrAbort);
  EXPECT_TRUE(QrvnCompress().Abort());
  QrvnCompress().SetAbort(false);
}

TEST(ChangeDiskForm, AsksForTheDiskAndBrowsesForAnotherFolder) {
  TApplication App(nullptr);
  TScratchDir D;
  std::unique_ptr<TCustomForm> Form(CreateKitForm(TChangeDiskForm::StaticClass(), &App));
  auto* F = dynamic_cast<TChangeDiskForm*>(Form.get());
  ASSERT_TRUE(F);
  TDiskParameter Disk;
  Disk.DiskNumber = 3;
  Disk.Path = D / "disk3";  // not there: the browser opens on its parent
  F->DiskParameter = &Disk;
  const std::string W = "\"Setup needs the next disk\" ";
  const std::string Browser = "\"Browse for Folder\" ";
  TDriverScript Script({"wait " + W, "state " + W + "PathEdit", "shot " + W + Quoted(ShotPath("change-disk.png")),
                        "press " + W + "BrowseBtn", "wait " + Browser, "state " + Browser + "CreateButton", "click " + Browser + "Cancel",
                        "gone " + Browser, "state " + W + "PathEdit", "press " + W + "BrowseBtn", "wait " + Browser,
                        "click " + Browser + "OK", "gone " + Browser, "state " + W + "PathEdit",
                        "click " + W + "Proceed"});
  EXPECT_EQ(F->ShowModal(), mrOk);
  const auto& Out = Script.Finish();
  ASSERT_EQ(Out.size(), 15u);
  for (size_t i = 0; i < Out.size(); ++i) {
    if (i != 5) {
      EXPECT_EQ(Out[i].find("failed"), std::string::npos) << Out[i];
    }
  }
  EXPECT_EQ(F->PromptDiskLabel->Caption(), "Please insert disk number 3");
  EXPECT_TRUE(Has(Out[1], "text=" + D / "disk3"));
  // The plain browser: no create button.
  EXPECT_NE(Out[5].find("qvauto: no control \"CreateButton\""), std::string::npos) << Out[5];
  // Cancelled: the path stays; confirmed: the folder it opened on.
  EXPECT_TRUE(Has(Out[8], "text=" + D / "disk3"));
  EXPECT_TRUE(Has(Out[13], "text=" + D.Path()));
  EXPECT_EQ(Disk.Path, D.Path());
}

}  // namespace
