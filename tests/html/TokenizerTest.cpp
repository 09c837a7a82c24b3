// What the tokenizer reports for a document, and that it reports the same
// however the document is cut into chunks.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "EventRecorder.h"

namespace {

struct TokenizerCase {
  TokenizerCase(const char* pszName, std::string strInput, Events expected, TokenizeOptions opts = TokenizeOptions())
      : name(pszName), input(std::move(strInput)), events(std::move(expected)), options(opts) {}

  const char* name;
  std::string input;
  Events events;  // as reported for the whole input in one chunk
  TokenizeOptions options;
};

TokenizeOptions KeepLineBreaks() {
  TokenizeOptions options;
  options.bKeepLineBreaks = true;
  return options;
}

TokenizeOptions NoDecoding() {
  TokenizeOptions options;
  options.bDecodeCharRefs = false;
  return options;
}

std::string ManyAttributes(int nCount, const char* pszClose, const char* pszQuote = "") {
  std::string tag = "<x";
  for (int i = 1; i <= nCount; ++i) tag += " a" + std::to_string(i) + "=" + pszQuote + std::to_string(i) + pszQuote;
  return tag + pszClose;
}

std::string AttributeList(int nCount) {
  std::string list = "start:x";
  for (int i = 1; i <= nCount; ++i) list += " a" + std::to_string(i) + "=[" + std::to_string(i) + "]";
  return list;
}

std::string ManyBareAttributes(int nCount) {
  std::string tag = "<x";
  for (int i = 1; i <= nCount; ++i) tag += " a" + std::to_string(i);
  return tag + " />";
}

std::string BareAttributeList(int nCount) {
  std::string list = "start:x";
  for (int i = 1; i <= nCount; ++i) list += " a" + std::to_string(i) + "=[]";
  return list;
}

const std::vector<TokenizerCase>& Cases() {
  static const std::vector<TokenizerCase> cases = {
      // Tags and attributes
      {"tag_with_attributes", "<p class=x id='a b'>Hi</p>", {"start:p class=[x] id=[a b]", "text:Hi", "end:p"}},
      {"self_closing", "<br/>", {"start:br", "end:br"}},
      {"self_closing_after_space", "<br />x", {"start:br", "end:br", "text:x"}},
      {"self_closing_then_spaces", "<br/  \n >x", {"start:br", "end:br", "text:x"}},
      {"slash_then_text", "<a/b>", {"start:a", "end:a", "text:b>"}},
      {"self_closing_with_attribute", "<img src=\"a.gif\" />", {"start:img src=[a.gif]", "end:img"}},
      {"space_before_name", "< p>", {"start:p"}},
      {"case_kept", "<DIV Class=Big>", {"start:DIV Class=[Big]"}},
      {"empty_quoted_value", "<a b=\"\" c=''>", {"start:a b=[] c=[]"}},
      {"attribute_without_value", "<input disabled name=x>", {"start:input disabled=[] name=[x]"}},
      {"attribute_without_value_last", "<input disabled >", {"start:input disabled=[]"}},
      {"spaces_around_equals", "<a b = \"c d\" e= f>", {"start:a b=[c d] e=[f]"}},
      {"other_quote_inside", "<a t=\"it's\" u='say \"hi\"'>", {"start:a t=[it's] u=[say \"hi\"]"}},
      {"quote_inside_unquoted", "<a t=x\"y>", {"start:a t=[x\"y]"}},
      {"gt_ends_quoted_value", "<a title=\"a>b\">", {"start:a title=[a]", "text:b\">"}},
      {"line_break_ends_unquoted", "<a b=c\nd=e>", {"start:a b=[c] d=[e]"}},
      {"line_breaks_dropped_in_quotes", "<a b=\"c\r\nd\">", {"start:a b=[cd]"}},
      {"doctype_as_tag", "<!DOCTYPE html>", {"start:DOCTYPE html=[]"}},
      {"empty_tags_dropped", "<><!>x", {"text:x"}},
      {"end_tag", "</p>", {"end:p"}},
      {"end_tag_space_kept_after_name", "</ p >", {"end:p "}},
      {"end_tag_starting_with_gt", "</>a>", {"end:>a"}},
      {"fifty_attributes_kept", ManyAttributes(60, ">"), {AttributeList(50)}},
      {"sixty_attributes_self_closing", ManyAttributes(60, " />"), {AttributeList(50), "end:x"}},
      {"sixty_quoted_attributes_self_closing", ManyAttributes(60, "/>", "\""), {AttributeList(50), "end:x"}},
      {"sixty_bare_attributes_self_closing", ManyBareAttributes(60), {BareAttributeList(50), "end:x"}},
      {"unterminated_tag_dropped", "a<b c=", {"text:a"}},

      // Text and character references
      {"reference_splits_text", "a&amp;b", {"text:a", "text:&b"}},
      {"latin1_name", "&copy;", {"text:\xA9"}},
      {"reference_at_end_after_text", "x&amp;", {"text:x", "text:&"}},
      {"names_are_case_sensitive", "&COPY;&bogus;", {"text: ", "text: "}},
      {"numeric", "&#65;&#9;&#10;", {"text:A", "text:\t", "text:\n"}},
      {"numeric_control_codes", "&#7;&#150;&#160;&#0;&#-5;&#x41;", {"text: ", "text: ", "text: ", "text: ", "text: ", "text: "}},
      {"numeric_low_eight_bits", "&#321;&#99999;", {"text:A", "text:\x9F"}},
      {"numeric_zero_low_byte", "&#256;", {"text: "}},
      {"nbsp_differs_from_160", "&nbsp;", {"text:\xA0"}},
      {"no_reference", "AT&T rocks!", {"text:AT", "text:&T rocks!"}},
      {"no_reference_at_end", "AT&T rocks", {"text:AT", "text:&T rocks"}},
      {"six_byte_name_decoded", "&frac14;&abcdef;", {"text:\xBC", "text: "}},
      {"seven_byte_name_kept", "&abcdefg;", {"text:&abcdefg;"}},
      {"long_name_kept", "&abcdefghij;", {"text:&abcdefghij;"}},
      {"reference_cut_by_tag", "&am<b>", {"text:&am", "start:b"}},
      {"reference_cut_by_line_break", "&am\nx", {"text:&am x"}},
      {"unterminated_reference_at_end", "&amp", {"text:&amp"}},
      {"lone_ampersand_at_end_dropped", "a&", {"text:a"}},
      {"decoding_off", "a&amp;b", {"text:a&amp;b"}, NoDecoding()},
      {"high_bytes_are_text", "caf\xE9 \xFF\x80<p \xE9=\xFF>", {"text:caf\xE9 \xFF\x80", "start:p \xE9=[\xFF]"}},
      {"nul_bytes_are_text", std::string("a\0b<p>", 6), {std::string("text:a\0b", 8), "start:p"}},
      {"control_bytes_are_text", "\x01\x1A\x7F", {"text:\x01\x1A\x7F"}},

      // Line breaks
      {"line_break_folds", "line1\nline2", {"text:line1 line2"}},
      {"line_break_run_folds", "a\n\n\nb", {"text:a b"}},
      {"carriage_return_dropped", "a\r\nb", {"text:a b"}},
      {"leading_line_break_gives_space", "\nx", {"text: x"}},
      {"line_break_after_tag", "a\n<b>\nx", {"text:a ", "start:b", "text: x"}},
      {"line_break_after_reference", "a\n&amp;\nb", {"text:a ", "text:& b"}},
      {"line_breaks_kept", "a\r\nb", {"text:a\r\n b"}, KeepLineBreaks()},
      {"line_break_run_kept", "a\n\nb", {"text:a\n \nb"}, KeepLineBreaks()},

      // Comments
      {"comment", "<!-- x -- y -->", {"comment: x -- y "}},
      {"empty_comment_dropped", "<!---->x", {"text:x"}},
      {"bang_comment", "<! DOCTYPE>", {"comment:DOCTYPE"}},
      {"bang_comment_ends_at_first_gt", "<! a > b>", {"comment:a ", "text: b>"}},
      {"comment_ends_at_dash_gt", "<!--a->b-->", {"comment:a", "text:b-->"}},
      {"comment_keeps_gt_and_line_breaks", "<!--a>\r\nb-->", {"comment:a>\nb"}},
      {"comment_dashes_kept", "<!-- a---b -->", {"comment: a---b "}},
      {"short_comment_opener", "<!-x->", {"comment:x"}},
      {"dropped_short_comment", "<!->x", {"text:x"}},
      {"unterminated_comment_dropped", "a<!-- b", {"text:a"}},
  };
  return cases;
}

void PrintTo(const TokenizerCase& c, std::ostream* os) { *os << testing::PrintToString(c.input); }

class TokenizerCases : public testing::TestWithParam<TokenizerCase> {};

TEST_P(TokenizerCases, ReportsEventsForTheWholeInput) {
  const TokenizerCase& c = GetParam();
  EXPECT_EQ(TokenizeWhole(c.input, c.options), c.events);
}

TEST_P(TokenizerCases, EveryCutIntoTwoChunksGivesTheSameDocument) {
  const TokenizerCase& c = GetParam();
  Events expected = JoinText(c.events);
  for (size_t cut = 1; cut < c.input.size(); ++cut)
    EXPECT_EQ(JoinText(TokenizeInChunks(c.input, {cut}, c.options)), expected) << "cut at " << cut;
}

TEST_P(TokenizerCases, OneByteChunksGiveTheSameDocument) {
  const TokenizerCase& c = GetParam();
  EXPECT_EQ(JoinText(TokenizeInChunks(c.input, EveryByteCuts(c.input.size()), c.options)), JoinText(c.events));
}

INSTANTIATE_TEST_SUITE_P(Documents, TokenizerCases, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TokenizerCase>& info) { return std::string(info.param.name); });

TEST(Tokenizer, ChunkEndingInsideAReferenceCompletesItFromTheNextChunk) {
  EXPECT_EQ(TokenizeInChunks("x&co", {3}), Events({"text:x", "text:&co"}));
  EXPECT_EQ(TokenizeInChunks("x&copy;y", {3}), Events({"text:x", "text:\xA9y"}));
}

TEST(Tokenizer, TextIsDeliveredAtLeastOncePerChunk) {
  EXPECT_EQ(TokenizeInChunks("abcdef", {2, 4}), Events({"text:ab", "text:cd", "text:ef"}));
}

TEST(Tokenizer, InitStartsEachDocumentClean) {
  CEventRecorder tokenizer;
  tokenizer.SetKeepLineBreaks(TRUE);
  // Documents that end inside a comment, a quoted value, a "<! " comment,
  // just after "/" and after a line break.
  const char* pszUnfinished[] = {"<!-- open", "<a b=\"open", "<a b=\"", "<! open", "<br/", "x\n"};
  for (const char* pszDocument : pszUnfinished) {
    ASSERT_TRUE(tokenizer.Init());
    tokenizer.SetDecodeCharRefs(FALSE);
    tokenizer.Parse(pszDocument, static_cast<int>(strlen(pszDocument)));
    tokenizer.Finish();

    ASSERT_TRUE(tokenizer.Init());
    tokenizer.m_events.clear();
    const char* pszNext = "\n<a c='d'>&amp;<!--e-->>\n";
    tokenizer.Parse(pszNext, static_cast<int>(strlen(pszNext)));
    tokenizer.Finish();
    EXPECT_EQ(tokenizer.m_events, Events({"text:\n ", "start:a c=[d]", "text:&", "comment:e", "text:>\n "}))
        << "after " << pszDocument;
  }
  EXPECT_TRUE(tokenizer.GetKeepLineBreaks());
}

TEST(Tokenizer, ParseRefusesANullPointerOrNegativeLength) {
  CEventRecorder tokenizer;
  ASSERT_TRUE(tokenizer.Init());
  EXPECT_FALSE(tokenizer.Parse(NULL, 5));
  EXPECT_FALSE(tokenizer.Parse("abc", -1));
  EXPECT_TRUE(tokenizer.Parse("abc", 0));
  EXPECT_TRUE(tokenizer.Parse(CString("<p>")));
  EXPECT_EQ(tokenizer.m_events, Events({"start:p"}));
}

TEST(Tokenizer, OptionSettersReturnWhatTheyWereGiven) {
  CEventRecorder tokenizer;
  EXPECT_FALSE(tokenizer.GetKeepLineBreaks());
  EXPECT_EQ(tokenizer.SetKeepLineBreaks(TRUE), TRUE);
  EXPECT_EQ(tokenizer.SetDecodeCharRefs(FALSE), FALSE);
  ASSERT_TRUE(tokenizer.Init());
  EXPECT_TRUE(tokenizer.GetKeepLineBreaks());
  EXPECT_TRUE(tokenizer.m_bDecodeCharRefs);
}

TEST(Tokenizer, DestroyingWithPendingTextDeliversNothing) {
  // The decoded "&" is still pending; a recorder destroyed without Finish
  // must not get a callback while it is being destroyed.
  CEventRecorder* pTokenizer = new CEventRecorder;
  ASSERT_TRUE(pTokenizer->Init());
  pTokenizer->Parse("x&amp;", 6);
  delete static_cast<CHtmlTokenizer*>(pTokenizer);
}

TEST(Tokenizer, AttributePairsAreReusedAndFreedByFinish) {
  CEventRecorder tokenizer;
  ASSERT_TRUE(tokenizer.Init());
  tokenizer.Parse("<a b=1 c=2>", 11);
  CNameValuePair* pFirst = tokenizer.m_attrs[0];
  ASSERT_NE(pFirst, nullptr);
  LPCSTR pszNameStorage = pFirst->m_strName;
  LPCSTR pszValueStorage = pFirst->m_strValue;
  EXPECT_EQ(tokenizer.m_nAttrs, 0);
  EXPECT_TRUE(pFirst->m_strName.IsEmpty());
  EXPECT_TRUE(pFirst->m_strValue.IsEmpty());
  tokenizer.Parse("<a d=3>", 7);
  EXPECT_EQ(tokenizer.m_attrs[0], pFirst);
  // The next tag's attribute goes into the same storage: nothing allocated.
  EXPECT_EQ(static_cast<LPCSTR>(pFirst->m_strName), pszNameStorage);
  EXPECT_EQ(static_cast<LPCSTR>(pFirst->m_strValue), pszValueStorage);
  EXPECT_NE(tokenizer.m_attrs[1], nullptr);
  EXPECT_EQ(tokenizer.m_events.back(), "start:a d=[3]");
  tokenizer.Finish();
  for (CNameValuePair* pPair : tokenizer.m_attrs) EXPECT_EQ(pPair, nullptr);
}

TEST(Tokenizer, IsSpaceCharAcceptsFourBytesAndCountsLineFeeds) {
  CEventRecorder tokenizer;
  ASSERT_TRUE(tokenizer.Init());
  for (int ch = 0; ch < 256; ++ch) {
    bool bSpace = ch == '\t' || ch == '\n' || ch == '\r' || ch == ' ';
    EXPECT_EQ(tokenizer.IsSpaceChar(static_cast<char>(ch)), bSpace ? TRUE : FALSE) << ch;
  }
  EXPECT_EQ(tokenizer.m_nLine, 1);
}

// Stopping: a callback that clears its flag makes the tokenizer skip the
// rest of the chunk; the next chunk starts in text.
struct StopCase {
  const char* name;
  std::vector<std::string> chunks;
  int nStopAtEvent;
  Events events;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class TokenizerStops : public testing::TestWithParam<StopCase> {};

TEST_P(TokenizerStops, SkipTheRestOfTheChunk) {
  const StopCase& c = GetParam();
  CEventRecorder tokenizer;
  ASSERT_TRUE(tokenizer.Init());
  tokenizer.m_nStopAtEvent = c.nStopAtEvent;
  for (const std::string& chunk : c.chunks) EXPECT_TRUE(tokenizer.Parse(chunk.data(), static_cast<int>(chunk.size())));
  tokenizer.Finish();
  EXPECT_EQ(tokenizer.m_events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Events, TokenizerStops,
    testing::ValuesIn(std::vector<StopCase>{
        {"at_text", {"a<b>c", "x<i>"}, 0, {"text:a", "text:x", "start:i"}},
        {"at_text_of_chunk_end", {"ab", "<i>c", "<u>"}, 0, {"text:ab", "start:u"}},
        {"at_start_tag", {"<a><b>c", "<i>"}, 0, {"start:a", "start:i"}},
        {"at_self_closing_start_tag", {"<br/>x", "y"}, 0, {"start:br", "end:br", "text:y"}},
        {"at_end_tag", {"</a>x<b>", "y"}, 0, {"end:a", "text:y"}},
        {"at_comment", {"<!--c-->x", "y"}, 0, {"comment:c", "text:y"}},
        {"at_bang_comment", {"<! c>x", "y"}, 0, {"comment:c", "text:y"}},
        {"at_last_byte_skips_next_chunk", {"<a>", "<b>", "<c>"}, 0, {"start:a", "start:c"}},
        {"at_second_event", {"<a>t<b>u", "v"}, 1, {"start:a", "text:t", "text:v"}},
        {"pending_reference_at_finish", {"a&amp;"}, 0, {"text:a"}},
    }),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST(DecodeCharRef, TableHoldsTheMarkupCharactersAndLatin1Names) {
  const char* pszLatin1[96] = {
      "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
      "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
      "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
      "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
      "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
      "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
      "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
      "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
      "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
  for (int i = 0; i < 96; ++i) EXPECT_EQ(static_cast<unsigned char>(CHtmlTokenizer::DecodeCharRef(pszLatin1[i])), 160 + i) << pszLatin1[i];
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef("quot"), '"');
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef("amp"), '&');
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef("lt"), '<');
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef("gt"), '>');
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef("apos"), ' ');
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef("Amp"), ' ');
  EXPECT_EQ(CHtmlTokenizer::DecodeCharRef(""), ' ');
}

TEST(DecodeCharRef, NumbersReadLikeAtoi) {
  struct {
    const char* name;
    int code;
  } cases[] = {
      {"#65", 'A'},  {"# 65", 'A'},    {"#+65", 'A'},     {"#65x", 'A'},    {"#", ' '},          {"#9", '\t'},
      {"#10", '\n'}, {"#11", ' '},     {"#31", ' '},      {"#32", ' '},     {"#126", '~'},       {"#127", ' '},
      {"#160", ' '}, {"#161", 0xA1},   {"#255", 0xFF},    {"#256", ' '},    {"#512", ' '},       {"#265", '\t'},
      {"#-65", ' '}, {"#x41", ' '},    {"#99999999999999", 0xFF}, {"#-99999999999999", ' '},
  };
  for (const auto& c : cases)
    EXPECT_EQ(static_cast<unsigned char>(CHtmlTokenizer::DecodeCharRef(c.name)), c.code) << c.name;
}

}  // namespace
