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
// What the expander does that ctemplate does not: it writes every LF of its
// template as CR LF (ctemplate is given the template with CR LF already),
// and each list lookup compares names without regard to letter case. Line
// wrapping is not timed here (ctemplate has none); template_bench without
// arguments times it.
#pragma once

#include <string>

// Returns the process's exit status: 0 when every output agreed.
int RunCompare(int nRuns);

// Writes the expander's outputs of every compare case (string, file, file
// wrapped at 72 and at 20 columns) into the folder sDir, one file each, for
// comparing two builds byte for byte. Returns 0 when all were written.
int DumpCompareOutputs(const std::string& sDir);
