// What a build of the distribution tells its author: a line for each file
// as it goes into its archive, and a summary once the distribution is in
// place (files, bytes in and out, ratio, time, the files written).  Every
// line goes through one writer: the run's log and the standard output
// unless another is given.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TBuildReport {
 public:
  using TLineWriter = std::function<void(const std::string& Line)>;

  // Files is the number of files the build will compress (for "[3/40]").
  explicit TBuildReport(int Files, TLineWriter Write = StandardOutput());

  void Started(const std::string& BuildDir);
  // A project file compressed: its source, its size and its size in the
  // archive.
  void FileCompressed(const std::string& Source, int64_t Size, int64_t Compressed);
  // The distribution is in place: the summary, with each file written
  // (paths relative to the build folder) and its size.
  void Finished(const std::string& BuildDir, const std::vector<std::string>& Written);

  // A writer to the run's log (when there is one) and the standard output;
  // when this program has none (a window program started from a console),
  // to its parent's console, if any.
  static TLineWriter StandardOutput();

 private:
  TLineWriter FWrite;
  int FFiles, FDone = 0;
  int64_t FBytesIn = 0, FBytesOut = 0;
  uint32_t FStart;  // the tick count at the start
};

// 1234567 -> "1,234,567".
std::string GroupedNumber(int64_t N);
