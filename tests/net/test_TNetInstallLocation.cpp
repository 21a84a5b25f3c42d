// The net install location against real servers on 127.0.0.1: a Python HTTP
// server with the misbehaviours real servers show, and a pyftpdlib FTP
// server.  Every test starts its own server and stops it when it ends.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "TestServer.h"
#include "controls/cmp_TApplication.h"
#include "net/cmp_TNetInstallLocation.h"

namespace {

constexpr char FtpUser[] = "qvuser";
constexpr char FtpPassword[] = "qvsecret";

// Reproducible bytes with a fixed head, so the first block never looks
// like a "404" page by chance.
std::string TestData(size_t Size, uint32_t Seed) {
  std::string D = "QVTEST-ARCHIVE-DATA-----------";
  uint32_t X = Seed;
  while (D.size() < Size) {
    X = X * 1664525u + 1013904223u;
    D.push_back(static_cast<char>(X >> 24));
  }
  D.resize(Size);
  return D;
}

bool StartsWith(const std::string& S, const std::string& Head) {
  return S.compare(0, Head.size(), Head) == 0;
}

// What a location reported, in order.
struct TEventLog {
  std::vector<std::string> Events;
  std::string Received;  // the buffers of OnDataReceived, concatenated
  std::vector<int> FileSizes;
  bool TotalsConsistent = true;

  void Attach(TCustomNetInstallLocation& L) {
    L.OnBeforeLogin = [this](TPersistent*) { Events.push_back("BeforeLogin"); };
    L.OnAfterLogin = [this](TPersistent*) { Events.push_back("AfterLogin"); };
    L.OnBeforeDownload = [this](TPersistent*) { Events.push_back("BeforeDownload"); };
    L.OnDataReceived = [this, &L](TPersistent* Sender, const std::string& Name, int Bytes,
                                  int Total, int Size, const void* Buf) {
      Events.push_back("Data " + Name);
      if (Sender != &L || Bytes <= 0 || Bytes > NetBlockSize ||
          Total != static_cast<int>(Received.size()) + Bytes)
        TotalsConsistent = false;
      Received.append(static_cast<const char*>(Buf), static_cast<size_t>(Bytes));
      FileSizes.push_back(Size);
    };
    L.SetInternalDataReceived([this](const std::string& Name, int Bytes, int Total, int,
                                     const void*) {
      Events.push_back("Internal " + Name);
      if (Total != static_cast<int>(Received.size()) || Bytes <= 0) TotalsConsistent = false;
    });
    L.OnAfterDownload = [this](TPersistent*, bool Aborted) {
      Events.push_back(Aborted ? "AfterDownload aborted" : "AfterDownload");
    };
  }
  // Each "Data" must be followed by its "Internal"; runs of such pairs
  // become one "Blocks <name>", so the order reads at a glance.
  std::vector<std::string> Outline() const {
    std::vector<std::string> Out;
    for (size_t I = 0; I < Events.size(); ++I) {
      std::string E = Events[I];
      if (StartsWith(E, "Data ")) {
        if (I + 1 >= Events.size() || Events[I + 1] != "Internal " + E.substr(5)) {
          Out.push_back("unpaired " + E);
          continue;
        }
        ++I;
        E = "Blocks " + E.substr(5);
        if (!Out.empty() && Out.back() == E) continue;
      }
      Out.push_back(E);
    }
    return Out;
  }
};

class NetLocationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseDirectConnections();
    RegisterNetClasses();
  }
  void SetUp() override {
    SetNetAborted(false);
    Work = MakeTestFolder("qvnet");
    Root = Work + "\\root";
    Local = Work + "\\local";
    MakeFolders(Root);
    MakeFolders(Local);
    MakeFolders(Work + "\\control");
  }
  void TearDown() override {
    Location.reset();
    Server.reset();
    SetNetAborted(false);
    RemoveTree(Work);
  }

  void StartServer(TTestServer::TKind Kind) {
    Server = std::make_unique<TTestServer>(Kind, Root, Work + "\\control");
  }
  // A location logged in to the running server.
  TNetInstallLocation& NewLocation(TInternetProtocol Protocol, const std::string& Directory) {
    Location = std::make_unique<TNetInstallLocation>(nullptr);
    Location->SetName("NetLocation1");
    TLoginInformation* L = Location->LoginInformation();
    L->SetProtocol(Protocol);
    L->SetHostname(Server->Host());
    L->SetDirectory(Directory);
    Log.Attach(*Location);
    return *Location;
  }
  // Places a file under the served root (relative path with "\").
  void Serve(const std::string& RelPath, const std::string& Data) {
    const std::string Path = Root + "\\" + RelPath;
    MakeFolders(Path.substr(0, Path.rfind('\\')));
    WriteFileBytes(Path, Data);
  }

  // Fetches Name into the local folder with fresh event records, checks
  // the bytes and returns the outline of the events.
  std::vector<std::string> FetchOutline(TNetInstallLocation& L, const std::string& Name,
                                        const std::string& Expected) {
    Log = TEventLog();
    Log.Attach(L);
    L.Download(Name, Local + "\\" + Name);
    EXPECT_EQ(ReadFileBytes(Local + "\\" + Name), Expected);
    return Log.Outline();
  }

  std::string Work, Root, Local;
  std::unique_ptr<TTestServer> Server;
  std::unique_ptr<TNetInstallLocation> Location;
  TEventLog Log;
};

// Runs F, which must raise E; returns the message.
template <class E, class F>
std::string MessageOf(F&& Fn) {
  try {
    Fn();
  } catch (const E& Ex) {
    return Ex.Message();
  } catch (const std::exception& Ex) {
    ADD_FAILURE() << "unexpected exception: " << Ex.what();
    return "";
  }
  ADD_FAILURE() << "no exception";
  return "";
}

// --- Login information and metadata -------------------------------------------

TEST(LoginInformation, DefaultsAndPublishedProperties) {
  TLoginInformation L;
  EXPECT_TRUE(L.Anonymous());
  EXPECT_EQ(L.Protocol(), ipHTTP);
  const TClassInfo& C = TLoginInformation::StaticClass();
  const char* Names[] = {"Anonymous", "Directory", "Hostname", "Password", "Protocol", "Username"};
  auto All = C.AllProps();
  ASSERT_EQ(All.size(), 6u);
  for (size_t I = 0; I < 6; ++I) EXPECT_EQ(All[I]->Name, Names[I]);
  EXPECT_EQ(C.FindProp("Anonymous")->DefaultOrd, 1);
  EXPECT_EQ(C.FindProp("Protocol")->DefaultOrd, ipHTTP);
  EXPECT_EQ(InternetProtocolInfo.IndexOf("ipFTP"), ipFTP);
  // Stream-style access goes through the metadata.
  C.FindProp("Hostname")->SetStr(L, "ftp.example.com");
  C.FindProp("Protocol")->SetOrd(L, ipFTP);
  EXPECT_EQ(L.Hostname(), "ftp.example.com");
  EXPECT_EQ(L.Protocol(), ipFTP);
}

TEST(LoginInformation, AssignCopiesAllSix) {
  TLoginInformation A, B;
  A.SetAnonymous(false);
  A.SetDirectory("pub\\setup");
  A.SetHostname("host");
  A.SetPassword("pw");
  A.SetProtocol(ipFTP);
  A.SetUsername("me");
  B.Assign(A);
  EXPECT_FALSE(B.Anonymous());
  EXPECT_EQ(B.Directory(), "pub\\setup");
  EXPECT_EQ(B.Hostname(), "host");
  EXPECT_EQ(B.Password(), "pw");
  EXPECT_EQ(B.Protocol(), ipFTP);
  EXPECT_EQ(B.Username(), "me");

  TNetInstallLocation Loc(nullptr);
  Loc.SetLoginInformation(&A);
  EXPECT_NE(Loc.LoginInformation(), &A);  // copied, not adopted
  EXPECT_EQ(Loc.LoginInformation()->Username(), "me");
  EXPECT_EQ(Loc.LoginInformation()->Protocol(), ipFTP);
}

TEST(LoginInformation, FilledInRule) {
  struct Case {
    bool Anonymous;
    const char *Host, *User, *Password;
    bool FilledIn;
  } Cases[] = {
      {true, "", "", "", false},      {true, "  ", "", "", false},
      {true, "host", "", "", true},   {true, "", "user", "pw", false},
      {false, "", "", "", false},     {false, " ", " ", " ", false},
      {false, "", "user", "", true},  {false, "", "", "pw", true},
      {false, "host", "", "", true},
  };
  for (const Case& C : Cases) {
    TLoginInformation L;
    L.SetAnonymous(C.Anonymous);
    L.SetHostname(C.Host);
    L.SetUsername(C.User);
    L.SetPassword(C.Password);
    EXPECT_EQ(L.IsFilledIn(), C.FilledIn)
        << C.Anonymous << " '" << C.Host << "' '" << C.User << "' '" << C.Password << "'";
  }
}

TEST(LoginInformation, ServerDirectoryForms) {
  struct Case {
    const char *Directory, *Ftp, *HttpObject;
  } Cases[] = {
      {"", "/", "/file.1"},
      {"   ", "/", "/file.1"},
      {"pub\\setup", "pub/setup", "pub/setup/file.1"},
      {"pub\\setup\\", "pub/setup/", "pub/setup/file.1"},
      {"/pub/setup", "/pub/setup", "/pub/setup/file.1"},
  };
  for (const Case& C : Cases) {
    TLoginInformation L;
    L.SetDirectory(C.Directory);
    EXPECT_EQ(L.FtpDirectory(), C.Ftp) << C.Directory;
    EXPECT_EQ(L.HttpObject("file.1"), C.HttpObject) << C.Directory;
  }
}

TEST(LoginInformation, HostWithAndWithoutPort) {
  struct Case {
    const char *Hostname, *Host;
    int Port;
  } Cases[] = {
      {"ftp.example.com", "ftp.example.com", 0},
      {" 127.0.0.1:8021 ", "127.0.0.1", 8021},
      {"host:65535", "host", 65535},
      {"host:0", "host:0", 0},
      {"host:65536", "host:65536", 0},
      {"host:", "host:", 0},
      {"host:80x", "host:80x", 0},
      {"host:-1", "host:-1", 0},
      {"::1", "::1", 0},
      {"[::1]:8080", "::1", 8080},
      {"[::1]", "[::1]", 0},
  };
  for (const Case& C : Cases) {
    const THostPort R = SplitHostPort(C.Hostname);
    EXPECT_EQ(R.Host, C.Host) << C.Hostname;
    EXPECT_EQ(R.Port, C.Port) << C.Hostname;
  }
}

TEST(NetLocationClasses, RegisteredAndCreatableByName) {
  RegisterNetClasses();
  const TClassInfo* C = FindClass("TNetInstallLocation");
  ASSERT_NE(C, nullptr);
  ASSERT_TRUE(C->Create);
  EXPECT_NE(FindClass("TLoginInformation"), nullptr);
  const char* Published[] = {"LoginInformation", "OnBeforeLogin", "OnAfterLogin",
                             "OnBeforeDownload", "OnDataReceived", "OnAfterDownload"};
  for (const char* P : Published) EXPECT_NE(C->FindProp(P), nullptr) << P;
  EXPECT_EQ(C->FindProp("LoginInformation")->Kind, TPropKind::Object);

  TComponent Owner(nullptr);
  TComponent* Made = C->Create(&Owner);
  auto* Loc = dynamic_cast<TNetInstallLocation*>(Made);
  ASSERT_NE(Loc, nullptr);
  EXPECT_EQ(C->FindProp("LoginInformation")->GetObj(*Loc), Loc->LoginInformation());
  // An event bound by name the way the stream reader binds it.
  bool Fired = false;
  C->FindProp("OnAfterDownload")
      ->SetMethod(*Loc, "Done",
                  std::function<void(TPersistent*, bool)>([&](TPersistent*, bool) { Fired = true; }));
  EXPECT_EQ(C->FindProp("OnAfterDownload")->GetMethodName(*Loc), "Done");
  Loc->OnAfterDownload(Loc, false);
  EXPECT_TRUE(Fired);
}

// --- Unit-wide state ----------------------------------------------------------

TEST(NetLocationList, LocationsEnterAndLeaveAndReferencesClear) {
  const size_t Before = NetInstallLocations().size();
  auto* A = new TNetInstallLocation(nullptr);
  {
    TComponent Owner(nullptr);
    auto* B = new TNetInstallLocation(&Owner);
    ASSERT_EQ(NetInstallLocations().size(), Before + 2);
    EXPECT_EQ(NetInstallLocations()[Before], A);
    EXPECT_EQ(NetInstallLocations()[Before + 1], B);
    SetDefaultNetLocation(B);
  }  // the owner destroys B
  EXPECT_EQ(DefaultNetLocation(), nullptr);
  EXPECT_EQ(NetInstallLocations().size(), Before + 1);
  SetDefaultNetLocation(A);
  EXPECT_EQ(DefaultNetLocation(), A);
  delete A;
  EXPECT_EQ(DefaultNetLocation(), nullptr);
  EXPECT_EQ(NetInstallLocations().size(), Before);
}

TEST(NetLocationList, AddingNoneFails) {
  const std::string M = MessageOf<IENetList>([] { AddNetInstallLocation(nullptr); });
  EXPECT_TRUE(StartsWith(M, "Cannot add a blank location to the global net location list. "
                            "Error message "))
      << M;
  EXPECT_NE(M.find(". Response from server "), std::string::npos) << M;
}

TEST(NetErrorCodeName, KnownAndUnknownCodes) {
  struct Case {
    uint32_t Code;
    const char* Name;
  } Cases[] = {
      {6, "ERROR_INVALID_HANDLE"},
      {12001, "ERROR_INTERNET_OUT_OF_HANDLES"},
      {12015, "ERROR_INTERNET_LOGIN_FAILURE"},
      {12029, "ERROR_INTERNET_CANNOT_CONNECT"},
      {12031, "ERROR_INTERNET_CONNECTION_RESET"},
      {12036, "ERROR_INTERNET_HANDLE_EXISTS"},
      {12041, "ERROR_INTERNET_MIXED_SECURITY"},
      {12110, "ERROR_FTP_TRANSFER_IN_PROGRESS"},
      {12111, "ERROR_FTP_DROPPED"},
      {12130, "ERROR_GOPHER_PROTOCOL_ERROR"},
      {12138, "ERROR_GOPHER_UNKNOWN_LOCATOR"},
      {12150, "ERROR_HTTP_HEADER_NOT_FOUND"},
      {12155, "ERROR_HTTP_HEADER_ALREADY_EXISTS"},
      {0, "Unregistered error code"},
      {5, "Unregistered error code"},
      {12032, "Unregistered error code"},
      {12112, "Unregistered error code"},
      {12156, "Unregistered error code"},
  };
  for (const Case& C : Cases) EXPECT_EQ(NetErrorCodeName(C.Code), C.Name) << C.Code;
}

// The library name is a member so that a failing load can be tried for real.
class TLocationOnLibrary : public TNetInstallLocation {
 public:
  explicit TLocationOnLibrary(const std::string& Library) : TNetInstallLocation(nullptr) {
    FLibraryName = Library;
  }
};

TEST(NetLocationLoad, MissingLibraryAndMissingEntryPoint) {
  TLocationOnLibrary NoLibrary("qv-no-such-library.dll");
  EXPECT_EQ(MessageOf<ENIL_FailLoadWININET>([&] { NoLibrary.LoadWinInet(); }),
            "Failed to load the Wininet.dll. If this is a hybrid installation, you might want to "
            "include the WININET.DLL file in the PresetupFiles property of the TInstall "
            "component");
  // A library without WinINet's exports: the first entry point is missing.
  TLocationOnLibrary Kernel("KERNEL32.DLL");
  EXPECT_EQ(MessageOf<ENIL_FailLoadDLLProc>([&] { Kernel.Download("a.1", "C:\\a.1"); }),
            "Failed to load the procedure InternetGetLastResponseInfo from WININET.DLL");
  EXPECT_FALSE(Kernel.IsWinInetLoaded());

  TNetInstallLocation Real(nullptr);
  EXPECT_FALSE(Real.IsWinInetLoaded());  // not before the first download
  Real.LoadWinInet();
  EXPECT_TRUE(Real.IsWinInetLoaded());
}

// --- HTTP ---------------------------------------------------------------------

TEST_F(NetLocationTest, HttpDownloadIsByteIdenticalWithEventsInOrder) {
  const std::string Data = TestData(100000, 1);
  Serve("pub\\setup\\files.1", Data);
  Serve("pub\\setup\\main.1", TestData(5000, 2));
  StartServer(TTestServer::tsHttp);
  TNetInstallLocation& L = NewLocation(ipHTTP, "pub\\setup");

  const std::string Dest = Local + "\\files.tmp";
  L.Download("files.1", Dest);
  EXPECT_EQ(ReadFileBytes(Dest), Data);
  EXPECT_EQ(Log.Received, Data);
  EXPECT_TRUE(Log.TotalsConsistent);
  for (int Size : Log.FileSizes) EXPECT_EQ(Size, 100000);
  EXPECT_EQ(Log.Outline(), (std::vector<std::string>{"BeforeLogin", "AfterLogin", "BeforeDownload",
                                                     "Blocks files.1", "AfterDownload"}));
  EXPECT_EQ(NetLocationInUse(), &L);
  EXPECT_EQ(L.RemoteFileName(), "files.1");
  EXPECT_EQ(L.LocalFileName(), Dest);

  // The connection stays: a second download logs in no more.
  EXPECT_EQ(FetchOutline(L, "main.1", TestData(5000, 2)),
            (std::vector<std::string>{"BeforeDownload", "Blocks main.1", "AfterDownload"}));

  // Backslashes went out as slashes, with the headers and agent we send.
  const std::string Requests = Server->RequestLog();
  EXPECT_NE(Requests.find("GET /pub/setup/files.1 | Accept: */* | User-Agent: test_net\n"),
            std::string::npos)
      << Requests;
  EXPECT_NE(Requests.find("GET /pub/setup/main.1 "), std::string::npos) << Requests;
}

TEST_F(NetLocationTest, HttpBlankDirectoryRequestsFromTheRoot) {
  Serve("top.1", TestData(300, 3));
  StartServer(TTestServer::tsHttp);
  NewLocation(ipHTTP, "").Download("top.1", Local + "\\top.tmp");
  EXPECT_EQ(ReadFileBytes(Local + "\\top.tmp"), TestData(300, 3));
  EXPECT_NE(Server->RequestLog().find("GET /top.1 "), std::string::npos);
}

TEST_F(NetLocationTest, HttpResponseWithoutLengthReportsSizeZero) {
  const std::string Data = TestData(30000, 4);
  Serve("pub\\big.1", Data);
  StartServer(TTestServer::tsHttp);
  NewLocation(ipHTTP, "nolength\\pub").Download("big.1", Local + "\\big.tmp");
  EXPECT_EQ(ReadFileBytes(Local + "\\big.tmp"), Data);
  ASSERT_FALSE(Log.FileSizes.empty());
  for (int Size : Log.FileSizes) EXPECT_EQ(Size, 0);
}

// Each of these fails with its error class and the specific text first;
// OnAfterDownload is not raised.
TEST_F(NetLocationTest, HttpFailures) {
  Serve("pub\\empty.1", "");
  Serve("pub\\half.1", TestData(50000, 5));
  StartServer(TTestServer::tsHttp);
  TNetInstallLocation& L = NewLocation(ipHTTP, "pub");
  const std::string Dest = Local + "\\x.tmp";
  const std::string Host = Server->Host();
  auto Check = [&](const std::string& Message, const std::string& Specific) {
    EXPECT_TRUE(StartsWith(Message, Specific + ". Error message ")) << Message;
    EXPECT_NE(Message.find(". Server " + Host + ". Response from server "), std::string::npos)
        << Message;
  };

  // A "404" page sent with status 200.
  L.LoginInformation()->SetDirectory("notfound200");
  Check(MessageOf<ENIL_FileNotFound>([&] { L.Download("gone.1", Dest); }),
        "Could not find the file gone.1 on the server");
  // A real 404 whose page does not say "404" up front.
  L.LoginInformation()->SetDirectory("pub");
  Check(MessageOf<ENIL_FileNotFound>([&] { L.Download("missing.1", Dest); }),
        "Could not find the file missing.1 on the server");
  EXPECT_EQ(ReadFileBytes(Dest).size(), 0u);
  // An empty file.
  Check(MessageOf<ENIL_FileNotFound>([&] { L.Download("empty.1", Dest); }),
        "Could not find the file empty.1 on the server");
  // The server drops the connection halfway through the file.
  L.LoginInformation()->SetDirectory("drop\\pub");
  Check(MessageOf<ENIL_ReadFile>([&] { L.Download("half.1", Dest); }),
        "Could not read from file half.1 on the server");
  EXPECT_EQ(std::count(Log.Events.begin(), Log.Events.end(), "AfterDownload"), 0);

  // The location stays usable after failures.
  L.LoginInformation()->SetDirectory("pub");
  L.Download("half.1", Dest);
  EXPECT_EQ(ReadFileBytes(Dest), TestData(50000, 5));
}

TEST_F(NetLocationTest, HttpServerNotListening) {
  StartServer(TTestServer::tsHttp);
  TNetInstallLocation& L = NewLocation(ipHTTP, "");
  Server.reset();  // nothing listens on that port any more
  const std::string M =
      MessageOf<ENIL_HTTPSendRequest>([&] { L.Download("a.1", Local + "\\a.tmp"); });
  EXPECT_TRUE(StartsWith(M, "Cannot send request for file a.1 to the server. Error message "
                            "ERROR_INTERNET_CANNOT_CONNECT. Server 127.0.0.1:"))
      << M;
}

TEST_F(NetLocationTest, LocalFileThatCannotBeCreated) {
  Serve("a.1", TestData(100, 6));
  StartServer(TTestServer::tsHttp);
  const std::string Dest = Local + "\\no-such-folder\\a.tmp";
  EXPECT_EQ(MessageOf<ENIL_WriteDestFile>([&] { NewLocation(ipHTTP, "").Download("a.1", Dest); }),
            "NetLocation1 could not write to the local dest file " + Dest);
}

TEST_F(NetLocationTest, CancelFromOnDataReceivedEndsWithoutError) {
  Serve("pub\\a.1", TestData(60000, 7));
  Serve("pub\\b.1", TestData(60000, 8));
  StartServer(TTestServer::tsHttp);
  TNetInstallLocation& L = NewLocation(ipHTTP, "pub");
  int Blocks = 0;
  L.OnDataReceived = [&](TPersistent*, const std::string&, int, int, int, const void*) {
    ++Blocks;
    SetNetAborted(true);  // as the copy window's Cancel button does
  };
  const std::string Dest = Local + "\\a.tmp";
  L.Download("a.1", Dest);
  EXPECT_EQ(Blocks, 1);
  EXPECT_EQ(Log.Events.back(), "AfterDownload aborted");
  EXPECT_LT(ReadFileBytes(Dest).size(), 60000u);  // what was written stays

  // Later downloads stop at their first block as well.
  Blocks = 0;
  L.Download("b.1", Local + "\\b.tmp");
  EXPECT_EQ(Blocks, 1);
  EXPECT_EQ(Log.Events.back(), "AfterDownload aborted");
}

// The Cancel button lives in a window: its click reaches the download only
// through the message queue, which the download lets run between blocks.
LRESULT CALLBACK CancelWindowProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_USER) SetNetAborted(true);
  return DefWindowProcA(Wnd, Msg, W, L);
}

TEST_F(NetLocationTest, CancelArrivesThroughTheMessageQueue) {
  Serve("pub\\a.1", TestData(60000, 15));
  StartServer(TTestServer::tsHttp);
  TApplication App(nullptr);
  App.Title = "Quorvane Test Setup";
  WNDCLASSA Wc = {};
  Wc.lpfnWndProc = CancelWindowProc;
  Wc.hInstance = GetModuleHandleA(nullptr);
  Wc.lpszClassName = "QvNetTestCancel";
  RegisterClassA(&Wc);
  HWND Wnd = CreateWindowA("QvNetTestCancel", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           Wc.hInstance, nullptr);
  ASSERT_NE(Wnd, nullptr);
  TNetInstallLocation& L = NewLocation(ipHTTP, "pub");
  L.OnBeforeDownload = [&](TPersistent*) { PostMessageA(Wnd, WM_USER, 0, 0); };
  L.Download("a.1", Local + "\\a.tmp");
  DestroyWindow(Wnd);
  EXPECT_EQ(std::count_if(Log.Events.begin(), Log.Events.end(),
                          [](const std::string& E) { return StartsWith(E, "Data "); }),
            1);
  EXPECT_EQ(Log.Events.back(), "AfterDownload aborted");
  // The application's title is the user agent.
  EXPECT_NE(Server->RequestLog().find("User-Agent: Quorvane Test Setup\n"), std::string::npos)
      << Server->RequestLog();
}

// --- FTP ----------------------------------------------------------------------

TEST_F(NetLocationTest, FtpAnonymousDownloadWithBackslashDirectory) {
  const std::string Data = TestData(70000, 9);
  Serve("anonymous\\pub\\setup\\files.1", Data);
  StartServer(TTestServer::tsFtp);
  TNetInstallLocation& L = NewLocation(ipFTP, "pub\\setup");
  L.Download("files.1", Local + "\\files.tmp");
  EXPECT_EQ(ReadFileBytes(Local + "\\files.tmp"), Data);
  EXPECT_EQ(Log.Received, Data);
  EXPECT_TRUE(Log.TotalsConsistent);
  EXPECT_EQ(Log.Outline(), (std::vector<std::string>{"BeforeLogin", "AfterLogin", "BeforeDownload",
                                                     "Blocks files.1", "AfterDownload"}));
  // The same relative directory again, on the same connection.
  Serve("anonymous\\pub\\setup\\more.1", TestData(5000, 13));
  EXPECT_EQ(FetchOutline(L, "more.1", TestData(5000, 13)),
            (std::vector<std::string>{"BeforeDownload", "Blocks more.1", "AfterDownload"}));
  // Another directory: a fresh login, so a relative one is not taken from
  // where the last one left the connection.
  Serve("anonymous\\top.1", TestData(10, 10));
  Serve("anonymous\\pub\\other\\x.1", TestData(10, 14));
  for (const char* Dir : {"", "pub\\other"}) {
    L.LoginInformation()->SetDirectory(Dir);
    const std::string Name = *Dir ? "x.1" : "top.1";
    EXPECT_EQ(FetchOutline(L, Name, TestData(10, *Dir ? 14 : 10)),
              (std::vector<std::string>{"BeforeLogin", "AfterLogin", "BeforeDownload",
                                        "Blocks " + Name, "AfterDownload"}));
  }
}

TEST_F(NetLocationTest, FtpUserAndPassword) {
  Serve("qvuser\\mine.1", TestData(20000, 11));
  StartServer(TTestServer::tsFtp);
  TNetInstallLocation& L = NewLocation(ipFTP, "");
  L.LoginInformation()->SetAnonymous(false);
  L.LoginInformation()->SetUsername(FtpUser);
  L.LoginInformation()->SetPassword(FtpPassword);
  L.Download("mine.1", Local + "\\mine.tmp");
  EXPECT_EQ(ReadFileBytes(Local + "\\mine.tmp"), TestData(20000, 11));
}

TEST_F(NetLocationTest, FtpWrongPasswordNamesTheHostAndTheServerAnswer) {
  StartServer(TTestServer::tsFtp);
  TNetInstallLocation& L = NewLocation(ipFTP, "");
  L.LoginInformation()->SetAnonymous(false);
  L.LoginInformation()->SetUsername(FtpUser);
  L.LoginInformation()->SetPassword("wrong");
  const std::string M = MessageOf<ENIL_OpenService>([&] { L.Download("x.1", Local + "\\x.tmp"); });
  EXPECT_TRUE(StartsWith(M, "Cannot connect to host " + Server->Host() + ". Error message "))
      << M;
  EXPECT_NE(M.find("Response from server 530"), std::string::npos) << M;
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"BeforeLogin"}));
}

TEST_F(NetLocationTest, FtpFailures) {
  Serve("anonymous\\pub\\empty.1", "");
  StartServer(TTestServer::tsFtp);
  TNetInstallLocation& L = NewLocation(ipFTP, "no\\such");
  const std::string Dest = Local + "\\x.tmp";
  EXPECT_TRUE(StartsWith(MessageOf<ENIL_FTPSetDir>([&] { L.Download("a.1", Dest); }),
                         "Cannot set directory on server to no/such. Error message "));
  L.LoginInformation()->SetDirectory("pub");
  EXPECT_TRUE(StartsWith(MessageOf<ENIL_FTPOpenFile>([&] { L.Download("missing.1", Dest); }),
                         "Cannot open file missing.1 on server. Error message "));
  EXPECT_TRUE(StartsWith(MessageOf<ENIL_FileNotFound>([&] { L.Download("empty.1", Dest); }),
                         "Could not find the file empty.1 on the server. Error message "));
  // Still usable.
  Serve("anonymous\\pub\\ok.1", TestData(9000, 12));
  L.Download("ok.1", Dest);
  EXPECT_EQ(ReadFileBytes(Dest), TestData(9000, 12));
}

}  // namespace
