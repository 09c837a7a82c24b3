// libFuzzer target: the expander with wrapping. For any template and values
// the text block equals the unwrapped file; the wrapped file keeps every
// line within the width (a line end does not count), and without the line
// breaks it inserted it is the unwrapped text.
//
// Input: the width (1 to 100), two values ("A" and "B"), then the template.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "ExpanderTestSupport.h"

namespace {

// Lines end at LF; the CR of a CR LF line end is not part of the line.
bool LinesWithin(const std::string& text, size_t nWidth) {
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    size_t length = (end == std::string::npos ? text.size() : end) - start;
    if (end != std::string::npos && length > 0 && text[end - 1] == '\r') --length;
    if (length > nWidth) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

std::string WithoutZeros(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  FuzzedDataProvider data(pData, nSize);
  UINT nWidth = data.ConsumeIntegralInRange<UINT>(1, 100);
  CNamedValueList vars;
  vars.SetValue("A", WithoutZeros(data.ConsumeRandomLengthString(200)).c_str());
  vars.SetValue("B", WithoutZeros(data.ConsumeRandomLengthString(200)).c_str());
  std::string templ = WithoutZeros(data.ConsumeRemainingBytesAsString());

  OutputFile file;
  const Expanded plain = ExpandToFile(templ.c_str(), &vars, NULL, 0, &file);
  const Expanded block = ExpandToString(templ.c_str(), &vars);
  const Expanded wrapped = ExpandToFile(templ.c_str(), &vars, NULL, nWidth, &file);
  if (!plain.ok) {
    if (wrapped.ok) abort();
    return 0;
  }
  if (!block.ok || !wrapped.ok) abort();
  if (block.text != plain.text) abort();
  if (!LinesWithin(wrapped.text, nWidth)) abort();
  if (WithoutCrLf(wrapped.text) != WithoutCrLf(plain.text)) abort();
  return 0;
}
