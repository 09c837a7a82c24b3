#include "template/CTemplateExpander.h"

#include <limits.h>
#include <stddef.h>
#include <string.h>

#include <new>

#include "html/ByteSearch.h"
#include "template/AsciiNoCase.h"
#include "template/BlockGrowth.h"
#include "template/CExpansionSession.h"
#include "template/CNamedValueList.h"

namespace {

// Room for the session Expand makes when its caller has none; the session
// ends with the scope.
class COwnSession {
 public:
  COwnSession() : m_pSession(NULL) {}
  ~COwnSession() {
    if (m_pSession != NULL) m_pSession->~CExpansionSession();
  }
  COwnSession(const COwnSession&) = delete;
  COwnSession& operator=(const COwnSession&) = delete;
  CExpansionSession* Start(const void* pOwner, int hFile) {
    m_pSession = new (m_storage) CExpansionSession(pOwner, hFile);
    return m_pSession;
  }

 private:
  alignas(CExpansionSession) unsigned char m_storage[sizeof(CExpansionSession)];
  CExpansionSession* m_pSession;
};

const char kVariableOpen[] = "${";
const char kVariableClose[] = "}$";
const char kIfdefOpen[] = "<!--^^ifdef ";
const int kIfdefOpenLength = 12;
const char kConditionClose[] = "^^-->";
const char kEndif[] = "<!--^^endif^^-->";
const int kMarkerLength = 16;
const char kLineEnd[] = "\r\n";
// Variable names up to this long are found without a call.
const int kShortName = 64;

// The pending line starts with room for one line; beyond this it grows only
// when text needs it, so a huge width does not cost a huge block.
const UINT kMaxInitialLineSize = 64 * 1024;

const char* MarkerText(int nWhich) {
  switch (nWhich) {
    case CExpansionSession::kVariableEnd: return kVariableClose;
    case CExpansionSession::kConditionEnd: return kConditionClose;
    default: return kEndif;
  }
}

// Index of the first occurrence of pszText in the nLength bytes of pText at
// or after nFrom, or -1.
int Search(LPCSTR pText, int nLength, int nFrom, const char* pszText) {
  const int nTextLength = static_cast<int>(strlen(pszText));
  for (int i = nFrom; i <= nLength - nTextLength; ++i) {
    const void* pFirst = memchr(pText + i, pszText[0], static_cast<size_t>(nLength - nTextLength - i + 1));
    if (pFirst == NULL) return -1;
    i = static_cast<int>(static_cast<LPCSTR>(pFirst) - pText);
    if (pText[i + 1] == pszText[1] && memcmp(pText + i, pszText, static_cast<size_t>(nTextLength)) == 0)
      return i;
  }
  return -1;
}

// Length of a template, FALSE when it is too long for the expander's
// signed 32-bit positions.
bool TemplateLength(LPCSTR pszTemplate, int* pnLength) {
  const size_t nLength = pszTemplate != NULL ? strlen(pszTemplate) : 0;
  if (nLength > static_cast<size_t>(INT_MAX)) return false;
  *pnLength = static_cast<int>(nLength);
  return true;
}

// Whether the byte at p (before pEnd) ends a run: a line feed, or the "$"
// of "${" or the "<" of "<!".
inline bool EndsRun(LPCSTR p, LPCSTR pEnd) {
  const char ch = *p;
  return ch == '\n' || (pEnd - p > 1 && ((ch == '$' && p[1] == '{') || (ch == '<' && p[1] == '!')));
}

// Where a run of template bytes copied as they are ends: the first line
// feed, "${" or "<!" in [p, pEnd), or pEnd. A "$" or "<" before any other
// byte starts no marker and stays in its run. Each byte that may end a run
// is found a word at a time and then looked at.
LPCSTR FindRunEndByWords(LPCSTR p, LPCSTR pEnd) {
  for (;; ++p) {
    p = byte_search::FindAnyOf<'\n', '$', '<'>(byte_search::WordForm(), p, pEnd);
    if (p == pEnd || EndsRun(p, pEnd)) return p;
  }
}

#if defined(LDX_HAVE_SSE2_FORM)
// The same with the line feeds and both pairs matched sixteen bytes at once.
__attribute__((target("sse2"))) LPCSTR FindRunEndBySixteens(LPCSTR p, LPCSTR pEnd) {
  for (; pEnd - p > 16; p += 16) {
    const unsigned mask = byte_search::Match16<'\n'>(byte_search::Load16(p)) |
                          byte_search::MatchPair16<'$', '{'>(p) | byte_search::MatchPair16<'<', '!'>(p);
    if (mask != 0) return p + __builtin_ctz(mask);
  }
  return FindRunEndByWords(p, pEnd);
}
#endif

LPCSTR FindRunEnd(LPCSTR p, LPCSTR pEnd) {
#if defined(LDX_HAVE_SSE2_FORM)
  if (byte_search::ActiveForm() == byte_search::kSse2) return FindRunEndBySixteens(p, pEnd);
#endif
  return FindRunEndByWords(p, pEnd);
}

// The first "}$" in [p, pEnd), or pEnd.
#if defined(LDX_HAVE_SSE2_FORM)
__attribute__((target("sse2"))) LPCSTR FindVariableCloseBySixteens(LPCSTR p, LPCSTR pEnd) {
  return byte_search::FindPair<'}', '$'>(byte_search::Sse2Form(), p, pEnd);
}
#endif

LPCSTR FindVariableClose(LPCSTR p, LPCSTR pEnd) {
#if defined(LDX_HAVE_SSE2_FORM)
  if (byte_search::ActiveForm() == byte_search::kSse2) return FindVariableCloseBySixteens(p, pEnd);
#endif
  return byte_search::FindPair<'}', '$'>(byte_search::WordForm(), p, pEnd);
}

LPSTR AllocText(UINT nSize) {
  LPSTR p = static_cast<LPSTR>(AfxAllocMemory(nSize));
  if (p != NULL) p[0] = '\0';
  return p;
}

// Appends nCount bytes to the zero-terminated text of nLength bytes in the
// block rpText of rnSize bytes, growing the block first when needed.
// Returns false, changing nothing, when the block cannot grow.
bool AppendToBlock(LPSTR& rpText, UINT& rnSize, UINT nLength, LPCSTR pBytes, UINT nCount,
                   bool bSingle) {
  if (nCount == 1 && pBytes[0] == '\0') return true;  // a zero byte adds nothing to a text
  const UINT nNewSize = GrownBlockSize(rpText != NULL ? rnSize : 0, nLength, nCount, bSingle);
  if (nNewSize == 0) return false;
  if (rpText == NULL || nNewSize != rnSize) {
    LPSTR pNew = static_cast<LPSTR>(AfxAllocMemory(nNewSize));
    if (pNew == NULL) return false;
    if (rpText != NULL) memcpy(pNew, rpText, nLength);
    AfxFreeMemory(rpText);
    rpText = pNew;
    rnSize = nNewSize;
  }
  memcpy(rpText + nLength, pBytes, nCount);
  rpText[nLength + nCount] = '\0';
  return true;
}

}  // namespace

CTemplateExpander::CTemplateExpander() { InitForFile(NULL, -1, NULL, NULL); }

CTemplateExpander::~CTemplateExpander() {}

void CTemplateExpander::InitForFile(LPCSTR pszTemplate, int hFile, CNamedValueList* pVars,
                                    CNamedValueList* pMoreVars) {
  m_nWrapWidth = 0;
  m_pszTemplate = pszTemplate;
  if (!TemplateLength(pszTemplate, &m_nLength)) m_nLength = 0;
  m_nPos = 0;
  m_pVars = pVars;
  m_pMoreVars = pMoreVars;
  m_hFile = hFile;
  m_pszOut = NULL;
  m_nOutSize = 0;
  m_pszLine = NULL;
  m_nLineSize = 0;
}

void CTemplateExpander::InitForString(LPCSTR pszTemplate, LPSTR pszOut, CNamedValueList* pVars,
                                      CNamedValueList* pMoreVars) {
  InitForFile(pszTemplate, -1, pVars, pMoreVars);
  m_pszOut = pszOut;
  // At most 2 * INT_MAX + 1, which a UINT holds.
  m_nOutSize = 2u * static_cast<UINT>(m_nLength) + 1u;
}

BOOL CTemplateExpander::ExpandToString(LPCSTR pszTemplate, LPSTR* ppszOut, CNamedValueList* pVars,
                                       CNamedValueList* pMoreVars) {
  InitForString(pszTemplate, ppszOut != NULL ? *ppszOut : NULL, pVars, pMoreVars);
  // A template too long for the expander's positions was given length 0.
  const bool bTooLong = pszTemplate != NULL && m_nLength == 0 && *pszTemplate != '\0';
  if (pszTemplate == NULL || ppszOut == NULL || bTooLong) return FALSE;
  m_pszOut = AllocText(m_nOutSize);
  if (m_pszOut == NULL) return FALSE;
  bool bFailed = false;
  {
    CExpansionSession session(this, -1);
    if (m_nLength > 0) Expand();
    bFailed = session.Failed();
  }
  if (bFailed) {
    AfxFreeMemory(m_pszOut);
    m_pszOut = NULL;
    m_nOutSize = 0;
    return FALSE;
  }
  *ppszOut = m_pszOut;
  return TRUE;
}

BOOL CTemplateExpander::ExpandToFile(LPCSTR pszTemplate, int hFile, CNamedValueList* pVars,
                                     CNamedValueList* pMoreVars, UINT nWrapWidth) {
  InitForFile(pszTemplate, hFile, pVars, pMoreVars);
  m_nWrapWidth = nWrapWidth;
  int nLength = 0;
  if (hFile == -1 || pszTemplate == NULL || *pszTemplate == '\0' ||
      !TemplateLength(pszTemplate, &nLength)) {
    return FALSE;
  }
  if (nWrapWidth != 0) {
    const unsigned long long nWanted = static_cast<unsigned long long>(nWrapWidth) + 3;
    m_nLineSize = nWanted < kMaxInitialLineSize ? static_cast<UINT>(nWanted) : kMaxInitialLineSize;
    m_pszLine = AllocText(m_nLineSize);
    if (m_pszLine == NULL) {
      m_nLineSize = 0;
      return FALSE;
    }
  }
  BOOL bResult = FALSE;
  {
    CExpansionSession session(this, hFile);
    Expand();
    if (m_nWrapWidth != 0) WrapPending(&session, true);
    bResult = session.Flush() && !session.Failed();
  }
  FreeLine();
  return bResult;
}

void CTemplateExpander::FreeLine() {
  AfxFreeMemory(m_pszLine);
  m_pszLine = NULL;
  m_nLineSize = 0;
}

inline void CTemplateExpander::WriteFile(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount) {
  if (pSession != NULL && pSession->File() == m_hFile)
    pSession->Write(pBytes, nCount);
  else
    WriteToRuntimeFile(m_hFile, pBytes, nCount);
}

// Without wrapping, a piece goes straight into the output block when it has
// room, and into the file's buffer.
inline void CTemplateExpander::Put(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount) {
  if (nCount == 0) return;
  if (m_nWrapWidth != 0) {
    AppendLine(pSession, pBytes, nCount);
    WrapPending(pSession, false);
    return;
  }
  if (m_hFile != -1) WriteFile(pSession, pBytes, nCount);
  if (m_pszOut != NULL && (pSession == NULL || !pSession->AppendInPlace(m_pszOut, m_nOutSize, pBytes, nCount)))
    AppendOut(pSession, pBytes, nCount);
}

// Runs of template bytes without a marker are put out whole: a line feed
// ends a run (it becomes CR LF unless the template has the CR), and so do a
// variable and a conditional marker. A "$" or "<" that starts neither stays
// in its run, which gives the same bytes as putting it out on its own.
BOOL CTemplateExpander::Expand() {
  // A caller that drives the steps itself still gets a session, so that
  // appending stays cheap; its file output is written before Expand returns.
  COwnSession ownSession;
  CExpansionSession* pSession = CExpansionSession::Find(this);
  if (pSession == NULL) pSession = ownSession.Start(this, m_hFile);

  const LPCSTR pBegin = m_pszTemplate;
  const LPCSTR pEnd = pBegin + m_nLength;
  LPCSTR pRun = pBegin;  // the first byte not yet put out
  LPCSTR p = pBegin;
  while ((p = FindRunEnd(p, pEnd)) != pEnd) {
    const int nPos = static_cast<int>(p - pBegin);
    int nNext = nPos + 1;
    if (*p == '\n') {
      if (p != pBegin && p[-1] == '\r') {
        ++p;
        continue;
      }
      Put(pSession, pRun, static_cast<UINT>(p - pRun));
      Put(pSession, kLineEnd, 2);
    } else {
      CToken token;
      ReadToken(pSession, nPos, *p, &token);
      if (token.kind == kTextToken) {
        p = pBegin + token.nNext;
        continue;
      }
      nNext = token.nNext;
      const LPCSTR pName = pBegin + token.nName;
      UINT nValueLength = 0;
      if (token.kind == kVariableToken && token.nNameLength == 0) {
        Put(pSession, pRun, static_cast<UINT>(p + 2 - pRun));  // "${}$" gives "${"
      } else if (token.kind == kVariableToken) {
        Put(pSession, pRun, static_cast<UINT>(p - pRun));
        const CNameValuePair* pPair = FindName(pSession, pName, token.nNameLength, &nValueLength);
        if (pPair != NULL) Put(pSession, pPair->m_strValue, nValueLength);
      } else {
        if (token.kind == kIfdefToken && FindName(pSession, pName, token.nNameLength, &nValueLength) == NULL)
          nNext = SkipBlock(pSession, nNext);
        Put(pSession, pRun, static_cast<UINT>(p - pRun));
      }
    }
    pRun = p = pBegin + nNext;
  }
  Put(pSession, pRun, static_cast<UINT>(pEnd - pRun));
  m_nPos = m_nLength;
  return TRUE;
}

// The one reading of the template's grammar, for Expand and the step
// functions: what the "$" (chOpen) or "<" at nPos starts.
void CTemplateExpander::ReadToken(CExpansionSession* pSession, int nPos, char chOpen, CToken* pToken) {
  const LPCSTR p = m_pszTemplate + nPos;
  const int nLeft = m_nLength - nPos;
  pToken->kind = kTextToken;
  pToken->nName = nPos;
  pToken->nNameLength = 0;
  pToken->nNext = nPos + 1;
  if (chOpen == '$') {
    if (nLeft < 2 || p[1] != '{') return;
    pToken->nNext = nPos + 2;  // "${" without a name after it is text
    if (nLeft == 2) return;
    const int nClose = FindVariableEnd(pSession, nPos + 2);
    if (nClose < 0) return;
    pToken->kind = kVariableToken;
    pToken->nName = nPos + 2;
    pToken->nNameLength = nClose - nPos - 2;
    pToken->nNext = nClose + 2;
    return;
  }
  if (nLeft < kMarkerLength || p[1] != '!') return;
  if (EqualNoCaseN(p, kEndif, kMarkerLength)) {
    pToken->kind = kEndifToken;
    pToken->nNext = nPos + kMarkerLength;
    return;
  }
  if (memcmp(p, kIfdefOpen, kIfdefOpenLength) != 0) return;
  const int nClose = FindText(pSession, nPos + kIfdefOpenLength, CExpansionSession::kConditionEnd);
  if (nClose <= nPos + kIfdefOpenLength) return;  // never closed, or no name
  pToken->kind = kIfdefToken;
  pToken->nName = nPos + kIfdefOpenLength;
  pToken->nNameLength = nClose - pToken->nName;
  pToken->nNext = nClose + static_cast<int>(sizeof kConditionClose - 1);
}

int CTemplateExpander::FindText(CExpansionSession* pSession, int nFrom, int nWhich) {
  const CExpansionSession::Marker which = static_cast<CExpansionSession::Marker>(nWhich);
  int nFound = -1;
  if (pSession != NULL && pSession->LookupSearch(which, nFrom, &nFound)) return nFound;
  nFound = Search(m_pszTemplate, m_nLength, nFrom, MarkerText(nWhich));
  if (pSession != NULL) pSession->RememberSearch(which, nFrom, nFound);
  return nFound;
}

// The index after the first end marker (exact letter case) at or after nPos;
// nPos itself when there is none, so that the block is expanded after all.
int CTemplateExpander::SkipBlock(CExpansionSession* pSession, int nPos) {
  if (nPos < 0 || nPos >= m_nLength) return nPos;
  const int nEndif = FindText(pSession, nPos, CExpansionSession::kEndif);
  return nEndif < 0 ? nPos : nEndif + kMarkerLength;
}

const CNameValuePair* CTemplateExpander::FindName(CExpansionSession* pSession, LPCSTR pName,
                                                  int nLength, UINT* pnValueLength) {
  return pSession->Names().Find(m_pVars, m_pMoreVars, pName, nLength, m_pszTemplate + m_nLength,
                                pnValueLength);
}

// The index of the first "}$" at or after nFrom, or -1. Names are short:
// the first kShortName positions are searched here, and a longer search is
// left to FindText (which the session may answer from memory).
int CTemplateExpander::FindVariableEnd(CExpansionSession* pSession, int nFrom) {
  const LPCSTR pName = m_pszTemplate + nFrom;
  const int nWindow = m_nLength - nFrom > kShortName ? kShortName + 1 : m_nLength - nFrom;
  const LPCSTR pClose = FindVariableClose(pName, pName + nWindow);
  if (pClose != pName + nWindow) return static_cast<int>(pClose - m_pszTemplate);
  return FindText(pSession, nFrom, CExpansionSession::kVariableEnd);
}

int CTemplateExpander::ExpandVariable(int nPos) {
  if (nPos + 1 >= m_nLength) {
    PutChar('$');
    return m_nLength;
  }
  CToken token;
  ReadToken(CExpansionSession::Find(this), nPos, '$', &token);
  if (token.kind != kVariableToken) {
    PutText(token.nNext == nPos + 1 ? "$" : kVariableOpen);
  } else if (token.nNameLength == 0) {
    PutText(kVariableOpen);
  } else {
    CString strValue;
    if (LookupVariable(CString(m_pszTemplate + token.nName, token.nNameLength), strValue)) PutText(strValue);
  }
  return token.nNext;
}

int CTemplateExpander::ReadVariableName(int nPos, CString& strName) {
  strName.Empty();
  if (nPos < 0 || nPos >= m_nLength) return nPos;
  const int nClose = FindText(CExpansionSession::Find(this), nPos, CExpansionSession::kVariableEnd);
  if (nClose < 0) return nPos;
  strName = CString(m_pszTemplate + nPos, nClose - nPos);
  return nClose + 2;
}

int CTemplateExpander::ExpandMarker(int nPos) {
  CToken token;
  ReadToken(CExpansionSession::Find(this), nPos, '<', &token);
  switch (token.kind) {
    case kEndifToken:
      return token.nNext;
    case kIfdefToken:
      return IsDefined(CString(m_pszTemplate + token.nName, token.nNameLength)) ? token.nNext
                                                                                 : SkipToEndif(token.nNext);
    default:
      PutChar('<');
      return nPos + 1;
  }
}

int CTemplateExpander::ReadConditionName(int nPos, CString& strName) {
  strName.Empty();
  if (nPos < 0 || nPos >= m_nLength) return nPos;
  const int nClose = FindText(CExpansionSession::Find(this), nPos, CExpansionSession::kConditionEnd);
  if (nClose < 0) return nPos;
  strName = CString(m_pszTemplate + nPos, nClose - nPos);
  return nClose + 5;
}

int CTemplateExpander::SkipToEndif(int nPos) { return SkipBlock(CExpansionSession::Find(this), nPos); }

BOOL CTemplateExpander::LookupVariable(LPCSTR pszName, CString& strValue) const {
  strValue.Empty();
  if (m_pVars != NULL && m_pVars->Lookup(pszName, strValue)) return TRUE;
  if (m_pMoreVars != NULL && m_pMoreVars->Lookup(pszName, strValue)) return TRUE;
  return FALSE;
}

BOOL CTemplateExpander::IsDefined(LPCSTR pszName) const {
  return (m_pVars != NULL && m_pVars->Contains(pszName)) ||
         (m_pMoreVars != NULL && m_pMoreVars->Contains(pszName));
}

void CTemplateExpander::PutChar(char ch) { Put(CExpansionSession::Find(this), &ch, 1); }

void CTemplateExpander::PutText(LPCSTR pszText) {
  if (pszText != NULL && *pszText != '\0')
    Put(CExpansionSession::Find(this), pszText, static_cast<UINT>(strlen(pszText)));
}

void CTemplateExpander::WriteChar(char ch) { Emit(CExpansionSession::Find(this), &ch, 1); }

void CTemplateExpander::WriteText(LPCSTR pszText) {
  if (pszText != NULL && *pszText != '\0')
    Emit(CExpansionSession::Find(this), pszText, static_cast<UINT>(strlen(pszText)));
}

void CTemplateExpander::WriteBytes(LPCSTR pBytes, int nCount) {
  if (m_hFile != -1 && pBytes != NULL && nCount > 0)
    WriteFile(CExpansionSession::Find(this), pBytes, static_cast<UINT>(nCount));
}

void CTemplateExpander::Emit(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount) {
  if (m_hFile != -1) WriteFile(pSession, pBytes, nCount);
  if (m_pszOut != NULL) AppendOut(pSession, pBytes, nCount);
}


void CTemplateExpander::AppendOut(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount) {
  const UINT nLength = pSession != NULL ? pSession->TextLength(CExpansionSession::kOutBlock, m_pszOut)
                                        : static_cast<UINT>(strlen(m_pszOut));
  if (!AppendToBlock(m_pszOut, m_nOutSize, nLength, pBytes, nCount, nCount == 1)) {
    if (pSession != NULL) pSession->MarkFailed();
    return;
  }
  if (pSession != NULL) pSession->SetTextLength(CExpansionSession::kOutBlock, m_pszOut, nLength + nCount);
}

void CTemplateExpander::AppendLine(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount) {
  UINT nLength = 0;
  if (m_pszLine != NULL)
    nLength = pSession != NULL ? pSession->TextLength(CExpansionSession::kLineBlock, m_pszLine)
                               : static_cast<UINT>(strlen(m_pszLine));
  if (!AppendToBlock(m_pszLine, m_nLineSize, nLength, pBytes, nCount, nCount == 1)) {
    if (pSession != NULL) pSession->MarkFailed();
    return;
  }
  if (pSession != NULL) pSession->SetTextLength(CExpansionSession::kLineBlock, m_pszLine, nLength + nCount);
}

void CTemplateExpander::WrapLines() { WrapPending(CExpansionSession::Find(this), false); }

void CTemplateExpander::WriteWrappedLine(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount,
                                         bool bAddLineEnd) {
  if (m_hFile == -1) return;
  if (nCount > 0) WriteFile(pSession, pBytes, nCount);
  if (bAddLineEnd) WriteFile(pSession, kLineEnd, 2);
}

// Lines are counted in bytes; LF ends a line and a CR right before it does
// not count, so a line of exactly the width is written whole. When one more
// byte would pass the width, the line is broken after its last space (the
// space stays on the line; a space that starts the line is no break point),
// or after the width when it has none, and CR LF is added. Until it is
// known whether a line has to be broken, it stays pending: the result does
// not depend on how the output arrives. bFinal: nothing more will come, so
// every pending byte is written.
void CTemplateExpander::WrapPending(CExpansionSession* pSession, bool bFinal) {
  if (m_pszLine == NULL) return;
  const UINT nLength = pSession != NULL ? pSession->TextLength(CExpansionSession::kLineBlock, m_pszLine)
                                        : static_cast<UINT>(strlen(m_pszLine));
  const UINT nWidth = m_nWrapWidth;
  if (!bFinal && static_cast<unsigned long long>(nLength) < static_cast<unsigned long long>(nWidth) + 2)
    return;

  const LPCSTR pText = m_pszLine;
  UINT nLineStart = 0;
  UINT nCount = 0;
  bool bHaveSpace = false;
  UINT nLastSpace = 0;
  UINT i = 0;
  while (i < nLength) {
    const char ch = pText[i];
    if (ch == '\n') {
      WriteWrappedLine(pSession, pText + nLineStart, i + 1 - nLineStart, false);
      nLineStart = ++i;
      nCount = 0;
      bHaveSpace = false;
      continue;
    }
    if (ch == '\r') {
      if (i + 1 < nLength && pText[i + 1] == '\n') {
        ++i;
        continue;
      }
      if (i + 1 == nLength && !bFinal) break;  // its LF may follow
    }
    if (nWidth != 0 && nCount == nWidth) {
      const UINT nBreak = bHaveSpace ? nLastSpace : i - 1;
      WriteWrappedLine(pSession, pText + nLineStart, nBreak + 1 - nLineStart, true);
      nLineStart = i = nBreak + 1;
      nCount = 0;
      bHaveSpace = false;
      continue;
    }
    if (ch == ' ' && i != nLineStart) {
      bHaveSpace = true;
      nLastSpace = i;
    }
    ++nCount;
    ++i;
  }

  UINT nRest = nLength - nLineStart;
  if (bFinal) {
    WriteWrappedLine(pSession, pText + nLineStart, nRest, false);
    nRest = 0;
  } else if (nLineStart > 0) {
    memmove(m_pszLine, pText + nLineStart, nRest);
  }
  m_pszLine[nRest] = '\0';
  if (pSession != NULL) pSession->SetTextLength(CExpansionSession::kLineBlock, m_pszLine, nRest);
}
