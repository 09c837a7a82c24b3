#include "html/CHtmlStringSink.h"

CHtmlStringSink::CHtmlStringSink() {}

BOOL CHtmlStringSink::OnStartTag(const CString&, CNameValuePair**, int, BOOL*) { return TRUE; }

BOOL CHtmlStringSink::OnEndTag(const CString&, BOOL*) { return TRUE; }

BOOL CHtmlStringSink::OnText(const CString&, BOOL*) { return TRUE; }

BOOL CHtmlStringSink::OnComment(const CString&, BOOL*) { return TRUE; }
