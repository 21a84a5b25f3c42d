#include "engine/routines_CleanupBatch.h"

#include <cstdio>

#include "environment/routines_API.h"
#include "rtl/routines_Strings.h"

std::string WriteCleanupBatch(const std::string& Exe, const std::string& Dir, bool Family95) {
  const std::string Bat = ChangeFileExt(GetTempFile(false), ".bat");
  FILE* F = std::fopen(Bat.c_str(), "w");
  if (!F) return "";
  if (Family95) {
    std::fprintf(F, "ERASE %s\nDELTREE /Y %s\nERASE %s\nERASE %s\n", Exe.c_str(), Dir.c_str(),
                 ChangeFileExt(Bat, ".PIF").c_str(), Bat.c_str());
  } else {
    // Windows NT has no DELTREE, and the program is still running when the
    // batch starts: wait until its file can be erased (bounded), then take
    // the folder away.
    std::fprintf(F,
                 "@echo off\r\nset /a n=0\r\n:wait\r\nerase \"%s\" >nul 2>&1\r\n"
                 "if not exist \"%s\" goto gone\r\nset /a n=n+1\r\nif %%n%% lss 20000 goto wait\r\n"
                 ":gone\r\nrmdir /s /q \"%s\" >nul 2>&1\r\nerase \"%s\" >nul 2>&1\r\nerase \"%s\" >nul 2>&1\r\n",
                 Exe.c_str(), Exe.c_str(), Dir.c_str(), ChangeFileExt(Bat, ".PIF").c_str(), Bat.c_str());
  }
  std::fclose(F);
  return Bat;
}
