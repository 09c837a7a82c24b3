// The cases on which the expander is compared with ctemplate: templates that
// both can express, in both syntaxes, with their values. A case is a head
// template, optionally a row template repeated once per row with that row's
// values, and a foot template. The expander has no repeated sections: a host
// expands the row template once per row, with the row's values in the first
// list and the case's in the second, and joins the pieces; ctemplate expands
// one template whose rows are a section filled from a list of dictionaries.
#pragma once

#include <afx.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TwinTemplate.h"
#include "template/CNamedValueList.h"

struct CaseValues {
  std::vector<std::pair<std::string, std::string>> values;
  // Names that are defined without a value: their blocks are kept.
  std::vector<std::string> defined;
};

class CompareCase {
 public:
  // The ctemplate section that holds the rows.
  static const char kRowSection[];

  CompareCase(std::string name, std::string contents);

  const std::string& Name() const { return name_; }
  const std::string& Contents() const { return contents_; }

  TwinTemplate& Head() { return head_; }
  TwinTemplate& Row() { return row_; }
  TwinTemplate& Foot() { return foot_; }
  CaseValues& Values() { return values_; }
  CaseValues& AddRow();

  const TwinTemplate& Head() const { return head_; }
  const TwinTemplate& Row() const { return row_; }
  const TwinTemplate& Foot() const { return foot_; }
  const CaseValues& Values() const { return values_; }
  const std::vector<CaseValues>& Rows() const { return rows_; }

  // The whole ctemplate template: head, the row section, foot.
  std::string CtemplateText() const;
  // Bytes of the expander's templates over all pieces (the row once).
  size_t ExpanderTemplateBytes() const;

  // Fills the expander's lists from the values; call once before expanding.
  void PrepareLists();

  // The expander's output into a new string (one text block per piece,
  // joined), or into the open file hFile wrapped at nWidth (0: not wrapped).
  // FALSE when an expansion fails.
  bool ExpandToString(std::string* pOut) const;
  // As a host gets the text: one template gives one text block (freed here
  // at once); rows are joined into a new string.
  bool ExpandToText() const;
  bool ExpandToFile(int hFile, UINT nWidth) const;

 private:
  bool ExpandPieceToString(const TwinTemplate& piece, CNamedValueList* pVars,
                           CNamedValueList* pMoreVars, std::string* pOut) const;
  bool ExpandPieceToFile(const TwinTemplate& piece, int hFile, CNamedValueList* pVars,
                         CNamedValueList* pMoreVars, UINT nWidth) const;

  std::string name_;
  std::string contents_;
  TwinTemplate head_;
  TwinTemplate row_;
  TwinTemplate foot_;
  CaseValues values_;
  std::vector<CaseValues> rows_;
  std::unique_ptr<CNamedValueList> list_;
  std::vector<std::unique_ptr<CNamedValueList>> rowLists_;
};

// The four cases: plain, dense, rows, large.
std::vector<std::unique_ptr<CompareCase>> BuildCompareCases();
