// The install object tree read from projects in text form: ordering by kind
// and Order, forward references, renumbering, install types, containers
// going away, and the path specifiers resolved on this (Wine) machine.
#include <gtest/gtest.h>

#include "controls/cmp_TForm.h"
#include "controls/routines_ControlClasses.h"
#include "environment/routines_API.h"
#include "environment/routines_Registry.h"
#include "model/cmp_TFileContainer.h"
#include "model/cmp_TPathSpecifier.h"
#include "model/routines_Registration.h"
#include "model_fixture.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_ObjectText.h"

namespace {

// An install object of another kind (the registered type of install files),
// so that kinds can be mixed in one container.
class TTestFileObject : public TInstallObject {
  QV_CLASS()
 public:
  explicit TTestFileObject(TComponent* AOwner) : TInstallObject(AOwner) { AutoInstall = true; }
  int32_t RegisteredType() const override { return rtInstallFile; }
  int Installed = 0;
  void InstallObjects() override { ++Installed; }
};

// A dialog: hears broadcasts, is never installed.
class TTestDialog : public TInstallObject {
  QV_CLASS()
 public:
  using TInstallObject::TInstallObject;
  int32_t RegisteredType() const override { return rtDialog; }
  std::vector<int32_t> Heard;
  void ReceiveBroadcast(TPersistent*, int32_t Code, TBroadcastParameter*) override {
    Heard.push_back(Code);
  }
};

template <class C>
TClassBuilder<C> InstallObjectProps(TClassBuilder<C> B) {
  return B.Creatable()
      .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
      .Int("Order", &C::Order, &C::SetOrder, -1)
      .Bool("Include", &C::Include, true)
      .Set("InstallTypes", InstallTypeInfo, &C::InstallTypes, &C::SetInstallTypes, 8)
      .Str("DestDir", &C::DestDir, &C::SetDestDir, "")
      .Ref("DestDirType", TCustomPathSpecifier::StaticClass(), &C::DestDirType, &C::SetDestDirType);
}

const TClassInfo& TTestFileObject::StaticClass() {
  static const TClassInfo Info =
      InstallObjectProps(TClassBuilder<TTestFileObject>("TTestFileObject", &TInstallObject::StaticClass()))
          .Build();
  return Info;
}

const TClassInfo& TTestDialog::StaticClass() {
  static const TClassInfo Info =
      InstallObjectProps(TClassBuilder<TTestDialog>("TTestDialog", &TInstallObject::StaticClass())).Build();
  return Info;
}

struct ModelEnv : ::testing::Environment {
  void SetUp() override {
    RegisterControlsClasses();
    RegisterModelClasses();
    RegisterComponentClass(TTestFileObject::StaticClass());
    RegisterComponentClass(TTestDialog::StaticClass());
  }
};
const auto* const Env = ::testing::AddGlobalTestEnvironment(new ModelEnv);

std::vector<std::string> Names(const TInstallContainer* C) {
  std::vector<std::string> R;
  for (int i = 0; i < C->ObjectCount(); ++i) R.push_back(C->Objects(i)->Name());
  return R;
}

std::vector<int> Orders(const TInstallContainer* C) {
  std::vector<int> R;
  for (int i = 0; i < C->ObjectCount(); ++i) R.push_back(C->Objects(i)->Order());
  return R;
}

TEST(InstallObjects, ProjectOrderFollowsKindThenOrderWithForwardReferences) {
  // The children name Main before Main itself is read.
  Project P(R"(
  object F2: TTestFileObject
    Container = Main
    Order = 1
  end
  object G1: TInstallFileGroup
    Container = Main
    Order = 0
  end
  object F1: TTestFileObject
    Container = Main
    Order = 0
  end
  object D1: TTestDialog
    Container = Main
  end
  object G2: TInstallFileGroup
    Container = Main
    Order = 1
  end
  object Main: TInstallFileGroup
  end
)");
  TInstallContainer* Main = P["Main"];
  EXPECT_EQ(Names(Main), (std::vector<std::string>{"G1", "G2", "F1", "F2", "D1"}));
  // The standard specifiers were made once, on the form, by the first container.
  EXPECT_EQ(StandardPathSpecList().Count(), 14);
  EXPECT_NE(P.Form->FindComponent("psSystem"), nullptr);
  EXPECT_EQ(P["G1"]->DestDirType(), nullptr);  // references from the stream only
  EXPECT_EQ(Main->FileContainerCount(), 2);
  EXPECT_EQ(Main->FileContainers(1)->Name(), "G2");
  EXPECT_EQ(Main->CompCount(TTestFileObject::StaticClass()), 2);
  EXPECT_EQ(Main->Comp(1, TTestFileObject::StaticClass())->Name(), "F2");
}

TEST(InstallObjects, InsertionOutsideLoadingRenumbersEachKind) {
  Project P(R"(
  object Main: TInstallFileGroup
  end
  object A: TTestFileObject
    Container = Main
  end
  object B: TTestFileObject
    Container = Main
  end
  object G: TInstallFileGroup
  end
)");
  TInstallContainer* Main = P["Main"];
  auto* C = new TTestFileObject(P.Form);
  C->SetName("C");
  C->SetOrder(0);  // no container yet: not stored
  EXPECT_EQ(C->Order(), -1);
  C->SetContainer(Main);  // Order -1: appended after its kind
  EXPECT_EQ(Names(Main), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(Orders(Main), (std::vector<int>{0, 1, 2}));
  // A container joined from code takes the container's destination.
  EXPECT_EQ(C->DestDirType(), StandardSpecifier<TpsContainerDestDir>());

  C->SetOrder(0);
  EXPECT_EQ(Names(Main), (std::vector<std::string>{"C", "A", "B"}));
  EXPECT_EQ(Orders(Main), (std::vector<int>{0, 1, 2}));

  // A group joins later but stands before every file; each kind counts from 0.
  P.Get<TInstallObject>("G")->SetContainer(Main);
  EXPECT_EQ(Names(Main), (std::vector<std::string>{"G", "C", "A", "B"}));
  EXPECT_EQ(Orders(Main), (std::vector<int>{0, 0, 1, 2}));
}

TEST(InstallObjects, CircularContainersAreRefusedAndNothingMoves) {
  Project P(R"(
  object A: TInstallFileGroup
  end
  object B: TInstallFileGroup
    Container = A
  end
  object C: TInstallFileGroup
    Container = B
  end
)");
  auto* A = P.Get<TInstallObject>("A");
  for (TInstallContainer* Target : {static_cast<TInstallContainer*>(A), P["B"], P["C"]}) {
    try {
      A->SetContainer(Target);
      FAIL() << "accepted a circle through " << Target->Name();
    } catch (const IEInstallContainer& E) {
      EXPECT_EQ(E.Message(), "Circular reference");
    }
  }
  EXPECT_EQ(A->Container(), nullptr);
  EXPECT_EQ(Names(P["A"]), std::vector<std::string>{"B"});
}

TEST(InstallObjects, InstallTypesKeepAlwaysAlone) {
  struct Case {
    TInstallTypeSet Current, Assigned, Expected;
  } Cases[] = {
      {InstallTypeBit(itFull), InstallTypeBit(itFull) | InstallTypeBit(itAlways), InstallTypeBit(itAlways)},
      {InstallTypeBit(itAlways), InstallTypeBit(itFull) | InstallTypeBit(itAlways), InstallTypeBit(itFull)},
      {InstallTypeBit(itFull), 0, InstallTypeBit(itAlways)},
      {InstallTypeBit(itAlways), InstallTypeBit(itAlways), InstallTypeBit(itAlways)},
      {InstallTypeBit(itAlways), InstallTypeBit(itFull) | InstallTypeBit(itCompact),
       InstallTypeBit(itFull) | InstallTypeBit(itCompact)},
  };
  TForm Root(nullptr);
  for (const Case& C : Cases) {
    TInstallFileGroup G(&Root);
    G.SetInstallTypes(InstallTypeBit(itFull));
    G.SetInstallTypes(C.Current);
    G.SetInstallTypes(C.Assigned);
    EXPECT_EQ(G.InstallTypes(), C.Expected) << int(C.Current) << " + " << int(C.Assigned);
  }
}

TEST(InstallObjects, WillInstallFollowsIncludeAndTheChosenType) {
  TForm Root(nullptr);
  TInstallFileGroup G(&Root);
  G.SetInstallTypes(InstallTypeBit(itFull));
  struct Case {
    bool Include;
    TInstallType Current;
    bool Expected;
  } Cases[] = {{true, itFull, true},    {true, itCompact, false}, {true, itCustom, true},
               {true, itAlways, true},  {false, itFull, false},   {false, itCustom, false}};
  for (const Case& C : Cases) {
    G.Include = C.Include;
    G.SelectInstallType(C.Current);
    EXPECT_EQ(G.WillInstall(), C.Expected) << C.Include << " " << C.Current;
  }
}

TEST(InstallObjects, ProcessInstallsWhatIsSelectedAndDialogsHearIt) {
  Project P(R"(
  object Main: TInstallFileGroup
  end
  object Dlg: TTestDialog
    Container = Main
  end
  object In: TTestFileObject
    Container = Main
    InstallTypes = [itFull]
  end
  object Out: TTestFileObject
    Container = Main
    InstallTypes = [itCompact]
  end
  object Off: TTestFileObject
    Container = Main
    Include = False
  end
)");
  TInstallContainer* Main = P["Main"];
  Main->SelectInstallType(itFull);
  Main->Process();
  EXPECT_EQ(P.Get<TTestFileObject>("In")->Installed, 1);
  EXPECT_EQ(P.Get<TTestFileObject>("Out")->Installed, 0);
  EXPECT_EQ(P.Get<TTestFileObject>("Off")->Installed, 0);
  EXPECT_TRUE(Main->Processed);
  // The dialog hears its own container's broadcasts around the run: a file
  // container also announces the archive information and the end of copying.
  EXPECT_EQ(P.Get<TTestDialog>("Dlg")->Heard,
            (std::vector<int32_t>{ncBeforeProcess, ncIncluded, ncReadArchiveInfo, ncCopyDone,
                                  ncAfterProcess}));
}

TEST(InstallObjects, CompAndObjectsReportBadCalls) {
  Project P(R"(
  object Main: TInstallFileGroup
  end
  object G: TInstallFileGroup
    Container = Main
  end
)");
  try {
    P["Main"]->Comp(0, TTestFileObject::StaticClass());
    FAIL();
  } catch (const IEInstallContainer& E) {
    EXPECT_EQ(E.Message(),
              "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer "
              "component. The parameters are probably reversed. Index: 0, ComponentType: "
              "TTestFileObject");
  }
  try {
    P["Main"]->Objects(3);
    FAIL();
  } catch (const IEInstallContainer& E) {
    EXPECT_EQ(E.Message(),
              "Tried to reference a helper component in the following component: Main. The "
              "following index was used: 3");
  }
}

TEST(InstallObjects, DestroyingAContainerClearsTheContainerOfItsObjects) {
  Project P(R"(
  object Main: TInstallFileGroup
  end
  object G: TInstallFileGroup
    Container = Main
  end
  object F: TTestFileObject
    Container = G
  end
)");
  auto* G = P.Get<TInstallObject>("G");
  auto* F = P.Get<TInstallObject>("F");
  delete G;
  EXPECT_EQ(F->Container(), nullptr);
  EXPECT_EQ(P["Main"]->ObjectCount(), 0);
}

TEST(PathSpecifiers, StandardFoldersResolveOnThisMachine) {
  Project P(R"(
  object Main: TInstallFileGroup
    DestDirType = psProgramFiles
    DestDir = '\MyApplication\'
  end
  object G: TInstallFileGroup
    Container = Main
    DestDirType = psContainerDestDir
    DestDir = '\Sub'
  end
)");
  EXPECT_EQ(P["Main"]->GetDestPath(), GetProgramFilesDir() + "\\MyApplication");
  EXPECT_EQ(P["G"]->GetDestPath(), GetProgramFilesDir() + "\\MyApplication\\Sub");
  struct Case {
    const TClassInfo& Class;
    std::string Expected;
  } Cases[] = {
      {TpsSystem::StaticClass(), GetSystemDir()},
      {TpsWindow::StaticClass(), GetWindowsDir()},
      {TpsDesktopMenu::StaticClass(), GetDesktopDir()},
      {TpsStartMenu::StaticClass(), GetStartMenuDir()},
      {TpsProgramMenu::StaticClass(), GetProgramsDir()},
      {TpsStartupMenu::StaticClass(), GetStartupDir()},
      {TpsCommonFiles::StaticClass(), GetCommonFilesDir()},
  };
  for (const Case& C : Cases) {
    TCustomPathSpecifier* S = StandardPathSpecList().FindByClass(C.Class);
    EXPECT_EQ(S->GetPath(nullptr), C.Expected) << C.Class.ClassName;
    EXPECT_FALSE(C.Expected.empty());
    EXPECT_NE(C.Expected.back(), '\\');
  }
  EXPECT_TRUE(DirectoryExists(GetSystemDir()));
}

TEST(PathSpecifiers, ChecksNameTheObjectAndTheSpecifier) {
  Project P(R"(
  object Main: TInstallFileGroup
  end
  object Loose: TInstallFileGroup
  end
)");
  auto Expect = [](const std::function<void()>& F, const std::string& Msg) {
    try {
      F();
      ADD_FAILURE() << "no failure, expected: " << Msg;
    } catch (const IException& E) {
      EXPECT_EQ(E.Message(), Msg);
    }
  };
  Expect([&] { StandardSpecifier<TpsContainerDestDir>()->GetPath(P["Loose"]); },
         "Cannot use ddContainerDestDir for Loose unless you assign a Container");
  Expect([&] { StandardSpecifier<TpsContainerArchiveFile>()->GetPath(P["Loose"]); },
         "Cannot use ddContainerArchiveFile for Loose unless you assign a Container");
  Expect([&] { StandardSpecifier<TpsContainerDestDir>()->GetPath(P.Form); },
         "Form1 must be a TInstallObject to use the psContainerDestDir path specifier");
  Expect([&] { StandardSpecifier<TpsMainInstall>()->GetPath(P["Loose"]); },
         "There is no TInstall component so the path specifier could not be expanded for Loose");

  TTestInstall I(P.Get<TFileContainer>("Main"));
  Expect([&] { StandardSpecifier<TpsMainInstall>()->GetPath(P["Main"]); },
         "Cannot use the ddMainInstallDir path specifier for a TInstall component");
  EXPECT_EQ(StandardSpecifier<TpsMainArchiveFile>()->GetPath(P["Loose"]), "C:\\Dist\\files.1");
  EXPECT_EQ(StandardSpecifier<TpsInstallSource>()->GetPath(P["Loose"]), "C:\\Dist");
  I.Switches['e'] = "Setup.exe";
  EXPECT_EQ(StandardSpecifier<TpsMainArchiveFile>()->GetPath(P["Loose"]), "C:\\Dist\\Setup.exe");
  I.Switches['e'] = "  ";
  try {
    StandardSpecifier<TpsMainArchiveFile>()->GetPath(P["Loose"]);
    FAIL();
  } catch (const IEInstall& E) {
    EXPECT_EQ(E.Message(),
              "You forgot to pass in the name of the self-extracting executable. Usage example: "
              "\"-eSetup.exe\"");
  }
}

TEST(PathSpecifiers, ListsFindByClassAndEnsureCreatesOnce) {
  TPathSpecifierList Empty;
  try {
    Empty.FindByClass(TpsSystem::StaticClass());
    FAIL();
  } catch (const IEPathSpecifier& E) {
    EXPECT_EQ(E.Message(), "Could not find the path specifier");
  }
  EXPECT_THROW(Empty.Add(nullptr), IEPathSpecifierList);
  {
    TForm Root(nullptr);
    TInstallFileGroup A(&Root);
    const int After = Root.ComponentCount();
    TInstallFileGroup B(&Root);  // a second container makes no more specifiers
    EXPECT_EQ(Root.ComponentCount(), After + 1);
    EXPECT_EQ(StandardPathSpecList().Count(), 14);
  }
  // Destroyed with their form, they leave both lists.
  EXPECT_EQ(StandardPathSpecList().Count(), 0);
  EXPECT_EQ(PathSpecifierList().Count(), 0);
}

TEST(PathSpecifiers, BdePathIsTheFirstFieldOfTheRegistryValue) {
  TForm Root(nullptr);
  TpsBDEDLL S(&Root);
  const std::string Key = "\\Software\\Borland\\Database Engine";
  RegDeleteKeyTree(hkLocalMachine, Key);
  EXPECT_EQ(S.GetPath(nullptr), GetProgramFilesDir() + "\\Borland\\Common Files\\BDE");
  RegWriteString(hkLocalMachine, Key, "DLLPath", "C:\\BDE;D:\\BDE2");
  EXPECT_EQ(S.GetPath(nullptr), "C:\\BDE");
  RegDeleteKeyTree(hkLocalMachine, Key);
}

TEST(PathSpecifiers, ExpandPathMacro) {
  struct Case {
    const char *Text, *Expected;
  } Cases[] = {{"%p\\bin", "C:\\App\\bin"}, {"%P", "C:\\App"}, {"%%", "%"},
               {"%q", "q"},                 {"100%", "100"},   {"a%%p", "a%p"}};
  for (const Case& C : Cases) EXPECT_EQ(ExpandPathMacro(C.Text, "C:\\App"), C.Expected) << C.Text;
}

TEST(FileRelated, LocalArchiveRecordLivesUnderTheInstallKey) {
  InstallKey = "\\SOFTWARE\\Quorvane\\Install\\InstallTest";
  RegDeleteKeyTree(hkLocalMachine, InstallKey);
  Project P(R"(
  object Arc: TInstallFileGroup
  end
)");
  auto* F = P.Get<TFileRelated>("Arc");
  std::string Path;
  EXPECT_FALSE(F->FindLocalFile(Path));
  const std::string Tmp = TempDirectory() + "\\qv-local.1";
  {
    FILE* Fh = fopen(Tmp.c_str(), "wb");
    ASSERT_NE(Fh, nullptr);
    fclose(Fh);
  }
  F->StoreLocalFile(Tmp);
  EXPECT_EQ(RegReadString(hkLocalMachine, InstallKey + "\\Arc", "LocalFile", ""), Tmp);
  ASSERT_TRUE(F->FindLocalFile(Path));
  EXPECT_EQ(Path, Tmp);
  EXPECT_TRUE(F->ArchiveDownloaded());
  RemoveFile(Tmp);  // a record naming a missing file is no local archive
  EXPECT_FALSE(F->FindLocalFile(Path));
  RegDeleteKeyTree(hkLocalMachine, InstallKey);
  InstallKey.clear();
}

}  // namespace
