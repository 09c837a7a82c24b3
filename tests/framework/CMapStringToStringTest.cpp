#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "afx.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Iterate(const CMapStringToString& map) {
  Pairs out;
  CString key, value;
  for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
    map.GetNextAssoc(pos, key, value);
    out.emplace_back(static_cast<LPCSTR>(key), static_cast<LPCSTR>(value));
  }
  EXPECT_EQ(static_cast<int>(out.size()), map.GetCount());
  return out;
}

std::vector<std::string> Keys(const CMapStringToString& map) {
  std::vector<std::string> keys;
  for (const auto& pair : Iterate(map)) keys.push_back(pair.first);
  return keys;
}

using KeyList = std::vector<std::string>;

// Characters from 0x80 up count as negative values.
TEST(CMapStringToStringTest, HashKeyIsTimes33PlusSignedChar) {
  const struct {
    const char* key;
    UINT hash;
  } cases[] = {
      {"", 0u},          {"a", 97u},        {"ab", 3299u},
      {"\xE9", 0xFFFFFFE9u}, {"\xE9" "a", 4294966634u}, {"Lodestar", 1957961278u},
  };
  CMapStringToString map;
  for (const auto& c : cases) EXPECT_EQ(c.hash, map.HashKey(c.key)) << c.key;
}

// Hand-computed buckets (hash % 17): ab 1, \xE9a 2, a 12, r 12, Q 13, b 13,
// a\xE9 16. Newest first inside a bucket.
const char* const kInsertOrder[] = {"a", "b", "r", "Q", "ab", "\xE9" "a", "a\xE9"};

TEST(CMapStringToStringTest, IteratesBucketsUpwardNewestFirst) {
  CMapStringToString map;
  EXPECT_EQ(17u, map.GetHashTableSize());
  for (const char* key : kInsertOrder) map[key] = CString("v") + key;
  EXPECT_EQ((KeyList{"ab", "\xE9" "a", "r", "a", "Q", "b", "a\xE9"}), Keys(map));
  EXPECT_EQ("vr", Iterate(map)[2].second);

  // Buckets % 7: a 6, b 0, r 2, Q 4, ab 2, \xE9a 0, a\xE9 0.
  CMapStringToString small;
  small.InitHashTable(7);
  for (const char* key : kInsertOrder) small.SetAt(key, "x");
  EXPECT_EQ((KeyList{"a\xE9", "\xE9" "a", "b", "ab", "r", "Q", "a"}), Keys(small));

  // Replacing a value keeps the association's place.
  map.SetAt("r", "new");
  EXPECT_EQ((KeyList{"ab", "\xE9" "a", "r", "a", "Q", "b", "a\xE9"}), Keys(map));
}

TEST(CMapStringToStringTest, LookupSetAtAndRemoveKey) {
  CMapStringToString map(2);
  CString value("untouched");
  EXPECT_FALSE(map.Lookup("missing", value));
  EXPECT_STREQ("untouched", value);
  EXPECT_FALSE(map.RemoveKey("missing"));

  map.SetAt("Key", "upper");
  map.SetAt("key", "lower");
  map["key"] += "!";
  EXPECT_TRUE(map.Lookup("key", value));
  EXPECT_STREQ("lower!", value);
  EXPECT_TRUE(map.Lookup("Key", value));
  EXPECT_STREQ("upper", value) << "keys are case-sensitive";
  EXPECT_STREQ("", map["fresh"]) << "operator[] adds an empty value";
  EXPECT_EQ(3, map.GetCount());

  EXPECT_TRUE(map.RemoveKey("key"));
  EXPECT_FALSE(map.Lookup("key", value));
  EXPECT_EQ(2, map.GetCount());

  map.RemoveAll();
  EXPECT_TRUE(map.IsEmpty());
  EXPECT_TRUE(map.GetStartPosition() == NULL);
  map.SetAt("again", "ok");
  EXPECT_EQ((Pairs{{"again", "ok"}}), Iterate(map));
}

TEST(CMapStringToStringTest, RemovingTheCurrentKeyWhileIterating) {
  CMapStringToString map(3);
  for (const char* key : kInsertOrder) map.SetAt(key, key);
  KeyList visited;
  CString key, value;
  for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
    map.GetNextAssoc(pos, key, value);
    visited.push_back(static_cast<LPCSTR>(key));
    EXPECT_TRUE(map.RemoveKey(key));
  }
  EXPECT_EQ(7u, visited.size());
  EXPECT_TRUE(map.IsEmpty());

  // Freed associations are reused, and the table is rebuilt on demand.
  for (const char* k : kInsertOrder) map.SetAt(k, "again");
  EXPECT_EQ(7, map.GetCount());
  EXPECT_TRUE(map.Lookup("a\xE9", value));
  EXPECT_STREQ("again", value);
}

TEST(CMapStringToStringTest, InitHashTableNeverDropsAssociations) {
  CMapStringToString map;
  map.SetAt("a", "1");
  map.InitHashTable(7);
  EXPECT_EQ(17u, map.GetHashTableSize());
  map.InitHashTable(0);
  CString value;
  EXPECT_TRUE(map.Lookup("a", value));

  CMapStringToString lazy;
  lazy.InitHashTable(5, FALSE);
  EXPECT_EQ(5u, lazy.GetHashTableSize());
  lazy["x"] = "y";
  EXPECT_TRUE(lazy.Lookup("x", value));
  EXPECT_STREQ("y", value);
}

}  // namespace
