// libFuzzer target: the input tokenized whole must give the same document
// as the same input cut into chunks chosen by its first bytes, under every
// option set; the text normaliser must take any string.
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "EventRecorder.h"
#include "html/NormalizeText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  if (nSize < 2) return 0;
  unsigned int seed = pData[0] | (pData[1] << 8);
  std::string input(reinterpret_cast<const char*>(pData) + 2, nSize - 2);

  std::vector<size_t> cuts;
  unsigned int state = seed * 2654435761u + 1;
  size_t maxChunk = 1 + seed % 17;
  for (size_t at = 0;;) {
    state = state * 1103515245u + 12345u;
    at += 1 + (state >> 16) % maxChunk;
    if (at >= input.size()) break;
    cuts.push_back(at);
  }

  TokenizeOptions options;
  options.bKeepLineBreaks = (seed & 0x100) != 0;
  options.bDecodeCharRefs = (seed & 0x200) == 0;
  if (JoinText(TokenizeWhole(input, options)) != JoinText(TokenizeInChunks(input, cuts, options))) abort();

  CString text(input.data(), static_cast<int>(input.size()));
  NormalizeText(text);
  return 0;
}
