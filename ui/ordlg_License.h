// The licence page: the product's licence agreement in a read-only rich edit
// (`Agreement`, its text part of the designed stream); Next means the user
// agrees.
#pragma once

#include "controls/cmp_TRichEdit.h"
#include "ui/ordlg_WizardPage.h"

class TLicenseForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TLicenseForm(TComponent* AOwner);
  void Loaded() override;
  TRichEdit* Agreement() const { return FAgreement; }

 private:
  TRichEdit* FAgreement = nullptr;
};
