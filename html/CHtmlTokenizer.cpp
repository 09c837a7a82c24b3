// The tokenizer's life cycle, options and events. The byte handlers of the
// states are in HtmlTokenizerStates.cpp; the chunk loop and the paths that
// read whole constructs in HtmlTokenizerFastPaths.inl, compiled once per
// search form (HtmlTokenizerSse2.cpp, HtmlTokenizerWord.cpp); reference
// names and their table in HtmlCharRefs and CharRefReading.inl.
#include "html/CHtmlTokenizer.h"

#include "html/ByteSearch.h"
#include "html/HtmlCharRefs.h"
#include "html/SinkText.h"

namespace {

// Copies bytes into a framework string, reusing its storage; a zero byte
// becomes a space so that the string's text is all of them.
LDX_INLINE void CopyToString(CString& str, LPCSTR pBytes, int nLength) {
  CopySinkText(str.GetBufferSetLength(nLength), pBytes, nLength);
}

// Sizes a buffer for a new document as Reserve(nSize, 0) would, but keeps a
// block that is already large enough instead of replacing it.
BOOL PrepareBuffer(CTextBuffer& buffer, int nSize) {
  if (buffer.m_pBegin && buffer.GetCapacity() >= nSize - 1) {
    buffer.m_nGrowBy = nSize / 4;
    return TRUE;
  }
  return buffer.Reserve(nSize, 0) != NULL;
}

// Empties a string but keeps its storage for the next tag's attribute (a
// string without storage is empty already).
void EmptyKeepingStorage(CString& str) {
  if (!str.IsEmpty()) str.GetBufferSetLength(0);
}

}  // namespace

CHtmlTokenizer::CHtmlTokenizer()
    : m_nState(kText),
      m_nReturnState(kText),
      m_bInQuote(FALSE),
      m_chQuote(' '),
      m_bDecodeCharRefs(TRUE),
      m_chDecoded(0),
      m_nAttrs(0),
      m_nLine(0),
      m_bKeepLineBreaks(FALSE),
      m_bBangComment(FALSE),
      m_bSpaceDue(TRUE),
      m_bQuoteJustOpened(FALSE) {
  for (int i = 0; i < kMaxAttributes; ++i) m_attrs[i] = NULL;
}

CHtmlTokenizer::~CHtmlTokenizer() { FreeAttributes(); }

BOOL CHtmlTokenizer::Init() {
  if (!PrepareBuffer(m_text, 1024) || !PrepareBuffer(m_comment, 1024) || !PrepareBuffer(m_tagName, 64) ||
      !PrepareBuffer(m_attrName, 64) || !PrepareBuffer(m_attrValue, 1024) || !PrepareBuffer(m_charRef, 10))
    return FALSE;

  // Nothing of an earlier document carries over, apart from the
  // keep-line-breaks option. Attribute pairs are kept for reuse.
  m_text.Reset();
  m_comment.Reset();
  m_commentDashes.Reset();
  ClearAttributes();
  m_bDecodeCharRefs = TRUE;
  m_nLine = 0;
  m_bBangComment = FALSE;
  m_bSpaceDue = TRUE;
  m_bQuoteJustOpened = FALSE;
  ResetTag();
  return TRUE;
}

void CHtmlTokenizer::Finish() {
  if (m_nState == kCharRef && !m_charRef.IsEmpty()) {
    m_text.AppendByte('&');
    m_text.Append(m_charRef.m_pBegin, m_charRef.GetLength());
    m_charRef.Reset();
    m_nState = kText;
  }
  if (m_nState != kStopped && !m_text.IsEmpty()) {
    FlushText(NULL, NULL);
    m_nState = kStopped;
  }
  m_text.Reset();
  FreeAttributes();
}

// The chunk loop of the processor's search form, chosen once per process.
BOOL CHtmlTokenizer::Parse(LPCSTR pText, int nLength) {
  if (!pText || nLength < 0) return FALSE;
  if (byte_search::ActiveForm() == byte_search::kSse2) return ParseIn<byte_search::Sse2Form>(pText, pText + nLength);
  return ParseIn<byte_search::WordForm>(pText, pText + nLength);
}

BOOL CHtmlTokenizer::Parse(const CString& strText) { return Parse(strText, strText.GetLength()); }

BOOL CHtmlTokenizer::SetDecodeCharRefs(BOOL bDecode) {
  m_bDecodeCharRefs = bDecode;
  return bDecode;
}

BOOL CHtmlTokenizer::SetKeepLineBreaks(BOOL bKeep) {
  m_bKeepLineBreaks = bKeep;
  return bKeep;
}

BOOL CHtmlTokenizer::GetKeepLineBreaks() const { return m_bKeepLineBreaks; }

BOOL CHtmlTokenizer::IsSpaceChar(char ch) {
  switch (ch) {
    case '\n':
      ++m_nLine;
      return TRUE;
    case '\t':
    case '\r':
    case ' ':
      return TRUE;
    default:
      return FALSE;
  }
}

char CHtmlTokenizer::DecodeCharRef(LPCSTR pszName) { return char_refs::DecodeName(pszName); }

void CHtmlTokenizer::ResetAttribute() {
  m_attrName.Reset();
  m_attrValue.Reset();
  m_charRef.Reset();
  m_bInQuote = FALSE;
  m_chQuote = ' ';
  m_chDecoded = 0;
}

void CHtmlTokenizer::ResetTag() {
  m_nState = kText;
  m_nReturnState = kText;
  m_tagName.Reset();
  ResetAttribute();
  // Most tags have no attributes: nothing to empty then.
  if (m_nAttrs != 0) ClearAttributes();
}

void CHtmlTokenizer::ClearAttributes() {
  for (int i = 0; i < m_nAttrs; ++i) {
    EmptyKeepingStorage(m_attrs[i]->m_strName);
    EmptyKeepingStorage(m_attrs[i]->m_strValue);
  }
  m_nAttrs = 0;
}

void CHtmlTokenizer::FreeAttributes() {
  for (int i = 0; i < kMaxAttributes; ++i) {
    delete m_attrs[i];
    m_attrs[i] = NULL;
  }
  m_nAttrs = 0;
}

BOOL CHtmlTokenizer::CommitAttribute() {
  BOOL bStored = CommitAttribute(m_attrName.m_pBegin, m_attrName.GetLength(), m_attrValue.m_pBegin,
                                 m_attrValue.GetLength());
  ResetAttribute();
  return bStored;
}

// Stores an attribute given as bytes. An attribute that cannot be stored (no
// name, the tag already has the maximum, no memory) is discarded, so the
// rest of the tag reads normally.
BOOL CHtmlTokenizer::CommitAttribute(LPCSTR pName, int nName, LPCSTR pValue, int nValue) {
  if (nName == 0 || m_nAttrs == kMaxAttributes) return FALSE;
  CNameValuePair*& pPair = m_attrs[m_nAttrs];
  if (!pPair) {
    pPair = new (afxNothrow) CNameValuePair;
    if (!pPair) return FALSE;
    pPair->m_strName.GetBuffer(64);
    pPair->m_strName.ReleaseBuffer(0);
    pPair->m_strValue.GetBuffer(1024);
    pPair->m_strValue.ReleaseBuffer(0);
  }
  CopyToString(pPair->m_strName, pName, nName);
  CopyToString(pPair->m_strValue, pValue, nValue);
  ++m_nAttrs;
  return TRUE;
}

void CHtmlTokenizer::FlushText(LPCSTR pPos, LPCSTR pEnd) {
  if (!m_text.IsEmpty()) {
    BOOL bContinue = TRUE;
    OnText(&m_text, &bContinue);
    if (!bContinue) m_nState = kStopped;
  }
  m_text.Reset();
  if (pPos != pEnd) m_bSpaceDue = TRUE;
}

void CHtmlTokenizer::EmitStartTag() {
  if (m_tagName.IsEmpty()) return;
  BOOL bContinue = TRUE;
  OnStartTag(&m_tagName, m_attrs, m_nAttrs, &bContinue);
  if (m_nState == kAfterSlash) {
    EmitEndTag();
    if (m_nState == kStopped) bContinue = FALSE;
  }
  ResetTag();
  SetStateAfterEvent(bContinue);
}

void CHtmlTokenizer::EmitEndTag() {
  if (m_tagName.IsEmpty()) return;
  BOOL bContinue = TRUE;
  OnEndTag(&m_tagName, &bContinue);
  ResetTag();
  SetStateAfterEvent(bContinue);
}

void CHtmlTokenizer::EmitComment() {
  if (!m_comment.IsEmpty()) {
    BOOL bContinue = TRUE;
    OnComment(&m_comment, &bContinue);
    SetStateAfterEvent(bContinue);
  } else {
    m_nState = kText;
  }
  m_comment.Reset();
  m_commentDashes.Reset();
  m_bBangComment = FALSE;
}

// The tag name was followed by "/": report the tag and its end at once.
void CHtmlTokenizer::CloseTagWithSlash() {
  m_nState = kAfterSlash;
  EmitStartTag();
  if (m_nState != kStopped) m_nState = kAfterSlash;
}

