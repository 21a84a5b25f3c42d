// The window that asks for the next disk of a disk set, or for another
// folder that holds its archive.  Modal; the dialog manager of dmChangeDisk
// shows it for each request, and reads the folder back from the request.
#pragma once

#include "controls/cmp_TEdit.h"
#include "controls/cmp_TTranslateControls.h"
#include "ui/cmp_TBaseChangeDiskForm.h"

class TChangeDiskForm : public TBaseChangeDiskForm {
  QV_CLASS()
 public:
  explicit TChangeDiskForm(TComponent* AOwner);

  void Loaded() override;
  // The prompt with the disk's number and the expected folder.
  void FormShow(TPersistent* Sender);
  // The folder through the plain folder browser; the edit itself is
  // read-only.
  void BrowseBtnClick(TPersistent* Sender);
  void CancelBtnClick(TPersistent* Sender) { CancelWithConfirm(); }

  TTranslateLabel* PromptDiskLabel = nullptr;
  TEdit* PathEdit = nullptr;
  TTranslateBitBtn* InstallBtn = nullptr;
};
