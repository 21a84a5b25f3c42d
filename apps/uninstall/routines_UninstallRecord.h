// The uninstall record of a product as the installation left it under
// HKEY_LOCAL_MACHINE "\Software\Microsoft\Windows\CurrentVersion\Uninstall\"
// + product name:
//
//   DisplayName, UninstallString             (the uninstaller file)
//   Files, Files1, Files2 ...\FileN = path   (install files, link files)
//   ActiveX\FileN = path;1 (program) or path;0 (library)
//   RegistryKeys\RegistryKeyN: Key = path, Root = TRootKeys ordinal,
//                              Entries\<value name> = text
//
// Each sub-key also holds a counter "Entries"; the reader does not trust it
// and takes every numbered value that is there, in number order, so a record
// that an interrupted removal thinned out still reads completely.
#pragma once

#include <string>
#include <vector>

#include "environment/routines_Registry.h"

extern const char* const UninstallKeyRoot;  // "\Software\...\CurrentVersion\Uninstall"

// Where one recorded item lives in the record, so that it can be struck
// out once it has been dealt with.
struct TRecordPlace {
  std::string SubKey;     // full key path below HKEY_LOCAL_MACHINE
  std::string ValueName;  // empty: the whole SubKey is the item
};

struct TRecordedFile {
  std::string Path;
  TRecordPlace Place;
};

struct TRecordedActiveX {
  std::string Path;
  bool IsProgram = false;  // registered through /REGSERVER rather than DllRegisterServer
  TRecordPlace Place;
};

struct TRecordedRegistryKey {
  TRootKeys Root = hkLocalMachine;
  std::string Key;
  std::vector<std::string> ValueNames;
  TRecordPlace Place;
};

struct TUninstallRecord {
  std::string Product;
  std::string Key;  // the product's uninstall key
  std::string DisplayName;
  std::string UninstallString;
  std::vector<TRecordedFile> Files;
  std::vector<TRecordedActiveX> ActiveX;
  std::vector<TRecordedRegistryKey> RegistryKeys;
  // Entries that could not be understood, with the reason; they are
  // reported and left in the record.
  std::vector<std::string> Unreadable;
};

std::string UninstallKeyOf(const std::string& Product);
// false when the product has no uninstall key.
bool ReadUninstallRecord(const std::string& Product, TUninstallRecord& Record);

// --- the pieces of the layout, for the reader and its tests --------------------

// The number N of a name "<Prefix>N" (Prefix alone gives 0 when AllowBare);
// -1 for any other name.  Case is ignored.
int NumberedName(const std::string& Name, const std::string& Prefix, bool AllowBare);
// Splits an ActiveX entry "path;1" / "path;0"; false when it has neither.
bool ParseActiveXEntry(const std::string& Entry, std::string& Path, bool& IsProgram);
// The program path of an UninstallString: the text before " " + Product, or
// up to the first ".exe" when the product is not at its end.
std::string UninstallerPathOf(const std::string& UninstallString, const std::string& Product);
