// zlib for the archive engine: the deflating stream that the compressor
// writes members through, the inflater it reads them with, and the hook that
// lets pending window messages run between buffers.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TStream.h"
#include "rtl/exceptions_Quorvane.h"

// zlib refused the data (its text: "error"): a damaged stream.
QV_DECLARE_EXCEPTION(EZlibError, Exception)

// Long operations call this between buffers so a Cancel button can be
// pressed; the pump runs at most every 50 ms however small the buffers.
// The user interface installs its message pump; the default does nothing.
using TProcessMessagesHook = void (*)();
void SetProcessMessagesHook(TProcessMessagesHook Hook);  // nullptr: the default
void ProcessPendingMessages();

enum TCompressionLevel { colNone, colFastest, colDefault, colMax };
const TEnumInfo& CompressionLevelInfo();
int ZlibLevel(TCompressionLevel Level);  // 0, 1, Z_DEFAULT_COMPRESSION, 9

// A zlib result below zero is a failure: a plain Exception "error".
int CheckZlib(int Result);

constexpr size_t ZlibStreamBufferSize = 65536;

class TCustomZlibStream : public TStream {
 public:
  // Fired each time a full output buffer has gone to the destination.
  TEvent<void(TCustomZlibStream* Sender)> OnProgress;
  TStream& Destination() { return FDest; }

 protected:
  explicit TCustomZlibStream(TStream& Dest);
  // Puts the destination back where this stream left it, in case someone
  // else moved it in between.
  void RestoreDestPosition();
  void FlushBuffer(size_t Count);

  TStream& FDest;
  int64_t FDestPos;
  z_stream FZ{};
  std::vector<uint8_t> FBuffer;
};

// Write-only: everything written is deflated into the destination.  Call
// Finish to end the zlib stream; destroying an unfinished stream leaves it
// incomplete.
class TCompressionStream : public TCustomZlibStream {
 public:
  TCompressionStream(TCompressionLevel Level, TStream& Dest);
  ~TCompressionStream() override;

  size_t Read(void*, size_t) override;            // "Invalid stream operation"
  size_t Write(const void* Buffer, size_t Count) override;
  // Only Seek(0, soCurrent): the number of bytes taken in so far.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void Finish();

 private:
  bool FFinished = false;
};

// One zlib stream being inflated; reset per member.
class TInflater {
 public:
  TInflater();
  ~TInflater();
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  bool NeedsInput() const { return FZ.avail_in == 0; }
  void SetInput(const uint8_t* Data, size_t Count);
  // Inflates into Out[0..Count) and returns the bytes produced.  Raises on a
  // corrupt stream; after the end of the stream it produces nothing more.
  size_t Inflate(uint8_t* Out, size_t Count);
  bool Finished() const { return FEnded; }

 private:
  z_stream FZ{};
  bool FEnded = false;
};
