// Doubly linked list of untyped pointers. Nodes are carved from blocks of
// m_nBlockSize nodes and recycled through a free list, as the framework does.
#pragma once

#include "CObject.h"

class AFX_API CPtrList : public CObject {
  DECLARE_DYNAMIC(CPtrList)
 protected:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    void* data;
  };

 public:
  explicit CPtrList(int nBlockSize = 10);
  ~CPtrList() override;

  int GetCount() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  void*& GetHead();
  void* GetHead() const;
  void*& GetTail();
  void* GetTail() const;

  void* RemoveHead();
  void* RemoveTail();
  POSITION AddHead(void* newElement);
  POSITION AddTail(void* newElement);
  void AddHead(CPtrList* pNewList);
  void AddTail(CPtrList* pNewList);
  void RemoveAll();

  POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
  POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
  void*& GetNext(POSITION& rPosition);
  void* GetNext(POSITION& rPosition) const;
  void*& GetPrev(POSITION& rPosition);
  void* GetPrev(POSITION& rPosition) const;

  void*& GetAt(POSITION position);
  void* GetAt(POSITION position) const;
  void SetAt(POSITION pos, void* newElement);
  void RemoveAt(POSITION position);

  POSITION InsertBefore(POSITION position, void* newElement);
  POSITION InsertAfter(POSITION position, void* newElement);

  // Searches from the head, or after startAfter, for the exact pointer.
  POSITION Find(void* searchValue, POSITION startAfter = NULL) const;
  POSITION FindIndex(int nIndex) const;

 protected:
  CNode* NewNode(CNode* pPrev, CNode* pNext);
  void FreeNode(CNode* pNode);

  CNode* m_pNodeHead;
  CNode* m_pNodeTail;
  int m_nCount;
  CNode* m_pNodeFree;
  struct CPlex* m_pBlocks;
  int m_nBlockSize;
};
