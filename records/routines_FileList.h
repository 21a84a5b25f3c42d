// The remote file list "filelist.lst" of the web distribution types: one
// record per file compressed, written by the build (-b) into the main net
// location's folder and read by the installation after it has downloaded
// it, so that each install file knows its size, date and version before its
// archive is fetched.
//
// Layout (all integers little-endian):
//   0    int32    record count N
//   4    N records of 72 bytes, back to back:
//          0   int32    file size
//          4   double   file date (local day count)
//         12   40       name: at most 39 characters written, NUL-padded
//         52   20       version: at most 20 characters, NUL-padded when shorter
// Bytes after the last record are not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rtl/cmp_TStream.h"

namespace FileListLayout {
constexpr size_t CountSize = 4;    // int32 in front of the records
constexpr size_t FileSize = 0;     // int32
constexpr size_t FileDate = 4;     // double
constexpr size_t Name = 12;        // NameField bytes
constexpr size_t NameField = 40;
constexpr size_t NameMax = 39;     // written; the last byte stays zero
constexpr size_t Version = 52;     // VersionField bytes
constexpr size_t VersionField = 20;
constexpr size_t VersionMax = 20;  // a version of 20 characters has no terminating zero
constexpr size_t Size = 72;
}  // namespace FileListLayout

// One record of the remote file list.
struct TFileListRecord {
  int32_t FileSize = 0;
  double FileDate = 0;
  std::string Name;     // at most 39 characters
  std::string Version;  // at most 20 characters
};
constexpr size_t FileListRecordSize = FileListLayout::Size;

// Writes the count and the records; longer names and versions are cut.
// A failed write raises the stream's error.
void WriteFileListRecords(TStream& S, const std::vector<TFileListRecord>& Records);
// false on a short read of the count, a negative count, or a count that
// the rest of the stream cannot hold (checked before anything is
// reserved); Records is then empty.
bool ReadFileListRecords(TStream& S, std::vector<TFileListRecord>& Records);
