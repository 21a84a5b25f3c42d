#include "archive/routines_Compression.h"

#include <chrono>
#include <cstring>

namespace {
void NoMessages() {}
TProcessMessagesHook MessagesHook = NoMessages;
}  // namespace

void SetProcessMessagesHook(TProcessMessagesHook Hook) { MessagesHook = Hook ? Hook : NoMessages; }

// Called for every buffer: the queue is read by time, not by buffer, as
// each look at it is a round trip to the window system, and a run of small
// files would spend more on looking than on unpacking.
void ProcessPendingMessages() {
  using TClock = std::chrono::steady_clock;
  constexpr auto Interval = std::chrono::milliseconds(50);
  static TClock::time_point Last;
  const TClock::time_point Now = TClock::now();
  if (Last != TClock::time_point() && Now - Last < Interval) return;
  Last = Now;
  MessagesHook();
}

const TEnumInfo& CompressionLevelInfo() {
  static const TEnumInfo Info{"TCompressionLevel", {"colNone", "colFastest", "colDefault", "colMax"}};
  return Info;
}

int ZlibLevel(TCompressionLevel Level) {
  switch (Level) {
    case colNone: return 0;
    case colFastest: return 1;
    case colDefault: return Z_DEFAULT_COMPRESSION;
    case colMax: return 9;
  }
  return Z_DEFAULT_COMPRESSION;
}

int CheckZlib(int Result) {
  if (Result < 0) throw EZlibError(TranslateMessageText("error"));
  return Result;
}

// --- TCustomZlibStream ------------------------------------------------------

TCustomZlibStream::TCustomZlibStream(TStream& Dest)
    : FDest(Dest), FDestPos(Dest.Position()), FBuffer(ZlibStreamBufferSize) {
  FZ.next_out = FBuffer.data();
  FZ.avail_out = static_cast<uInt>(FBuffer.size());
}

void TCustomZlibStream::RestoreDestPosition() {
  if (FDest.Position() != FDestPos) FDest.SetPosition(FDestPos);
}

void TCustomZlibStream::FlushBuffer(size_t Count) {
  FDest.WriteBuffer(FBuffer.data(), Count);
  FZ.next_out = FBuffer.data();
  FZ.avail_out = static_cast<uInt>(FBuffer.size());
  FDestPos = FDest.Position();
}

// --- TCompressionStream -----------------------------------------------------

TCompressionStream::TCompressionStream(TCompressionLevel Level, TStream& Dest) : TCustomZlibStream(Dest) {
  // deflateInit is deflateInit_ with the linked zlib's own version and
  // stream size (window 15 bits, memory level 8, default strategy).
  CheckZlib(deflateInit(&FZ, ZlibLevel(Level)));
}

TCompressionStream::~TCompressionStream() { deflateEnd(&FZ); }

size_t TCompressionStream::Read(void*, size_t) { throw EStreamError("Invalid stream operation"); }

size_t TCompressionStream::Write(const void* Buffer, size_t Count) {
  RestoreDestPosition();
  const uint8_t* In = static_cast<const uint8_t*>(Buffer);
  size_t Left = Count;
  while (Left > 0) {
    // avail_in is 32-bit; feed large writes in pieces.
    const uInt Piece = static_cast<uInt>(std::min<size_t>(Left, 1u << 30));
    FZ.next_in = const_cast<Bytef*>(In);
    FZ.avail_in = Piece;
    while (FZ.avail_in > 0) {
      CheckZlib(deflate(&FZ, Z_NO_FLUSH));
      if (FZ.avail_out == 0) {
        FlushBuffer(FBuffer.size());
        if (OnProgress) OnProgress(this);
      }
    }
    In += Piece;
    Left -= Piece;
  }
  return Count;
}

int64_t TCompressionStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  if (Offset != 0 || Origin != TSeekOrigin::soCurrent) throw EStreamError("Invalid stream operation");
  return static_cast<int64_t>(FZ.total_in);
}

void TCompressionStream::Finish() {
  if (FFinished) return;
  RestoreDestPosition();
  FZ.next_in = nullptr;
  FZ.avail_in = 0;
  for (;;) {
    const int R = CheckZlib(deflate(&FZ, Z_FINISH));
    if (FZ.avail_out != 0 || R == Z_STREAM_END) break;
    FlushBuffer(FBuffer.size());
    if (OnProgress) OnProgress(this);
  }
  FlushBuffer(FBuffer.size() - FZ.avail_out);
  FFinished = true;
}

// --- TInflater --------------------------------------------------------------

TInflater::TInflater() { CheckZlib(inflateInit(&FZ)); }

TInflater::~TInflater() { inflateEnd(&FZ); }

void TInflater::SetInput(const uint8_t* Data, size_t Count) {
  FZ.next_in = const_cast<Bytef*>(Data);
  FZ.avail_in = static_cast<uInt>(Count);
}

size_t TInflater::Inflate(uint8_t* Out, size_t Count) {
  if (FEnded || Count == 0 || FZ.avail_in == 0) return 0;
  FZ.next_out = Out;
  FZ.avail_out = static_cast<uInt>(Count);
  // With input and room for output zlib always moves, so Z_BUF_ERROR here
  // is a real failure too.
  const uInt InBefore = FZ.avail_in;
  const int R = CheckZlib(inflate(&FZ, Z_NO_FLUSH));
  // A stream asking for a preset dictionary is not one of ours, and a call
  // that moves nothing would only be repeated forever.
  if (R == Z_NEED_DICT || (FZ.avail_in == InBefore && FZ.avail_out == Count && R != Z_STREAM_END))
    throw EZlibError(TranslateMessageText("error"));
  if (R == Z_STREAM_END) {
    FEnded = true;
    FZ.avail_in = 0;  // bytes behind the stream's end are not ours
  }
  if (FZ.avail_in == 0) FZ.next_in = nullptr;
  return Count - FZ.avail_out;
}
