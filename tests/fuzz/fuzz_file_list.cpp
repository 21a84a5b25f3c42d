// The remote file list reader on arbitrary bytes: it reads or refuses, never
// crashes, hangs or allocates without bound.  A list that reads is written
// again and read back: the same records, names cut to what the writer keeps,
// and the same bytes when written once more.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "records/routines_FileList.h"

namespace {

bool SameRecord(const TFileListRecord& A, const TFileListRecord& B) {
  // Dates compare by their bits: a NaN must come back as it went.
  return A.FileSize == B.FileSize && std::memcmp(&A.FileDate, &B.FileDate, sizeof A.FileDate) == 0 &&
         A.Name == B.Name && A.Version == B.Version;
}

std::string Written(const std::vector<TFileListRecord>& Records) {
  TMemoryStream S;
  WriteFileListRecords(S, Records);
  return S.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream In(std::string(reinterpret_cast<const char*>(Data), Size));
  std::vector<TFileListRecord> First;
  if (!ReadFileListRecords(In, First)) {
    if (!First.empty()) std::abort();
    return 0;
  }
  if (First.size() * FileListRecordSize + 4 > Size) std::abort();
  const std::string Bytes = Written(First);
  if (Bytes.size() != 4 + First.size() * FileListRecordSize) std::abort();
  TMemoryStream Again(Bytes);
  std::vector<TFileListRecord> Second;
  if (!ReadFileListRecords(Again, Second) || Second.size() != First.size()) std::abort();
  for (size_t i = 0; i < First.size(); ++i) {
    TFileListRecord Expected = First[i];
    Expected.Name = Expected.Name.substr(0, FileListLayout::NameMax);
    if (Expected.Version.size() > FileListLayout::VersionMax) std::abort();
    if (!SameRecord(Expected, Second[i])) std::abort();
  }
  if (Written(Second) != Bytes) std::abort();
  return 0;
}
