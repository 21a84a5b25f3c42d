// The uninstaller: started as the uninstall record says,
//   "<folder>\uninstall.exe Product Name"
// (the product name may hold blanks and is not quoted), or with /S (or -s)
// before the name for a removal without questions.  Exit code 0 when
// everything went, 1 when something could not be removed or no record was
// found, 2 when the user said no.
#include <windows.h>

#include <string>

#include "apps/uninstall/routines_Uninstall.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  bool Silent = false;
  std::string Product;
  ParseUninstallCommandLine(GetCommandLineA(), Silent, Product);
  if (Product.empty()) {
    Tell("Usage: uninstall.exe [/S] product name", Silent, MB_ICONINFORMATION);
    return 1;
  }
  TUninstallRecord Record;
  if (!ReadUninstallRecord(Product, Record)) {
    Tell(Format("No uninstall information was found for %s.", Product), Silent, MB_ICONSTOP);
    return 1;
  }
  const std::string Name = Record.DisplayName.empty() ? Product : Record.DisplayName;
  if (!Silent) {
    const std::string Question = Format("Are you sure you want to remove %s and all of its components?", Name);
    if (MessageBoxA(nullptr, Question.c_str(), Caption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 2;
  }
  // Out of the product's folder, which is to go: a process's current
  // folder cannot be removed.
  SetCurrentDirectoryA(TempDirectory().c_str());
  TUninstallOptions Options;
  Options.SelfPath = SelfPath();
  const TUninstallReport Report = Uninstall(Record, Options);
  Tell(Report.Summary(Name), Silent, Report.Failed() ? MB_ICONWARNING : MB_ICONINFORMATION);
  return Report.Failed() ? 1 : 0;
}
