// Common ground of the object stream reader and writer: the value tags of
// the binary form and the hook through which a class stores values that are
// not published properties (DefineProperties).
//
// Binary form ("TPF0" streams), all integers little-endian:
//   stream      = "TPF0" object
//   object      = [prefix] classname:shortstr name:shortstr
//                 { property } 0x00 { object } 0x00
//   prefix      = 0xF0|flags (1 inherited, 2 child position, 4 inline)
//                 [integer value, when flag 2 is set]
//   property    = path:shortstr value
//   value       = tag:uint8 data (TValueType below)
//   shortstr    = length:uint8 chars
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TStream;
class TReader;
class TWriter;
class TComponent;

enum class TValueType : uint8_t {
  vaNull = 0,        // end of a list or collection
  vaList = 1,        // values up to a vaNull
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,    // 80-bit float
  vaString = 6,      // short string
  vaIdent = 7,       // short string
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,     // uint32 count, bytes
  vaSet = 11,        // short strings up to an empty one
  vaLString = 12,    // uint32 length, chars
  vaNil = 13,
  vaCollection = 14, // items up to a vaNull: [order integer] vaList properties 0x00
  vaSingle = 15,
  vaCurrency = 16,   // int64 scaled by 10000
  vaDate = 17,       // double
  vaWString = 18,    // uint32 count of UTF-16LE units, units
};
constexpr uint8_t MaxValueType = 18;

// Object record prefix flags.
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
constexpr uint8_t FilerPrefixMark = 0xF0;

constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};
// Objects, lists and collections nest no deeper than this; deeper input is
// refused instead of exhausting the stack.
constexpr int MaxFilerNesting = 200;

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
using TStreamProc = std::function<void(TStream&)>;

class TFiler {
 public:
  explicit TFiler(TStream& Stream) : FStream(Stream) {}
  virtual ~TFiler() = default;
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  // A value stored under Name.  The reader calls ReadData when the stream
  // holds an entry of that name; the writer writes the entry and calls
  // WriteData when HasData is true.
  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                              const TWriterProc& WriteData, bool HasData) = 0;
  // The same for a byte block (vaBinary): the procs see a stream over the
  // block's bytes only.
  virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;

  TStream& Stream() const { return FStream; }
  TComponent* Root() const { return FRoot; }

 protected:
  TStream& FStream;
  TComponent* FRoot = nullptr;
};
