#include "ui/cmp_TBaseDuringCopyForm.h"

#include "archive/cmp_TQrvnCompress.h"
#include "engine/cmp_TInstall.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TBaseInstallForm.h"
#include "ui/cmp_TDialogManager.h"

const TClassInfo& TBaseDuringCopyForm::StaticClass() {
  using C = TBaseDuringCopyForm;
  static const TClassInfo Info = TClassBuilder<C>("TBaseDuringCopyForm", &TBaseQuorvaneForm::StaticClass())
                                     .Ref("DM", TDialogManager::StaticClass(), &C::DM, &C::DM)
                                     .Build();
  return Info;
}

TBaseDuringCopyForm::~TBaseDuringCopyForm() = default;

void TBaseDuringCopyForm::CancelCopy() {
  // The install component stops the archive engine, the downloads and the
  // run; without one there is only the engine to stop.
  if (auto* Install = dynamic_cast<TCustomInstall*>(CurrentInstall()))
    Install->RequestUserAbort();
  else
    QrvnCompress().SetAbort(true);
  SetModalResult(mrAbort);
}
