// Small component classes with one property of every kind, for the object
// stream tests and fuzz targets.  Everything that happens to them while a
// stream is read is appended to StreamLog().
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "rtl/cmp_TCollection.h"
#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TPicture.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/cmp_TWriter.h"
#include "rtl/routines_ClassBuilder.h"

namespace streamtest {

inline std::vector<std::string>& StreamLog() {
  static std::vector<std::string> Log;
  return Log;
}

enum TMode { mdNone, mdFast, mdSafe };
inline const TEnumInfo& ModeInfo() {
  static const TEnumInfo I{"TMode", {"mdNone", "mdFast", "mdSafe"}};
  return I;
}
enum TStyle { stBold, stItalic, stUnderline };
inline const TEnumInfo& StyleInfo() {
  static const TEnumInfo I{"TStyles", {"stBold", "stItalic", "stUnderline"}};
  return I;
}

// A sub-object reached through dotted paths.
class TTestInfo : public TPersistent {
  QV_CLASS()
 public:
  std::string Company;
  int Version = 1;
  TStrings Notes;
};
inline const TClassInfo& TTestInfo::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestInfo>("TTestInfo", &TPersistent::StaticClass())
          .Str("Company", &TTestInfo::Company)
          .Int("Version", &TTestInfo::Version, 1)
          .Object("Notes", [](const TTestInfo& I) { return const_cast<TStrings*>(&I.Notes); })
          .Build();
  return Info;
}

class TTestEntry : public TCollectionItem {
  QV_CLASS()
 public:
  using TCollectionItem::TCollectionItem;
  std::string Name;
  int Value = 0;
  TComponent* Target = nullptr;
};
inline const TClassInfo& TTestEntry::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestEntry>("TTestEntry", &TCollectionItem::StaticClass())
          .Str("Name", &TTestEntry::Name)
          .Int("Value", &TTestEntry::Value)
          .Ref("Target", TComponent::StaticClass(), &TTestEntry::Target, &TTestEntry::Target)
          .Build();
  return Info;
}

class TTestItem : public TComponent {
  QV_CLASS()
 public:
  explicit TTestItem(TComponent* AOwner) : TComponent(AOwner), Entries(this) {}
  ~TTestItem() override {
    SetParentComponent(nullptr);
    for (TTestItem* C : Children) C->Parent = nullptr;
  }

  int Size = 0;
  int Count = 5;
  bool Enabled = true;
  std::string Title;
  TMode Mode = mdNone;
  int Style = 0;
  double Ratio = 0;
  TTestInfo Info;
  TStrings Lines;
  TOwnedCollection<TTestEntry> Entries;
  TPicture Picture;
  TComponent* Link = nullptr;
  TNotifyEvent OnClick;
  int UniqueID = 0;
  bool LoadingWhenLinked = false;

  void SetLink(TComponent* Value) {
    Link = Value;
    LoadingWhenLinked = IsLoading();
    StreamLog().push_back("SetLink " + Name() + "=" + (Value ? Value->Name() : "nil"));
    if (Value) Value->FreeNotification(this);
  }
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    if (Op == TOperation::opRemove && C == Link) Link = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    StreamLog().push_back("Loaded " + Name());
  }
  void DefineProperties(TFiler& Filer) override {
    TComponent::DefineProperties(Filer);
    Filer.DefineProperty(
        "UniqueID", [this](TReader& R) { UniqueID = R.ReadInteger(); },
        [this](TWriter& W) { W.WriteInteger(UniqueID); }, UniqueID != 0);
  }

  // Nesting: a child record is read with its enclosing item as parent.
  TTestItem* Parent = nullptr;
  std::vector<TTestItem*> Children;
  void SetParentComponent(TComponent* Value) override {
    if (Parent) Parent->Children.erase(std::find(Parent->Children.begin(), Parent->Children.end(), this));
    Parent = dynamic_cast<TTestItem*>(Value);
    if (Parent) Parent->Children.push_back(this);
  }
  TComponent* GetParentComponent() const override { return Parent; }
  bool HasParent() const override { return Parent != nullptr; }
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) override {
    for (TTestItem* C : Children) Proc(C);
  }
  void SetChildOrder(TComponent* Child, int Order) override {
    auto It = std::find(Children.begin(), Children.end(), Child);
    if (It == Children.end()) return;
    Children.erase(It);
    Order = std::clamp(Order, 0, static_cast<int>(Children.size()));
    Children.insert(Children.begin() + Order, static_cast<TTestItem*>(Child));
  }
};
inline const TClassInfo& TTestItem::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestItem>("TTestItem", &TComponent::StaticClass())
          .Creatable()
          .Int("Size", &TTestItem::Size)
          .Int("Count", &TTestItem::Count, 5)
          .Bool("Enabled", &TTestItem::Enabled, true)
          .Str("Title", &TTestItem::Title)
          .Enum("Mode", ModeInfo(), &TTestItem::Mode, mdNone)
          .Set("Style", StyleInfo(), &TTestItem::Style)
          .Float("Ratio", &TTestItem::Ratio)
          .Object("Info", [](const TTestItem& I) { return const_cast<TTestInfo*>(&I.Info); })
          .Object("Lines", [](const TTestItem& I) { return const_cast<TStrings*>(&I.Lines); })
          .Object("Entries",
                  [](const TTestItem& I) {
                    return const_cast<TOwnedCollection<TTestEntry>*>(&I.Entries);
                  })
          .Object("Picture", [](const TTestItem& I) { return const_cast<TPicture*>(&I.Picture); })
          .Ref("Link", TComponent::StaticClass(), &TTestItem::Link, &TTestItem::SetLink)
          .Event("OnClick", &TTestItem::OnClick)
          .Build();
  return Info;
}

// A class that only items may be linked to.
class TTestOther : public TComponent {
  QV_CLASS()
 public:
  using TComponent::TComponent;
  TTestItem* Item = nullptr;
  TComponent* Required = nullptr;  // no default: nil is written
};
inline const TClassInfo& TTestOther::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestOther>("TTestOther", &TComponent::StaticClass())
          .Creatable()
          .Ref("Item", TTestItem::StaticClass(), &TTestOther::Item, &TTestOther::Item)
          .Ref("Required", TComponent::StaticClass(), &TTestOther::Required, &TTestOther::Required)
          .NoDefault()
          .Build();
  return Info;
}

// The root: publishes the methods events may name.
class TTestRoot : public TTestItem {
  QV_CLASS()
 public:
  using TTestItem::TTestItem;
  int Clicks = 0;
  void ItemClick(TPersistent*) { ++Clicks; }
};
inline const TClassInfo& TTestRoot::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TTestRoot>("TTestRoot", &TTestItem::StaticClass())
          .Creatable()
          .Method<void(TPersistent*)>("ItemClick", &TTestRoot::ItemClick)
          .Build();
  return Info;
}

// Registration is explicit: static registrars in a library are dropped.
inline void RegisterStreamTestClasses() {
  RegisterComponentClass(TTestItem::StaticClass());
  RegisterComponentClass(TTestOther::StaticClass());
  RegisterComponentClass(TTestRoot::StaticClass());
}

}  // namespace streamtest
