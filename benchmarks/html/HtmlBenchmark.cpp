// html_bench: speed on the bundled corpus of the tokenizer alone, through
// each forwarder and in the mirror writer (which writes to a temporary file
// and reads its source in 512-byte pieces), whole and in 512-byte chunks;
// and on long runs of one construct (a comment, an attribute value, a text
// run, references, tags with 50 attributes): the time of 16 MiB against
// 1 MiB must grow in proportion to the size, and a 64 KiB run must cost no
// more per byte than a 4 KiB one.
//     html_bench [CORPUS_DIR]
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#include <unistd.h>
#endif

#include "html/CHtmlMirrorWriter.h"
#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlTextForwarder.h"
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

class CCountingTextSink : public CHtmlTextSink {
 public:
  BOOL OnText(LPCSTR pszText, BOOL*) override {
    m_nTextBytes += static_cast<long long>(strlen(pszText));
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

// Seconds of the fastest of many rounds of a job: the machine may be
// shared, and the fastest round is the one least disturbed.
template <class Job>
double FastestRound(Job job, double minSeconds) {
  double best = 1e9;
  double total = CpuSeconds();
  do {
    double start = CpuSeconds();
    job();
    double seconds = Seconds(start);
    if (seconds < best) best = seconds;
  } while (Seconds(total) < minSeconds);
  return best;
}

size_t TotalBytes(const std::vector<std::string>& pages) {
  size_t nBytes = 0;
  for (const std::string& page : pages) nBytes += page.size();
  return nBytes;
}

// MB/s of one consumer over the corpus.
template <class Tokenizer>
double MeasureCorpus(Tokenizer& tokenizer, const std::vector<std::string>& pages, size_t nChunk) {
  double seconds = FastestRound([&] { TokenizeAll(tokenizer, pages, nChunk); }, 1.0);
  return static_cast<double>(TotalBytes(pages)) / seconds / 1e6;
}

std::string TemporaryPath() {
#if defined(_WIN32)
  char szDir[MAX_PATH];
  DWORD nLength = GetTempPathA(MAX_PATH, szDir);
  std::string dir = nLength > 0 && nLength < MAX_PATH ? szDir : ".\\";
  return dir + "html_bench_mirror_" + std::to_string(GetCurrentProcessId()) + ".html";
#else
  return "/tmp/html_bench_mirror_" + std::to_string(getpid()) + ".html";
#endif
}

// MB/s of the mirror writer over the corpus files, each written to the same
// temporary file.
double MeasureMirror(const std::vector<std::string>& paths, size_t nBytes) {
  std::string output = TemporaryPath();
  bool bFailed = false;
  double seconds = FastestRound(
      [&] {
        for (const std::string& path : paths) {
          CHtmlMirrorWriter writer(path.c_str(), output.c_str());
          if (!writer.Run()) bFailed = true;
        }
      },
      1.0);
  remove(output.c_str());
  if (bFailed) fprintf(stderr, "html_bench: the mirror writer failed on %s\n", output.c_str());
  return static_cast<double>(nBytes) / seconds / 1e6;
}

void PrintCorpusTable(const std::vector<std::string>& pages, const std::vector<std::string>& paths) {
  CCountingTokenizer counter;
  CCountingSink stringSink;
  CHtmlStringForwarder stringForwarder;
  stringForwarder.Attach(&stringSink);
  CCountingTextSink textSink;
  CHtmlTextForwarder textForwarder;
  textForwarder.Attach(&textSink);

  printf("  %-24s %12s %12s\n", "consumer", "whole MB/s", "512 B MB/s");
  printf("  %-24s %12.1f %12.1f\n", "counting tokenizer", MeasureCorpus(counter, pages, 0),
         MeasureCorpus(counter, pages, 512));
  printf("  %-24s %12.1f %12.1f\n", "string forwarder", MeasureCorpus(stringForwarder, pages, 0),
         MeasureCorpus(stringForwarder, pages, 512));
  printf("  %-24s %12.1f %12.1f\n", "text forwarder", MeasureCorpus(textForwarder, pages, 0),
         MeasureCorpus(textForwarder, pages, 512));
  // The writer reads its source in pieces of its own size.
  printf("  %-24s %12s %12.1f\n", "mirror writer", "-", MeasureMirror(paths, TotalBytes(pages)));
}

const char* const kLongRunKinds[] = {"comment", "attribute value", "text run", "references", "50-attribute tags"};

// A document of about nSize bytes made of one long construct.
std::string LongRun(const char* pszKind, size_t nSize) {
  std::string document;
  document.reserve(nSize + 64);
  if (strcmp(pszKind, "comment") == 0) {
    document = "<!--";
    for (size_t i = 0; document.size() < nSize; ++i) document += i % 8 == 7 ? '-' : 'c';
    document += "-->";
  } else if (strcmp(pszKind, "attribute value") == 0) {
    document = "<a href=\"";
    document.append(nSize, 'v');
    document += "\">";
  } else if (strcmp(pszKind, "references") == 0) {
    while (document.size() < nSize) document += "&amp;&lt;&#160;&nbsp;&eacute;&bogus;";
  } else if (strcmp(pszKind, "50-attribute tags") == 0) {
    std::string tag = "<td";
    for (int i = 0; i < 50; ++i) tag += " a" + std::to_string(i) + "=\"v" + std::to_string(i) + "\"";
    tag += ">";
    while (document.size() < nSize) document += tag;
  } else {
    while (document.size() < nSize) document += "words of a long text run ";
  }
  return document;
}

// Tokenizes a document on a fresh tokenizer, as its first.
void TokenizeOnFreshTokenizer(const std::string& document, size_t nChunk) {
  CCountingTokenizer tokenizer;
  tokenizer.Init();
  Feed(tokenizer, document, nChunk);
  tokenizer.Finish();
}

// Seconds of the fastest of nRuns runs on fresh tokenizers.
double TokenizeFresh(const std::string& document, size_t nChunk, int nRuns) {
  double best = 1e9;
  for (int nRun = 0; nRun < nRuns; ++nRun) {
    double start = CpuSeconds();
    TokenizeOnFreshTokenizer(document, nChunk);
    double elapsed = Seconds(start);
    if (elapsed < best) best = elapsed;
  }
  return best;
}

void MeasureLongRuns() {
  printf("\nlong runs (16 MiB / 1 MiB time ratio at most 20; 64 KiB / 4 KiB cost per byte within 1.3):\n");
  printf("  %-18s %-7s %10s %10s %8s %11s %10s\n", "run", "chunks", "1 MiB s", "16 MiB s", "ratio", "16 MiB MB/s",
         "64K/4K");
  for (const char* pszKind : kLongRunKinds) {
    for (size_t nChunk : {size_t(0), size_t(512)}) {
      double seconds[2];
      size_t sizes[2] = {size_t(1) << 20, size_t(16) << 20};
      for (int i = 0; i < 2; ++i) seconds[i] = TokenizeFresh(LongRun(pszKind, sizes[i]), nChunk, 5);
      // Per-byte cost of a 64 KiB run against a 4 KiB one, each tokenized
      // many times on fresh tokenizers.
      double perByte[2];
      size_t smallSizes[2] = {size_t(4) << 10, size_t(64) << 10};
      for (int i = 0; i < 2; ++i) {
        std::string document = LongRun(pszKind, smallSizes[i]);
        int nRepeat = static_cast<int>((size_t(4) << 20) / document.size());
        double best = FastestRound(
            [&] {
              for (int n = 0; n < nRepeat; ++n) TokenizeOnFreshTokenizer(document, nChunk);
            },
            0.2);
        perByte[i] = best / (static_cast<double>(document.size()) * nRepeat);
      }
      printf("  %-18s %-7s %10.4f %10.4f %8.1f %11.1f %10.2f\n", pszKind, nChunk ? "512" : "whole", seconds[0],
             seconds[1], seconds[1] / seconds[0], 16.0 * (1 << 20) / seconds[1] / 1e6, perByte[1] / perByte[0]);
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
  std::vector<std::string> pages, paths;
  for (const char* pszName : names) {
    std::string page;
    paths.push_back(dir + "/" + pszName);
    if (!ReadFileBytes(paths.back(), page)) {
      fprintf(stderr, "html_bench: cannot read %s\n", paths.back().c_str());
      return 1;
    }
    pages.push_back(page);
  }
  printf("corpus: %zu pages, %zu bytes\n", pages.size(), TotalBytes(pages));
  PrintCorpusTable(pages, paths);
  MeasureLongRuns();
  return 0;
}
