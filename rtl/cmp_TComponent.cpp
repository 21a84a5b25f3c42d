#include "rtl/cmp_TComponent.h"

#include <algorithm>
#include <cctype>

#include "rtl/routines_ClassBuilder.h"

// --- string helpers ---------------------------------------------------------

std::string UpperCase(const std::string& S) {
  std::string R = S;
  for (char& c : R)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return R;
}

std::string LowerCase(const std::string& S) {
  std::string R = S;
  for (char& c : R)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return R;
}

bool SameText(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    char a = A[i], b = B[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

bool IsValidIdent(const std::string& S) {
  if (S.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(S[0])) return false;
  for (char c : S)
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  return true;
}

// --- metadata ---------------------------------------------------------------

int TEnumInfo::IndexOf(const std::string& Name) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], Name)) return static_cast<int>(i);
  return -1;
}

bool TClassInfo::InheritsFrom(const TClassInfo& Other) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    if (C == &Other) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProp(const std::string& Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    for (const TPropInfo& P : C->Props)
      if (SameText(P.Name, Name)) return &P;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(const std::string& Name) const {
  for (const TClassInfo* C = this; C; C = C->Parent)
    for (const TMethodInfo& M : C->Methods)
      if (SameText(M.Name, Name)) return &M;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<const TClassInfo*> Chain;
  for (const TClassInfo* C = this; C; C = C->Parent) Chain.push_back(C);
  std::vector<const TPropInfo*> R;
  for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
    for (const TPropInfo& P : (*It)->Props) {
      // A descendant may republish a property; the newest declaration wins
      // but keeps the ancestor's position.
      auto Same = std::find_if(R.begin(), R.end(),
                               [&](const TPropInfo* Q) { return SameText(Q->Name, P.Name); });
      if (Same != R.end())
        *Same = &P;
      else
        R.push_back(&P);
    }
  return R;
}

namespace {
std::map<std::string, const TClassInfo*>& Registry() {
  static std::map<std::string, const TClassInfo*> R;
  return R;
}
}  // namespace

void RegisterComponentClass(const TClassInfo& Info) { Registry()[UpperCase(Info.ClassName)] = &Info; }

const TClassInfo* FindClass(const std::string& Name) {
  auto It = Registry().find(UpperCase(Name));
  return It == Registry().end() ? nullptr : It->second;
}

std::vector<const TClassInfo*> RegisteredClasses() {
  std::vector<const TClassInfo*> R;
  for (auto& KV : Registry()) R.push_back(KV.second);
  return R;
}

// --- TPersistent ------------------------------------------------------------

const TClassInfo& TPersistent::StaticClass() {
  static const TClassInfo Info = [] {
    TClassInfo I;
    I.ClassName = "TPersistent";
    return I;
  }();
  return Info;
}

void TPersistent::DefineProperties(TFiler&) {}

// --- TComponent -------------------------------------------------------------

const TClassInfo& TComponent::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TComponent>("TComponent", &TPersistent::StaticClass())
          // Name is written by the stream itself, Tag is published.
          .Int("Tag", &TComponent::Tag, 0)
          .Build();
  return Info;
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Those who asked to be told get told; they clear their references.
  while (!FFreeNotifies.empty()) {
    TComponent* C = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& Theirs = C->FFreeNotifies;
    Theirs.erase(std::remove(Theirs.begin(), Theirs.end(), this), Theirs.end());
    C->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError(Format("List index out of bounds (%d)", Index));
  return FComponents[static_cast<size_t>(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* C : FComponents)
    if (SameText(C->FName, AName)) return C;
  return nullptr;
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& L = FOwner->FComponents;
  auto It = std::find(L.begin(), L.end(), this);
  return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TComponent::SetName(const std::string& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(Format("''%s'' is not a valid component name", NewName));
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
  if (AComponent && !SameText(CurName, NewName) && FindComponent(NewName))
    throw EComponentError(Format("A component named %s already exists", NewName));
}

void TComponent::Loaded() { ClearState(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == TOperation::opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Tell everything this component owns, as the owner hears of every change.
  for (size_t i = 0; i < FComponents.size(); ++i)
    FComponents[i]->Notification(AComponent, Operation);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (FOwner && AComponent->FOwner == FOwner) return;  // siblings hear it anyway
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  SetState(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  auto& L = FFreeNotifies;
  auto It = std::find(L.begin(), L.end(), AComponent);
  if (It == L.end()) return;
  L.erase(It);
  AComponent->RemoveFreeNotification(this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  ValidateRename(AComponent, "", AComponent->FName);
  Insert(AComponent);
  Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  Notification(AComponent, TOperation::opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It != FComponents.end()) FComponents.erase(It);
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Last created goes first.  Every removal is announced, so components
  // still alive drop their references before the object is gone.
  while (!FComponents.empty()) {
    TComponent* C = FComponents.back();
    RemoveComponent(C);
    delete C;
  }
}

void TComponent::Destroying() {
  if (HasState(csDestroying)) return;
  SetState(csDestroying);
  for (TComponent* C : FComponents) C->Destroying();
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}
