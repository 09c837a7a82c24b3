// A tokenizer derived in the host, as client modules derive theirs: it
// records every event as one line of text, and can stop the tokenizer at a
// chosen event.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/CHtmlTokenizer.h"

// "start:NAME a=[v] b=[]", "end:NAME", "text:TEXT", "comment:TEXT"
typedef std::vector<std::string> Events;

class CEventRecorder : public CHtmlTokenizer {
 public:
  CEventRecorder() : m_nStopAtEvent(-1) {}

  BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override;
  BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) override;
  BOOL OnText(CTextBuffer* pText, BOOL* pbContinue) override;
  BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) override;

  Events m_events;
  // Index of the event whose callback clears the continue flag; -1: none.
  int m_nStopAtEvent;

 private:
  void Record(const std::string& event, BOOL* pbContinue);
};

struct TokenizeOptions {
  bool bKeepLineBreaks = false;
  bool bDecodeCharRefs = true;
};

// Inits the tokenizer with the options and parses input cut at the given
// offsets (ascending, each inside the input); the caller finishes.
void FeedInChunks(CHtmlTokenizer& tokenizer, const std::string& input, const std::vector<size_t>& cuts,
                  const TokenizeOptions& options);

// "start:NAME a=[v] b=[]" for a start tag.
std::string StartTagEvent(const std::string& name, CNameValuePair** ppAttrs, int nAttrs);

// The offsets that cut an input of nLength bytes into one-byte chunks.
std::vector<size_t> EveryByteCuts(size_t nLength);

// Tokenizes input cut at the given offsets (ascending, each inside the
// input), with Init before and Finish after.
Events TokenizeInChunks(const std::string& input, const std::vector<size_t>& cuts,
                        const TokenizeOptions& options = TokenizeOptions());
Events TokenizeWhole(const std::string& input, const TokenizeOptions& options = TokenizeOptions());

// The events with consecutive text pieces joined: what must not depend on
// how the input was cut.
Events JoinText(const Events& events);
