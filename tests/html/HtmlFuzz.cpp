// libFuzzer target: one tokenizer, reused from document to document as
// hosts reuse theirs, must give each document the same tags, comments and
// text as a fresh tokenizer given the document whole, however the input
// cuts the document into chunks (any length from 0 to the whole document).
//
// A string forwarder, reused the same way and fed the same chunks, must
// hand its sink the same events as strings, zero bytes as spaces.
//
// The reused tokenizer and the forwarder search with one form (SSE2 or a
// word at a time, as an option bit says), the fresh tokenizer with the
// other, so the two forms must agree as well.
//
// Input: one byte of options, then up to three documents, each followed by
// the chunk lengths it is cut into (taken from the end of the input).
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdlib.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EventRecorder.h"
#include "html/ByteSearch.h"
#include "html/CHtmlStringForwarder.h"

namespace {

const int kMaxDocuments = 3;
const int kMaxChunks = 64;

// Offsets where the document is cut; the last chunk takes what is left.
std::vector<size_t> ChooseCuts(FuzzedDataProvider& data, size_t nLength) {
  std::vector<size_t> cuts;
  size_t at = 0;
  for (int i = 0; i < kMaxChunks && data.remaining_bytes() > 0; ++i) {
    at += data.ConsumeIntegralInRange<size_t>(0, nLength - at);
    cuts.push_back(at);
  }
  return cuts;
}

// Records what a string sink receives in the recorder's form; every string
// must read as a whole terminated text.
class CStringEventRecorder : public CHtmlStringSink {
 public:
  BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL*) override {
    m_events.push_back(StartTagEvent(Content(strName), ppAttrs, nAttrs));
    return TRUE;
  }
  BOOL OnEndTag(const CString& strName, BOOL*) override { return Record("end:", strName); }
  BOOL OnText(const CString& strText, BOOL*) override { return Record("text:", strText); }
  BOOL OnComment(const CString& strComment, BOOL*) override { return Record("comment:", strComment); }

  Events m_events;

 private:
  static std::string Content(const CString& str) {
    if (strlen(str) != static_cast<size_t>(str.GetLength())) abort();
    return std::string(str, static_cast<size_t>(str.GetLength()));
  }
  BOOL Record(const char* pszKind, const CString& str) {
    m_events.push_back(pszKind + Content(str));
    return TRUE;
  }
};

// The events a string sink receives for a tokenizer's events.
Events WithZeroBytesAsSpaces(Events events) {
  for (std::string& event : events) std::replace(event.begin(), event.end(), '\0', ' ');
  return events;
}

Events ForwardReused(CHtmlStringForwarder& forwarder, CStringEventRecorder& sink, const std::string& input,
                     const std::vector<size_t>& cuts, const TokenizeOptions& options) {
  sink.m_events.clear();
  forwarder.Attach(&sink);
  FeedInChunks(forwarder, input, cuts, options);
  forwarder.Finish();
  return sink.m_events;
}

Events TokenizeReused(CEventRecorder& tokenizer, const std::string& input, const std::vector<size_t>& cuts,
                      const TokenizeOptions& options) {
  tokenizer.m_events.clear();
  FeedInChunks(tokenizer, input, cuts, options);
  tokenizer.Finish();
  return tokenizer.m_events;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The recorder checks with test assertions: a failed one must end the run.
  testing::GTEST_FLAG(break_on_failure) = true;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  FuzzedDataProvider data(pData, nSize);
  CEventRecorder reused;
  CHtmlStringForwarder forwarder;
  CStringEventRecorder sink;
  for (int nDocument = 0; nDocument < kMaxDocuments && data.remaining_bytes() > 0; ++nDocument) {
    uint8_t flags = data.ConsumeIntegral<uint8_t>();
    TokenizeOptions options;
    options.bKeepLineBreaks = (flags & 1) != 0;
    options.bDecodeCharRefs = (flags & 2) == 0;
    std::string input = data.ConsumeRandomLengthString(data.remaining_bytes());
    std::vector<size_t> cuts = ChooseCuts(data, input.size());
    const bool bWordsFirst = (flags & 4) != 0;
    byte_search::SetForm(bWordsFirst ? byte_search::kWord : byte_search::kSse2);
    Events events = TokenizeReused(reused, input, cuts, options);
    if (ForwardReused(forwarder, sink, input, cuts, options) != WithZeroBytesAsSpaces(events)) abort();
    byte_search::SetForm(bWordsFirst ? byte_search::kSse2 : byte_search::kWord);
    if (JoinText(TokenizeWhole(input, options)) != JoinText(events)) abort();
  }
  return 0;
}
