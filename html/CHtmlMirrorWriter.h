// Reads an HTML file through the tokenizer and writes what it reported back
// out as HTML: a banner comment first ("<!-- Mirror Parser's Output of
// SOURCE HTML Document -->" on a line of its own, SOURCE the source path as
// given), then one line per tag and per comment, text as delivered. Shows
// how a page was understood: tags, attributes, decoded references, folded
// line breaks. Both files are used in text mode (each "\n" written becomes
// CR LF on Windows).
//
// Like every sink, it is not deleted through a CHtmlStringSink pointer.
#pragma once

#include <afx.h>

#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlStringSink.h"

class CHtmlMirrorWriter : public CHtmlStringSink {
 public:
  enum { kReadSize = 512 };

  CHtmlMirrorWriter(const CString& strSource, const CString& strOutput);
  ~CHtmlMirrorWriter();

  // Writes the mirror file, replacing any earlier content. 0 when the
  // source cannot be read, the output path is empty or names the source
  // itself, or the output cannot be opened or written.
  BOOL Run();

  BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override;
  BOOL OnEndTag(const CString& strName, BOOL* pbContinue) override;
  BOOL OnText(const CString& strText, BOOL* pbContinue) override;
  BOOL OnComment(const CString& strComment, BOOL* pbContinue) override;

  CString m_strSource;
  CString m_strOutput;
  int m_hSource;
  int m_hOutput;
  char m_buffer[kReadSize];
  CHtmlStringForwarder* m_pTokenizer;

 private:
  BOOL CopySourceToTokenizer();
  // Writes one item; on failure closes the output (m_hOutput becomes -1)
  // and asks the tokenizer to stop.
  void WriteItem(const CString& strItem, BOOL* pbContinue);
  void CloseFiles();

  CHtmlMirrorWriter(const CHtmlMirrorWriter&) = delete;
  CHtmlMirrorWriter& operator=(const CHtmlMirrorWriter&) = delete;
};
