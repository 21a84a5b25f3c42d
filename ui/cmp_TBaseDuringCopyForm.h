// The base of the modeless windows shown while files are copied: the dialog
// manager of dmDuringCopyFiles creates them at the first status and feeds
// them every status until the copy is done.
#pragma once

#include "model/types_Quorvane.h"
#include "ui/cmp_TBaseQuorvaneForm.h"

class TDialogManager;

class TBaseDuringCopyForm : public TBaseQuorvaneForm {
  QV_CLASS()
 public:
  using TBaseQuorvaneForm::TBaseQuorvaneForm;
  ~TBaseDuringCopyForm() override;

  // Published.
  TDialogManager* DM = nullptr;

  // When the install component's OnUserAbort agrees (or there is none): the
  // archive engine and the run stop at their next check.  The modal result
  // becomes mrAbort in every case; the window stays until the copy is done.
  virtual void CancelCopy();
  // One of the two is given; nothing here.
  virtual void UpdateStatus(TFileStatusParameter* FileStatus, TDownloadStatusParameter* DownloadStatus) {}
};
