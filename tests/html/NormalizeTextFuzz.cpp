// libFuzzer target: the text normaliser takes any bytes. Text without "&"
// must come out by the line-break rules alone: CR dropped, each run of line
// feeds one space, a zero byte a space. Text with references never grows.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "html/NormalizeText.h"

namespace {

std::string ByLineBreakRules(const std::string& input) {
  std::string expected;
  bool bInLineFeeds = false;
  for (char ch : input) {
    if (ch == '\r') continue;
    if (ch == '\n') {
      if (!bInLineFeeds) expected += ' ';
      bInLineFeeds = true;
      continue;
    }
    bInLineFeeds = false;
    expected += ch != '\0' ? ch : ' ';
  }
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  std::string input(reinterpret_cast<const char*>(pData), nSize);
  CString text(input.data(), static_cast<int>(input.size()));
  BOOL bDone = NormalizeText(text);
  if (bDone != (input.empty() ? FALSE : TRUE)) abort();
  std::string output(static_cast<LPCSTR>(text), static_cast<size_t>(text.GetLength()));
  if (output.size() > input.size()) abort();
  if (input.find('&') == std::string::npos && output != ByLineBreakRules(input)) abort();
  return 0;
}
