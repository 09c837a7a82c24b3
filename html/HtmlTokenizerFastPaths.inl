// The tokenizer's chunk loop and its whole-construct paths, written once
// for every search form. Each file that includes this compiles it for one
// form (HtmlTokenizerSse2.cpp, HtmlTokenizerWord.cpp); the functions local
// to it stay local to that file.
//
// Whole-construct paths read what lies complete inside the chunk; each
// gives the same events, state and line count as the byte handlers would.

namespace {

bool IsQuote(char ch) { return ch == '"' || ch == '\''; }

bool IsWhiteSpace(char ch) { return ch == ' ' || ch == '\n' || ch == '\t' || ch == '\r'; }

// White space inside markup, as the skipping states read it.
LDX_INLINE LPCSTR SkipSpaceCountingLines(LPCSTR p, LPCSTR pEnd, int& nLine) {
  for (; p < pEnd && IsWhiteSpace(*p); ++p)
    if (*p == '\n') ++nLine;
  return p;
}

template <class Form>
LDX_INLINE LPCSTR FindGreaterThan(LPCSTR p, LPCSTR pEnd) {
  return byte_search::FindAnyOf<'>'>(Form(), p, pEnd);
}

// Appends a run of bytes that may be read up to pReadable. Most names and
// text pieces between tags are short: those that fit are copied in place,
// sixteen bytes at once when that many may be read and written.
template <class Form>
LDX_INLINE void AppendRun(CTextBuffer& buffer, LPCSTR p, int nLength, LPCSTR pReadable) {
  if (nLength <= 16 && pReadable - p >= 16 && buffer.m_pLimit - buffer.m_pCursor >= 16) {
    byte_search::Copy16(Form(), buffer.m_pCursor, p);
    buffer.m_pCursor += nLength;
    return;
  }
  if (nLength <= 16 && nLength <= buffer.m_pLimit - buffer.m_pCursor) {
    for (int i = 0; i < nLength; ++i) buffer.m_pCursor[i] = p[i];
    buffer.m_pCursor += nLength;
  } else {
    buffer.Append(p, nLength);
  }
}

// Bytes with a meaning of their own in text and in comments.
template <class Form>
LDX_INLINE LPCSTR FindTextMarkupByte(LPCSTR p, LPCSTR pEnd) {
  return byte_search::FindAnyOf<'<', '&', '\n', '\r'>(Form(), p, pEnd);
}

template <class Form>
LDX_INLINE LPCSTR FindCommentMarkupByte(LPCSTR p, LPCSTR pEnd) {
  return byte_search::FindAnyOf<'-', '>', '\n', '\r'>(Form(), p, pEnd);
}

#if defined(LDX_HAVE_SSE2_FORM)
// Of sixteen bytes as read, those with a meaning in text.
LDX_SSE2_INLINE unsigned FindTextMarkupMask(__m128i bytes) { return byte_search::Match16<'<', '&', '\n', '\r'>(bytes); }

// The first sixteen bytes of a text run at p, searched and copied with a
// single load when both sides have room: the copy may run past the run,
// and the cursor then takes only the run. Returns where the run ends, or
// NULL when the sixteen bytes hold none of its end (then p is past them).
LDX_SSE2_INLINE LPCSTR CopyFirstSixteen(byte_search::Sse2Form, CTextBuffer& buffer, LPCSTR& p, LPCSTR pEnd) {
  if (pEnd - p >= 16 && buffer.m_pLimit - buffer.m_pCursor >= 16) {
    __m128i bytes = byte_search::Load16(p);
    byte_search::Store16(buffer.m_pCursor, bytes);
    unsigned mask = FindTextMarkupMask(bytes);
    if (mask) {
      int nRun = __builtin_ctz(mask);
      buffer.m_pCursor += nRun;
      return p + nRun;
    }
    buffer.m_pCursor += 16;
    p += 16;
  }
  return NULL;
}
#endif

LDX_INLINE LPCSTR CopyFirstSixteen(byte_search::WordForm, CTextBuffer&, LPCSTR&, LPCSTR) { return NULL; }

// Appends the text from p up to its next byte with a meaning and returns
// where that byte is (or pEnd). A run longer than sixteen bytes is searched
// to its end first and then copied at once, which is faster for long text
// than copying as it is searched.
template <class Form>
LDX_INLINE LPCSTR CopyTextRun(CTextBuffer& buffer, LPCSTR p, LPCSTR pEnd) {
  if (LPCSTR pStop = CopyFirstSixteen(Form(), buffer, p, pEnd)) return pStop;
  LPCSTR pRun = p;
  p = FindTextMarkupByte<Form>(p, pEnd);
  AppendRun<Form>(buffer, pRun, static_cast<int>(p - pRun), pEnd);
  return p;
}

// Byte classes of tag names, attribute names and values: where a run of
// name or value bytes ends.
enum {
  kEndsTagName = 1,     // "/", ">" and white space
  kEndsAttrName = 2,    // "=", ">" and white space
  kEndsBareValue = 4,   // ">", white space (CR is dropped from the value)
};

struct ByteClasses {
  unsigned char m_classes[256];
  // Built by the compiler: this file runs no code before the form is chosen.
  constexpr ByteClasses() : m_classes() {
    const unsigned char kAll = kEndsTagName | kEndsAttrName | kEndsBareValue;
    m_classes[static_cast<unsigned char>(' ')] = kAll;
    m_classes[static_cast<unsigned char>('\t')] = kAll;
    m_classes[static_cast<unsigned char>('\n')] = kAll;
    m_classes[static_cast<unsigned char>('\r')] = kAll;
    m_classes[static_cast<unsigned char>('>')] = kAll;
    m_classes[static_cast<unsigned char>('/')] = kEndsTagName;
    m_classes[static_cast<unsigned char>('=')] = kEndsAttrName;
  }
  bool Is(char ch, int nClass) const { return (m_classes[static_cast<unsigned char>(ch)] & nClass) != 0; }
};

constexpr ByteClasses g_byteClasses;

LPCSTR SkipUntil(LPCSTR p, LPCSTR pEnd, int nClass) {
  while (p < pEnd && !g_byteClasses.Is(*p, nClass)) ++p;
  return p;
}

// Where an attribute value's current run stops: at its closing quote, CR
// or LF when quoted (chQuote), at white space when not; at pEnd at most.
template <class Form>
LPCSTR FindValueStop(LPCSTR p, LPCSTR pEnd, char chQuote) {
  if (chQuote == '"') return byte_search::FindAnyOf<'"', '\n', '\r'>(Form(), p, pEnd);
  if (chQuote == '\'') return byte_search::FindAnyOf<'\'', '\n', '\r'>(Form(), p, pEnd);
  return SkipUntil(p, pEnd, kEndsBareValue);
}

#if defined(LDX_HAVE_SSE2_FORM)
// ScanCharRefAndRun reads a reference and the text after it within this
// many bytes from the name's start. It reads up to kRefAndRunReadable
// bytes: the window, and the text copied as two pieces of sixteen bytes
// from at most kMaxCharRefName + 1 bytes in.
enum { kRefAndRunWindow = 32, kRefAndRunReadable = kMaxCharRefName + 1 + kRefAndRunWindow };
#endif

}  // namespace

template <class Form>
BOOL CHtmlTokenizer::ParseIn(LPCSTR p, LPCSTR pEnd) {
  LPCSTR pClose = NULL;
  LPCSTR pDone;
  while (p < pEnd) {
    switch (m_nState) {
      case kText:
        // Text is mostly followed by a tag complete in the chunk, and that
        // by text again: they are read in turn without the dispatch.
        for (p = ScanTextIn<Form>(p, pEnd); m_nState == kTagName && p < pEnd && m_tagName.IsEmpty();
             p = ScanTextIn<Form>(p, pEnd)) {
          pDone = ScanTagAtOnce<Form>(p, pEnd, pClose);
          if (!pDone) break;
          p = pDone;
          if (m_nState != kText || p == pEnd) break;
        }
        break;
      case kTagName:
        pDone = m_tagName.IsEmpty() ? ScanTagAtOnce<Form>(p, pEnd, pClose) : NULL;
        p = pDone ? pDone : ScanTagName(p);
        break;
      case kCharRef:
        pDone = m_charRef.IsEmpty() ? ScanCharRefAtOnce<Form>(p, pEnd) : NULL;
        p = pDone ? pDone : ScanCharRef(p);
        break;
      case kEndTagName:
        pDone = m_tagName.IsEmpty() ? ScanEndTagAtOnce<Form>(p, pEnd) : NULL;
        p = pDone ? pDone : ScanEndTagName(p);
        break;
      case kBang: p = ScanBang(p); break;
      case kBangDash: p = ScanBangDash(p); break;
      case kComment: p = ScanCommentIn<Form>(p, pEnd); break;
      case kCommentDash: p = ScanCommentDash(p); break;
      case kCommentDashes: p = ScanCommentDashes(p); break;
      case kAttrName: p = ScanAttrName(p); break;
      case kAttrValue: p = m_attrValue.IsEmpty() ? ScanAttrValue(p) : ScanAttrValueRun<Form>(p, pEnd); break;
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

// Reports the text gathered so far, if any, and empties the buffer.
template <class Form>
LDX_INLINE void CHtmlTokenizer::DeliverTextIn() {
  if (!m_text.IsEmpty()) {
    BOOL bContinue = TRUE;
    OnText(&m_text, &bContinue);
    if (!bContinue) m_nState = kStopped;
  }
  m_text.Reset();
}

// State 0: text, up to the next "<" or "&" or the end of the chunk.
template <class Form>
LPCSTR CHtmlTokenizer::ScanTextIn(LPCSTR p, LPCSTR pEnd) {
  bool bAtMarkup = false;  // p is at a byte with a meaning, the text before it copied
  while (p < pEnd) {
    // A run of ordinary bytes is copied at once; an empty one (bytes with
    // a meaning side by side) is copied too, as testing for it would cost
    // a branch that text dense with references cannot predict.
    if (!bAtMarkup) {
      LPCSTR pRun = p;
      p = CopyTextRun<Form>(m_text, p, pEnd);
      m_bSpaceDue |= static_cast<BOOL>(p != pRun);
      if (p == pEnd) break;
    }
    bAtMarkup = false;
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
        DeliverTextIn<Form>();
        // Due whether or not the chunk ends here.
        m_bSpaceDue = TRUE;
        if (m_nState == kStopped) return p;
        if constexpr (Form::kSixteen) {
          LPCSTR pMarkup = ScanCharRefAndRun<Form>(p, pEnd);
          if (pMarkup) {
            p = pMarkup;
            bAtMarkup = true;
            break;
          }
        }
        // A reference decided inside the chunk is read here and the text
        // goes on; one cut by the chunk end is left to the byte handler. A
        // byte decoded at the very end stays pending for the next chunk.
        {
          LPCSTR pAfter = ScanCharRefAtOnce<Form>(p, pEnd);
          if (!pAfter || pAfter == pEnd) return pAfter ? pAfter : p;
          p = pAfter;
        }
        break;
      case '<':
        m_nState = kTagName;
        DeliverTextIn<Form>();
        m_bSpaceDue = TRUE;
        return p;
      default:
        m_bSpaceDue = TRUE;
        m_text.AppendByte(ch);
        break;
    }
  }
  DeliverTextIn<Form>();
  return pEnd;
}

// State 6: comment text, up to a "-" or the ">" that ends a "<! " comment.
template <class Form>
LPCSTR CHtmlTokenizer::ScanCommentIn(LPCSTR p, LPCSTR pEnd) {
  while (p < pEnd) {
    LPCSTR pRun = p;
    p = FindCommentMarkupByte<Form>(p, pEnd);
    if (p != pRun) {
      AppendRun<Form>(m_comment, pRun, static_cast<int>(p - pRun), pEnd);
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

// A start tag from the byte after "<" (state 1, no name yet) when its ">"
// lies in the chunk. "!" and "/" hand over to the comment and end tag
// states.
template <class Form>
LPCSTR CHtmlTokenizer::ScanTagAtOnce(LPCSTR p, LPCSTR pEnd, LPCSTR& pClose) {
  if (!pClose || pClose < p) {
    pClose = FindGreaterThan<Form>(p, pEnd);
  }
  if (pClose == pEnd) return NULL;

  p = SkipSpaceCountingLines(p, pClose, m_nLine);
  if (p == pClose) {  // "<>": nothing to report
    m_nState = kText;
    return p + 1;
  }
  if (*p == '!') {
    m_nState = kBang;
    return p + 1;
  }
  if (*p == '/') {
    m_nState = kEndTagName;
    return ScanEndTagBeforeClose<Form>(p + 1, pClose, pEnd);
  }
  LPCSTR pName = p;
  p = SkipUntil(p, pClose, kEndsTagName);
  AppendRun<Form>(m_tagName, pName, static_cast<int>(p - pName), pEnd);
  // The name ends at ">", "/" or white space: each is where attributes may begin.
  return ScanAttributesAtOnce<Form>(p, pClose);
}

// States 9, 14, 13 and 10 up to the ">" at pClose (or a closing "/").
template <class Form>
LPCSTR CHtmlTokenizer::ScanAttributesAtOnce(LPCSTR p, LPCSTR pClose) {
  for (;;) {
    p = SkipSpaceCountingLines(p, pClose, m_nLine);
    if (p == pClose) {
      EmitStartTag();
      return p + 1;
    }
    if (*p == '/') {
      CloseTagWithSlash();
      return p + 1;
    }
    // The name's first byte may be anything else, "=" included.
    LPCSTR pName = p;
    p = SkipUntil(p + 1, pClose, kEndsAttrName);
    int nName = static_cast<int>(p - pName);
    p = SkipSpaceCountingLines(p, pClose, m_nLine);
    if (p == pClose || *p != '=') {
      // An attribute without value; the byte after it starts the next one.
      CommitAttribute(pName, nName, p, 0);
      continue;
    }
    // After "=": white space, then opening quotes (a second quote right
    // after the first ends an empty value).
    char chQuote = 0;
    for (p = SkipSpaceCountingLines(p + 1, pClose, m_nLine); p < pClose; ++p) {
      if (IsQuote(*p)) {
        if (chQuote) break;
        chQuote = *p;
      } else if (!chQuote && IsWhiteSpace(*p)) {
        if (*p == '\n') ++m_nLine;
      } else {
        break;
      }
    }
    if (p == pClose || IsQuote(*p)) {
      CommitAttribute(pName, nName, p, 0);
      if (p < pClose) ++p;
      continue;
    }
    p = ScanValueAtOnce<Form>(pName, nName, p, pClose, chQuote);
  }
}

// State 10 from a value's first byte, which is taken as it is; chQuote is
// the opening quote or 0. After the first byte CR is dropped, LF is dropped
// inside quotes and ends a value without them, as do TAB and space. Stores
// the attribute and returns where state 9 goes on (pClose when the tag ends
// with the value).
template <class Form>
LPCSTR CHtmlTokenizer::ScanValueAtOnce(LPCSTR pName, int nName, LPCSTR p, LPCSTR pClose, char chQuote) {
  LPCSTR pRun = p++;
  bool bGathered = false;  // a dropped byte made the value non-contiguous
  for (;;) {
    p = FindValueStop<Form>(p, pClose, chQuote);
    bool bDropped = p < pClose && (*p == '\r' || (*p == '\n' && chQuote));
    if (!bDropped && !bGathered) break;
    if (!bGathered) m_attrValue.Reset();
    bGathered = true;
    m_attrValue.Append(pRun, static_cast<int>(p - pRun));
    if (!bDropped) break;
    if (*p == '\n') ++m_nLine;
    pRun = ++p;
  }
  if (bGathered) {
    CommitAttribute(pName, nName, m_attrValue.m_pBegin, m_attrValue.GetLength());
    m_attrValue.Reset();
  } else {
    CommitAttribute(pName, nName, pRun, static_cast<int>(p - pRun));
  }
  if (p == pClose) return p;
  if (*p == '\n') ++m_nLine;
  return p + 1;  // the closing quote, or the white space after a bare value
}

// State 3 from the byte after "</" (no name yet). The name's first byte
// may be ">"; the name then runs to the next ">". Without that ">" in the
// chunk the name so far is kept and the end tag state goes on in the next.
template <class Form>
LPCSTR CHtmlTokenizer::ScanEndTagAtOnce(LPCSTR p, LPCSTR pEnd) {
  p = SkipSpaceCountingLines(p, pEnd, m_nLine);
  if (p == pEnd) return p;
  LPCSTR pClose = FindGreaterThan<Form>(p + 1, pEnd);
  AppendRun<Form>(m_tagName, p, static_cast<int>(pClose - p), pEnd);
  if (pClose == pEnd) return pEnd;
  EmitEndTag();
  return pClose + 1;
}

// State 3 from the byte after "</" when the first ">" after the "<" is at
// pClose (before pEnd): the name runs from the first byte that is not
// white space up to pClose. Only when that byte is the ">" itself (it then
// starts the name) is the rest left to the end tag state.
template <class Form>
LPCSTR CHtmlTokenizer::ScanEndTagBeforeClose(LPCSTR p, LPCSTR pClose, LPCSTR pEnd) {
  p = SkipSpaceCountingLines(p, pClose, m_nLine);
  if (p == pClose) return p;
  AppendRun<Form>(m_tagName, p, static_cast<int>(pClose - p), pEnd);
  EmitEndTag();
  return pClose + 1;
}

#if defined(LDX_HAVE_SSE2_FORM)
// With sixteen-byte searches only: the usual reference at p (after "&")
// and the text after it up to the next byte with a meaning, when both lie
// within kRefAndRunWindow bytes: the decoded byte and the text are
// appended and that byte's position is returned. NULL for anything else,
// which is left to ScanCharRefAtOnce.
//
// In text dense with references, each reference's position depends on the
// previous one's through a chain of loads, searches and bit counts, and
// that chain, not the work beside it, sets the pace. Reading the name and
// the text after it from one load, the next position costs one search
// instead of two in a row; the decoding and the copy stay off the chain.
template <class Form>
LDX_INLINE LPCSTR CHtmlTokenizer::ScanCharRefAndRun(LPCSTR p, LPCSTR pEnd) {
  if (pEnd - p < kRefAndRunReadable || m_text.m_pLimit - m_text.m_pCursor < kRefAndRunWindow + 1) return NULL;
  __m128i low = byte_search::Load16(p);
  __m128i high = byte_search::Load16(p + 16);
  unsigned semicolons;
  unsigned stops = FindNameStopMask(low, semicolons);
  unsigned markup = FindTextMarkupMask(low) | (FindTextMarkupMask(high) << 16);
  // The bytes with a meaning past the first stop (x ^ -x keeps the bits
  // above x's lowest one): the fewest dependent steps to the next position.
  unsigned after = markup & (stops ^ (0U - stops));
  unsigned firstStop = stops & (0U - stops);
  if (!(firstStop & semicolons & 0x7FU) || !after) return NULL;
  int nLength = __builtin_ctz(firstStop);
  unsigned long long key = ReadNameKey(p, nLength);
  if (char_refs::IsNumberAfterBlankOrSign(key)) return NULL;
  char chDecoded = DecodeNameAt(p, key);
  LPCSTR pRun = p + nLength + 1;
  LPCSTR pMarkup = p + __builtin_ctz(after);
  // The run is shorter than the window: two copies of sixteen bytes hold it.
  char* pCursor = m_text.m_pCursor;
  pCursor[0] = chDecoded;
  byte_search::Copy16(Form(), pCursor + 1, pRun);
  byte_search::Copy16(Form(), pCursor + 17, pRun + 16);
  m_text.m_pCursor = pCursor + 1 + (pMarkup - pRun);
  m_chDecoded = chDecoded;
  m_nState = m_nReturnState;
  return pMarkup;
}
#endif

// State 2 from the byte after "&" (no name yet) when the reference is
// decided inside the chunk: by ";", by a byte that ends it, or by a name
// longer than any the table holds.
template <class Form>
LPCSTR CHtmlTokenizer::ScanCharRefAtOnce(LPCSTR p, LPCSTR pEnd) {
  CharRefName name;
  if (!FindCharRefName<Form>(p, pEnd, name)) return NULL;
  m_nState = m_nReturnState;
  if (name.nLength <= kMaxCharRefName && p[name.nLength] == ';') {
    // A name holding a zero byte is no name of the table.
    m_chDecoded = name.bZero ? ' ' : DecodeShortName<Form>(p, name);
    m_text.AppendByte(m_chDecoded);
    return p + name.nLength + 1;
  }
  m_text.AppendByte('&');
  m_text.Append(p, name.nLength);
  return p + name.nLength;
}

// State 10 with a value begun (a value cut by a chunk end): the bytes that
// are simply appended are taken as one run; the byte after it goes to
// ScanAttrValue.
template <class Form>
LPCSTR CHtmlTokenizer::ScanAttrValueRun(LPCSTR p, LPCSTR pEnd) {
  LPCSTR pStop;
  if (m_bInQuote && m_chQuote == '"')
    pStop = byte_search::FindAnyOf<'"', '\n', '\r', '>'>(Form(), p, pEnd);
  else if (m_bInQuote && m_chQuote == '\'')
    pStop = byte_search::FindAnyOf<'\'', '\n', '\r', '>'>(Form(), p, pEnd);
  else if (m_bInQuote)
    pStop = byte_search::FindAnyOf<'\n', '\r', '>'>(Form(), p, pEnd);
  else
    pStop = SkipUntil(p, pEnd, kEndsBareValue);
  m_attrValue.Append(p, static_cast<int>(pStop - p));
  return pStop < pEnd ? ScanAttrValue(pStop) : pStop;
}
