// Sinks implemented in the host, attached to the library's forwarders.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlTextForwarder.h"

namespace {

typedef std::vector<std::string> Events;

std::string Describe(const char* pszKind, LPCSTR pszName, CNameValuePair** ppAttrs, int nAttrs) {
  std::string event = std::string(pszKind) + ":" + pszName;
  for (int i = 0; i < nAttrs; ++i)
    event += std::string(" ") + static_cast<LPCSTR>(ppAttrs[i]->m_strName) + "=[" +
             static_cast<LPCSTR>(ppAttrs[i]->m_strValue) + "]";
  return event;
}

class CRecordingStringSink : public CHtmlStringSink {
 public:
  BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    return Record(Describe("start", strName, ppAttrs, nAttrs), strName.GetLength(), pbContinue);
  }
  BOOL OnEndTag(const CString& strName, BOOL* pbContinue) override {
    return Record(Describe("end", strName, NULL, 0), strName.GetLength(), pbContinue);
  }
  BOOL OnText(const CString& strText, BOOL* pbContinue) override {
    return Record(Describe("text", strText, NULL, 0), strText.GetLength(), pbContinue);
  }
  BOOL OnComment(const CString& strComment, BOOL* pbContinue) override {
    return Record(Describe("comment", strComment, NULL, 0), strComment.GetLength(), pbContinue);
  }

  Events m_events;
  std::vector<int> m_lengths;
  std::string m_stopAt;

 private:
  BOOL Record(const std::string& event, int nLength, BOOL* pbContinue) {
    EXPECT_EQ(*pbContinue, TRUE);
    m_events.push_back(event);
    m_lengths.push_back(nLength);
    if (event == m_stopAt) *pbContinue = FALSE;
    return FALSE;  // ignored
  }
};

class CRecordingTextSink : public CHtmlTextSink {
 public:
  BOOL OnStartTag(LPCSTR pszName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    m_events.push_back(Describe("start", pszName, ppAttrs, nAttrs));
    return TRUE;
  }
  BOOL OnEndTag(LPCSTR pszName, BOOL* pbContinue) override {
    m_events.push_back(Describe("end", pszName, NULL, 0));
    return TRUE;
  }
  BOOL OnText(LPCSTR pszText, BOOL* pbContinue) override {
    m_events.push_back(Describe("text", pszText, NULL, 0));
    if (m_events.back() == m_stopAt) *pbContinue = FALSE;
    return TRUE;
  }
  BOOL OnComment(LPCSTR pszComment, BOOL* pbContinue) override {
    m_events.push_back(Describe("comment", pszComment, NULL, 0));
    return TRUE;
  }

  Events m_events;
  std::string m_stopAt;
};

// Only text is of interest; the other events take the defaults.
class CTextOnlySink : public CHtmlStringSink {
 public:
  BOOL OnText(const CString& strText, BOOL* pbContinue) override {
    m_text += static_cast<LPCSTR>(strText);
    return TRUE;
  }
  std::string m_text;
};

void Feed(CHtmlTokenizer& tokenizer, const std::vector<std::string>& chunks) {
  for (const std::string& chunk : chunks) EXPECT_TRUE(tokenizer.Parse(chunk.data(), static_cast<int>(chunk.size())));
  tokenizer.Finish();
}

const char kPage[] = "<p class=x id='a b'>Hi &amp; bye</p><!--note--><br/>\xA9";

TEST(StringForwarder, HandsEveryEventToTheSinkAsStrings) {
  CRecordingStringSink sink;
  CHtmlStringForwarder forwarder;
  EXPECT_EQ(forwarder.m_pSink, nullptr);
  forwarder.Attach(&sink);
  EXPECT_EQ(forwarder.m_pSink, &sink);
  Feed(forwarder, {kPage});
  EXPECT_EQ(sink.m_events, Events({"start:p class=[x] id=[a b]", "text:Hi ", "text:& bye", "end:p", "comment:note",
                                   "start:br", "end:br", "text:\xA9"}));
}

TEST(StringForwarder, DefaultSinkOperationsConsumeTheWholeDocument) {
  CTextOnlySink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  Feed(forwarder, {"<a>one<b/><!--c--></a>", " two &lt;", "3"});
  EXPECT_EQ(sink.m_text, "one two <3");
}

TEST(StringForwarder, SinkStopsTheRestOfTheChunk) {
  CRecordingStringSink sink;
  sink.m_stopAt = "start:b";
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  Feed(forwarder, {"<a>x<b>y</b>", "z"});
  EXPECT_EQ(sink.m_events, Events({"start:a", "text:x", "start:b", "text:z"}));
}

TEST(StringForwarder, AttachWithoutSinkChangesNothing) {
  CRecordingStringSink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(NULL);
  EXPECT_EQ(forwarder.m_pSink, nullptr);
  forwarder.Attach(&sink);
  forwarder.Attach(NULL);
  EXPECT_EQ(forwarder.m_pSink, &sink);
}

TEST(Forwarders, EventsWithoutASinkAreDropped) {
  CHtmlStringForwarder stringForwarder;
  CHtmlTextForwarder textForwarder;
  ASSERT_TRUE(stringForwarder.Init());
  ASSERT_TRUE(textForwarder.Init());
  Feed(stringForwarder, {"<a b=c>text</a><!--c-->"});
  Feed(textForwarder, {"<a b=c>text</a><!--c-->"});
}

TEST(StringForwarder, ZeroBytesReachTheSinkAsSpaces) {
  CRecordingStringSink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  const char page[] = "a\0b<p\0q x\0y=1\0z><!--\0-->";
  Feed(forwarder, {std::string(page, sizeof(page) - 1)});
  EXPECT_EQ(sink.m_events, Events({"text:a b", "start:p q x y=[1 z]", "comment: "}));
  EXPECT_EQ(sink.m_lengths, std::vector<int>({3, 3, 1}));
}

// Texts and attribute values of every length up to past the long-text
// copy, with a zero byte at the first, a middle or the last place or none:
// each arrives whole, the zero as a space.
TEST(StringForwarder, ZeroBytesAnywhereInTextsAndValuesOfAnyLength) {
  for (int nLength = 1; nLength <= 300; ++nLength) {
    for (int nZeroAt : {-1, 0, nLength / 2, nLength - 1}) {
      std::string bytes(static_cast<size_t>(nLength), 'x');
      if (nZeroAt >= 0) bytes[static_cast<size_t>(nZeroAt)] = '\0';
      std::string expected = bytes;
      if (nZeroAt >= 0) expected[static_cast<size_t>(nZeroAt)] = ' ';
      CRecordingStringSink sink;
      CHtmlStringForwarder forwarder;
      forwarder.Attach(&sink);
      std::string page = bytes + "<a v=\"" + bytes + "\">";
      forwarder.Parse(page.data(), static_cast<int>(page.size()));
      forwarder.Finish();
      ASSERT_EQ(sink.m_events, Events({"text:" + expected, "start:a v=[" + expected + "]"}))
          << "length " << nLength << ", zero at " << nZeroAt;
      ASSERT_EQ(sink.m_lengths, std::vector<int>({nLength, 1}));
    }
  }
}

// The string a sink receives is refilled for the next event: what the
// sink keeps (copied, assigned or cut out) must be a string of its own
// that later, longer events do not touch.
class CKeepingStringSink : public CHtmlStringSink {
 public:
  BOOL OnStartTag(const CString& strName, CNameValuePair**, int, BOOL*) override { return Keep(strName); }
  BOOL OnEndTag(const CString& strName, BOOL*) override { return Keep("/" + strName); }
  BOOL OnText(const CString& strText, BOOL*) override { return Keep(strText.Mid(0)); }
  BOOL OnComment(const CString& strComment, BOOL*) override {
    CString strKept;
    strKept = strComment;
    EXPECT_EQ(strComment.Find("note"), 0);
    return Keep(strKept);
  }
  std::vector<CString> m_kept;

 private:
  BOOL Keep(const CString& str) {
    m_kept.push_back(str);
    EXPECT_EQ(str.GetLength(), static_cast<int>(strlen(str)));
    return TRUE;
  }
};

TEST(StringForwarder, StringsTheSinkKeepsAreCopiesOfItsOwn) {
  CKeepingStringSink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  Feed(forwarder, {"<p>first</p><p>2nd</p><!--note A--><!--note B-->", "<longer-name>later and longer text"});
  std::vector<std::string> kept;
  for (const CString& str : sink.m_kept) kept.push_back(static_cast<LPCSTR>(str));
  EXPECT_EQ(kept, std::vector<std::string>({"p", "first", "/p", "p", "2nd", "/p", "note A", "note B", "longer-name",
                                            "later and longer text"}));
}

TEST(StringForwarder, ABufferWithoutBlockArrivesAsTheEmptyString) {
  CKeepingStringSink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  CTextBuffer empty;
  BOOL bContinue = TRUE;
  forwarder.OnText(&empty, &bContinue);
  ASSERT_EQ(sink.m_kept.size(), 1u);
  EXPECT_TRUE(sink.m_kept[0].IsEmpty());
}

// A host may hand a callback a buffer of its own, and may resize the
// tokenizer's buffers: every buffer, with or without zero bytes, short or
// long, in a block of any size, arrives whole and nothing outside its
// block is read (the sanitizer build checks that).
TEST(StringForwarder, BuffersOfAnySizeAndOriginArriveWhole) {
  for (int nBlock : {2, 8, 17, 64}) {
    CRecordingStringSink sink;
    CHtmlStringForwarder forwarder;
    forwarder.Attach(&sink);
    forwarder.m_tagName.Reserve(nBlock, 0);
    forwarder.m_text.Reserve(nBlock, 0);
    forwarder.m_comment.Reserve(nBlock, 0);
    Feed(forwarder, {std::string("<abc>x\0y</abc><!--abcdefghijklmnopqrstu-->", 42)});
    EXPECT_EQ(sink.m_events, Events({"start:abc", "text:x y", "end:abc", "comment:abcdefghijklmnopqrstu"})) << nBlock;

    CTextBuffer own;
    own.Reserve(nBlock, 0);
    own.Append("own\0text", 8);
    BOOL bContinue = TRUE;
    forwarder.OnText(&own, &bContinue);
    EXPECT_EQ(sink.m_events.back(), "text:own text") << nBlock;
    EXPECT_EQ(own.GetLength(), 8);
  }
}

// A sink that feeds its own forwarder from inside a callback makes the
// forwarder's buffers grow, move and fill with other text; the string it
// was given still reads a terminated text inside the buffer's block, no
// longer than its length says (the sanitizer build checks the reads).
class CFeedingBackSink : public CHtmlStringSink {
 public:
  CHtmlStringForwarder* m_pForwarder = NULL;
  std::string m_more;
  int m_nFed = 0;
  BOOL OnText(const CString& strText, BOOL*) override { return FeedBack(strText); }
  BOOL OnStartTag(const CString& strName, CNameValuePair**, int, BOOL*) override { return FeedBack(strName); }

 private:
  BOOL FeedBack(const CString& str) {
    if (m_nFed++ > 0) return TRUE;
    m_pForwarder->Parse(m_more.data(), static_cast<int>(m_more.size()));
    EXPECT_LE(static_cast<size_t>(str.GetLength()), strlen(str));
    return TRUE;
  }
};

TEST(StringForwarder, ASinkFeedingItsOwnForwarderKeepsAReadableString) {
  const std::string kName(5000, 'n'), kText(20000, 't');
  const struct {
    const char* pszPage;
    std::string more;
  } cases[] = {
      {"some text<b>", "<" + kName + ">" + kText + "&amp"},  // both buffers grow and are lent again
      {"<tag>", "<" + kName.substr(0, 1000)},  // the name grows and is not lent again
      {"<tag>", kText},
  };
  for (const auto& c : cases) {
    CFeedingBackSink sink;
    CHtmlStringForwarder forwarder;
    sink.m_pForwarder = &forwarder;
    sink.m_more = c.more;
    forwarder.Attach(&sink);
    forwarder.Parse(c.pszPage, static_cast<int>(strlen(c.pszPage)));
    forwarder.Finish();
    EXPECT_GE(sink.m_nFed, 1) << c.pszPage;
  }
}

TEST(StringForwarder, ForwardersMayBeDeletedThroughTheTokenizer) {
  CRecordingStringSink sink;
  CHtmlTokenizer* pTokenizer = new CHtmlStringForwarder;
  static_cast<CHtmlStringForwarder*>(pTokenizer)->Attach(&sink);
  pTokenizer->Parse("x&amp;", 6);
  delete pTokenizer;
  EXPECT_EQ(sink.m_events, Events({"text:x"}));
}

TEST(TextForwarder, HandsEventsToTheSinkAsTextsAndCommentsAsText) {
  CRecordingTextSink sink;
  CHtmlTextForwarder forwarder;
  forwarder.Attach(&sink);
  Feed(forwarder, {kPage});
  EXPECT_EQ(sink.m_events, Events({"start:p class=[x] id=[a b]", "text:Hi ", "text:& bye", "end:p", "text:note",
                                   "start:br", "end:br", "text:\xA9"}));
}

TEST(TextForwarder, SinkStopsTheRestOfTheChunk) {
  CRecordingTextSink sink;
  sink.m_stopAt = "text:note";
  CHtmlTextForwarder forwarder;
  forwarder.Attach(&sink);
  Feed(forwarder, {"<!--note--><a>", "<b>"});
  EXPECT_EQ(sink.m_events, Events({"text:note", "start:b"}));
}

TEST(TextForwarder, ZeroBytesReachTheSinkAsSpaces) {
  CRecordingTextSink sink;
  CHtmlTextForwarder forwarder;
  forwarder.Attach(&sink);
  const char page[] = "\0x\0<a\0>";
  Feed(forwarder, {std::string(page, sizeof(page) - 1)});
  EXPECT_EQ(sink.m_events, Events({"text: x ", "start:a "}));
}

TEST(Sinks, DefaultOperationsReturnOneAndLeaveTheFlag) {
  CHtmlStringSink stringSink;
  CHtmlTextSink textSink;
  BOOL bContinue = 7;
  CString str("x");
  EXPECT_EQ(stringSink.OnStartTag(str, NULL, 0, &bContinue), TRUE);
  EXPECT_EQ(stringSink.OnEndTag(str, &bContinue), TRUE);
  EXPECT_EQ(stringSink.OnText(str, &bContinue), TRUE);
  EXPECT_EQ(stringSink.OnComment(str, &bContinue), TRUE);
  EXPECT_EQ(textSink.OnStartTag("x", NULL, 0, &bContinue), TRUE);
  EXPECT_EQ(textSink.OnEndTag("x", &bContinue), TRUE);
  EXPECT_EQ(textSink.OnText("x", &bContinue), TRUE);
  EXPECT_EQ(textSink.OnComment("x", &bContinue), TRUE);
  EXPECT_EQ(bContinue, 7);
}

}  // namespace
