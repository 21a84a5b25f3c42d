// The reboot page: files in use are replaced at the next start of Windows;
// the user says whether Windows restarts now.  The choice is the install
// component's Reboot flag, which the run reads once the wizard is done.
#pragma once

#include "controls/cmp_TRadioGroup.h"
#include "ui/ordlg_WizardPage.h"

class TRebootForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TRebootForm(TComponent* AOwner);

  void Loaded() override;
  // The buttons as on every finish page, then the choice as the flag
  // stands: "Yes" when a reboot is set, else "No".
  void PreparePage() override;

  // The user's choice (handler named by the stream).
  void RGClick(TPersistent* Sender);

  TRadioGroup* RG() const { return FRG; }

 private:
  TRadioGroup* FRG = nullptr;
  // Set while the page itself sets the choice: that is no choice.
  bool FGuard = false;
};
