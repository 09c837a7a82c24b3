// The tokenizer's byte handlers: one per state, each reading a byte (or,
// for text and comments, a run) and moving to the next state.
#include <string.h>

#include "html/ByteSearch.h"
#include "html/CHtmlTokenizer.h"
#include "html/HtmlCharRefs.h"

namespace {

bool IsQuote(char ch) { return ch == '"' || ch == '\''; }

}  // namespace

// State 0: text, up to the next "<" or "&" or the end of the chunk.
LPCSTR CHtmlTokenizer::ScanText(LPCSTR p, LPCSTR pEnd) {
  if (byte_search::ActiveForm() == byte_search::kSse2) return ScanTextIn<byte_search::Sse2Form>(p, pEnd);
  return ScanTextIn<byte_search::WordForm>(p, pEnd);
}

// State 6: comment text, up to a "-" or the ">" that ends a "<! " comment.
LPCSTR CHtmlTokenizer::ScanComment(LPCSTR p, LPCSTR pEnd) {
  if (byte_search::ActiveForm() == byte_search::kSse2) return ScanCommentIn<byte_search::Sse2Form>(p, pEnd);
  return ScanCommentIn<byte_search::WordForm>(p, pEnd);
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
  if (nLength > char_refs::kMaxCharRefName) return GiveUpCharRef(p);
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

