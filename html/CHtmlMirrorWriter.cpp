#include "html/CHtmlMirrorWriter.h"

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The runtime's low-level file calls; text mode where the runtime has one.
#if defined(_WIN32)
const int kTextMode = _O_TEXT;
int CrtAccess(LPCSTR pszPath, int nMode) { return _access(pszPath, nMode); }
int CrtOpen(LPCSTR pszPath, int nFlags, int nMode) { return _open(pszPath, nFlags, nMode); }
int CrtRead(int hFile, void* pBuffer, unsigned int nCount) { return _read(hFile, pBuffer, nCount); }
int CrtWrite(int hFile, const void* pBuffer, unsigned int nCount) { return _write(hFile, pBuffer, nCount); }
int CrtClose(int hFile) { return _close(hFile); }
const int kReadOnly = _O_RDONLY;
const int kCreateForWriting = _O_RDWR | _O_CREAT | _O_TRUNC;
const int kReadWritePermission = _S_IREAD | _S_IWRITE;
#else
const int kTextMode = 0;
int CrtAccess(LPCSTR pszPath, int nMode) { return access(pszPath, nMode); }
int CrtOpen(LPCSTR pszPath, int nFlags, int nMode) { return open(pszPath, nFlags, nMode); }
int CrtRead(int hFile, void* pBuffer, unsigned int nCount) { return static_cast<int>(read(hFile, pBuffer, nCount)); }
int CrtWrite(int hFile, const void* pBuffer, unsigned int nCount) { return static_cast<int>(write(hFile, pBuffer, nCount)); }
int CrtClose(int hFile) { return close(hFile); }
const int kReadOnly = O_RDONLY;
const int kCreateForWriting = O_RDWR | O_CREAT | O_TRUNC;
const int kReadWritePermission = S_IRUSR | S_IWUSR;
#endif
const int kReadPermission = 4;

// Whether the output path names the open source file, which truncating the
// output would destroy.
#if defined(_WIN32)
bool IsSourceFile(LPCSTR pszSource, int, LPCSTR pszOutput) {
  char szSource[_MAX_PATH], szOutput[_MAX_PATH];
  if (!_fullpath(szSource, pszSource, _MAX_PATH) || !_fullpath(szOutput, pszOutput, _MAX_PATH)) return false;
  return _stricmp(szSource, szOutput) == 0;
}
#else
bool IsSourceFile(LPCSTR, int hSource, LPCSTR pszOutput) {
  struct stat source, output;
  if (fstat(hSource, &source) != 0 || stat(pszOutput, &output) != 0) return false;
  return source.st_dev == output.st_dev && source.st_ino == output.st_ino;
}
#endif

// Writes all bytes; false on the first failed write.
bool WriteAll(int hFile, LPCSTR p, int nLength) {
  while (nLength > 0) {
    int nWritten = CrtWrite(hFile, p, static_cast<unsigned int>(nLength));
    if (nWritten <= 0) return false;
    if (nWritten > nLength) nWritten = nLength;
    p += nWritten;
    nLength -= nWritten;
  }
  return true;
}

}  // namespace

CHtmlMirrorWriter::CHtmlMirrorWriter(const CString& strSource, const CString& strOutput)
    : m_strSource(strSource), m_strOutput(strOutput), m_hSource(-1), m_hOutput(-1), m_pTokenizer(NULL) {
  m_buffer[0] = '\0';
  m_pTokenizer = new (afxNothrow) CHtmlStringForwarder;
  if (m_pTokenizer) m_pTokenizer->Attach(this);
}

CHtmlMirrorWriter::~CHtmlMirrorWriter() {
  if (m_pTokenizer) {
    m_pTokenizer->Finish();
    delete m_pTokenizer;
  }
  CloseFiles();
}

BOOL CHtmlMirrorWriter::Run() {
  if (CrtAccess(m_strSource, kReadPermission) != 0) return FALSE;
  if (m_strOutput.IsEmpty() || !m_pTokenizer) return FALSE;
  if (!m_pTokenizer->Init()) return FALSE;

  // The source first: a source that cannot be opened leaves no output file.
  m_hSource = CrtOpen(m_strSource, kReadOnly | kTextMode, 0);
  if (m_hSource == -1) return FALSE;
  if (IsSourceFile(m_strSource, m_hSource, m_strOutput)) {
    CloseFiles();
    return FALSE;
  }
  m_hOutput = CrtOpen(m_strOutput, kCreateForWriting | kTextMode, kReadWritePermission);
  if (m_hOutput == -1) {
    CloseFiles();
    return FALSE;
  }

  BOOL bContinue = TRUE;
  WriteItem("<!-- Mirror Parser's Output of " + m_strSource + " HTML Document -->\n", &bContinue);
  BOOL bRead = m_hOutput != -1 && CopySourceToTokenizer();
  // Text still pending at the end of the source belongs in the file too.
  m_pTokenizer->Finish();
  BOOL bWritten = m_hOutput != -1;
  CloseFiles();
  return bRead && bWritten;
}

BOOL CHtmlMirrorWriter::CopySourceToTokenizer() {
  for (;;) {
    int nRead = CrtRead(m_hSource, m_buffer, kReadSize);
    if (nRead == 0) return TRUE;
    if (nRead < 0) return FALSE;
    m_pTokenizer->Parse(m_buffer, nRead);
    if (m_hOutput == -1) return FALSE;
  }
}

void CHtmlMirrorWriter::CloseFiles() {
  if (m_hSource != -1) CrtClose(m_hSource);
  if (m_hOutput != -1) CrtClose(m_hOutput);
  m_hSource = -1;
  m_hOutput = -1;
}

void CHtmlMirrorWriter::WriteItem(const CString& strItem, BOOL* pbContinue) {
  if (m_hOutput == -1) return;
  if (WriteAll(m_hOutput, strItem, strItem.GetLength())) {
    *pbContinue = TRUE;
    return;
  }
  CrtClose(m_hOutput);
  m_hOutput = -1;
  *pbContinue = FALSE;
}

BOOL CHtmlMirrorWriter::OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  CString strItem = "<" + strName;
  for (int i = 0; i < nAttrs; ++i) {
    strItem += ' ';
    strItem += ppAttrs[i]->m_strName;
    if (!ppAttrs[i]->m_strValue.IsEmpty()) {
      strItem += "=\"";
      strItem += ppAttrs[i]->m_strValue;
      strItem += '"';
    }
  }
  strItem += ">\n";
  WriteItem(strItem, pbContinue);
  return TRUE;
}

BOOL CHtmlMirrorWriter::OnEndTag(const CString& strName, BOOL* pbContinue) {
  WriteItem("</" + strName + ">\n", pbContinue);
  return TRUE;
}

BOOL CHtmlMirrorWriter::OnText(const CString& strText, BOOL* pbContinue) {
  WriteItem(strText, pbContinue);
  return TRUE;
}

BOOL CHtmlMirrorWriter::OnComment(const CString& strComment, BOOL* pbContinue) {
  WriteItem("<!-- " + strComment + "-->\n", pbContinue);
  return TRUE;
}
