// The growable byte buffer: sizing, growth arithmetic and byte moves.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "html/CTextBuffer.h"

namespace {

std::string Content(const CTextBuffer& buffer) {
  return std::string(buffer.m_pBegin, static_cast<size_t>(buffer.GetLength()));
}

void Fill(CTextBuffer& buffer) {
  while (buffer.m_pCursor != buffer.m_pLimit) buffer.AppendByte('f');
}

TEST(TextBuffer, StartsWithoutABlock) {
  CTextBuffer buffer;
  EXPECT_EQ(buffer.m_pBegin, nullptr);
  EXPECT_EQ(buffer.m_pCursor, nullptr);
  EXPECT_EQ(buffer.m_pLimit, nullptr);
  EXPECT_EQ(buffer.m_nGrowBy, 16);
  EXPECT_TRUE(buffer.IsEmpty());
  EXPECT_STREQ(buffer.Terminate(), "");
  EXPECT_EQ(buffer.Reserve(0, 0), nullptr);
}

TEST(TextBuffer, ReserveSetsCapacityAndStep) {
  struct {
    int nSize, nStep, nExpectedStep;
  } cases[] = {{1024, 0, 256}, {10, 0, 2}, {3, 0, 1}, {64, 0, 16}, {64, 5, 5}, {1, -3, 1}};
  for (const auto& c : cases) {
    CTextBuffer buffer;
    ASSERT_NE(buffer.Reserve(c.nSize, c.nStep), nullptr);
    EXPECT_EQ(buffer.m_nGrowBy, c.nExpectedStep) << c.nSize;
    EXPECT_EQ(buffer.GetCapacity(), c.nSize - 1);
    EXPECT_TRUE(buffer.IsEmpty());
  }
}

TEST(TextBuffer, ReserveOfTheSameSizeKeepsBlockAndContent) {
  CTextBuffer buffer;
  char* pBlock = buffer.Reserve(10, 0);
  buffer.Append("abc");
  // 10 bytes give a capacity of 9, so only a request of 9 is "the same".
  EXPECT_EQ(buffer.Reserve(9, 7), pBlock);
  EXPECT_EQ(buffer.m_nGrowBy, 7);
  EXPECT_EQ(Content(buffer), "abc");
}

TEST(TextBuffer, ReserveSmallerThanTheContentCutsIt) {
  CTextBuffer buffer;
  buffer.Append("abcdefghijklmnopqrst");
  ASSERT_NE(buffer.Reserve(10, 0), nullptr);
  EXPECT_EQ(Content(buffer), "abcdefghi");
  EXPECT_EQ(buffer.m_pCursor, buffer.m_pLimit);
}

TEST(TextBuffer, ReserveOfNothingKeepsAHeldBlock) {
  CTextBuffer buffer;
  char* pBlock = buffer.Reserve(8, 0);
  buffer.Append("ab");
  EXPECT_EQ(buffer.Reserve(0, 0), pBlock);
  EXPECT_EQ(buffer.Reserve(-5, 0), pBlock);
  EXPECT_EQ(buffer.GetCapacity(), 7);
  EXPECT_EQ(Content(buffer), "ab");
}

TEST(TextBuffer, GrowWidensByOneStep) {
  CTextBuffer buffer;
  buffer.Grow();
  EXPECT_EQ(buffer.GetCapacity(), 16);
  buffer.Reserve(10, 0);
  Fill(buffer);
  buffer.Grow();
  EXPECT_EQ(buffer.GetCapacity(), 11);
  EXPECT_EQ(Content(buffer), std::string(9, 'f'));
}

TEST(TextBuffer, AppendWidensByWholeSteps) {
  CTextBuffer buffer;
  buffer.Reserve(10, 0);  // step 2
  Fill(buffer);
  buffer.Append("12345");  // room 0 + 2 + 2 + 2
  EXPECT_EQ(buffer.GetCapacity(), 9 + 6);
  EXPECT_EQ(Content(buffer), std::string(9, 'f') + "12345");

  CTextBuffer partly;
  partly.Reserve(10, 0);
  partly.Append("abcdefg");  // room 2 left
  partly.Append("hij");      // 3 > 2: room 2 + step 2
  EXPECT_EQ(partly.GetCapacity(), 7 + 4);
  EXPECT_EQ(Content(partly), "abcdefghij");
}

TEST(TextBuffer, AppendingNothingAllocatesNothing) {
  CTextBuffer buffer;
  buffer.Append("");
  buffer.Append("abc", 0);
  EXPECT_EQ(buffer.m_pBegin, nullptr);
}

TEST(TextBuffer, ResetKeepsTheBlock) {
  CTextBuffer buffer;
  buffer.Reserve(64, 0);
  buffer.Append("hello");
  char* pBlock = buffer.m_pBegin;
  buffer.Reset();
  EXPECT_TRUE(buffer.IsEmpty());
  EXPECT_EQ(buffer.GetCapacity(), 63);
  buffer.Append("x");
  EXPECT_EQ(buffer.m_pBegin, pBlock);
  EXPECT_EQ(Content(buffer), "x");
}

TEST(TextBuffer, TerminatingAFullBufferStaysInsideTheBlock) {
  CTextBuffer buffer;
  buffer.Reserve(4, 0);
  buffer.Append("abc");
  ASSERT_EQ(buffer.m_pCursor, buffer.m_pLimit);
  EXPECT_STREQ(buffer.Terminate(), "abc");
}

TEST(TextBuffer, GrowthMovesZeroBytesAndEverythingAfterThem) {
  const char bytes[] = {'a', '\0', 'b', '\0', '\0', 'c'};
  CTextBuffer buffer;
  buffer.Reserve(4, 0);
  buffer.Append(bytes, 3);
  buffer.Append(bytes + 3, 3);
  for (int i = 0; i < 40; ++i) buffer.AppendByte('\0');
  buffer.AppendByte('z');
  EXPECT_EQ(Content(buffer), std::string(bytes, 6) + std::string(40, '\0') + "z");
}

TEST(TextBuffer, AppendMayTakeItsOwnContent) {
  CTextBuffer buffer;
  buffer.Reserve(8, 0);
  buffer.Append("abcdef");
  buffer.Append(buffer.m_pBegin, buffer.GetLength());
  EXPECT_EQ(Content(buffer), "abcdefabcdef");
}

TEST(TextBuffer, GrowthIsExactUpTo4KibAndGeometricBeyond) {
  // Blocks of at most 4 KiB: the room left plus whole steps.
  EXPECT_EQ(CTextBuffer::GrownCapacity(1023, 1023, 1, 256), 1279);
  EXPECT_EQ(CTextBuffer::GrownCapacity(9, 9, 5, 2), 15);
  EXPECT_EQ(CTextBuffer::GrownCapacity(100, 90, 500, 16), 90 + 10 + 16 * 31);
  EXPECT_EQ(CTextBuffer::GrownCapacity(4095, 4095, 1, 16), 4111);
  // Larger blocks: at least half the capacity more, but never failing for
  // want of room that the steps alone would give.
  EXPECT_EQ(CTextBuffer::GrownCapacity(4096, 4096, 1, 16), 4096 + 2048);
  EXPECT_EQ(CTextBuffer::GrownCapacity(65536, 65536, 1, 16), 65536 + 32768);
  EXPECT_EQ(CTextBuffer::GrownCapacity(100000, 100000, 1000000, 256), 100000 + 1000192);
  EXPECT_EQ(CTextBuffer::GrownCapacity(0x60000000, 0x60000000, 1, 16), 0x60000000 + 16);
  // Not representable: fails like an allocation failure.
  EXPECT_EQ(CTextBuffer::GrownCapacity(0x7FFFFFF0, 0x7FFFFFF0, 1, 256), -1);
  EXPECT_EQ(CTextBuffer::GrownCapacity(1000, 1000, 0x7FFFFFFF, 256), -1);
}

TEST(TextBuffer, AppendThatCannotBeSizedDropsTheText) {
  CTextBuffer buffer;
  buffer.Reserve(8, 0x7FFFFFFF);
  buffer.Append("0123456");
  buffer.Append("789");  // would need more than 2 GiB
  EXPECT_EQ(Content(buffer), "0123456");
  buffer.Grow();
  EXPECT_EQ(buffer.GetCapacity(), 7);
}

}  // namespace
