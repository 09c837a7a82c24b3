#include "CompareCase.h"

#include <stdint.h>

#include "template/CTemplateExpander.h"

const char CompareCase::kRowSection[] = "ROW";

CompareCase::CompareCase(std::string name, std::string contents)
    : name_(std::move(name)), contents_(std::move(contents)) {}

CaseValues& CompareCase::AddRow() {
  rows_.emplace_back();
  return rows_.back();
}

std::string CompareCase::CtemplateText() const {
  std::string text = head_.ForCtemplate();
  if (!rows_.empty())
    text += std::string("{{#") + kRowSection + "}}" + row_.ForCtemplate() + "{{/" + kRowSection + "}}";
  return text + foot_.ForCtemplate();
}

size_t CompareCase::ExpanderTemplateBytes() const {
  return head_.ForExpander().size() + row_.ForExpander().size() + foot_.ForExpander().size();
}

namespace {

std::unique_ptr<CNamedValueList> MakeList(const CaseValues& values) {
  std::unique_ptr<CNamedValueList> list(new CNamedValueList);
  for (const auto& value : values.values) list->SetValue(value.first.c_str(), value.second.c_str());
  for (const std::string& name : values.defined) list->SetValue(name.c_str(), "");
  return list;
}

}  // namespace

void CompareCase::PrepareLists() {
  list_ = MakeList(values_);
  rowLists_.clear();
  for (const CaseValues& row : rows_) rowLists_.push_back(MakeList(row));
}

bool CompareCase::ExpandPieceToString(const TwinTemplate& piece, CNamedValueList* pVars,
                                      CNamedValueList* pMoreVars, std::string* pOut) const {
  if (piece.IsEmpty()) return true;
  LPSTR pszText = NULL;
  if (!CTemplateExpander().ExpandToString(piece.ForExpander().c_str(), &pszText, pVars, pMoreVars))
    return false;
  pOut->append(pszText);
  AfxFreeMemory(pszText);
  return true;
}

bool CompareCase::ExpandPieceToFile(const TwinTemplate& piece, int hFile, CNamedValueList* pVars,
                                    CNamedValueList* pMoreVars, UINT nWidth) const {
  if (piece.IsEmpty()) return true;
  return CTemplateExpander().ExpandToFile(piece.ForExpander().c_str(), hFile, pVars, pMoreVars,
                                          nWidth) != FALSE;
}

bool CompareCase::ExpandToString(std::string* pOut) const {
  pOut->clear();
  if (rows_.empty()) {
    // One template: the text block is the whole output.
    LPSTR pszText = NULL;
    if (!CTemplateExpander().ExpandToString(head_.ForExpander().c_str(), &pszText, list_.get(), NULL))
      return false;
    pOut->assign(pszText);
    AfxFreeMemory(pszText);
    return true;
  }
  if (!ExpandPieceToString(head_, list_.get(), NULL, pOut)) return false;
  for (const auto& rowList : rowLists_)
    if (!ExpandPieceToString(row_, rowList.get(), list_.get(), pOut)) return false;
  return ExpandPieceToString(foot_, list_.get(), NULL, pOut);
}

bool CompareCase::ExpandToText() const {
  if (rows_.empty()) {
    LPSTR pszText = NULL;
    if (!CTemplateExpander().ExpandToString(head_.ForExpander().c_str(), &pszText, list_.get(), NULL))
      return false;
    AfxFreeMemory(pszText);
    return true;
  }
  std::string text;
  return ExpandToString(&text);
}

bool CompareCase::ExpandToFile(int hFile, UINT nWidth) const {
  if (!ExpandPieceToFile(head_, hFile, list_.get(), NULL, nWidth)) return false;
  for (const auto& rowList : rowLists_)
    if (!ExpandPieceToFile(row_, hFile, rowList.get(), list_.get(), nWidth)) return false;
  return ExpandPieceToFile(foot_, hFile, list_.get(), NULL, nWidth);
}

// ---------------------------------------------------------------------------
// The cases

namespace {

// A fixed sequence of pseudo-random numbers, so that every run builds the
// same texts.
class Sequence {
 public:
  unsigned Next(unsigned nBelow) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned>(state_ >> 33) % nBelow;
  }

 private:
  uint64_t state_ = 20261211;
};

const char* const kWords[] = {
    "search", "index",   "document", "result", "query",  "folder",   "report", "the",
    "of",     "and",     "a",        "to",     "in",     "is",       "for",    "with",
    "found",  "matches", "page",     "text",   "files",  "updated",  "new",    "which",
    "user",   "were",    "has",      "been",   "within", "relevant", "more",   "quarter"};

// Prose lines of about 70 bytes, LF-terminated, nLines of them.
std::string Prose(Sequence& seq, int nLines) {
  std::string text;
  for (int line = 0; line < nLines; ++line) {
    std::string words;
    while (words.size() < 64) {
      if (!words.empty()) words += ' ';
      words += kWords[seq.Next(sizeof kWords / sizeof kWords[0])];
    }
    text += words + (line + 1 == nLines ? ".\n" : "\n");
  }
  return text;
}

std::string Filler(Sequence& seq, size_t nBytes) {
  std::string text;
  while (text.size() < nBytes) {
    text += kWords[seq.Next(sizeof kWords / sizeof kWords[0])];
    text += ' ';
  }
  text.resize(nBytes);
  return text;
}

// nCount variables PREFIX0, PREFIX1, ... with values of nMin to
// nMin + nSpread - 1 bytes.
void AddFillerValues(CaseValues& values, Sequence& seq, const std::string& prefix, int nCount, int nMin,
                     unsigned nSpread) {
  for (int i = 0; i < nCount; ++i)
    values.values.emplace_back(prefix + std::to_string(i), Filler(seq, nMin + seq.Next(nSpread)));
}

// nCells table cells, each holding one of the variables PREFIX0 to
// PREFIX(nNames - 1), picked at random.
void AddVariableCells(TwinTemplate& t, Sequence& seq, const std::string& prefix, unsigned nNames, int nCells) {
  for (int cell = 0; cell < nCells; ++cell) {
    t.Text("<td>");
    t.Variable(prefix + std::to_string(seq.Next(nNames)));
    t.Text("</td>");
  }
}

// Plain text with few markers: HTML paragraphs of prose, a variable about
// every 1.5 KB and a conditional block (kept or dropped) every eight
// paragraphs; about 1 MB of output.
std::unique_ptr<CompareCase> PlainCase() {
  std::unique_ptr<CompareCase> c(new CompareCase(
      "plain", "HTML paragraphs of prose (LF lines of 70 bytes), a variable per 1.5 KB, a "
               "conditional block per 8 paragraphs, half of them kept"));
  Sequence seq;
  c->Values().values = {{"Title", "Weekly index report"}, {"UserName", "Ann Smith"},
                        {"Date", "11 December 2026"}, {"Count", "48213"}};
  c->Values().defined = {"Shown0", "Shown2"};
  const char* const names[] = {"UserName", "Date", "Count", "Title"};
  TwinTemplate& t = c->Head();
  t.Text("<html><head><title>");
  t.Variable("Title");
  t.Text("</title></head>\n<body>\n");
  for (int p = 0; t.ForExpander().size() < 1000 * 1000; ++p) {
    if (p % 8 == 7) t.BeginBlock("Shown" + std::to_string(p / 8 % 4));
    t.Text("<p>");
    t.Text(Prose(seq, 4));
    if (p % 2 == 0) {
      t.Text("As of ");
      t.Variable(names[p / 2 % 4]);
      t.Text(", ");
    }
    t.Text(Prose(seq, 4));
    t.Text("</p>\n");
    if (p % 8 == 7) t.EndBlock("Shown" + std::to_string(p / 8 % 4));
  }
  t.Text("</body></html>\n");
  return c;
}

// Dense substitution: table cells that are mostly variables (one per 14
// template bytes), 60 variables with values of 3 to 24 bytes; about 0.8 MB
// of output.
std::unique_ptr<CompareCase> DenseCase() {
  std::unique_ptr<CompareCase> c(new CompareCase(
      "dense", "table rows of 6 cells, each one variable (a variable per 14 template bytes), 60 "
               "variables of 3-24 bytes"));
  Sequence seq;
  AddFillerValues(c->Values(), seq, "Field", 60, 3, 22);
  TwinTemplate& t = c->Head();
  t.Text("<table>\n");
  while (t.ForExpander().size() < 700 * 1000) {
    t.Text("<tr>");
    AddVariableCells(t, seq, "Field", 60, 6);
    t.Text("</tr>\n");
  }
  t.Text("</table>\n");
  return c;
}

// Repeated sections: 6,000 table rows from lists, each with its own rank,
// link, title, size and date, and one row in three with a summary line in a
// conditional block; head and foot use the case's values. About 1 MB.
std::unique_ptr<CompareCase> RowsCase() {
  std::unique_ptr<CompareCase> c(new CompareCase(
      "rows", "6,000 rows of a section (5 variables, a conditional summary in one row of 3) "
              "filled from a list per row; head and foot"));
  Sequence seq;
  c->Values().values = {{"Title", "Results for \"quarterly report\""}, {"Count", "6000"}};
  TwinTemplate& head = c->Head();
  head.Text("<html><head><title>");
  head.Variable("Title");
  head.Text("</title></head>\n<body>\n<h1>");
  head.Variable("Count");
  head.Text(" results</h1>\n<table class=\"results\">\n");
  TwinTemplate& row = c->Row();
  row.Text("<tr><td>");
  row.Variable("Rank");
  row.Text("</td><td><a href=\"");
  row.Variable("Url");
  row.Text("\">");
  row.Variable("DocTitle");
  row.Text("</a></td><td>");
  row.Variable("Size");
  row.Text(" KB</td><td>");
  row.Variable("Date");
  row.Text("</td></tr>\n");
  row.BeginBlock("Summary");
  row.Text("<tr><td colspan=\"4\">");
  row.Variable("Summary");
  row.Text("</td></tr>\n");
  row.EndBlock("Summary");
  TwinTemplate& foot = c->Foot();
  foot.Text("</table>\n<p>");
  foot.Variable("Count");
  foot.Text(" documents.</p>\n</body></html>\n");
  for (int i = 0; i < 6000; ++i) {
    CaseValues& values = c->AddRow();
    values.values = {{"Rank", std::to_string(i + 1)},
                     {"Url", "file:///C:/Documents/Reports/" + Filler(seq, 8 + seq.Next(12)) + ".html"},
                     {"DocTitle", Filler(seq, 12 + seq.Next(30))},
                     {"Size", std::to_string(1 + seq.Next(9000))},
                     {"Date", "2026-" + std::to_string(10 + seq.Next(3)) + "-" + std::to_string(10 + seq.Next(18))}};
    if (i % 3 == 0) values.values.emplace_back("Summary", Filler(seq, 60 + seq.Next(60)));
  }
  return c;
}

// Large output: a 1 MB template of paragraphs, dense table rows and
// conditional blocks in which 16 variables of 4 to 12 KB stand about every
// 600 bytes; about 22 MB of output.
std::unique_ptr<CompareCase> LargeCase() {
  std::unique_ptr<CompareCase> c(new CompareCase(
      "large", "paragraphs, table rows and conditional blocks with a 4-12 KB value per 600 "
               "template bytes: 1 MB of template, 22 MB of output"));
  Sequence seq;
  AddFillerValues(c->Values(), seq, "Body", 16, 4096, 8192);
  AddFillerValues(c->Values(), seq, "Cell", 20, 3, 20);
  c->Values().defined = {"Part1", "Part2"};
  TwinTemplate& t = c->Head();
  t.Text("<html><body>\n");
  for (int part = 0; t.ForExpander().size() < 1000 * 1000; ++part) {
    const bool block = part % 4 == 3;
    if (block) t.BeginBlock("Part" + std::to_string(part / 4 % 3));
    t.Text("<h2>Part " + std::to_string(part) + "</h2>\n<p>");
    t.Text(Prose(seq, 3));
    t.Text("</p>\n<div>");
    t.Variable("Body" + std::to_string(seq.Next(16)));
    t.Text("</div>\n<table><tr>");
    AddVariableCells(t, seq, "Cell", 20, 4);
    t.Text("</tr></table>\n");
    if (block) t.EndBlock("Part" + std::to_string(part / 4 % 3));
  }
  t.Text("</body></html>\n");
  return c;
}

}  // namespace

std::vector<std::unique_ptr<CompareCase>> BuildCompareCases() {
  std::vector<std::unique_ptr<CompareCase>> cases;
  cases.push_back(PlainCase());
  cases.push_back(DenseCase());
  cases.push_back(RowsCase());
  cases.push_back(LargeCase());
  for (auto& c : cases) c->PrepareLists();
  return cases;
}
