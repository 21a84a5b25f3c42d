#include "archive/routines_VersionCompare.h"

#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Strings.h"

const TEnumInfo& OverwriteTypeInfo() {
  static const TEnumInfo Info{"TOverwriteType", {"owAlways", "owNever", "owVersion", "owDate", "owVersionDate"}};
  return Info;
}

namespace {
std::string NoVersion(const std::string&) { return std::string(); }
TFileVersionReader VersionReader = NoVersion;
}  // namespace

void SetFileVersionReader(TFileVersionReader Reader) { VersionReader = Reader ? Reader : NoVersion; }

std::string ReadFileVersion(const std::string& FileName) { return VersionReader(FileName); }

int CompareVersions(const std::string& A, const std::string& B) {
  for (int N = 1;; ++N) {
    const std::string PA = GetField(A, N, '.');
    const std::string PB = GetField(B, N, '.');
    if (PA.empty() || PB.empty()) {
      if (PA.empty() && PB.empty()) return 0;
      return PA.empty() ? 2 : 1;
    }
    int32_t NA, NB;
    if (TryStrToInt(PA, NA) && TryStrToInt(PB, NB)) {
      if (NA != NB) return NA > NB ? 1 : 2;
    } else {
      // Plain byte order, case-sensitive, as the character codes compare.
      const int C = PA.compare(PB);
      if (C != 0) return C > 0 ? 1 : 2;
    }
  }
}

namespace {

// The file's last-write time through an open handle; false when it cannot
// be opened (sharing allowed) or asked.
bool OpenedFileDate(const std::string& FileName, double& Date) {
  auto F = TFileStream::TryOpen(FileName, TFileMode::fmOpenRead);
  return F && F->GetFileDate(Date);
}

int CompareDates(double NewDate, double ExistingDate) {
  if (NewDate > ExistingDate) return nrNewWins;
  return NewDate == ExistingDate ? nrSame : nrExistingStays;
}

int DateDecision(double NewDate, const std::string& ExistingFile) {
  double Existing;
  if (!OpenedFileDate(ExistingFile, Existing)) return nrUndecided;
  return CompareDates(NewDate, Existing);
}

int FromVersionOrder(int Order) { return Order == 1 ? nrNewWins : Order == 2 ? nrExistingStays : nrSame; }

}  // namespace

int IsFileNewerByInfo(const std::string& NewVersion, const std::string& ExistingFile,
                      TOverwriteType Mode, double NewDate) {
  switch (Mode) {
    case owAlways:
      return nrNewWins;
    case owNever:
      return !Trim(ExistingFile).empty() && FileExists(ExistingFile) ? nrExistingStays : nrNewWins;
    case owVersion:
      if (!FileExists(ExistingFile)) return nrNewWins;
      return FromVersionOrder(CompareVersions(NewVersion, ReadFileVersion(ExistingFile)));
    case owDate:
      return DateDecision(NewDate, ExistingFile);
    case owVersionDate: {
      const int Order = CompareVersions(NewVersion, ReadFileVersion(ExistingFile));
      return Order == 0 ? DateDecision(NewDate, ExistingFile) : FromVersionOrder(Order);
    }
  }
  return nrUndecided;
}

int IsFileNewerByName(const std::string& NewFile, const std::string& ExistingFile, TOverwriteType Mode) {
  auto BothDates = [&]() {
    double New, Existing;
    if (!OpenedFileDate(NewFile, New) || !OpenedFileDate(ExistingFile, Existing)) return int(nrUndecided);
    return CompareDates(New, Existing);
  };
  switch (Mode) {
    case owAlways:
    case owNever:
      return IsFileNewerByInfo(std::string(), ExistingFile, Mode, 0);
    case owVersion:
      if (!FileExists(ExistingFile)) return nrNewWins;
      return FromVersionOrder(CompareVersions(ReadFileVersion(NewFile), ReadFileVersion(ExistingFile)));
    case owDate:
      return BothDates();
    case owVersionDate: {
      const int Order = CompareVersions(ReadFileVersion(NewFile), ReadFileVersion(ExistingFile));
      return Order == 0 ? BothDates() : FromVersionOrder(Order);
    }
  }
  return nrUndecided;
}
