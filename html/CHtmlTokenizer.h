// A streaming HTML tokenizer. The caller feeds a document in chunks of any
// size; the tokenizer reports each start tag (with its attributes), end tag,
// run of text and comment through four callbacks the moment it has read
// them. It builds no tree and knows no element names. Character references
// in text are decoded to single bytes, and line breaks in text fold into
// single spaces unless the caller keeps them. Any chunking of a document
// gives the same tags, comments and text; only the places where text is cut
// into OnText pieces differ.
//
// Use: Init, optionally SetDecodeCharRefs / SetKeepLineBreaks, Parse per
// chunk, Finish. The same object may then take the next document, again
// starting with Init.
#pragma once

#include <afx.h>

#include "html/CNameValuePair.h"
#include "html/CTextBuffer.h"

class CHtmlTokenizer {
 public:
  enum { kMaxAttributes = 50 };

  // Where the tokenizer is in the document.
  enum State {
    kText = 0,             // in text
    kTagName = 1,          // after "<", reading a start tag's name
    kCharRef = 2,          // after "&" in text, reading a reference name
    kEndTagName = 3,       // after "</", reading an end tag's name
    kBang = 4,             // after "<!"
    kBangDash = 5,         // after "<!-"
    kComment = 6,          // in a comment
    kCommentDash = 7,      // in a comment, after one "-"
    kCommentDashes = 8,    // in a comment, after two or more "-"
    kAttrName = 9,         // in a start tag, reading an attribute name or between attributes
    kAttrValue = 10,       // reading an attribute value
    kAfterSlash = 11,      // after the "/" that closed a start tag
    kSkipSpace = 12,       // skipping white space, then back to m_nReturnState
    kSkipSpaceBeforeValue = 13,  // the same, after "="
    kAfterAttrName = 14,   // white space after an attribute name
    kStopped = 15,         // a callback asked to stop
  };

  CHtmlTokenizer();
  // Frees everything; delivers nothing (the derived object whose callbacks
  // would receive it is already gone). Call Finish to get pending text.
  virtual ~CHtmlTokenizer();

  // Callbacks. The buffers stay owned by the tokenizer and are valid during
  // the call only; their content runs from m_pBegin to m_pCursor and is not
  // terminated (CTextBuffer::Terminate makes it a string). *pbContinue is 1
  // on entry; setting it to 0 makes the tokenizer skip the rest of the
  // chunk. Results are ignored.
  virtual BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) = 0;
  virtual BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) = 0;
  virtual BOOL OnText(CTextBuffer* pText, BOOL* pbContinue) = 0;
  virtual BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) = 0;

  // Prepares for a document: buffers allocated and emptied, no markup open,
  // references decoded. Keeps the keep-line-breaks option. 0 when a buffer
  // cannot be allocated; the tokenizer must not be used then.
  BOOL Init();
  // Ends a document: delivers text still pending (a reference cut off by
  // the end, or decoded right at the end) and frees the attribute pairs.
  // Markup still open is dropped.
  void Finish();
  // Tokenizes one chunk. 0 for a null pointer or a negative length;
  // otherwise 1, also when a callback stopped it.
  BOOL Parse(LPCSTR pText, int nLength);
  BOOL Parse(const CString& strText);

  BOOL SetDecodeCharRefs(BOOL bDecode);
  BOOL SetKeepLineBreaks(BOOL bKeep);
  BOOL GetKeepLineBreaks() const;

  // TAB, LF, CR and space; counts a LF in m_nLine.
  BOOL IsSpaceChar(char ch);
  // The byte a reference name (without "&" and ";") stands for: "#n" gives
  // n for 9, 10 and 32..126 and the low 8 bits for n >= 161, a table name
  // its Latin-1 code; everything else, and byte 0, gives a space.
  static char DecodeCharRef(LPCSTR pszName);

  void ResetAttribute();
  void ResetTag();
  void ClearAttributes();
  void FreeAttributes();
  BOOL CommitAttribute();
  void FlushText(LPCSTR pPos, LPCSTR pEnd);
  void EmitStartTag();
  void EmitEndTag();
  void EmitComment();

  // One handler per state: each takes the position of the next byte and
  // returns the position after what it consumed. ScanText and ScanComment
  // run to the end of the chunk by themselves; the others handle one byte.
  LPCSTR ScanText(LPCSTR p, LPCSTR pEnd);
  LPCSTR ScanTagName(LPCSTR p);
  LPCSTR ScanCharRef(LPCSTR p);
  LPCSTR ScanEndTagName(LPCSTR p);
  LPCSTR ScanBang(LPCSTR p);
  LPCSTR ScanBangDash(LPCSTR p);
  LPCSTR ScanComment(LPCSTR p, LPCSTR pEnd);
  LPCSTR ScanCommentDash(LPCSTR p);
  LPCSTR ScanCommentDashes(LPCSTR p);
  LPCSTR ScanAttrName(LPCSTR p);
  LPCSTR ScanAttrValue(LPCSTR p);
  LPCSTR SkipSpace(LPCSTR p);
  LPCSTR ScanAfterAttrName(LPCSTR p);
  LPCSTR SkipSpaceBeforeValue(LPCSTR p);

  int m_nState;
  int m_nReturnState;
  CTextBuffer m_text;
  CTextBuffer m_tagName;
  CTextBuffer m_attrName;
  CTextBuffer m_attrValue;
  BOOL m_bInQuote;
  char m_chQuote;
  BOOL m_bDecodeCharRefs;
  CTextBuffer m_charRef;
  char m_chDecoded;
  CNameValuePair* m_attrs[kMaxAttributes];
  int m_nAttrs;
  CTextBuffer m_comment;
  CTextBuffer m_commentDashes;
  int m_nLine;
  BOOL m_bKeepLineBreaks;
  BOOL m_bBangComment;
  BOOL m_bSpaceDue;
  BOOL m_bQuoteJustOpened;

 private:
  // The chunk loop and the paths that search, compiled once per search
  // form (see html/ByteSearch.h); Parse picks the form of the processor.
  template <class Form> BOOL ParseIn(LPCSTR p, LPCSTR pEnd);
  template <class Form> LPCSTR ScanTextIn(LPCSTR p, LPCSTR pEnd);
  template <class Form> LPCSTR ScanCommentIn(LPCSTR p, LPCSTR pEnd);
  template <class Form> void DeliverTextIn();
  // Whole-construct paths for what lies complete inside the chunk; each
  // gives the same events, state and line count as the byte handlers would.
  // ScanTagAtOnce and ScanCharRefAtOnce return NULL when the construct runs
  // past the chunk, leaving it to the byte handlers; ScanEndTagAtOnce keeps
  // the name read so far. pClose caches the first ">" at or after a
  // position (pEnd when there is none) so that each chunk is searched once.
  template <class Form> LPCSTR ScanTagAtOnce(LPCSTR p, LPCSTR pEnd, LPCSTR& pClose);
  template <class Form> LPCSTR ScanAttributesAtOnce(LPCSTR p, LPCSTR pClose);
  template <class Form> LPCSTR ScanValueAtOnce(LPCSTR pName, int nName, LPCSTR p, LPCSTR pClose, char chQuote);
  template <class Form> LPCSTR ScanEndTagAtOnce(LPCSTR p, LPCSTR pEnd);
  template <class Form> LPCSTR ScanEndTagBeforeClose(LPCSTR p, LPCSTR pClose, LPCSTR pEnd);
  template <class Form> LPCSTR ScanCharRefAtOnce(LPCSTR p, LPCSTR pEnd);
  // With sixteen-byte searches only: a reference and the text after it at once.
  template <class Form> LPCSTR ScanCharRefAndRun(LPCSTR p, LPCSTR pEnd);
  template <class Form> LPCSTR ScanAttrValueRun(LPCSTR p, LPCSTR pEnd);
  BOOL CommitAttribute(LPCSTR pName, int nName, LPCSTR pValue, int nValue);
  LPCSTR ScanAfterSlash(LPCSTR p, LPCSTR pEnd);
  LPCSTR GiveUpCharRef(LPCSTR p);
  void CloseTagWithSlash();
  void SetStateAfterEvent(BOOL bContinue) { m_nState = bContinue ? kText : kStopped; }

  CHtmlTokenizer(const CHtmlTokenizer&) = delete;
  CHtmlTokenizer& operator=(const CHtmlTokenizer&) = delete;
};
