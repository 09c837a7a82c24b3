#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "afx.h"

namespace {

std::string Bytes(const CByteArray& a) {
  return std::string(reinterpret_cast<const char*>(a.GetData()), a.GetSize());
}

void Fill(CByteArray& a, const char* pszText) {
  a.RemoveAll();
  a.Append(reinterpret_cast<const BYTE*>(pszText), static_cast<int>(strlen(pszText)));
}

struct EditCase {
  const char* name;
  void (*edit)(CByteArray& a);
  std::string expected;
};

TEST(CByteArrayTest, EditsGiveTheExpectedBytes) {
  const EditCase cases[] = {
      {"shrink then grow gives zeros, not the old bytes",
       [](CByteArray& a) { a.SetSize(2); a.SetSize(4); }, std::string("ab\0\0", 4)},
      {"insert in the middle", [](CByteArray& a) { a.InsertAt(1, 'x', 2); }, "axxbcdef"},
      {"insert past the end pads with zeros", [](CByteArray& a) { a.InsertAt(8, 'x'); },
       std::string("abcdef\0\0x", 9)},
      {"remove clamps its count to the end", [](CByteArray& a) { a.RemoveAt(4, 100); }, "abcd"},
      {"out-of-range edits change nothing",
       [](CByteArray& a) { a.RemoveAt(6); a.RemoveAt(-1); a.SetAt(6, 'x'); a.SetSize(-1); a.InsertAt(-1, 'x'); },
       "abcdef"},
      {"set at grow pads with zeros", [](CByteArray& a) { a.SetAtGrow(7, 'z'); },
       std::string("abcdef\0z", 8)},
      {"add appends one byte", [](CByteArray& a) { EXPECT_EQ(6, a.Add('g')); }, "abcdefg"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    CByteArray a;
    Fill(a, "abcdef");
    c.edit(a);
    EXPECT_EQ(c.expected, Bytes(a));
  }
}

TEST(CByteArrayTest, AppendsItsOwnBytesWhileItsBlockMoves) {
  CByteArray a;
  Fill(a, "abcd");
  a.FreeExtra();  // full: the append must move the block it copies from
  EXPECT_EQ(0 + 4, a.Append(a.GetData() + 1, 3));
  EXPECT_EQ("abcdbcd", Bytes(a));
  a.Append(a);
  EXPECT_EQ("abcdbcdabcdbcd", Bytes(a));
}

TEST(CByteArrayTest, CopyAndReadAccess) {
  CByteArray a;
  Fill(a, "xyz");
  CByteArray b;
  Fill(b, "longer text");
  b.Copy(a);
  EXPECT_EQ("xyz", Bytes(b));
  b.Copy(b);
  EXPECT_EQ("xyz", Bytes(b));
  const CByteArray& c = b;
  EXPECT_EQ('y', c[1]);
  EXPECT_EQ(0, c.GetAt(3));
  EXPECT_EQ(0, c.GetAt(-1));
  b[2] = 'Z';
  EXPECT_EQ("xyZ", Bytes(b));
  b.RemoveAll();
  EXPECT_EQ(0, b.GetSize());
  EXPECT_EQ(nullptr, b.GetData());
}

}  // namespace
