#include "EventRecorder.h"

namespace {

std::string Content(const CTextBuffer* pBuffer) {
  return std::string(pBuffer->m_pBegin, static_cast<size_t>(pBuffer->GetLength()));
}

}  // namespace

void CEventRecorder::Record(const std::string& event, BOOL* pbContinue) {
  EXPECT_EQ(*pbContinue, TRUE);
  if (static_cast<int>(m_events.size()) == m_nStopAtEvent) *pbContinue = FALSE;
  m_events.push_back(event);
}

std::string StartTagEvent(const std::string& name, CNameValuePair** ppAttrs, int nAttrs) {
  std::string event = "start:" + name;
  for (int i = 0; i < nAttrs; ++i) {
    event += " ";
    event += static_cast<LPCSTR>(ppAttrs[i]->m_strName);
    event += "=[";
    event += static_cast<LPCSTR>(ppAttrs[i]->m_strValue);
    event += "]";
  }
  return event;
}

BOOL CEventRecorder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  Record(StartTagEvent(Content(pName), ppAttrs, nAttrs), pbContinue);
  return TRUE;
}

BOOL CEventRecorder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  Record("end:" + Content(pName), pbContinue);
  return TRUE;
}

BOOL CEventRecorder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  Record("text:" + Content(pText), pbContinue);
  return TRUE;
}

BOOL CEventRecorder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  Record("comment:" + Content(pComment), pbContinue);
  return TRUE;
}

void FeedInChunks(CHtmlTokenizer& tokenizer, const std::string& input, const std::vector<size_t>& cuts,
                  const TokenizeOptions& options) {
  EXPECT_TRUE(tokenizer.Init());
  tokenizer.SetKeepLineBreaks(options.bKeepLineBreaks);
  tokenizer.SetDecodeCharRefs(options.bDecodeCharRefs);
  size_t start = 0;
  for (size_t i = 0; i <= cuts.size(); ++i) {
    size_t end = i < cuts.size() ? cuts[i] : input.size();
    EXPECT_TRUE(tokenizer.Parse(input.data() + start, static_cast<int>(end - start)));
    start = end;
  }
}

std::vector<size_t> EveryByteCuts(size_t nLength) {
  std::vector<size_t> cuts;
  for (size_t at = 1; at < nLength; ++at) cuts.push_back(at);
  return cuts;
}

Events TokenizeInChunks(const std::string& input, const std::vector<size_t>& cuts, const TokenizeOptions& options) {
  CEventRecorder tokenizer;
  FeedInChunks(tokenizer, input, cuts, options);
  tokenizer.Finish();
  return tokenizer.m_events;
}

Events TokenizeWhole(const std::string& input, const TokenizeOptions& options) {
  return TokenizeInChunks(input, std::vector<size_t>(), options);
}

Events JoinText(const Events& events) {
  Events joined;
  for (const std::string& event : events) {
    bool bText = event.compare(0, 5, "text:") == 0;
    if (bText && !joined.empty() && joined.back().compare(0, 5, "text:") == 0)
      joined.back() += event.substr(5);
    else
      joined.push_back(event);
  }
  return joined;
}
