#include <gtest/gtest.h>

#include "rtl/cmp_TCollection.h"
#include "stream_test_classes.h"

namespace streamtest {
namespace {

class TCountingCollection : public TOwnedCollection<TTestEntry> {
 public:
  using TOwnedCollection::TOwnedCollection;
  int Updates = 0;

 protected:
  void Update(TCollectionItem*) override { ++Updates; }
};

TEST(TCollection, ItemsKeepIdsAndIndexes) {
  TTestItem Owner(nullptr);
  Owner.SetName("Reg");
  TCountingCollection C(&Owner);
  TTestEntry* A = C.Add();
  TTestEntry* B = C.Add();
  TTestEntry* D = C.Add();
  EXPECT_EQ(C.Count(), 3);
  EXPECT_EQ(B->Index(), 1);
  EXPECT_EQ((std::vector<int>{A->ID(), B->ID(), D->ID()}), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(B->GetNamePath(), "Reg[1]");

  D->SetIndex(0);
  EXPECT_EQ(C.Items(0), D);
  EXPECT_EQ(A->Index(), 1);

  C.Delete(1);  // A
  EXPECT_EQ(C.Count(), 2);
  EXPECT_EQ(C.FindItemID(0), nullptr);
  EXPECT_EQ(C.FindItemID(1), B);
  EXPECT_EQ(C.Add()->ID(), 3);  // ids are never reused
  EXPECT_THROW(C.Items(3), EListError);

  delete B;  // an item removes itself
  EXPECT_EQ(C.Count(), 2);

  const int Before = C.Updates;
  C.Clear();
  EXPECT_EQ(C.Count(), 0);
  EXPECT_EQ(C.Updates, Before + 1);  // one notification for the whole batch
}

TEST(TCollection, ItemsMoveBetweenCollections) {
  TOwnedCollection<TTestEntry> X(nullptr), Y(nullptr);
  TTestEntry* E = X.Add();
  E->SetCollection(&Y);
  EXPECT_EQ(X.Count(), 0);
  EXPECT_EQ(Y.Items(0), E);
  EXPECT_EQ(E->Collection(), &Y);
}

}  // namespace
}  // namespace streamtest
