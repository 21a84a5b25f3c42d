// The window shown while files are extracted or an archive is fetched: the
// file and its bar, the bar of the whole container, and Cancel.  Modeless;
// the dialog manager of dmDuringCopyFiles opens it at the first status and
// closes it when the copy is done.
#pragma once

#include "controls/cmp_TImage.h"
#include "controls/cmp_TProgressBar.h"
#include "controls/cmp_TTranslateControls.h"
#include "ui/cmp_TBaseDuringCopyForm.h"

class TCopyFileForm : public TBaseDuringCopyForm {
  QV_CLASS()
 public:
  explicit TCopyFileForm(TComponent* AOwner);

  void Loaded() override;
  // A file status shows the archive picture and both bars; a download
  // status the transfer picture and the file bar, the total bar keeping
  // its value.
  void UpdateStatus(TFileStatusParameter* FileStatus, TDownloadStatusParameter* DownloadStatus) override;
  void CancelBtnClick(TPersistent* Sender) { CancelCopy(); }

  TImage* UnZipImage = nullptr;
  TImage* TransferBitmap = nullptr;
  TTranslateLabel* lblCopyingFile = nullptr;
  TProgressBar* ProgressBar1 = nullptr;  // the file
  TProgressBar* ProgressBar2 = nullptr;  // the whole container
};

// Registers the copy and change-disk windows with the dialog manager, once.
void RegisterCopyAndChangeDiskForms();
