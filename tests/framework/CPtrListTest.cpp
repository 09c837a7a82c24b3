#include <gtest/gtest.h>

#include <vector>

#include "afx.h"

namespace {

int g_items[8];
void* Item(int i) { return &g_items[i]; }

// Item numbers from head to tail, checked against a walk from the tail.
std::vector<int> Forward(const CPtrList& list) {
  std::vector<int> out, backward;
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
    out.push_back(static_cast<int*>(list.GetNext(pos)) - g_items);
  for (POSITION pos = list.GetTailPosition(); pos != NULL;)
    backward.insert(backward.begin(), static_cast<int*>(list.GetPrev(pos)) - g_items);
  EXPECT_EQ(out, backward) << "links in both directions agree";
  EXPECT_EQ(static_cast<int>(out.size()), list.GetCount());
  return out;
}

using Items = std::vector<int>;

TEST(CPtrListTest, AddInsertAndRemoveKeepBothDirectionsLinked) {
  CPtrList list;
  EXPECT_TRUE(list.IsEmpty());
  POSITION p1 = list.AddTail(Item(1));
  list.AddHead(Item(0));
  POSITION p3 = list.AddTail(Item(3));
  list.InsertBefore(p3, Item(2));
  list.InsertAfter(p3, Item(4));
  list.InsertAfter(p1, Item(5));
  EXPECT_EQ((Items{0, 1, 5, 2, 3, 4}), Forward(list));

  // A null position inserts at the ends.
  list.InsertBefore(NULL, Item(6));
  list.InsertAfter(NULL, Item(7));
  EXPECT_EQ((Items{6, 0, 1, 5, 2, 3, 4, 7}), Forward(list));

  EXPECT_EQ(Item(6), list.RemoveHead());
  EXPECT_EQ(Item(7), list.RemoveTail());
  list.RemoveAt(p3);
  list.RemoveAt(list.GetHeadPosition());
  list.RemoveAt(list.GetTailPosition());
  EXPECT_EQ((Items{1, 5, 2}), Forward(list));
  EXPECT_EQ(Item(1), list.GetHead());
  EXPECT_EQ(Item(2), list.GetTail());

  list.SetAt(p1, Item(0));
  list.GetTail() = Item(3);
  EXPECT_EQ((Items{0, 5, 3}), Forward(list));

  list.RemoveAll();
  EXPECT_EQ(Items{}, Forward(list));
  EXPECT_TRUE(list.RemoveHead() == NULL);
  EXPECT_TRUE(list.RemoveTail() == NULL);
  list.AddTail(Item(1));
  EXPECT_EQ(Items{1}, Forward(list));
}

TEST(CPtrListTest, FindMatchesTheExactPointerFromHeadOrAfterAPosition) {
  CPtrList list;
  for (int i : {1, 2, 1, 3, 1}) list.AddTail(Item(i));
  POSITION first = list.Find(Item(1));
  EXPECT_EQ(list.GetHeadPosition(), first);
  POSITION second = list.Find(Item(1), first);
  EXPECT_EQ(list.FindIndex(2), second);
  EXPECT_EQ(list.FindIndex(4), list.Find(Item(1), second));
  EXPECT_TRUE(list.Find(Item(1), list.GetTailPosition()) == NULL);
  EXPECT_TRUE(list.Find(Item(7)) == NULL);

  const struct {
    int index;
    bool found;
  } indexes[] = {{0, true}, {4, true}, {5, false}, {-1, false}};
  for (const auto& c : indexes) {
    EXPECT_EQ(c.found, list.FindIndex(c.index) != NULL) << c.index;
  }
  EXPECT_EQ(Item(3), list.GetAt(list.FindIndex(3)));
}

TEST(CPtrListTest, NodesComeFromBlocksAndAreRecycled) {
  CPtrList list(3);
  POSITION a = list.AddTail(Item(0));
  POSITION b = list.AddTail(Item(1));
  POSITION c = list.AddTail(Item(2));
  // One block hands out consecutive nodes, in order.
  EXPECT_EQ(reinterpret_cast<char*>(b) - reinterpret_cast<char*>(a),
            reinterpret_cast<char*>(c) - reinterpret_cast<char*>(b));
  EXPECT_GT(reinterpret_cast<char*>(b), reinterpret_cast<char*>(a));
  list.AddTail(Item(3));  // needs a second block
  list.RemoveAt(b);
  EXPECT_EQ(b, list.AddHead(Item(4))) << "the freed node is reused first";
  EXPECT_EQ((Items{4, 0, 2, 3}), Forward(list));
}

TEST(CPtrListTest, AddingAWholeListKeepsItsOrder) {
  CPtrList list, other;
  list.AddTail(Item(0));
  other.AddTail(Item(1));
  other.AddTail(Item(2));
  list.AddTail(&other);
  list.AddHead(&other);
  EXPECT_EQ((Items{1, 2, 0, 1, 2}), Forward(list));
  EXPECT_EQ((Items{1, 2}), Forward(other));

  CPtrList self;
  self.AddTail(Item(1));
  self.AddTail(Item(2));
  self.AddTail(&self);
  EXPECT_EQ((Items{1, 2, 1, 2}), Forward(self));
  self.AddHead(&self);
  EXPECT_EQ((Items{1, 2, 1, 2, 1, 2, 1, 2}), Forward(self));
}

class CountingList : public CPtrList {
 public:
  explicit CountingList(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
  ~CountingList() override { ++*m_pDestroyed; }

 private:
  int* m_pDestroyed;
};

TEST(CPtrListTest, DeletingThroughTheBaseRunsTheDerivedDestructor) {
  int destroyed = 0;
  CPtrList* list = new CountingList(&destroyed);
  list->AddTail(Item(1));
  delete list;
  EXPECT_EQ(1, destroyed);

  CObject* object = new CountingList(&destroyed);
  delete object;
  EXPECT_EQ(2, destroyed);
}

TEST(CPtrListDeathTest, ReferenceAccessWithoutANodeIsFatal) {
  CPtrList list;
  EXPECT_DEATH(list.GetHead(), "afx: fatal");
  POSITION pos = NULL;
  EXPECT_DEATH(list.GetNext(pos), "afx: fatal");
}

}  // namespace
