// The switches an administrator gives a setup program, its loading program
// or the uninstaller for an unattended or logged run, and the run's log.
//
//   /SILENT            no wizard and no pages; the copy window and message
//                      boxes are shown
//   /VERYSILENT        nothing is shown; message boxes take their default
//   /SUPPRESSMSGBOXES  every message box takes its default answer
//   /LOG[=file]        a plain-text log of the run (default: a new
//                      "Setup Log <date> #<n>.txt" in the temporary folder)
//   /DIR=folder  /GROUP=name  /COMPONENTS=a,b  /LANG=name  /NORESTART
//
// Names are matched without regard to case.  The kit's own switches begin
// with "-" and never with "/", so the two never meet.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TRunOptions {
  bool Silent = false;
  bool VerySilent = false;
  bool SuppressMsgBoxes = false;
  bool NoRestart = false;
  bool Log = false;
  std::string LogFile;  // empty with a bare /LOG: the default name
  bool DirGiven = false, GroupGiven = false, ComponentsGiven = false, LangGiven = false;
  std::string Dir, Group, Components, Lang;

  // No wizard, no pages (either silent switch).
  bool Unattended() const { return Silent || VerySilent; }
  bool BoxesSuppressed() const { return SuppressMsgBoxes || VerySilent; }
};

// The options of this process; empty until ParseRunOptions fills them.
TRunOptions& RunOptions();

// True when Arg is a switch beginning with "/" (known or not).
bool IsRunOption(const std::string& Arg);
// Stores Arg in Options; false when it is no switch of the list above
// (the caller reports it with its own message).  Which switches a program
// accepts: Accepted holds the names without "/", empty for all.
bool ParseRunOption(const std::string& Arg, TRunOptions& Options,
                    const std::vector<std::string>& Accepted = {});

// /COMPONENTS=a,b,c as its names, trimmed, blanks dropped.
std::vector<std::string> ComponentNames(const std::string& List);

// The switches a resumption after the restart carries on with: as silent
// as this run, into the same log ("" for a run without them), each with a
// blank in front.
std::string ResumeSwitches(const TRunOptions& Options);

// --- the log ------------------------------------------------------------------

// Opens the log that Options ask for (nothing without /LOG); Program names
// the program in the first line.  Each line goes to the file at once, so a
// run that ends abruptly leaves what it had logged.
void OpenRunLog(const TRunOptions& Options, const std::string& Program);
bool RunLogOpen();
const std::string& RunLogFile();
// One line with the time in front; nothing when no log is open.
void LogLine(const std::string& Text);
void CloseRunLog();

// A message box that the switches may answer: logged, shown, or answered
// with Suppressed (IDOK, IDCANCEL, IDYES ...) when boxes are suppressed.
int RunMessageBox(HWND Owner, const std::string& Text, const std::string& Title, UINT Type, int Suppressed);
