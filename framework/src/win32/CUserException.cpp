#include "CUserException.h"

IMPLEMENT_DYNAMIC(CUserException, CException)

CUserException::CUserException() {}

CUserException::~CUserException() {}

void AfxThrowUserException() { throw new CUserException; }
