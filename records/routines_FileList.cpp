#include "records/routines_FileList.h"

#include <algorithm>
#include <cstring>

#include "rtl/routines_LittleEndian.h"

namespace L = FileListLayout;

namespace {

// Text of a NUL-padded field: up to its first zero, or all of it.
std::string FieldText(const uint8_t* P, size_t Field) {
  const void* Zero = std::memchr(P, 0, Field);
  const size_t N = Zero ? static_cast<size_t>(static_cast<const uint8_t*>(Zero) - P) : Field;
  return std::string(reinterpret_cast<const char*>(P), N);
}

void PutFieldText(uint8_t* P, const std::string& S, size_t Max) {
  std::memcpy(P, S.data(), std::min(S.size(), Max));
}

}  // namespace

void WriteFileListRecords(TStream& S, const std::vector<TFileListRecord>& Records) {
  uint8_t Count[L::CountSize];
  PutLE<int32_t>(Count, static_cast<int32_t>(Records.size()));
  S.WriteBuffer(Count, sizeof Count);
  for (const TFileListRecord& R : Records) {
    uint8_t B[L::Size] = {};
    PutLE<int32_t>(B + L::FileSize, R.FileSize);
    PutDoubleLE(B + L::FileDate, R.FileDate);
    PutFieldText(B + L::Name, R.Name, L::NameMax);
    PutFieldText(B + L::Version, R.Version, L::VersionMax);
    S.WriteBuffer(B, sizeof B);
  }
}

bool ReadFileListRecords(TStream& S, std::vector<TFileListRecord>& Records) {
  Records.clear();
  uint8_t Count[L::CountSize];
  if (S.Read(Count, sizeof Count) != sizeof Count) return false;
  const int32_t N = GetLE<int32_t>(Count);
  const int64_t Left = S.Size() - S.Position();
  // A count the stream cannot hold is a damaged list, not a reason to
  // allocate.
  if (N < 0 || Left < 0 || N > Left / static_cast<int64_t>(L::Size)) return false;
  Records.reserve(static_cast<size_t>(N));
  for (int32_t i = 0; i < N; ++i) {
    uint8_t B[L::Size];
    if (S.Read(B, sizeof B) != sizeof B) {
      Records.clear();
      return false;
    }
    TFileListRecord R;
    R.FileSize = GetLE<int32_t>(B + L::FileSize);
    R.FileDate = GetDoubleLE(B + L::FileDate);
    R.Name = FieldText(B + L::Name, L::NameField);
    R.Version = FieldText(B + L::Version, L::VersionField);
    Records.push_back(std::move(R));
  }
  return true;
}
