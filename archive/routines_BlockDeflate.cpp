#include "archive/routines_BlockDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "archive/routines_Compression.h"

namespace {

constexpr size_t Window = 32768;  // what a deflate block may refer back to

struct TBlock {
  std::vector<uint8_t> In;  // the dictionary (Dict bytes), then the block's data
  size_t Dict = 0;
  bool Last = false;
  std::vector<uint8_t> Out;
  int Result = Z_OK;
};

// One raw deflate stream, reset for each block it compresses.
class TBlockDeflater {
 public:
  explicit TBlockDeflater(int Level) { CheckZlib(deflateInit2(&FZ, Level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY)); }
  ~TBlockDeflater() { deflateEnd(&FZ); }
  TBlockDeflater(const TBlockDeflater&) = delete;
  TBlockDeflater& operator=(const TBlockDeflater&) = delete;

  // Runs on either thread, so nothing escapes it: the outcome is B.Result.
  void Run(TBlock& B) noexcept {
    try {
      B.Result = deflateReset(&FZ);
      if (B.Result == Z_OK && B.Dict > 0) B.Result = deflateSetDictionary(&FZ, B.In.data(), static_cast<uInt>(B.Dict));
      if (B.Result != Z_OK) return;
      const size_t N = B.In.size() - B.Dict;
      FZ.next_in = B.In.data() + B.Dict;
      FZ.avail_in = static_cast<uInt>(N);
      B.Out.resize(deflateBound(&FZ, static_cast<uLong>(N)) + 64);
      size_t Done = 0;
      for (;;) {
        FZ.next_out = B.Out.data() + Done;
        FZ.avail_out = static_cast<uInt>(B.Out.size() - Done);
        const int R = deflate(&FZ, B.Last ? Z_FINISH : Z_SYNC_FLUSH);
        Done = B.Out.size() - FZ.avail_out;
        if (R < 0 && R != Z_BUF_ERROR) {
          B.Result = R;
          return;
        }
        // A sync flush is complete once deflate leaves room; the last block
        // once the stream has ended.
        if (B.Last ? R == Z_STREAM_END : FZ.avail_out > 0) break;
        B.Out.resize(B.Out.size() * 2);
      }
      B.Out.resize(Done);
      B.Result = Z_OK;
    } catch (const std::bad_alloc&) {
      B.Result = Z_MEM_ERROR;
    }
  }

 private:
  z_stream FZ{};
};

// The two bytes in front of a zlib stream, as deflate writes them for this
// level (no preset dictionary).
void ZlibHeader(int Level, uint8_t (&H)[2]) {
  if (Level == Z_DEFAULT_COMPRESSION) Level = 6;
  const unsigned Flevel = Level < 2 ? 0 : Level < 6 ? 1 : Level == 6 ? 2 : 3;
  unsigned V = (0x78u << 8) | (Flevel << 6);
  V += 31 - V % 31;
  H[0] = static_cast<uint8_t>(V >> 8);
  H[1] = static_cast<uint8_t>(V);
}

}  // namespace

void DeflateInBlocks(TStream& Source, int64_t Size, int Level, TStream& Dest, size_t OutPiece,
                     const std::function<void()>& Written) {
  auto Put = [&](const uint8_t* P, size_t N) {
    while (N > 0) {
      const size_t K = std::min(N, OutPiece);
      Dest.WriteBuffer(P, K);
      P += K;
      N -= K;
      if (Written) Written();
    }
  };
  uint8_t Header[2];
  ZlibHeader(Level, Header);
  Dest.WriteBuffer(Header, sizeof Header);

  TBlockDeflater First(Level), Second(Level);
  TBlock Blocks[2];
  std::vector<uint8_t> Tail;  // the last 32 KB before the next block
  uLong Adler = adler32(0L, Z_NULL, 0);
  int64_t Left = Size;
  auto Fill = [&](TBlock& B) {
    if (Left <= 0) return false;
    const size_t N = static_cast<size_t>(std::min<int64_t>(Left, static_cast<int64_t>(DeflateBlockSize)));
    B.In.assign(Tail.begin(), Tail.end());
    B.Dict = Tail.size();
    B.In.resize(B.Dict + N);
    Source.ReadBuffer(B.In.data() + B.Dict, N);
    Adler = adler32(Adler, B.In.data() + B.Dict, static_cast<uInt>(N));
    Left -= static_cast<int64_t>(N);
    B.Last = Left == 0;
    const size_t Keep = std::min(Window, B.In.size());
    Tail.assign(B.In.end() - static_cast<std::ptrdiff_t>(Keep), B.In.end());
    return true;
  };
  while (Fill(Blocks[0])) {
    const bool Two = Fill(Blocks[1]);
    if (Two) {
      std::thread Helper;
      try {
        Helper = std::thread([&] { Second.Run(Blocks[1]); });
      } catch (const std::system_error&) {
        // No second thread to be had: one after the other.
      }
      First.Run(Blocks[0]);
      if (Helper.joinable())
        Helper.join();
      else
        Second.Run(Blocks[1]);
    } else {
      First.Run(Blocks[0]);
    }
    for (int i = 0; i < (Two ? 2 : 1); ++i) {
      CheckZlib(Blocks[i].Result);
      Put(Blocks[i].Out.data(), Blocks[i].Out.size());
    }
  }
  const uint8_t Trailer[4] = {static_cast<uint8_t>(Adler >> 24), static_cast<uint8_t>(Adler >> 16),
                              static_cast<uint8_t>(Adler >> 8), static_cast<uint8_t>(Adler)};
  Dest.WriteBuffer(Trailer, sizeof Trailer);
}
