// Local HTTP and FTP servers for the net tests (tests/servers/*.py), run by
// the Linux Python from inside the Windows test under Wine.
//
// The server is started through "start /unix" and tells its ports through a
// file in a control folder.  The test then holds a "lifeline" connection to
// it; when that connection closes (the guard goes out of scope, or the test
// process dies and the system closes its sockets) the server exits.  A
// server that does not come up makes the constructor throw, which fails the
// test.
#pragma once

#include <cstdint>
#include <string>

#include "test_paths.h"

class TTestServer {
 public:
  enum TKind { tsHttp, tsFtp };

  // Serves the Windows folder Root; Control is an empty Windows folder for
  // the server's ports, logs and stop marker.
  TTestServer(TKind Kind, const std::string& Root, const std::string& Control);
  ~TTestServer();
  TTestServer(const TTestServer&) = delete;
  TTestServer& operator=(const TTestServer&) = delete;

  int Port() const { return FPort; }
  // "127.0.0.1:<port>", the form a login's host name takes for a server on
  // a port of its own.
  std::string Host() const { return "127.0.0.1:" + std::to_string(FPort); }
  // HTTP: one line per request, "GET /path | Accept: ... | User-Agent: ...".
  std::string RequestLog() const;
  std::string ServerLog() const;

 private:
  std::string FControl;
  int FPort = 0;
  uintptr_t FLifeline = ~uintptr_t(0);  // SOCKET
};

// Test file helpers (Windows paths).
std::string ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::string& Data);
bool FileExistsAt(const std::string& Path);
// A fresh folder under the temporary folder (removed with RemoveTree of
// test_paths.h).
std::string MakeTestFolder(const std::string& Prefix);
void MakeFolders(const std::string& Path);
// Makes WinINet in this process talk to 127.0.0.1 directly, whatever proxy
// the environment or the prefix names.
void UseDirectConnections();
