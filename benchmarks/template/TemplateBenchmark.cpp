// Template expansion speed: a generated report template of about 1 MB with
// many variables and conditional blocks, expanded into a string, into a file
// and into a file wrapped at 72 columns, by the library's expander and by
// the baseline that writes every byte on its own and grows its blocks
// 1,024 bytes at a time. Prints MB/s of output (best of several runs).
// With --compare, the expander against ctemplate instead (CompareBench.h);
// with --dump, the expander's outputs of the compare cases, for checking
// that a change leaves them as they were.
//
//   template_bench [--quick]
//   template_bench --compare [RUNS [CASE]]
//   template_bench --dump DIR
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "CompareBench.h"
#include "NaiveTemplateExpander.h"
#include "template/CNamedValueList.h"
#include "template/CTemplateExpander.h"

#if defined(_WIN32)
#include <io.h>
#define BENCH_OPEN(path) _open(path, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE)
#define BENCH_CLOSE _close
#else
#include <unistd.h>
#define BENCH_OPEN(path) ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600)
#define BENCH_CLOSE ::close
#endif

namespace {

const unsigned kWrapWidth = 72;

struct Report {
  std::string templ;
  CNamedValueList vars;
  CNamedValueList more;
};

// Rows of a report: each row names several variables, and every row sits in
// a conditional block, about two in three of them kept.
void BuildReport(Report& report, size_t targetBytes) {
  for (int i = 0; i < 60; ++i) {
    std::string name = "Field" + std::to_string(i);
    std::string value = "value of field " + std::to_string(i) + " ";
    while (value.size() < static_cast<size_t>(200 + (i * 37) % 400)) value += "with more words ";
    report.vars.SetValue(name.c_str(), value.c_str());
  }
  for (int s = 0; s < 12; ++s)
    if (s % 3 != 2) report.more.SetValue(("Section" + std::to_string(s)).c_str(), "");
  report.more.SetValue("Title", "Quarterly search statistics");

  std::string& t = report.templ;
  t = "<html><head><title>${Title}$</title></head>\n<body>\n<table>\n";
  for (int row = 0; t.size() < targetBytes; ++row) {
    t += "<!--^^ifdef Section" + std::to_string(row % 12) + "^^-->\n";
    t += "<tr><td>Row " + std::to_string(row) + "</td><td>${Field" + std::to_string(row % 60) +
         "}$</td><td>${Field" + std::to_string((row * 7) % 60) + "}$</td>\n";
    t += "<td>Plain text in the row, long enough to need wrapping at the usual widths of a "
         "report, costs $5 and mentions ${Missing}$ nothing.</td></tr>\r\n";
    t += "<!--^^endif^^-->\n";
  }
  t += "</table>\n</body></html>\n";
}

std::string ScratchPath() {
  return (std::filesystem::temp_directory_path() / "ldx-template-bench.out").string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteToFileOnce(int fd, const std::string& text) {
#if defined(_WIN32)
  _write(fd, text.data(), static_cast<unsigned>(text.size()));
#else
  if (::write(fd, text.data(), text.size()) < 0) perror("write");
#endif
}

// Best time in seconds of `runs` calls.
double BestOf(int runs, const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    run();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void Print(const char* what, size_t outputBytes, double seconds) {
  printf("  %-26s %8.1f MB/s  (%.3f s)\n", what, outputBytes / seconds / 1e6, seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], "--compare") == 0)
    return RunCompare(argc > 2 ? atoi(argv[2]) : 7, argc > 3 ? argv[3] : "");
  if (argc > 2 && strcmp(argv[1], "--dump") == 0) return DumpCompareOutputs(argv[2]);
  const bool quick = argc > 1 && strcmp(argv[1], "--quick") == 0;
  const int runs = quick ? 1 : 5;
  Report report;
  BuildReport(report, quick ? 200 * 1024 : 1024 * 1024);
  const char* templ = report.templ.c_str();
  const std::string path = ScratchPath();

  // Outputs of both expanders, checked against each other.
  LPSTR expanded = NULL;
  CTemplateExpander expander;
  if (!expander.ExpandToString(templ, &expanded, &report.vars, &report.more)) {
    fprintf(stderr, "expansion failed\n");
    return 1;
  }
  const std::string stringOutput = expanded;
  AfxFreeMemory(expanded);
  char* naiveText = NaiveTemplateExpander().Run(templ, -1, &report.vars, &report.more, 0);
  const bool sameString = stringOutput == naiveText;
  free(naiveText);

  auto toFile = [&](unsigned width, bool naive) {
    int fd = BENCH_OPEN(path.c_str());
    if (naive)
      NaiveTemplateExpander().Run(templ, fd, &report.vars, &report.more, width);
    else
      CTemplateExpander().ExpandToFile(templ, fd, &report.vars, &report.more, width);
    BENCH_CLOSE(fd);
  };
  toFile(0, false);
  const bool fileMatches = ReadFile(path) == stringOutput;
  toFile(kWrapWidth, false);
  const size_t wrappedBytes = ReadFile(path).size();
  toFile(0, true);
  const bool naiveFileMatches = ReadFile(path) == stringOutput;

  printf("template %.2f MB, output %.2f MB (wrapped at %u: %.2f MB)\n", report.templ.size() / 1e6,
         stringOutput.size() / 1e6, kWrapWidth, wrappedBytes / 1e6);
  printf("outputs agree: string vs baseline %s, file vs string %s, baseline file vs string %s\n",
         sameString ? "yes" : "NO", fileMatches ? "yes" : "NO", naiveFileMatches ? "yes" : "NO");

  printf("library expander:\n");
  Print("string", stringOutput.size(), BestOf(runs, [&] {
          LPSTR out = NULL;
          CTemplateExpander().ExpandToString(templ, &out, &report.vars, &report.more);
          AfxFreeMemory(out);
        }));
  Print("file", stringOutput.size(), BestOf(runs, [&] { toFile(0, false); }));
  Print("file, wrapped", wrappedBytes, BestOf(runs, [&] { toFile(kWrapWidth, false); }));
  {
    // The disk writes alone: the whole output written in one call.
    Print("(disk write of the output)", stringOutput.size(), BestOf(runs, [&] {
            int fd = BENCH_OPEN(path.c_str());
            WriteToFileOnce(fd, stringOutput);
            BENCH_CLOSE(fd);
          }));
  }

  printf("baseline (byte-wise writes, 1,024-byte growth):\n");
  const int baselineRuns = quick ? 1 : 2;
  Print("string", stringOutput.size(), BestOf(baselineRuns, [&] {
          free(NaiveTemplateExpander().Run(templ, -1, &report.vars, &report.more, 0));
        }));
  Print("file", stringOutput.size(), BestOf(baselineRuns, [&] { toFile(0, true); }));
  Print("file, wrapped", wrappedBytes, BestOf(baselineRuns, [&] { toFile(kWrapWidth, true); }));

  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return sameString && fileMatches && naiveFileMatches ? 0 : 1;
}
