// Reading object streams: the tagged values of the binary form, and whole
// component trees driven by the class metadata.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TFiler.h"

class TCollection;

class TReader : public TFiler {
 public:
  explicit TReader(TStream& Stream);

  // --- values -------------------------------------------------------------
  // Each Read* checks the tag and fails with EReadError "Invalid property
  // value" on another; a stream that ends early fails with "Stream read error".
  TValueType NextValue();  // peeks
  TValueType ReadValue();
  void CheckValue(TValueType Expected);
  bool EndOfList();  // the next byte is the 0 that ends a list
  void ReadListBegin() { CheckValue(TValueType::vaList); }
  void ReadListEnd();
  int32_t ReadInteger();           // vaInt8/16/32, sign-extended
  bool ReadBoolean();              // vaFalse/vaTrue
  double ReadFloat();              // vaExtended, vaSingle, vaCurrency, vaDate or an integer
  float ReadSingle();
  int64_t ReadCurrency();          // the scaled 64-bit integer
  double ReadDate();
  std::string ReadString();        // vaString, vaLString, or vaWString narrowed
  std::u16string ReadWideString(); // vaWString, or a single-byte string widened
  std::string ReadIdent();         // vaIdent; vaFalse/vaTrue/vaNil give "False"/"True"/"nil"
  std::string ReadBinary();        // vaBinary: the bytes
  std::vector<std::string> ReadSet();  // vaSet: the element names
  std::string ReadStr();           // an untagged short string

  // A 32-bit count of UnitSize-byte units and the units, checked against
  // what is left in the stream.
  std::string ReadCountedBytes(uint32_t UnitSize);

  void ReadSignature();  // "Invalid stream format" unless "TPF0"
  // An object record's prefix: flags (0 when absent) and child position (-1).
  void ReadPrefix(uint8_t& Flags, int32_t& ChildPos);

  // Bytes left in the stream; every count read is checked against it.
  int64_t Remaining();
  // Position relative to where the reader started.
  int64_t Position();

  // --- components ---------------------------------------------------------
  // Reads the record of Root (which exists already) with all its children,
  // resolves the references and calls Loaded; see ReadRootComponent below.
  void ReadRootComponent(TComponent* Root);
  // Where the failing record or property entry began (relative to the start
  // of the stream as the reader found it), -1 when nothing failed there.
  int64_t FailOffset() const { return FFailOffset; }

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                      const TWriterProc& WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                            const TStreamProc& WriteData, bool HasData) override;

  TComponent* Owner() const { return FOwner; }
  TComponent* Parent() const { return FParent; }

 private:
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;       // the component named in the stream
    std::string Component;  // for the error message
    std::string Path;
    int64_t Offset;
  };

  uint8_t ReadByte();
  void Read(void* Buffer, size_t Count);
  template <class T>
  T ReadLE();
  void CheckCount(uint64_t Bytes);
  // Counts one level of nesting for as long as it lives.
  struct TNest {
    explicit TNest(TReader& R);
    ~TNest() { --R.FDepth; }
    TReader& R;
  };

  void ReadComponentData(TComponent* Instance);
  TComponent* ReadComponent();
  void ReadProperties(TPersistent* Instance, TComponent* Component, const std::string& Prefix);
  void ReadProperty(TPersistent* Instance, TComponent* Component, const std::string& Prefix);
  void ApplyProperty(TPersistent* Instance, TComponent* Component, const std::string& Prefix,
                     const std::string& Path, int64_t Start);
  void ReadPropValue(TPersistent* Instance, const TPropInfo& Prop, TComponent* Component,
                     const std::string& FullPath, int64_t Start);
  int64_t ReadOrdValue(const TPropInfo& Prop);
  void ReadCollection(TCollection& Collection, TComponent* Component, const std::string& Path);
  void DropFixups(const TCollection& Collection);
  void ResolveFixups();
  // The component of that name and class that another one made for itself
  // while it was read (an install container makes the standard path
  // specifiers it lacks), so that a record that comes after its first use
  // describes that one instead of clashing with its name; none otherwise.
  TComponent* MadeByAnother(const std::string& ClassName, const std::string& Name) const;
  void Abandon();
  void Fail(int64_t Offset);

  int64_t FOrigin;
  int FDepth = 0;
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  std::string FPropName;  // the defined property being looked for
  std::vector<TComponent*> FLoaded;
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FMarked;  // had csLoading set by this reader
  std::vector<TFixup> FFixups;
  int64_t FFailOffset = -1;
  int FOwnedBefore = 0;  // the root's components when reading began
};

// The component a stream names: "Name" among Root's components (or Root
// itself), "Frame.Name" through a component's own components.
TComponent* FindNestedComponent(TComponent* Root, const std::string& Name);

// Reads a "TPF0" stream into Root: Root takes the stream's object name (made
// unique among its owner's components), every child is created by class name
// with Root as owner, properties are applied in stream order, references are
// resolved by name once everything is read, then Loaded runs on Root and on
// every component after its own children.  On failure every component the
// read created is destroyed, no Loaded runs, and the exception (EReadError,
// EClassNotFound, EComponentError) travels on; FailOffset then receives the
// offset of the failing record or property entry (-1 when unknown).
void ReadRootComponent(TStream& Stream, TComponent* Root, int64_t* FailOffset = nullptr);
