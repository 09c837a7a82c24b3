#include "html/NormalizeText.h"

#include <string.h>

#include "html/CHtmlTokenizer.h"
#include "html/CTextBuffer.h"

namespace {

const int kMaxCharRefName = 6;

class CTextNormalizer {
 public:
  CTextNormalizer() : m_bInCharRef(false), m_bSpaceDue(true), m_bFailed(false) {}

  BOOL Prepare(int nLength) { return m_work.Reserve(nLength, 0) != NULL && m_name.Reserve(10, 0) != NULL; }

  void Run(const char* p, const char* pEnd) {
    while (p < pEnd) {
      if (m_bInCharRef)
        p = CharRefByte(p);
      else
        p = TextByte(p, pEnd);
    }
    if (m_bInCharRef && !m_name.IsEmpty()) AppendNameAsWritten();
  }

  // A growth failed: some bytes did not make it into the result.
  bool Failed() const { return m_bFailed; }

  // The result; a zero byte becomes a space, as sinks see it.
  void CopyTo(CString& strText) {
    int nLength = m_work.GetLength();
    char* pDest = strText.GetBuffer(nLength);
    for (int i = 0; i < nLength; ++i) pDest[i] = m_work.m_pBegin[i] ? m_work.m_pBegin[i] : ' ';
    strText.ReleaseBuffer(nLength);
  }

 private:
  const char* TextByte(const char* p, const char* pEnd) {
    char ch = *p++;
    if (ch == '\n') {
      if (m_bSpaceDue) {
        Put(' ');
        m_bSpaceDue = false;
      }
    } else if (ch == '&') {
      m_bInCharRef = true;
      m_name.Reset();
      if (p < pEnd) m_bSpaceDue = true;
    } else if (ch != '\r') {
      Put(ch);
      m_bSpaceDue = true;
    }
    return p;
  }

  const char* CharRefByte(const char* p) {
    if (m_name.GetLength() > kMaxCharRefName) return GiveUp(p);
    char ch = *p;
    if (ch == ';') {
      LPCSTR pszName = m_name.Terminate();
      bool bWholeName = static_cast<int>(strlen(pszName)) == m_name.GetLength();
      Put(bWholeName ? CHtmlTokenizer::DecodeCharRef(pszName) : ' ');
      m_bInCharRef = false;
      return p + 1;
    }
    if (ch == '\r' || ch == '\n' || ch == '<') return GiveUp(p);
    int nBefore = m_name.GetLength();
    m_name.AppendByte(ch);
    if (m_name.GetLength() == nBefore) m_bFailed = true;
    return p + 1;
  }

  // Not a reference: "&" and the name stay as written; the byte is read
  // again as text.
  const char* GiveUp(const char* p) {
    AppendNameAsWritten();
    m_bInCharRef = false;
    return p;
  }

  void AppendNameAsWritten() {
    Put('&');
    int nBefore = m_work.GetLength();
    m_work.Append(m_name.m_pBegin, m_name.GetLength());
    if (m_work.GetLength() != nBefore + m_name.GetLength()) m_bFailed = true;
  }

  void Put(char ch) {
    char* pBefore = m_work.m_pCursor;
    m_work.AppendByte(ch);
    if (m_work.m_pCursor == pBefore) m_bFailed = true;
  }

  CTextBuffer m_work;
  CTextBuffer m_name;
  bool m_bInCharRef;
  bool m_bSpaceDue;
  bool m_bFailed;
};

}  // namespace

BOOL NormalizeText(CString& strText) {
  int nLength = strText.GetLength();
  if (nLength == 0) return FALSE;
  CTextNormalizer normalizer;
  if (!normalizer.Prepare(nLength)) return FALSE;
  const char* pText = strText;
  normalizer.Run(pText, pText + nLength);
  if (normalizer.Failed()) return FALSE;
  normalizer.CopyTo(strText);
  return TRUE;
}
