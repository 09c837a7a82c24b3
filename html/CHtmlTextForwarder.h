// A tokenizer that hands its events to a CHtmlTextSink as zero-terminated
// texts in its own buffers. Comments go to the sink's OnText, like text.
// The sink is not owned and must outlive every Parse and Finish call.
#pragma once

#include "html/CHtmlTextSink.h"
#include "html/CHtmlTokenizer.h"

class CHtmlTextForwarder : public CHtmlTokenizer {
 public:
  CHtmlTextForwarder();
  ~CHtmlTextForwarder() override;

  // Stores the sink and runs Init; does nothing for a null sink. Events
  // before a sink is attached are dropped.
  void Attach(CHtmlTextSink* pSink);

  BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override;
  BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) override;
  BOOL OnText(CTextBuffer* pText, BOOL* pbContinue) override;
  BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) override;

  CHtmlTextSink* m_pSink;
};
