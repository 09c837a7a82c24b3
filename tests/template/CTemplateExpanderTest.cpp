#include <gtest/gtest.h>

#include <new>
#include <string>

#include "ExpanderTestSupport.h"
#include "template/BlockGrowth.h"

namespace {

struct Case {
  const char* templ;
  const char* expected;
};

class CTemplateExpanderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vars.SetValue("Name", "Ann");
    vars.SetValue("Empty", "");
    vars.SetValue("Footer", "");
    vars.SetValue("a b", "spaced");
    vars.SetValue("Markup", "${Name}$<!--^^endif^^--><!--^^ifdef Footer^^-->");
    vars.SetValue("Lines", "one\ntwo");
    more.SetValue("Extra", "X");
    more.SetValue("name", "from the second list");
    more.SetValue("Header", "");
  }

  // Each case must come out the same from a string and from a file.
  void ExpectAll(const Case* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      const Case& c = cases[i];
      const Expanded asString = ExpandToString(c.templ, &vars, &more);
      EXPECT_TRUE(asString.ok) << Visible(c.templ);
      EXPECT_EQ(Visible(c.expected), Visible(asString.text)) << "string from " << Visible(c.templ);
      const Expanded asFile = ExpandToFile(c.templ, &vars, &more);
      EXPECT_TRUE(asFile.ok) << Visible(c.templ);
      EXPECT_EQ(Visible(c.expected), Visible(asFile.text)) << "file from " << Visible(c.templ);
    }
  }

  CNamedValueList vars, more;
};

TEST_F(CTemplateExpanderTest, Variables) {
  const Case cases[] = {
      {"Dear ${Name}$,", "Dear Ann,"},
      {"Dear ${Missing}$,", "Dear ,"},
      {"[${Empty}$]", "[]"},
      {"${NAME}$ ${name}$", "Ann Ann"},  // any case; the first list wins
      {"${Extra}$", "X"},                // the second list is searched too
      {"${a b}$", "spaced"},             // the name is every byte in between
      {"${Name}$${Name}$", "AnnAnn"},
      {"$${Name}$", "$Ann"},
      {"cost 5$", "cost 5$"},
      {"$", "$"},
      {"$x", "$x"},
      {"${x", "${x"},
      {"${", "${"},
      {"${Name}x", "${Name}x"},
      {"${}$", "${"},
      {"a${}$b", "a${b"},
      {"${Name}$}$", "Ann}$"},
      {"${Markup}$", "${Name}$<!--^^endif^^--><!--^^ifdef Footer^^-->"},  // values are not expanded
      {"${Lines}$", "one\ntwo"},                                         // nor their line ends changed
  };
  ExpectAll(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(CTemplateExpanderTest, ConditionalBlocks) {
  const Case cases[] = {
      {"<!--^^ifdef Footer^^-->A<!--^^endif^^-->B", "AB"},  // defined with an empty value
      {"<!--^^ifdef Nope^^-->A<!--^^endif^^-->B", "B"},
      {"<!--^^ifdef FOOTER^^-->A<!--^^endif^^-->", "A"},  // names in any case
      {"<!--^^ifdef Header^^-->A<!--^^endif^^-->", "A"},  // defined in the second list
      {"<!--^^ifdef Nope^^-->A B", "A B"},                // no end marker: copied after all
      {"x<!--^^ENDIF^^-->y", "xy"},                       // any case while copying
      {"<!--^^ifdef Nope^^-->A<!--^^ENDIF^^-->B<!--^^endif^^-->C", "C"},  // exact while skipping
      // No nesting: a skip ends at the first end marker.
      {"<!--^^ifdef Nope^^-->A<!--^^ifdef Footer^^-->B<!--^^endif^^-->C<!--^^endif^^-->D", "CD"},
      {"<!--^^ifdef Nope^^-->${Name}$<!--^^endif^^-->", ""},
      {"<!--^^ifdef Footer^^-->${Name}$<!--^^endif^^-->", "Ann"},
      {"<!--^^ifdef ^^-->x", "<!--^^ifdef ^^-->x"},      // empty name
      {"<!--^^ifdef Footer-->x", "<!--^^ifdef Footer-->x"},  // never closed
      {"<!--^^IFDEF Footer^^-->x", "<!--^^IFDEF Footer^^-->x"},
      {"<!--^^endif^^-", "<!--^^endif^^-"},  // shorter than a marker
      {"<b>", "<b>"},
      {"<!-- note -->", "<!-- note -->"},
      {"<", "<"},
      {"a<!--^^endif^^-->", "a"},
  };
  ExpectAll(cases, sizeof cases / sizeof cases[0]);
}

// A long template looks the same names up again and again: every lookup
// must find what the lists hold, whichever way the name is spelled, however
// many names there are, and whether the name is short, long, shares its
// first 16 bytes with another, or ends the template.
TEST_F(CTemplateExpanderTest, RepeatedLookupsInOneTemplateFindWhatTheListsHold) {
  const std::string longPrefix = "AVeryLongVariableName_";  // 22 bytes
  for (int i = 0; i < 150; ++i) {
    const std::string n = std::to_string(i);
    vars.SetValue(("Var" + n).c_str(), ("v" + n).c_str());
    more.SetValue((longPrefix + n).c_str(), ("long" + n).c_str());
    if (i % 3 == 0) more.SetValue(("Var" + n).c_str(), "hidden by the first list");
  }
  std::string templ;
  std::string expected;
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < 150; ++i) {
      const std::string n = std::to_string(i);
      const std::string spelled = round % 2 == 0 ? "Var" + n : "vAR" + n;
      templ += "${" + spelled + "}$ ${" + longPrefix + n + "}$ ${Missing" + n + "}$";
      expected += "v" + n + " long" + n + " ";
      templ += "<!--^^ifdef " + spelled + "^^-->+<!--^^endif^^--><!--^^ifdef Gone" + n + "^^-->-<!--^^endif^^-->\n";
      expected += "+\r\n";
    }
  }
  templ += "${Var1}$";
  expected += "v1";
  const Expanded asString = ExpandToString(templ.c_str(), &vars, &more);
  ASSERT_TRUE(asString.ok);
  EXPECT_TRUE(asString.text == expected);
  const Expanded asFile = ExpandToFile(templ.c_str(), &vars, &more);
  ASSERT_TRUE(asFile.ok);
  EXPECT_TRUE(asFile.text == expected);
}

// Random templates built from the pieces of every marker, names and plain
// bytes: Expand, which copies runs of plain bytes at once, must give what
// the steps give a byte at a time.
TEST_F(CTemplateExpanderTest, ExpandGivesWhatTheStepsGive) {
  const char* const pieces[] = {"${", "}$", "$", "{", "}", "<!--^^ifdef ", "^^-->", "<!--^^endif^^-->",
                                "<!--^^ENDIF^^-->", "<!", "<", "!", "-", "^", "\n", "\r", "\r\n", " ",
                                "Name", "NAME", "Footer", "Nope", "a b", "Extra", "xyz", "0123456789abcdef"};
  unsigned seed = 2026;
  for (int round = 0; round < 3000; ++round) {
    std::string templ;
    const int nPieces = 1 + static_cast<int>(seed % 40);
    for (int i = 0; i < nPieces; ++i) {
      seed = seed * 1103515245u + 12345u;
      templ += pieces[(seed >> 16) % (sizeof pieces / sizeof pieces[0])];
    }
    const Expanded expanded = ExpandToString(templ.c_str(), &vars, &more);
    ASSERT_TRUE(expanded.ok);
    ASSERT_EQ(Visible(StepByStepExpander().Run(templ.c_str(), &vars, &more)), Visible(expanded.text))
        << "template " << Visible(templ);
  }
}

TEST_F(CTemplateExpanderTest, LineEndsBecomeCrLf) {
  const Case cases[] = {
      {"a\nb", "a\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"a\rb", "a\rb"},
      {"a\r\r\n", "a\r\r\n"},
      {"${Name}$\n", "Ann\r\n"},
      {"<!--^^endif^^-->\n", "\r\n"},
      {"<!--^^ifdef Nope^^-->x\r<!--^^endif^^-->\n", "\r\n"},
  };
  ExpectAll(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(CTemplateExpanderTest, ArgumentsThatGiveNoExpansion) {
  const Expanded empty = ExpandToString("");
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ("", empty.text);
  EXPECT_FALSE(ExpandToFile("").ok);
  EXPECT_FALSE(ExpandToFile(NULL).ok);

  CTemplateExpander expander;
  LPSTR out = const_cast<LPSTR>("untouched");
  EXPECT_FALSE(expander.ExpandToString(NULL, &out, NULL, NULL));
  EXPECT_STREQ("untouched", out);
  EXPECT_FALSE(expander.ExpandToString("x", NULL, NULL, NULL));
  EXPECT_FALSE(expander.ExpandToFile("x", -1, NULL, NULL, 0));
  EXPECT_FALSE(expander.ExpandToFile("x", -1, NULL, NULL, 10));

  // No lists at all: every variable is missing, every block skipped.
  EXPECT_EQ("[]", ExpandToString("[${Name}$<!--^^ifdef Name^^-->x<!--^^endif^^-->]").text);
}

TEST_F(CTemplateExpanderTest, OneExpanderServesSeveralExpansions) {
  CTemplateExpander expander;
  LPSTR first = NULL;
  LPSTR second = NULL;
  ASSERT_TRUE(expander.ExpandToString("${Name}$", &first, &vars, NULL));
  OutputFile file;
  ASSERT_TRUE(expander.ExpandToFile("${Extra}$ ${Extra}$", file.fd(), NULL, &more, 2));
  ASSERT_TRUE(expander.ExpandToString("<${Extra}$>", &second, NULL, &more));
  EXPECT_STREQ("Ann", first);
  EXPECT_EQ("X \r\nX", file.Contents());
  EXPECT_STREQ("<X>", second);
  AfxFreeMemory(first);
  AfxFreeMemory(second);
}

// A host may free the text block with the framework's operator delete
// instead of AfxFreeMemory: an empty text, a short one and one whose block
// was grown several times.
TEST_F(CTemplateExpanderTest, TextBlockIsFreedByOperatorDelete) {
  ASSERT_TRUE(vars.SetValue("Long", std::string(200000, 'L').c_str()));
  for (LPCSTR templ : {"", "${Name}$", "${Long}$${Long}$"}) {
    CTemplateExpander expander;
    LPSTR text = NULL;
    ASSERT_TRUE(expander.ExpandToString(templ, &text, &vars, NULL)) << templ;
    ASSERT_NE(text, nullptr);
    ::operator delete(text);
  }
}

TEST_F(CTemplateExpanderTest, LargeOutputsGrowTheTextBlock) {
  // Values far longer than the template: the block grows many times over.
  std::string value(100000, 'v');
  value += "\n";
  vars.SetValue("Big", value.c_str());
  std::string templ;
  std::string expected;
  for (int i = 0; i < 60; ++i) {
    templ += "${Big}$#";
    expected += value + "#";
  }
  const Expanded asString = ExpandToString(templ.c_str(), &vars);
  ASSERT_TRUE(asString.ok);
  EXPECT_TRUE(asString.text == expected) << "size " << asString.text.size();
  const Expanded asFile = ExpandToFile(templ.c_str(), &vars);
  ASSERT_TRUE(asFile.ok);
  EXPECT_TRUE(asFile.text == expected) << "size " << asFile.text.size();
}

// Derived only to reach the steps and members a caller driving an expansion
// itself uses.
class SteppedExpander : public CTemplateExpander {
 public:
  LPSTR Out() const { return m_pszOut; }
  UINT OutSize() const { return m_nOutSize; }
  int Length() const { return m_nLength; }
};

TEST_F(CTemplateExpanderTest, DirectWritesReachTheFileAtOnce) {
  OutputFile file;
  SteppedExpander expander;
  expander.InitForFile("unused", file.fd(), NULL, NULL);
  EXPECT_EQ(6, expander.Length());
  expander.WriteChar('x');
  EXPECT_EQ("x", file.Contents());
  expander.WriteText("yz");
  EXPECT_EQ("xyz", file.Contents());
  expander.WriteBytes("12345", 3);
  expander.PutText("!");
  EXPECT_EQ("xyz123!", file.Contents());
}

TEST_F(CTemplateExpanderTest, DrivenStepByStepIntoACallersBlock) {
  SteppedExpander expander;
  const char* templ = "Hi ${Name}$\n";
  LPSTR block = static_cast<LPSTR>(AfxAllocMemory(2 * strlen(templ) + 1));
  block[0] = '\0';
  expander.InitForString(templ, block, &vars, NULL);
  EXPECT_EQ(2 * strlen(templ) + 1, expander.OutSize());
  EXPECT_TRUE(expander.Expand());
  EXPECT_STREQ("Hi Ann\r\n", expander.Out());
  // Appending beyond the block's size grows it.
  for (int i = 0; i < 100; ++i) expander.PutText("0123456789");
  EXPECT_EQ(8u + 1000u, strlen(expander.Out()));
  EXPECT_GE(expander.OutSize(), 8u + 1000u + 1u);
  AfxFreeMemory(expander.Out());
}

TEST_F(CTemplateExpanderTest, StepsReportTheNextIndex) {
  CTemplateExpander expander;
  const char* templ = "${Name}$ ${open <!--^^ifdef Footer^^-->x<!--^^endif^^-->";
  expander.InitForFile(templ, -1, &vars, NULL);
  CString name;
  EXPECT_EQ(8, expander.ReadVariableName(2, name));
  EXPECT_STREQ("Name", name);
  EXPECT_EQ(11, expander.ReadVariableName(11, name));  // never closed
  EXPECT_STREQ("", name);
  EXPECT_EQ(39, expander.ReadConditionName(28, name));
  EXPECT_STREQ("Footer", name);
  EXPECT_EQ(56, expander.SkipToEndif(39));
  EXPECT_EQ(41, expander.SkipToEndif(41));  // none after it: the index itself
  CString value;
  EXPECT_TRUE(expander.LookupVariable("name", value));
  EXPECT_STREQ("Ann", value);
  EXPECT_FALSE(expander.LookupVariable("Extra", value));
  EXPECT_TRUE(expander.IsDefined("FOOTER"));
  EXPECT_FALSE(expander.IsDefined("Extra"));
}

TEST_F(CTemplateExpanderTest, AFailedWriteIsReported) {
  OutputFile file;
  const int readOnly = file.OpenReadOnly();
  ASSERT_NE(-1, readOnly);
  CTemplateExpander expander;
  EXPECT_FALSE(expander.ExpandToFile("text\n", readOnly, NULL, NULL, 0));
  EXPECT_FALSE(expander.ExpandToFile("text\n", readOnly, NULL, NULL, 3));
  OutputFile::CloseHandle(readOnly);
}

TEST(BlockGrowthTest, GrowsByTheStepThenByHalfAndNeverOverflows) {
  struct Case {
    UINT size, length, add;
    bool single;
    UINT expected;
  };
  const Case cases[] = {
      {100, 10, 5, false, 100},                  // fits
      {100, 98, 1, true, 100},                   // exactly fits with the terminator
      {100, 99, 1, true, 1124},                  // one byte: 1,024 more
      {100, 99, 3000, false, 3100},              // a text: its own length when longer
      {100, 99, 10, false, 1124},
      {65535, 65534, 1, true, 66559},            // still below 64 KiB
      {65536, 65535, 1, true, 98304},            // from 64 KiB: by half
      {1000000, 999999, 600000, false, 1600000},  // a text longer than half
      {0x80000000u, 0x7FFFFFFFu, 1, true, 0xC0000000u},
      {0xF0000000u, 0xEFFFFFFFu, 1, true, 0xFFFFFFFFu},  // clamped at the largest size
      {0xFFFFFFFFu, 0xFFFFFFFEu, 1, true, 0},            // cannot grow
      {0x10000u, 0xFFFFu, 0xFFFFFFFFu, false, 0},        // needed size not representable
      {0, 0, 0, true, 1024},                             // no block yet
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, GrownBlockSize(c.size, c.length, c.add, c.single))
        << c.size << " " << c.length << " " << c.add;
}

}  // namespace
