// The tokenizer's text rules applied to a string.
#include <gtest/gtest.h>

#include <string>

#include "html/NormalizeText.h"

namespace {

struct NormalizeCase {
  std::string input;
  std::string output;
};

TEST(NormalizeText, AppliesReferenceAndLineBreakRules) {
  const NormalizeCase cases[] = {
      {"a\n\nb", "a b"},
      {"x&lt;y", "x<y"},
      {"AT&T", "AT&T"},
      {"a&amp", "a&amp"},
      {"a&", "a"},
      {"<b>", "<b>"},
      {"\nx", " x"},
      {"a\r\nb\r\n", "a b "},
      {"&copy;&#65;&#256;&bogus;", "\xA9" "A  "},
      {"&abcdefg;", "&abcdefg;"},
      {"&am\nx", "&am x"},
      {"&am<b", "&am<b"},
      {"&\nx", "& x"},
      {"caf\xE9 \xFF", "caf\xE9 \xFF"},
      {std::string("a\0b", 3), "a b"},
      {std::string("&a\0;", 4), " "},
  };
  for (const NormalizeCase& c : cases) {
    CString text(c.input.data(), static_cast<int>(c.input.size()));
    EXPECT_TRUE(NormalizeText(text)) << c.input;
    EXPECT_EQ(std::string(text, static_cast<size_t>(text.GetLength())), c.output) << c.input;
  }
}

TEST(NormalizeText, RefusesAnEmptyString) {
  CString text;
  EXPECT_FALSE(NormalizeText(text));
  EXPECT_TRUE(text.IsEmpty());
}

TEST(NormalizeText, HandlesTextLongerThanItsFirstReservation) {
  std::string input, output;
  for (int i = 0; i < 2000; ++i) {
    input += "&#65;\n";
    output += "A ";
  }
  CString text(input.c_str());
  EXPECT_TRUE(NormalizeText(text));
  EXPECT_EQ(std::string(text), output);
}

}  // namespace
