#include "template/CTemplateExpander.h"

#include <limits.h>
#include <string.h>

#include <optional>

#include "template/AsciiNoCase.h"
#include "template/BlockGrowth.h"
#include "template/CExpansionSession.h"
#include "template/CNamedValueList.h"

namespace {

const char kVariableOpen[] = "${";
const char kVariableClose[] = "}$";
const char kIfdefOpen[] = "<!--^^ifdef ";
const int kIfdefOpenLength = 12;
const char kConditionClose[] = "^^-->";
const char kEndif[] = "<!--^^endif^^-->";
const int kMarkerLength = 16;
const char kLineEnd[] = "\r\n";

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
    if (memcmp(pText + i, pszText, static_cast<size_t>(nTextLength)) == 0) return i;
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

bool IsSpecialTemplateByte(char ch) { return ch == '\n' || ch == '$' || ch == '<'; }

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
  int nLength = 0;
  if (pszTemplate == NULL || ppszOut == NULL || !TemplateLength(pszTemplate, &nLength)) return FALSE;
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
    if (m_nWrapWidth != 0) WrapPending(true);
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

BOOL CTemplateExpander::Expand() {
  // A caller that drives the steps itself still gets a session, so that
  // appending stays cheap; its file output is written before Expand returns.
  std::optional<CExpansionSession> ownSession;
  if (CExpansionSession::Find(this) == NULL) ownSession.emplace(this, m_hFile);

  const LPCSTR pszTemplate = m_pszTemplate;
  for (m_nPos = 0; m_nPos < m_nLength;) {
    const char ch = pszTemplate[m_nPos];
    if (ch == '\n') {
      if (m_nPos > 0 && pszTemplate[m_nPos - 1] == '\r')
        PutChar('\n');
      else
        PutText(kLineEnd);
      ++m_nPos;
    } else if (ch == '$') {
      m_nPos = ExpandVariable(m_nPos);
    } else if (ch == '<') {
      m_nPos = ExpandMarker(m_nPos);
    } else {
      // A run of ordinary bytes goes out in one piece.
      int nEnd = m_nPos + 1;
      while (nEnd < m_nLength && !IsSpecialTemplateByte(pszTemplate[nEnd])) ++nEnd;
      Put(pszTemplate + m_nPos, static_cast<UINT>(nEnd - m_nPos));
      m_nPos = nEnd;
    }
  }
  return TRUE;
}

int CTemplateExpander::FindText(int nFrom, int nWhich) {
  const CExpansionSession::Marker which = static_cast<CExpansionSession::Marker>(nWhich);
  CExpansionSession* pSession = CExpansionSession::Find(this);
  int nFound = -1;
  if (pSession != NULL && pSession->LookupSearch(which, nFrom, &nFound)) return nFound;
  nFound = Search(m_pszTemplate, m_nLength, nFrom, MarkerText(nWhich));
  if (pSession != NULL) pSession->RememberSearch(which, nFrom, nFound);
  return nFound;
}

int CTemplateExpander::ExpandVariable(int nPos) {
  if (nPos + 1 >= m_nLength) {
    PutChar('$');
    return m_nLength;
  }
  if (m_pszTemplate[nPos + 1] != '{') {
    PutChar('$');
    return nPos + 1;
  }
  CString strName;
  const int nNext = ReadVariableName(nPos + 2, strName);
  if (strName.IsEmpty()) {
    PutText(kVariableOpen);
    return nNext;
  }
  CString strValue;
  if (LookupVariable(strName, strValue)) PutText(strValue);
  return nNext;
}

int CTemplateExpander::ReadVariableName(int nPos, CString& strName) {
  strName.Empty();
  if (nPos < 0 || nPos >= m_nLength) return nPos;
  const int nClose = FindText(nPos, CExpansionSession::kVariableEnd);
  if (nClose < 0) return nPos;
  strName = CString(m_pszTemplate + nPos, nClose - nPos);
  return nClose + 2;
}

int CTemplateExpander::ExpandMarker(int nPos) {
  if (m_nLength - nPos < kMarkerLength || m_pszTemplate[nPos + 1] != '!') {
    PutChar('<');
    return nPos + 1;
  }
  const LPCSTR pMarker = m_pszTemplate + nPos;
  if (EqualNoCaseN(pMarker, kEndif, kMarkerLength)) return nPos + kMarkerLength;
  if (memcmp(pMarker, kIfdefOpen, kIfdefOpenLength) == 0) {
    CString strName;
    const int nNext = ReadConditionName(nPos + kIfdefOpenLength, strName);
    if (!strName.IsEmpty()) return IsDefined(strName) ? nNext : SkipToEndif(nNext);
  }
  PutChar('<');
  return nPos + 1;
}

int CTemplateExpander::ReadConditionName(int nPos, CString& strName) {
  strName.Empty();
  if (nPos < 0 || nPos >= m_nLength) return nPos;
  const int nClose = FindText(nPos, CExpansionSession::kConditionEnd);
  if (nClose < 0) return nPos;
  strName = CString(m_pszTemplate + nPos, nClose - nPos);
  return nClose + 5;
}

int CTemplateExpander::SkipToEndif(int nPos) {
  if (nPos < 0 || nPos >= m_nLength) return nPos;
  const int nEndif = FindText(nPos, CExpansionSession::kEndif);
  return nEndif < 0 ? nPos : nEndif + kMarkerLength;
}

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

void CTemplateExpander::PutChar(char ch) { Put(&ch, 1); }

void CTemplateExpander::PutText(LPCSTR pszText) {
  if (pszText != NULL && *pszText != '\0') Put(pszText, static_cast<UINT>(strlen(pszText)));
}

void CTemplateExpander::Put(LPCSTR pBytes, UINT nCount) {
  if (m_nWrapWidth == 0) {
    Emit(pBytes, nCount);
    return;
  }
  AppendLine(pBytes, nCount, nCount == 1);
  WrapLines();
}

void CTemplateExpander::WriteChar(char ch) { Emit(&ch, 1); }

void CTemplateExpander::WriteText(LPCSTR pszText) {
  if (pszText != NULL && *pszText != '\0') Emit(pszText, static_cast<UINT>(strlen(pszText)));
}

void CTemplateExpander::WriteBytes(LPCSTR pBytes, int nCount) {
  if (m_hFile != -1 && pBytes != NULL && nCount > 0) WriteFile(pBytes, static_cast<UINT>(nCount));
}

void CTemplateExpander::Emit(LPCSTR pBytes, UINT nCount) {
  if (m_hFile != -1) WriteFile(pBytes, nCount);
  if (m_pszOut != NULL) AppendOut(pBytes, nCount, nCount == 1);
}

void CTemplateExpander::WriteFile(LPCSTR pBytes, UINT nCount) {
  CExpansionSession* pSession = CExpansionSession::Find(this);
  if (pSession != NULL && pSession->File() == m_hFile)
    pSession->Write(pBytes, nCount);
  else
    WriteToRuntimeFile(m_hFile, pBytes, nCount);
}

void CTemplateExpander::AppendOut(LPCSTR pBytes, UINT nCount, bool bSingle) {
  CExpansionSession* pSession = CExpansionSession::Find(this);
  const UINT nLength = pSession != NULL ? pSession->TextLength(CExpansionSession::kOutBlock, m_pszOut)
                                        : static_cast<UINT>(strlen(m_pszOut));
  if (!AppendToBlock(m_pszOut, m_nOutSize, nLength, pBytes, nCount, bSingle)) {
    if (pSession != NULL) pSession->MarkFailed();
    return;
  }
  if (pSession != NULL) pSession->SetTextLength(CExpansionSession::kOutBlock, m_pszOut, nLength + nCount);
}

void CTemplateExpander::AppendLine(LPCSTR pBytes, UINT nCount, bool bSingle) {
  CExpansionSession* pSession = CExpansionSession::Find(this);
  UINT nLength = 0;
  if (m_pszLine != NULL)
    nLength = pSession != NULL ? pSession->TextLength(CExpansionSession::kLineBlock, m_pszLine)
                               : static_cast<UINT>(strlen(m_pszLine));
  if (!AppendToBlock(m_pszLine, m_nLineSize, nLength, pBytes, nCount, bSingle)) {
    if (pSession != NULL) pSession->MarkFailed();
    return;
  }
  if (pSession != NULL) pSession->SetTextLength(CExpansionSession::kLineBlock, m_pszLine, nLength + nCount);
}

void CTemplateExpander::WrapLines() { WrapPending(false); }

void CTemplateExpander::WriteWrappedLine(LPCSTR pBytes, UINT nCount, bool bAddLineEnd) {
  if (m_hFile == -1) return;
  if (nCount > 0) WriteFile(pBytes, nCount);
  if (bAddLineEnd) WriteFile(kLineEnd, 2);
}

// Lines are counted in bytes; LF ends a line and a CR right before it does
// not count, so a line of exactly the width is written whole. When one more
// byte would pass the width, the line is broken after its last space (the
// space stays on the line; a space that starts the line is no break point),
// or after the width when it has none, and CR LF is added. Until it is
// known whether a line has to be broken, it stays pending: the result does
// not depend on how the output arrives. bFinal: nothing more will come, so
// every pending byte is written.
void CTemplateExpander::WrapPending(bool bFinal) {
  if (m_pszLine == NULL) return;
  CExpansionSession* pSession = CExpansionSession::Find(this);
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
      WriteWrappedLine(pText + nLineStart, i + 1 - nLineStart, false);
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
      WriteWrappedLine(pText + nLineStart, nBreak + 1 - nLineStart, true);
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
    WriteWrappedLine(pText + nLineStart, nRest, false);
    nRest = 0;
  } else if (nLineStart > 0) {
    memmove(m_pszLine, pText + nLineStart, nRest);
  }
  m_pszLine[nRest] = '\0';
  if (pSession != NULL) pSession->SetTextLength(CExpansionSession::kLineBlock, m_pszLine, nRest);
}
