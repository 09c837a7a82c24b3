// State of one running expansion that the expander's fixed member layout
// has no room for: the lengths of its output and pending texts (so that
// appending does not rescan them), a buffer that collects file output into
// large writes, the positions of the markers already searched for, the
// names already looked up, and whether the expansion has failed. A session
// belongs to one expander on one thread; the expander finds it through Find
// while it runs.
#pragma once

#include <afx.h>
#include <string.h>

#include "template/CNameCache.h"

class CExpansionSession {
 public:
  enum Marker { kVariableEnd, kConditionEnd, kEndif, kMarkerCount };
  enum Block { kOutBlock, kLineBlock, kBlockCount };

  // Opens the session of pOwner on the calling thread; file output for hFile
  // (-1: none) is collected until Flush or the session's end.
  CExpansionSession(const void* pOwner, int hFile);
  ~CExpansionSession();

  // The open session of pOwner on the calling thread, or NULL.
  static CExpansionSession* Find(const void* pOwner);

  int File() const { return m_hFile; }
  void Write(const char* pBytes, UINT nCount) {
    if (m_pBuffer != NULL && nCount <= kFileBufferSize - m_nBuffered) {
      memcpy(m_pBuffer + m_nBuffered, pBytes, nCount);
      m_nBuffered += nCount;
      return;
    }
    WriteOutOfBuffer(pBytes, nCount);
  }
  // Writes the collected output; FALSE when any write so far has failed.
  BOOL Flush();

  void MarkFailed() { m_bFailed = true; }
  bool Failed() const { return m_bFailed || m_bWriteFailed; }

  // Length of the zero-terminated text in the output or pending block
  // pText, remembered while that block stays the same.
  UINT TextLength(Block which, const char* pText) {
    CBlockLength& length = m_lengths[which];
    if (length.pBlock != pText) length = CBlockLength{pText, static_cast<UINT>(strlen(pText))};
    return length.nLength;
  }
  void SetTextLength(Block which, const char* pText, UINT nLength) {
    m_lengths[which] = CBlockLength{pText, nLength};
  }
  // Appends to the output block pText of nSize bytes when its remembered
  // text leaves room for the bytes and the terminator; false, changing
  // nothing, when the block must grow first (or is not the one remembered).
  bool AppendInPlace(char* pText, UINT nSize, const char* pBytes, UINT nCount) {
    CBlockLength& length = m_lengths[kOutBlock];
    if (length.pBlock != pText || nCount >= nSize - length.nLength) return false;
    memcpy(pText + length.nLength, pBytes, nCount);
    length.nLength += nCount;
    pText[length.nLength] = '\0';
    return true;
  }

  // The names this expansion has looked up (template bytes).
  CNameCache& Names() { return m_names; }

  // Remembered result of searching for a marker from nFrom: the first match
  // at or after nFrom is nFound (-1: none). Lookup answers for any position
  // between nFrom and nFound.
  bool LookupSearch(Marker which, int nFrom, int* pnFound) const;
  void RememberSearch(Marker which, int nFrom, int nFound);

 private:
  struct CBlockLength {
    const char* pBlock;
    UINT nLength;
  };
  struct CSearch {
    int nFrom;
    int nFound;
  };

  static const UINT kFileBufferSize = 64 * 1024;

  void WriteOutOfBuffer(const char* pBytes, UINT nCount);
  void WriteThrough(const char* pBytes, UINT nCount);

  const void* m_pOwner;
  CExpansionSession* m_pPrevious;
  int m_hFile;
  char* m_pBuffer;
  UINT m_nBuffered;
  bool m_bWriteFailed;
  bool m_bFailed;
  CBlockLength m_lengths[kBlockCount];
  CSearch m_searches[kMarkerCount];
  CNameCache m_names;

  CExpansionSession(const CExpansionSession&) = delete;
  void operator=(const CExpansionSession&) = delete;
};

// Low-level write of the whole of pBytes to a runtime file handle; FALSE when
// the runtime reports an error.
BOOL WriteToRuntimeFile(int hFile, const char* pBytes, UINT nCount);
