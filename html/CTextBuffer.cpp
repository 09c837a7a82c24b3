#include "html/CTextBuffer.h"

#include <stdlib.h>
#include <string.h>

#include "html/TextBlock.h"

namespace {

// Blocks above this size grow by at least half their capacity.
const long long kLargeBlock = 4 * 1024;
const long long kMaxBlock = 0x7FFFFFFF;

char* BlockOf(char* pContent) { return pContent - text_block::kHeaderRoom; }

}  // namespace

// Blocks come from the C runtime's heap so that a growing block can be
// widened in place (or, when large, remapped) instead of copied.
char* text_block::Resize(char* pContent, int nContent) {
  int nRoom = nContent > kMinReadable ? nContent : kMinReadable;
  size_t nSize = static_cast<size_t>(kHeaderRoom) + static_cast<size_t>(nRoom);
  char* pBlock = static_cast<char*>(realloc(pContent ? BlockOf(pContent) : NULL, nSize));
  if (!pBlock) return NULL;
  char* pNewContent = pBlock + kHeaderRoom;
  // A well-formed string header; only the length changes from event to event.
  CStringData* pHeader = HeaderOf(pNewContent);
  pHeader->nRefs = 1;
  pHeader->nDataLength = 0;
  pHeader->nAllocLength = nContent - 1;
  // The spare byte is never content: kept zero, it ends the text of a
  // string lent from this block even while the content is being rewritten
  // (a sink feeding its own forwarder again).
  pNewContent[nContent - 1] = '\0';
  return pNewContent;
}

void text_block::Free(char* pContent) {
  if (pContent) free(BlockOf(pContent));
}

CTextBuffer::CTextBuffer() : m_pBegin(NULL), m_pLimit(NULL), m_pCursor(NULL), m_nGrowBy(16) {}

CTextBuffer::~CTextBuffer() { text_block::Free(m_pBegin); }

char* CTextBuffer::Reserve(int nSize, int nGrowBy) {
  if (nGrowBy > 0)
    m_nGrowBy = nGrowBy;
  else
    m_nGrowBy = nSize >= 4 ? nSize / 4 : 1;

  if (nSize == GetCapacity()) return m_pBegin;
  // A block needs at least its spare byte.
  if (nSize < 1) return m_pBegin;

  int nKeep = GetLength() < nSize - 1 ? GetLength() : nSize - 1;
  char* pBlock = text_block::Resize(m_pBegin, nSize);
  if (!pBlock) return m_pBegin;
  m_pBegin = pBlock;
  m_pCursor = pBlock + nKeep;
  m_pLimit = pBlock + nSize - 1;
  return pBlock;
}

int CTextBuffer::GrownCapacity(int nCapacity, int nLength, int nNeeded, int nGrowBy) {
  long long step = nGrowBy > 0 ? nGrowBy : 1;
  long long room = static_cast<long long>(nCapacity) - nLength;
  long long extra = room + step;
  if (extra < nNeeded) extra += (nNeeded - extra + step - 1) / step * step;
  long long capacity = nLength + extra;
  if (nCapacity + 1LL > kLargeBlock) {
    // Near the size limit the exact need is enough.
    long long geometric = nCapacity + nCapacity / 2LL;
    if (capacity < geometric && geometric + 1 <= kMaxBlock) capacity = geometric;
  }
  if (capacity + 1 > kMaxBlock) return -1;
  return static_cast<int>(capacity);
}

BOOL CTextBuffer::MoveTo(int nNewCapacity) {
  if (nNewCapacity < 0) return FALSE;
  int nLength = GetLength();
  char* pBlock = text_block::Resize(m_pBegin, nNewCapacity + 1);
  if (!pBlock) return FALSE;
  m_pBegin = pBlock;
  m_pCursor = pBlock + nLength;
  m_pLimit = pBlock + nNewCapacity;
  return TRUE;
}

void CTextBuffer::Grow() {
  // One step past a full buffer: exactly the capacity plus the step.
  int nCapacity = GetCapacity();
  MoveTo(GrownCapacity(nCapacity, nCapacity, 1, m_nGrowBy));
}

void CTextBuffer::Append(LPCSTR pszText) {
  if (pszText) {
    size_t nLength = strlen(pszText);
    if (nLength > static_cast<size_t>(kMaxBlock)) return;
    Append(pszText, static_cast<int>(nLength));
  }
}

void CTextBuffer::Append(const char* pBytes, int nLength) {
  if (nLength <= 0) return;
  if (nLength > m_pLimit - m_pCursor) {
    // The bytes may come from this buffer's own block, which moves.
    bool bOwnBytes = m_pBegin && pBytes >= m_pBegin && pBytes < m_pCursor;
    ptrdiff_t nOffset = bOwnBytes ? pBytes - m_pBegin : 0;
    if (!MoveTo(GrownCapacity(GetCapacity(), GetLength(), nLength, m_nGrowBy))) return;
    if (bOwnBytes) pBytes = m_pBegin + nOffset;
  }
  memcpy(m_pCursor, pBytes, static_cast<size_t>(nLength));
  m_pCursor += nLength;
}
