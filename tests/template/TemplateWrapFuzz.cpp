// libFuzzer target: the expander with wrapping. For any template and values
// the text block equals the unwrapped file and what the expansion steps
// give when driven a byte at a time; the wrapped file keeps every line
// within the width (a line end does not count), and without the line
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
  if (block.text != StepByStepExpander().Run(templ.c_str(), &vars, NULL)) abort();
  if (FirstLineOver(wrapped.text, nWidth) != std::string::npos) abort();
  if (WithoutCrLf(wrapped.text) != WithoutCrLf(plain.text)) abort();
  return 0;
}
