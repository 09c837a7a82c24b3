#include "html/CHtmlTextSink.h"

CHtmlTextSink::CHtmlTextSink() {}

BOOL CHtmlTextSink::OnStartTag(LPCSTR, CNameValuePair**, int, BOOL*) { return TRUE; }

BOOL CHtmlTextSink::OnEndTag(LPCSTR, BOOL*) { return TRUE; }

BOOL CHtmlTextSink::OnText(LPCSTR, BOOL*) { return TRUE; }

BOOL CHtmlTextSink::OnComment(LPCSTR, BOOL*) { return TRUE; }
