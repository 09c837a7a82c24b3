// A host built in the Windows C++ ABI, without a C++ standard library, that
// derives from the tokenizer: the events of a document fed in awkward chunks
// must arrive in order with their texts and attributes, through the virtual
// slots of this ABI. Also shows that the host's static objects are built
// before main and that a framework exception thrown in afx.dll is caught
// here, through msvcrt.dll's handlers, and that the library's exported data
// is reached through its import library, and that a template expands
// (its session lives in the library's thread-local storage). Prints a line per check; exits 1
// when one fails.
#include <stdio.h>
#include <string.h>

#include "afxwin.h"
#include "config/CRegistryKey.h"
#include "html/CHtmlTokenizer.h"
#include "html/CNameValuePair.h"
#include "html/CTextBuffer.h"
#include "template/CNamedValueList.h"
#include "template/CTemplateExpander.h"

namespace {

// Built by the start-up code's static constructors before main runs.
CString g_strBuiltBeforeMain("static objects are built");

CString Text(CTextBuffer* pBuffer) { return CString(pBuffer->m_pBegin, pBuffer->GetLength()); }

class CRecordingTokenizer : public CHtmlTokenizer {
 public:
  CString m_strEvents;
  int m_nStopAfter = -1;  // events until a callback stops the chunk

  BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    CString strEvent = "start " + Text(pName);
    for (int i = 0; i < nAttrs; ++i) {
      strEvent += " " + ppAttrs[i]->m_strName + "=" + ppAttrs[i]->m_strValue;
    }
    return Record(strEvent, pbContinue);
  }
  BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) override {
    return Record("end " + Text(pName), pbContinue);
  }
  // Text may come in several pieces (at chunk ends, around references):
  // the pieces are joined into one event.
  BOOL OnText(CTextBuffer* pText, BOOL* pbContinue) override {
    BOOL bResult;
    if (m_bInText) {
      m_strEvents = m_strEvents.Left(m_strEvents.GetLength() - 1) + Text(pText) + "\n";
      bResult = Record(CString(), pbContinue);
    } else {
      bResult = Record("text " + Text(pText), pbContinue);
    }
    m_bInText = TRUE;
    return bResult;
  }
  BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) override {
    return Record("comment " + Text(pComment), pbContinue);
  }

 private:
  BOOL m_bInText = FALSE;

  // Records an event (none for an empty one, a further piece of text).
  BOOL Record(const CString& strEvent, BOOL* pbContinue) {
    if (*pbContinue != 1) m_strEvents += "(continue flag not set on entry)\n";
    m_bInText = FALSE;
    if (!strEvent.IsEmpty()) m_strEvents += strEvent + "\n";
    if (m_nStopAfter > 0 && --m_nStopAfter == 0) *pbContinue = 0;
    return TRUE;
  }
};

struct Case {
  const char* name;
  const char* document;
  int chunkSize;  // 0: the document in one call
  int stopAfter;  // -1: never stop
  const char* expected;
};

const Case kCases[] = {
    {"tags, attributes and references", "<p class=\"a\" id=x>Fish &amp; chips</p><!-- note -->", 0, -1,
     "start p class=a id=x\ntext Fish & chips\nend p\ncomment  note \n"},
    {"the same in three-byte chunks", "<p class=\"a\" id=x>Fish &amp; chips</p><!-- note -->", 3, -1,
     "start p class=a id=x\ntext Fish & chips\nend p\ncomment  note \n"},
    {"a callback stops the chunk", "<a>one</a><b>two</b>", 0, 2, "start a\ntext one\n"},
};

bool RunCase(const Case& c) {
  CRecordingTokenizer tokenizer;
  if (!tokenizer.Init()) {
    printf("FAIL %s: Init failed\n", c.name);
    return false;
  }
  tokenizer.m_nStopAfter = c.stopAfter;
  int nLength = static_cast<int>(strlen(c.document));
  int nStep = c.chunkSize > 0 ? c.chunkSize : nLength;
  for (int nAt = 0; nAt < nLength; nAt += nStep) {
    tokenizer.Parse(c.document + nAt, nAt + nStep <= nLength ? nStep : nLength - nAt);
    if (c.stopAfter > 0) break;
  }
  if (c.stopAfter < 0) tokenizer.Finish();
  if (tokenizer.m_strEvents != c.expected) {
    printf("FAIL %s\n--- expected\n%s--- got\n%s", c.name, c.expected,
           static_cast<LPCSTR>(tokenizer.m_strEvents));
    return false;
  }
  printf("ok %s\n", c.name);
  return true;
}

bool CatchesFrameworkException() {
  try {
    AfxThrowUserException();
  } catch (CUserException* pException) {
    bool bKind = pException->IsKindOf(RUNTIME_CLASS(CUserException)) != FALSE;
    pException->Delete();
    return bKind;
  } catch (...) {
  }
  return false;
}

bool ExpandsTemplate() {
  CNamedValueList vars;
  vars.SetValue("NAME", "World");
  CTemplateExpander expander;
  LPSTR pszOut = NULL;
  if (!expander.ExpandToString("Hello ${NAME}$\n<!--^^ifdef NONE^^-->gone<!--^^endif^^-->", &pszOut, &vars,
                               NULL)) {
    return false;
  }
  bool bSame = strcmp(pszOut, "Hello World\r\n") == 0;
  if (!bSame) printf("expanded: [%s]\n", pszOut);
  AfxFreeMemory(pszOut);
  return bSame;
}

}  // namespace

int main() {
  bool bPassed = g_strBuiltBeforeMain == "static objects are built";
  printf("%s %s\n", bPassed ? "ok" : "FAIL", "static objects are built before main");
  bool bCaught = CatchesFrameworkException();
  printf("%s %s\n", bCaught ? "ok" : "FAIL", "a framework exception from afx.dll is caught by its type");
  bPassed = bCaught && bPassed;
  CRegistryKey key;
  bool bData = CRegistryKey::ParentKeyName != NULL && strcmp(CRegistryKey::ParentKeyName, "..") == 0;
  printf("%s %s\n", bData ? "ok" : "FAIL", "exported data is read through the import library");
  bPassed = bData && bPassed;
  bool bExpanded = ExpandsTemplate();
  printf("%s %s\n", bExpanded ? "ok" : "FAIL", "a template expands");
  bPassed = bExpanded && bPassed;
  for (const Case& c : kCases) bPassed = RunCase(c) && bPassed;
  fflush(stdout);
  return bPassed ? 0 : 1;
}
