#include "ui/ordlg_Readme.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TReadmeForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TReadmeForm>("TReadmeForm", &TWizardPage::StaticClass()).Creatable().Build();
  return Info;
}

TReadmeForm::TReadmeForm(TComponent* AOwner) : TWizardPage(AOwner, dmBeforeInstall, 30) {}

void TReadmeForm::Loaded() {
  TWizardPage::Loaded();
  FInformation = Part<TRichEdit>("Information");
}
