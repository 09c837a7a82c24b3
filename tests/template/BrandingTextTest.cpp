#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "TestHost.h"
#include "template/BrandingText.h"

namespace {

std::string Title() {
  char buffer[1024];
  EXPECT_TRUE(GetProductTitle(buffer, sizeof buffer));
  return buffer;
}

TEST(BrandingTextTest, WithoutAProgramDirectoryTheHostsTitleIsUsed) {
  const NoProgramDirObservation& seen = ObservedWithoutProgramDir();
  EXPECT_FALSE(seen.pathFound);
  EXPECT_EQ("untouched", seen.pathAfterCall);
  EXPECT_TRUE(seen.titleCopied);
  EXPECT_EQ(kHostTitle, seen.title);
  EXPECT_EQ("Welcome to Template Test Host.", seen.applied);
}

class BrandingFileTest : public ::testing::Test {
 protected:
  void SetUp() override { TestProgramDir::Use(); }
  void TearDown() override { TestProgramDir::RemoveBranding(); }
};

TEST_F(BrandingFileTest, TheFileLiesInTheProgramDirectory) {
  CString path;
  ASSERT_TRUE(GetBrandingIniPath(path));
  EXPECT_EQ(TestProgramDir::Use() + "Branding\\branding.ini", static_cast<LPCSTR>(path));
}

TEST_F(BrandingFileTest, TitleShortThenTitleThenTheHostsTitle) {
  struct Case {
    const char* titleShort;  // NULL: no such value
    const char* title;
    std::string expected;
  };
  const Case cases[] = {
      {"Acme Desk", "Acme Desktop Search", "Acme Desk"},
      {"", "Acme Desktop Search", "Acme Desktop Search"},
      {NULL, "Acme Desktop Search", "Acme Desktop Search"},
      {"Acme Desk", NULL, "Acme Desk"},
      {"", "", kHostTitle},
      {NULL, NULL, kHostTitle},
  };
  for (const Case& c : cases) {
    TestProgramDir::WriteBranding(c.titleShort, c.title);
    EXPECT_EQ(c.expected, Title()) << (c.titleShort ? c.titleShort : "(none)") << " / "
                                   << (c.title ? c.title : "(none)");
  }
  TestProgramDir::RemoveBranding();
  EXPECT_EQ(kHostTitle, Title());
}

TEST_F(BrandingFileTest, EveryPercentSGetsTheTitle) {
  TestProgramDir::WriteBranding("Acme Desk", NULL);
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"Welcome to %s.", "Welcome to Acme Desk."},
      {"%s and %s", "Acme Desk and Acme Desk"},
      {"%%s", "%Acme Desk"},
      {"100% sure, %d %", "100% sure, %d %"},
      {"%s", "Acme Desk"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(c.expected, ApplyProductTitle(c.text)) << c.text;

  // A title that itself holds "%s" is inserted as it is.
  TestProgramDir::WriteBranding("50%s off", NULL);
  EXPECT_STREQ("[50%s off][50%s off]", ApplyProductTitle("[%s][%s]"));
}

TEST_F(BrandingFileTest, TheTitleIsCopiedOnlyWhenItFits) {
  TestProgramDir::WriteBranding("Acme Desk", NULL);  // 9 bytes
  char buffer[16];
  memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(GetProductTitle(buffer, 9));
  EXPECT_EQ('x', buffer[0]);
  EXPECT_FALSE(GetProductTitle(buffer, -1));
  EXPECT_FALSE(GetProductTitle(NULL, 100));
  EXPECT_TRUE(GetProductTitle(buffer, 10));
  EXPECT_STREQ("Acme Desk", buffer);
}

// GetProductTitle's callers used to take the title into 256 bytes, so a
// longer title emptied the whole text.
TEST_F(BrandingFileTest, ALongTitleStillFillsTheText) {
  const std::string longTitle(300, 'T');
  TestProgramDir::WriteBranding(longTitle.c_str(), NULL);
  char buffer[256];
  EXPECT_FALSE(GetProductTitle(buffer, sizeof buffer));
  EXPECT_EQ("<" + longTitle + ">", static_cast<LPCSTR>(ApplyProductTitle("<%s>")));
}

}  // namespace
