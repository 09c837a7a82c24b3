// Any cutting of a document into chunks gives the same tags, comments and
// text as the whole document at once: random documents made of markup
// fragments, cut at random places.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EventRecorder.h"

namespace {

const char* const kFragments[] = {
    "<",      ">",      "</",     "/",      "/>",     " />",   "<!",    "<!-",   "<!--",  "-->",   "--",
    "-",      "->",     "<! ",    "&",      "&amp;",  "&amp",  "&#65;", "&#",    ";",     "&copy;", "&abcdefgh;",
    "=",      "\"",     "'",      "=\"",    "='",     " ",     "\t",    "\n",    "\r\n",  "\r",    "a",
    "b",      "p",      "div",    "x=1",    "text",   "\xE9",  "\xA0",  "<p>",   "</p>",  "<a href='x y'>",
    "<br/>",  "<img src=\"s\" alt=''/>", "<!DOCTYPE html>", "<!-- c -->", "&lt;", "&#256;", "AT&T", "\x00",
};

std::string RandomDocument(std::mt19937& random, size_t nFragments) {
  const size_t nKinds = sizeof(kFragments) / sizeof(kFragments[0]);
  std::string document;
  for (size_t i = 0; i < nFragments; ++i) {
    size_t kind = random() % nKinds;
    if (kFragments[kind][0] == '\0')
      document += std::string(1, '\0');
    else
      document += kFragments[kind];
  }
  return document;
}

std::vector<size_t> RandomCuts(std::mt19937& random, size_t nLength) {
  std::vector<size_t> cuts;
  size_t maxChunk = 1 + random() % 16;
  for (size_t at = 1 + random() % maxChunk; at < nLength; at += 1 + random() % maxChunk) cuts.push_back(at);
  return cuts;
}

TEST(Chunking, RandomDocumentsCutAtRandomGiveTheSameDocument) {
  std::mt19937 random(20240611);
  TokenizeOptions optionSets[3];
  optionSets[1].bKeepLineBreaks = true;
  optionSets[2].bDecodeCharRefs = false;
  for (int round = 0; round < 3000; ++round) {
    std::string document = RandomDocument(random, 1 + random() % 40);
    const TokenizeOptions& options = optionSets[round % 3];
    Events whole = JoinText(TokenizeWhole(document, options));
    std::vector<size_t> cuts = RandomCuts(random, document.size());
    Events cut = JoinText(TokenizeInChunks(document, cuts, options));
    ASSERT_EQ(cut, whole) << "document: " << testing::PrintToString(document) << " cuts: " << testing::PrintToString(cuts);
  }
}

}  // namespace
