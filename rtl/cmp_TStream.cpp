#include "rtl/cmp_TStream.h"

#include <algorithm>
#include <cstring>

int64_t TStream::Size() {
  int64_t Pos = Seek(0, TSeekOrigin::soCurrent);
  int64_t End = Seek(0, TSeekOrigin::soEnd);
  Seek(Pos, TSeekOrigin::soBeginning);
  return End;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* Buffer, size_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, size_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  const int64_t Result = Count;
  std::vector<char> Buf(static_cast<size_t>(std::min<int64_t>(Count, 61440)) + 1);
  while (Count > 0) {
    size_t N = static_cast<size_t>(std::min<int64_t>(Count, static_cast<int64_t>(Buf.size())));
    Source.ReadBuffer(Buf.data(), N);
    WriteBuffer(Buf.data(), N);
    Count -= static_cast<int64_t>(N);
  }
  return Result;
}

namespace {
// Resolves a seek request against a size; a position before 0 is refused.
int64_t SeekTarget(int64_t Cur, int64_t Size, int64_t Offset, TSeekOrigin Origin) {
  int64_t Base = Origin == TSeekOrigin::soBeginning ? 0 : Origin == TSeekOrigin::soCurrent ? Cur : Size;
  int64_t T = Base + Offset;
  if (T < 0) throw EStreamError("Invalid stream position");
  return T;
}
}  // namespace

size_t TMemoryStream::Read(void* Buffer, size_t Count) {
  if (FPos >= FData.size()) return 0;
  size_t N = std::min(Count, FData.size() - FPos);
  std::memcpy(Buffer, FData.data() + FPos, N);
  FPos += N;
  return N;
}

size_t TMemoryStream::Write(const void* Buffer, size_t Count) {
  if (FPos + Count > FData.size()) FData.resize(FPos + Count);
  std::memcpy(&FData[FPos], Buffer, Count);
  FPos += Count;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPos = static_cast<size_t>(SeekTarget(static_cast<int64_t>(FPos), Size(), Offset, Origin));
  return static_cast<int64_t>(FPos);
}

void TMemoryStream::SetSize(int64_t NewSize) {
  FData.resize(static_cast<size_t>(NewSize));
  if (FPos > FData.size()) FPos = FData.size();
}

size_t TReadOnlyMemoryStream::Read(void* Buffer, size_t Count) {
  if (FPos >= FSize) return 0;
  size_t N = std::min(Count, FSize - FPos);
  std::memcpy(Buffer, FData + FPos, N);
  FPos += N;
  return N;
}

int64_t TReadOnlyMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPos = static_cast<size_t>(SeekTarget(static_cast<int64_t>(FPos), Size(), Offset, Origin));
  return static_cast<int64_t>(FPos);
}
