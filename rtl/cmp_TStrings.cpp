#include "rtl/cmp_TStrings.h"

#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TWriter.h"
#include "rtl/routines_ClassBuilder.h"

const TClassInfo& TStrings::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TStrings>("TStrings", &TPersistent::StaticClass()).Build();
  return Info;
}

void TStrings::Check(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EStringListError(Format("List index out of bounds (%d)", Index));
}

const std::string& TStrings::Strings(int Index) const {
  Check(Index);
  return FItems[static_cast<size_t>(Index)].S;
}

void TStrings::SetStrings(int Index, const std::string& S) {
  Check(Index);
  FItems[static_cast<size_t>(Index)].S = S;
  Changed();
}

void* TStrings::Objects(int Index) const {
  Check(Index);
  return FItems[static_cast<size_t>(Index)].Obj;
}

void TStrings::SetObjects(int Index, void* Obj) {
  Check(Index);
  FItems[static_cast<size_t>(Index)].Obj = Obj;
  Changed();
}

int TStrings::Add(const std::string& S, void* Obj) {
  FItems.push_back({S, Obj});
  Changed();
  return Count() - 1;
}

void TStrings::Insert(int Index, const std::string& S, void* Obj) {
  if (Index < 0 || Index > Count())
    throw EStringListError(Format("List index out of bounds (%d)", Index));
  FItems.insert(FItems.begin() + Index, Item{S, Obj});
  Changed();
}

void TStrings::Delete(int Index) {
  Check(Index);
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStrings::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

void TStrings::Assign(const TStrings& Source) {
  if (&Source == this) return;
  FItems = Source.FItems;
  Changed();
}

void TStrings::AddStrings(const TStrings& Source) {
  std::vector<Item> Copy = Source.FItems;  // Source may be this list
  FItems.insert(FItems.end(), Copy.begin(), Copy.end());
  Changed();
}

void TStrings::Exchange(int A, int B) {
  Check(A);
  Check(B);
  std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
  Changed();
}

void TStrings::Move(int From, int To) {
  Check(From);
  Check(To);
  Item I = FItems[static_cast<size_t>(From)];
  FItems.erase(FItems.begin() + From);
  FItems.insert(FItems.begin() + To, I);
  Changed();
}

int TStrings::IndexOf(const std::string& S) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (SameText(FItems[i].S, S)) return static_cast<int>(i);
  return -1;
}

int TStrings::IndexOfObject(const void* Obj) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Obj == Obj) return static_cast<int>(i);
  return -1;
}

std::string TStrings::Text() const {
  std::string R;
  for (const Item& I : FItems) {
    R += I.S;
    R += "\r\n";
  }
  return R;
}

void TStrings::SetText(const std::string& S) {
  FItems.clear();
  size_t i = 0;
  while (i < S.size()) {
    size_t j = i;
    while (j < S.size() && S[j] != '\r' && S[j] != '\n') ++j;
    FItems.push_back({S.substr(i, j - i), nullptr});
    if (j < S.size() && S[j] == '\r') ++j;
    if (j < S.size() && S[j] == '\n') ++j;
    i = j;
  }
  Changed();
}

std::string TStrings::Names(int Index) const {
  const std::string& S = Strings(Index);
  size_t P = S.find('=');
  return P == std::string::npos ? std::string() : S.substr(0, P);
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    size_t P = FItems[i].S.find('=');
    if (P != std::string::npos && SameText(FItems[i].S.substr(0, P), Name))
      return static_cast<int>(i);
  }
  return -1;
}

std::string TStrings::Values(const std::string& Name) const {
  int I = IndexOfName(Name);
  if (I < 0) return std::string();
  const std::string& S = FItems[static_cast<size_t>(I)].S;
  return S.substr(S.find('=') + 1);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  int I = IndexOfName(Name);
  if (Value.empty()) {
    if (I >= 0) Delete(I);
    return;
  }
  if (I < 0)
    Add(Name + "=" + Value);
  else
    SetStrings(I, Name + "=" + Value);
}

bool TStrings::operator==(const TStrings& O) const {
  if (FItems.size() != O.FItems.size()) return false;
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].S != O.FItems[i].S) return false;
  return true;
}

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> R;
  R.reserve(FItems.size());
  for (const Item& I : FItems) R.push_back(I.S);
  return R;
}

void TStrings::Changed() {
  if (OnChange) OnChange(this);
}

// Stored as "Strings": a list of string values.
void TStrings::DefineProperties(TFiler& Filer) {
  Filer.DefineProperty(
      "Strings",
      [this](TReader& Reader) {
        Reader.ReadListBegin();
        std::vector<Item> Items;
        while (!Reader.EndOfList()) Items.push_back({Reader.ReadString(), nullptr});
        Reader.ReadListEnd();
        FItems = std::move(Items);
        Changed();
      },
      [this](TWriter& Writer) {
        Writer.WriteListBegin();
        for (const Item& I : FItems) Writer.WriteString(I.S);
        Writer.WriteListEnd();
      },
      Count() > 0);
}
