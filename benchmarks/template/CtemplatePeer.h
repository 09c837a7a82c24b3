// ctemplate on one compare case: its dictionary, filled once from the
// case's values (rows as section dictionaries), and its template, expanded
// either from ctemplate's template cache (parsed once) or parsed anew at
// every expansion, into a string or into an open file.
#pragma once

#include <ctemplate/template.h>
#include <ctemplate/template_dictionary.h>

#include <string>

#include "CompareCase.h"

class CtemplatePeer {
 public:
  explicit CtemplatePeer(const CompareCase& compareCase);

  bool ExpandCached(std::string* pOut) const;
  bool ExpandParsed(std::string* pOut) const;
  // Into the open file hFile through a 64 KB buffer (as the expander writes).
  bool ExpandCachedToFile(int hFile) const;
  bool ExpandParsedToFile(int hFile) const;

 private:
  std::string key_;
  std::string text_;
  ctemplate::TemplateDictionary dictionary_;
};
