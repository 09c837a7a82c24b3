// The tokenizer's callbacks and the forwarders' calls of a host's sink are
// virtual calls across the library boundary. On the 32-bit build a
// convention that differs between the library and a host passes the object
// somewhere else (the host's counts go wrong) or leaves the arguments on the
// stack (the stack pointer moves with every event). Many pages with every
// kind of event, counted, with the stack checked after each.
#include <gtest/gtest.h>

#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlStringSink.h"
#include "html/CHtmlTextForwarder.h"
#include "html/CHtmlTextSink.h"
#include "html/CHtmlTokenizer.h"
#include "tests/common/StackBalance.h"

namespace {

// A start tag with attributes, text, an end tag and a comment: six events.
const char kPage[] = "<p class=x id='a b'>Hi</p><!--note--><br>tail";
const int kEventsPerPage = 6;
const int kPages = 300;

class CountingTokenizer : public CHtmlTokenizer {
 public:
  int m_nEvents = 0;
  BOOL OnStartTag(CTextBuffer*, CNameValuePair**, int, BOOL*) override { return ++m_nEvents; }
  BOOL OnEndTag(CTextBuffer*, BOOL*) override { return ++m_nEvents; }
  BOOL OnText(CTextBuffer*, BOOL*) override { return ++m_nEvents; }
  BOOL OnComment(CTextBuffer*, BOOL*) override { return ++m_nEvents; }
};

class CountingStringSink : public CHtmlStringSink {
 public:
  int m_nEvents = 0;
  BOOL OnStartTag(const CString&, CNameValuePair**, int, BOOL*) override { return ++m_nEvents; }
  BOOL OnEndTag(const CString&, BOOL*) override { return ++m_nEvents; }
  BOOL OnText(const CString&, BOOL*) override { return ++m_nEvents; }
  BOOL OnComment(const CString&, BOOL*) override { return ++m_nEvents; }
};

class CountingTextSink : public CHtmlTextSink {
 public:
  int m_nEvents = 0;
  BOOL OnStartTag(LPCSTR, CNameValuePair**, int, BOOL*) override { return ++m_nEvents; }
  BOOL OnEndTag(LPCSTR, BOOL*) override { return ++m_nEvents; }
  BOOL OnText(LPCSTR, BOOL*) override { return ++m_nEvents; }
  BOOL OnComment(LPCSTR, BOOL*) override { return ++m_nEvents; }
};

// Each page starts afresh: Prepare is Init, or Attach for a forwarder.
template <typename Tokenizer, typename Prepare>
void ParsePages(Tokenizer& tokenizer, Prepare prepare) {
  EXPECT_TRUE(StackBalance::KeptOver(kPages, [&] {
    prepare();
    tokenizer.Parse(kPage, static_cast<int>(sizeof kPage - 1));
    tokenizer.Finish();
  }));
}

}  // namespace

TEST(CallbackStack, EveryCallbackAndForwardLeavesTheStackAsItFoundIt) {
  {
    SCOPED_TRACE("a host's tokenizer");
    CountingTokenizer tokenizer;
    ParsePages(tokenizer, [&] { tokenizer.Init(); });
    EXPECT_EQ(kPages * kEventsPerPage, tokenizer.m_nEvents);
  }
  {
    SCOPED_TRACE("a host's string sink");
    CountingStringSink sink;
    CHtmlStringForwarder forwarder;
    ParsePages(forwarder, [&] { forwarder.Attach(&sink); });
    EXPECT_EQ(kPages * kEventsPerPage, sink.m_nEvents);
  }
  {
    SCOPED_TRACE("a host's text sink");
    CountingTextSink sink;
    CHtmlTextForwarder forwarder;
    ParsePages(forwarder, [&] { forwarder.Attach(&sink); });
    EXPECT_EQ(kPages * kEventsPerPage, sink.m_nEvents);
  }
}
