#include "html/SinkText.h"

#include <string.h>

LPCSTR MakeSinkText(CTextBuffer* pBuffer) {
  char* p = pBuffer->m_pBegin;
  char* pEnd = pBuffer->m_pCursor;
  while (p < pEnd && (p = static_cast<char*>(memchr(p, '\0', static_cast<size_t>(pEnd - p)))) != NULL) *p++ = ' ';
  return pBuffer->Terminate();
}
