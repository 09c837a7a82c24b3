#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <string>

#include "afx.h"

namespace {

struct ExtractCase {
  const char* source;
  int first;
  int count;
  const char* expected;
};

TEST(CStringTest, MidClampsOutOfRangeArguments) {
  const ExtractCase cases[] = {
      {"abcde", 1, 3, "bcd"},      {"abcde", 0, 5, "abcde"},  {"abcde", 3, 10, "de"},
      {"abcde", -2, 3, "abc"},     {"abcde", 2, -1, ""},      {"abcde", 5, 1, ""},
      {"abcde", 6, 2, ""},         {"abcde", 1, INT_MAX, "bcde"},
      {"abcde", INT_MAX, INT_MAX, ""}, {"", 0, 3, ""},
  };
  for (const ExtractCase& c : cases) {
    EXPECT_STREQ(c.expected, CString(c.source).Mid(c.first, c.count))
        << c.source << " Mid(" << c.first << ", " << c.count << ")";
  }
}

TEST(CStringTest, MidLeftRightWithOneArgumentClamp) {
  const CString s("abcde");
  const struct {
    int n;
    const char* mid;
    const char* left;
    const char* right;
  } cases[] = {
      {-3, "abcde", "", ""}, {0, "abcde", "", ""},      {2, "cde", "ab", "de"},
      {5, "", "abcde", "abcde"}, {9, "", "abcde", "abcde"}, {INT_MIN, "abcde", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(c.mid, s.Mid(c.n)) << c.n;
    EXPECT_STREQ(c.left, s.Left(c.n)) << c.n;
    EXPECT_STREQ(c.right, s.Right(c.n)) << c.n;
  }
}

TEST(CStringTest, FindReturnsMinusOneWhenAbsentOrStartOutOfRange) {
  const CString s("abcabc");
  const struct {
    char ch;
    int start;
    int expected;
  } charCases[] = {{'b', 0, 1}, {'b', 2, 4}, {'b', 5, -1}, {'a', 6, -1}, {'a', -1, -1}, {'x', 0, -1}};
  for (const auto& c : charCases) {
    EXPECT_EQ(c.expected, s.Find(c.ch, c.start)) << c.ch << " from " << c.start;
  }
  const struct {
    const char* sub;
    int start;
    int expected;
  } subCases[] = {{"bc", 0, 1}, {"bc", 2, 4}, {"bc", 5, -1}, {"", 6, 6},
                  {"", 7, -1},  {"c", -1, -1}, {"abcd", 0, -1}};
  for (const auto& c : subCases) {
    EXPECT_EQ(c.expected, s.Find(c.sub, c.start)) << c.sub << " from " << c.start;
  }
  EXPECT_EQ(1, s.Find('b'));
  EXPECT_EQ(3, s.Find("abc", 1));
  EXPECT_EQ(-1, CString().Find('a'));
  EXPECT_EQ(5, s.ReverseFind('c'));
  EXPECT_EQ(-1, s.ReverseFind('z'));
  EXPECT_EQ(2, s.FindOneOf("xc"));
  EXPECT_EQ(-1, s.FindOneOf("xyz"));
}

TEST(CStringTest, GetBufferReleaseBuffer) {
  CString s("abc");
  char* buf = s.GetBuffer(20);
  EXPECT_STREQ("abc", buf) << "keeps the content";
  strcpy(buf, "hello world");
  s.ReleaseBuffer();
  EXPECT_EQ(11, s.GetLength());
  EXPECT_STREQ("hello world", s);

  s.GetBuffer(0);
  s.ReleaseBuffer(5);
  EXPECT_STREQ("hello", s);
  EXPECT_EQ(5, s.GetLength());

  // A buffer filled to its end without a terminator stops at its capacity.
  CString full;
  memset(full.GetBuffer(8), 'x', 8);
  full.ReleaseBuffer();
  EXPECT_STREQ("xxxxxxxx", full);

  // A length beyond the buffer is cut to it.
  CString over;
  over.GetBuffer(4);
  over.ReleaseBuffer(100);
  EXPECT_LE(over.GetLength(), 4);

  CString set("abcdef");
  EXPECT_STREQ("abc", set.GetBufferSetLength(3));
  EXPECT_EQ(3, set.GetLength());
  set.GetBufferSetLength(5)[4] = 'z';
  EXPECT_EQ(5, set.GetLength());
  EXPECT_EQ('z', set[4]);
  set.FreeExtra();
  EXPECT_EQ(5, set.GetLength());
  EXPECT_EQ('z', set[4]);
  // A negative length, even on a string with room, leaves it empty.
  EXPECT_STREQ("", set.GetBufferSetLength(-1));
  EXPECT_EQ(0, set.GetLength());

  // Writing through a buffer of the empty string never touches other strings.
  CString empty;
  empty.GetBuffer(0)[0] = '\0';
  empty.ReleaseBuffer();
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_STREQ("", CString());
}

TEST(CStringTest, EmptyStringsShareOneBufferWithoutAllocation) {
  CString a, b(""), c(static_cast<const char*>(NULL)), d("x", 0), e('x', 0);
  CString f("abc");
  f.Empty();
  CString g("abc");
  g = "";
  LPCSTR shared = a;
  for (LPCSTR p : {static_cast<LPCSTR>(b), static_cast<LPCSTR>(c), static_cast<LPCSTR>(d),
                   static_cast<LPCSTR>(e), static_cast<LPCSTR>(f), static_cast<LPCSTR>(g)}) {
    EXPECT_EQ(shared, p);
  }
  EXPECT_EQ(0, a.GetLength());
  EXPECT_TRUE(f.IsEmpty());
}

TEST(CStringTest, FormatProducesTextsOfAnyLength) {
  std::string longText(100000, 'q');
  CString s;
  s.Format("[%s|%d]", longText.c_str(), -42);
  EXPECT_EQ(static_cast<int>(longText.size()) + 6, s.GetLength());
  EXPECT_EQ(std::string("[") + longText + "|-42]", std::string(s));

  s.Format("%5.2f|%-4s|%x|%c|%%|%03d", 3.14159, "ab", 255, 'Z', 7);
  EXPECT_STREQ(" 3.14|ab  |ff|Z|%|007", s);

  s.Format("");
  EXPECT_TRUE(s.IsEmpty());

  // The string itself may be an argument.
  s = "abc";
  s.Format("<%s><%s>", static_cast<LPCSTR>(s), static_cast<LPCSTR>(s));
  EXPECT_STREQ("<abc><abc>", s);
}

TEST(CStringTest, TrimAndCaseWorkByteByByteInTheCLocale) {
  const struct {
    const char* source;
    const char* trimmed;
    const char* upper;
    const char* lower;
  } cases[] = {
      {" \t\r\n\v\fAb c \n", "Ab c", " \t\r\n\v\fAB C \n", " \t\r\n\v\fab c \n"},
      {"\xA0x\xE9\xA0", "\xA0x\xE9\xA0", "\xA0X\xE9\xA0", "\xA0x\xE9\xA0"},
      {"   ", "", "   ", "   "},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    CString s(c.source);
    s.TrimLeft();
    s.TrimRight();
    EXPECT_STREQ(c.trimmed, s);
    CString upper(c.source), lower(c.source);
    upper.MakeUpper();
    lower.MakeLower();
    EXPECT_STREQ(c.upper, upper);
    EXPECT_STREQ(c.lower, lower);
  }
  CString left("  x "), right("  x ");
  left.TrimLeft();
  right.TrimRight();
  EXPECT_STREQ("x ", left);
  EXPECT_STREQ("  x", right);

  CString r("abc");
  r.MakeReverse();
  EXPECT_STREQ("cba", r);
  EXPECT_STREQ("12", CString("12ab3").SpanIncluding("0123456789"));
  EXPECT_STREQ("ab", CString("ab;cd").SpanExcluding(";,"));
  EXPECT_STREQ("ab;cd", CString("ab;cd").SpanExcluding(""));
}

TEST(CStringTest, ComparisonsAndOperators) {
  const struct {
    const char* a;
    const char* b;
    int compare;
    int noCase;
  } cases[] = {
      {"abc", "abc", 0, 0}, {"abc", "ABC", 1, 0},  {"abc", "abd", -1, -1},
      {"ab", "abc", -1, -1}, {"", "a", -1, -1},    {"_", "A", 1, -1},
      {"\xE9", "a", 1, 1},   {"Zebra", "apple", -1, 1},
  };
  for (const auto& c : cases) {
    CString a(c.a);
    EXPECT_EQ(c.compare, a.Compare(c.b)) << c.a << " vs " << c.b;
    EXPECT_EQ(c.noCase, a.CompareNoCase(c.b)) << c.a << " vs " << c.b;
    EXPECT_EQ(c.compare == 0, a == c.b);
    EXPECT_EQ(c.compare != 0, c.b != a);
    EXPECT_EQ(c.compare < 0, a < CString(c.b));
    EXPECT_EQ(c.compare > 0, c.b < a);
    EXPECT_EQ(c.compare <= 0, a <= c.b);
    EXPECT_EQ(c.compare >= 0, c.b <= a);
  }
  EXPECT_EQ(0, CString("abc").Collate("abc"));
}

TEST(CStringTest, ConcatenationAndAssignmentSurviveAliasing) {
  CString s("ab");
  s += s;
  EXPECT_STREQ("abab", s);
  s += static_cast<LPCSTR>(s) + 1;
  EXPECT_STREQ("ababbab", s);
  s = static_cast<LPCSTR>(s) + 2;
  EXPECT_STREQ("abbab", s);
  s = s;
  EXPECT_STREQ("abbab", s);
  s += '!';
  s += "";
  s += static_cast<LPCSTR>(NULL);
  EXPECT_STREQ("abbab!", s);

  EXPECT_STREQ("x-y", CString("x") + "-" + CString("y"));
  EXPECT_STREQ("-xy", '-' + CString("x") + 'y');
  EXPECT_STREQ("pre:x", "pre:" + CString("x"));

  std::string grown;
  CString appended;
  for (int i = 0; i < 5000; ++i) {
    appended += static_cast<char>('a' + i % 26);
    grown += static_cast<char>('a' + i % 26);
  }
  EXPECT_EQ(grown, std::string(appended));

  CString repeated('z', 3), counted("abcdef", 4), fromBytes(reinterpret_cast<const unsigned char*>("u"));
  EXPECT_STREQ("zzz", repeated);
  EXPECT_STREQ("abcd", counted);
  EXPECT_STREQ("u", fromBytes);
  CString copy(counted);
  copy.SetAt(0, 'X');
  copy.SetAt(99, 'Y');
  EXPECT_STREQ("Xbcd", copy);
  EXPECT_STREQ("abcd", counted) << "copies are independent";
  EXPECT_EQ('\0', copy.GetAt(-1));
  EXPECT_EQ('\0', copy[4]);
}

TEST(CStringTest, ReplaceEveryOccurrence) {
  const struct {
    const char* source;
    const char* oldText;
    const char* newText;
    int count;
    const char* result;
  } cases[] = {
      {"aaa", "a", "bb", 3, "bbbbbb"},   {"abcabc", "bc", "", 2, "aa"},
      {"aaaa", "aa", "a", 2, "aa"},      {"aaa", "aa", "x", 1, "xa"},
      {"abc", "", "x", 0, "abc"},        {"abc", "x", "y", 0, "abc"},
      {"%s and %s", "%s", "Title", 2, "Title and Title"},
      {"", "a", "b", 0, ""},             {"abc", "abc", "", 1, ""},
  };
  for (const auto& c : cases) {
    CString s(c.source);
    EXPECT_EQ(c.count, s.Replace(c.oldText, c.newText)) << c.source;
    EXPECT_STREQ(c.result, s) << c.source;
  }
  CString self("abab");
  EXPECT_EQ(2, self.Replace("b", static_cast<LPCSTR>(self)));
  EXPECT_STREQ("aababaabab", self);
}

TEST(CStringDeathTest, UnrepresentableLengthIsFatalNotCorrupting) {
  CString s("x");
  EXPECT_DEATH(s.GetBuffer(INT_MAX), "afx: fatal");
}

}  // namespace
