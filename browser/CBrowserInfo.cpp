#include "browser/CBrowserInfo.h"

CBrowserInfo::CBrowserInfo() : m_bAvailable(FALSE) {}

CBrowserInfo::~CBrowserInfo() {}

void CBrowserInfo::SetAvailable() { m_bAvailable = TRUE; }

BOOL CBrowserInfo::IsAvailable() { return m_bAvailable; }
