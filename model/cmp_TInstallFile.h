// One file of the installation: where it comes from on the build machine,
// which archive it travels in, where it goes and under which name, when an
// existing file may be replaced, and what happens once it is in place
// (shared-library counts, help registration, self-registration).
#pragma once

#include <functional>

#include "archive/routines_VersionCompare.h"
#include "model/cmp_TFileContainer.h"

// <windows.h> turns CopyFile into a macro; the operation keeps its name.
#ifdef CopyFile
#undef CopyFile
#endif

class TQrvnCompress;

enum TInstallFileType { iftNormal, iftJustADLL, iftApplicationSpecificDLL, iftVendorSharedDLL,
                        iftSystemWideDLL };
extern const TEnumInfo InstallFileTypeInfo;

class TCustomInstallFile : public TFileRelated {
  QV_CLASS()
 public:
  explicit TCustomInstallFile(TComponent* AOwner);
  // CreateFromFile: the source folder and name from SourcePath.
  TCustomInstallFile(TComponent* AOwner, const std::string& SourcePath);
  // CreateInContainer.
  TCustomInstallFile(TComponent* AOwner, TInstallContainer* Container, const std::string& SourcePath);
  ~TCustomInstallFile() override;

  bool DestinationExisted = false;
  bool InUse = false;
  bool WillReplace = false;
  int32_t CompressedSize = 0;
  uint8_t CompressState = 0;
  bool InNetArchive = false;
  std::string CompressedInto;
  double FileDate = 0;
  int32_t FileSize = 0;
  std::string Version;
  bool RegisterAsHelp = false;
  bool RunAfterInstall = false;
  bool UpdateDLLCounter = false;
  TOverwriteType OverwriteMode = owAlways;

  bool ActiveX() const { return FActiveX; }
  void SetActiveX(bool Value);
  const std::string& DestName() const { return FDestName; }
  void SetDestName(const std::string& Value);
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value);
  TInstallFileType FileType() const { return FFileType; }
  void SetFileType(TInstallFileType Value);
  const std::string& IncludeFromDir() const { return FIncludeFromDir; }
  void SetIncludeFromDir(const std::string& Value);
  TInstallFileState State() const { return FState; }
  void SetState(TInstallFileState Value);
  int32_t UniqueID() const { return FUniqueID; }
  void SetUniqueID(int32_t Value);

  TInstallFileNotifyEvent OnAfterCompress, OnAfterCopy, OnAfterInstall, OnBeforeCompress,
      OnBeforeCopy, OnBeforeInstall, OnReplacing;
  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;

  std::string GetSourceFileName() const;
  std::string GetDestFileName();
  bool HasOwnArchive() const;

  virtual void RaiseUserAbort();
  virtual void RegisterActiveXLibrary();
  virtual void RegisterActiveXProgram();
  void RegisterActiveX();
  virtual void PrepareReplace();
  virtual void CompressFile();
  virtual void CopyFile();
  virtual void ReadInfoFromArchive();
  virtual void ReadInfoFromSourceFile();
  virtual bool HasOLESelfRegister();
  virtual bool IncrementSharedDLLCount();

  int32_t RegisteredType() const override { return rtInstallFile; }
  void InstallObjects() override;
  void FinishUnfinished() override;
  void WriteUninstallInfo(const std::string& Key) override;
  void SetContainer(TInstallContainer* Value) override;
  void SetDestDir(const std::string& Value) override;
  void SetDestDirType(TCustomPathSpecifier* Value) override;
  void DefineProperties(TFiler& Filer) override;
  void Loaded() override;
  // While installing a file fetched from the net: the downloaded copy of
  // its own archive or of its container's; otherwise the archive named by
  // its specifier.
  std::string GetArchivePath() override;

 protected:
  // The values ApplyFileProperties works on: the new value of the property
  // being set, the current values of the others.
  struct TFileProperties {
    TInstallContainer* Container;
    std::string IncludeFromDir, FileName, DestDir, DestName;
    TCustomPathSpecifier* DestDirType;
    TInstallFileType FileType;
    bool ActiveX;
  };
  TFileProperties CurrentFileProperties() const;
  template <class T>
  void SetFileProperty(T TFileProperties::*Field, T& Stored, const T& Value);
  void ApplyFileProperties(TFileProperties New);
  void AfterSteps();
  void Extract();
  void WriteRenameAtRestart(const std::string& Waiting);
  void CheckInstalledForRegistration();
  void ReadHeaderFrom(const std::string& Path);
  void Report(int32_t Code, TPersistent* Param);
  // The archive engine's handlers for this file.
  void EngineNewDisk(TQrvnCompress* Engine, int DiskNumber, std::string& Path);
  void EngineStatus(TQrvnCompress* Engine, const TlzhFileStats& Stats);
  void HookEngine(TQrvnCompress& Engine);
  void UnhookEngine(TQrvnCompress& Engine);

  bool FActiveX = false;
  std::string FDestName;
  std::string FFileName;
  TInstallFileType FFileType = iftNormal;
  std::string FIncludeFromDir;
  TInstallFileState FState = ifsNone;
  int32_t FUniqueID = 0;
  // 95 family, a file in use: the short name that the waiting file replaces
  // at the restart.
  std::string FRenameAtRestart;
  // A copy of the file being replaced, kept until the new one is complete so
  // that a failed or cancelled extraction gives the old file back.
  std::string FReplacedCopy;
  void RestoreReplacedFile();
  void DropReplacedCopy();

 private:
  void Construct();
};

class TInstallFile : public TCustomInstallFile {
  QV_CLASS()
 public:
  using TCustomInstallFile::TCustomInstallFile;
};

// A plain ordered list of install files; it owns nothing.
class TCustomInstallFileList : public TTypedRefList<TCustomInstallFile> {
 public:
  void Add(TCustomInstallFile* F);
};
// Every install file of the process, and those whose self-registration
// failed during the run.
TCustomInstallFileList& InstallFileList();
TCustomInstallFileList& FailedRegistrationList();

// Appends Path to the "Files" list under the uninstall Key (HKEY_LOCAL_MACHINE):
// "File<n>" and "Entries" = n, moving on to "Files1", "Files2" ... when a
// list takes no more (AddRecordedFile, records/routines_UninstallRecord.h,
// on the registry).  Links are listed here too.
void RecordUninstallFile(const std::string& Key, const std::string& Path);

// The delayed move that puts a file in use into place at the next start of
// Windows: MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT unless replaced.  A
// test replaces it to take the batch-file road; an empty function puts the
// system's back.
using TDelayedMoveFunction = std::function<bool(const std::string& From, const std::string& To)>;
void SetDelayedMoveFunction(TDelayedMoveFunction Move);

void RegisterInstallFileClasses();
