#include "TestServer.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

constexpr DWORD StartTimeoutMs = 15000;
constexpr DWORD StopTimeoutMs = 10000;
constexpr DWORD PollMs = 50;

std::string Env(const char* Name, const char* Default) {
  const char* V = std::getenv(Name);
  return V && *V ? V : Default;
}

// The Linux path of a Windows one, through Wine's own export.
std::string UnixPath(const std::string& WindowsPath) {
  using TFn = char*(CDECL*)(LPCWSTR);
  auto Fn = reinterpret_cast<TFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "wine_get_unix_file_name")));
  if (!Fn) throw std::runtime_error("not running under Wine: no wine_get_unix_file_name");
  std::wstring W(WindowsPath.begin(), WindowsPath.end());
  char* P = Fn(W.c_str());
  if (!P) throw std::runtime_error("no Linux path for " + WindowsPath);
  std::string R(P);
  HeapFree(GetProcessHeap(), 0, P);
  return R;
}

// Winsock, loaded by hand so the test needs no extra link library.
struct TWinsock {
  decltype(&WSAStartup) Startup = nullptr;
  decltype(&socket) Socket = nullptr;
  decltype(&connect) Connect = nullptr;
  decltype(&closesocket) Close = nullptr;
  TWinsock() {
    HMODULE M = LoadLibraryA("WS2_32.DLL");
    if (!M) throw std::runtime_error("cannot load WS2_32.DLL");
    Startup = reinterpret_cast<decltype(Startup)>(reinterpret_cast<void*>(GetProcAddress(M, "WSAStartup")));
    Socket = reinterpret_cast<decltype(Socket)>(reinterpret_cast<void*>(GetProcAddress(M, "socket")));
    Connect = reinterpret_cast<decltype(Connect)>(reinterpret_cast<void*>(GetProcAddress(M, "connect")));
    Close = reinterpret_cast<decltype(Close)>(reinterpret_cast<void*>(GetProcAddress(M, "closesocket")));
    WSADATA Data;
    if (!Startup || !Socket || !Connect || !Close || Startup(MAKEWORD(2, 2), &Data) != 0)
      throw std::runtime_error("Winsock is not usable");
  }
};
const TWinsock& Winsock() {
  static const TWinsock W;
  return W;
}

SOCKET ConnectLoopback(int Port) {
  const TWinsock& W = Winsock();
  SOCKET S = W.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (S == INVALID_SOCKET) throw std::runtime_error("socket() failed");
  sockaddr_in A = {};
  A.sin_family = AF_INET;
  A.sin_port = static_cast<u_short>(((Port & 0xFF) << 8) | ((Port >> 8) & 0xFF));
  A.sin_addr.s_addr = 0x0100007F;  // 127.0.0.1 in network order
  if (W.Connect(S, reinterpret_cast<sockaddr*>(&A), sizeof(A)) != 0) {
    W.Close(S);
    throw std::runtime_error("cannot connect to the server's lifeline port");
  }
  return S;
}

bool WaitForFile(const std::string& Path, DWORD TimeoutMs) {
  for (DWORD Waited = 0;; Waited += PollMs) {
    if (FileExistsAt(Path)) return true;
    if (Waited >= TimeoutMs) return false;
    Sleep(PollMs);
  }
}

void RunStartUnix(const std::string& Args) {
  char SystemDir[MAX_PATH];
  GetSystemDirectoryA(SystemDir, MAX_PATH);
  std::string Cmd = std::string(SystemDir) + "\\start.exe /unix " + Args;
  STARTUPINFOA Si = {};
  Si.cb = sizeof(Si);
  PROCESS_INFORMATION Pi = {};
  if (!CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi))
    throw std::runtime_error("cannot run " + Cmd + " (error " + std::to_string(GetLastError()) + ")");
  // start.exe returns once the program runs; when it cannot start it, it
  // may sit in an error box instead.
  DWORD Code = 0;
  const bool Returned = WaitForSingleObject(Pi.hProcess, StartTimeoutMs) == WAIT_OBJECT_0;
  if (!Returned) TerminateProcess(Pi.hProcess, 1);
  GetExitCodeProcess(Pi.hProcess, &Code);
  CloseHandle(Pi.hThread);
  CloseHandle(Pi.hProcess);
  if (!Returned || Code != 0)
    throw std::runtime_error("cannot start the test server: " + Cmd + " (exit code " +
                             std::to_string(Code) + ")");
}

}  // namespace

TTestServer::TTestServer(TKind Kind, const std::string& Root, const std::string& Control)
    : FControl(Control) {
  const std::string Script = Env("QV_SOURCE_DIR", "/work/main") + "/tests/servers/" +
                             (Kind == tsHttp ? "http_server.py" : "ftp_server.py");
  // The system's Python: it has pyftpdlib (scripts/bootstrap.sh installs it).
  const std::string Python = Env("QV_PYTHON", "/usr/bin/python3");
  RunStartUnix(Python + " " + Script + " --root " + UnixPath(Root) + " --control " +
               UnixPath(Control));
  const std::string PortsFile = Control + "\\ports";
  if (!WaitForFile(PortsFile, StartTimeoutMs))
    throw std::runtime_error("the test server did not start: " + Script + "\n" + ServerLog());
  std::istringstream In(ReadFileBytes(PortsFile));
  int LifelinePort = 0;
  In >> FPort >> LifelinePort;
  if (FPort <= 0 || LifelinePort <= 0)
    throw std::runtime_error("the test server wrote no ports: " + ReadFileBytes(PortsFile));
  FLifeline = ConnectLoopback(LifelinePort);
}

TTestServer::~TTestServer() {
  if (FLifeline == INVALID_SOCKET) return;
  Winsock().Close(static_cast<SOCKET>(FLifeline));
  // The server confirms it is going; a test does not end with it running.
  WaitForFile(FControl + "\\stopped", StopTimeoutMs);
}

std::string TTestServer::RequestLog() const {
  const std::string P = FControl + "\\requests.log";
  return FileExistsAt(P) ? ReadFileBytes(P) : "";
}

std::string TTestServer::ServerLog() const {
  const std::string P = FControl + "\\server.log";
  return FileExistsAt(P) ? ReadFileBytes(P) : "(no server log)";
}

std::string ReadFileBytes(const std::string& Path) {
  std::ifstream F(Path, std::ios::binary);
  if (!F) throw std::runtime_error("cannot read " + Path);
  std::ostringstream S;
  S << F.rdbuf();
  return S.str();
}

void WriteFileBytes(const std::string& Path, const std::string& Data) {
  std::ofstream F(Path, std::ios::binary | std::ios::trunc);
  F.write(Data.data(), static_cast<std::streamsize>(Data.size()));
  if (!F) throw std::runtime_error("cannot write " + Path);
}

bool FileExistsAt(const std::string& Path) {
  return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string MakeTestFolder(const std::string& Prefix) {
  static int Counter = 0;
  char Temp[MAX_PATH];
  GetTempPathA(MAX_PATH, Temp);
  std::string Path = std::string(Temp) + Prefix + "-" + std::to_string(GetCurrentProcessId()) +
                     "-" + std::to_string(++Counter);
  RemoveTree(Path);
  MakeFolders(Path);
  return Path;
}

void MakeFolders(const std::string& Path) {
  for (size_t I = 3; I <= Path.size(); ++I)
    if (I == Path.size() || Path[I] == '\\') CreateDirectoryA(Path.substr(0, I).c_str(), nullptr);
}

void UseDirectConnections() {
  for (const char* Name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy",
                           "FTP_PROXY", "all_proxy", "ALL_PROXY"}) {
    SetEnvironmentVariableA(Name, nullptr);
    _putenv((std::string(Name) + "=").c_str());
  }
  HKEY Key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                      nullptr, 0, KEY_SET_VALUE, nullptr, &Key, nullptr) == ERROR_SUCCESS) {
    DWORD Off = 0;
    RegSetValueExA(Key, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&Off), sizeof(Off));
    RegCloseKey(Key);
  }
}
