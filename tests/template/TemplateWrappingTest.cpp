#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExpanderTestSupport.h"

namespace {

struct WrapCase {
  UINT width;
  const char* templ;
  const char* expected;
};

std::string Wrapped(const char* templ, UINT width, CNamedValueList* vars = NULL, OutputFile* file = NULL) {
  const Expanded result = ExpandToFile(templ, vars, NULL, width, file);
  EXPECT_TRUE(result.ok) << Visible(templ);
  return result.text;
}

TEST(TemplateWrappingTest, BreaksAfterTheLastSpaceOrAtTheWidth) {
  const WrapCase cases[] = {
      {10, "aaaa bbbb cccc dddd", "aaaa bbbb \r\ncccc dddd"},
      {5, "abcdefghij", "abcde\r\nfghij"},
      {3, "abcdefgh", "abc\r\ndef\r\ngh"},
      {5, "abcd efgh", "abcd \r\nefgh"},  // the space stays at the end of its line
      {8, "aa bb cc dd ee", "aa bb \r\ncc dd ee"},
      {4, " abcdef", " abc\r\ndef"},  // a space that starts a line is no break point
      {6, "ab  cdefgh", "ab  \r\ncdefgh"},
      {10, "short\nlines\n", "short\r\nlines\r\n"},
      {1000, "no wrap at all", "no wrap at all"},
      {0xFFFFFFFFu, "the widest width", "the widest width"},
      {1, "ab c", "a\r\nb\r\n \r\nc"},
  };
  for (const WrapCase& c : cases)
    EXPECT_EQ(Visible(c.expected), Visible(Wrapped(c.templ, c.width))) << c.width << " " << c.templ;
}

// A line that fits the width is never broken because of its line end, from
// LF and from CR LF templates alike.
TEST(TemplateWrappingTest, LineEndsDoNotCountTowardTheWidth) {
  const WrapCase cases[] = {
      {10, "aaaa bbbb\ncccc", "aaaa bbbb\r\ncccc"},      // one short of the width
      {10, "aaaa bbbb\r\ncccc", "aaaa bbbb\r\ncccc"},
      {10, "aaaa bbbbb\ncccc", "aaaa bbbbb\r\ncccc"},    // exactly the width
      {10, "aaaa bbbbb\r\ncccc", "aaaa bbbbb\r\ncccc"},
      {10, "aaaabbbbbb\r\n", "aaaabbbbbb\r\n"},
      {10, "aaaa bbbbbb\r\n", "aaaa \r\nbbbbbb\r\n"},    // one past the width
      {10, "aaaabbbbbbc\n", "aaaabbbbbb\r\nc\r\n"},
      {3, "ab\rcd", "ab\r\r\ncd"},                       // a CR on its own is a byte of the line
      {4, "x\r\n\r\nabcd\r\n", "x\r\n\r\nabcd\r\n"},
  };
  for (const WrapCase& c : cases)
    EXPECT_EQ(Visible(c.expected), Visible(Wrapped(c.templ, c.width))) << c.width << " " << Visible(c.templ);
}

TEST(TemplateWrappingTest, TheLastLineObeysTheWidthToo) {
  const WrapCase cases[] = {
      {5, "abcdef", "abcde\r\nf"},
      {5, "abcdefg", "abcde\r\nfg"},
      {10, "first line\nabcd efghijk", "first line\r\nabcd \r\nefghijk"},
      {5, "abcde", "abcde"},
      {5, "abcd\r", "abcd\r"},
      {4, "abcd\r", "abcd\r\n\r"},
  };
  for (const WrapCase& c : cases)
    EXPECT_EQ(Visible(c.expected), Visible(Wrapped(c.templ, c.width))) << c.width << " " << Visible(c.templ);
}

TEST(TemplateWrappingTest, InsertedValuesWrapLikeLiteralText) {
  CNamedValueList vars;
  vars.SetValue("Long", "aaaa bbbb cccc dddd eeee");
  vars.SetValue("End", "x\r\n");
  EXPECT_EQ(Visible("Dear aaaa \r\nbbbb cccc \r\ndddd eeee\r\n"),
            Visible(Wrapped("Dear ${Long}$\n", 10, &vars)));
  EXPECT_EQ(Visible(Wrapped("Dear aaaa bbbb cccc dddd eeee\n", 10)),
            Visible(Wrapped("Dear ${Long}$\n", 10, &vars)));
  EXPECT_EQ(Visible("123456789x\r\n"), Visible(Wrapped("123456789${End}$", 10, &vars)));
}

// Deterministic pseudo-random texts of letters, spaces, CR and LF.
std::string RandomText(unsigned& seed, int length) {
  static const char alphabet[] = "abcdefgh      \r\n\n$<";
  std::string text;
  for (int i = 0; i < length; ++i) {
    seed = seed * 1103515245u + 12345u;
    text += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
  }
  return text;
}

// The same bytes, emitted one at a time: an empty variable between each pair.
// (A CR LF pair stays together: the template's own CR LF is kept as it is.)
std::string OneByteAtATime(const std::string& text) {
  std::string templ;
  for (size_t i = 0; i < text.size(); ++i) {
    templ += text[i];
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) templ += "${Nothing}$";
  }
  return templ;
}

std::string LfToCrLf(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// For any text and width: no byte is lost or added except CR LF breaks,
// every line fits the width, and how the output reaches the wrapper (all at
// once or a byte at a time) does not change the result.
TEST(TemplateWrappingTest, AnyTextWrapsIntoLinesThatFitWhicheverWayItArrives) {
  CNamedValueList vars;
  OutputFile file;
  unsigned seed = 7;
  for (int round = 0; round < 24; ++round) {
    const std::string text = RandomText(seed, 10 + round * 5);
    for (UINT width : {1u, 2u, 3u, 4u, 5u, 7u, 10u, 16u}) {
      vars.SetValue("Whole", text.c_str());
      const std::string whole = Wrapped("${Whole}$", width, &vars, &file);
      const std::string literal = Wrapped(text.c_str(), width, NULL, &file);
      const std::string bytewise = Wrapped(OneByteAtATime(text).c_str(), width, NULL, &file);
      const std::string expectedContent = WithoutCrLf(LfToCrLf(text));
      SCOPED_TRACE("width " + std::to_string(width) + " text " + Visible(text));
      EXPECT_EQ(Visible(literal), Visible(bytewise));
      EXPECT_EQ(WithoutCrLf(text), WithoutCrLf(whole));
      EXPECT_EQ(expectedContent, WithoutCrLf(literal));
      for (const std::string* out : {&whole, &literal}) {
        size_t over = FirstLineOver(*out, width);
        EXPECT_EQ(std::string::npos, over) << "line too long: " << Visible(out->substr(over, out->find('\n', over) - over));
      }
    }
  }
}

}  // namespace
