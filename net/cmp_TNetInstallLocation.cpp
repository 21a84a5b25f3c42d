#include "net/cmp_TNetInstallLocation.h"

#include <windows.h>
#include <wininet.h>
// winuser.h maps RegisterClass to RegisterClassA; the class registry's is meant.
#undef RegisterClass

#include <algorithm>
#include <climits>

#include "controls/cmp_TApplication.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"

// WinINet is reached only through the entry points resolved at run time:
// the program has no import of WININET.DLL.
struct TWinInetEntryPoints {
  BOOL(WINAPI* InternetGetLastResponseInfo)(LPDWORD, LPSTR, LPDWORD) = nullptr;
  HINTERNET(WINAPI* InternetOpen)(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD) = nullptr;
  HINTERNET(WINAPI* InternetConnect)(HINTERNET, LPCSTR, INTERNET_PORT, LPCSTR, LPCSTR, DWORD,
                                     DWORD, DWORD_PTR) = nullptr;
  BOOL(WINAPI* FtpSetCurrentDirectory)(HINTERNET, LPCSTR) = nullptr;
  BOOL(WINAPI* InternetCloseHandle)(HINTERNET) = nullptr;
  BOOL(WINAPI* InternetQueryDataAvailable)(HINTERNET, LPDWORD, DWORD, DWORD_PTR) = nullptr;
  BOOL(WINAPI* InternetReadFile)(HINTERNET, LPVOID, DWORD, LPDWORD) = nullptr;
  HINTERNET(WINAPI* FtpOpenFile)(HINTERNET, LPCSTR, DWORD, DWORD, DWORD_PTR) = nullptr;
  HINTERNET(WINAPI* HttpOpenRequest)(HINTERNET, LPCSTR, LPCSTR, LPCSTR, LPCSTR, LPCSTR*, DWORD,
                                     DWORD_PTR) = nullptr;
  BOOL(WINAPI* HttpSendRequest)(HINTERNET, LPCSTR, DWORD, LPVOID, DWORD) = nullptr;
  BOOL(WINAPI* HttpQueryInfo)(HINTERNET, DWORD, LPVOID, LPDWORD, LPDWORD) = nullptr;
};

namespace {

// Values passed to WinINet as the download protocol prescribes.
constexpr DWORD OpenTypePreconfig = 0;          // INTERNET_OPEN_TYPE_PRECONFIG
constexpr DWORD FtpFileContext = 0x80000000u;   // context of FtpOpenFile
constexpr DWORD HttpRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr char HttpRequestHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD ContentLengthBufferSize = 33;
constexpr DWORD ResponseBufferSize = 3000;
// A server answering a missing file with an ordinary page: the first
// characters of the first block tell.
constexpr size_t NotFoundProbeLength = 30;

// --- unit-wide state --------------------------------------------------------

std::vector<TCustomNetInstallLocation*>& LocationList() {
  static std::vector<TCustomNetInstallLocation*> List;
  return List;
}
TCustomNetInstallLocation* GDefaultLocation = nullptr;
TCustomNetInstallLocation* GLocationInUse = nullptr;
bool GNetAborted = false;

// Lets the copy window's Cancel button run between two blocks.  Without an
// application object there is no window to listen to.
void ProcessPendingMessages() {
  if (Application) Application->ProcessMessages();
}

// The user agent: the application's title, else the program's file name
// without its extension.
std::string AgentName() {
  if (Application && !Trim(Application->Title).empty()) return Application->Title;
  std::string Name = ChangeFileExt(ExtractFileName(TApplication::ExeName()), "");
  return Name.empty() ? "Quorvane" : Name;
}

std::string SlashedDirectory(const std::string& Directory) {
  std::string D = Directory;
  std::replace(D.begin(), D.end(), '\\', '/');
  return D;
}

template <class F>
void ResolveEntryPoint(HMODULE Library, const char* Export, const char* ShownName, F& Slot) {
  FARPROC P = GetProcAddress(Library, Export);
  if (!P)
    throw ENIL_FailLoadDLLProc(
        TranslatedFormat("Failed to load the procedure %s from WININET.DLL", ShownName));
  Slot = reinterpret_cast<F>(reinterpret_cast<void*>(P));
}

int ClampToInt(int64_t V) { return static_cast<int>(std::min<int64_t>(V, INT_MAX)); }

}  // namespace

THostPort SplitHostPort(const std::string& Hostname) {
  THostPort R{Trim(Hostname)};
  const size_t Colon = R.Host.rfind(':');
  if (Colon == std::string::npos) return R;
  const bool Bracketed = R.Host[0] == '[' && Colon > 0 && R.Host[Colon - 1] == ']';
  if (!Bracketed && R.Host.find(':') != Colon) return R;  // a bare IPv6 address
  const std::string Digits = R.Host.substr(Colon + 1);
  int32_t Port = 0;
  if (Digits.empty() || Digits.find_first_not_of("0123456789") != std::string::npos ||
      !TryStrToInt(Digits, Port) || Port < 1 || Port > 65535)
    return R;
  R.Port = Port;
  R.Host = Bracketed ? R.Host.substr(1, Colon - 2) : R.Host.substr(0, Colon);
  return R;
}

// --- TCustomLoginInformation ------------------------------------------------

const TEnumInfo InternetProtocolInfo{"TInternetProtocol", {"ipFTP", "ipHTTP"}};

const TClassInfo& TCustomLoginInformation::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCustomLoginInformation>("TCustomLoginInformation", &TPersistent::StaticClass())
          .Build();
  return Info;
}

const TClassInfo& TLoginInformation::StaticClass() {
  using L = TCustomLoginInformation;
  static const TClassInfo Info =
      TClassBuilder<TLoginInformation>("TLoginInformation", &TCustomLoginInformation::StaticClass())
          .Bool("Anonymous", &L::Anonymous, &L::SetAnonymous, true)
          .Str("Directory", &L::Directory, &L::SetDirectory)
          .Str("Hostname", &L::Hostname, &L::SetHostname)
          .Str("Password", &L::Password, &L::SetPassword)
          .Enum("Protocol", InternetProtocolInfo, &L::Protocol, &L::SetProtocol, ipHTTP)
          .Str("Username", &L::Username, &L::SetUsername)
          .Build();
  return Info;
}

void TCustomLoginInformation::Assign(const TCustomLoginInformation& Source) {
  FAnonymous = Source.FAnonymous;
  FDirectory = Source.FDirectory;
  FHostname = Source.FHostname;
  FPassword = Source.FPassword;
  FProtocol = Source.FProtocol;
  FUsername = Source.FUsername;
}

bool TCustomLoginInformation::IsFilledIn() const {
  if (!Trim(FHostname).empty()) return true;
  return !FAnonymous && (!Trim(FPassword).empty() || !Trim(FUsername).empty());
}

std::string TCustomLoginInformation::FtpDirectory() const {
  return Trim(FDirectory).empty() ? "/" : SlashedDirectory(FDirectory);
}

std::string TCustomLoginInformation::HttpObject(const std::string& RemoteName) const {
  if (Trim(FDirectory).empty()) return "/" + RemoteName;
  return SlashedDirectory(AddBackslash(FDirectory)) + RemoteName;
}

// --- TCustomNetInstallLocation ----------------------------------------------

namespace {
// The events live in the behaviour class; the published class names them.
template <class Sig>
TEvent<Sig> TNetInstallLocation::*Published(TEvent<Sig> TCustomNetInstallLocation::*Field) {
  return static_cast<TEvent<Sig> TNetInstallLocation::*>(Field);
}
}  // namespace

const TClassInfo& TCustomNetInstallLocation::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TCustomNetInstallLocation>(
                                     "TCustomNetInstallLocation", &TComponent::StaticClass())
                                     .Build();
  return Info;
}

const TClassInfo& TNetInstallLocation::StaticClass() {
  using L = TCustomNetInstallLocation;
  static const TClassInfo Info =
      TClassBuilder<TNetInstallLocation>("TNetInstallLocation",
                                         &TCustomNetInstallLocation::StaticClass())
          .Creatable()
          .Object("LoginInformation", &L::LoginInformation)
          .Event("OnBeforeLogin", Published(&L::OnBeforeLogin))
          .Event("OnAfterLogin", Published(&L::OnAfterLogin))
          .Event("OnBeforeDownload", Published(&L::OnBeforeDownload))
          .Event("OnDataReceived", Published(&L::OnDataReceived))
          .Event("OnAfterDownload", Published(&L::OnAfterDownload))
          .Build();
  return Info;
}

TCustomNetInstallLocation::TCustomNetInstallLocation(TComponent* AOwner)
    : TComponent(AOwner), FLoginInformation(std::make_unique<TLoginInformation>()) {
  AddNetInstallLocation(this);
}

TCustomNetInstallLocation::~TCustomNetInstallLocation() {
  UnloadWinInet();
  RemoveNetInstallLocation(this);
  if (GDefaultLocation == this) GDefaultLocation = nullptr;
  if (GLocationInUse == this) GLocationInUse = nullptr;
}

void TCustomNetInstallLocation::LoadWinInet() {
  UnloadWinInet();
  HMODULE Library = LoadLibraryA(FLibraryName.c_str());
  if (!Library)
    throw ENIL_FailLoadWININET(TranslateMessageText(
        "Failed to load the Wininet.dll. If this is a hybrid installation, you might want to "
        "include the WININET.DLL file in the PresetupFiles property of the TInstall component"));
  FLibrary = Library;
  auto Api = std::make_unique<TWinInetEntryPoints>();
  ResolveEntryPoint(Library, "InternetGetLastResponseInfoA", "InternetGetLastResponseInfo",
                    Api->InternetGetLastResponseInfo);
  ResolveEntryPoint(Library, "InternetOpenA", "InternetOpen", Api->InternetOpen);
  ResolveEntryPoint(Library, "InternetConnectA", "InternetConnect", Api->InternetConnect);
  ResolveEntryPoint(Library, "FtpSetCurrentDirectoryA", "FtpSetCurrentDirectory",
                    Api->FtpSetCurrentDirectory);
  ResolveEntryPoint(Library, "InternetCloseHandle", "InternetCloseHandle",
                    Api->InternetCloseHandle);
  ResolveEntryPoint(Library, "InternetQueryDataAvailable", "InternetQueryDataAvailable",
                    Api->InternetQueryDataAvailable);
  ResolveEntryPoint(Library, "InternetReadFile", "InternetReadFile", Api->InternetReadFile);
  ResolveEntryPoint(Library, "FtpOpenFileA", "FtpOpenFile", Api->FtpOpenFile);
  ResolveEntryPoint(Library, "HttpOpenRequestA", "HttpOpenRequest", Api->HttpOpenRequest);
  ResolveEntryPoint(Library, "HttpSendRequestA", "HttpSendRequest", Api->HttpSendRequest);
  ResolveEntryPoint(Library, "HttpQueryInfoA", "HttpQueryInfo", Api->HttpQueryInfo);
  FApi = std::move(Api);
  FWinInetLoaded = true;
}

// Closes what is open (connection before session), then lets the library go.
void TCustomNetInstallLocation::UnloadWinInet() {
  if (FApi) {
    for (void* H : {FFile, FConnection, FSession})
      if (H) FApi->InternetCloseHandle(H);
  }
  FWinInetLoaded = false;
  FApi.reset();
  FSession = FConnection = FFile = nullptr;
  FFtpDirectory.clear();
  if (FLibrary) FreeLibrary(static_cast<HMODULE>(FLibrary));
  FLibrary = nullptr;
}

void TCustomNetInstallLocation::SetLoginInformation(const TCustomLoginInformation* Value) {
  if (Value) FLoginInformation->Assign(*Value);
}

void TCustomNetInstallLocation::Login() {
  GLocationInUse = this;
  if (!FWinInetLoaded) LoadWinInet();
  const TLoginInformation& L = *FLoginInformation;
  if (!FSession) {
    FSession = FApi->InternetOpen(AgentName().c_str(), OpenTypePreconfig, nullptr, nullptr, 0);
    if (!FSession) throw ENIL_OpenSession(TranslateMessageText("Cannot open internet connection"));
  }
  if (FConnection && !ConnectionFitsLogin()) CloseConnection();
  if (!FConnection) {
    if (OnBeforeLogin) OnBeforeLogin(this);
    const bool Ftp = L.Protocol() == ipFTP;
    const DWORD Service = Ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
    const char* User = L.Username().c_str();
    const char* Password = L.Password().c_str();
    if (L.Anonymous()) {
      // FTP logs in as "anonymous" only when given no names at all.
      User = Ftp ? nullptr : "";
      Password = Ftp ? nullptr : "";
    }
    const THostPort Target = SplitHostPort(L.Hostname());
    FConnection = FApi->InternetConnect(FSession, Target.Host.c_str(),
                                        static_cast<INTERNET_PORT>(Target.Port), User, Password,
                                        Service, 0, 0);
    if (!FConnection)
      throw ENIL_OpenService(TranslatedFormat("Cannot connect to host %s", L.Hostname()));
    FConnectedLogin.Assign(L);
    FFtpDirectory.clear();
    if (OnAfterLogin) OnAfterLogin(this);
  }
  // A relative directory is relative to where the connection stands: it is
  // set once per connection (ConnectionFitsLogin sends a new directory
  // through a fresh login), never again on top of itself.
  if (L.Protocol() == ipFTP && FFtpDirectory.empty()) {
    const std::string Dir = L.FtpDirectory();
    if (!FApi->FtpSetCurrentDirectory(FConnection, Dir.c_str()))
      throw ENIL_FTPSetDir(TranslatedFormat("Cannot set directory on server to %s", Dir));
    FFtpDirectory = Dir;
  }
}

// The open connection was made for these login values (and, for FTP, has
// moved to this directory or not moved yet).
bool TCustomNetInstallLocation::ConnectionFitsLogin() const {
  const TLoginInformation& L = *FLoginInformation;
  const TLoginInformation& C = FConnectedLogin;
  if (L.Hostname() != C.Hostname() || L.Protocol() != C.Protocol() ||
      L.Anonymous() != C.Anonymous())
    return false;
  if (!L.Anonymous() && (L.Username() != C.Username() || L.Password() != C.Password()))
    return false;
  return L.Protocol() != ipFTP || FFtpDirectory.empty() || FFtpDirectory == L.FtpDirectory();
}

void TCustomNetInstallLocation::CloseConnection() {
  if (FConnection) FApi->InternetCloseHandle(FConnection);
  FConnection = nullptr;
  FFtpDirectory.clear();
}

void TCustomNetInstallLocation::Download(const std::string& RemoteName,
                                         const std::string& LocalName) {
  Login();
  FRemoteFileName = RemoteName;
  FLocalFileName = LocalName;
  if (OnBeforeDownload) OnBeforeDownload(this);
  try {
    OpenRemoteFile();
    Receive();
  } catch (...) {
    CloseRemoteFile(false);  // the first failure is the one to report
    throw;
  }
  CloseRemoteFile(true);
  if (OnAfterDownload) OnAfterDownload(this, NetAborted());
}

void TCustomNetInstallLocation::OpenRemoteFile() {
  const TLoginInformation& L = *FLoginInformation;
  if (L.Protocol() == ipFTP) {
    FFile = FApi->FtpOpenFile(FConnection, FRemoteFileName.c_str(), GENERIC_READ,
                              FTP_TRANSFER_TYPE_BINARY, FtpFileContext);
    if (!FFile)
      throw ENIL_FTPOpenFile(TranslatedFormat("Cannot open file %s on server", FRemoteFileName));
    return;
  }
  const std::string Object = L.HttpObject(FRemoteFileName);
  LPCSTR AcceptTypes[] = {nullptr};
  FFile = FApi->HttpOpenRequest(FConnection, "GET", Object.c_str(), nullptr, nullptr, AcceptTypes,
                                HttpRequestFlags, 0);
  if (!FFile)
    throw ENIL_HTTPOpenFile(TranslatedFormat("Cannot open file %s on server", FRemoteFileName));
  if (!FApi->HttpSendRequest(FFile, HttpRequestHeaders, static_cast<DWORD>(-1), nullptr, 0))
    throw ENIL_HTTPSendRequest(
        TranslatedFormat("Cannot send request for file %s to the server", FRemoteFileName));
}

void TCustomNetInstallLocation::CloseRemoteFile(bool Raise) {
  if (!FFile) return;
  HINTERNET File = FFile;
  FFile = nullptr;
  if (!FApi->InternetCloseHandle(File) && Raise)
    throw ENIL_FTPCloseFile(
        TranslatedFormat("Cannot close the file %s on the server", FRemoteFileName));
}

int TCustomNetInstallLocation::QueryFileSize() {
  if (FLoginInformation->Protocol() == ipFTP) {
    DWORD Available = 0;
    if (!FApi->InternetQueryDataAvailable(FFile, &Available, 0, 0))
      throw ENIL_FailDataQuery(TranslatedFormat("Could not query file %s on server", FRemoteFileName));
    return ClampToInt(Available);
  }
  // A server that reports a missing or refused file by its status and an
  // ordinary error page must not have that page saved as the archive.
  DWORD Status = 0;
  DWORD StatusLen = sizeof(Status);
  if (FApi->HttpQueryInfo(FFile, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &Status,
                          &StatusLen, nullptr) &&
      Status >= 400)
    throw ENIL_FileNotFound(
        TranslatedFormat("Could not find the file %s on the server", FRemoteFileName));

  char Text[ContentLengthBufferSize] = {};
  DWORD Len = ContentLengthBufferSize;
  if (!FApi->HttpQueryInfo(FFile, HTTP_QUERY_CONTENT_LENGTH, Text, &Len, nullptr)) {
    if (GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND) return 0;
    throw ENIL_FailDataQuery(TranslatedFormat("Could not query file %s on server", FRemoteFileName));
  }
  int32_t Size = 0;
  if (!TryStrToInt(Trim(std::string(Text, std::min<DWORD>(Len, ContentLengthBufferSize - 1))),
                   Size) ||
      Size < 0)
    return 0;
  return Size;
}

unsigned long TCustomNetInstallLocation::ReadBlock(char* Block) {
  DWORD Read = 0;
  if (!FApi->InternetReadFile(FFile, Block, NetBlockSize, &Read))
    throw ENIL_ReadFile(
        TranslatedFormat("Could not read from file %s on the server", FRemoteFileName));
  return Read;
}

void TCustomNetInstallLocation::Receive() {
  const bool Http = FLoginInformation->Protocol() == ipHTTP;
  const int FileSize = QueryFileSize();

  const auto Local = TFileStream::TryOpen(FLocalFileName, TFileMode::fmCreate);
  if (!Local)
    throw ENIL_WriteDestFile(TranslatedFormat("%s could not write to the local dest file %s",
                                              Name(), FLocalFileName));

  char Block[NetBlockSize];
  DWORD Read = ReadBlock(Block);
  if (Http && std::string(Block, std::min<size_t>(Read, NotFoundProbeLength)).find("404") !=
                  std::string::npos)
    throw ENIL_FileNotFound(
        TranslatedFormat("Could not find the file %s on the server", FRemoteFileName));

  int64_t Total = 0;
  while (Read > 0) {
    Total += Read;
    DataReceived(static_cast<int>(Read), Total, FileSize, Block);
    ProcessPendingMessages();
    if (NetAborted()) return;
    if (Local->Write(Block, Read) != Read)
      throw ENIL_WriteDestFile(TranslatedFormat("%s could not write to the local dest file %s",
                                                Name(), FLocalFileName));
    Read = ReadBlock(Block);
  }
  if (Total == 0)
    throw ENIL_FileNotFound(
        TranslatedFormat("Could not find the file %s on the server", FRemoteFileName));
  // A connection that ends before the announced length is a broken
  // transfer, not a complete file.
  if (Http && FileSize > 0 && Total != FileSize)
    throw ENIL_ReadFile(
        TranslatedFormat("Could not read from file %s on the server", FRemoteFileName));
}

void TCustomNetInstallLocation::DataReceived(int Bytes, int64_t TotalBytes, int FileSize,
                                             const char* Block) {
  const int Total = ClampToInt(TotalBytes);
  if (OnDataReceived) OnDataReceived(this, FRemoteFileName, Bytes, Total, FileSize, Block);
  if (FInternalDataReceived) FInternalDataReceived(FRemoteFileName, Bytes, Total, FileSize, Block);
}

std::string TCustomNetInstallLocation::LastServerResponse() const {
  const std::string None = TranslateMessageText("No server response");
  if (!FWinInetLoaded) return None;
  std::string Text(ResponseBufferSize, '\0');
  DWORD Error = 0;
  DWORD Len = ResponseBufferSize;
  if (!FApi->InternetGetLastResponseInfo(&Error, &Text[0], &Len)) return None;
  Text.resize(std::min<DWORD>(Len, ResponseBufferSize));
  return TrimRight(Text);
}

// --- unit-wide state --------------------------------------------------------

std::string ComposeNetErrorMessage(const std::string& SpecificText) {
  // First, before any call below can overwrite it.
  const DWORD Code = GetLastError();
  std::string Host;
  std::string Response = TranslateMessageText("No server response");
  if (GLocationInUse) {
    Host = GLocationInUse->LoginInformation()->Hostname();
    Response = GLocationInUse->LastServerResponse();
  }
  return TranslatedFormat("%s. Error message %s. Server %s. Response from server %s",
                          SpecificText, NetErrorCodeName(Code), Host, Response);
}

const std::vector<TCustomNetInstallLocation*>& NetInstallLocations() { return LocationList(); }

void AddNetInstallLocation(TCustomNetInstallLocation* Location) {
  if (!Location)
    throw IENetList(
        TranslateMessageText("Cannot add a blank location to the global net location list"));
  auto& L = LocationList();
  if (std::find(L.begin(), L.end(), Location) == L.end()) L.push_back(Location);
}

void RemoveNetInstallLocation(TCustomNetInstallLocation* Location) {
  auto& L = LocationList();
  L.erase(std::remove(L.begin(), L.end(), Location), L.end());
}

TCustomNetInstallLocation* DefaultNetLocation() { return GDefaultLocation; }
void SetDefaultNetLocation(TCustomNetInstallLocation* Location) { GDefaultLocation = Location; }
TCustomNetInstallLocation* NetLocationInUse() { return GLocationInUse; }
bool NetAborted() { return GNetAborted; }
void SetNetAborted(bool Value) { GNetAborted = Value; }

void RegisterNetClasses() {
  RegisterComponentClass(TCustomLoginInformation::StaticClass());
  RegisterComponentClass(TLoginInformation::StaticClass());
  RegisterComponentClass(TCustomNetInstallLocation::StaticClass());
  RegisterComponentClass(TNetInstallLocation::StaticClass());
}
