// Shared by the forwarders: a tokenizer buffer as the zero-terminated text
// a sink receives.
#pragma once

#include "html/CTextBuffer.h"

// Terminates the buffer's content in place and returns it; zero bytes
// inside become spaces, so a sink sees the whole content.
LPCSTR MakeSinkText(CTextBuffer* pBuffer);
