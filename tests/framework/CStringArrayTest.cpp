#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afx.h"

namespace {

std::vector<std::string> Contents(const CStringArray& a) {
  std::vector<std::string> out;
  for (int i = 0; i < a.GetSize(); ++i) out.push_back(static_cast<LPCSTR>(a.GetAt(i)));
  return out;
}

using Strings = std::vector<std::string>;

// Indexes (1-based count of elements after the Add) at which the element
// block had to be replaced.
std::vector<int> GrowthPoints(CStringArray& a, int nAdds) {
  std::vector<int> points;
  for (int i = 1; i <= nAdds; ++i) {
    const CString* before = a.GetData();
    a.Add("x");
    if (a.GetData() != before) points.push_back(i);
  }
  return points;
}

TEST(CStringArrayTest, GrowthFollowsTheFrameworkRule) {
  // Grow-by 0: exact first block, then max(4, size / 8) capped at 1024.
  CStringArray heuristic;
  EXPECT_EQ((std::vector<int>{1, 2, 6, 10, 14, 18, 22, 26, 30, 34, 38, 42, 47}),
            GrowthPoints(heuristic, 50));

  CStringArray fixed;
  fixed.SetSize(0, 3);
  EXPECT_EQ((std::vector<int>{1, 2, 5, 8}), GrowthPoints(fixed, 10));

  // A request beyond the next step is taken exactly.
  CStringArray jump;
  jump.SetSize(2);
  jump.SetSize(20);
  const CString* block = jump.GetData();
  jump.Add("y");
  EXPECT_NE(block, jump.GetData());
  EXPECT_EQ(21, jump.GetSize());
  EXPECT_EQ("", std::string(jump[19]));
}

TEST(CStringArrayTest, SetSizeShrinksAndGrowsWithEmptyElements) {
  CStringArray a;
  a.Add("a");
  a.Add("b");
  a.Add("c");
  a.SetSize(1);
  EXPECT_EQ(Strings({"a"}), Contents(a));
  a.SetSize(3);
  EXPECT_EQ(Strings({"a", "", ""}), Contents(a));
  a.SetSize(-1);
  EXPECT_EQ(3, a.GetSize()) << "a negative size is ignored";
  a.FreeExtra();
  EXPECT_EQ(Strings({"a", "", ""}), Contents(a));
  a.RemoveAll();
  EXPECT_EQ(0, a.GetSize());
  EXPECT_TRUE(a.GetData() == NULL);
  EXPECT_EQ(-1, a.GetUpperBound());
}

TEST(CStringArrayTest, InsertAndRemove) {
  const struct {
    int index;
    int count;
    Strings expected;
  } inserts[] = {
      {0, 1, {"N", "a", "b", "c"}},
      {1, 2, {"a", "N", "N", "b", "c"}},
      {3, 1, {"a", "b", "c", "N"}},
      {5, 1, {"a", "b", "c", "", "", "N"}},
      {-1, 1, {"a", "b", "c"}},
      {1, 0, {"a", "b", "c"}},
  };
  for (const auto& c : inserts) {
    CStringArray a;
    a.Add("a");
    a.Add("b");
    a.Add("c");
    a.InsertAt(c.index, "N", c.count);
    EXPECT_EQ(c.expected, Contents(a)) << "insert at " << c.index << " x" << c.count;
  }

  const struct {
    int index;
    int count;
    Strings expected;
  } removes[] = {
      {0, 1, {"b", "c", "d"}}, {1, 2, {"a", "d"}}, {2, 10, {"a", "b"}},
      {4, 1, {"a", "b", "c", "d"}}, {-1, 1, {"a", "b", "c", "d"}}, {0, 4, {}},
  };
  for (const auto& c : removes) {
    CStringArray a;
    for (const char* s : {"a", "b", "c", "d"}) a.Add(s);
    a.RemoveAt(c.index, c.count);
    EXPECT_EQ(c.expected, Contents(a)) << "remove at " << c.index << " x" << c.count;
  }
}

TEST(CStringArrayTest, ElementsMayBeCopiedFromTheArrayItself) {
  CStringArray a;
  a.Add("first");
  a.Add("second");
  a.InsertAt(0, a[1], 2);
  EXPECT_EQ(Strings({"second", "second", "first", "second"}), Contents(a));
  a.SetAt(0, a.GetData()[2]);
  a.SetAtGrow(6, a.GetData()[3]);
  EXPECT_EQ(Strings({"first", "second", "first", "second", "", "", "second"}), Contents(a));
  a.SetAt(10, "ignored");
  EXPECT_EQ(7, a.GetSize());

  CStringArray b;
  b.Add("x");
  b.Add("y");
  EXPECT_EQ(2, b.Append(b));
  EXPECT_EQ(Strings({"x", "y", "x", "y"}), Contents(b));
  b.Copy(b);
  EXPECT_EQ(4, b.GetSize());

  CStringArray c;
  c.Add("old");
  c.Copy(a);
  EXPECT_EQ(Contents(a), Contents(c));
  c.ElementAt(0) = "changed";
  c[1] += "!";
  EXPECT_EQ("changed", std::string(c[0]));
  EXPECT_EQ("second!", std::string(c.GetAt(1)));
  EXPECT_EQ("first", std::string(a[0])) << "copies are deep";
  EXPECT_EQ("", std::string(c.GetAt(99)));
  EXPECT_EQ(0, CString(a.GetAt(-1)).GetLength());
}

TEST(CStringArrayDeathTest, ElementAtOutOfRangeIsFatal) {
  CStringArray a;
  a.Add("only");
  EXPECT_DEATH(a.ElementAt(1), "afx: fatal");
}

}  // namespace
