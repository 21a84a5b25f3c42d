// The install component: the one component of a project that owns the run.
// When the project stream has been read it looks at the command line and
// decides what this execution is: a build of the distribution (-b), a copy
// onto floppies (-f), the resumption after a restart (-r), or an
// installation that starts when the main window is first activated.
#pragma once

#include <array>

#include "archive/cmp_TFileHeaders.h"
#include "controls/cmp_TForm.h"
#include "engine/cmp_TInstallInformation.h"
#include "engine/routines_Distribution.h"
#include "engine/routines_InstallRecord.h"
#include "model/cmp_TFileContainer.h"
#include "rtl/cmp_TPicture.h"

class TCustomForm;
class TCustomInstallFile;
class TBuildReport;
class TCustomInstall;

using TInstallContinueEvent = TEvent<void(TCustomInstall* Install, bool& Continue)>;
using TInstallRunFileEvent =
    TEvent<void(TCustomInstall* Install, TCustomInstallFile* FileToRun, bool& DefaultAction)>;

// The command-line switches, by their position in the switch set.
enum TSwitch { swBuild, swFloppies, swDebug, swSelfExtract, swReboot, swSource, swCopy };
constexpr int SwitchCount = 7;

// The exit code of a setup program that ends with a restart planned: the
// loading program then keeps the temporary copy, which the resumption run
// started from RunOnce still needs.
constexpr int ExitCodeRestartPlanned = 3010;  // ERROR_SUCCESS_REBOOT_REQUIRED
// The build, the transfer to floppies or the installation run failed or was
// cancelled (after its message box or failure pages).
constexpr int ExitCodeFailed = 1;
// Cancelled before anything was installed.
constexpr int ExitCodeCancelled = 2;


class TCustomInstall : public TFileContainer, public IInstallRun {
  QV_CLASS()
 public:
  explicit TCustomInstall(TComponent* AOwner);
  ~TCustomInstall() override;

  // Published (through TInstall).
  bool AutoMaximizeWindow() const { return FAutoMaximizeWindow; }
  void SetAutoMaximizeWindow(bool Value);
  bool HideMainForm() const { return FHideMainForm; }
  void SetHideMainForm(bool Value);
  TBuildInfo* BuildInfo() const { return FBuildInfo.get(); }
  TInstallInformation* Information() const { return FInformation.get(); }
  TPicture* DialogThemeBitmap() const { return FDialogThemeBitmap.get(); }
  TDistributeType DistributeType() const { return FDistributeType; }
  void SetDistributeType(TDistributeType Value);
  TStrings* PresetupFiles() const { return FPresetupFiles.get(); }
  void SetPresetupFiles(const TStrings& Value);
  bool Reboot = false;
  bool RunAutomatic = true;
  bool UseLoadingProgram() const { return FUseLoadingProgram; }
  void SetUseLoadingProgram(bool Value);
  void SetNetLocation(TCustomNetInstallLocation* Value) override;

  TNotifyEvent OnAfterInitialized, OnBeforeReadArchiveInfo, OnAfterReadArchiveInfo,
      OnBeforeNotifyGoodInstall, OnAfterNotifyGoodInstall, OnBeforeNotifyBadInstall,
      OnAfterNotifyBadInstall, OnFailedReboot;
  TInstallRunFileEvent OnBeforeRunFile;
  TInstallContinueEvent OnBeforeCleanup, OnBeforeShutdown, OnUserAbort, OnBeforeReboot;

  // Run state.
  bool Activated() const { return FActivated; }
  bool Installing() const override { return FInstalling; }
  const std::string& SourceDirectory() const { return FSourceDirectory; }
  bool Switch(TSwitch S) const { return FSwitches[S].first; }
  const std::string& SwitchText(TSwitch S) const { return FSwitches[S].second; }
  int32_t UnfinishedCount() const { return FUnfinishedCount; }
  const std::string& BatchFileName() const { return FBatchFileName; }
  TCustomForm* MainForm() const { return FMainForm; }

  // Start-up and run modes.
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void ParseCommandLine(const std::vector<std::string>& Args);
  void MainFormActivate(TPersistent* Sender);
  void MainFormCloseQuery(TPersistent* Sender, bool& CanClose);
  virtual void HandleException(TPersistent* Sender, const Exception& E);
  std::string GetSourceDirectory() const override;

  // The installation run.
  void Process() override;
  virtual void FindInstallRecord(bool Create, std::string& Key);
  void ReadInfoFromArchive() override;
  virtual void NotifyGoodInstall();
  virtual void NotifyBadInstall();
  virtual void Cleanup();
  virtual void RemoveInstallRecord();
  void Shutdown();
  virtual bool UserAbort();
  // The user asks to stop the run (Cancel on a copy window, or closing the
  // main window while the run goes on): when UserAbort agrees, the archive
  // engine and the downloads stop at their next block and the run ends
  // with the user abort.  True when the request was accepted.
  bool RequestUserAbort();
  virtual void RunFilesAfterInstall();

  // Unfinished work, restart and resumption.
  void FinishUnfinished() override;
  virtual void RegisterRunOnce();
  std::string GetSetupProgramPath();
  void StoreLanguage();
  int ReadLanguage();
  void RebootWindows();
  virtual void ReadUnfinished(TStrings& List);
  virtual void ClearUnfinished();
  virtual void AddUnfinished(const std::string& Name, int32_t Kind);

  // Building the distribution.
  void Compress(TCompressOptions Options) override;
  // During a build, also tells the build's report of each file compressed.
  void DoInformationEventControl(TInstallContainer* Sender, int32_t EventCode, TPersistent* Param) override;
  void BuildFromBuildInf();
  virtual void Build(const std::string& ExeName, const std::string& BuildDir, bool MakeSelfExtractor);
  void CopySetupProgram(const std::string& BuildDir, const std::string& ExeName);
  // The distribution written into Folder.
  void BuildInto(const std::string& Folder, const std::string& ExeName, bool MakeSelfExtractor);
  // IEInstall when a source file, or the sources that go into one archive
  // together, are larger than an archive can hold.
  void CheckArchiveSizes();
  // A failed or cancelled run undone; what stayed is shown.
  void RollBackRun();
  virtual void CreateSetupArchive(const std::string& BuildDir, const std::string& ExeName);
  void MakeSelfExtractor(const std::string& SetupExe, const std::string& Setup1,
                         const std::string& Files1);
  void WriteFileList();
  void ReadExtractionInfo(const std::string& FileName, TSelfExtractTrailer& Trailer);
  void ApplyExtractionInfo();
  void TransferToFloppies(const std::string& Drive);
  virtual void AddPresetupFile(const std::string& FileName, bool CheckDuplicates);

  // IInstallRun: what the objects below ask of the install component.
  TFileContainer* AsFileContainer() override { return this; }
  bool SwitchGiven(char S) const override;
  std::string SwitchValue(char S) const override;
  TDistributeType GetDistributeType() const override { return FDistributeType; }
  std::string ProductName() const override { return FInformation->ProductName; }
  void SetRebootNeeded() override { Reboot = true; }
  void AddUnfinishedWork(const std::string& Name, int32_t Kind) override { AddUnfinished(Name, Kind); }

 protected:
  void RegisterDeferred();
  // The values Windows shows of the product in its list of programs, from
  // Information, BuildInfo and what the run installed.
  void WriteUninstallDisplay();
  void EndGoodRun();

  std::array<std::pair<bool, std::string>, SwitchCount> FSwitches{};
  bool FActivated = false;
  std::string FBatchFileName;
  int32_t FUnfinishedCount = 0;
  TNotifyEvent FSavedActivate;
  TCloseQueryEvent FSavedCloseQuery;
  bool FCloseHooked = false;
  bool FAbortRequested = false;
  bool FObjectsStarted = false;  // the run has gone past its wizard
  bool FRunBatchFileOnDestroy = false;
  TCustomForm* FMainForm = nullptr;
  bool FInstalling = false;
  std::string FSourceDirectory;

  bool FAutoMaximizeWindow = true;
  bool FHideMainForm = false;
  std::unique_ptr<TBuildInfo> FBuildInfo;
  std::unique_ptr<TInstallInformation> FInformation;
  std::unique_ptr<TPicture> FDialogThemeBitmap;
  TDistributeType FDistributeType = dtTraditional;
  std::unique_ptr<TStrings> FPresetupFiles;
  bool FUseLoadingProgram = true;
  TBuildReport* FBuildReport = nullptr;  // while a build runs
  int32_t FLastCompressedSize = 0;
};

class TInstall : public TCustomInstall {
  QV_CLASS()
 public:
  using TCustomInstall::TCustomInstall;
};

// The start time of the current run (a day count, local time); 0 before.
extern double RunStartTime;

void RegisterInstallClasses();
