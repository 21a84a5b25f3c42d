#include "ui/routines_UiRegistration.h"

#include "ui/cmp_TBackDrop.h"
#include "ui/cmp_TDialogManager.h"
#include "ui/ordlg_CopyFile.h"
#include "ui/ordlg_FileGroupSelect.h"

void RegisterUiClasses() {
  RegisterDialogManagerClasses();
  RegisterCopyAndChangeDiskForms();
  RegisterMainWindowClasses();
  RegisterFileGroupSelectForm();
}
