#include "apps/setup/cmp_TSetupMainForm.h"

#include <windows.h>

#include "controls/cmp_TApplication.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_RunOptions.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TSetupMainForm::StaticClass() {
  // The project stream names its root class TForm1; the root exists before
  // the stream is read, so the name is only informative.
  static const TClassInfo Info =
      TClassBuilder<TSetupMainForm>("TForm1", &TForm::StaticClass())
          .Creatable()
          .Method<void(TCustomInstall*, bool&)>("ConfirmUserAbort", &TSetupMainForm::ConfirmUserAbort)
          .Build();
  return Info;
}

TSetupMainForm::TSetupMainForm(TComponent* AOwner) : TForm(AOwner) {}

void TSetupMainForm::ConfirmUserAbort(TCustomInstall*, bool& QuitOut) {
  const std::string Text =
      TranslateMessageText("The installation is not complete. Do you want to quit the setup?");
  const std::string Title = Application ? Application->Title : Caption();
  // Owned by the window the user pressed Cancel in (the wizard or the copy
  // window), so that it stays modal to it.
  QuitOut = RunMessageBox(GetActiveWindow(), Text, Title, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDNO) == IDYES;
}
