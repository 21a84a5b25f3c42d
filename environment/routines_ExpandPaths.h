// The "%" meta variables that shell links and other objects may use in
// their texts (arguments, paths): %w is the Windows folder, %a the
// destination folder of the object itself, and so on.
#pragma once

#include <functional>
#include <string>

class TComponent;

// How the expansion reaches the install objects, which are built on top of
// this unit.  The install object code fills these in once at start-up
// (SetMetaVariableHooks); until then %a, %c and %i behave as if there were
// no container and no install component.
//
//   DestPath(Obj)     the destination folder of install object Obj
//                     (its GetDestPath, without trailing backslash);
//   Container(Obj)    Obj's Container, or nullptr when it has none (or Obj
//                     is not an install object);
//   CurrentInstall()  the process's install component, nullptr when none.
struct TMetaVariableHooks {
  std::function<std::string(TComponent* Obj)> DestPath;
  std::function<TComponent*(TComponent* Obj)> Container;
  std::function<TComponent*()> CurrentInstall;
};
void SetMetaVariableHooks(TMetaVariableHooks Hooks);
const TMetaVariableHooks& MetaVariableHooks();

// Text with every meta variable replaced, letters compared without case:
//   %a  destination folder of Link          %b  Programs folder of the Start Menu
//   %c  destination folder of Link's Container
//   %d  Desktop     %f  common files       %i  destination folder of the install
//   %m  Start Menu  %p  program files      %s  system      %w  Windows
// "%%" gives "%"; "%" before any other character drops both; a "%" at the end
// is dropped.  %a and %c without a Link, %c without a Container raise
// EQICannotExpandContainerDirMV; %i without an install component raises
// EQICannotExpandInstallDirMV.
void ExpandMetaVariables(const std::string& Text, TComponent* Link, std::string& Result);
