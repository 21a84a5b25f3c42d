#include "ui/cmp_TBaseChangeDiskForm.h"

#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TBaseInstallForm.h"
#include "ui/cmp_TDialogManager.h"

const TClassInfo& TBaseChangeDiskForm::StaticClass() {
  using C = TBaseChangeDiskForm;
  static const TClassInfo Info = TClassBuilder<C>("TBaseChangeDiskForm", &TBaseQuorvaneForm::StaticClass())
                                     .Ref("DM", TDialogManager::StaticClass(), &C::DM, &C::DM)
                                     .Build();
  return Info;
}

void TBaseChangeDiskForm::CancelWithConfirm() {
  if (UserMayAbort()) SetModalResult(mrAbort);
}
