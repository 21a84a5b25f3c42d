#include "rtl/cmp_TReader.h"

#include <algorithm>
#include <cstring>

#include "rtl/cmp_TCollection.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_Extended.h"
#include "rtl/routines_LittleEndian.h"

namespace {

constexpr const char* InvalidValue = "Invalid property value";
constexpr int64_t CurrencyScale = 10000;

// A failure already reported with its component and property path; outer
// levels pass it on unchanged instead of wrapping it again.
class EPropertyReadError : public EReadError {
 public:
  using EReadError::EReadError;
  const char* ClassName() const override { return "EReadError"; }
};

[[noreturn]] void InvalidPropertyValue() { throw EReadError(InvalidValue); }

// The author's value and the ones the type has, so that a misspelt one can be
// put right without a reference at hand.
[[noreturn]] void NotAnEnumerator(const std::string& Value, const TEnumInfo* Enum) {
  std::string Valid;
  if (Enum)
    for (const std::string& N : Enum->Names) Valid += (Valid.empty() ? "" : ", ") + N;
  throw EReadError(std::string(InvalidValue) + " " + Value +
                   (Valid.empty() ? std::string() : " (valid: " + Valid + ")"));
}

// Runs Fn; a failure is reported as "Error reading Component.Path: message",
// unless a deeper level already reported it.
template <class F>
void InPropertyContext(const std::string& Component, const std::string& Path, F&& Fn) {
  std::string Inner;
  try {
    Fn();
    return;
  } catch (const EPropertyReadError&) {
    throw;
  } catch (const Exception& E) {
    Inner = E.Message();
  } catch (const std::exception& E) {
    Inner = E.what();
  }
  throw EPropertyReadError(Format("Error reading %s%s%s: %s", Component, ".", Path, Inner));
}

// UTF-16 to the program's single-byte strings: Latin-1 characters map to
// themselves, anything else (a surrogate pair counts once) becomes '?'.
std::string NarrowWide(const std::u16string& W) {
  std::string R;
  R.reserve(W.size());
  for (size_t i = 0; i < W.size(); ++i) {
    const char16_t U = W[i];
    if (U < 0x100) {
      R += static_cast<char>(U);
      continue;
    }
    R += '?';
    if (U >= 0xD800 && U < 0xDC00 && i + 1 < W.size() && W[i + 1] >= 0xDC00 && W[i + 1] < 0xE000)
      ++i;
  }
  return R;
}

std::u16string WidenNarrow(const std::string& S) {
  std::u16string R;
  R.reserve(S.size());
  for (unsigned char C : S) R += static_cast<char16_t>(C);
  return R;
}

std::string UniqueRootName(TComponent* Root, const std::string& Name) {
  TComponent* Owner = Root->Owner();
  auto Taken = [&](const std::string& N) {
    TComponent* C = Owner->FindComponent(N);
    return C && C != Root;
  };
  if (!Owner || Name.empty() || !Taken(Name)) return Name;
  for (int i = 1;; ++i) {
    std::string N = Name + "_" + std::to_string(i);
    if (!Taken(N)) return N;
  }
}

// Whether Instance is an item of Collection, or lives in an item of it
// through nested collections.
bool LivesIn(TPersistent* Instance, const TCollection& Collection) {
  auto* Item = dynamic_cast<TCollectionItem*>(Instance);
  while (Item && Item->Collection()) {
    if (Item->Collection() == &Collection) return true;
    Item = dynamic_cast<TCollectionItem*>(Item->Collection()->Owner());
  }
  return false;
}

}  // namespace

TReader::TReader(TStream& Stream) : TFiler(Stream), FOrigin(Stream.Position()) {}

TReader::TNest::TNest(TReader& Reader) : R(Reader) {
  if (++R.FDepth > MaxFilerNesting) {
    --R.FDepth;
    throw EReadError("Invalid stream format");
  }
}

// --- values ---------------------------------------------------------------------

uint8_t TReader::ReadByte() {
  uint8_t B;
  FStream.ReadBuffer(&B, 1);
  return B;
}

void TReader::Read(void* Buffer, size_t Count) { FStream.ReadBuffer(Buffer, Count); }

template <class T>
T TReader::ReadLE() {
  uint8_t B[sizeof(T)];
  Read(B, sizeof B);
  return GetLE<T>(B);
}

int64_t TReader::Remaining() { return FStream.Size() - FStream.Position(); }

int64_t TReader::Position() { return FStream.Position() - FOrigin; }

void TReader::CheckCount(uint64_t Bytes) {
  const int64_t Left = Remaining();
  if (Left < 0 || Bytes > static_cast<uint64_t>(Left)) throw EReadError("Stream read error");
}

TValueType TReader::NextValue() {
  const uint8_t B = ReadByte();
  FStream.Seek(-1, TSeekOrigin::soCurrent);
  return static_cast<TValueType>(B);
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(ReadByte()); }

void TReader::CheckValue(TValueType Expected) {
  if (ReadValue() != Expected) InvalidPropertyValue();
}

bool TReader::EndOfList() { return NextValue() == TValueType::vaNull; }

void TReader::ReadListEnd() { CheckValue(TValueType::vaNull); }

int32_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case TValueType::vaInt8:
      return static_cast<int8_t>(ReadByte());
    case TValueType::vaInt16:
      return static_cast<int16_t>(ReadLE<uint16_t>());
    case TValueType::vaInt32:
      return static_cast<int32_t>(ReadLE<uint32_t>());
    default:
      InvalidPropertyValue();
  }
}

bool TReader::ReadBoolean() {
  const TValueType T = ReadValue();
  if (T != TValueType::vaFalse && T != TValueType::vaTrue) InvalidPropertyValue();
  return T == TValueType::vaTrue;
}

float TReader::ReadSingle() {
  CheckValue(TValueType::vaSingle);
  uint8_t B[4];
  Read(B, sizeof B);
  return GetFloatLE(B);
}

int64_t TReader::ReadCurrency() {
  CheckValue(TValueType::vaCurrency);
  return static_cast<int64_t>(ReadLE<uint64_t>());
}

double TReader::ReadDate() {
  CheckValue(TValueType::vaDate);
  uint8_t B[8];
  Read(B, sizeof B);
  return GetDoubleLE(B);
}

double TReader::ReadFloat() {
  switch (NextValue()) {
    case TValueType::vaExtended: {
      ReadValue();
      uint8_t B[ExtendedSize];
      Read(B, sizeof B);
      return ExtendedToDouble(B);
    }
    case TValueType::vaSingle:
      return ReadSingle();
    case TValueType::vaCurrency:
      return static_cast<double>(ReadCurrency()) / CurrencyScale;
    case TValueType::vaDate:
      return ReadDate();
    default:
      return ReadInteger();
  }
}

std::string TReader::ReadStr() {
  const uint8_t Len = ReadByte();
  std::string S(Len, '\0');
  Read(S.data(), Len);
  return S;
}

std::string TReader::ReadCountedBytes(uint32_t UnitSize) {
  const uint32_t Count = ReadLE<uint32_t>();
  const uint64_t Bytes = uint64_t(Count) * UnitSize;
  CheckCount(Bytes);
  std::string S(static_cast<size_t>(Bytes), '\0');
  Read(S.data(), S.size());
  return S;
}

std::u16string TReader::ReadWideString() {
  switch (ReadValue()) {
    case TValueType::vaWString: {
      const std::string B = ReadCountedBytes(2);
      std::u16string W(B.size() / 2, u'\0');
      for (size_t i = 0; i < W.size(); ++i)
        W[i] = static_cast<char16_t>(GetLE<uint16_t>(reinterpret_cast<const uint8_t*>(B.data()) + 2 * i));
      return W;
    }
    case TValueType::vaString:
      return WidenNarrow(ReadStr());
    case TValueType::vaLString:
      return WidenNarrow(ReadCountedBytes(1));
    default:
      InvalidPropertyValue();
  }
}

std::string TReader::ReadString() {
  switch (NextValue()) {
    case TValueType::vaString:
      ReadValue();
      return ReadStr();
    case TValueType::vaLString:
      ReadValue();
      return ReadCountedBytes(1);
    case TValueType::vaWString:
      return NarrowWide(ReadWideString());
    default:
      InvalidPropertyValue();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case TValueType::vaIdent:
      return ReadStr();
    case TValueType::vaFalse:
      return "False";
    case TValueType::vaTrue:
      return "True";
    case TValueType::vaNil:
      return "nil";
    default:
      InvalidPropertyValue();
  }
}

std::string TReader::ReadBinary() {
  CheckValue(TValueType::vaBinary);
  return ReadCountedBytes(1);
}

std::vector<std::string> TReader::ReadSet() {
  CheckValue(TValueType::vaSet);
  std::vector<std::string> Names;
  for (std::string S = ReadStr(); !S.empty(); S = ReadStr()) Names.push_back(std::move(S));
  return Names;
}

void TReader::ReadSignature() {
  char Sig[sizeof FilerSignature] = {};
  if (FStream.Read(Sig, sizeof Sig) != sizeof Sig ||
      std::memcmp(Sig, FilerSignature, sizeof Sig) != 0)
    throw EReadError("Invalid stream format");
}

void TReader::ReadPrefix(uint8_t& Flags, int32_t& ChildPos) {
  Flags = 0;
  ChildPos = -1;
  if ((static_cast<uint8_t>(NextValue()) & FilerPrefixMark) != FilerPrefixMark) return;
  Flags = ReadByte() & 0x0F;
  if (Flags & ffChildPos) ChildPos = ReadInteger();
}

// --- defined properties ------------------------------------------------------------

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                             const TWriterProc&, bool) {
  if (FPropName.empty() || !ReadData || !SameText(Name, FPropName)) return;
  FPropName.clear();
  ReadData(*this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                   const TStreamProc&, bool) {
  if (FPropName.empty() || !ReadData || !SameText(Name, FPropName)) return;
  FPropName.clear();
  TMemoryStream Data(ReadBinary());
  ReadData(Data);
}

// --- components ---------------------------------------------------------------

void TReader::Fail(int64_t Offset) {
  if (FFailOffset < 0) FFailOffset = Offset;
}

void TReader::ReadRootComponent(TComponent* Root) {
  FRoot = Root;
  FOwner = Root;
  FParent = nullptr;
  FFailOffset = -1;
  FOwnedBefore = Root->ComponentCount();
  try {
    ReadSignature();
    uint8_t Flags;
    int32_t ChildPos;
    ReadPrefix(Flags, ChildPos);
    ReadStr();  // the root exists already: its class name is only read
    Root->SetName(UniqueRootName(Root, ReadStr()));
    FLoaded.push_back(Root);
    FMarked.push_back(Root);
    Root->SetState(csLoading);
    Root->SetState(csReading);
    ReadComponentData(Root);
    Root->ClearState(csReading);
    ResolveFixups();
  } catch (...) {
    Abandon();
    throw;
  }
  std::vector<TComponent*> Loaded;
  Loaded.swap(FLoaded);
  FCreated.clear();
  FMarked.clear();
  for (TComponent* C : Loaded) C->Loaded();
}

void TReader::Abandon() {
  FFixups.clear();
  FLoaded.clear();
  // Newest first: a component's children never outlive it in this list.
  while (!FCreated.empty()) {
    TComponent* C = FCreated.back();
    FCreated.pop_back();
    delete C;
  }
  for (TComponent* C : FMarked) {
    C->ClearState(csReading);
    C->ClearState(csLoading);
  }
  FMarked.clear();
}

void TReader::ReadComponentData(TComponent* Instance) {
  ReadProperties(Instance, Instance, "");
  TComponent* const OldParent = FParent;
  TComponent* const OldOwner = FOwner;
  FParent = Instance;
  // An inline component (a frame) owns the components nested in it.
  if (Instance != FRoot && Instance->HasState(csInline)) FOwner = Instance;
  while (!EndOfList()) ReadComponent();
  ReadListEnd();
  FParent = OldParent;
  FOwner = OldOwner;
}

TComponent* TReader::MadeByAnother(const std::string& ClassName, const std::string& Name) const {
  if (FOwner != FRoot) return nullptr;
  for (int i = FOwnedBefore; i < FOwner->ComponentCount(); ++i) {
    TComponent* C = FOwner->Components(i);
    if (!SameText(C->Name(), Name)) continue;
    const bool Read = std::find(FLoaded.begin(), FLoaded.end(), C) != FLoaded.end() ||
                      std::find(FCreated.begin(), FCreated.end(), C) != FCreated.end();
    return Read || !SameText(C->ClassName(), ClassName) ? nullptr : C;
  }
  return nullptr;
}

TComponent* TReader::ReadComponent() {
  TNest Nest(*this);
  const int64_t Start = Position();
  try {
    uint8_t Flags;
    int32_t ChildPos;
    ReadPrefix(Flags, ChildPos);
    const std::string ClassName = ReadStr();
    const std::string Name = ReadStr();
    TComponent* Result = Flags & ffInherited ? FOwner->FindComponent(Name) : MadeByAnother(ClassName, Name);
    if (Flags & ffInherited && !Result) throw EReadError(Format("Ancestor for '%s' not found", Name));
    if (Result) {
      if (!Result->HasState(csLoading)) FMarked.push_back(Result);
      Result->SetState(csLoading);
    } else {
      const TClassInfo* Class = FindClass(ClassName);
      if (!Class || !Class->Create) throw EClassNotFound(Format("Class %s not found", ClassName));
      Result = Class->Create(FOwner);
      FCreated.push_back(Result);
      Result->SetState(csLoading);
      Result->SetName(Name);
    }
    if (Flags & ffInline) Result->SetState(csInline);
    Result->SetState(csReading);
    Result->SetParentComponent(FParent);
    ReadComponentData(Result);
    Result->ClearState(csReading);
    if (Flags & ffChildPos) FParent->SetChildOrder(Result, ChildPos);
    if (std::find(FLoaded.begin(), FLoaded.end(), Result) == FLoaded.end())
      FLoaded.push_back(Result);
    return Result;
  } catch (...) {
    Fail(Start);
    throw;
  }
}

void TReader::ReadProperties(TPersistent* Instance, TComponent* Component,
                             const std::string& Prefix) {
  while (!EndOfList()) ReadProperty(Instance, Component, Prefix);
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* Instance, TComponent* Component,
                           const std::string& Prefix) {
  const int64_t Start = Position();
  const std::string Path = ReadStr();
  try {
    InPropertyContext(Component->GetNamePath(), Prefix + Path,
                      [&] { ApplyProperty(Instance, Component, Prefix, Path, Start); });
  } catch (...) {
    Fail(Start);
    throw;
  }
}

void TReader::ApplyProperty(TPersistent* Instance, TComponent* Component,
                            const std::string& Prefix, const std::string& Path, int64_t Start) {
  // All but the last part of a dotted path name sub-objects.
  TPersistent* Obj = Instance;
  size_t From = 0;
  for (size_t Dot; (Dot = Path.find('.', From)) != std::string::npos; From = Dot + 1) {
    const TPropInfo* P = Obj->ClassInfo().FindProp(Path.substr(From, Dot - From));
    if (!P) throw EReadError("Property does not exist");
    TPersistent* Sub = P->Kind == TPropKind::Object ? P->GetObj(*Obj) : nullptr;
    if (!Sub) throw EReadError("Invalid property path");
    Obj = Sub;
  }
  const std::string Name = Path.substr(From);
  if (const TPropInfo* P = Obj->ClassInfo().FindProp(Name)) {
    ReadPropValue(Obj, *P, Component, Prefix + Path, Start);
    return;
  }
  FPropName = Name;
  Obj->DefineProperties(*this);
  if (!FPropName.empty()) {
    FPropName.clear();
    throw EReadError("Property does not exist");
  }
}

int64_t TReader::ReadOrdValue(const TPropInfo& Prop) {
  switch (Prop.Kind) {
    case TPropKind::Integer:
      return ReadInteger();
    case TPropKind::Boolean: {
      const TValueType T = NextValue();
      if (T == TValueType::vaFalse || T == TValueType::vaTrue) return ReadBoolean();
      if (T != TValueType::vaIdent) InvalidPropertyValue();
      const std::string S = ReadIdent();
      if (SameText(S, "True")) return 1;
      if (SameText(S, "False")) return 0;
      InvalidPropertyValue();
    }
    case TPropKind::Enum: {
      const std::string S = ReadIdent();
      const int I = Prop.Enum ? Prop.Enum->IndexOf(S) : -1;
      if (I < 0) NotAnEnumerator(S, Prop.Enum);
      return I;
    }
    case TPropKind::Set: {
      uint64_t Bits = 0;
      for (const std::string& S : ReadSet()) {
        const int I = Prop.Enum ? Prop.Enum->IndexOf(S) : -1;
        if (I < 0 || I >= 64) NotAnEnumerator(S, Prop.Enum);
        Bits |= uint64_t(1) << I;
      }
      return static_cast<int64_t>(Bits);
    }
    default:
      InvalidPropertyValue();
  }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Prop, TComponent* Component,
                            const std::string& FullPath, int64_t Start) {
  switch (Prop.Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enum:
    case TPropKind::Set:
      Prop.SetOrd(*Instance, ReadOrdValue(Prop));
      return;
    case TPropKind::String:
      Prop.SetStr(*Instance, ReadString());
      return;
    case TPropKind::Float:
      Prop.SetFloat(*Instance, ReadFloat());
      return;
    case TPropKind::Object: {
      auto* Collection = dynamic_cast<TCollection*>(Prop.GetObj(*Instance));
      if (!Collection || NextValue() != TValueType::vaCollection) InvalidPropertyValue();
      ReadCollection(*Collection, Component, FullPath);
      return;
    }
    case TPropKind::Component:
      if (NextValue() == TValueType::vaNil) {
        ReadValue();
        Prop.SetRef(*Instance, nullptr);
        return;
      }
      if (NextValue() != TValueType::vaIdent) InvalidPropertyValue();
      // Resolved once the whole root is read: it may name a later component.
      FFixups.push_back({Instance, &Prop, ReadIdent(), Component->GetNamePath(), FullPath, Start});
      return;
    case TPropKind::Method: {
      if (NextValue() == TValueType::vaNil) {
        ReadValue();
        if (Prop.ClearMethod) Prop.ClearMethod(*Instance);
        return;
      }
      if (NextValue() != TValueType::vaIdent) InvalidPropertyValue();
      const TMethodInfo* M = FRoot->ClassInfo().FindMethod(ReadIdent());
      if (!M || !Prop.SetMethod) InvalidPropertyValue();
      Prop.SetMethod(*Instance, M->Name, M->Bind(*FRoot));
      return;
    }
  }
  InvalidPropertyValue();
}

void TReader::ReadCollection(TCollection& Collection, TComponent* Component,
                             const std::string& Path) {
  TNest Nest(*this);
  CheckValue(TValueType::vaCollection);
  struct TUpdate {
    TCollection& C;
    ~TUpdate() { C.EndUpdate(); }
  } Update{Collection};
  Collection.BeginUpdate();
  DropFixups(Collection);
  Collection.Clear();
  for (int Index = 0; !EndOfList(); ++Index) {
    const TValueType T = NextValue();
    if (T == TValueType::vaInt8 || T == TValueType::vaInt16 || T == TValueType::vaInt32)
      ReadInteger();  // the item's order value; items are added in stream order anyway
    TCollectionItem* Item = Collection.Add();
    ReadListBegin();
    ReadProperties(Item, Component, Format("%s[%d].", Path, Index));
  }
  ReadListEnd();
}

void TReader::DropFixups(const TCollection& Collection) {
  FFixups.erase(std::remove_if(FFixups.begin(), FFixups.end(),
                               [&](const TFixup& F) { return LivesIn(F.Instance, Collection); }),
                FFixups.end());
}

TComponent* FindNestedComponent(TComponent* Root, const std::string& Name) {
  size_t Dot = Name.find('.');
  const std::string First = Name.substr(0, Dot);
  TComponent* C = Root->FindComponent(First);
  if (!C && !First.empty() && SameText(First, Root->Name())) C = Root;
  while (C && Dot != std::string::npos) {
    const size_t Next = Name.find('.', Dot + 1);
    C = C->FindComponent(Name.substr(Dot + 1, Next == std::string::npos ? Next : Next - Dot - 1));
    Dot = Next;
  }
  return C;
}

void TReader::ResolveFixups() {
  for (size_t i = 0; i < FFixups.size(); ++i) {
    const TFixup F = FFixups[i];
    try {
      InPropertyContext(F.Component, F.Path, [&] {
        TComponent* C = FindNestedComponent(FRoot, F.Name);
        if (!C) throw EReadError(Format("Unresolved reference to %s", F.Name));
        if (F.Prop->RefClass && !C->InheritsFrom(*F.Prop->RefClass)) InvalidPropertyValue();
        F.Prop->SetRef(*F.Instance, C);
      });
    } catch (...) {
      Fail(F.Offset);
      throw;
    }
  }
  FFixups.clear();
}

void ReadRootComponent(TStream& Stream, TComponent* Root, int64_t* FailOffset) {
  TReader Reader(Stream);
  try {
    Reader.ReadRootComponent(Root);
  } catch (...) {
    if (FailOffset) *FailOffset = Reader.FailOffset();
    throw;
  }
  if (FailOffset) *FailOffset = -1;
}
