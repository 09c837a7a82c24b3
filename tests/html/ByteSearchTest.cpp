// The byte searches, every form on this machine (SSE2 where the processor
// has it): each must give what a plain reading of the bytes gives, for
// every length and hit position across the form's block boundaries, never
// reading past the end it is given.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "html/ByteSearch.h"

// The checks run the SSE2 form inline, as the library's own SSE2 code does;
// they are only run where the processor has SSE2.
#if !defined(__SSE2__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC target("sse2")
#endif

namespace {

using byte_search::PlainForm;
using byte_search::Sse2Form;
using byte_search::WordForm;

template <class Check>
void ForEachForm(Check check) {
  check(PlainForm(), "plain");
  check(WordForm(), "word");
  if (byte_search::ProcessorHasSse2()) check(Sse2Form(), "sse2");
}

// The bytes of text in a block of exactly their length, so that a read past
// the end is caught by the sanitizers of the native build.
class ExactBytes {
 public:
  explicit ExactBytes(const std::string& text) : m_bytes(text.size() ? new char[text.size()] : nullptr), m_nSize(text.size()) {
    if (m_nSize) memcpy(m_bytes, text.data(), m_nSize);
  }
  ~ExactBytes() { delete[] m_bytes; }
  const char* Begin() const { return m_bytes; }
  const char* End() const { return m_bytes + m_nSize; }

 private:
  char* m_bytes;
  size_t m_nSize;
};

// Filler with bytes that differ from the sought ones only in the high bit
// or by one, which arithmetic on words could take for them.
std::string Filler(size_t nLength) {
  const char kBytes[] = "\xBC\xA6\x8A\x8D" "=;%'\x7F\xFF" "a\x01";
  std::string text;
  for (size_t i = 0; i < nLength; ++i) text += kBytes[i % (sizeof kBytes - 1)];
  return text;
}

TEST(ByteSearch, FindAnyOfGivesTheFirstOfTheFourBytes) {
  const std::string sought = "<&\n\r";
  ForEachForm([&](auto form, const char* pszForm) {
    for (size_t nLength = 0; nLength <= 40; ++nLength) {
      for (size_t nHit = 0; nHit <= nLength; ++nHit) {
        std::string text = Filler(nLength);
        if (nHit < nLength) text[nHit] = sought[nHit % 4];
        if (nHit + 1 < nLength) text[nHit + 1] = sought[(nHit + 1) % 4];  // a second hit right after
        ExactBytes bytes(text);
        const char* pFound = byte_search::FindAnyOf<'<', '&', '\n', '\r'>(form, bytes.Begin(), bytes.End());
        EXPECT_EQ(pFound - bytes.Begin(), static_cast<ptrdiff_t>(nHit)) << pszForm << " length " << nLength;
      }
    }
    // One byte sought: the same byte given four times.
    ExactBytes one(Filler(20) + ">" + Filler(3));
    EXPECT_EQ(byte_search::FindAnyOf<'>'>(form, one.Begin(), one.End()) - one.Begin(), 20) << pszForm;
  });
}

TEST(ByteSearch, FindPairGivesTheFirstPairWithinTheEnd) {
  struct {
    std::string text;
    ptrdiff_t nFound;  // -1: none
  } cases[] = {
      {"", -1},
      {"}", -1},
      {"}$", 0},
      {Filler(30) + "}", -1},  // the pair's second byte would lie past the end
      {Filler(15) + "}x$}$", 18},
      {Filler(16) + "$}}$", 18},
      {Filler(7) + "}" + Filler(9) + "}$", 17},
      {"$$}}" + Filler(40), -1},
  };
  ForEachForm([&](auto form, const char* pszForm) {
    for (const auto& c : cases) {
      ExactBytes bytes(c.text);
      const char* pFound = byte_search::FindPair<'}', '$'>(form, bytes.Begin(), bytes.End());
      ptrdiff_t nExpected = c.nFound < 0 ? static_cast<ptrdiff_t>(c.text.size()) : c.nFound;
      EXPECT_EQ(pFound - bytes.Begin(), nExpected) << pszForm << " in " << c.text.size() << " bytes";
    }
  });
}

TEST(ByteSearch, ZeroBytesAreFoundInRunsAndInShortPrefixes) {
  ForEachForm([&](auto form, const char* pszForm) {
    for (size_t nLength = 0; nLength <= 40; ++nLength) {
      for (size_t nZero = 0; nZero <= nLength; ++nZero) {
        std::string text = Filler(nLength);
        if (nZero < nLength) text[nZero] = '\0';
        ExactBytes bytes(text);
        EXPECT_EQ(byte_search::FindZero(form, bytes.Begin(), bytes.End()) - bytes.Begin(), static_cast<ptrdiff_t>(nZero))
            << pszForm << " length " << nLength;
      }
    }
    // The first n of sixteen readable bytes; a zero right after them does not count.
    for (int nLength = 0; nLength <= 16; ++nLength) {
      for (int nZero = 0; nZero < 16; ++nZero) {
        std::string text = Filler(16);
        text[nZero] = '\0';
        EXPECT_EQ(byte_search::HasZeroInFirst(form, text.data(), nLength), nZero < nLength)
            << pszForm << " zero at " << nZero << " of " << nLength;
      }
    }
  });
}

TEST(ByteSearch, Copy16CopiesSixteenBytesAnywhere) {
  ForEachForm([&](auto form, const char* pszForm) {
    std::string source = Filler(40);
    for (size_t nFrom = 0; nFrom < 8; ++nFrom) {
      std::vector<char> dest(40, '.');
      byte_search::Copy16(form, dest.data() + 3, source.data() + nFrom);
      EXPECT_EQ(std::string(dest.data(), 40), std::string(3, '.') + source.substr(nFrom, 16) + std::string(21, '.'))
          << pszForm;
    }
  });
}

TEST(ByteSearch, SetFormNeverChoosesSse2WithoutTheProcessor) {
  byte_search::Form before = byte_search::ActiveForm();
  byte_search::SetForm(byte_search::kSse2);
  EXPECT_EQ(byte_search::ActiveForm(), byte_search::ProcessorHasSse2() ? byte_search::kSse2 : byte_search::kWord);
  byte_search::SetForm(byte_search::kPlain);
  EXPECT_EQ(byte_search::ActiveForm(), byte_search::kPlain);
  byte_search::SetForm(before);
}

}  // namespace
