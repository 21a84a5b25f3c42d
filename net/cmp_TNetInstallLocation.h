// The net install location: an FTP or HTTP server, a login and a directory
// from which archive files are fetched at install time.  WinINet is loaded
// on the first download only, so an installation that never downloads runs
// without it.
//
// Everything runs on the user-interface thread.  Between blocks the pending
// window messages are processed, which is how the Cancel button of the copy
// window reaches a running download (it sets NetAborted).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/exceptions_NetInstall.h"
#include "rtl/cmp_TComponent.h"

enum TInternetProtocol { ipFTP, ipHTTP };
extern const TEnumInfo InternetProtocolInfo;

// Login sub-object.  The plain-named class publishes the properties.
class TCustomLoginInformation : public TPersistent {
  QV_CLASS()
 public:
  // Copies all six values.
  virtual void Assign(const TCustomLoginInformation& Source);

  // The install objects refuse to download from a location whose login is
  // not filled in: a host name, or for a non-anonymous login any of host
  // name, user name and password (all trimmed).
  bool IsFilledIn() const;

  // The directory as the servers want it: backslashes become slashes.
  // FTP: "/" for a blank directory.  HTTP: the object for RemoteName,
  // "/" + RemoteName for a blank directory, else directory + "/" + RemoteName.
  std::string FtpDirectory() const;
  std::string HttpObject(const std::string& RemoteName) const;

  bool Anonymous() const { return FAnonymous; }
  void SetAnonymous(bool Value) { FAnonymous = Value; }
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(const std::string& Value) { FDirectory = Value; }
  const std::string& Hostname() const { return FHostname; }
  void SetHostname(const std::string& Value) { FHostname = Value; }
  const std::string& Password() const { return FPassword; }
  void SetPassword(const std::string& Value) { FPassword = Value; }
  TInternetProtocol Protocol() const { return FProtocol; }
  void SetProtocol(TInternetProtocol Value) { FProtocol = Value; }
  const std::string& Username() const { return FUsername; }
  void SetUsername(const std::string& Value) { FUsername = Value; }

 private:
  bool FAnonymous = true;
  std::string FDirectory;
  std::string FHostname;
  std::string FPassword;
  TInternetProtocol FProtocol = ipHTTP;
  std::string FUsername;
};

class TLoginInformation : public TCustomLoginInformation {
  QV_CLASS()
};

using TLoginEvent = TEvent<void(TPersistent* Sender)>;
using TDataReceivedEvent = TEvent<void(TPersistent* Sender, const std::string& FileName, int Bytes,
                                       int TotalBytes, int FileSize, const void* Buffer)>;
using TNotifyWithAbortFlag = TEvent<void(TPersistent* Sender, bool Aborted)>;
// The internal progress hook: the downloading object's own handler, same
// values as OnDataReceived without the sender.
using TDataReceivedProc = std::function<void(const std::string& FileName, int Bytes,
                                             int TotalBytes, int FileSize, const void* Buffer)>;

// Size of the blocks read from the server and written to the local file.
constexpr int NetBlockSize = 8192;

struct TWinInetEntryPoints;

class TCustomNetInstallLocation : public TComponent {
  QV_CLASS()
 public:
  explicit TCustomNetInstallLocation(TComponent* AOwner);
  ~TCustomNetInstallLocation() override;

  // Loads the library and resolves every entry point (ENIL_FailLoadWININET,
  // ENIL_FailLoadDLLProc).
  virtual void LoadWinInet();
  TLoginInformation* LoginInformation() const { return FLoginInformation.get(); }
  // Copies the values; the sub-object stays this location's own.
  virtual void SetLoginInformation(const TCustomLoginInformation* Value);
  // Opens the session and the connection when they are not open (again
  // when the login values changed since); for FTP it then sets the server
  // directory unless the connection already stands in it.
  virtual void Login();
  // Fetches RemoteName from the login's directory into LocalName (created
  // or truncated).  Session and connection stay open for further downloads.
  // A failure raises an ENIL and leaves what was written on disk; a cancel
  // (NetAborted) ends without an error and OnAfterDownload says so.
  virtual void Download(const std::string& RemoteName, const std::string& LocalName);

  bool IsWinInetLoaded() const { return FWinInetLoaded; }
  const std::string& RemoteFileName() const { return FRemoteFileName; }
  const std::string& LocalFileName() const { return FLocalFileName; }
  // The server's last response text, or "No server response".
  std::string LastServerResponse() const;

  // The downloading object points this at its own progress handler for the
  // duration of one download and clears it afterwards.
  void SetInternalDataReceived(TDataReceivedProc Handler) { FInternalDataReceived = std::move(Handler); }
  const TDataReceivedProc& InternalDataReceived() const { return FInternalDataReceived; }

  TLoginEvent OnBeforeLogin;
  TLoginEvent OnAfterLogin;
  TNotifyEvent OnBeforeDownload;
  TDataReceivedEvent OnDataReceived;
  TNotifyWithAbortFlag OnAfterDownload;

 protected:
  // The library loaded on first use; a descendant may point it elsewhere.
  std::string FLibraryName = "WININET.DLL";

 private:
  bool ConnectionFitsLogin() const;
  void CloseConnection();
  void OpenRemoteFile();
  void Receive();
  int QueryFileSize();
  unsigned long ReadBlock(char* Block);
  void CloseRemoteFile(bool Raise);
  void DataReceived(int Bytes, int64_t TotalBytes, int FileSize, const char* Block);
  void UnloadWinInet();

  std::unique_ptr<TLoginInformation> FLoginInformation;
  std::unique_ptr<TWinInetEntryPoints> FApi;
  void* FLibrary = nullptr;  // HMODULE
  bool FWinInetLoaded = false;
  void* FSession = nullptr;     // HINTERNET
  void* FConnection = nullptr;  // HINTERNET
  void* FFile = nullptr;        // HINTERNET: FTP file or HTTP request
  TLoginInformation FConnectedLogin;  // the values the connection was made with
  std::string FFtpDirectory;          // set on the FTP connection; empty before

  std::string FRemoteFileName;
  std::string FLocalFileName;
  TDataReceivedProc FInternalDataReceived;
};

class TNetInstallLocation : public TCustomNetInstallLocation {
  QV_CLASS()
 public:
  using TCustomNetInstallLocation::TCustomNetInstallLocation;
};

// --- Unit-wide state --------------------------------------------------------

// Every location, in creation order; each enters on creation and leaves on
// destruction.  Adding none raises IENetList.
const std::vector<TCustomNetInstallLocation*>& NetInstallLocations();
void AddNetInstallLocation(TCustomNetInstallLocation* Location);
void RemoveNetInstallLocation(TCustomNetInstallLocation* Location);

// The project's default location (the install component's NetLocation);
// cleared when that location is destroyed.
TCustomNetInstallLocation* DefaultNetLocation();
void SetDefaultNetLocation(TCustomNetInstallLocation* Location);

// The location that logged in last; its host name goes into error messages.
TCustomNetInstallLocation* NetLocationInUse();

// Set by the Cancel button of the copy window; stops the running download
// and every later one at its first block.  False at start-up.
bool NetAborted();
void SetNetAborted(bool Value);

// The host as InternetConnect wants it: "name:port" (or "[v6 address]:port")
// reaches a server on a port of its own; any other text is the host with
// Port 0, the service's default port.  Blanks around it are dropped.
struct THostPort {
  std::string Host;
  int Port = 0;
};
THostPort SplitHostPort(const std::string& Hostname);

// Makes the classes of this unit known to the stream reader.  Called
// explicitly: static initialisers in a static library may be dropped.
void RegisterNetClasses();
