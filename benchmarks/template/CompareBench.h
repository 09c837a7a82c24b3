// template_bench --compare: the expander against ctemplate on the compare
// cases (see CompareCase.cpp), into a string and into a file. Prints
//   compare CASE-TARGET ldx=MBPS ctemplate=MBPS ctemplate-cached=MBPS
// in MB/s (10^6 bytes) of output, each the median of nRuns timed runs in this
// process, the three contestants interleaved run by run. ctemplate= parses
// the template at every expansion, as the expander reads its template at
// every call; ctemplate-cached= expands from ctemplate's cache (parsed
// once). Values are filled into the lists and dictionaries before timing.
// Every contestant's output is checked to be the same text first.
//
// The cases (CompareCase.cpp; both syntaxes express each one exactly):
//   plain  1 MB of HTML paragraphs of prose, a variable about every 1.5 KB
//          and a conditional block every 8 paragraphs (half kept);
//   dense  0.7 MB of table rows whose cells are variables (one per 14
//          template bytes), 60 variables of 3-24 bytes;
//   rows   6,000 rows of a repeated section, 5 variables each and a
//          conditional summary in one row of 3, each row's values from its
//          own list (ctemplate: a section dictionary per row; the expander:
//          the row template expanded once per row, joined as a host would);
//   large  1 MB of paragraphs, table rows and conditional blocks with a
//          value of 4-12 KB about every 600 bytes: 22 MB of output.
// "-string" expands into a new text, "-file" into a new file on disk (for
// rows, the expander's ExpandToFile once per row: each call has written its
// row when it returns, so every row costs the expander one write call).
//
// What the expander does that ctemplate does not: it writes every LF of its
// template as CR LF (ctemplate is given the template with CR LF already),
// and each list lookup compares names without regard to letter case. Line
// wrapping is not timed here (ctemplate has none); template_bench without
// arguments times it.
#pragma once

#include <string>

// Runs every case, or only the one named sOnly when it is not empty.
// Returns the process's exit status: 0 when every output agreed.
int RunCompare(int nRuns, const std::string& sOnly);

// Writes the expander's outputs of every compare case (string, file, file
// wrapped at 72 and at 20 columns) into the folder sDir, one file each, for
// comparing two builds byte for byte. Returns 0 when all were written.
int DumpCompareOutputs(const std::string& sDir);
