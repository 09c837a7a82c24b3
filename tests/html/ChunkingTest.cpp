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

// Text dense with references of every kind, in documents long enough that
// most references have many bytes after them, as in real text: read whole
// (where a reference and the text after it are read at once), the text is
// what the byte-at-a-time reading gives, and with text blocks of any size
// the events are exactly those of the usual block.
const char* const kDenseFragments[] = {
    "&amp;",  "&lt;",     "&nbsp;",  "&yuml;",   "&frac12;", "&AElig;", "&apos;", "&#160;", "&#8212;", "&#65;",
    "&#9;",   "&#99999;", "&#00065;", "&#123456;", "&#256;",  "&#x41;",  "&#X41;", "&# 65;", "&#+65;",  "&#-5;",
    "&#\t66;", "&#;",     "&;",      "&amp",     "&copy2023", "&abcdefg;", "&abcdef;", "&",    "&&",      "&lt<",
    "&a\rb;", "&#1\n;",  "&amp;&lt;", "\n",     "\r\n",    "<b>",     "</b>",   "\xE9",  " ",       "&a",
};

const char kZeroInNames[] = "&a\0b;&\0;&lt\0;&#65\0;";

std::string DenseDocument(std::mt19937& random, size_t nPieces) {
  const size_t nKinds = sizeof(kDenseFragments) / sizeof(kDenseFragments[0]);
  std::string document;
  for (size_t i = 0; i < nPieces; ++i) {
    switch (random() % 8) {
      case 0: document += std::string(kZeroInNames, sizeof(kZeroInNames) - 1); break;
      case 1:
      case 2:
      case 3: document.append(random() % 40, static_cast<char>('a' + random() % 26)); break;
      default: document += kDenseFragments[random() % nKinds]; break;
    }
  }
  return document;
}

Events TokenizeWholeWithTextBlock(const std::string& document, int nBlock, const TokenizeOptions& options) {
  CEventRecorder recorder;
  FeedInChunks(recorder, std::string(), std::vector<size_t>(), options);  // Init and the options, nothing fed
  recorder.m_text.Reserve(nBlock, 0);
  recorder.Parse(document.data(), static_cast<int>(document.size()));
  recorder.Finish();
  return recorder.m_events;
}

TEST(Chunking, TextDenseWithReferencesReadsTheSameWholeAndByteByByte) {
  std::mt19937 random(20261211);
  TokenizeOptions optionSets[2];
  optionSets[1].bKeepLineBreaks = true;
  for (int round = 0; round < 400; ++round) {
    std::string document = DenseDocument(random, 20 + random() % 200);
    const TokenizeOptions& options = optionSets[round % 2];
    Events whole = TokenizeWhole(document, options);
    Events byteByByte = TokenizeInChunks(document, EveryByteCuts(document.size()), options);
    ASSERT_EQ(JoinText(byteByByte), JoinText(whole)) << "document: " << testing::PrintToString(document);
    for (int nBlock : {2, 17, 40}) {
      ASSERT_EQ(TokenizeWholeWithTextBlock(document, nBlock, options), whole)
          << "text block of " << nBlock << " bytes, document: " << testing::PrintToString(document);
    }
  }
}

}  // namespace
