#include "CPlex.h"

#include "AfxPrivate.h"

CPlex* CPlex::Create(CPlex*& pHead, int nMax, size_t cbElement) {
  size_t nBytes = sizeof(CPlex) + AfxCheckedBytes(nMax, cbElement);
  CPlex* p = static_cast<CPlex*>(AfxAllocOrDie(nBytes));
  p->pNext = pHead;
  pHead = p;
  return p;
}

void CPlex::FreeDataChain(CPlex* pHead) {
  while (pHead != NULL) {
    CPlex* pNext = pHead->pNext;
    AfxFreeMemory(pHead);
    pHead = pNext;
  }
}
