// Loads string resource nID through the resource chain into rString
// (empty, and FALSE, when no module has it). Not part of the interface.
#pragma once

#include "CString.h"

BOOL AfxLoadStringInto(CString& rString, UINT nID);
