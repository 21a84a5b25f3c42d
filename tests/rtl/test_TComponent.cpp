#include <gtest/gtest.h>

#include "rtl/cmp_TComponent.h"
#include "rtl/routines_ClassBuilder.h"

namespace {

// A component that keeps a reference to another and clears it when told.
class TRefHolder : public TComponent {
  QV_CLASS()
 public:
  using TComponent::TComponent;
  TComponent* Target = nullptr;
  void SetTarget(TComponent* T) {
    Target = T;
    if (T) T->FreeNotification(this);
  }
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    if (Op == TOperation::opRemove && C == Target) Target = nullptr;
  }
};

const TClassInfo& TRefHolder::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TRefHolder>("TRefHolder", &TComponent::StaticClass())
                                     .Creatable()
                                     .Ref("Target", TComponent::StaticClass(),
                                          &TRefHolder::Target, &TRefHolder::SetTarget)
                                     .Build();
  return Info;
}

TEST(TComponent, OwnerDestroysWhatItOwnsAndReferencesAreCleared) {
  auto* Root = new TComponent(nullptr);
  auto* A = new TRefHolder(Root);
  auto* Other = new TComponent(nullptr);
  A->SetTarget(Other);
  delete Other;  // not owned by Root: free notification reaches A
  EXPECT_EQ(A->Target, nullptr);

  auto* B = new TComponent(Root);
  A->SetTarget(B);
  delete B;  // a sibling: the owner tells everything it owns
  EXPECT_EQ(A->Target, nullptr);
  EXPECT_EQ(Root->ComponentCount(), 1);
  delete Root;
}

TEST(TComponent, NamesAreUniqueWithinTheOwner) {
  TComponent Root(nullptr);
  auto* A = new TComponent(&Root);
  A->SetName("Install1");
  auto* B = new TComponent(&Root);
  try {
    B->SetName("INSTALL1");
    FAIL();
  } catch (const EComponentError& E) {
    EXPECT_EQ(E.Message(), "A component named INSTALL1 already exists");
  }
  EXPECT_EQ(Root.FindComponent("install1"), A);
  EXPECT_THROW(B->SetName("1abc"), EComponentError);
}

TEST(TClassInfo, PropertiesAreFoundThroughTheAncestors) {
  const TClassInfo& C = TRefHolder::StaticClass();
  EXPECT_TRUE(C.InheritsFrom(TComponent::StaticClass()));
  ASSERT_NE(C.FindProp("tag"), nullptr);
  ASSERT_NE(C.FindProp("Target"), nullptr);
  auto All = C.AllProps();
  ASSERT_EQ(All.size(), 2u);
  EXPECT_EQ(All[0]->Name, "Tag");
  EXPECT_EQ(All[1]->Name, "Target");
}

}  // namespace
