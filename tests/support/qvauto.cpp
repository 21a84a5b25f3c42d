// Drives the program's windows from outside, as a user would: waits for a
// top-level window by title, lists windows and their controls, presses a
// button by its text, closes a window.  Used by the end-to-end tests and the
// main job under Wine.
//
//   qvauto wait TITLE [SECONDS]      exit 0 once a visible window titled TITLE exists
//   qvauto gone TITLE [SECONDS]      exit 0 once no such window exists
//   qvauto click TITLE BUTTON [SECONDS]  press the button captioned BUTTON ("&" ignored)
//   qvauto close TITLE               send WM_CLOSE to the window
//   qvauto list                      print visible top-level windows and their children
//   qvauto text TITLE                print the texts of the window and its children
//   qvauto hold FILE SECONDS         keep FILE open without delete sharing for a while,
//                                    or until Windows ends the session
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "window_support.h"

namespace {

std::string Plain(std::string S) {
  std::string R;
  for (char C : S)
    if (C != '&') R += C;
  return R;
}

HWND FindTop(const std::string& Title) {
  struct Ctx {
    std::string Title;
    HWND Found = nullptr;
  } C{Title};
  EnumWindows(
      [](HWND H, LPARAM P) -> BOOL {
        auto* C = reinterpret_cast<Ctx*>(P);
        if (IsWindowVisible(H) && WindowText(H) == C->Title) {
          C->Found = H;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&C));
  return C.Found;
}

HWND WaitTop(const std::string& Title, double Seconds) {
  for (DWORD Start = GetTickCount();;) {
    if (HWND H = FindTop(Title)) return H;
    if (GetTickCount() - Start > Seconds * 1000) return nullptr;
    Sleep(100);
  }
}

// "hold": the file stays open, as by a program that uses it, until the time
// is up or Windows ends the session (a restart closes such programs before
// it replaces their files).  The program has a hidden window for that.
HANDLE Held = INVALID_HANDLE_VALUE;

void Release() {
  if (Held != INVALID_HANDLE_VALUE) CloseHandle(Held);
  Held = INVALID_HANDLE_VALUE;
}

LRESULT CALLBACK HoldWindowProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (W) {
        Release();
        std::printf("released: the session ends\n");
        std::fflush(stdout);
        ExitProcess(0);
      }
      return 0;
    case WM_TIMER:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(H, Msg, W, L);
  }
}

int Hold(const std::string& File, double Seconds) {
  Held = CreateFileA(File.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (Held == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "qvauto: cannot open \"%s\"\n", File.c_str());
    return 1;
  }
  SetConsoleCtrlHandler(
      [](DWORD) -> BOOL {
        Release();
        return FALSE;  // and end as usual
      },
      TRUE);
  WNDCLASSA C{};
  C.lpfnWndProc = HoldWindowProc;
  C.hInstance = GetModuleHandleA(nullptr);
  C.lpszClassName = "QvautoHold";
  RegisterClassA(&C);
  HWND W = CreateWindowA("QvautoHold", "qvauto hold", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         C.hInstance, nullptr);
  std::printf("holding\n");
  std::fflush(stdout);
  if (W && SetTimer(W, 1, static_cast<UINT>(Seconds * 1000), nullptr)) {
    MSG M;
    while (GetMessageA(&M, nullptr, 0, 0) > 0) DispatchMessageA(&M);
  } else {
    Sleep(static_cast<DWORD>(Seconds * 1000));  // no window: only the time ends it
  }
  Release();
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: qvauto wait|gone|click|close|list|text ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string Cmd = argv[1];
  if (Cmd == "list") {
    EnumWindows(
        [](HWND H, LPARAM) -> BOOL {
          if (!IsWindowVisible(H)) return TRUE;
          char Cls[256] = {};
          GetClassNameA(H, Cls, sizeof Cls);
          std::printf("%s [%s]\n", WindowText(H).c_str(), Cls);
          for (HWND C : ChildWindows(H)) {
            GetClassNameA(C, Cls, sizeof Cls);
            std::printf("  %s [%s]\n", WindowText(C).c_str(), Cls);
          }
          return TRUE;
        },
        0);
    return 0;
  }
  if (argc < 3) return Usage();
  std::string Title = argv[2];
  if (Cmd == "wait") {
    double S = argc > 3 ? std::atof(argv[3]) : 20;
    if (WaitTop(Title, S)) return 0;
    std::fprintf(stderr, "qvauto: no window \"%s\" within %g s\n", Title.c_str(), S);
    return 1;
  }
  if (Cmd == "gone") {
    double S = argc > 3 ? std::atof(argv[3]) : 20;
    for (DWORD Start = GetTickCount(); FindTop(Title);) {
      if (GetTickCount() - Start > S * 1000) {
        std::fprintf(stderr, "qvauto: window \"%s\" still there after %g s\n", Title.c_str(), S);
        return 1;
      }
      Sleep(100);
    }
    return 0;
  }
  if (Cmd == "close") {
    HWND H = FindTop(Title);
    if (!H) {
      std::fprintf(stderr, "qvauto: no window \"%s\"\n", Title.c_str());
      return 1;
    }
    PostMessageA(H, WM_CLOSE, 0, 0);
    return 0;
  }
  if (Cmd == "text") {
    HWND H = FindTop(Title);
    if (!H) return 1;
    std::printf("%s\n", WindowText(H).c_str());
    for (HWND C : ChildWindows(H)) std::printf("  %s\n", WindowText(C).c_str());
    return 0;
  }
  if (Cmd == "hold") return Hold(Title, argc > 3 ? std::atof(argv[3]) : 30);
  if (Cmd == "click" && argc >= 4) {
    double S = argc > 4 ? std::atof(argv[4]) : 20;
    std::string Button = Plain(argv[3]);
    for (DWORD Start = GetTickCount(); GetTickCount() - Start <= S * 1000; Sleep(100)) {
      HWND H = FindTop(Title);
      if (!H) continue;
      for (HWND C : ChildWindows(H))
        if (IsWindowVisible(C) && IsWindowEnabled(C) && Plain(WindowText(C)) == Button) {
          SendMessageA(C, BM_CLICK, 0, 0);
          return 0;
        }
    }
    std::fprintf(stderr, "qvauto: no button \"%s\" in \"%s\"\n", Button.c_str(), Title.c_str());
    return 1;
  }
  return Usage();
}
