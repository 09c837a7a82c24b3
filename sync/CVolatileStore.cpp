#include "sync/CVolatileStore.h"

#include <string.h>

#include "sync/CNamedMutexLock.h"
#include "sync/FormatString.h"

namespace {

// Opens the encoded form of a value, and within it escapes the character
// that follows.
const char kEscape = '\x01';
const int kAtomNameBuffer = 260;

ATOM PropertyAtom(HWND hDesktop, LPCSTR lpszPropName) {
  return static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hDesktop, lpszPropName)));
}

char LowerCase(char c) {
  char szChar[2] = {c, '\0'};
  CharLowerBuffA(szChar, 1);
  return szChar[0];
}

char UpperCase(char c) {
  char szChar[2] = {c, '\0'};
  CharUpperBuffA(szChar, 1);
  return szChar[0];
}

// The form of a text that no other text shares when atom names are
// compared without regard to case: the escape character, then the text
// with each upper-case letter written as the escape and the letter in lower
// case, and the escape character itself doubled.
CString EncodedForm(LPCSTR lpszText) {
  CString strForm(kEscape);
  for (LPCSTR p = lpszText; *p != '\0'; ++p) {
    char cLower = LowerCase(*p);
    if (*p == kEscape || cLower != *p) strForm += kEscape;
    strForm += *p == kEscape ? kEscape : cLower;
  }
  return strForm;
}

// The text of an atom name: an encoded form decoded, any other name as it is.
CString DecodedText(LPCSTR lpszName) {
  if (lpszName[0] != kEscape) return CString(lpszName);
  CString strText;
  for (LPCSTR p = lpszName + 1; *p != '\0'; ++p) {
    if (*p == kEscape && p[1] != '\0') {
      ++p;
      strText += *p == kEscape ? kEscape : UpperCase(*p);
    } else {
      strText += *p;
    }
  }
  return strText;
}

// A reference of the atom named exactly lpszName; 0 when the table has no
// such atom to give: the name is invalid, or it matches an atom of another
// spelling (names ignore case; "#NNNN" is the integer atom NNNN).
ATOM AddExactAtom(LPCSTR lpszName) {
  if (strlen(lpszName) > static_cast<size_t>(CVolatileStore::kMaxValueLength)) return 0;
  ATOM atom = GlobalAddAtomA(lpszName);
  if (atom == 0) return 0;
  char szName[kAtomNameBuffer];
  if (GlobalGetAtomNameA(atom, szName, kAtomNameBuffer) != 0 && strcmp(szName, lpszName) == 0) return atom;
  GlobalDeleteAtom(atom);
  return 0;
}

// The atom that stores the text so that Get reads it back exactly: the text
// itself where the table keeps it as it is (so that every reader, also of an
// older build, reads it), otherwise its encoded form; 0 when neither fits.
ATOM AddValueAtom(LPCSTR lpszValue) {
  if (lpszValue[0] != kEscape) {
    ATOM atom = AddExactAtom(lpszValue);
    if (atom != 0) return atom;
  }
  const CString strEncoded = EncodedForm(lpszValue);
  if (DecodedText(strEncoded) != lpszValue) return 0;  // a character without a case partner to undo
  return AddExactAtom(strEncoded);
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
  if (lpszValue == NULL || lpszValue[0] == '\0' || strlen(lpszValue) > static_cast<size_t>(kMaxValueLength))
    return FALSE;
  ATOM atomNew = AddValueAtom(lpszValue);
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
  char szName[kAtomNameBuffer];
  UINT nLength = GlobalGetAtomNameA(atomValue, szName, kAtomNameBuffer);
  szName[nLength < static_cast<UINT>(kAtomNameBuffer) ? nLength : 0] = '\0';
  rValue = DecodedText(szName);
  return TRUE;
}

void CVolatileStore::Unregister() {
  CNamedMutexLock lock(m_strMutexName);
  if (!lock.IsHeld() || m_atomReg == 0) return;
  GlobalDeleteAtom(m_atomReg);
  m_atomReg = 0;
}
