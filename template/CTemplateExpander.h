// Expands report and message templates: "${NAME}$" is replaced by the value
// of NAME from up to two named value lists, "<!--^^ifdef NAME^^-->" ...
// "<!--^^endif^^-->" keeps its block only when NAME is defined, and every
// line break of the output is CR LF. The output goes to a file the caller
// opened (optionally wrapped at a width) or to a new text block from the
// framework allocator (AfxAllocMemory) that the caller frees with
// AfxFreeMemory or with the framework's ::operator delete.
#pragma once

#include <afx.h>

class CExpansionSession;
class CNameValuePair;
class CNamedValueList;

class CTemplateExpander {
 public:
  CTemplateExpander();
  ~CTemplateExpander();

  // Expands into the open runtime file handle hFile, wrapping lines longer
  // than nWrapWidth bytes (0: no wrapping). The output carries its CR LF
  // line ends already: open the file in binary mode (_O_BINARY). The file is neither closed nor
  // repositioned. Returns FALSE for handle -1, a null or empty template, a
  // template too large to expand, memory exhaustion or a failed write.
  BOOL ExpandToFile(LPCSTR pszTemplate, int hFile, CNamedValueList* pVars,
                    CNamedValueList* pMoreVars, UINT nWrapWidth);
  // Expands into a new text block and stores its address in *ppszOut.
  // Returns FALSE (storing nothing) for a null template or out address, a
  // template too large to expand, or memory exhaustion.
  BOOL ExpandToString(LPCSTR pszTemplate, LPSTR* ppszOut, CNamedValueList* pVars,
                      CNamedValueList* pMoreVars);

  // The steps of an expansion, for callers that drive one themselves.
  void InitForFile(LPCSTR pszTemplate, int hFile, CNamedValueList* pVars,
                   CNamedValueList* pMoreVars);
  void InitForString(LPCSTR pszTemplate, LPSTR pszOut, CNamedValueList* pVars,
                     CNamedValueList* pMoreVars);
  BOOL Expand();
  int ExpandVariable(int nPos);
  int ReadVariableName(int nPos, CString& strName);
  int ExpandMarker(int nPos);
  int ReadConditionName(int nPos, CString& strName);
  int SkipToEndif(int nPos);
  BOOL LookupVariable(LPCSTR pszName, CString& strValue) const;
  BOOL IsDefined(LPCSTR pszName) const;

  // Output through the line wrapper when wrapping is on, else directly.
  void PutChar(char ch);
  void PutText(LPCSTR pszText);
  // Direct output: to the file (written at once) and to the output text.
  void WriteChar(char ch);
  void WriteText(LPCSTR pszText);
  // Direct output to the file only.
  void WriteBytes(LPCSTR pBytes, int nCount);
  // Writes the lines of the pending text that are complete.
  void WrapLines();

 protected:
  UINT m_nWrapWidth;
  LPCSTR m_pszTemplate;
  int m_nLength;
  int m_nPos;
  CNamedValueList* m_pVars;
  CNamedValueList* m_pMoreVars;
  int m_hFile;
  LPSTR m_pszOut;
  UINT m_nOutSize;
  LPSTR m_pszLine;
  UINT m_nLineSize;

 private:
  // What a "$" or "<" in the template starts. Text: the byte, or "${"
  // never closed or at the end, stays text up to nNext. A variable's name
  // may be empty ("${}$", which gives "${"); a condition's is not.
  enum TokenKind { kTextToken, kVariableToken, kIfdefToken, kEndifToken };
  struct CToken {
    TokenKind kind;
    int nName;
    int nNameLength;
    int nNext;  // the position after the token
  };

  // Each takes the running expansion's session (NULL when there is none).
  void ReadToken(CExpansionSession* pSession, int nPos, char chOpen, CToken* pToken);
  void Put(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount);
  void Emit(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount);
  void WriteFile(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount);
  void AppendOut(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount);
  void AppendLine(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount);
  void WrapPending(CExpansionSession* pSession, bool bFinal);
  void WriteWrappedLine(CExpansionSession* pSession, LPCSTR pBytes, UINT nCount, bool bAddLineEnd);
  int FindText(CExpansionSession* pSession, int nFrom, int nWhich);
  int SkipBlock(CExpansionSession* pSession, int nPos);
  int FindVariableEnd(CExpansionSession* pSession, int nFrom);
  const CNameValuePair* FindName(CExpansionSession* pSession, LPCSTR pName, int nLength,
                                 UINT* pnValueLength);
  void FreeLine();

  CTemplateExpander(const CTemplateExpander&) = delete;
  void operator=(const CTemplateExpander&) = delete;
};
