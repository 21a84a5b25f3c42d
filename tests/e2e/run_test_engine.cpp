// A setup engine for the run tests: the setup program as it ships, with a
// main form that publishes event handlers, as an author's own program would.
// A project binds them by name (OnBeforeShutdown = KeepRunning ...).  Each
// handler appends one line to the file named by QV_RUN_TRACE, so a test sees
// what the run did and in which order, and what the install record held at
// that moment.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "apps/setup/cmp_TSetupMainForm.h"
#include "apps/setup/routines_Startup.h"
#include "controls/cmp_TApplication.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_Registry.h"
#include "model/cmp_TInstallFile.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "ui/ordlg_CopyFile.h"

namespace {

void Trace(const std::string& Line) {
  const char* Name = std::getenv("QV_RUN_TRACE");
  if (!Name || !*Name) return;
  if (FILE* F = std::fopen(Name, "ab")) {
    std::fprintf(F, "%s\n", Line.c_str());
    std::fclose(F);
  }
}

// "LocalFile" values under the install record, each with whether its file
// is there: "local Group1=yes".
void TraceLocalFiles() {
  if (InstallKey.empty()) {
    Trace("no record");
    return;
  }
  TRegKey K;
  if (!K.OpenReadOnly(hkLocalMachine, InstallKey)) {
    Trace("record missing");
    return;
  }
  std::vector<std::string> Subs;
  K.GetKeyNames(Subs);
  K.Close();
  for (const std::string& S : Subs) {
    const std::string Local = RegReadString(hkLocalMachine, InstallKey + "\\" + S, "LocalFile", "");
    if (!Local.empty()) Trace("local " + S + "=" + (FileExists(Local) ? "yes" : "no"));
  }
}

// What the copy window shows, when that changes: the pictures in view and
// the file named, "copy window: TransferBitmap Install1.1".  Handlers of a
// download block or of a file status see the window as the previous one
// left it.
void TraceCopyWindow() {
  static std::string Last;
  for (TBaseQuorvaneForm* F : LiveKitForms()) {
    auto* C = dynamic_cast<TCopyFileForm*>(F);
    if (!C || !C->Visible()) continue;
    std::string Line = "copy window:";
    for (TImage* I : {C->UnZipImage, C->TransferBitmap})
      if (I->Visible()) Line += " " + I->Name();
    Line += " " + C->lblCopyingFile->Caption();
    if (Line != Last) Trace(Line);
    Last = Line;
  }
}

class TRunTestForm : public TSetupMainForm {
  QV_CLASS()
 public:
  using TSetupMainForm::TSetupMainForm;

  void GoodInstall(TPersistent*) {
    Trace("good");
    TraceLocalFiles();
  }
  void BadInstall(TPersistent*) {
    Trace("bad");
    TraceLocalFiles();
  }
  void BeforeCleanup(TCustomInstall*, bool&) { Trace("cleanup"); }
  void Shutdown(TCustomInstall*, bool&) { Trace("shutdown"); }
  void KeepRunning(TCustomInstall*, bool& QuitOut) {
    QuitOut = false;
    Trace("shutdown declined");
  }
  void BeforeRunFile(TCustomInstall*, TCustomInstallFile* F, bool&) { Trace("run " + F->Name()); }
  void UserAbort(TCustomInstall*, bool&) { Trace("abort asked"); }
  void CopyStatus(TCustomInstallFile*, int32_t, int32_t) { TraceCopyWindow(); }
  void DownloadStatus(TPersistent*, const std::string&, int, int, int, const void*) { TraceCopyWindow(); }
};

const TClassInfo& TRunTestForm::StaticClass() {
  using C = TRunTestForm;
  static const TClassInfo Info =
      TClassBuilder<C>("TForm1", &TSetupMainForm::StaticClass())
          .Creatable()
          .Method<void(TPersistent*)>("GoodInstall", &C::GoodInstall)
          .Method<void(TPersistent*)>("BadInstall", &C::BadInstall)
          .Method<void(TCustomInstall*, bool&)>("BeforeCleanup", &C::BeforeCleanup)
          .Method<void(TCustomInstall*, bool&)>("Shutdown", &C::Shutdown)
          .Method<void(TCustomInstall*, bool&)>("KeepRunning", &C::KeepRunning)
          .Method<void(TCustomInstall*, TCustomInstallFile*, bool&)>("BeforeRunFile", &C::BeforeRunFile)
          .Method<void(TCustomInstall*, bool&)>("UserAbort", &C::UserAbort)
          .Method<void(TCustomInstallFile*, int32_t, int32_t)>("CopyStatus", &C::CopyStatus)
          .Method<void(TPersistent*, const std::string&, int, int, int, const void*)>("DownloadStatus",
                                                                                     &C::DownloadStatus)
          .Build();
  return Info;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RegisterSetupClasses();
  TApplication App(nullptr);
  App.Title = ProjectTitle();
  try {
    App.CreateForm(TRunTestForm::StaticClass(), "TFORM1");
    CreatePageForms(App);
  } catch (const Exception& E) {
    App.ShowException(E);
    return 1;
  }
  App.Run();
  Trace("ended");
  return App.ExitCode;
}
