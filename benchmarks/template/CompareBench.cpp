#include "CompareBench.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "CompareCase.h"
#if defined(LDX_HAVE_CTEMPLATE)
#include "CtemplatePeer.h"
#endif

#if defined(_WIN32)
#include <io.h>
#define COMPARE_OPEN(path) _open(path, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE)
#define COMPARE_CLOSE _close
#else
#include <unistd.h>
#define COMPARE_OPEN(path) ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600)
#define COMPARE_CLOSE ::close
#endif

namespace {

// A timed batch lasts at least this long, so that the clock's resolution and
// one-off costs do not show.
const double kMinBatchSeconds = 0.03;

std::string ScratchPath() {
#if defined(_WIN32)
  return "ldx-template-compare.out";
#else
  return "/tmp/ldx-template-compare-" + std::to_string(getpid()) + ".out";
#endif
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One expansion into a fresh file at path; FALSE when it failed.
bool ToFile(const std::string& path, const std::function<bool(int)>& expand) {
  const int hFile = COMPARE_OPEN(path.c_str());
  if (hFile == -1) return false;
  const bool ok = expand(hFile);
  COMPARE_CLOSE(hFile);
  return ok;
}

struct Contestant {
  const char* name;
  std::function<bool()> run;
  int batch = 1;
  std::vector<double> mbps;
};

double Seconds(const std::function<bool()>& run, int nTimes) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < nTimes; ++i) run();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Times the contestants on one output of nOutputBytes: a batch size each so
// that a batch lasts kMinBatchSeconds, then nRuns rounds of one batch each.
void TimeContestants(std::vector<Contestant>& contestants, size_t nOutputBytes, int nRuns) {
  for (Contestant& c : contestants) {
    const double once = Seconds(c.run, 1);
    c.batch = once >= kMinBatchSeconds ? 1 : static_cast<int>(kMinBatchSeconds / std::max(once, 1e-7)) + 1;
  }
  for (int round = 0; round < nRuns; ++round)
    for (Contestant& c : contestants)
      c.mbps.push_back(static_cast<double>(nOutputBytes) * c.batch / Seconds(c.run, c.batch) / 1e6);
}

void PrintLine(const std::string& label, const std::vector<Contestant>& contestants) {
  printf("compare %-13s", label.c_str());
  for (const Contestant& c : contestants) printf(" %s=%.1f", c.name, Median(c.mbps));
#if !defined(LDX_HAVE_CTEMPLATE)
  printf(" ctemplate=n/a ctemplate-cached=n/a");
#endif
  printf("\n");
  fflush(stdout);
}

// The expander's outputs of a case, string and file, checked against each
// other (and against ctemplate's, when built with it). Returns the output.
bool CheckOutputs(const CompareCase& c, const std::string& path, std::string* pOutput) {
  bool same = c.ExpandToString(pOutput);
  same = same && ToFile(path, [&](int hFile) { return c.ExpandToFile(hFile, 0); }) &&
         ReadWholeFile(path) == *pOutput;
#if defined(LDX_HAVE_CTEMPLATE)
  const CtemplatePeer peer(c);
  std::string text;
  same = same && peer.ExpandCached(&text) && text == *pOutput;
  same = same && peer.ExpandParsed(&text) && text == *pOutput;
  same = same && ToFile(path, [&](int hFile) { return peer.ExpandCachedToFile(hFile); }) &&
         ReadWholeFile(path) == *pOutput;
  same = same && ToFile(path, [&](int hFile) { return peer.ExpandParsedToFile(hFile); }) &&
         ReadWholeFile(path) == *pOutput;
#endif
  return same;
}

}  // namespace

int RunCompare(int nRuns, const std::string& sOnly) {
  const std::string path = ScratchPath();
  const std::vector<std::unique_ptr<CompareCase>> cases = BuildCompareCases();
#if defined(LDX_HAVE_CTEMPLATE)
  printf("compare: MB/s of output, median of %d runs; ctemplate= parses the template at every "
         "expansion, ctemplate-cached= uses its template cache\n", nRuns);
#else
  printf("compare: built without ctemplate (libctemplate-dev was not found): expander only, "
         "median of %d runs\n", nRuns);
#endif
  int status = 0;
  for (const auto& pCase : cases) {
    const CompareCase& c = *pCase;
    if (!sOnly.empty() && c.Name() != sOnly) continue;
    std::string output;
    const bool same = CheckOutputs(c, path, &output);
    printf("case %s: %s; template %zu bytes, output %zu bytes, outputs %s\n", c.Name().c_str(),
           c.Contents().c_str(), c.ExpanderTemplateBytes(), output.size(), same ? "agree" : "DIFFER");
    if (!same) {
      status = 1;
      continue;
    }
    // Each expansion makes a new text and frees it.
    std::vector<Contestant> toString;
    toString.push_back({"ldx", [&] { return c.ExpandToText(); }});
#if defined(LDX_HAVE_CTEMPLATE)
    const CtemplatePeer peer(c);
    toString.push_back({"ctemplate", [&] {
                          std::string text;
                          return peer.ExpandParsed(&text);
                        }});
    toString.push_back({"ctemplate-cached", [&] {
                          std::string text;
                          return peer.ExpandCached(&text);
                        }});
#endif
    TimeContestants(toString, output.size(), nRuns);
    PrintLine(c.Name() + "-string", toString);

    std::vector<Contestant> toFile;
    toFile.push_back({"ldx", [&] { return ToFile(path, [&](int h) { return c.ExpandToFile(h, 0); }); }});
#if defined(LDX_HAVE_CTEMPLATE)
    toFile.push_back({"ctemplate", [&] {
                        return ToFile(path, [&](int h) { return peer.ExpandParsedToFile(h); });
                      }});
    toFile.push_back({"ctemplate-cached", [&] {
                        return ToFile(path, [&](int h) { return peer.ExpandCachedToFile(h); });
                      }});
#endif
    TimeContestants(toFile, output.size(), nRuns);
    PrintLine(c.Name() + "-file", toFile);
  }
  remove(path.c_str());
  return status;
}

int DumpCompareOutputs(const std::string& sDir) {
  const std::vector<std::unique_ptr<CompareCase>> cases = BuildCompareCases();
  int status = 0;
  for (const auto& pCase : cases) {
    const CompareCase& c = *pCase;
    const std::string base = sDir + "/" + c.Name();
    std::string text;
    if (c.ExpandToString(&text)) {
      std::ofstream(base + "-string.out", std::ios::binary) << text;
    } else {
      status = 1;
    }
    for (UINT nWidth : {0u, 72u, 20u}) {
      const std::string path = base + "-file-" + std::to_string(nWidth) + ".out";
      if (!ToFile(path, [&](int hFile) { return c.ExpandToFile(hFile, nWidth); })) status = 1;
    }
  }
  return status;
}
