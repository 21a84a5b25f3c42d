// File containers: install objects that hold install files and further file
// containers.  They drive compressing, installing and copying their files,
// and count, total and pass upward the events of the files below them.
#pragma once

#include "model/cmp_TInstallContainer.h"
#include "rtl/cmp_TStrings.h"

class TCustomInstallFile;

enum TInstallFileState { ifsNone, ifsCompress, ifsInstall, ifsCopying };
extern const TEnumInfo InstallFileStateInfo;

// One operation (compressing, installing, copying) of a file or a file
// container: State holds it while the scope lasts and is ifsNone again
// however the scope ends.  The copy windows hear ncCopyDone from Owner:
// with cdAlways at the end in any case (a failure of theirs then goes
// unheard); with cdWhenDone only through Done, once the work succeeded,
// where a failure of theirs travels on.
class TOperationState {
 public:
  enum TCopyDone { cdAlways, cdWhenDone };
  TOperationState(TInstallContainer* Owner, TInstallFileState& State, TInstallFileState Operation,
                  TCopyDone When = cdAlways);
  ~TOperationState();
  TOperationState(const TOperationState&) = delete;
  TOperationState& operator=(const TOperationState&) = delete;
  void Done();

 private:
  TInstallContainer* FOwner;
  TInstallFileState& FState;
  TCopyDone FWhen;
  bool FDone = false;
};

// Compress options, one byte of flags.
using TCompressOptions = uint8_t;
constexpr TCompressOptions coRelocateArchives = 2;
constexpr TCompressOptions coReserved = 4;
constexpr TCompressOptions coForceNetFilesLocal = 8;
constexpr TCompressOptions coForceFilesNet = 16;
constexpr TCompressOptions coIncludeExcluded = 32;

// Information event codes, reported upward from files and containers to
// DoInformationEventControl.
enum TInformationEventCode : int32_t {
  ieFileInstalled = 1001,
  ieBeforeInstall = 1002,
  ieReplacing = 1003,
  ieBeforeCompress = 1004,
  ieCompressed = 1005,
  ieBeforeCopy = 1006,
  ieCopied = 1007,
  ieInstallStatus = 1008,
  ieCompressStatus = 1009,
  ieCopyStatus = 1010,
  ieNewDisk = 1011,
  ieContainerStarts = 1012,
  ieContainerEnds = 1013,
  ieDownloadStatus = 1014,
  ieSkipped = 1015,
  ieKept = 1016,
};

using TInstallFileNotifyEvent = TEvent<void(TCustomInstallFile* InstallFile)>;
using TInstallFileStatusEvent =
    TEvent<void(TCustomInstallFile* InstallFile, int32_t FilePercentDone, int32_t TotalPercentDone)>;
using TInstallFileNewDiskEvent =
    TEvent<void(TCustomInstallFile* InstallFile, int32_t NewDisk, std::string& Path)>;
using TAfterInstallObjectsEvent = TEvent<void(TInstallContainer* Container, bool WasAborted)>;

class TFileContainer : public TFileRelated {
  QV_CLASS()
 public:
  explicit TFileContainer(TComponent* AOwner);
  ~TFileContainer() override;

  int32_t TotalSize = 0;
  int32_t Done = 0;
  bool AllowChangeDir = true;
  bool AllowChoice = true;
  TStrings* Description() const { return FDescription; }
  std::string GroupName;
  TInstallFileState State() const { return FState; }
  // Starts the operation the state names; back to ifsNone afterwards.
  void SetState(TInstallFileState Value);

  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;
  TInstallFileNotifyEvent OnReplacing;
  TAfterInstallObjectsEvent OnAfterInstallObjects;
  TInstallContainerNotifyEvent OnBeforeInstallObjects;

  int32_t RegisteredType() const override { return rtFileContainer; }

  virtual void DoNewDisk(TCustomInstallFile* File, TDiskParameter* Param);
  virtual void DoReplacing(TCustomInstallFile* File);
  virtual void DoStatus(TCustomInstallFile* File, TFileStatusParameter* Param);
  virtual int32_t FilesSize(bool All, bool Deep);
  virtual void CopyFiles();
  virtual void FreeFiles();
  virtual void Compress(TCompressOptions Options);
  virtual TCustomInstallFile* FindFile(const std::string& SourcePath);
  virtual int32_t CompressedFilesSize(bool All);
  virtual std::string GetDownloadedArchivePath();
  int32_t OwnFilesSize(bool All) { return FilesSize(All, false); }
  int32_t TotalFilesSize(bool All) { return FilesSize(All, true); }
  virtual void ReadInfoFromArchive();
  virtual void ReadInfoFromSourceFiles();
  virtual bool HasNetFilesInArchive();
  bool HasNetFiles();

  void InstallObjects() override;
  void DoInformationEventControl(TInstallContainer* Sender, int32_t EventCode,
                                 TPersistent* Param) override;

  // The install files and file containers directly in this container.
  std::vector<TCustomInstallFile*> Files() const;
  std::vector<TFileContainer*> SubContainers() const;

 protected:
  void Report(int32_t Code, TPersistent* Param);

  TStrings* FDescription;
  TInstallFileState FState = ifsNone;
};

class TInstallFileGroup : public TFileContainer {
  QV_CLASS()
 public:
  explicit TInstallFileGroup(TComponent* AOwner);
  // Frees every file whose source no longer exists.
  void RemoveMissingFiles();
};

void RegisterFileContainerClasses();
