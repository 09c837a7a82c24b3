#include "CObject.h"

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, NULL, NULL};

CObject::CObject() {}

CObject::~CObject() {}

CRuntimeClass* CObject::GetRuntimeClass() const { return &CObject::classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

CObject* CRuntimeClass::CreateObject() {
  if (m_pfnCreateObject == NULL) return NULL;
  return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  if (pBaseClass == NULL) return FALSE;
  for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass) {
    if (p == pBaseClass) return TRUE;
  }
  return FALSE;
}
