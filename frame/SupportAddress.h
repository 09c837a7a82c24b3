// The vendor's support e-mail address, given at the end of the library's
// error messages.
#pragma once

extern const char g_szSupportEmail[];
