#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "template/CNamedValueList.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The pairs from GetFirst/GetNext, checked against the list's own count.
Pairs Walk(const CNamedValueList& list) {
  Pairs pairs;
  for (CNameValuePair* p = list.GetFirst(); p != NULL; p = list.GetNext(p))
    pairs.emplace_back(static_cast<LPCSTR>(p->m_strName), static_cast<LPCSTR>(p->m_strValue));
  EXPECT_EQ(static_cast<int>(pairs.size()), list.GetCount());
  return pairs;
}

TEST(CNamedValueListTest, NamesAreUniqueWithoutRegardToCaseAndKeepFirstSpellingAndOrder) {
  CNamedValueList list;
  EXPECT_TRUE(list.SetValue("Title", "A"));
  EXPECT_TRUE(list.SetValue("count", "1"));
  EXPECT_TRUE(list.SetValue("TITLE", "B"));
  EXPECT_TRUE(list.SetNumber("Count", -5));
  EXPECT_TRUE(list.SetValue("Empty", ""));
  EXPECT_TRUE(list.SetValue("NullValue", NULL));
  EXPECT_TRUE(list.SetNumber("Min", -2147483647 - 1));
  EXPECT_EQ((Pairs{{"Title", "B"}, {"count", "-5"}, {"Empty", ""}, {"NullValue", ""},
                   {"Min", "-2147483648"}}),
            Walk(list));
}

TEST(CNamedValueListTest, EmptyNamesAreRefused) {
  CNamedValueList list;
  EXPECT_FALSE(list.SetValue("", "x"));
  EXPECT_FALSE(list.SetValue(NULL, "x"));
  EXPECT_FALSE(list.SetNumber("", 1));
  EXPECT_EQ(Pairs{}, Walk(list));
  EXPECT_TRUE(list.GetFirst() == NULL);
}

TEST(CNamedValueListTest, LookupAndContains) {
  CNamedValueList list;
  list.SetValue("Title", "B");
  list.SetValue("Empty", "");
  list.SetValue("\xC4rger", "umlaut");  // only ASCII letters fold

  struct Case {
    LPCSTR name;
    BOOL found;
    std::string value;
  };
  const Case cases[] = {
      {"title", TRUE, "B"},   {"TITLE", TRUE, "B"},       {"Empty", TRUE, ""},
      {"none", FALSE, ""},    {"Titl", FALSE, ""},        {"Title ", FALSE, ""},
      {"\xC4rger", TRUE, "umlaut"}, {"\xE4rger", FALSE, ""},
  };
  for (const Case& c : cases) {
    CString value("stale");
    EXPECT_EQ(c.found, list.Lookup(c.name, value)) << c.name;
    EXPECT_EQ(c.value, static_cast<LPCSTR>(value)) << c.name;
    EXPECT_EQ(c.found, list.Contains(c.name)) << c.name;
  }

  // An empty name is no lookup at all: the out string stays as it was.
  for (LPCSTR name : {static_cast<LPCSTR>(""), static_cast<LPCSTR>(NULL)}) {
    CString value("kept");
    EXPECT_FALSE(list.Lookup(name, value));
    EXPECT_STREQ("kept", value);
    EXPECT_FALSE(list.Contains(name));
  }
}

TEST(CNamedValueListTest, GetNextEndsAtTheLastPairAndRefusesForeignPairs) {
  CNamedValueList list, other;
  list.SetValue("a", "1");
  list.SetValue("b", "2");
  other.SetValue("a", "1");
  CNameValuePair* first = list.GetFirst();
  ASSERT_TRUE(first != NULL);
  CNameValuePair* last = list.GetNext(first);
  ASSERT_TRUE(last != NULL);
  EXPECT_STREQ("b", last->m_strName);
  EXPECT_TRUE(list.GetNext(last) == NULL);
  EXPECT_TRUE(list.GetNext(other.GetFirst()) == NULL);
  EXPECT_TRUE(list.GetNext(NULL) == NULL);
}

TEST(CNamedValueListTest, RemoveAllEmptiesTheListForReuse) {
  CNamedValueList list;
  list.SetValue("a", "1");
  list.SetValue("b", "2");
  list.RemoveAll();
  EXPECT_EQ(Pairs{}, Walk(list));
  EXPECT_FALSE(list.Contains("a"));
  list.SetValue("A", "3");
  EXPECT_EQ((Pairs{{"A", "3"}}), Walk(list));
}

// The pairs are freed by the list's own destructor whichever pointer the
// list is deleted through; the sanitizer build reports any pair left behind.
TEST(CNamedValueListTest, DeletingThroughAFrameworkBasePointerFreesEveryPair) {
  for (int i = 0; i < 2; ++i) {
    CNamedValueList* list = new CNamedValueList;
    for (int n = 0; n < 25; ++n) {  // more than one block of list nodes
      CString name;
      name.Format("name%d", n);
      list->SetNumber(name, n);
    }
    if (i == 0) {
      CPtrList* base = list;
      delete base;
    } else {
      CObject* root = list;
      delete root;
    }
  }
}

}  // namespace
