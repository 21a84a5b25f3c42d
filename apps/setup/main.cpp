// The program entry of the setup program: the application object, the main
// form whose stream is the project, then the page forms, then the message
// loop.
#include <windows.h>

#include "apps/setup/cmp_TSetupMainForm.h"
#include "apps/setup/routines_Startup.h"
#include "controls/cmp_TApplication.h"
#include "controls/cmp_TForm.h"
#include "environment/routines_DllSearch.h"
#include "environment/routines_RunOptions.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadSystemLibrariesFromSystemFolder();
  RegisterSetupClasses();
  TApplication App(nullptr);
  App.Title = ProjectTitle();
  try {
    App.CreateForm(TSetupMainForm::StaticClass(), "TFORM1");
    CreatePageForms(App);
    ApplyRunOptions();
  } catch (const Exception& E) {
    // A project that cannot be read is reported; the program then ends.
    App.ShowException(E);
    LogLine("Failed: " + E.Message());
    CloseRunLog();
    return 1;
  }
  App.Run();
  // The components go as they always did (the install starts its cleanup
  // batch as it goes), and the top-level windows end with the process:
  // destroying a visible one hides it first, and Wine's X11 driver then
  // waits up to 2 s for the window manager, at the end of every run.
  const int Code = App.ExitCode;
  LogLine("Exit code " + std::to_string(Code));
  CloseRunLog();
  for (int i = App.ComponentCount() - 1; i >= 0; --i) {
    auto* F = dynamic_cast<TCustomForm*>(App.Components(i));
    if (!F || !F->HandleAllocated() || !IsWindowVisible(F->Handle())) {
      delete App.Components(i);
      continue;
    }
    if (F->OnDestroy) {
      try {
        F->OnDestroy(F);
      } catch (...) {
      }
      F->OnDestroy = TNotifyEvent();
    }
    F->Destroying();
    F->DestroyComponents();
  }
  ExitProcess(static_cast<UINT>(Code));
}
