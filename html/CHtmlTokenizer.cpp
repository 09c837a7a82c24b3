#include "html/CHtmlTokenizer.h"

#include <limits.h>
#include <string.h>

#include <new>

namespace {

struct CharEntity {
  unsigned char code;
  const char* name;
};

// Searched in this order: the four markup characters, then the Latin-1
// names of the codes 160 to 255 in code order.
const CharEntity kEntities[] = {
    {34, "quot"},    {38, "amp"},     {60, "lt"},      {62, "gt"},
    {160, "nbsp"},   {161, "iexcl"},  {162, "cent"},   {163, "pound"},
    {164, "curren"}, {165, "yen"},    {166, "brvbar"}, {167, "sect"},
    {168, "uml"},    {169, "copy"},   {170, "ordf"},   {171, "laquo"},
    {172, "not"},    {173, "shy"},    {174, "reg"},    {175, "macr"},
    {176, "deg"},    {177, "plusmn"}, {178, "sup2"},   {179, "sup3"},
    {180, "acute"},  {181, "micro"},  {182, "para"},   {183, "middot"},
    {184, "cedil"},  {185, "sup1"},   {186, "ordm"},   {187, "raquo"},
    {188, "frac14"}, {189, "frac12"}, {190, "frac34"}, {191, "iquest"},
    {192, "Agrave"}, {193, "Aacute"}, {194, "Acirc"},  {195, "Atilde"},
    {196, "Auml"},   {197, "Aring"},  {198, "AElig"},  {199, "Ccedil"},
    {200, "Egrave"}, {201, "Eacute"}, {202, "Ecirc"},  {203, "Euml"},
    {204, "Igrave"}, {205, "Iacute"}, {206, "Icirc"},  {207, "Iuml"},
    {208, "ETH"},    {209, "Ntilde"}, {210, "Ograve"}, {211, "Oacute"},
    {212, "Ocirc"},  {213, "Otilde"}, {214, "Ouml"},   {215, "times"},
    {216, "Oslash"}, {217, "Ugrave"}, {218, "Uacute"}, {219, "Ucirc"},
    {220, "Uuml"},   {221, "Yacute"}, {222, "THORN"},  {223, "szlig"},
    {224, "agrave"}, {225, "aacute"}, {226, "acirc"},  {227, "atilde"},
    {228, "auml"},   {229, "aring"},  {230, "aelig"},  {231, "ccedil"},
    {232, "egrave"}, {233, "eacute"}, {234, "ecirc"},  {235, "euml"},
    {236, "igrave"}, {237, "iacute"}, {238, "icirc"},  {239, "iuml"},
    {240, "eth"},    {241, "ntilde"}, {242, "ograve"}, {243, "oacute"},
    {244, "ocirc"},  {245, "otilde"}, {246, "ouml"},   {247, "divide"},
    {248, "oslash"}, {249, "ugrave"}, {250, "uacute"}, {251, "ucirc"},
    {252, "uuml"},   {253, "yacute"}, {254, "thorn"},  {255, "yuml"},
};

// The longest reference name the text state waits for before the ";".
const int kMaxCharRefName = 6;

bool IsQuote(char ch) { return ch == '"' || ch == '\''; }

// Bytes with a meaning of their own in text and in comments; runs of all
// other bytes are copied at once.
bool IsTextMarkupByte(char ch) { return ch == '<' || ch == '&' || ch == '\n' || ch == '\r'; }
bool IsCommentMarkupByte(char ch) { return ch == '-' || ch == '>' || ch == '\n' || ch == '\r'; }

// Reads a decimal number the way the runtime's atoi does (leading white
// space, an optional sign, digits up to the first non-digit, 0 without
// digits), saturating instead of overflowing.
int ParseDecimal(LPCSTR psz) {
  while (*psz == ' ' || (*psz >= '\t' && *psz <= '\r')) ++psz;
  bool bNegative = *psz == '-';
  if (*psz == '-' || *psz == '+') ++psz;
  long long value = 0;
  for (; *psz >= '0' && *psz <= '9'; ++psz) {
    value = value * 10 + (*psz - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (bNegative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Copies a buffer's content into a framework string; a zero byte becomes a
// space so that the string's text is the whole content.
void CopyToString(CString& str, const CTextBuffer& buffer) {
  int nLength = buffer.GetLength();
  char* pDest = str.GetBuffer(nLength);
  for (int i = 0; i < nLength; ++i) {
    char ch = buffer.m_pBegin[i];
    pDest[i] = ch ? ch : ' ';
  }
  str.ReleaseBuffer(nLength);
}

// Empties a string but keeps its storage for the next tag's attribute.
void EmptyKeepingStorage(CString& str) {
  str.GetBuffer(0);
  str.ReleaseBuffer(0);
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
  if (!m_text.Reserve(1024, 0) || !m_comment.Reserve(1024, 0) || !m_tagName.Reserve(64, 0) ||
      !m_attrName.Reserve(64, 0) || !m_attrValue.Reserve(1024, 0) || !m_charRef.Reserve(10, 0))
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

BOOL CHtmlTokenizer::Parse(LPCSTR pText, int nLength) {
  if (!pText || nLength < 0) return FALSE;
  LPCSTR p = pText;
  LPCSTR pEnd = pText + nLength;
  while (p < pEnd) {
    switch (m_nState) {
      case kText: p = ScanText(p, pEnd); break;
      case kTagName: p = ScanTagName(p); break;
      case kCharRef: p = ScanCharRef(p); break;
      case kEndTagName: p = ScanEndTagName(p); break;
      case kBang: p = ScanBang(p); break;
      case kBangDash: p = ScanBangDash(p); break;
      case kComment: p = ScanComment(p, pEnd); break;
      case kCommentDash: p = ScanCommentDash(p); break;
      case kCommentDashes: p = ScanCommentDashes(p); break;
      case kAttrName: p = ScanAttrName(p); break;
      case kAttrValue: p = ScanAttrValue(p); break;
      case kAfterSlash: p = ScanAfterSlash(p, pEnd); break;
      case kSkipSpace: p = SkipSpace(p); break;
      case kSkipSpaceBeforeValue: p = SkipSpaceBeforeValue(p); break;
      case kAfterAttrName: p = ScanAfterAttrName(p); break;
      default:  // stopped, or a state a host set by hand
        m_nState = kText;
        return TRUE;
    }
  }
  return TRUE;
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

char CHtmlTokenizer::DecodeCharRef(LPCSTR pszName) {
  if (!pszName) return ' ';
  if (pszName[0] == '#') {
    int n = ParseDecimal(pszName + 1);
    if (n == 9 || n == 10 || (n >= 32 && n <= 126)) return static_cast<char>(n);
    // Byte 0 would end the text early; it is a control code like the others.
    if (n >= 161 && (n & 0xFF) != 0) return static_cast<char>(n & 0xFF);
    return ' ';
  }
  for (const CharEntity& entity : kEntities)
    if (strcmp(entity.name, pszName) == 0) return static_cast<char>(entity.code);
  return ' ';
}

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
  ClearAttributes();
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
  // An attribute that cannot be stored (no name, the tag already has the
  // maximum, no memory) is discarded, so the rest of the tag reads normally.
  if (m_attrName.IsEmpty() || m_nAttrs == kMaxAttributes) {
    ResetAttribute();
    return FALSE;
  }
  CNameValuePair*& pPair = m_attrs[m_nAttrs];
  if (!pPair) {
    pPair = new (std::nothrow) CNameValuePair;
    if (!pPair) {
      ResetAttribute();
      return FALSE;
    }
    pPair->m_strName.GetBuffer(64);
    pPair->m_strName.ReleaseBuffer(0);
    pPair->m_strValue.GetBuffer(1024);
    pPair->m_strValue.ReleaseBuffer(0);
  }
  CopyToString(pPair->m_strName, m_attrName);
  CopyToString(pPair->m_strValue, m_attrValue);
  ++m_nAttrs;
  ResetAttribute();
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

// State 0: text, up to the next "<" or "&" or the end of the chunk.
LPCSTR CHtmlTokenizer::ScanText(LPCSTR p, LPCSTR pEnd) {
  while (p < pEnd) {
    // A run of ordinary bytes is copied at once.
    LPCSTR pRun = p;
    while (p < pEnd && !IsTextMarkupByte(*p)) ++p;
    if (p != pRun) {
      m_bSpaceDue = TRUE;
      m_text.Append(pRun, static_cast<int>(p - pRun));
      if (p == pEnd) break;
    }
    char ch = *p++;
    switch (ch) {
      case '\n':
        if (m_bKeepLineBreaks) m_text.AppendByte('\n');
        ++m_nLine;
        if (m_bSpaceDue) {
          m_text.AppendByte(' ');
          m_bSpaceDue = FALSE;
        }
        break;
      case '\r':
        if (m_bKeepLineBreaks) m_text.AppendByte('\r');
        break;
      case '&':
        if (!m_bDecodeCharRefs) {
          m_text.AppendByte('&');
          break;
        }
        m_nReturnState = kText;
        m_nState = kCharRef;
        m_charRef.Reset();
        FlushText(p, pEnd);
        // Due whether or not the chunk ends here.
        m_bSpaceDue = TRUE;
        return p;
      case '<':
        m_nState = kTagName;
        FlushText(p, pEnd);
        m_bSpaceDue = TRUE;
        return p;
      default:
        m_bSpaceDue = TRUE;
        m_text.AppendByte(ch);
        break;
    }
  }
  FlushText(pEnd, pEnd);
  return pEnd;
}

// State 1: after "<", the start tag's name.
LPCSTR CHtmlTokenizer::ScanTagName(LPCSTR p) {
  char ch = *p;
  if (m_tagName.IsEmpty()) {
    if (ch == '!')
      m_nState = kBang;
    else if (ch == '/')
      m_nState = kEndTagName;
    else if (ch == '>')
      m_nState = kText;
    else if (IsSpaceChar(ch)) {
      m_nReturnState = kTagName;
      m_nState = kSkipSpace;
    } else
      m_tagName.AppendByte(ch);
  } else {
    if (ch == '/')
      CloseTagWithSlash();
    else if (ch == '>')
      EmitStartTag();
    else if (IsSpaceChar(ch))
      m_nState = kAttrName;
    else
      m_tagName.AppendByte(ch);
  }
  return p + 1;
}

// A reference that is not one: "&" and the name stay in the text as
// written, and the byte is read again as text.
LPCSTR CHtmlTokenizer::GiveUpCharRef(LPCSTR p) {
  m_text.AppendByte('&');
  m_text.Append(m_charRef.m_pBegin, m_charRef.GetLength());
  m_nState = m_nReturnState;
  return p;
}

// State 2: after "&" in text, the reference name up to ";".
LPCSTR CHtmlTokenizer::ScanCharRef(LPCSTR p) {
  LPCSTR pszName = m_charRef.Terminate();
  int nLength = m_charRef.GetLength();
  if (nLength > kMaxCharRefName) return GiveUpCharRef(p);
  char ch = *p;
  if (ch == ';') {
    // A name holding a zero byte is no name of the table.
    m_chDecoded = static_cast<int>(strlen(pszName)) == nLength ? DecodeCharRef(pszName) : ' ';
    m_text.AppendByte(m_chDecoded);
    m_nState = m_nReturnState;
    return p + 1;
  }
  if (ch == '\r' || ch == '\n' || ch == '<') return GiveUpCharRef(p);
  m_charRef.AppendByte(ch);
  return p + 1;
}

// State 3: after "</", the end tag's name up to ">".
LPCSTR CHtmlTokenizer::ScanEndTagName(LPCSTR p) {
  char ch = *p;
  if (m_tagName.IsEmpty()) {
    if (!IsSpaceChar(ch)) m_tagName.AppendByte(ch);
  } else if (ch == '>') {
    EmitEndTag();
  } else {
    m_tagName.AppendByte(ch);
  }
  return p + 1;
}

// State 4: after "<!".
LPCSTR CHtmlTokenizer::ScanBang(LPCSTR p) {
  char ch = *p;
  if (ch == '-') {
    m_bBangComment = FALSE;
    m_nState = kBangDash;
  } else if (ch == '>') {
    m_nState = kText;
  } else if (IsSpaceChar(ch)) {
    m_bBangComment = TRUE;
    m_nState = kComment;
  } else {
    m_nState = kTagName;
    return p;
  }
  return p + 1;
}

// State 5: after "<!-".
LPCSTR CHtmlTokenizer::ScanBangDash(LPCSTR p) {
  char ch = *p;
  if (ch == '-') {
    m_nState = kComment;
  } else if (ch == '>') {
    m_nState = kText;
  } else {
    m_nState = kComment;
    return p;
  }
  return p + 1;
}

// State 6: comment text, up to a "-" or the ">" that ends a "<! " comment.
LPCSTR CHtmlTokenizer::ScanComment(LPCSTR p, LPCSTR pEnd) {
  while (p < pEnd) {
    LPCSTR pRun = p;
    while (p < pEnd && !IsCommentMarkupByte(*p)) ++p;
    if (p != pRun) {
      m_comment.Append(pRun, static_cast<int>(p - pRun));
      if (p == pEnd) break;
    }
    char ch = *p++;
    switch (ch) {
      case '\n':
        ++m_nLine;
        m_comment.AppendByte('\n');
        break;
      case '\r':
        break;
      case '-':
        m_nState = kCommentDash;
        m_commentDashes.Reset();
        m_commentDashes.AppendByte('-');
        return p;
      case '>':
        if (m_bBangComment) {
          EmitComment();
          m_bBangComment = FALSE;
          return p;
        }
        m_comment.AppendByte('>');
        break;
      default:
        m_comment.AppendByte(ch);
        break;
    }
  }
  return pEnd;
}

// States 7 and 8: dashes in a comment; ">" ends the comment, anything else
// makes the dashes comment text.
LPCSTR CHtmlTokenizer::ScanCommentDash(LPCSTR p) {
  char ch = *p;
  if (ch == '-') {
    m_commentDashes.AppendByte('-');
    m_nState = kCommentDashes;
  } else if (ch == '>') {
    EmitComment();
  } else {
    m_comment.Append(m_commentDashes.m_pBegin, m_commentDashes.GetLength());
    m_comment.AppendByte(ch);
    m_commentDashes.Reset();
    m_nState = kComment;
  }
  return p + 1;
}

LPCSTR CHtmlTokenizer::ScanCommentDashes(LPCSTR p) { return ScanCommentDash(p); }

// State 9: an attribute name, or the space between attributes.
LPCSTR CHtmlTokenizer::ScanAttrName(LPCSTR p) {
  char ch = *p;
  if (m_attrName.IsEmpty()) {
    if (ch == '/')
      CloseTagWithSlash();
    else if (ch == '>')
      EmitStartTag();
    else if (IsSpaceChar(ch)) {
      m_nReturnState = kAttrName;
      m_nState = kSkipSpace;
    } else
      m_attrName.AppendByte(ch);
  } else {
    if (ch == '=') {
      m_nReturnState = kAttrValue;
      m_nState = kSkipSpaceBeforeValue;
    } else if (ch == '>') {
      CommitAttribute();
      EmitStartTag();
    } else if (IsSpaceChar(ch)) {
      m_nReturnState = kAttrName;
      m_nState = kAfterAttrName;
    } else
      m_attrName.AppendByte(ch);
  }
  return p + 1;
}

// State 10: an attribute value, quoted or not.
LPCSTR CHtmlTokenizer::ScanAttrValue(LPCSTR p) {
  char ch = *p;
  if (m_attrValue.IsEmpty()) {
    if (IsQuote(ch)) {
      m_bInQuote = TRUE;
      m_chQuote = ch;
      if (m_bQuoteJustOpened) {
        CommitAttribute();
        m_nReturnState = kText;
        m_bQuoteJustOpened = FALSE;
        m_nState = kAttrName;
      } else {
        m_bQuoteJustOpened = TRUE;
      }
    } else if (ch == '>') {
      m_bQuoteJustOpened = FALSE;
      CommitAttribute();
      EmitStartTag();
    } else if (!m_bInQuote && IsSpaceChar(ch)) {
      m_nReturnState = kAttrValue;
      m_bQuoteJustOpened = FALSE;
      m_nState = kSkipSpaceBeforeValue;
    } else {
      m_attrValue.AppendByte(ch);
      m_bQuoteJustOpened = FALSE;
    }
    return p + 1;
  }

  switch (ch) {
    case '\n':
      ++m_nLine;
      if (!m_bInQuote) {
        CommitAttribute();
        m_nReturnState = kText;
        m_nState = kAttrName;
      }
      break;
    case '\r':
      break;
    case '>':
      CommitAttribute();
      EmitStartTag();
      break;
    case '\t':
    case ' ':
      if (m_bInQuote) {
        m_attrValue.AppendByte(ch);
      } else {
        CommitAttribute();
        m_nReturnState = kText;
        m_nState = kAttrName;
      }
      break;
    default:
      if (m_bInQuote && ch == m_chQuote) {
        CommitAttribute();
        m_nReturnState = kText;
        m_nState = kAttrName;
      } else {
        m_attrValue.AppendByte(ch);
      }
      break;
  }
  return p + 1;
}

// State 11: after the "/" that closed a start tag, white space and one ">"
// are skipped, also when they come in the next chunk.
LPCSTR CHtmlTokenizer::ScanAfterSlash(LPCSTR p, LPCSTR pEnd) {
  while (p < pEnd && IsSpaceChar(*p)) ++p;
  if (p == pEnd) return p;
  if (*p == '>') ++p;
  m_nState = kText;
  return p;
}

// States 12 and 13: white space, then back to the state that asked.
LPCSTR CHtmlTokenizer::SkipSpace(LPCSTR p) {
  if (IsSpaceChar(*p)) return p + 1;
  m_nState = m_nReturnState;
  m_nReturnState = kText;
  return p;
}

LPCSTR CHtmlTokenizer::SkipSpaceBeforeValue(LPCSTR p) { return SkipSpace(p); }

// State 14: white space after an attribute name: "=" starts its value,
// anything else makes it an attribute without value.
LPCSTR CHtmlTokenizer::ScanAfterAttrName(LPCSTR p) {
  char ch = *p;
  if (ch == '=') {
    m_nReturnState = kAttrValue;
    m_nState = kSkipSpaceBeforeValue;
  } else if (ch == '>') {
    CommitAttribute();
    EmitStartTag();
  } else if (!IsSpaceChar(ch)) {
    CommitAttribute();
    m_nReturnState = kText;
    m_nState = kAttrName;
    return p;
  }
  return p + 1;
}
