// The base of the modal window that asks for the next disk.  The dialog
// manager of dmChangeDisk sets DiskParameter before it shows the window; the
// window writes the chosen folder back into its Path.
#pragma once

#include "model/types_Quorvane.h"
#include "ui/cmp_TBaseQuorvaneForm.h"

class TDialogManager;

class TBaseChangeDiskForm : public TBaseQuorvaneForm {
  QV_CLASS()
 public:
  using TBaseQuorvaneForm::TBaseQuorvaneForm;

  // Set by the manager for one showing; DM is published.
  TDiskParameter* DiskParameter = nullptr;
  TDialogManager* DM = nullptr;

  // mrAbort when the install component's OnUserAbort agrees (or there is
  // none); otherwise nothing.
  virtual void CancelWithConfirm();
};
