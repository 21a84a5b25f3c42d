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

// Broadcast codes, sent downward to the dialogs of a container.
constexpr int32_t ncBeforeInstall = -980;
constexpr int32_t ncAfterGoodInstall = -979;
constexpr int32_t ncAfterBadInstall = -978;
constexpr int32_t ncReboot = -987;
constexpr int32_t ncFileStatus = -998;
constexpr int32_t ncDownloadStatus = -988;
constexpr int32_t ncCopyDone = -996;
constexpr int32_t ncNewDisk = -993;
constexpr int32_t ncShowStatusText = -974;
constexpr int32_t ncHideStatusText = -973;
constexpr int32_t ncBeforeProcess = -990;
constexpr int32_t ncIncluded = -999;
constexpr int32_t ncAfterProcess = -989;

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
