#include "ui/cmp_TDialogManager.h"

#include <cmath>
#include <memory>

#include "controls/cmp_TApplication.h"
#include "engine/cmp_TInstall.h"
#include "environment/routines_RunOptions.h"
#include "model/cmp_TInstallFile.h"
#include "rtl/routines_ClassBuilder.h"
#include "ui/cmp_TBaseChangeDiskForm.h"
#include "ui/cmp_TBaseDuringCopyForm.h"
#include "ui/cmp_TBaseInstallForm.h"
#include "ui/dlgcmp_TBaseContainer.h"
#include "ui/dlgcmp_TBaseDlg.h"

const TEnumInfo ManagerTypeInfo{"TManagerType",
                                {"dmBeforeInstall", "dmAfterGoodInstall", "dmAfterBadInstall",
                                 "dmDuringCopyFiles", "dmChangeDisk", "dmReboot"}};
const TEnumInfo QuorvaneDialogPositionInfo{
    "TQuorvaneDialogPosition",
    {"qdpCenterLeft", "qdpCenter", "qdpCenterRight", "qdpBottomLeft", "qdpBottomCenter",
     "qdpBottomRight", "qdpTopLeft", "qdpTopCenter", "qdpTopRight"}};

// --- placement -----------------------------------------------------------------------------

POINT DialogPlacement(TQuorvaneDialogPosition Position, int32_t DX, int32_t DY, int32_t Width,
                      int32_t Height, int32_t ScreenWidth, int32_t ScreenHeight, int32_t CaptionHeight) {
  // The default rounding mode: halves to even.
  auto Half = [](int32_t Screen, int32_t Size) {
    return static_cast<int32_t>(std::nearbyint(Screen / 2.0 - Size / 2.0));
  };
  const int Row = static_cast<int>(Position) / 3, Column = static_cast<int>(Position) % 3;
  POINT P{};
  P.x = Column == 0 ? DX : Column == 1 ? DX + Half(ScreenWidth, Width) : ScreenWidth - Width - DX;
  P.y = Row == 0 ? DY + Half(ScreenHeight, Height)
        : Row == 1 ? ScreenHeight - CaptionHeight - Height - DY
                   : DY;
  return P;
}

void PlaceFormOnScreen(TCustomForm& Form, TQuorvaneDialogPosition Position, int32_t DX, int32_t DY) {
  const POINT P = DialogPlacement(Position, DX, DY, Form.Width(), Form.Height(), GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYCAPTION));
  Form.SetBounds(P.x, P.y, Form.Width(), Form.Height());
}

// --- registries ----------------------------------------------------------------------------

TBIFList& InstallFormList() {
  static TBIFList L;
  return L;
}

TDCFList& DuringCopyFormList() {
  static TDCFList L;
  return L;
}

TBCDFList& ChangeDiskFormList() {
  static TBCDFList L;
  return L;
}

namespace {

template <class TList>
void Register(TList& List, const TClassInfo& FormClass, const TClassInfo& Base,
              TCustomBaseInstallDlg* DialogComponent) {
  if (!FormClass.InheritsFrom(Base))
    throw IException("Cannot register %s: it is not a %s", FormClass.ClassName, Base.ClassName);
  List.push_back({&FormClass, DialogComponent});
}

TDialogManager* GCurrentDialogManager = nullptr;

// Clears the current manager on every way out.
struct TCurrentManagerScope {
  explicit TCurrentManagerScope(TDialogManager* M) { SetCurrentDialogManager(M); }
  ~TCurrentManagerScope() { SetCurrentDialogManager(nullptr); }
  TCurrentManagerScope(const TCurrentManagerScope&) = delete;
  TCurrentManagerScope& operator=(const TCurrentManagerScope&) = delete;
};

}  // namespace

void RegisterInstallForm(const TClassInfo& FormClass, TCustomBaseInstallDlg* DialogComponent) {
  Register(InstallFormList(), FormClass, TBaseInstallForm::StaticClass(), DialogComponent);
}

void RegisterDuringCopyForm(const TClassInfo& FormClass, TCustomBaseInstallDlg* DialogComponent) {
  Register(DuringCopyFormList(), FormClass, TBaseDuringCopyForm::StaticClass(), DialogComponent);
}

void RegisterChangeDiskForm(const TClassInfo& FormClass, TCustomBaseInstallDlg* DialogComponent) {
  Register(ChangeDiskFormList(), FormClass, TBaseChangeDiskForm::StaticClass(), DialogComponent);
}

TCustomForm* CreateKitForm(const TClassInfo& Info, TComponent* Owner) { return CreateOwnedForm(Info, Owner); }

TDialogManager* CurrentDialogManager() { return GCurrentDialogManager; }
void SetCurrentDialogManager(TDialogManager* Manager) { GCurrentDialogManager = Manager; }

TDialogManager* FindDialogManager(TManagerType Type) {
  IInstallRun* Run = CurrentInstall();
  if (!Run) return nullptr;
  const TInstallContainer* Install = Run->AsFileContainer();
  for (TInstallContainer* C : InstallContainerList().Data()) {
    auto* M = dynamic_cast<TDialogManager*>(C);
    if (M && M->ManagerType == Type && M->Container() == Install) return M;
  }
  return nullptr;
}

// --- the manager ---------------------------------------------------------------------------

const TClassInfo& TDialogManager::StaticClass() {
  using C = TDialogManager;
  static const TClassInfo Info =
      TClassBuilder<C>("TDialogManager", &TInstallObject::StaticClass())
          .Creatable()
          .Ref("Container", TInstallContainer::StaticClass(), &C::Container, &C::SetContainer)
          .Int("Height", &C::Height, 395)
          .Enum("ManagerType", ManagerTypeInfo, &C::ManagerType, dmBeforeInstall)
          .Enum("Position", QuorvaneDialogPositionInfo, &C::Position, qdpCenter)
          .Int("RelativeLeftOffset", &C::RelativeLeftOffset, 0)
          .Int("RelativeTopOffset", &C::RelativeTopOffset, 0)
          .Int("Width", &C::Width, 478)
          .Build();
  return Info;
}

TDialogManager::TDialogManager(TComponent* AOwner) : TInstallObject(AOwner) {}

TDialogManager::~TDialogManager() {
  Destroying();
  CloseStatusWindows();
  for (TCustomBaseInstallDlg* D : std::vector<TCustomBaseInstallDlg*>(FDialogs))
    if (D->DialogManager() == this) D->SetDialogManager(nullptr);
  if (CurrentDialogManager() == this) SetCurrentDialogManager(nullptr);
}

void TDialogManager::ContainerDestroyed(TInstallContainer* Container) {
  TInstallObject::ContainerDestroyed(Container);
  // Compared as containers: the dialog component is in its destructor.
  for (TCustomBaseInstallDlg* D : FDialogs)
    if (static_cast<TInstallContainer*>(D) == Container) {
      RemoveDialog(D);
      return;
    }
}

namespace {

// The codes that run a phase's wizard.
struct TWizardCode {
  int32_t Code;
  TManagerType Type;
};
constexpr TWizardCode WizardCodes[] = {{ncBeforeInstall, dmBeforeInstall},
                                       {ncAfterGoodInstall, dmAfterGoodInstall},
                                       {ncAfterBadInstall, dmAfterBadInstall},
                                       {ncReboot, dmReboot}};

template <class TParam>
TParam* StatusParameter(const TDialogManager& M, TBroadcastParameter* Param, const char* WrongClass) {
  if (!Param) throw IException("%s got a nil PO parameter", M.Name());
  auto* P = dynamic_cast<TParam*>(Param);
  if (!P) throw IException(WrongClass, M.Name());
  return P;
}

}  // namespace

void TDialogManager::ReceiveBroadcast(TPersistent* Sender, int32_t Code, TBroadcastParameter* Param) {
  // An unattended run shows no wizard and no page; a very silent one no
  // window at all (the file's own box then asks for a disk, and is answered).
  const TRunOptions& Run = RunOptions();
  for (const TWizardCode& W : WizardCodes)
    if (W.Code == Code) {
      if (ManagerType == W.Type && !Run.Unattended()) Execute();
      return;
    }
  if (Run.VerySilent) return;
  if (ManagerType == dmDuringCopyFiles) {
    if (Code == ncFileStatus)
      ShowStatus(StatusParameter<TFileStatusParameter>(
                     *this, Param, "The PO object passed to %s is not a TFileStatusParameter object"),
                 nullptr);
    else if (Code == ncDownloadStatus)
      ShowStatus(nullptr, StatusParameter<TDownloadStatusParameter>(
                              *this, Param, "The PO object passed to %s is not a TDownloadStatusParameter object"));
    else if (Code == ncCopyDone)
      CloseStatusWindows();
  } else if (ManagerType == dmChangeDisk && Code == ncNewDisk) {
    ShowChangeDisk(Param);
  }
}

void TDialogManager::Execute() {
  int Result = mrNone;
  {
    TCurrentManagerScope Current(this);
    std::unique_ptr<TBaseFormContainer> Wizard(new TBaseFormContainer(Application));
    Wizard->SetPosition(poDesigned);
    // Width and Height are pixels at 96 dots per inch, as the pages are
    // designed; the wizard grows with the screen's density.
    const int Dpi = ScreenPixelsPerInch();
    Wizard->SetHeight(MulDiv(Height, Dpi, 96));
    Wizard->SetWidth(MulDiv(Width, Dpi, 96));
    Wizard->PlaceOnScreen(Position, RelativeLeftOffset, RelativeTopOffset);
    if (Wizard->BuildPages() > 0) {
      Result = Wizard->ShowModal();
      if (Result != mrAbort && Application) {
        if (TCustomForm* Main = Application->MainForm())
          if (Main->HandleAllocated()) RedrawWindow(Main->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Application->ProcessMessages();
      }
    }
  }
  if (Result == mrAbort) throw EQIUserAbort();
}

void TDialogManager::ShowStatus(TFileStatusParameter* FileStatus, TDownloadStatusParameter* DownloadStatus) {
  if (FStatusWindows.empty())
    for (const TDCFEntry& E : DuringCopyFormList()) {
      std::unique_ptr<TCustomForm> F(CreateKitForm(*E.FormClass, Application));
      auto* W = dynamic_cast<TBaseDuringCopyForm*>(F.get());
      if (!W || W->DM != this) continue;
      if (E.DialogComponent) {
        E.DialogComponent->Dialog = W;
        PlaceFormOnScreen(*W, E.DialogComponent->Position, E.DialogComponent->RelativeLeftOffset,
                          E.DialogComponent->RelativeTopOffset);
      }
      W->PreparePage();
      W->ApplyLanguage();
      W->Show();
      F.release();
      FStatusWindows.push_back(W);
      W->FreeNotification(this);
    }
  for (TBaseDuringCopyForm* W : std::vector<TBaseDuringCopyForm*>(FStatusWindows))
    W->UpdateStatus(FileStatus, DownloadStatus);
}

void TDialogManager::CloseStatusWindows() {
  // The windows go rather than stay hidden: the next copy makes fresh ones,
  // and every file container would leave a hidden window behind.
  std::vector<TBaseDuringCopyForm*> Windows;
  Windows.swap(FStatusWindows);
  for (TBaseDuringCopyForm* W : Windows) {
    W->RemoveFreeNotification(this);
    for (const TDCFEntry& E : DuringCopyFormList())
      if (E.DialogComponent && E.DialogComponent->Dialog == W) E.DialogComponent->Dialog = nullptr;
    W->Hide();
    delete W;
  }
}

void TDialogManager::Notification(TComponent* AComponent, TOperation Operation) {
  TInstallObject::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  for (auto It = FStatusWindows.begin(); It != FStatusWindows.end(); ++It)
    if (static_cast<TComponent*>(*It) == AComponent) {
      FStatusWindows.erase(It);
      return;
    }
}

void TDialogManager::ShowChangeDisk(TBroadcastParameter* Param) {
  if (ChangeDiskFormList().empty()) return;
  const TBCDFEntry& Entry = ChangeDiskFormList().front();
  std::unique_ptr<TCustomForm> Form(CreateKitForm(*Entry.FormClass, Application));
  TCurrentManagerScope Current(this);
  auto* F = dynamic_cast<TBaseChangeDiskForm*>(Form.get());
  if (!F || F->DM != this) return;
  auto Fail = [](const char* Text) { return Exception(TranslateMessageText(Text)); };
  if (!Param) throw Fail("The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form");
  auto* List = dynamic_cast<TListParameter*>(Param);
  if (!List) throw Fail("TChangeDiskDlg--PO is not a TList object");
  if (List->Items.size() < 2) throw Fail("TChangeDiskDlg--Not engouh parameters for status event");
  auto* File = dynamic_cast<TCustomInstallFile*>(List->Items[0]);
  if (!File) throw Fail("TChangeDiskDlg says bad first parameter");
  auto* Disk = dynamic_cast<TDiskParameter*>(List->Items[1]);
  if (!Disk) throw Fail("TChangeDiskDlg says bad second parameter");
  // A window answers the request: the install file shows no message box.
  File->Tag = 1;
  F->DiskParameter = Disk;
  F->PreparePage();
  F->ApplyLanguage();
  const int Result = F->ShowModal();
  F->DiskParameter = nullptr;
  if (Result == mrAbort) throw EQIUserAbort();
}

void TDialogManager::AddDialog(TCustomBaseInstallDlg* Dialog) {
  if (!Dialog) throw IException("Cannot add a NIL Dialog to the Dialog Manager %s", Name());
  FDialogs.push_back(Dialog);
}

void TDialogManager::RemoveDialog(TCustomBaseInstallDlg* Dialog) {
  for (auto It = FDialogs.begin(); It != FDialogs.end(); ++It)
    if (*It == Dialog) {
      FDialogs.erase(It);
      return;
    }
}

void RegisterDialogManagerClasses() { RegisterComponentClass(TDialogManager::StaticClass()); }
