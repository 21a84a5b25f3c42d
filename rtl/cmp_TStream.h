// Byte streams: the abstract stream, and a stream over memory.  Files are in
// rtl/cmp_TFileStream.h.  Positions and sizes are 64-bit; archive positions
// on disk are 32-bit and are checked where they are read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/exceptions_Quorvane.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;
  // Read and Write move up to Count bytes and return how many they moved.
  virtual size_t Read(void* Buffer, size_t Count) = 0;
  virtual size_t Write(const void* Buffer, size_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }
  // Exactly Count bytes or EReadError "Stream read error" / EWriteError
  // "Stream write error".
  void ReadBuffer(void* Buffer, size_t Count);
  void WriteBuffer(const void* Buffer, size_t Count);
  // Copies Count bytes from Source (all of it from position 0 when Count is
  // 0); returns the number copied.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string Bytes) : FData(std::move(Bytes)) {}
  size_t Read(void* Buffer, size_t Count) override;
  size_t Write(const void* Buffer, size_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;
  const std::string& Data() const { return FData; }
  std::string& Data() { return FData; }
  void Clear() {
    FData.clear();
    FPos = 0;
  }

 private:
  std::string FData;
  size_t FPos = 0;
};

// A read-only stream over memory that someone else owns (a resource).
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* Data, size_t Size)
      : FData(static_cast<const uint8_t*>(Data)), FSize(Size) {}
  size_t Read(void* Buffer, size_t Count) override;
  size_t Write(const void*, size_t) override { return 0; }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FSize); }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};
