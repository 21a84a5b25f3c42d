// Shared by the system tests: the classes a project of registry keys and
// links needs, and shell links read back through the shell's own interface.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "rtl/routines_Strings.h"

// What a saved shell link holds, as the shell reads it.
struct TLinkContents {
  bool Loaded = false;
  std::string Path, Arguments, WorkingDirectory;
  WORD HotKey = 0;
};

inline TLinkContents ReadShellLink(const std::string& File) {
  TLinkContents R;
  if (FAILED(CoInitialize(nullptr))) return R;
  IShellLinkA* Link = nullptr;
  IPersistFile* Persist = nullptr;
  wchar_t Wide[MAX_PATH + 1];
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&Link))) &&
      SUCCEEDED(Link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&Persist))) &&
      MultiByteToWideChar(CP_ACP, 0, File.c_str(), -1, Wide, MAX_PATH + 1) > 0 &&
      SUCCEEDED(Persist->Load(Wide, STGM_READ))) {
    char Buf[1024];
    if (SUCCEEDED(Link->GetPath(Buf, sizeof Buf, nullptr, SLGP_RAWPATH))) R.Path = Buf;
    if (SUCCEEDED(Link->GetArguments(Buf, sizeof Buf))) R.Arguments = Buf;
    if (SUCCEEDED(Link->GetWorkingDirectory(Buf, sizeof Buf))) R.WorkingDirectory = Buf;
    Link->GetHotkey(&R.HotKey);
    R.Loaded = true;
  }
  if (Persist) Persist->Release();
  if (Link) Link->Release();
  CoUninitialize();
  return R;
}

inline std::string ReadIni(const std::string& File, const std::string& Section, const std::string& Key) {
  char Buf[1024];
  GetPrivateProfileStringA(Section.c_str(), Key.c_str(), "", Buf, sizeof Buf, File.c_str());
  return Buf;
}

// A name that no other test run uses at the same time.
inline std::string Unique(const std::string& Base) {
  return Base + std::to_string(GetCurrentProcessId());
}
