#include "ui/ordlg_CopyFile.h"

#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TDialogManager.h"
#include "ui/ordlg_ChangeDisk.h"
#include "ui/routines_FormParts.h"

const TClassInfo& TCopyFileForm::StaticClass() {
  using C = TCopyFileForm;
  static const TClassInfo Info = TClassBuilder<C>("TCopyFileForm", &TBaseDuringCopyForm::StaticClass())
                                     .Creatable()
                                     .Method<void(TPersistent*)>("CancelBtnClick", &C::CancelBtnClick)
                                     .Build();
  return Info;
}

TCopyFileForm::TCopyFileForm(TComponent* AOwner) : TBaseDuringCopyForm(AOwner) {
  DM = FindDialogManager(dmDuringCopyFiles);
}

void TCopyFileForm::Loaded() {
  TBaseDuringCopyForm::Loaded();
  UnZipImage = FormPart<TImage>(*this, "UnZipImage");
  TransferBitmap = FormPart<TImage>(*this, "TransferBitmap");
  lblCopyingFile = FormPart<TTranslateLabel>(*this, "lblCopyingFile");
  ProgressBar1 = FormPart<TProgressBar>(*this, "ProgressBar1");
  ProgressBar2 = FormPart<TProgressBar>(*this, "ProgressBar2");
  LoadPictureUnlessDesigned(*UnZipImage, "BM_ARCHIVE");
  LoadPictureUnlessDesigned(*TransferBitmap, "BM_TRANSFER");
}

void TCopyFileForm::UpdateStatus(TFileStatusParameter* FileStatus, TDownloadStatusParameter* DownloadStatus) {
  // The two pictures lie on each other and differ by a pixel in height and
  // width: only one of them may show, or the edge of the other peeks out.
  if (FileStatus) {
    TransferBitmap->SetVisible(false);
    UnZipImage->SetVisible(true);
    ProgressBar2->SetPosition(FileStatus->TotalPercentDone);
    ProgressBar1->SetPosition(FileStatus->FilePercentDone);
    lblCopyingFile->SetCaption(FileStatus->FileName);
  } else if (DownloadStatus) {
    UnZipImage->SetVisible(false);
    TransferBitmap->SetVisible(true);
    ProgressBar1->SetPosition(DownloadStatus->PercentDone);
    lblCopyingFile->SetCaption(DownloadStatus->FileName);
  }
  // The engine keeps the thread busy between statuses: paint now.
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void RegisterCopyAndChangeDiskForms() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  RegisterDuringCopyForm(TCopyFileForm::StaticClass());
  RegisterChangeDiskForm(TChangeDiskForm::StaticClass());
}
