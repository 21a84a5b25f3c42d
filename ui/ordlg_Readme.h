// The read-me page: the product's notes in a read-only rich edit
// (`Information`, its text part of the designed stream).
#pragma once

#include "controls/cmp_TRichEdit.h"
#include "ui/ordlg_WizardPage.h"

class TReadmeForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TReadmeForm(TComponent* AOwner);
  void Loaded() override;
  TRichEdit* Information() const { return FInformation; }

 private:
  TRichEdit* FInformation = nullptr;
};
