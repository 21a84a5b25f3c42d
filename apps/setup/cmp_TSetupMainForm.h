// The setup program's main window.  Its stream is the project: every install
// component of the project is created as a component owned by this form,
// and what the user sees behind the wizard (a backdrop with the product's
// title, say) is the project's design of it.
#pragma once

#include "controls/cmp_TForm.h"

class TSetupMainForm : public TForm {
  QV_CLASS()
 public:
  explicit TSetupMainForm(TComponent* AOwner);
};
