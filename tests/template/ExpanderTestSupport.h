// Runs the expander on a template the two ways a host does and returns what
// came out.
#pragma once

#include <string.h>

#include <optional>
#include <string>

#include "OutputFile.h"
#include "template/CNamedValueList.h"
#include "template/CTemplateExpander.h"

struct Expanded {
  BOOL ok;
  std::string text;
};

inline Expanded ExpandToString(LPCSTR pszTemplate, CNamedValueList* pVars = NULL,
                               CNamedValueList* pMoreVars = NULL) {
  CTemplateExpander expander;
  LPSTR pszOut = NULL;
  Expanded result{expander.ExpandToString(pszTemplate, &pszOut, pVars, pMoreVars), ""};
  if (pszOut != NULL) result.text = pszOut;
  AfxFreeMemory(pszOut);
  return result;
}

// The file is read back by path before it is closed: everything must be
// written by the time ExpandToFile returns. A scratch file is made unless
// one is given for reuse.
inline Expanded ExpandToFile(LPCSTR pszTemplate, CNamedValueList* pVars = NULL,
                             CNamedValueList* pMoreVars = NULL, UINT nWidth = 0,
                             OutputFile* pReused = NULL) {
  std::optional<OutputFile> scratch;
  if (pReused == NULL) scratch.emplace();
  OutputFile& file = pReused != NULL ? *pReused : *scratch;
  file.Reset();
  CTemplateExpander expander;
  Expanded result{expander.ExpandToFile(pszTemplate, file.fd(), pVars, pMoreVars, nWidth), ""};
  result.text = file.Contents();
  return result;
}

// The expansion as a caller driving the steps gets it: the template read a
// byte at a time, "$" handed to ExpandVariable, "<" to ExpandMarker, every
// other byte put out on its own. Expand must give the same text.
class StepByStepExpander : public CTemplateExpander {
 public:
  std::string Run(LPCSTR pszTemplate, CNamedValueList* pVars, CNamedValueList* pMoreVars) {
    const size_t nLength = strlen(pszTemplate);
    LPSTR pszBlock = static_cast<LPSTR>(AfxAllocMemory(2 * nLength + 1));
    pszBlock[0] = '\0';
    InitForString(pszTemplate, pszBlock, pVars, pMoreVars);
    for (int nPos = 0; nPos < m_nLength;) {
      const char ch = pszTemplate[nPos];
      if (ch == '$') {
        nPos = ExpandVariable(nPos);
      } else if (ch == '<') {
        nPos = ExpandMarker(nPos);
      } else {
        if (ch != '\n')
          PutChar(ch);
        else if (nPos > 0 && pszTemplate[nPos - 1] == '\r')
          PutChar('\n');
        else
          PutText("\r\n");
        ++nPos;
      }
    }
    std::string text = m_pszOut;
    AfxFreeMemory(m_pszOut);
    return text;
  }
};

// The text with every CR LF pair taken out, read from left to right.
// Where the first line longer than nWidth starts, or npos. Lines end at LF;
// the CR of a CR LF line end is not part of the line.
inline size_t FirstLineOver(const std::string& text, size_t nWidth) {
  for (size_t start = 0;;) {
    size_t end = text.find('\n', start);
    size_t length = (end == std::string::npos ? text.size() : end) - start;
    if (end != std::string::npos && length > 0 && text[end - 1] == '\r') --length;
    if (length > nWidth) return start;
    if (end == std::string::npos) return std::string::npos;
    start = end + 1;
  }
}

inline std::string WithoutCrLf(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
    else
      out += text[i];
  }
  return out;
}

// Makes control characters visible in failure messages.
inline std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}
