// The uninstaller: started as the uninstall record says,
//   "<folder>\uninstall.exe Product Name"
// (the product name may hold blanks and is not quoted), or with /SILENT
// (no question; the report only after a failure), /VERYSILENT or /S
// (nothing shown) and /LOG[=file] before the name.  Exit code 0 when
// everything went, 1 when something could not be removed or no record was
// found, 2 when the user said no.
#include <windows.h>

#include <string>

#include "apps/uninstall/routines_Uninstall.h"
#include "environment/routines_DllSearch.h"
#include "environment/routines_RunOptions.h"
#include "records/routines_UninstallRecord.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"

namespace {

const char* const Caption = "Uninstall";

std::string SelfPath() {
  char Buf[MAX_PATH * 2] = {};
  const DWORD N = GetModuleFileNameA(nullptr, Buf, sizeof Buf);
  return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

// A scripted removal shows nothing; whoever started it may read the
// standard output (when there is one) and the exit code.
void Tell(const std::string& Text, bool Silent, UINT Icon) {
  HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (Out && Out != INVALID_HANDLE_VALUE) {
    const std::string Line = Text + "\r\n";
    DWORD Written = 0;
    WriteFile(Out, Line.data(), static_cast<DWORD>(Line.size()), &Written, nullptr);
  }
  if (!Silent) MessageBoxA(nullptr, Text.c_str(), Caption, MB_OK | Icon);
}

// How the log names what became of an item.
std::string OutcomeName(TOutcome O) {
  switch (O) {
    case TOutcome::Removed: return "Removed";
    case TOutcome::Absent: return "Already gone";
    case TOutcome::Kept: return "Kept";
    case TOutcome::AtRestart: return "Removed at the next restart";
    case TOutcome::Failed: return "Failed";
  }
  return "?";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadSystemLibrariesFromSystemFolder();
  TRunOptions& Options = RunOptions();
  std::string Product;
  ParseUninstallCommandLine(GetCommandLineA(), Options, Product);
  const bool Silent = Options.VerySilent;
  OpenRunLog(Options, "Uninstall");
  struct TCloseLog {
    ~TCloseLog() { CloseRunLog(); }
  } CloseLog;
  if (Product.empty()) {
    Tell("Usage: uninstall.exe [/SILENT | /VERYSILENT] [/LOG[=file]] product name", Silent, MB_ICONINFORMATION);
    return 1;
  }
  TUninstallRecord Record;
  if (!ReadUninstallRecord(Product, Record)) {
    Tell(Format("No uninstall information was found for %s.", Product), Silent, MB_ICONSTOP);
    return 1;
  }
  const std::string Name = Record.DisplayName.empty() ? Product : Record.DisplayName;
  // A silent removal asks nothing.
  if (!Options.Unattended()) {
    const std::string Question = Format("Are you sure you want to remove %s and all of its components?", Name);
    if (MessageBoxA(nullptr, Question.c_str(), Caption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      LogLine("Cancelled by the user");
      return 2;
    }
  }
  // Out of the product's folder, which is to go: a process's current
  // folder cannot be removed.
  SetCurrentDirectoryA(TempDirectory().c_str());
  TUninstallOptions UninstallOptions;
  UninstallOptions.SelfPath = SelfPath();
  const TUninstallReport Report = Uninstall(Record, UninstallOptions);
  for (const TReportLine& L : Report.Lines)
    LogLine(OutcomeName(L.Outcome) + " " + L.What + (L.Reason.empty() ? "" : ": " + L.Reason));
  // A silent removal shows its report only when something went wrong.
  Tell(Report.Summary(Name), Silent || (Options.Silent && !Report.Failed()),
       Report.Failed() ? MB_ICONWARNING : MB_ICONINFORMATION);
  LogLine(Report.Failed() ? "Exit code 1" : "Exit code 0");
  return Report.Failed() ? 1 : 0;
}
