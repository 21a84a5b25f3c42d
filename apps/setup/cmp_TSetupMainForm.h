// The setup program's main window.  Its stream is the project: every install
// component of the project is created as a component owned by this form.
#pragma once

#include "controls/cmp_TForm.h"

class TSetupMainForm : public TForm {
  QV_CLASS()
 public:
  explicit TSetupMainForm(TComponent* AOwner);

 protected:
  // A project that installs nothing (no install component) shows what it
  // holds, so an author can see that the project was read.
  void Paint(HDC DC) override;
};
