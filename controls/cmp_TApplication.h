// The application object: title, main form, the message loop, and the
// process-wide handler of exceptions that nothing else caught.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/cmp_TForm.h"

using TExceptionEvent = TEvent<void(TPersistent* Sender, const Exception& E)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  std::string Title;
  TCustomForm* MainForm() const { return FMainForm; }
  bool ShowMainForm = true;
  // What the program entry returns to Windows.
  int ExitCode = 0;
  bool Terminated() const { return FTerminated; }

  // Creates a form of class Info owned by the application, reading its
  // stream from the resource named after ResourceName (the class name when
  // empty).  The first form created becomes the main form.
  TCustomForm* CreateForm(const TClassInfo& Info, const std::string& ResourceName = "");
  // Runs the message loop until Terminate; shows the main form first.
  void Run();
  void Terminate();
  // Lets pending window messages run (long operations call this between
  // buffers so that Cancel buttons are heard).
  void ProcessMessages();
  // One message, waiting for it when the queue is empty.
  void HandleMessage();

  // Handles E: the OnException handler when assigned, else the standard
  // display.  A quiet abort (EAbort) is never shown.
  void HandleException(const Exception& E);
  void ShowException(const Exception& E);
  TExceptionEvent OnException;

  static std::string ExeName();
  // Command-line arguments after the program name (quotes removed), as the
  // classic ParamStr gives them.
  static std::vector<std::string> Params();
  // Makes Params() answer Args instead of the process command line (tools
  // that load a project, and tests); nullptr returns to the real one.
  static void SetParamsOverride(const std::vector<std::string>* Args);
  static std::vector<std::string> SplitCommandLine(const std::string& CmdLine);

 private:
  bool ProcessMessage(MSG& Msg);
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
};

// Creates a form of class Info owned by Owner, reads its stream from the
// resource named ResourceName (the class name when empty) when the program
// has one, then fires OnCreate; the form is freed again on a failure.
TCustomForm* CreateOwnedForm(const TClassInfo& Info, TComponent* Owner, const std::string& ResourceName = "");

// The one application object of the process, made by the program entry.
extern TApplication* Application;
