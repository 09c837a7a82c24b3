// Nodes are carved from blocks of m_nBlockSize nodes and recycled through a
// free list; when the list becomes empty, all blocks are released.
#include "CPtrList.h"

#include "AfxPrivate.h"
#include "CPlex.h"

IMPLEMENT_DYNAMIC(CPtrList, CObject)

namespace {

// Accessors that must return a reference end the process on a null position
// or an empty list instead of dereferencing nothing.
template <typename Node>
Node* Checked(Node* pNode, const char* what) {
  if (pNode == NULL) AfxFatal(what);
  return pNode;
}

}  // namespace

CPtrList::CPtrList(int nBlockSize)
    : m_pNodeHead(NULL),
      m_pNodeTail(NULL),
      m_nCount(0),
      m_pNodeFree(NULL),
      m_pBlocks(NULL),
      m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CPtrList::~CPtrList() { RemoveAll(); }

CPtrList::CNode* CPtrList::NewNode(CNode* pPrev, CNode* pNext) {
  if (m_pNodeFree == NULL) {
    CPlex* pNewBlock = CPlex::Create(m_pBlocks, m_nBlockSize, sizeof(CNode));
    // Chain the block's nodes into the free list, first node first out.
    CNode* pNode = static_cast<CNode*>(pNewBlock->data()) + m_nBlockSize - 1;
    for (int i = m_nBlockSize - 1; i >= 0; --i, --pNode) {
      pNode->pNext = m_pNodeFree;
      m_pNodeFree = pNode;
    }
  }
  CNode* pNode = m_pNodeFree;
  m_pNodeFree = m_pNodeFree->pNext;
  pNode->pPrev = pPrev;
  pNode->pNext = pNext;
  pNode->data = NULL;
  ++m_nCount;
  return pNode;
}

void CPtrList::FreeNode(CNode* pNode) {
  pNode->pNext = m_pNodeFree;
  m_pNodeFree = pNode;
  if (--m_nCount == 0) RemoveAll();
}

void CPtrList::RemoveAll() {
  m_nCount = 0;
  m_pNodeHead = m_pNodeTail = m_pNodeFree = NULL;
  CPlex::FreeDataChain(m_pBlocks);
  m_pBlocks = NULL;
}

void*& CPtrList::GetHead() { return Checked(m_pNodeHead, "GetHead on an empty CPtrList")->data; }
void* CPtrList::GetHead() const { return Checked(m_pNodeHead, "GetHead on an empty CPtrList")->data; }
void*& CPtrList::GetTail() { return Checked(m_pNodeTail, "GetTail on an empty CPtrList")->data; }
void* CPtrList::GetTail() const { return Checked(m_pNodeTail, "GetTail on an empty CPtrList")->data; }

// Removing from an empty list does nothing and returns NULL.
void* CPtrList::RemoveHead() {
  CNode* pOld = m_pNodeHead;
  if (pOld == NULL) return NULL;
  void* returnValue = pOld->data;
  m_pNodeHead = pOld->pNext;
  if (m_pNodeHead != NULL)
    m_pNodeHead->pPrev = NULL;
  else
    m_pNodeTail = NULL;
  FreeNode(pOld);
  return returnValue;
}

void* CPtrList::RemoveTail() {
  CNode* pOld = m_pNodeTail;
  if (pOld == NULL) return NULL;
  void* returnValue = pOld->data;
  m_pNodeTail = pOld->pPrev;
  if (m_pNodeTail != NULL)
    m_pNodeTail->pNext = NULL;
  else
    m_pNodeHead = NULL;
  FreeNode(pOld);
  return returnValue;
}

POSITION CPtrList::AddHead(void* newElement) {
  CNode* pNewNode = NewNode(NULL, m_pNodeHead);
  pNewNode->data = newElement;
  if (m_pNodeHead != NULL)
    m_pNodeHead->pPrev = pNewNode;
  else
    m_pNodeTail = pNewNode;
  m_pNodeHead = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

POSITION CPtrList::AddTail(void* newElement) {
  CNode* pNewNode = NewNode(m_pNodeTail, NULL);
  pNewNode->data = newElement;
  if (m_pNodeTail != NULL)
    m_pNodeTail->pNext = pNewNode;
  else
    m_pNodeHead = pNewNode;
  m_pNodeTail = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

// Both keep the other list's order; adding a list to itself doubles it.
void CPtrList::AddHead(CPtrList* pNewList) {
  if (pNewList == NULL) return;
  CNode* pNode = pNewList->m_pNodeTail;
  for (int n = pNewList->m_nCount; n > 0; --n) {
    void* data = pNode->data;
    pNode = pNode->pPrev;  // read before adding: the list may be this one
    AddHead(data);
  }
}

void CPtrList::AddTail(CPtrList* pNewList) {
  if (pNewList == NULL) return;
  CNode* pNode = pNewList->m_pNodeHead;
  for (int n = pNewList->m_nCount; n > 0; --n) {
    void* data = pNode->data;
    pNode = pNode->pNext;
    AddTail(data);
  }
}

void*& CPtrList::GetNext(POSITION& rPosition) {
  CNode* pNode = Checked(reinterpret_cast<CNode*>(rPosition), "GetNext at a null position");
  rPosition = reinterpret_cast<POSITION>(pNode->pNext);
  return pNode->data;
}

void* CPtrList::GetNext(POSITION& rPosition) const {
  CNode* pNode = Checked(reinterpret_cast<CNode*>(rPosition), "GetNext at a null position");
  rPosition = reinterpret_cast<POSITION>(pNode->pNext);
  return pNode->data;
}

void*& CPtrList::GetPrev(POSITION& rPosition) {
  CNode* pNode = Checked(reinterpret_cast<CNode*>(rPosition), "GetPrev at a null position");
  rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
  return pNode->data;
}

void* CPtrList::GetPrev(POSITION& rPosition) const {
  CNode* pNode = Checked(reinterpret_cast<CNode*>(rPosition), "GetPrev at a null position");
  rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
  return pNode->data;
}

void*& CPtrList::GetAt(POSITION position) {
  return Checked(reinterpret_cast<CNode*>(position), "GetAt at a null position")->data;
}

void* CPtrList::GetAt(POSITION position) const {
  return Checked(reinterpret_cast<CNode*>(position), "GetAt at a null position")->data;
}

void CPtrList::SetAt(POSITION pos, void* newElement) {
  CNode* pNode = reinterpret_cast<CNode*>(pos);
  if (pNode != NULL) pNode->data = newElement;
}

void CPtrList::RemoveAt(POSITION position) {
  CNode* pOldNode = reinterpret_cast<CNode*>(position);
  if (pOldNode == NULL) return;
  if (pOldNode == m_pNodeHead)
    m_pNodeHead = pOldNode->pNext;
  else
    pOldNode->pPrev->pNext = pOldNode->pNext;
  if (pOldNode == m_pNodeTail)
    m_pNodeTail = pOldNode->pPrev;
  else
    pOldNode->pNext->pPrev = pOldNode->pPrev;
  FreeNode(pOldNode);
}

// A null position inserts at the head (InsertBefore) or tail (InsertAfter).
POSITION CPtrList::InsertBefore(POSITION position, void* newElement) {
  CNode* pOldNode = reinterpret_cast<CNode*>(position);
  if (pOldNode == NULL) return AddHead(newElement);
  CNode* pNewNode = NewNode(pOldNode->pPrev, pOldNode);
  pNewNode->data = newElement;
  if (pOldNode->pPrev != NULL)
    pOldNode->pPrev->pNext = pNewNode;
  else
    m_pNodeHead = pNewNode;
  pOldNode->pPrev = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

POSITION CPtrList::InsertAfter(POSITION position, void* newElement) {
  CNode* pOldNode = reinterpret_cast<CNode*>(position);
  if (pOldNode == NULL) return AddTail(newElement);
  CNode* pNewNode = NewNode(pOldNode, pOldNode->pNext);
  pNewNode->data = newElement;
  if (pOldNode->pNext != NULL)
    pOldNode->pNext->pPrev = pNewNode;
  else
    m_pNodeTail = pNewNode;
  pOldNode->pNext = pNewNode;
  return reinterpret_cast<POSITION>(pNewNode);
}

POSITION CPtrList::Find(void* searchValue, POSITION startAfter) const {
  CNode* pNode = reinterpret_cast<CNode*>(startAfter);
  pNode = pNode == NULL ? m_pNodeHead : pNode->pNext;
  for (; pNode != NULL; pNode = pNode->pNext) {
    if (pNode->data == searchValue) return reinterpret_cast<POSITION>(pNode);
  }
  return NULL;
}

POSITION CPtrList::FindIndex(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_nCount) return NULL;
  CNode* pNode = m_pNodeHead;
  while (nIndex-- > 0) pNode = pNode->pNext;
  return reinterpret_cast<POSITION>(pNode);
}
