// libFuzzer target: one tokenizer, reused from document to document as
// hosts reuse theirs, must give each document the same tags, comments and
// text as a fresh tokenizer given the document whole, however the input
// cuts the document into chunks (any length from 0 to the whole document).
//
// Input: one byte of options, then up to three documents, each followed by
// the chunk lengths it is cut into (taken from the end of the input).
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "EventRecorder.h"

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

Events TokenizeReused(CEventRecorder& tokenizer, const std::string& input, const std::vector<size_t>& cuts,
                      const TokenizeOptions& options) {
  tokenizer.m_events.clear();
  if (!tokenizer.Init()) abort();
  tokenizer.SetKeepLineBreaks(options.bKeepLineBreaks);
  tokenizer.SetDecodeCharRefs(options.bDecodeCharRefs);
  size_t start = 0;
  for (size_t i = 0; i <= cuts.size(); ++i) {
    size_t end = i < cuts.size() ? cuts[i] : input.size();
    if (!tokenizer.Parse(input.data() + start, static_cast<int>(end - start))) abort();
    start = end;
  }
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
  for (int nDocument = 0; nDocument < kMaxDocuments && data.remaining_bytes() > 0; ++nDocument) {
    uint8_t flags = data.ConsumeIntegral<uint8_t>();
    TokenizeOptions options;
    options.bKeepLineBreaks = (flags & 1) != 0;
    options.bDecodeCharRefs = (flags & 2) == 0;
    std::string input = data.ConsumeRandomLengthString(data.remaining_bytes());
    std::vector<size_t> cuts = ChooseCuts(data, input.size());
    if (JoinText(TokenizeWhole(input, options)) != JoinText(TokenizeReused(reused, input, cuts, options))) abort();
  }
  return 0;
}
