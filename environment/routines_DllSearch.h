// Where the kit's programs look for libraries.  A downloaded setup.exe
// stands in a folder anyone may have put a DLL into (the browser's download
// folder), so the libraries of the system come from the system folder and
// from nowhere else, and the current folder is never searched.
//
// Header only, on kernel32 alone: the loading program uses it too, and it
// links no library of the kit.
#pragma once

#include <windows.h>

#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// SetDefaultDllDirectories came with Windows 8 (and an update of 7): looked
// up, so that the programs still start on older systems, where the current
// folder at least leaves the search.
inline bool HasDefaultDllDirectories() {
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories") != nullptr;
}

inline void LoadSystemLibrariesFromSystemFolder() {
  const HMODULE Kernel = GetModuleHandleA("kernel32.dll");
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  using TSetDllDirectory = BOOL(WINAPI*)(LPCSTR);
  // Through void*: the two function pointer types are unrelated.
  auto SetDefault = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void*>(GetProcAddress(Kernel, "SetDefaultDllDirectories")));
  if (SetDefault && SetDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  auto SetDirectory =
      reinterpret_cast<TSetDllDirectory>(reinterpret_cast<void*>(GetProcAddress(Kernel, "SetDllDirectoryA")));
  if (SetDirectory) SetDirectory("");
}

// The flags for LoadLibraryEx of an installed library by its full path: the
// libraries it needs are looked for beside it first (a product's component
// and the product's own DLLs), then where the system's are.
inline DWORD InstalledLibraryLoadFlags() {
  return HasDefaultDllDirectories() ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                                    : LOAD_WITH_ALTERED_SEARCH_PATH;
}

// A library of the system, loaded by its full path in the system folder and
// kept for the life of the process; null when it cannot be loaded.  For the
// libraries Windows does not protect as known DLLs: imported, they would be
// looked for beside the program before SetDefaultDllDirectories could run.
inline HMODULE LoadSystemLibrary(const char* Name) {
  char Dir[MAX_PATH];
  const UINT N = GetSystemDirectoryA(Dir, MAX_PATH);
  if (N == 0 || N >= MAX_PATH) return nullptr;
  return LoadLibraryA((std::string(Dir, N) + "\\" + Name).c_str());
}
