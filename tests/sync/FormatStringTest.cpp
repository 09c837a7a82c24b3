// The library's string formatter: any length of text, formatted whole.
#include <gtest/gtest.h>

#include <string>

#include "sync/FormatString.h"

namespace {

TEST(FormatString, TextsOfEveryLengthAreFormattedWhole) {
  // Around the first buffer (256) and the next ones.
  for (size_t length : {0u, 1u, 255u, 256u, 257u, 511u, 512u, 513u, 2000u}) {
    SCOPED_TRACE(length);
    std::string text(length, 'x');
    CString result("old text");
    FormatString(result, "<%s|%d>", text.c_str(), 42);
    EXPECT_EQ(std::string(static_cast<LPCSTR>(result)), "<" + text + "|42>");
    EXPECT_EQ(static_cast<size_t>(result.GetLength()), length + 5);
  }
}

TEST(FormatString, FormatsAsPrintfDoes) {
  CString result;
  FormatString(result, "%lX (%lu) %#x LdVltlOpt_%s", 0x1FUL, 31UL, 0x24u, "Query");
  EXPECT_STREQ(result, "1F (31) 0x24 LdVltlOpt_Query");
}

}  // namespace
