// A growable byte buffer: three pointers into one heap block and a grow
// step. The tokenizer collects text, names, values and comments in these
// and hands them to its callbacks, which read the pointers directly.
#pragma once

#include <afx.h>

class CTextBuffer {
 public:
  CTextBuffer();
  ~CTextBuffer();

  // Sizes the block to nSize bytes (usable capacity nSize - 1) and sets the
  // grow step (nGrowBy, or nSize / 4 when nGrowBy is not positive). Returns
  // the block; the old block (null for a fresh buffer) when nothing changes
  // or the allocation fails.
  char* Reserve(int nSize, int nGrowBy);
  // Empties the content and keeps the block.
  void Reset() { m_pCursor = m_pBegin; }
  // Widens the block by one grow step (more once it is large).
  void Grow();
  // Appends the bytes of a zero-terminated text, widening as needed; drops
  // the whole text when the buffer cannot be widened.
  void Append(LPCSTR pszText);
  // Appends nLength bytes, zero bytes included.
  void Append(const char* pBytes, int nLength);

  int GetLength() const { return static_cast<int>(m_pCursor - m_pBegin); }
  int GetCapacity() const { return static_cast<int>(m_pLimit - m_pBegin); }
  BOOL IsEmpty() const { return m_pCursor == m_pBegin; }

  // Appends one byte; drops it when the buffer is full and cannot grow.
  void AppendByte(char ch) {
    if (m_pCursor == m_pLimit) {
      Grow();
      if (m_pCursor == m_pLimit) return;
    }
    *m_pCursor++ = ch;
  }

  // Writes a zero byte at the cursor (the spare byte at m_pLimit makes room
  // for it even when the buffer is full) and returns the content as a
  // zero-terminated text; "" for a buffer without a block.
  LPCSTR Terminate() {
    if (!m_pCursor) return "";
    *m_pCursor = '\0';
    return m_pBegin;
  }

  // The usable capacity after growing a block of nCapacity usable bytes
  // holding nLength bytes so that nNeeded more bytes fit, with grow step
  // nGrowBy: the room left plus as many steps as needed. Blocks above 4 KiB
  // grow by at least half their capacity (unless that would pass the size
  // limit), so that a long run costs linear time and few copies. -1 when
  // the result (plus the spare byte) does not fit in an int.
  static int GrownCapacity(int nCapacity, int nLength, int nNeeded, int nGrowBy);

  char* m_pBegin;   // start of the block; null while no block is held
  char* m_pLimit;   // last byte of the block, always spare
  char* m_pCursor;  // where the next byte goes
  int m_nGrowBy;

 private:
  BOOL MoveTo(int nNewCapacity);

  CTextBuffer(const CTextBuffer&) = delete;
  CTextBuffer& operator=(const CTextBuffer&) = delete;
};
