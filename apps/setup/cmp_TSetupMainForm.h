// The setup program's main window.  Its stream is the project: every install
// component of the project is created as a component owned by this form,
// and what the user sees behind the wizard (a backdrop with the product's
// title, say) is the project's design of it.
#pragma once

#include "controls/cmp_TForm.h"

class TCustomInstall;

class TSetupMainForm : public TForm {
  QV_CLASS()
 public:
  explicit TSetupMainForm(TComponent* AOwner);

  // A handler a project may give its install component's OnUserAbort: asks
  // the user, in the setup's language, whether to quit before the product is
  // installed.  No keeps the setup going (the default button: an Enter
  // pressed by accident does not end it).
  void ConfirmUserAbort(TCustomInstall* Install, bool& QuitOut);
};
