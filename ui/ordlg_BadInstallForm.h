// The page after a failed or cancelled installation; alone in its phase, it
// shows Finish only.
#pragma once

#include "ui/ordlg_WizardPage.h"

class TBadInstallForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TBadInstallForm(TComponent* AOwner);
};
