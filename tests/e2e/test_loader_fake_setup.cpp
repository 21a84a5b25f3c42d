// A stand-in for the setup program in the loading program's tests: it
// records how it was started and what lies beside it, then ends with a
// chosen exit code.
//   QV_FAKE_SETUP_RECORD=<path>   append the record to this file:
//                                 "exe=<own path>", "arg=<argument>" per
//                                 argument, "file=<name>" per file beside it
//   QV_FAKE_SETUP_EXIT=<n>        exit code (default 0)
//   QV_FAKE_SETUP_LITTER=1        leave a sub folder with a file beside itself
//   QV_FAKE_SETUP_RUNONCE=<name>  register its own path under that HKLM
//                                 RunOnce value, as a setup program that
//                                 asked for a restart does
//   QV_FAKE_SETUP_HOLD=1          leave behind a second instance that keeps a
//                                 file beside it locked for a moment after
//                                 this one has ended
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* Name) {
  char Buf[1024];
  const DWORD N = GetEnvironmentVariableA(Name, Buf, sizeof Buf);
  return N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string();
}

std::string OwnFolder(const std::string& Exe) { return Exe.substr(0, Exe.find_last_of('\\')); }

constexpr DWORD HoldMs = 1500;

}  // namespace

// The second instance: "--hold <file>" keeps the file open without sharing.
int Hold(const char* File) {
  HANDLE H = CreateFileA(File, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  Sleep(HoldMs);
  if (H != INVALID_HANDLE_VALUE) CloseHandle(H);
  return 0;
}

void StartHolder(const std::string& Exe, const std::string& File) {
  std::string Line = "\"" + Exe + "\" --hold \"" + File + "\"";
  STARTUPINFOA Si{};
  Si.cb = sizeof Si;
  PROCESS_INFORMATION Pi{};
  if (!CreateProcessA(nullptr, &Line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi)) return;
  // Let it take the file before this instance ends.
  Sleep(300);
  CloseHandle(Pi.hThread);
  CloseHandle(Pi.hProcess);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc == 3 && std::string(__argv[1]) == "--hold") return Hold(__argv[2]);
  char Exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, Exe, sizeof Exe);
  const std::string Folder = OwnFolder(Exe);

  const std::string Record = Env("QV_FAKE_SETUP_RECORD");
  if (FILE* F = Record.empty() ? nullptr : std::fopen(Record.c_str(), "ab")) {
    std::fprintf(F, "exe=%s\n", Exe);
    for (int i = 1; i < __argc; ++i) std::fprintf(F, "arg=%s\n", __argv[i]);
    WIN32_FIND_DATAA D;
    HANDLE H = FindFirstFileA((Folder + "\\*").c_str(), &D);
    if (H != INVALID_HANDLE_VALUE) {
      do {
        if (!(D.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) std::fprintf(F, "file=%s\n", D.cFileName);
      } while (FindNextFileA(H, &D));
      FindClose(H);
    }
    std::fclose(F);
  }

  if (Env("QV_FAKE_SETUP_LITTER") == "1") {
    const std::string Sub = Folder + "\\work";
    CreateDirectoryA(Sub.c_str(), nullptr);
    if (FILE* F = std::fopen((Sub + "\\state.txt").c_str(), "wb")) {
      std::fputs("left behind", F);
      std::fclose(F);
    }
  }

  const std::string RunOnce = Env("QV_FAKE_SETUP_RUNONCE");
  if (!RunOnce.empty()) {
    HKEY K;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &K, nullptr) == ERROR_SUCCESS) {
      const std::string Command = "\"" + std::string(Exe) + "\" -r -c";
      RegSetValueExA(K, RunOnce.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Command.c_str()),
                     static_cast<DWORD>(Command.size() + 1));
      RegCloseKey(K);
    }
  }

  if (Env("QV_FAKE_SETUP_HOLD") == "1") StartHolder(Exe, Folder + "\\readme.txt");

  const std::string Code = Env("QV_FAKE_SETUP_EXIT");
  return Code.empty() ? 0 : std::atoi(Code.c_str());
}
