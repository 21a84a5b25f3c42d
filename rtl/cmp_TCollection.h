// A list of items of one class that a component publishes as one property
// (the values of a registry key).  Items are persistent objects with their
// own published properties; the collection owns them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "rtl/cmp_TComponent.h"

class TCollection;

class TCollectionItem : public TPersistent {
  QV_CLASS()
 public:
  // Adds itself to Collection when given one.
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return FCollection; }
  // Moves the item into another collection (or out of any, with nullptr).
  void SetCollection(TCollection* Value);
  int Index() const;
  void SetIndex(int Value);
  // Unique within the collection for its lifetime, in order of creation.
  int ID() const { return FID; }
  std::string GetNamePath() const override;

 protected:
  // Tells the collection this item (or, with AllItems, every item) changed.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  QV_CLASS()
 public:
  // Makes a new item of the collection's class, already inserted.
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <class T>
  static TItemFactory ItemsOf() {
    return [](TCollection* C) -> TCollectionItem* { return new T(C); };
  }

  TCollection(TPersistent* Owner, TItemFactory Factory);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const;
  void Delete(int Index);
  void Clear();
  TCollectionItem* FindItemID(int ID) const;
  TPersistent* Owner() const { return FOwner; }
  std::string GetNamePath() const override;

  // Batches change notifications: Update runs once at the outermost EndUpdate.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

 protected:
  // An item (nullptr: the whole collection) changed.
  virtual void Update(TCollectionItem* Item);

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void Changed();

  TPersistent* FOwner;
  TItemFactory FFactory;
  std::vector<TCollectionItem*> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};

// Typed access for a collection of T items.
template <class T>
class TOwnedCollection : public TCollection {
 public:
  explicit TOwnedCollection(TPersistent* Owner) : TCollection(Owner, ItemsOf<T>()) {}
  T* Add() { return static_cast<T*>(TCollection::Add()); }
  T* Items(int Index) const { return static_cast<T*>(TCollection::Items(Index)); }
};
