#include "rtl/cmp_TWriter.h"

#include <algorithm>
#include <cstring>

#include "rtl/cmp_TCollection.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_Extended.h"
#include "rtl/routines_LittleEndian.h"

namespace {
constexpr size_t MaxShortString = 255;

// Clears a state flag on every exit path.
struct TStateScope {
  TComponent* C;
  TComponentStateFlag F;
  TStateScope(TComponent* Comp, TComponentStateFlag Flag) : C(Comp), F(Flag) { C->SetState(F); }
  ~TStateScope() { C->ClearState(F); }
};
}  // namespace

TWriter::TWriter(TStream& Stream) : TFiler(Stream), FOrigin(Stream.Position()) {}

// --- values ---------------------------------------------------------------------

void TWriter::Write(const void* Buffer, size_t Count) { FStream.WriteBuffer(Buffer, Count); }

template <class T>
void TWriter::WriteLE(T Value) {
  uint8_t B[sizeof(T)];
  PutLE<T>(B, Value);
  Write(B, sizeof B);
}

int64_t TWriter::Position() { return FStream.Position() - FOrigin; }

void TWriter::WriteValue(TValueType Value) { WriteLE(static_cast<uint8_t>(Value)); }

void TWriter::WriteStr(const std::string& S) {
  if (S.size() > MaxShortString) throw EWriteError(Format("Name too long: %s", S.substr(0, 64)));
  WriteLE(static_cast<uint8_t>(S.size()));
  Write(S.data(), S.size());
}

void TWriter::WriteInteger(int32_t Value) {
  if (Value >= INT8_MIN && Value <= INT8_MAX) {
    WriteValue(TValueType::vaInt8);
    WriteLE(static_cast<uint8_t>(Value));
  } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
    WriteValue(TValueType::vaInt16);
    WriteLE(static_cast<uint16_t>(Value));
  } else {
    WriteValue(TValueType::vaInt32);
    WriteLE(static_cast<uint32_t>(Value));
  }
}

void TWriter::WriteBoolean(bool Value) {
  WriteValue(Value ? TValueType::vaTrue : TValueType::vaFalse);
}

void TWriter::WriteFloat(double Value) {
  uint8_t B[ExtendedSize];
  DoubleToExtended(Value, B);
  WriteValue(TValueType::vaExtended);
  Write(B, sizeof B);
}

void TWriter::WriteSingle(float Value) {
  uint8_t B[4];
  PutFloatLE(B, Value);
  WriteValue(TValueType::vaSingle);
  Write(B, sizeof B);
}

void TWriter::WriteCurrency(int64_t Scaled) {
  WriteValue(TValueType::vaCurrency);
  WriteLE(static_cast<uint64_t>(Scaled));
}

void TWriter::WriteDate(double Value) {
  uint8_t B[8];
  PutDoubleLE(B, Value);
  WriteValue(TValueType::vaDate);
  Write(B, sizeof B);
}

void TWriter::WriteString(const std::string& S) {
  if (S.size() <= MaxShortString) {
    WriteValue(TValueType::vaString);
    WriteStr(S);
    return;
  }
  WriteValue(TValueType::vaLString);
  WriteLE(static_cast<uint32_t>(S.size()));
  Write(S.data(), S.size());
}

void TWriter::WriteWideString(const std::u16string& S) {
  WriteValue(TValueType::vaWString);
  WriteLE(static_cast<uint32_t>(S.size()));
  for (char16_t U : S) WriteLE(static_cast<uint16_t>(U));
}

void TWriter::WriteIdent(const std::string& Ident) {
  if (SameText(Ident, "False")) {
    WriteValue(TValueType::vaFalse);
  } else if (SameText(Ident, "True")) {
    WriteValue(TValueType::vaTrue);
  } else if (SameText(Ident, "nil")) {
    WriteValue(TValueType::vaNil);
  } else {
    WriteValue(TValueType::vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteBinary(const std::string& Bytes) {
  WriteValue(TValueType::vaBinary);
  WriteLE(static_cast<uint32_t>(Bytes.size()));
  Write(Bytes.data(), Bytes.size());
}

void TWriter::WriteSet(const std::vector<std::string>& Names) {
  WriteValue(TValueType::vaSet);
  for (const std::string& N : Names) {
    if (N.empty()) throw EWriteError("Invalid property value");
    WriteStr(N);
  }
  WriteStr("");
}

void TWriter::WriteSignature() { Write(FilerSignature, sizeof FilerSignature); }

void TWriter::WriteObjectHeader(uint8_t Flags, int32_t ChildPos, const std::string& ClassName,
                                const std::string& Name) {
  // A class name of 240 characters or more starts with a length byte that
  // reads as a prefix, so such a record always gets one.
  if (Flags != 0 || ClassName.size() >= FilerPrefixMark) {
    WriteLE(static_cast<uint8_t>(FilerPrefixMark | (Flags & 0x0F)));
    if (Flags & ffChildPos) WriteInteger(ChildPos);
  }
  WriteStr(ClassName);
  WriteStr(Name);
}

// --- defined properties ------------------------------------------------------------

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&,
                             const TWriterProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&,
                                   const TStreamProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream Data;
  WriteData(Data);
  WritePropName(Name);
  WriteBinary(Data.Data());
}

// --- components ---------------------------------------------------------------

void TWriter::WritePropName(const std::string& Name) { WriteStr(FPropPath + Name); }

void TWriter::WriteRootComponent(TComponent* Root) {
  FRoot = Root;
  FOwner = Root;
  FWritten.clear();
  WriteSignature();
  WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
  FWritten.insert(Component);
  TStateScope Writing(Component, csWriting);
  const bool Inline = Component != FRoot && Component->HasState(csInline);
  WriteObjectHeader(Inline ? ffInline : 0, -1, Component->ClassName(), Component->Name());
  const std::string OldPath = FPropPath;
  FPropPath.clear();
  WriteProperties(*Component);
  FPropPath = OldPath;
  WriteListEnd();
  WriteChildren(Component);
  WriteListEnd();
}

void TWriter::WriteChildren(TComponent* Parent) {
  TComponent* const OldOwner = FOwner;
  // The root and inline components (frames) own what is nested in them.
  if (Parent == FRoot || Parent->HasState(csInline)) FOwner = Parent;
  std::vector<TComponent*> Children;
  auto Add = [&](TComponent* C) {
    if (C && C != Parent && C->Owner() == FOwner && !FWritten.count(C) &&
        std::find(Children.begin(), Children.end(), C) == Children.end())
      Children.push_back(C);
  };
  Parent->GetChildren(Add, FRoot);
  for (int i = 0; i < FOwner->ComponentCount(); ++i) {
    TComponent* C = FOwner->Components(i);
    TComponent* P = C->GetParentComponent();
    // At the owner's level also those whose parent is not written in this
    // stream, so nothing the owner holds is lost.
    const bool TopLevel = Parent == FOwner && (!P || P == FOwner || P->Owner() != FOwner);
    if (P == Parent || TopLevel) Add(C);
  }
  for (TComponent* C : Children)
    if (!FWritten.count(C)) WriteComponent(C);
  FOwner = OldOwner;
}

void TWriter::WriteProperties(TPersistent& Instance) {
  for (const TPropInfo* P : Instance.ClassInfo().AllProps()) WriteProperty(Instance, *P);
  Instance.DefineProperties(*this);
}

void TWriter::WriteCollection(TCollection& Collection) {
  WriteValue(TValueType::vaCollection);
  const std::string OldPath = FPropPath;
  for (int i = 0; i < Collection.Count(); ++i) {
    WriteListBegin();
    FPropPath.clear();
    WriteProperties(*Collection.Items(i));
    WriteListEnd();
  }
  FPropPath = OldPath;
  WriteListEnd();
}

std::string TWriter::ReferenceName(const TPersistent& Instance, const TPropInfo& Prop,
                                   TComponent* Value) {
  std::string Name = Value->Name();
  // A component inside an inline component (a frame) is named through it.
  if (Value != FRoot && Value->Owner() && Value->Owner() != FRoot)
    Name = Value->Owner()->Name() + "." + Name;
  if (Name.empty() || FindNestedComponent(FRoot, Name) != Value)
    throw EWriteError(Format("Error writing %s%s%s: the component %s is not part of the stream",
                             Instance.GetNamePath(), ".", FPropPath + Prop.Name,
                             Value->GetNamePath()));
  return Name;
}

void TWriter::WriteProperty(TPersistent& Instance, const TPropInfo& Prop) {
  if (Prop.IsStored && !Prop.IsStored(Instance)) return;
  switch (Prop.Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enum:
    case TPropKind::Set: {
      const int64_t V = Prop.GetOrd(Instance);
      if (Prop.HasDefault && V == Prop.DefaultOrd) return;
      WritePropName(Prop.Name);
      if (Prop.Kind == TPropKind::Integer) {
        // Integers are 32 bits in the stream; unsigned fields (colours) wrap.
        WriteInteger(static_cast<int32_t>(static_cast<uint32_t>(V)));
      } else if (Prop.Kind == TPropKind::Boolean) {
        WriteBoolean(V != 0);
      } else if (Prop.Kind == TPropKind::Enum) {
        if (!Prop.Enum || V < 0 || V >= static_cast<int64_t>(Prop.Enum->Names.size()))
          throw EWriteError(Format("Invalid value %d of %s", V, Prop.Name));
        WriteIdent(Prop.Enum->Names[static_cast<size_t>(V)]);
      } else {
        std::vector<std::string> Names;
        for (int Bit = 0; Bit < 64; ++Bit) {
          if (!(static_cast<uint64_t>(V) >> Bit & 1)) continue;
          if (!Prop.Enum || Bit >= static_cast<int>(Prop.Enum->Names.size()))
            throw EWriteError(Format("Invalid value %d of %s", V, Prop.Name));
          Names.push_back(Prop.Enum->Names[static_cast<size_t>(Bit)]);
        }
        WriteSet(Names);
      }
      return;
    }
    case TPropKind::String: {
      const std::string V = Prop.GetStr(Instance);
      if (Prop.HasDefault && V == Prop.DefaultStr) return;
      WritePropName(Prop.Name);
      WriteString(V);
      return;
    }
    case TPropKind::Float: {
      const double V = Prop.GetFloat(Instance);
      if (Prop.HasDefault && V == Prop.DefaultFloat) return;
      WritePropName(Prop.Name);
      WriteFloat(V);
      return;
    }
    case TPropKind::Object: {
      TPersistent* Obj = Prop.GetObj(Instance);
      if (!Obj) return;
      if (auto* Collection = dynamic_cast<TCollection*>(Obj)) {
        if (Collection->Count() == 0) return;
        WritePropName(Prop.Name);
        WriteCollection(*Collection);
        return;
      }
      const std::string OldPath = FPropPath;
      FPropPath += Prop.Name + ".";
      WriteProperties(*Obj);
      FPropPath = OldPath;
      return;
    }
    case TPropKind::Component: {
      auto* V = dynamic_cast<TComponent*>(Prop.GetObj(Instance));
      if (!V) {
        if (Prop.HasDefault) return;  // references default to nil
        WritePropName(Prop.Name);
        WriteValue(TValueType::vaNil);
        return;
      }
      const std::string Name = ReferenceName(Instance, Prop, V);
      WritePropName(Prop.Name);
      WriteValue(TValueType::vaIdent);
      WriteStr(Name);
      return;
    }
    case TPropKind::Method: {
      const std::string Name = Prop.GetMethodName ? Prop.GetMethodName(Instance) : "";
      if (Name.empty()) {
        if (Prop.HasDefault) return;
        WritePropName(Prop.Name);
        WriteValue(TValueType::vaNil);
        return;
      }
      WritePropName(Prop.Name);
      WriteValue(TValueType::vaIdent);
      WriteStr(Name);
      return;
    }
  }
}

void WriteRootComponent(TStream& Stream, TComponent* Root) {
  TWriter Writer(Stream);
  Writer.WriteRootComponent(Root);
}
