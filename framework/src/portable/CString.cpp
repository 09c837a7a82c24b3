// Strings own their buffer outright (no sharing between objects), so
// different objects may be used from different threads. Every empty string
// points at one static empty buffer that is never written.
#include "CString.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "AfxPrivate.h"

namespace {

struct NilString {
  CStringData header;
  char text[1];
};
static_assert(offsetof(NilString, text) == sizeof(CStringData),
              "the empty text must follow its header directly");

NilString g_nil = {{-1, 0, 0}, {0}};

LPSTR NilText() { return g_nil.text; }

bool IsNil(const CStringData* p) { return p == &g_nil.header; }

const int kMaxLength = INT_MAX - static_cast<int>(sizeof(CStringData)) - 1;
const int kMaxAppendSlack = 1 << 20;

// A data block with room for nAlloc characters plus the terminator, holding
// the empty text.
CStringData* AllocData(int nAlloc) {
  if (nAlloc < 0 || nAlloc > kMaxLength) AfxFatal("string length too large");
  CStringData* p = static_cast<CStringData*>(AfxAllocOrDie(sizeof(CStringData) + nAlloc + 1));
  p->nRefs = 1;
  p->nDataLength = 0;
  p->nAllocLength = nAlloc;
  p->data()[0] = '\0';
  return p;
}

void FreeData(CStringData* p) {
  if (!IsNil(p)) AfxFreeMemory(p);
}

int AddLengths(int a, int b) {
  if (b > kMaxLength - a) AfxFatal("string length too large");
  return a + b;
}

int SafeLength(LPCSTR lpsz) {
  if (lpsz == NULL) return 0;
  size_t n = strlen(lpsz);
  if (n > static_cast<size_t>(kMaxLength)) AfxFatal("string length too large");
  return static_cast<int>(n);
}

bool IsWhiteSpace(char c) {
  // isspace() of the C locale, whatever locale the process has set.
  return c == ' ' || (c >= '\t' && c <= '\r');
}

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int Sign(int n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }

// Two pieces joined into a new string.
CString Concat(LPCSTR p1, int n1, LPCSTR p2, int n2) {
  CString result;
  int nTotal = AddLengths(n1, n2);
  if (nTotal == 0) return result;
  LPSTR buf = result.GetBufferSetLength(nTotal);
  memcpy(buf, p1, n1);
  memcpy(buf + n1, p2, n2);
  return result;
}

LPCSTR OrEmpty(LPCSTR lpsz) { return lpsz != NULL ? lpsz : ""; }

// First occurrence of the nSub bytes at pSub inside the nText bytes at pText.
int FindBytes(LPCSTR pText, int nText, LPCSTR pSub, int nSub, int nFrom) {
  for (int i = nFrom; i <= nText - nSub; ++i) {
    if (memcmp(pText + i, pSub, nSub) == 0) return i;
  }
  return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CString::CString() : m_pchData(NilText()) {}

CString::CString(const CString& stringSrc) : m_pchData(NilText()) {
  AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
}

CString::CString(char ch, int nRepeat) : m_pchData(NilText()) {
  if (nRepeat >= 1) memset(GetBufferSetLength(nRepeat), ch, nRepeat);
}

CString::CString(LPCSTR lpsz) : m_pchData(NilText()) { AssignCopy(SafeLength(lpsz), lpsz); }

CString::CString(LPCSTR lpch, int nLength) : m_pchData(NilText()) {
  if (lpch != NULL && nLength > 0) AssignCopy(nLength, lpch);
}

CString::CString(const unsigned char* psz) : m_pchData(NilText()) {
  LPCSTR lpsz = reinterpret_cast<LPCSTR>(psz);
  AssignCopy(SafeLength(lpsz), lpsz);
}

CString::~CString() { FreeData(GetData()); }

// ---------------------------------------------------------------------------
// Buffer management

void CString::ReplaceData(CStringData* pData) {
  CStringData* pOld = GetData();
  m_pchData = pData->data();
  FreeData(pOld);
}

void CString::AssignCopy(int nSrcLen, LPCSTR lpszSrcData) {
  if (nSrcLen <= 0) {
    Empty();
    return;
  }
  CStringData* p = GetData();
  if (!IsNil(p) && nSrcLen <= p->nAllocLength) {
    memmove(m_pchData, lpszSrcData, nSrcLen);  // the source may overlap
  } else {
    // Fill the new block before the old one (which may hold the source) goes.
    p = AllocData(nSrcLen);
    memcpy(p->data(), lpszSrcData, nSrcLen);
    ReplaceData(p);
  }
  p->nDataLength = nSrcLen;
  m_pchData[nSrcLen] = '\0';
}

void CString::ConcatInPlace(int nSrcLen, LPCSTR lpszSrcData) {
  if (nSrcLen <= 0) return;
  CStringData* p = GetData();
  int nOldLen = p->nDataLength;
  int nNewLen = AddLengths(nOldLen, nSrcLen);
  if (IsNil(p) || nNewLen > p->nAllocLength) {
    // Leave room for as much again (at most 1 MB more), so that repeated
    // appends do not copy the whole text every time.
    int nSlack = nOldLen < kMaxAppendSlack ? nOldLen : kMaxAppendSlack;
    int nAlloc = nNewLen > kMaxLength - nSlack ? kMaxLength : nNewLen + nSlack;
    CStringData* pNew = AllocData(nAlloc);
    memcpy(pNew->data(), m_pchData, nOldLen);
    memcpy(pNew->data() + nOldLen, lpszSrcData, nSrcLen);
    ReplaceData(pNew);
    p = pNew;
  } else {
    memmove(m_pchData + nOldLen, lpszSrcData, nSrcLen);
  }
  p->nDataLength = nNewLen;
  m_pchData[nNewLen] = '\0';
}

LPSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength < 0) nMinBufLength = 0;
  CStringData* pOld = GetData();
  // The shared empty buffer is never handed out for writing.
  if (IsNil(pOld) || nMinBufLength > pOld->nAllocLength) {
    int nOldLen = pOld->nDataLength;
    CStringData* pNew = AllocData(nMinBufLength > nOldLen ? nMinBufLength : nOldLen);
    memcpy(pNew->data(), m_pchData, nOldLen + 1);
    pNew->nDataLength = nOldLen;
    ReplaceData(pNew);
  }
  return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
  CStringData* p = GetData();
  if (IsNil(p)) return;
  if (nNewLength < 0) {
    // Length up to the terminating zero, never looking past the buffer.
    const void* pZero = memchr(m_pchData, 0, p->nAllocLength);
    nNewLength = pZero != NULL ? static_cast<int>(static_cast<LPCSTR>(pZero) - m_pchData)
                               : p->nAllocLength;
  } else if (nNewLength > p->nAllocLength) {
    nNewLength = p->nAllocLength;
  }
  p->nDataLength = nNewLength;
  m_pchData[nNewLength] = '\0';
}

LPSTR CString::GrowBufferSetLength(int nNewLength) {
  if (nNewLength < 0) nNewLength = 0;
  GetBuffer(nNewLength);
  GetData()->nDataLength = nNewLength;
  m_pchData[nNewLength] = '\0';
  return m_pchData;
}

void CString::FreeExtra() {
  CStringData* p = GetData();
  if (IsNil(p) || p->nDataLength == p->nAllocLength) return;
  if (p->nDataLength == 0) {
    Empty();
    return;
  }
  CStringData* pNew = AllocData(p->nDataLength);
  memcpy(pNew->data(), m_pchData, p->nDataLength + 1);
  pNew->nDataLength = p->nDataLength;
  ReplaceData(pNew);
}

// ---------------------------------------------------------------------------
// Attributes and element access

void CString::Empty() {
  FreeData(GetData());
  m_pchData = NilText();
}

// Out-of-range indexes read as '\0' and are ignored by SetAt.
char CString::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetData()->nDataLength) return '\0';
  return m_pchData[nIndex];
}

char CString::operator[](int nIndex) const { return GetAt(nIndex); }

void CString::SetAt(int nIndex, char ch) {
  if (nIndex < 0 || nIndex >= GetData()->nDataLength) return;
  m_pchData[nIndex] = ch;
}

// ---------------------------------------------------------------------------
// Assignment and concatenation

const CString& CString::operator=(const CString& stringSrc) {
  if (this != &stringSrc) AssignCopy(stringSrc.GetLength(), stringSrc.m_pchData);
  return *this;
}

const CString& CString::operator=(char ch) {
  AssignCopy(1, &ch);
  return *this;
}

const CString& CString::operator=(LPCSTR lpsz) {
  AssignCopy(SafeLength(lpsz), lpsz);
  return *this;
}

const CString& CString::operator=(const unsigned char* psz) {
  return *this = reinterpret_cast<LPCSTR>(psz);
}

const CString& CString::operator+=(const CString& string) {
  ConcatInPlace(string.GetLength(), string.m_pchData);
  return *this;
}

const CString& CString::operator+=(char ch) {
  ConcatInPlace(1, &ch);
  return *this;
}

const CString& CString::operator+=(LPCSTR lpsz) {
  ConcatInPlace(SafeLength(lpsz), lpsz);
  return *this;
}

CString operator+(const CString& string1, const CString& string2) {
  return Concat(string1, string1.GetLength(), string2, string2.GetLength());
}

CString operator+(const CString& string, char ch) {
  return Concat(string, string.GetLength(), &ch, 1);
}

CString operator+(char ch, const CString& string) {
  return Concat(&ch, 1, string, string.GetLength());
}

CString operator+(const CString& string, LPCSTR lpsz) {
  return Concat(string, string.GetLength(), lpsz, SafeLength(lpsz));
}

CString operator+(LPCSTR lpsz, const CString& string) {
  return Concat(lpsz, SafeLength(lpsz), string, string.GetLength());
}

// ---------------------------------------------------------------------------
// Comparison

int CString::Compare(LPCSTR lpsz) const { return Sign(strcmp(m_pchData, OrEmpty(lpsz))); }

int CString::CompareNoCase(LPCSTR lpsz) const {
  // Both sides folded to lower case byte by byte, then compared unsigned.
  LPCSTR a = m_pchData;
  LPCSTR b = OrEmpty(lpsz);
  for (;; ++a, ++b) {
    int ca = static_cast<unsigned char>(ToLowerAscii(*a));
    int cb = static_cast<unsigned char>(ToLowerAscii(*b));
    if (ca != cb || ca == 0) return Sign(ca - cb);
  }
}

int CString::Collate(LPCSTR lpsz) const { return Sign(strcoll(m_pchData, OrEmpty(lpsz))); }

bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
bool operator==(const CString& s1, LPCSTR s2) { return s1.Compare(s2) == 0; }
bool operator==(LPCSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
bool operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
bool operator!=(const CString& s1, LPCSTR s2) { return s1.Compare(s2) != 0; }
bool operator!=(LPCSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
bool operator<(const CString& s1, LPCSTR s2) { return s1.Compare(s2) < 0; }
bool operator<(LPCSTR s1, const CString& s2) { return s2.Compare(s1) > 0; }
bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
bool operator>(const CString& s1, LPCSTR s2) { return s1.Compare(s2) > 0; }
bool operator>(LPCSTR s1, const CString& s2) { return s2.Compare(s1) < 0; }
bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
bool operator<=(const CString& s1, LPCSTR s2) { return s1.Compare(s2) <= 0; }
bool operator<=(LPCSTR s1, const CString& s2) { return s2.Compare(s1) >= 0; }
bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
bool operator>=(const CString& s1, LPCSTR s2) { return s1.Compare(s2) >= 0; }
bool operator>=(LPCSTR s1, const CString& s2) { return s2.Compare(s1) <= 0; }

// ---------------------------------------------------------------------------
// Extraction. Out-of-range arguments are clamped as the framework does:
// negative positions and counts count as 0, counts stop at the end.

CString CString::Mid(int nFirst, int nCount) const {
  int nLength = GetLength();
  if (nFirst < 0) nFirst = 0;
  if (nCount < 0) nCount = 0;
  if (nFirst > nLength) return CString();
  if (nCount > nLength - nFirst) nCount = nLength - nFirst;
  return CString(m_pchData + nFirst, nCount);
}

CString CString::Mid(int nFirst) const {
  if (nFirst < 0) nFirst = 0;
  if (nFirst > GetLength()) return CString();
  return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Left(int nCount) const {
  if (nCount < 0) nCount = 0;
  if (nCount > GetLength()) nCount = GetLength();
  return CString(m_pchData, nCount);
}

CString CString::Right(int nCount) const {
  if (nCount < 0) nCount = 0;
  if (nCount > GetLength()) nCount = GetLength();
  return CString(m_pchData + GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCSTR lpszCharSet) const {
  return Left(static_cast<int>(strspn(m_pchData, OrEmpty(lpszCharSet))));
}

CString CString::SpanExcluding(LPCSTR lpszCharSet) const {
  return Left(static_cast<int>(strcspn(m_pchData, OrEmpty(lpszCharSet))));
}

// ---------------------------------------------------------------------------
// In-place changes (byte by byte, C locale)

void CString::MakeUpper() {
  for (int i = 0; i < GetLength(); ++i) m_pchData[i] = ToUpperAscii(m_pchData[i]);
}

void CString::MakeLower() {
  for (int i = 0; i < GetLength(); ++i) m_pchData[i] = ToLowerAscii(m_pchData[i]);
}

void CString::MakeReverse() {
  for (int i = 0, j = GetLength() - 1; i < j; ++i, --j) {
    char c = m_pchData[i];
    m_pchData[i] = m_pchData[j];
    m_pchData[j] = c;
  }
}

void CString::TrimRight() {
  int nNewLength = GetLength();
  while (nNewLength > 0 && IsWhiteSpace(m_pchData[nNewLength - 1])) --nNewLength;
  if (nNewLength == GetLength()) return;
  GetData()->nDataLength = nNewLength;
  m_pchData[nNewLength] = '\0';
}

void CString::TrimLeft() {
  int nSkip = 0;
  while (nSkip < GetLength() && IsWhiteSpace(m_pchData[nSkip])) ++nSkip;
  if (nSkip == 0) return;
  int nNewLength = GetLength() - nSkip;
  memmove(m_pchData, m_pchData + nSkip, nNewLength);
  GetData()->nDataLength = nNewLength;
  m_pchData[nNewLength] = '\0';
}

int CString::Replace(LPCSTR lpszOld, LPCSTR lpszNew) {
  int nOld = SafeLength(lpszOld);
  if (nOld == 0) return 0;
  int nNew = SafeLength(lpszNew);
  int nLength = GetLength();

  int nCount = 0;
  for (int i = FindBytes(m_pchData, nLength, lpszOld, nOld, 0); i >= 0;
       i = FindBytes(m_pchData, nLength, lpszOld, nOld, i + nOld)) {
    ++nCount;
  }
  if (nCount == 0) return 0;

  long long nResult = nLength + static_cast<long long>(nCount) * (nNew - nOld);
  if (nResult > kMaxLength) AfxFatal("string length too large");
  // Built in a separate block: the old or new text may lie inside this string.
  CStringData* pNew = AllocData(static_cast<int>(nResult));
  LPSTR pOut = pNew->data();
  int nFrom = 0;
  for (int i = FindBytes(m_pchData, nLength, lpszOld, nOld, 0); i >= 0;
       i = FindBytes(m_pchData, nLength, lpszOld, nOld, nFrom)) {
    memcpy(pOut, m_pchData + nFrom, i - nFrom);
    pOut += i - nFrom;
    memcpy(pOut, lpszNew, nNew);
    pOut += nNew;
    nFrom = i + nOld;
  }
  memcpy(pOut, m_pchData + nFrom, nLength - nFrom);
  pNew->nDataLength = static_cast<int>(nResult);
  pNew->data()[nResult] = '\0';
  ReplaceData(pNew);
  return nCount;
}

// ---------------------------------------------------------------------------
// Searching. A start index outside the string finds nothing.

int CString::Find(char ch) const { return Find(ch, 0); }

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  LPCSTR p = strchr(m_pchData + nStart, ch);
  return p == NULL ? -1 : static_cast<int>(p - m_pchData);
}

int CString::Find(LPCSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCSTR lpszSub, int nStart) const {
  if (nStart < 0 || nStart > GetLength()) return -1;
  LPCSTR p = strstr(m_pchData + nStart, OrEmpty(lpszSub));
  return p == NULL ? -1 : static_cast<int>(p - m_pchData);
}

int CString::ReverseFind(char ch) const {
  LPCSTR p = strrchr(m_pchData, ch);
  return p == NULL ? -1 : static_cast<int>(p - m_pchData);
}

int CString::FindOneOf(LPCSTR lpszCharSet) const {
  LPCSTR p = strpbrk(m_pchData, OrEmpty(lpszCharSet));
  return p == NULL ? -1 : static_cast<int>(p - m_pchData);
}

// ---------------------------------------------------------------------------
// Formatting

void CString::Format(LPCSTR lpszFormat, ...) {
  va_list argList;
  va_start(argList, lpszFormat);
  FormatV(lpszFormat, argList);
  va_end(argList);
}

void CString::FormatV(LPCSTR lpszFormat, va_list argList) {
  va_list measure;
  va_copy(measure, argList);
  int nLength = vsnprintf(NULL, 0, OrEmpty(lpszFormat), measure);
  va_end(measure);
  if (nLength <= 0) {
    // Empty text, or a format the run-time cannot render.
    Empty();
    return;
  }
  // Formatted into a new block: the arguments may point into this string.
  CStringData* pNew = AllocData(nLength);
  va_list render;
  va_copy(render, argList);
  vsnprintf(pNew->data(), static_cast<size_t>(nLength) + 1, OrEmpty(lpszFormat), render);
  va_end(render);
  pNew->nDataLength = nLength;
  pNew->data()[nLength] = '\0';
  ReplaceData(pNew);
}
