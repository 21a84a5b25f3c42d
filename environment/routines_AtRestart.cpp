#include "environment/routines_AtRestart.h"

#include <windows.h>

#include "environment/routines_API.h"
#include "environment/routines_Scoped.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/exceptions_Quorvane.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

// The whole of Path; a file that is not there reads as empty.
bool ReadWholeFile(const std::string& Path, std::string& Text, std::string& Error) {
  Text.clear();
  if (!FileExists(Path)) return true;
  try {
    TFileStream S(Path, TFileMode::fmOpenRead);
    Text.resize(static_cast<size_t>(S.Size()));
    if (!Text.empty()) S.ReadBuffer(&Text[0], Text.size());
    return true;
  } catch (const Exception& E) {
    Error = E.Message();
    return false;
  }
}

bool WriteWholeFile(const std::string& Path, const std::string& Text, std::string& Error) {
  try {
    TFileStream S(Path, TFileMode::fmCreate);
    S.WriteBuffer(Text.data(), Text.size());
    return true;
  } catch (const Exception& E) {
    Error = E.Message();
    return false;
  }
}

// Written beside Path and moved over it once complete: a WININIT.INI cut
// short would be worked through at the start as it stands.
bool ReplaceWholeFile(const std::string& Path, const std::string& Text, std::string& Error) {
  TTempFile Temp(Path + ".qvtmp");
  if (!WriteWholeFile(Temp, Text, Error)) return false;
  if (MoveFileExA(Temp.Path().c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  Error = Format("Cannot write %s: %s", Path, Win32FailureText("MoveFileExA", GetLastError()));
  return false;
}

bool IsSectionHeader(const std::string& Line) { return !Trim(Line).empty() && Trim(Line)[0] == '['; }

// A path on a line of a batch file: quoted when a blank would split it.
std::string BatchPath(const std::string& Path) {
  return Path.find(' ') == std::string::npos ? Path : "\"" + Path + "\"";
}

}  // namespace

bool MoveAtRestart(const std::string& From, const std::string& To, std::string& Error) {
  if (MoveFileExA(From.c_str(), To.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) return true;
  Error = Win32FailureText("MoveFileExA(" + From + ", " + To + ", MOVEFILE_DELAY_UNTIL_REBOOT)", GetLastError());
  return false;
}

bool DeleteAtRestart(const std::string& Path, std::string& Error) {
  if (GetWindowsVersion() == wvWindows95) return AddWininitRename("NUL", GetShortPath(Path), Error);
  if (MoveFileExA(Path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
  Error = Win32FailureText("MoveFileExA(MOVEFILE_DELAY_UNTIL_REBOOT)", GetLastError());
  return false;
}

// The profile API cannot write a key twice (NUL stands for every deletion),
// so the section is edited as text.
bool AddWininitRename(const std::string& Destination, const std::string& Source, std::string& Error) {
  const std::string Ini = AddBackslash(GetWindowsDir()) + "WININIT.INI";
  std::string Text;
  if (!ReadWholeFile(Ini, Text, Error)) return false;
  TStrings Lines;
  Lines.SetText(Text);
  int Section = Lines.Count();
  for (int i = 0; i < Lines.Count() && Section == Lines.Count(); ++i)
    if (SameText(Trim(Lines[i]), "[Rename]")) Section = i;
  if (Section == Lines.Count()) Lines.Add("[Rename]");
  int End = Section + 1;
  while (End < Lines.Count() && !IsSectionHeader(Lines[End])) ++End;
  if (!SameText(Destination, "NUL"))
    for (int i = End - 1; i > Section; --i)
      if (SameText(Trim(Lines.Names(i)), Destination)) {
        Lines.Delete(i);
        --End;
      }
  // After the section's last entry, before blank lines that part it from the next.
  while (End > Section + 1 && Trim(Lines[End - 1]).empty()) --End;
  Lines.Insert(End, Destination + "=" + Source);
  return ReplaceWholeFile(Ini, Lines.Text(), Error);
}

bool WriteMoveBatch(const std::string& Bat, const std::string& Erase, const std::string& From,
                    const std::string& To, std::string& Error) {
  const std::string Lines =
      "erase " + BatchPath(Erase) + "\r\nmove " + BatchPath(From) + " " + BatchPath(To) + "\r\n";
  if (WriteWholeFile(Bat, Lines, Error)) return true;
  RemoveFile(Bat);
  return false;
}
