// Install objects fetching their archives from a net location: the archive
// named after the object arrives in a temporary file, is remembered under
// the install record, and is found again instead of fetched twice.
#include <gtest/gtest.h>

#include "TestServer.h"
#include "controls/routines_ControlClasses.h"
#include "environment/routines_Registry.h"
#include "model/model_fixture.h"
#include "model/routines_Registration.h"
#include "net/cmp_TNetInstallLocation.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

namespace {

struct DownloadArchive : ::testing::Test {
  static void SetUpTestSuite() {
    UseDirectConnections();
    RegisterControlsClasses();
    RegisterModelClasses();
  }
  void SetUp() override {
    SetNetAborted(false);
    Work = MakeTestFolder("qvdl");
    MakeFolders(Work + "\\root\\pub\\files");
    MakeFolders(Work + "\\control");
    InstallKey = "\\SOFTWARE\\Quorvane\\Install\\DownloadTest";
    RegDeleteKeyTree(hkLocalMachine, InstallKey);
  }
  void TearDown() override {
    RegDeleteKeyTree(hkLocalMachine, InstallKey);
    InstallKey.clear();
    RemoveTree(Work);
  }
  std::string Work;
};

TEST_F(DownloadArchive, FetchesTheObjectsArchiveOnceAndRemembersIt) {
  const std::string Archive(50000, 'A');
  WriteFileBytes(Work + "\\root\\pub\\files\\Group1.1", Archive);
  TTestServer Server(TTestServer::tsHttp, Work + "\\root", Work + "\\control");
  Project P(Substitute(R"(
  object Loc: TNetInstallLocation
    LoginInformation.Hostname = '$HOST'
    LoginInformation.Directory = 'pub\files'
  end
  object Group1: TInstallFileGroup
    NetLocation = Loc
  end
  object Dlg: TInstallFileGroup
  end
)", {{"HOST", Server.Host()}}));
  auto* G = P.Get<TFileRelated>("Group1");
  // The object's own folder on the location, mirrored under a build folder:
  // host and directory each made one valid folder name.
  EXPECT_EQ(G->GetNetFolder(), MakeValidFileName(Server.Host()) + "\\pubfiles");

  int Blocks = 0, LastTotal = 0;
  G->OnDataReceived = [&](TPersistent* Sender, const std::string& Name, int32_t, int32_t Total,
                          int32_t Size, const void*) {
    EXPECT_EQ(Sender, G);
    EXPECT_EQ(Name, "Group1.1");
    EXPECT_EQ(Size, 50000);
    LastTotal = Total;
    ++Blocks;
  };
  G->DownloadArchive();
  EXPECT_EQ(ReadFileBytes(G->LocalArchive), Archive);
  EXPECT_EQ(G->LocalArchive.substr(G->LocalArchive.size() - 2), ".1");
  EXPECT_GE(Blocks, 7);  // 8,192-byte blocks
  EXPECT_EQ(LastTotal, 50000);
  EXPECT_EQ(RegReadString(hkLocalMachine, InstallKey + "\\Group1", "LocalFile", ""), G->LocalArchive);

  // Found again under the install record: nothing is fetched twice.
  const std::string First = G->LocalArchive;
  const size_t Requests = Server.RequestLog().size();
  G->LocalArchive.clear();
  G->DownloadArchive();
  EXPECT_EQ(G->LocalArchive, First);
  EXPECT_EQ(Server.RequestLog().size(), Requests);
  RemoveFile(First);
}

TEST_F(DownloadArchive, LocationsMustBeThereAndFilledIn) {
  Project P(R"(
  object Empty: TNetInstallLocation
  end
  object Own: TInstallFileGroup
    NetLocation = Empty
  end
  object Orphan: TInstallFileGroup
  end
)");
  try {
    P.Get<TFileRelated>("Own")->DownloadArchive();
    FAIL();
  } catch (const IEFileRelated& E) {
    EXPECT_EQ(E.Message(), "Own could not install itself because the TNetLocation component's "
                           "properties, in the NetLocation property, have not been filled in");
  }
  SetDefaultNetLocation(nullptr);
  try {
    P.Get<TFileRelated>("Orphan")->GetNetFolder();
    FAIL();
  } catch (const IEFileRel_NoNetLocation& E) {
    EXPECT_EQ(E.Message(), "Could not find a net install location for Orphan");
  }
  EXPECT_THROW(P.Get<TFileRelated>("Orphan")->DownloadArchive(), Exception);
}

}  // namespace
