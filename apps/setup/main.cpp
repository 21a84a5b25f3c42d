// The program entry of the setup program: the application object, the main
// form whose stream is the project, then the page forms, then the message
// loop.
#include <windows.h>

#include "apps/setup/cmp_TSetupMainForm.h"
#include "apps/setup/routines_Startup.h"
#include "controls/cmp_TApplication.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterSetupClasses();
  TApplication App(nullptr);
  App.Title = ProjectTitle();
  try {
    App.CreateForm(TSetupMainForm::StaticClass(), "TFORM1");
    CreatePageForms(App);
  } catch (const Exception& E) {
    // A project that cannot be read is reported; the program then ends.
    App.ShowException(E);
    return 1;
  }
  App.Run();
  return App.ExitCode;
}
