#include "html/CHtmlTextForwarder.h"

#include "html/SinkText.h"

CHtmlTextForwarder::CHtmlTextForwarder() : m_pSink(NULL) {}

CHtmlTextForwarder::~CHtmlTextForwarder() {}

void CHtmlTextForwarder::Attach(CHtmlTextSink* pSink) {
  if (!pSink) return;
  m_pSink = pSink;
  Init();
}

BOOL CHtmlTextForwarder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  m_pSink->OnStartTag(MakeSinkText(pName), ppAttrs, nAttrs, pbContinue);
  return TRUE;
}

BOOL CHtmlTextForwarder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  m_pSink->OnEndTag(MakeSinkText(pName), pbContinue);
  return TRUE;
}

BOOL CHtmlTextForwarder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  m_pSink->OnText(MakeSinkText(pText), pbContinue);
  return TRUE;
}

BOOL CHtmlTextForwarder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  m_pSink->OnText(MakeSinkText(pComment), pbContinue);
  return TRUE;
}
