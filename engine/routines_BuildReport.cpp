#include "engine/routines_BuildReport.h"

#include <windows.h>

#include <cstdio>

#include "environment/routines_RunOptions.h"
#include "rtl/routines_Files.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"

namespace {

HANDLE OutputHandle() {
  HANDLE H = GetStdHandle(STD_OUTPUT_HANDLE);
  if (H && H != INVALID_HANDLE_VALUE) return H;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
  H = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  return H == INVALID_HANDLE_VALUE ? nullptr : H;
}

std::string Files(int N) { return Format(N == 1 ? "%d file" : "%d files", N); }

}  // namespace

std::string GroupedNumber(int64_t N) {
  std::string Digits = std::to_string(N < 0 ? -N : N), Out;
  for (size_t i = 0; i < Digits.size(); ++i) {
    if (i > 0 && (Digits.size() - i) % 3 == 0) Out += ',';
    Out += Digits[i];
  }
  return N < 0 ? "-" + Out : Out;
}

TBuildReport::TBuildReport(int Files, TLineWriter Write)
    : FWrite(std::move(Write)), FFiles(Files), FStart(GetTickCount()) {}

TBuildReport::TLineWriter TBuildReport::StandardOutput() {
  return [](const std::string& Line) {
    LogLine(Line);
    static HANDLE H = OutputHandle();
    if (!H) return;
    const std::string Text = Line + "\n";
    DWORD Written = 0;
    WriteFile(H, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
  };
}

void TBuildReport::Started(const std::string& BuildDir) {
  FWrite(Format("Building %s: %s", BuildDir, Files(FFiles)));
}

void TBuildReport::FileCompressed(const std::string& Source, int64_t Size, int64_t Compressed) {
  ++FDone;
  FBytesIn += Size;
  FBytesOut += Compressed;
  const std::string Count = std::to_string(FFiles), Done = std::to_string(FDone);
  FWrite(Format("  [%s%s/%s] %s  %s -> %s bytes", std::string(Count.size() > Done.size() ? Count.size() - Done.size() : 0, ' '),
                Done, Count, Source, GroupedNumber(Size), GroupedNumber(Compressed)));
}


void TBuildReport::Finished(const std::string& BuildDir, const std::vector<std::string>& Written) {
  const double Seconds = static_cast<double>(static_cast<DWORD>(GetTickCount() - FStart)) / 1000.0;
  char Time[32], Ratio[32];
  std::snprintf(Time, sizeof Time, "%.1f", Seconds);
  std::snprintf(Ratio, sizeof Ratio, "%.1f", FBytesIn > 0 ? 100.0 * static_cast<double>(FBytesOut) / static_cast<double>(FBytesIn) : 0.0);
  FWrite(Format("Built %s in %s s: %s, %s bytes in, %s bytes out (%s%%)", BuildDir, Time, Files(FDone),
                GroupedNumber(FBytesIn), GroupedNumber(FBytesOut), Ratio));
  for (const std::string& F : Written) {
    const std::string Path = AddBackslash(BuildDir) + F;
    FWrite(Format("  %s  %s bytes", Path, GroupedNumber(FileSizeByName(Path))));
  }
}
