// A large member deflated on two cores: its data is cut into blocks that
// are compressed two at a time, each primed with the 32 KB before it, and
// joined into one ordinary zlib stream (header, deflate blocks ended by a
// sync flush, the last one finished, the Adler-32 of the whole), which any
// inflater reads as it reads a stream deflate wrote in one go.
#pragma once

#include <cstdint>
#include <functional>

#include "rtl/cmp_TStream.h"

constexpr size_t DeflateBlockSize = 262144;  // input per block

// Members this large or larger are worth the blocks.
inline bool WorthBlocks(int64_t Size) { return Size > static_cast<int64_t>(DeflateBlockSize); }

// Deflates the rest of Source (Size bytes from its position) at zlib level
// Level into Dest.  Written is called after each piece of at most OutPiece
// bytes has gone to Dest (progress and cancelling, as a deflating stream's
// full output buffer).  A read or write failure propagates; no thread is
// left running.
void DeflateInBlocks(TStream& Source, int64_t Size, int Level, TStream& Dest, size_t OutPiece,
                     const std::function<void()>& Written);
