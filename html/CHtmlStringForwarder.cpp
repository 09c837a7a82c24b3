#include "html/CHtmlStringForwarder.h"

#include "html/SinkText.h"

CHtmlStringForwarder::CHtmlStringForwarder() : m_pSink(NULL) {}

CHtmlStringForwarder::~CHtmlStringForwarder() {}

void CHtmlStringForwarder::Attach(CHtmlStringSink* pSink) {
  if (!pSink) return;
  m_pSink = pSink;
  Init();
}

BOOL CHtmlStringForwarder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CString strName(MakeSinkText(pName));
  m_pSink->OnStartTag(strName, ppAttrs, nAttrs, pbContinue);
  return TRUE;
}

BOOL CHtmlStringForwarder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CString strName(MakeSinkText(pName));
  m_pSink->OnEndTag(strName, pbContinue);
  return TRUE;
}

BOOL CHtmlStringForwarder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CString strText(MakeSinkText(pText));
  m_pSink->OnText(strText, pbContinue);
  return TRUE;
}

BOOL CHtmlStringForwarder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CString strComment(MakeSinkText(pComment));
  m_pSink->OnComment(strComment, pbContinue);
  return TRUE;
}
