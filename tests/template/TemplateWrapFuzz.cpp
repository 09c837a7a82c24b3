// libFuzzer target: the expander with wrapping. For any template and values
// the text block equals the unwrapped file and what the expansion steps
// give when driven a byte at a time; the wrapped file keeps every line
// within the width (a line end does not count), and without the line
// breaks it inserted it is the unwrapped text.
//
// The text block is expanded with the other search form (SSE2 or a word at
// a time) than the files, chosen by the width, so both forms must agree.
//
// Input: the width (1 to 100), two values ("A" and "B"), then the template.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "ExpanderTestSupport.h"
#include "html/ByteSearch.h"

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
  const bool bWordsFirst = nWidth % 2 != 0;
  byte_search::SetForm(bWordsFirst ? byte_search::kWord : byte_search::kSse2);
  const Expanded plain = ExpandToFile(templ.c_str(), &vars, NULL, 0, &file);
  const Expanded wrapped = ExpandToFile(templ.c_str(), &vars, NULL, nWidth, &file);
  byte_search::SetForm(bWordsFirst ? byte_search::kSse2 : byte_search::kWord);
  const Expanded block = ExpandToString(templ.c_str(), &vars);
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
