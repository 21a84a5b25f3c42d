#include "ui/routines_UiRegistration.h"

#include "ui/cmp_TDialogManager.h"

void RegisterUiClasses() { RegisterDialogManagerClasses(); }
