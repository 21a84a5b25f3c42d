// Writing object streams: tagged values of the binary form, and whole
// component trees that store only what differs from the defaults.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TFiler.h"

class TCollection;

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& Stream);

  // --- values -------------------------------------------------------------
  void WriteValue(TValueType Value);
  void WriteStr(const std::string& S);  // untagged short string; EWriteError over 255
  void WriteInteger(int32_t Value);     // in the smallest of vaInt8/16/32
  void WriteBoolean(bool Value);
  void WriteFloat(double Value);        // vaExtended
  void WriteSingle(float Value);
  void WriteCurrency(int64_t Scaled);   // the value times 10000
  void WriteDate(double Value);
  void WriteString(const std::string& S);  // vaString up to 255 characters, else vaLString
  void WriteWideString(const std::u16string& S);
  void WriteIdent(const std::string& Ident);  // "False", "True", "nil" get their own tags
  void WriteBinary(const std::string& Bytes);
  void WriteSet(const std::vector<std::string>& Names);
  void WriteListBegin() { WriteValue(TValueType::vaList); }
  void WriteListEnd() { WriteValue(TValueType::vaNull); }
  void WriteSignature();
  // Prefix (when there are flags), child position, class name and name of
  // an object record.
  void WriteObjectHeader(uint8_t Flags, int32_t ChildPos, const std::string& ClassName,
                         const std::string& Name);
  int64_t Position();

  // --- components ---------------------------------------------------------
  void WriteRootComponent(TComponent* Root);
  void WriteCollection(TCollection& Collection);

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                      const TWriterProc& WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                            const TStreamProc& WriteData, bool HasData) override;

 private:
  void Write(const void* Buffer, size_t Count);
  template <class T>
  void WriteLE(T Value);
  void WritePropName(const std::string& Name);
  void WriteComponent(TComponent* Component);
  void WriteChildren(TComponent* Parent);
  void WriteProperties(TPersistent& Instance);
  void WriteProperty(TPersistent& Instance, const TPropInfo& Prop);
  std::string ReferenceName(const TPersistent& Instance, const TPropInfo& Prop, TComponent* Value);

  int64_t FOrigin;
  std::string FPropPath;       // prefix of the names written, for sub-objects
  TComponent* FOwner = nullptr;  // owner of the components being written
  std::set<TComponent*> FWritten;
};

// Writes Root and the components it owns as a "TPF0" stream: each record
// holds the properties that differ from their defaults (in declaration
// order, then the defined ones), references as names, events as method
// names, sub-objects as dotted paths; a component with a parent component
// is written inside its parent's record.
void WriteRootComponent(TStream& Stream, TComponent* Root);
