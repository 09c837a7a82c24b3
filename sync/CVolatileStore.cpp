#include "sync/CVolatileStore.h"

#include <string.h>

#include "sync/CNamedMutexLock.h"
#include "sync/FormatString.h"

namespace {

ATOM PropertyAtom(HWND hDesktop, LPCSTR lpszPropName) {
  return static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hDesktop, lpszPropName)));
}

}  // namespace

CVolatileStore::CVolatileStore(LPCSTR lpszName) : m_atomReg(0) {
  FormatString(m_strPropName, "LdVltlOpt_%s", lpszName);
  FormatString(m_strMutexName, "LdVltlMtx_%s", lpszName);
  FormatString(m_strRegName, "LdVltlRc_%s", lpszName);
}

CVolatileStore::~CVolatileStore() {
  if (m_atomReg != 0) Unregister();
}

BOOL CVolatileStore::Register() {
  // A second reference from the same object would outlive its Unregister.
  if (m_atomReg != 0) return TRUE;
  m_atomReg = GlobalAddAtomA(m_strRegName);
  return m_atomReg != 0;
}

BOOL CVolatileStore::Set(LPCSTR lpszValue) {
  CNamedMutexLock lock(m_strMutexName);
  if (!lock.IsHeld()) return FALSE;
  return SetLocked(lpszValue);
}

BOOL CVolatileStore::SetLocked(LPCSTR lpszValue) {
  if (GlobalFindAtomA(m_strRegName) == 0) return FALSE;
  if (lpszValue == NULL || strlen(lpszValue) > static_cast<size_t>(kMaxValueLength)) return FALSE;
  ATOM atomNew = GlobalAddAtomA(lpszValue);
  if (atomNew == 0) return FALSE;
  HWND hDesktop = GetDesktopWindow();
  ATOM atomOld = PropertyAtom(hDesktop, m_strPropName);
  if (!SetPropA(hDesktop, m_strPropName, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atomNew)))) {
    GlobalDeleteAtom(atomNew);
    return FALSE;
  }
  // The name held one reference of its old value (the same atom when the
  // text did not change): give exactly that one back.
  if (atomOld != 0) GlobalDeleteAtom(atomOld);
  return TRUE;
}

BOOL CVolatileStore::Get(CString& rValue) {
  CNamedMutexLock lock(m_strMutexName);
  if (!lock.IsHeld()) return FALSE;
  rValue.Empty();
  ATOM atomValue = PropertyAtom(GetDesktopWindow(), m_strPropName);
  if (atomValue == 0) return TRUE;
  const int kBufferLength = 260;
  UINT nLength = GlobalGetAtomNameA(atomValue, rValue.GetBuffer(kBufferLength), kBufferLength);
  rValue.ReleaseBuffer(static_cast<int>(nLength));
  return TRUE;
}

void CVolatileStore::Unregister() {
  CNamedMutexLock lock(m_strMutexName);
  if (!lock.IsHeld() || m_atomReg == 0) return;
  GlobalDeleteAtom(m_atomReg);
  m_atomReg = 0;
}
