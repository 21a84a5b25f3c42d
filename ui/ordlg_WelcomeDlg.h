// The welcome page: what the setup is about and the advice to close other
// programs first.
#pragma once

#include "ui/ordlg_WizardPage.h"

class TWelcomeForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TWelcomeForm(TComponent* AOwner);
};
