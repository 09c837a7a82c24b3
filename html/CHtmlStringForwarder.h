// A tokenizer that hands its events to a CHtmlStringSink as framework
// strings. Attach the sink (which also prepares the tokenizer), set options,
// Parse each chunk, Finish. The sink is not owned and must outlive every
// Parse and Finish call. Each callback returns what the sink's operation
// returned (1 without a sink); the tokenizer ignores it.
#pragma once

#include "html/CHtmlStringSink.h"
#include "html/CHtmlTokenizer.h"

class CHtmlStringForwarder : public CHtmlTokenizer {
 public:
  CHtmlStringForwarder();
  ~CHtmlStringForwarder() override;

  // Stores the sink and runs Init; does nothing for a null sink. Events
  // before a sink is attached are dropped.
  void Attach(CHtmlStringSink* pSink);

  BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override;
  BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) override;
  BOOL OnText(CTextBuffer* pText, BOOL* pbContinue) override;
  BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) override;

  CHtmlStringSink* m_pSink;
};
