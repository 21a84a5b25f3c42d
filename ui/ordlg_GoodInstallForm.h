// The page after a successful installation; alone in its phase, it shows
// Finish only.
#pragma once

#include "ui/ordlg_WizardPage.h"

class TGoodInstallForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TGoodInstallForm(TComponent* AOwner);
};
