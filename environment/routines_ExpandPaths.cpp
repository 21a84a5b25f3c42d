#include "environment/routines_ExpandPaths.h"

#include "environment/routines_API.h"
#include "rtl/exceptions_Quorvane.h"

namespace {

TMetaVariableHooks& Hooks() {
  static TMetaVariableHooks H;
  return H;
}

std::string DestPathOf(TComponent* Obj, char Letter) {
  if (!Hooks().DestPath)
    throw EQI(Format("Cannot expand the %%%s meta variable: install objects are not available",
                     std::string(1, Letter)));
  return Hooks().DestPath(Obj);
}

std::string LinkDir(TComponent* Link) {
  if (!Link)
    throw EQICannotExpandContainerDirMV(
        TranslateMessageText("Cannot expand the %a meta variable because the component is Nil"));
  return DestPathOf(Link, 'a');
}

std::string ContainerDir(TComponent* Link) {
  if (!Link)
    throw EQICannotExpandContainerDirMV(
        TranslateMessageText("Cannot expand the %c meta variable because the component is Nil"));
  TComponent* Container = Hooks().Container ? Hooks().Container(Link) : nullptr;
  if (!Container)
    throw EQICannotExpandContainerDirMV(
        TranslateMessageText("Cannot expand the %c meta variable because the Container property is Nil"));
  return DestPathOf(Container, 'c');
}

std::string InstallDir() {
  TComponent* Install = Hooks().CurrentInstall ? Hooks().CurrentInstall() : nullptr;
  if (!Install)
    throw EQICannotExpandInstallDirMV(
        TranslateMessageText("Cannot expand the %i meta variable because there is no TInstall component"));
  return DestPathOf(Install, 'i');
}

// The replacement for a meta variable letter (lower case); false for a
// letter that names none.
bool Expand(char Letter, TComponent* Link, std::string& Out) {
  switch (Letter) {
    case 'a': Out = LinkDir(Link); return true;
    case 'b': Out = GetProgramsDir(); return true;
    case 'c': Out = ContainerDir(Link); return true;
    case 'd': Out = GetDesktopDir(); return true;
    case 'f': Out = GetCommonFilesDir(); return true;
    case 'i': Out = InstallDir(); return true;
    case 'm': Out = GetStartMenuDir(); return true;
    case 'p': Out = GetProgramFilesDir(); return true;
    case 's': Out = GetSystemDir(); return true;
    case 'w': Out = GetWindowsDir(); return true;
    default: return false;
  }
}

}  // namespace

void SetMetaVariableHooks(TMetaVariableHooks H) { Hooks() = std::move(H); }

const TMetaVariableHooks& MetaVariableHooks() { return Hooks(); }

void ExpandMetaVariables(const std::string& Text, TComponent* Link, std::string& Result) {
  std::string R;
  bool Pending = false;
  for (char C : Text) {
    if (!Pending) {
      if (C == '%')
        Pending = true;
      else
        R += C;
      continue;
    }
    Pending = false;
    if (C == '%') {
      R += '%';
      continue;
    }
    char Lower = (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
    std::string Dir;
    if (Expand(Lower, Link, Dir)) R += Dir;
  }
  Result = std::move(R);
}
