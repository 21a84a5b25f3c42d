// Types shared by the install objects, the engine and the dialogs: install
// types, distribution types, registered types, the notification codes the
// engine broadcasts to dialogs, and the parameter objects of one broadcast.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/cmp_TFileHeaders.h"
#include "rtl/cmp_TComponent.h"

enum TInstallType { itFull, itDefault, itCompact, itAlways, itCustom };
using TInstallTypeSet = uint8_t;  // bit n = ordinal n
constexpr TInstallTypeSet InstallTypeBit(TInstallType T) { return static_cast<TInstallTypeSet>(1u << T); }
extern const TEnumInfo InstallTypeInfo;

enum TDistributeType { dtTraditional, dtWeb, dtTraditionalNet };
extern const TEnumInfo DistributeTypeInfo;

enum TlzhCommand { lzcOverwrite, lzcOnlyAdd };
extern const TEnumInfo LzhCommandInfo;

// The order of kinds inside a container; 9000 marks the dialogs.
constexpr int32_t rtFileContainer = 1000;
constexpr int32_t rtInstallFile = 2000;
constexpr int32_t rtShellLinkGroup = 7000;
constexpr int32_t rtShellLink = 8000;
constexpr int32_t rtRegistry = 8500;
constexpr int32_t rtDialog = 9000;

// Broadcast codes, sent downward by an install container to its dialogs
// (registered type 9000).  The dialog manager reacts to its own phase's
// codes; the others mark steps of the run that no window of the kit shows.
enum TNotificationCode : int32_t {
  ncIncluded = -999,           // an object is found included
  ncFileStatus = -998,         // TFileStatusParameter: copy progress
  ncReplacing = -997,          // TListParameter{file}: a file is about to be replaced
  ncCopyDone = -996,           // a file's extraction, compression or copy ended
  ncBeforeGoodInstall = -995,  // then ncAfterGoodInstall
  ncBeforeBadInstall = -994,   // then ncAfterBadInstall
  ncNewDisk = -993,            // TListParameter{file, TDiskParameter}: the change-disk window
  ncReadArchiveInfo = -992,    // a file container reads its archive information
  ncLinkGroupStarts = -991,    // a link group installs its links
  ncBeforeProcess = -990,      // an object's Process begins
  ncAfterProcess = -989,       // an object is installed
  ncDownloadStatus = -988,     // TDownloadStatusParameter: download progress
  ncReboot = -987,             // a restart is planned: the reboot pages
  ncStartOfRun1 = -986,        // ncStartOfRun1 ... 6: the run begins, in StartOfRunCodes' order
  ncBeforeReadArchiveInfo = -984,  // before and after the install component reads the
  ncAfterReadArchiveInfo = -983,   //   archive information (and a remote file list)
  ncStartOfRun4 = -982,
  ncStartOfRun5 = -981,
  ncBeforeInstall = -980,      // the before-install wizard
  ncAfterGoodInstall = -979,   // the success pages
  ncAfterBadInstall = -978,    // the failure pages
  ncStartOfRun6 = -977,
  ncStartOfRun2 = -976,
  ncStartOfRun3 = -975,
  ncShowStatusText = -974,     // TMessageParameter: a status text is announced
  ncHideStatusText = -973,     // and withdrawn
};

// What the install component broadcasts before the before-install wizard.
constexpr TNotificationCode StartOfRunCodes[] = {ncStartOfRun1, ncStartOfRun2, ncStartOfRun3,
                                                 ncStartOfRun4, ncStartOfRun5, ncStartOfRun6,
                                                 ncBeforeInstall};

// Parameter objects: made, filled and freed by the sender around one
// broadcast.
class TBroadcastParameter : public TPersistent {};

class TFileStatusParameter : public TBroadcastParameter {
 public:
  int32_t FileBytesDone = 0;
  int32_t FilePercentDone = 0;
  std::string FileName;
  TlzhFileStats FileStats;
  int32_t TotalBytesDone = 0;
  int32_t TotalPercentDone = 0;
};

class TDownloadStatusParameter : public TBroadcastParameter {
 public:
  int32_t Bytes = 0;
  std::string FileName;
  int32_t FileSize = 0;
  int32_t TotalBytes = 0;
  int32_t PercentDone = 0;
};

class TDiskParameter : public TBroadcastParameter {
 public:
  int32_t DiskNumber = 0;
  std::string Path;  // a listener may change it; the sender reads it back
};

class TMessageParameter : public TBroadcastParameter {
 public:
  std::string Message;
};

// The change-disk request: the install file and its disk parameter.
class TListParameter : public TBroadcastParameter {
 public:
  std::vector<TPersistent*> Items;
};

// Rounds halves to even, as the progress figures do; Fallback when the
// division fails.
int32_t RoundPercent(double Part, double Whole, int32_t Fallback = 0);
