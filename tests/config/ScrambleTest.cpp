#include <gtest/gtest.h>

#include <string>

#include "config/Scramble.h"

namespace {

struct ScrambleCase {
  const char* plain;
  const char* scrambled;
};

// Worked out by hand: position p (from 1) rotates by p + 20 within the
// character's group.
const ScrambleCase kScrambleCases[] = {
    {"", ""},
    {"abc", "vxz"},
    {"aa", "vw"},          // the shift grows with the position
    {"z", "u"},            // wraps within a-z: 25 + 21 = 46 = 20 (mod 26)
    {"A", "V"},
    {"0", "1"},            // 21 mod 10
    {"9", "0"},
    {"123", "246"},
    {"!", "'"},            // 21 mod 15 = 6 within ! .. /
    {"/", "&"},
    {"[", "^"},            // 21 mod 6 = 3 within [ .. `
    {"{", "|"},            // 21 mod 4 = 1 within { .. ~
    {"-5", "$7"},
    {" \t:;<=>?@", " \t:;<=>?@"},  // white space and : .. @ stay as they are
    {"a b", "v y"},        // kept characters still count as positions
};

TEST(Scramble, KnownTexts) {
  for (const ScrambleCase& c : kScrambleCases) {
    CString out("untouched");
    EXPECT_TRUE(ScrambleText(c.plain, out)) << c.plain;
    EXPECT_STREQ(c.scrambled, out) << c.plain;
    EXPECT_TRUE(UnscrambleText(c.scrambled, out)) << c.scrambled;
    EXPECT_STREQ(c.plain, out) << c.scrambled;
  }
}

// Every accepted byte at many positions (the text is long enough that each
// group's full cycle of shifts is met) scrambles into a text of the same
// length that unscrambles back exactly.
TEST(Scramble, RoundTripsEveryAcceptedByteAtEveryShift) {
  std::string text;
  for (int repeat = 0; repeat < 30; ++repeat) {
    for (int c = 1; c < 128; ++c) {
      bool accepted = (c >= 32 && c < 127) || (c >= '\t' && c <= '\r');
      if (accepted) text += static_cast<char>(c);
    }
  }
  CString scrambled, back;
  ASSERT_TRUE(ScrambleText(text.c_str(), scrambled));
  ASSERT_EQ(static_cast<int>(text.size()), scrambled.GetLength());
  EXPECT_NE(text, std::string(scrambled));
  ASSERT_TRUE(UnscrambleText(scrambled, back));
  EXPECT_EQ(text, std::string(back));
  // Unscrambling is a bijection too: scrambling its result gives the input.
  ASSERT_TRUE(UnscrambleText(text.c_str(), back));
  ASSERT_TRUE(ScrambleText(back, scrambled));
  EXPECT_EQ(text, std::string(scrambled));
}

TEST(Scramble, RefusesHighBytesControlCharactersAndNull) {
  std::string refused;
  for (int c = 128; c < 256; ++c) refused += static_cast<char>(c);
  for (int c = 1; c < 32; ++c)
    if (c < '\t' || c > '\r') refused += static_cast<char>(c);
  refused += '\x7f';
  for (char bad : refused) {
    std::string text = std::string("ab") + bad + "cd";
    CString out("untouched");
    EXPECT_FALSE(ScrambleText(text.c_str(), out)) << static_cast<int>(static_cast<unsigned char>(bad));
    EXPECT_FALSE(UnscrambleText(text.c_str(), out)) << static_cast<int>(static_cast<unsigned char>(bad));
    EXPECT_STREQ("untouched", out);
  }
  CString out("untouched");
  EXPECT_FALSE(ScrambleText(NULL, out));
  EXPECT_FALSE(UnscrambleText(NULL, out));
  EXPECT_STREQ("untouched", out);
}

TEST(Scramble, OutputMayBeTheSourceString) {
  CString text("abc");
  ASSERT_TRUE(ScrambleText(text, text));
  EXPECT_STREQ("vxz", text);
  ASSERT_TRUE(UnscrambleText(text, text));
  EXPECT_STREQ("abc", text);
}

}  // namespace
