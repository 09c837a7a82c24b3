// The framework's string: one pointer to a zero-terminated character array
// that carries its length and capacity in a header just before it. Every
// allocation and release happens inside the framework module, so strings
// may be passed and freed across module boundaries.
#pragma once

#include <stdarg.h>

#include "afxver.h"

struct CStringData {
  long nRefs;
  int nDataLength;
  int nAllocLength;
  // followed by nAllocLength + 1 characters
  char* data() { return reinterpret_cast<char*>(this + 1); }
};

class AFX_API CString {
 public:
  CString();
  CString(const CString& stringSrc);
  CString(char ch, int nRepeat = 1);
  CString(LPCSTR lpsz);
  CString(LPCSTR lpch, int nLength);
  CString(const unsigned char* psz);
  ~CString();

  int GetLength() const { return GetData()->nDataLength; }
  BOOL IsEmpty() const { return GetData()->nDataLength == 0; }
  void Empty();

  char GetAt(int nIndex) const;
  char operator[](int nIndex) const;
  void SetAt(int nIndex, char ch);
  operator LPCSTR() const { return m_pchData; }

  const CString& operator=(const CString& stringSrc);
  const CString& operator=(char ch);
  const CString& operator=(LPCSTR lpsz);
  const CString& operator=(const unsigned char* psz);

  const CString& operator+=(const CString& string);
  const CString& operator+=(char ch);
  const CString& operator+=(LPCSTR lpsz);

  friend AFX_API CString operator+(const CString& string1, const CString& string2);
  friend AFX_API CString operator+(const CString& string, char ch);
  friend AFX_API CString operator+(char ch, const CString& string);
  friend AFX_API CString operator+(const CString& string, LPCSTR lpsz);
  friend AFX_API CString operator+(LPCSTR lpsz, const CString& string);

  int Compare(LPCSTR lpsz) const;
  int CompareNoCase(LPCSTR lpsz) const;
  int Collate(LPCSTR lpsz) const;

  CString Mid(int nFirst, int nCount) const;
  CString Mid(int nFirst) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(LPCSTR lpszCharSet) const;
  CString SpanExcluding(LPCSTR lpszCharSet) const;

  void MakeUpper();
  void MakeLower();
  void MakeReverse();
  void TrimRight();
  void TrimLeft();
  int Replace(LPCSTR lpszOld, LPCSTR lpszNew);

  int Find(char ch) const;
  int Find(char ch, int nStart) const;
  int Find(LPCSTR lpszSub) const;
  int Find(LPCSTR lpszSub, int nStart) const;
  int ReverseFind(char ch) const;
  int FindOneOf(LPCSTR lpszCharSet) const;

  void Format(LPCSTR lpszFormat, ...);
  void FormatV(LPCSTR lpszFormat, va_list argList);

  // Loads string resource nID through the framework's resource chain
  // (Windows build only). Returns FALSE and leaves the string empty when no
  // module in the chain has it.
  BOOL LoadString(UINT nID);

  LPSTR GetBuffer(int nMinBufLength);
  void ReleaseBuffer(int nNewLength = -1);
  // Makes the content nNewLength bytes long (those already there are kept,
  // the rest are the caller's to write) and returns the buffer. A string
  // refilled again and again usually has the room: that case is inline.
  // (The shared empty buffer has no room, so it never gets here.)
  LPSTR GetBufferSetLength(int nNewLength) {
    CStringData* p = GetData();
    // As unsigned numbers a negative length is beyond any room: one test
    // for both.
    if (static_cast<unsigned>(nNewLength) > static_cast<unsigned>(p->nAllocLength) || p->nAllocLength == 0) {
      return GrowBufferSetLength(nNewLength);
    }
    p->nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
    return m_pchData;
  }
  void FreeExtra();

 private:
  CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
  // Replace or extend the content with nSrcLen bytes that may lie inside
  // this string's own buffer.
  void AssignCopy(int nSrcLen, LPCSTR lpszSrcData);
  void ConcatInPlace(int nSrcLen, LPCSTR lpszSrcData);
  // GetBufferSetLength when the buffer must grow first (or is the shared
  // empty one, never written).
  LPSTR GrowBufferSetLength(int nNewLength);
  // Puts pData in place of the current buffer and frees the old one.
  void ReplaceData(CStringData* pData);

  LPSTR m_pchData;
};

AFX_API bool operator==(const CString& s1, const CString& s2);
AFX_API bool operator==(const CString& s1, LPCSTR s2);
AFX_API bool operator==(LPCSTR s1, const CString& s2);
AFX_API bool operator!=(const CString& s1, const CString& s2);
AFX_API bool operator!=(const CString& s1, LPCSTR s2);
AFX_API bool operator!=(LPCSTR s1, const CString& s2);
AFX_API bool operator<(const CString& s1, const CString& s2);
AFX_API bool operator<(const CString& s1, LPCSTR s2);
AFX_API bool operator<(LPCSTR s1, const CString& s2);
AFX_API bool operator>(const CString& s1, const CString& s2);
AFX_API bool operator>(const CString& s1, LPCSTR s2);
AFX_API bool operator>(LPCSTR s1, const CString& s2);
AFX_API bool operator<=(const CString& s1, const CString& s2);
AFX_API bool operator<=(const CString& s1, LPCSTR s2);
AFX_API bool operator<=(LPCSTR s1, const CString& s2);
AFX_API bool operator>=(const CString& s1, const CString& s2);
AFX_API bool operator>=(const CString& s1, LPCSTR s2);
AFX_API bool operator>=(LPCSTR s1, const CString& s2);
