// html_bench: tokenizer speed on the bundled corpus, whole and in 512-byte
// chunks, and on long runs (a comment, an attribute value, a text run) of
// 1 MB and 16 MB, whose times must grow in proportion to their size.
//     html_bench [CORPUS_DIR]
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlTokenizer.h"

namespace {

// Counts events; the cheapest possible consumer.
class CCountingTokenizer : public CHtmlTokenizer {
 public:
  BOOL OnStartTag(CTextBuffer*, CNameValuePair**, int nAttrs, BOOL*) override {
    m_nEvents += 1 + nAttrs;
    return TRUE;
  }
  BOOL OnEndTag(CTextBuffer*, BOOL*) override { return Count(); }
  BOOL OnText(CTextBuffer* pText, BOOL*) override {
    m_nTextBytes += pText->GetLength();
    return Count();
  }
  BOOL OnComment(CTextBuffer*, BOOL*) override { return Count(); }

  long long m_nEvents = 0;
  long long m_nTextBytes = 0;

 private:
  BOOL Count() {
    ++m_nEvents;
    return TRUE;
  }
};

class CCountingSink : public CHtmlStringSink {
 public:
  BOOL OnText(const CString& strText, BOOL*) override {
    m_nTextBytes += strText.GetLength();
    return TRUE;
  }
  long long m_nTextBytes = 0;
};

// Processor time of this process where the system measures it finely (the
// machine may be shared, and waiting for a processor is no part of the
// tokenizer's cost); elapsed time on Windows, whose process times tick in
// steps of several milliseconds.
double CpuSeconds() {
#if defined(_WIN32)
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
#endif
}

double Seconds(double start) { return CpuSeconds() - start; }

void Feed(CHtmlTokenizer& tokenizer, const std::string& page, size_t nChunk) {
  size_t nStep = nChunk ? nChunk : page.size();
  for (size_t at = 0; at < page.size(); at += nStep) {
    size_t nLength = page.size() - at < nStep ? page.size() - at : nStep;
    tokenizer.Parse(page.data() + at, static_cast<int>(nLength));
  }
}

// Tokenizes all pages once with one tokenizer object (warm after the first
// round, as a client parsing page after page).
template <class Tokenizer>
void TokenizeAll(Tokenizer& tokenizer, const std::vector<std::string>& pages, size_t nChunk) {
  for (const std::string& page : pages) {
    tokenizer.Init();
    Feed(tokenizer, page, nChunk);
    tokenizer.Finish();
  }
}

// MB/s of the fastest of many rounds over the corpus: the machine may be
// shared, and the fastest round is the one least disturbed.
double MeasureCorpus(const std::vector<std::string>& pages, size_t nChunk, bool bForwarder) {
  size_t nBytes = 0;
  for (const std::string& page : pages) nBytes += page.size();
  CCountingTokenizer counter;
  CCountingSink sink;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&sink);
  double best = 1e9;
  double total = CpuSeconds();
  do {
    double start = CpuSeconds();
    if (bForwarder)
      TokenizeAll(forwarder, pages, nChunk);
    else
      TokenizeAll(counter, pages, nChunk);
    double seconds = Seconds(start);
    if (seconds < best) best = seconds;
  } while (Seconds(total) < 1.0);
  return static_cast<double>(nBytes) / best / 1e6;
}

std::string LongRun(const char* pszKind, size_t nSize) {
  std::string document;
  if (strcmp(pszKind, "comment") == 0) {
    document = "<!--";
    for (size_t i = 0; document.size() < nSize; ++i) document += i % 8 == 7 ? '-' : 'c';
    document += "-->";
  } else if (strcmp(pszKind, "attribute value") == 0) {
    document = "<a href=\"";
    document.append(nSize, 'v');
    document += "\">";
  } else {
    document.reserve(nSize);
    while (document.size() < nSize) document += "words of a long text run ";
  }
  return document;
}

void MeasureLongRuns() {
  const char* kinds[] = {"comment", "attribute value", "text run"};
  printf("\nlong runs (time must grow in proportion to size):\n");
  printf("  %-16s %-7s %10s %10s %10s %10s\n", "run", "chunks", "1 MB s", "16 MB s", "ratio", "16 MB MB/s");
  for (const char* pszKind : kinds) {
    for (size_t nChunk : {size_t(0), size_t(512)}) {
      double seconds[2];
      size_t sizes[2] = {size_t(1) << 20, size_t(16) << 20};
      for (int i = 0; i < 2; ++i) {
        std::string document = LongRun(pszKind, sizes[i]);
        // Each run on a fresh tokenizer; the fastest of several runs.
        seconds[i] = 1e9;
        for (int nRun = 0; nRun < 7; ++nRun) {
          double start = CpuSeconds();
          CCountingTokenizer tokenizer;
          tokenizer.Init();
          Feed(tokenizer, document, nChunk);
          tokenizer.Finish();
          double elapsed = Seconds(start);
          if (elapsed < seconds[i]) seconds[i] = elapsed;
        }
      }
      printf("  %-16s %-7s %10.4f %10.4f %10.1f %10.1f\n", pszKind, nChunk ? "512" : "whole", seconds[0], seconds[1],
             seconds[1] / seconds[0], 16.0 * (1 << 20) / seconds[1] / 1e6);
    }
  }
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  FILE* pFile = fopen(path.c_str(), "rb");
  if (!pFile) return false;
  char buffer[65536];
  size_t nRead;
  while ((nRead = fread(buffer, 1, sizeof(buffer), pFile)) > 0) bytes.append(buffer, nRead);
  fclose(pFile);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : HTML_BENCH_CORPUS_DIR;
  const char* names[] = {"article.html", "catalog.html", "forum.html", "table.html"};
  std::vector<std::string> pages;
  size_t nBytes = 0;
  for (const char* pszName : names) {
    std::string page;
    if (!ReadFileBytes(dir + "/" + pszName, page)) {
      fprintf(stderr, "html_bench: cannot read %s/%s\n", dir.c_str(), pszName);
      return 1;
    }
    nBytes += page.size();
    pages.push_back(page);
  }
  printf("corpus: %zu pages, %zu bytes\n", pages.size(), nBytes);
  printf("  %-34s %10s\n", "consumer, chunks", "MB/s");
  printf("  %-34s %10.1f\n", "counting tokenizer, whole", MeasureCorpus(pages, 0, false));
  printf("  %-34s %10.1f\n", "counting tokenizer, 512 bytes", MeasureCorpus(pages, 512, false));
  printf("  %-34s %10.1f\n", "string forwarder, whole", MeasureCorpus(pages, 0, true));
  printf("  %-34s %10.1f\n", "string forwarder, 512 bytes", MeasureCorpus(pages, 512, true));
  MeasureLongRuns();
  return 0;
}
