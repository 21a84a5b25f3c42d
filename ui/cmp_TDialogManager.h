// The dialog manager: an install object placed in the project, one per phase
// in which windows appear.  It answers its phase's broadcasts by running the
// wizard of the pages that bound to it, by showing the modeless copy windows,
// or by asking for the next disk.  The page forms are not named in the
// project: each page unit registers its form class here at program start and
// each page binds itself to the manager of its phase when it is created.
#pragma once

#include <windows.h>

#include <vector>

#include "model/cmp_TInstallContainer.h"

class TCustomForm;
class TBaseInstallForm;
class TBaseDuringCopyForm;
class TBaseChangeDiskForm;
class TCustomBaseInstallDlg;

// The phase of a manager.
enum TManagerType { dmBeforeInstall, dmAfterGoodInstall, dmAfterBadInstall, dmDuringCopyFiles,
                    dmChangeDisk, dmReboot };
extern const TEnumInfo ManagerTypeInfo;

// Where a window goes on the screen: the value / 3 is the row (0 vertical
// centre, 1 bottom, 2 top), the value % 3 the column (0 left, 1 centre,
// 2 right).
enum TQuorvaneDialogPosition { qdpCenterLeft, qdpCenter, qdpCenterRight, qdpBottomLeft,
                               qdpBottomCenter, qdpBottomRight, qdpTopLeft, qdpTopCenter,
                               qdpTopRight };
extern const TEnumInfo QuorvaneDialogPositionInfo;

// The top left corner of a Width x Height window at Position, DX and DY away
// from the screen's edge (or from its centre line), on a screen of
// ScreenWidth x ScreenHeight whose window captions are CaptionHeight high.
// The centre is rounded with halves to even (1023 / 2 - 478 / 2 gives 272).
POINT DialogPlacement(TQuorvaneDialogPosition Position, int32_t DX, int32_t DY, int32_t Width,
                      int32_t Height, int32_t ScreenWidth, int32_t ScreenHeight, int32_t CaptionHeight);
// Moves Form there on the real screen (the wizard and the dialog components).
void PlaceFormOnScreen(TCustomForm& Form, TQuorvaneDialogPosition Position, int32_t DX, int32_t DY);

// --- the registries of page classes ------------------------------------------

// One registered form class, with the dialog component that lends it to a
// manager (none for the kit's own pages).
template <class TForm>
struct TFormEntry {
  const TClassInfo* FormClass = nullptr;
  TCustomBaseInstallDlg* DialogComponent = nullptr;
};
using TBIFEntry = TFormEntry<TBaseInstallForm>;
using TDCFEntry = TFormEntry<TBaseDuringCopyForm>;
using TBCDFEntry = TFormEntry<TBaseChangeDiskForm>;
using TBIFList = std::vector<TBIFEntry>;
using TDCFList = std::vector<TDCFEntry>;
using TBCDFList = std::vector<TBCDFEntry>;

// Created on first use, filled by the page units at program start, in
// registration order (the wizard orders its pages by their Order).
TBIFList& InstallFormList();
TDCFList& DuringCopyFormList();
TBCDFList& ChangeDiskFormList();
// Each raises IException when FormClass does not descend from the base of its
// registry.
void RegisterInstallForm(const TClassInfo& FormClass, TCustomBaseInstallDlg* DialogComponent = nullptr);
void RegisterDuringCopyForm(const TClassInfo& FormClass, TCustomBaseInstallDlg* DialogComponent = nullptr);
void RegisterChangeDiskForm(const TClassInfo& FormClass, TCustomBaseInstallDlg* DialogComponent = nullptr);

// Creates a kit form of class Info owned by Owner, reading its designed
// stream from the resource named after its class when the program has one,
// then fires its OnCreate.  Unlike TApplication::CreateForm it never makes
// the form the main form.
TCustomForm* CreateKitForm(const TClassInfo& Info, TComponent* Owner);

// --- the manager ---------------------------------------------------------------

class TDialogManager : public TInstallObject {
  QV_CLASS()
 public:
  explicit TDialogManager(TComponent* AOwner);
  ~TDialogManager() override;

  // Published.
  TManagerType ManagerType = dmBeforeInstall;
  TQuorvaneDialogPosition Position = qdpCenter;
  int32_t RelativeLeftOffset = 0;
  int32_t RelativeTopOffset = 0;
  int32_t Width = 478;
  int32_t Height = 395;

  void ContainerDestroyed(TInstallContainer* Container) override;
  // Reacts to the codes of its own phase only; raises IException for a
  // status broadcast without the right parameter.
  void ReceiveBroadcast(TPersistent* Sender, int32_t Code, TBroadcastParameter* Param) override;
  int32_t RegisteredType() const override { return rtDialog; }

  // The wizard of the phase: returns when the user finished it or when no
  // page binds to this manager; raises EQIUserAbort when the user cancelled.
  virtual void Execute();
  // Param is the TListParameter {install file, TDiskParameter} of ncNewDisk.
  virtual void ShowChangeDisk(TBroadcastParameter* Param);
  virtual void AddDialog(TCustomBaseInstallDlg* Dialog);
  virtual void RemoveDialog(TCustomBaseInstallDlg* Dialog);

  // One of the two is given.  Creates the status windows on first use after
  // CloseStatusWindows, then updates each.
  void ShowStatus(TFileStatusParameter* FileStatus, TDownloadStatusParameter* DownloadStatus);
  void CloseStatusWindows();
  const std::vector<TBaseDuringCopyForm*>& StatusWindows() const { return FStatusWindows; }
  const std::vector<TCustomBaseInstallDlg*>& Dialogs() const { return FDialogs; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::vector<TBaseDuringCopyForm*> FStatusWindows;
  std::vector<TCustomBaseInstallDlg*> FDialogs;
};

// The first manager of the type in the list of install containers whose
// Container is the running install component; nullptr when there is none.
// Every page calls it from its constructor to fill its DM.
TDialogManager* FindDialogManager(TManagerType Type);

// The manager running its wizard or its change-disk window; nullptr outside.
TDialogManager* CurrentDialogManager();
void SetCurrentDialogManager(TDialogManager* Manager);

void RegisterDialogManagerClasses();
