// Tags, attributes and references that lie whole inside a chunk are read at
// once; cut by a chunk end, they are read byte by byte. Both roads must give
// the same events and the same line count at every tag and comment: random
// documents are tokenized whole, one byte per chunk (which never holds a
// whole tag) and cut at random places.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EventRecorder.h"

namespace {

// Records the line count with every tag and comment (text pieces depend on
// the chunking and are compared joined).
class CLineRecorder : public CEventRecorder {
 public:
  BOOL OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    CEventRecorder::OnStartTag(pName, ppAttrs, nAttrs, pbContinue);
    return AddLine();
  }
  BOOL OnEndTag(CTextBuffer* pName, BOOL* pbContinue) override {
    CEventRecorder::OnEndTag(pName, pbContinue);
    return AddLine();
  }
  BOOL OnComment(CTextBuffer* pComment, BOOL* pbContinue) override {
    CEventRecorder::OnComment(pComment, pbContinue);
    return AddLine();
  }

 private:
  BOOL AddLine() {
    m_events.back() += " @" + std::to_string(m_nLine);
    return TRUE;
  }
};

const char* const kFragments[] = {
    // Markup openers and closers
    "<", "</", "<!", "< ", "</ ", "<!--", "<!-", "<! ", "-->", ">", "/", "/>", " />", "/ >",
    // Names, white space, "=" and quotes in every arrangement
    "a", "p", "DIV", "x\xE9", " ", "\t", "\n", "\r", "\r\n", "=", " = ", "\"", "'", "=\"", "='", "\"\"", "''",
    "=\"'", "='\"", "= \"", "v", "a b", "x=1", "y", " z", "\n=\n",
    // References
    "&", ";", "&amp;", "&amp", "&#65;", "&#x41;", "&copy;", "&nbsp;", "&abcdefg;", "&#321;", "&lt", "&frac14;",
    "&#;", "& ", "&&", "&a<",
    // Whole tags
    "<a href=\"x\r\ny\" title='t\n' id=u\rv>", "<img src=s alt=\"\" />", "<p class=\"a\" id='b' hidden>",
    "<a b='>'>", "<a b= c>", "<a b =c d>", "<a b=\"\"c>", "<a b=\"\n\">", "<a b='\r'>", "<a\nb\n=\nc\n>",
    "</p>", "</ p >", "</>", "</\n>", "<br/>", "<!DOCTYPE html>", "<>", "<!>", "<!-- c -->", "<!---->",
    "text", "\xA0", "\x7F",
};

std::string ManyAttributes(std::mt19937& random) {
  std::string tag = "<m";
  for (int i = 0, n = 45 + static_cast<int>(random() % 10); i < n; ++i)
    tag += " a" + std::to_string(i) + (i % 3 == 0 ? "" : i % 3 == 1 ? "=v" : "='w w'");
  return tag + (random() % 2 ? ">" : "/>");
}

std::string RandomDocument(std::mt19937& random) {
  const size_t nKinds = sizeof(kFragments) / sizeof(kFragments[0]);
  std::string document;
  for (size_t i = 0, n = 1 + random() % 60; i < n; ++i) {
    size_t kind = random() % (nKinds + 2);
    if (kind == nKinds)
      document += ManyAttributes(random);
    else if (kind == nKinds + 1)
      document += std::string(1, '\0');
    else
      document += kFragments[kind];
  }
  return document;
}

Events Tokenize(const std::string& document, const std::vector<size_t>& cuts, const TokenizeOptions& options,
                int* pnLines) {
  CLineRecorder tokenizer;
  FeedInChunks(tokenizer, document, cuts, options);
  *pnLines = tokenizer.m_nLine;
  tokenizer.Finish();
  return JoinText(tokenizer.m_events);
}

TEST(WholeTags, ReadAtOnceOrByteByByteGiveTheSameEventsAndLines) {
  std::mt19937 random(20261210);
  TokenizeOptions optionSets[3];
  optionSets[1].bKeepLineBreaks = true;
  optionSets[2].bDecodeCharRefs = false;
  for (int round = 0; round < 3000; ++round) {
    std::string document = RandomDocument(random);
    const TokenizeOptions& options = optionSets[round % 3];
    std::vector<size_t> everyByte = EveryByteCuts(document.size()), randomCuts;
    for (size_t at = 1 + random() % 40; at < document.size(); at += 1 + random() % 40) randomCuts.push_back(at);

    int nLinesWhole = 0, nLinesBytes = 0, nLinesCut = 0;
    Events whole = Tokenize(document, {}, options, &nLinesWhole);
    ASSERT_EQ(Tokenize(document, everyByte, options, &nLinesBytes), whole)
        << "document: " << testing::PrintToString(document);
    ASSERT_EQ(Tokenize(document, randomCuts, options, &nLinesCut), whole)
        << "document: " << testing::PrintToString(document) << " cuts: " << testing::PrintToString(randomCuts);
    ASSERT_EQ(nLinesBytes, nLinesWhole) << "document: " << testing::PrintToString(document);
    ASSERT_EQ(nLinesCut, nLinesWhole) << "document: " << testing::PrintToString(document);
  }
}

TEST(WholeTags, InitKeepsBuffersThatHaveGrown) {
  CEventRecorder tokenizer;
  ASSERT_TRUE(tokenizer.Init());
  EXPECT_EQ(tokenizer.m_text.GetCapacity(), 1023);
  std::string longText(5000, 't');
  tokenizer.Parse(longText.data(), static_cast<int>(longText.size()));
  tokenizer.Finish();
  char* pBlock = tokenizer.m_text.m_pBegin;
  int nCapacity = tokenizer.m_text.GetCapacity();
  ASSERT_GE(nCapacity, 5000);

  ASSERT_TRUE(tokenizer.Init());
  EXPECT_EQ(tokenizer.m_text.m_pBegin, pBlock);
  EXPECT_EQ(tokenizer.m_text.GetCapacity(), nCapacity);
  EXPECT_EQ(tokenizer.m_text.m_nGrowBy, 256);
  EXPECT_TRUE(tokenizer.m_text.IsEmpty());
}

// A reference read at once decodes to the byte DecodeCharRef gives for its
// name (the byte handlers use DecodeCharRef): table names, numbers of every
// length with leading zeros, signs, blanks and other bytes after the
// digits, and random names.
TEST(WholeReferences, DecodeAsDecodeCharRefDoes) {
  std::vector<std::string> names = {"",      "#",     "# 5",   "#\t65", "#+65",  "#-65",  "#065",  "#0",
                                    "#9",    "#10",   "#31",   "#32",    "#126",  "#127",  "#160",  "#161",
                                    "#255",  "#256",  "#512",  "#8212",  "#9999", "#99999", "#65a", "#x41",
                                    "#X263", "amp",   "AMP",   "lt",     "quot",  "nbsp",  "yuml",  "THORN",
                                    "thorn", "frac14", "eacute", "Eacute", "euro", "hellip", "notin", "ampx"};
  for (int n = 0; n < 1000; ++n) names.push_back("#" + std::to_string(n));
  std::mt19937 random(8212);
  const std::string alphabet = "#0123456789+- \txXampltgquonbsyEACU&\xE9";
  for (int i = 0; i < 5000; ++i) {
    std::string name;
    for (size_t n = random() % 7; name.size() < n;) name += alphabet[random() % alphabet.size()];
    names.push_back(name);
  }
  for (const std::string& name : names) {
    // Eight bytes follow the "&": the reference lies inside the chunk.
    std::string document = "&" + name + ";........";
    Events whole = JoinText(TokenizeWhole(document));
    std::string expected = "text:" + std::string(1, CHtmlTokenizer::DecodeCharRef(name.c_str())) + "........";
    ASSERT_EQ(whole, Events({expected})) << "name: " << testing::PrintToString(name);
    ASSERT_EQ(JoinText(TokenizeInChunks(document, EveryByteCuts(document.size()))), whole) << "name: " << testing::PrintToString(name);
  }
}

}  // namespace
