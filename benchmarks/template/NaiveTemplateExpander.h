// The expander's first output path, kept as the baseline of the benchmark:
// every template byte goes out through its own call, each byte or text is
// its own write call on the file, and the output and pending blocks grow by
// 1,024 bytes (or the text's length) at a time. Same template syntax, same
// bytes for unwrapped output; wrapping as it was first described (a CR before
// LF counts toward the width, the last line is written unbroken).
#pragma once

#include <stdlib.h>
#include <string.h>

#include <string>

#include "template/CNamedValueList.h"

#if defined(_WIN32)
#include <io.h>
#define NAIVE_WRITE _write
#else
#include <unistd.h>
#define NAIVE_WRITE ::write
#endif

class NaiveTemplateExpander {
 public:
  // Returns the text block (malloc'ed) for hFile == -1, else NULL.
  char* Run(const char* templ, int hFile, CNamedValueList* vars, CNamedValueList* more, unsigned width) {
    t_ = templ;
    n_ = static_cast<int>(strlen(templ));
    vars_ = vars;
    more_ = more;
    file_ = hFile;
    width_ = width;
    if (hFile == -1) {
      outSize_ = 2 * n_ + 1;
      out_ = static_cast<char*>(malloc(outSize_));
      out_[0] = 0;
      outLen_ = 0;
    }
    if (width != 0) {
      lineSize_ = width + 3;
      line_ = static_cast<char*>(malloc(lineSize_));
      line_[0] = 0;
    }
    Expand();
    if (line_ != NULL) {
      WriteText(line_);
      free(line_);
      line_ = NULL;
    }
    return out_;
  }

 private:
  void Expand() {
    char prev = 0;
    for (int p = 0; p < n_;) {
      char c = t_[p];
      if (c == '\n') {
        if (prev == '\r') PutChar('\n'); else PutText("\r\n");
        ++p;
      } else if (c == '$') {
        p = Variable(p);
      } else if (c == '<') {
        p = Marker(p);
      } else {
        PutChar(c);
        ++p;
      }
      prev = c;
    }
  }
  int Find(int from, const char* what) const {
    const char* hit = strstr(t_ + from, what);
    return hit ? static_cast<int>(hit - t_) : -1;
  }
  bool Lookup(const std::string& name, CString& value) const {
    value.Empty();
    return (vars_ && vars_->Lookup(name.c_str(), value)) || (more_ && more_->Lookup(name.c_str(), value));
  }
  bool Defined(const std::string& name) const {
    return (vars_ && vars_->Contains(name.c_str())) || (more_ && more_->Contains(name.c_str()));
  }
  int Variable(int p) {
    if (p + 1 >= n_) { PutChar('$'); return n_; }
    if (t_[p + 1] != '{') { PutChar('$'); return p + 1; }
    int close = p + 2 < n_ ? Find(p + 2, "}$") : -1;
    if (close < 0 || close == p + 2) { PutText("${"); return close < 0 ? p + 2 : close + 2; }
    CString value;
    if (Lookup(std::string(t_ + p + 2, close - p - 2), value)) PutText(value);
    return close + 2;
  }
  int Marker(int p) {
    if (n_ - p < 16 || t_[p + 1] != '!') { PutChar('<'); return p + 1; }
    char marker[17];
    memcpy(marker, t_ + p, 16);
    marker[16] = 0;
    if (strcasecmp_ascii(marker, "<!--^^endif^^-->")) return p + 16;
    if (memcmp(marker, "<!--^^ifdef ", 12) == 0) {
      int close = Find(p + 12, "^^-->");
      if (close > p + 12) {
        int next = close + 5;
        if (Defined(std::string(t_ + p + 12, close - p - 12))) return next;
        int endif = Find(next, "<!--^^endif^^-->");
        return endif < 0 ? next : endif + 16;
      }
    }
    PutChar('<');
    return p + 1;
  }
  static bool strcasecmp_ascii(const char* a, const char* b) {
    for (; *a || *b; ++a, ++b) {
      char x = (*a >= 'A' && *a <= 'Z') ? *a + 32 : *a, y = (*b >= 'A' && *b <= 'Z') ? *b + 32 : *b;
      if (x != y) return false;
    }
    return true;
  }

  void PutChar(char c) {
    char text[2] = {c, 0};
    if (width_ == 0) { WriteChar(c); return; }
    Append(line_, lineSize_, strlen(line_), text, 1, true);
    WrapLines();
  }
  void PutText(const char* s) {
    if (!s || !*s) return;
    if (width_ == 0) { WriteText(s); return; }
    Append(line_, lineSize_, strlen(line_), s, strlen(s), false);
    WrapLines();
  }
  void WriteChar(char c) {
    if (file_ != -1) NAIVE_WRITE(file_, &c, 1);
    if (out_) { Append(out_, outSize_, outLen_, &c, 1, true); ++outLen_; }
  }
  void WriteText(const char* s) {
    size_t len = strlen(s);
    if (file_ != -1) NAIVE_WRITE(file_, s, static_cast<unsigned>(len));
    if (out_) { Append(out_, outSize_, outLen_, s, len, false); outLen_ += len; }
  }
  void WriteBytes(const char* s, size_t len) {
    if (file_ != -1) NAIVE_WRITE(file_, s, static_cast<unsigned>(len));
  }
  static void Append(char*& block, size_t& size, size_t len, const char* s, size_t n, bool single) {
    if (len + n + 1 > size) {
      size_t grown = size + (single ? 1024 : (n > 1024 ? n : 1024));
      char* p = static_cast<char*>(malloc(grown));
      memcpy(p, block, len + 1);
      free(block);
      block = p;
      size = grown;
    }
    memcpy(block + len, s, n);
    block[len + n] = 0;
  }
  void WrapLines() {
    size_t len = strlen(line_);
    if (len < width_ + 2) return;
    size_t start = 0, count = 0, space = 0;
    bool haveSpace = false;
    for (size_t i = 0; i < len; ++i) {
      char c = line_[i];
      if (c == '\n') {
        WriteBytes(line_ + start, i + 1 - start);
        start = i + 1; count = 0; haveSpace = false;
        continue;
      }
      if (c == ' ' && i != 0) { space = i; haveSpace = true; }
      if (++count < width_) continue;
      if (i + 1 == len) break;
      if (line_[i + 1] == '\r' && i + 2 < len && line_[i + 2] == '\n') {
        WriteBytes(line_ + start, i + 3 - start);
        start = i + 3; count = 0; haveSpace = false; i += 2;
        continue;
      }
      size_t brk = haveSpace ? space : i;
      WriteBytes(line_ + start, brk + 1 - start);
      WriteBytes("\r\n", 2);
      start = brk + 1; count = 0; haveSpace = false; i = brk;
    }
    memmove(line_, line_ + start, len - start + 1);
  }

  const char* t_ = NULL;
  int n_ = 0;
  CNamedValueList* vars_ = NULL;
  CNamedValueList* more_ = NULL;
  int file_ = -1;
  unsigned width_ = 0;
  char* out_ = NULL;
  size_t outSize_ = 0, outLen_ = 0;
  char* line_ = NULL;
  size_t lineSize_ = 0;
};
