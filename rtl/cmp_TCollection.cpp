#include "rtl/cmp_TCollection.h"

#include <algorithm>

#include "rtl/routines_ClassBuilder.h"

// --- TCollectionItem ----------------------------------------------------------

const TClassInfo& TCollectionItem::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCollectionItem>("TCollectionItem", &TPersistent::StaticClass()).Build();
  return Info;
}

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& L = FCollection->FItems;
  return static_cast<int>(std::find(L.begin(), L.end(), this) - L.begin());
}

void TCollectionItem::SetIndex(int Value) {
  if (!FCollection) return;
  auto& L = FCollection->FItems;
  const int Cur = Index();
  Value = std::clamp(Value, 0, static_cast<int>(L.size()) - 1);
  if (Value == Cur) return;
  L.erase(L.begin() + Cur);
  L.insert(L.begin() + Value, this);
  Changed(true);
}

std::string TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return Format("%s[%d]", FCollection->GetNamePath(), Index());
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// --- TCollection --------------------------------------------------------------

const TClassInfo& TCollection::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TCollection>("TCollection", &TPersistent::StaticClass()).Build();
  return Info;
}

TCollection::TCollection(TPersistent* Owner, TItemFactory Factory)
    : FOwner(Owner), FFactory(std::move(Factory)) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no notifications into a half-destroyed owner
  Clear();
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* Item = FFactory(this);
  if (Item->FCollection != this) Item->SetCollection(this);
  return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* Item = Add();
  Item->SetIndex(Index);
  return Item;
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError(Format("List index out of bounds (%d)", Index));
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* I : FItems)
    if (I->FID == ID) return I;
  return nullptr;
}

std::string TCollection::GetNamePath() const {
  return FOwner ? FOwner->GetNamePath() : ClassName();
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
  Item->FCollection = nullptr;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}
