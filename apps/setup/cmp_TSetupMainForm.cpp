#include "apps/setup/cmp_TSetupMainForm.h"

#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TSetupMainForm::StaticClass() {
  // The project stream names its root class TForm1; the root exists before
  // the stream is read, so the name is only informative.
  static const TClassInfo Info =
      TClassBuilder<TSetupMainForm>("TForm1", &TForm::StaticClass()).Creatable().Build();
  return Info;
}

TSetupMainForm::TSetupMainForm(TComponent* AOwner) : TForm(AOwner) {}
