#include "html/CNameValuePair.h"

CNameValuePair::CNameValuePair() {}

CNameValuePair::~CNameValuePair() {}
