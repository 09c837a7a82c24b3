// A host of the Windows ABI derives from the tokenizer and from both sinks:
// the events of a document, fed whole or in awkward chunks, must arrive in
// order with their names, texts and attributes through this ABI's virtual
// slots, with the continue flag set on entry, and every call into the
// library must leave the caller's stack pointer where it was.
#include <stdio.h>
#include <string.h>

#include "afxwin.h"
#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlStringSink.h"
#include "html/CHtmlTextForwarder.h"
#include "html/CHtmlTextSink.h"
#include "html/CHtmlTokenizer.h"
#include "html/CNameValuePair.h"
#include "html/CTextBuffer.h"
#include "msvctests/CheckRunner.h"
#include "msvctests/Groups.h"

namespace {

CString Text(CTextBuffer* pBuffer) { return CString(pBuffer->m_pBegin, pBuffer->GetLength()); }

// The record every host class below keeps: one line per event, joined
// pieces of text, and a stop after a number of events.
class CEventLog {
 public:
  CString m_strEvents;
  int m_nStopAfter = -1;  // events until a callback stops the chunk

  BOOL Record(const CString& strEvent, BOOL* pbContinue) {
    if (*pbContinue != 1) m_strEvents += "(continue flag not set on entry)\n";
    m_bInText = FALSE;
    if (!strEvent.IsEmpty()) m_strEvents += strEvent + "\n";
    if (m_nStopAfter > 0 && --m_nStopAfter == 0) *pbContinue = 0;
    return TRUE;
  }
  // Text may come in several pieces (at chunk ends, around references):
  // the pieces are joined into one event.
  BOOL RecordText(const char* pszKind, const CString& strText, BOOL* pbContinue) {
    BOOL bResult;
    if (m_bInText) {
      m_strEvents = m_strEvents.Left(m_strEvents.GetLength() - 1) + strText + "\n";
      bResult = Record(CString(), pbContinue);
    } else {
      bResult = Record(CString(pszKind) + " " + strText, pbContinue);
    }
    m_bInText = TRUE;
    return bResult;
  }
  static CString StartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs) {
    CString strEvent = "start " + strName;
    for (int i = 0; i < nAttrs; ++i) strEvent += " " + ppAttrs[i]->m_strName + "=" + ppAttrs[i]->m_strValue;
    return strEvent;
  }

 private:
  BOOL m_bInText = FALSE;
};

// Each event hands over the tokenizer's own buffer of its kind (and its
// attribute slots); another pointer is logged as a fault.
class CRecordingTokenizer : public CHtmlTokenizer {
 public:
  CEventLog m_log;
  BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    Own(pName == &m_tagName && ppAttrs == m_attrs, "start tag");
    return m_log.Record(CEventLog::StartTag(Text(pName), ppAttrs, nAttrs), pbContinue);
  }
  BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) override {
    Own(pName == &m_tagName, "end tag");
    return m_log.Record("end " + Text(pName), pbContinue);
  }
  BOOL OnText(CTextBuffer* pText, BOOL* pbContinue) override {
    Own(pText == &m_text, "text");
    return m_log.RecordText("text", Text(pText), pbContinue);
  }
  BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) override {
    Own(pComment == &m_comment, "comment");
    return m_log.Record("comment " + Text(pComment), pbContinue);
  }

 private:
  void Own(bool bOwn, const char* pszEvent) {
    if (!bOwn) m_log.m_strEvents += CString("(not the tokenizer's own buffer: ") + pszEvent + ")\n";
  }
};

class CRecordingStringSink : public CHtmlStringSink {
 public:
  CEventLog m_log;
  BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    return m_log.Record(CEventLog::StartTag(strName, ppAttrs, nAttrs), pbContinue);
  }
  BOOL OnEndTag(const CString& strName, BOOL* pbContinue) override {
    return m_log.Record("end " + strName, pbContinue);
  }
  BOOL OnText(const CString& strText, BOOL* pbContinue) override {
    return m_log.RecordText("text", strText, pbContinue);
  }
  BOOL OnComment(const CString& strComment, BOOL* pbContinue) override {
    return m_log.Record("comment " + strComment, pbContinue);
  }
};

class CRecordingTextSink : public CHtmlTextSink {
 public:
  CEventLog m_log;
  BOOL OnStartTag(LPCSTR pszName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    return m_log.Record(CEventLog::StartTag(pszName, ppAttrs, nAttrs), pbContinue);
  }
  BOOL OnEndTag(LPCSTR pszName, BOOL* pbContinue) override {
    return m_log.Record(CString("end ") + pszName, pbContinue);
  }
  BOOL OnText(LPCSTR pszText, BOOL* pbContinue) override { return m_log.RecordText("text", pszText, pbContinue); }
  // The text forwarder hands comments to OnText: this is never called.
  BOOL OnComment(LPCSTR pszComment, BOOL* pbContinue) override {
    return m_log.Record(CString("comment ") + pszComment, pbContinue);
  }
};

// One way of receiving the events: a tokenizer of the host's own, or a
// forwarder of the library with a sink of the host's.
enum Receiver { kTokenizer, kStringSink, kTextSink };
const char* const kReceiverNames[] = {"derived tokenizer", "string sink", "text sink"};

struct Case {
  const char* name;
  const char* document;
  int chunkSize;  // 0: the document in one call
  int stopAfter;  // -1: never stop
  const char* expected;
  const char* expectedByTextSink;  // NULL: the same as expected
};

const char kDocument[] = "<p class=\"a\" id=x>Fish &amp; chips</p><!-- note -->";
const Case kCases[] = {
    {"tags, attributes and references", kDocument, 0, -1,
     "start p class=a id=x\ntext Fish & chips\nend p\ncomment  note \n",
     "start p class=a id=x\ntext Fish & chips\nend p\ntext  note \n"},
    {"the same in three-byte chunks", kDocument, 3, -1,
     "start p class=a id=x\ntext Fish & chips\nend p\ncomment  note \n",
     "start p class=a id=x\ntext Fish & chips\nend p\ntext  note \n"},
    {"a callback stops the chunk", "<a>one</a><b>two</b>", 0, 2, "start a\ntext one\n", NULL},
};

// Feeds a case to a tokenizer (a derived one or a forwarder), checking the
// stack pointer around every call into the library.
bool Feed(CHtmlTokenizer& tokenizer, const Case& c) {
  unsigned nStack = StackPointer();
  int nLength = static_cast<int>(strlen(c.document));
  int nStep = c.chunkSize > 0 ? c.chunkSize : nLength;
  for (int nAt = 0; nAt < nLength; nAt += nStep) {
    if (!tokenizer.Parse(c.document + nAt, nAt + nStep <= nLength ? nStep : nLength - nAt)) {
      return Fail("Parse returned 0");
    }
    if (c.stopAfter > 0) break;
  }
  if (c.stopAfter < 0) tokenizer.Finish();
  if (StackPointer() != nStack) return Fail("the stack pointer moved by %d", int(StackPointer() - nStack));
  return true;
}

bool RunCase(const Case& c, Receiver receiver) {
  CRecordingTokenizer tokenizer;
  CRecordingStringSink stringSink;
  CRecordingTextSink textSink;
  CHtmlStringForwarder stringForwarder;
  CHtmlTextForwarder textForwarder;
  CEventLog* pLog = &tokenizer.m_log;
  CHtmlTokenizer* pTokenizer = &tokenizer;
  bool bReady = true;
  if (receiver == kTokenizer) {
    bReady = tokenizer.Init() != FALSE;
  } else if (receiver == kStringSink) {
    stringForwarder.Attach(&stringSink);
    bReady = stringForwarder.m_pSink == &stringSink;
    pTokenizer = &stringForwarder;
    pLog = &stringSink.m_log;
  } else {
    textForwarder.Attach(&textSink);
    bReady = textForwarder.m_pSink == &textSink;
    pTokenizer = &textForwarder;
    pLog = &textSink.m_log;
  }
  if (!bReady) return Fail("%s, %s: not ready to parse", c.name, kReceiverNames[receiver]);
  pLog->m_nStopAfter = c.stopAfter;
  if (!Feed(*pTokenizer, c)) return Fail("%s, %s", c.name, kReceiverNames[receiver]);
  const char* pszExpected =
      receiver == kTextSink && c.expectedByTextSink != NULL ? c.expectedByTextSink : c.expected;
  if (pLog->m_strEvents != pszExpected) {
    return Fail("%s, %s\n--- expected\n%s--- got\n%s", c.name, kReceiverNames[receiver], pszExpected,
                static_cast<LPCSTR>(pLog->m_strEvents));
  }
  return true;
}

bool EventsArriveInEveryReceiver() {
  bool bPassed = true;
  for (const Case& c : kCases) {
    for (int receiver = kTokenizer; receiver <= kTextSink; ++receiver) {
      bPassed = RunCase(c, static_cast<Receiver>(receiver)) && bPassed;
    }
  }
  return bPassed;
}

// The sinks' own operations, which a host sink that overrides nothing
// inherits: each returns 1 and leaves the continue flag alone.
bool SinkDefaultsDoNothing() {
  CHtmlStringSink stringSink;
  CHtmlTextSink textSink;
  CString strName("b");
  BOOL bContinue = 1;
  unsigned nStack = StackPointer();
  int nResults = stringSink.CHtmlStringSink::OnStartTag(strName, NULL, 0, &bContinue) +
                 stringSink.CHtmlStringSink::OnEndTag(strName, &bContinue) +
                 stringSink.CHtmlStringSink::OnText(strName, &bContinue) +
                 stringSink.CHtmlStringSink::OnComment(strName, &bContinue) +
                 textSink.CHtmlTextSink::OnStartTag("b", NULL, 0, &bContinue) +
                 textSink.CHtmlTextSink::OnEndTag("b", &bContinue) +
                 textSink.CHtmlTextSink::OnText("b", &bContinue) +
                 textSink.CHtmlTextSink::OnComment("b", &bContinue);
  bool bStack = StackPointer() == nStack;
  return Expect(nResults == 8, "every default returns 1") && Expect(bContinue == 1, "the flag is untouched") &&
         Expect(bStack, "the stack pointer is where it was");
}

// A framework exception thrown (in afx.dll) by a host sink unwinds through
// the forwarder's frames in LDExCore.dll, destroying their temporaries, and
// is caught in the host; the forwarder is usable afterwards.
class CThrowingSink : public CHtmlStringSink {
 public:
  BOOL OnText(const CString&, BOOL*) override {
    AfxThrowUserException();
    return TRUE;
  }
};

bool ExceptionFromSinkReachesHost() {
  CThrowingSink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  bool bCaught = false;
  try {
    forwarder.Parse("<b>text</b>", 11);
  } catch (CUserException* pException) {
    bCaught = pException->IsKindOf(RUNTIME_CLASS(CUserException)) != FALSE;
    pException->Delete();
  } catch (...) {
    return Fail("caught, but not as a CUserException");
  }
  if (!bCaught) return Fail("the exception did not arrive");
  CRecordingStringSink recorder;
  forwarder.Attach(&recorder);
  forwarder.Parse("<i>again</i>", 12);
  forwarder.Finish();
  return Expect(recorder.m_log.m_strEvents == "start i\ntext again\nend i\n", "the forwarder parses again");
}

const Check kChecks[] = {
    {"events arrive in a derived tokenizer and in both sinks", EventsArriveInEveryReceiver},
    {"the sinks' defaults return 1 and leave the flag", SinkDefaultsDoNothing},
    {"a framework exception from a sink passes the forwarder", ExceptionFromSinkReachesHost},
};

}  // namespace

int RunTokenizerChecks() { return RunChecks("tokenizer", kChecks, CHECK_COUNT(kChecks)); }
