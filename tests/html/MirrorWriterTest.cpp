// The mirror writer: files written byte for byte.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "html/CHtmlMirrorWriter.h"

namespace {

// Each "\n" the writer writes is a line end of the platform's text mode.
std::string Lines(const std::string& text) {
#if defined(_WIN32)
  std::string crlf;
  for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  return crlf;
#else
  return text;
#endif
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  FILE* pFile = fopen(path.c_str(), "rb");
  if (!pFile) return "(missing)";
  char buffer[4096];
  size_t nRead;
  while ((nRead = fread(buffer, 1, sizeof(buffer), pFile)) > 0) bytes.append(buffer, nRead);
  fclose(pFile);
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* pFile = fopen(path.c_str(), "wb");
  ASSERT_NE(pFile, nullptr) << path;
  fwrite(bytes.data(), 1, bytes.size(), pFile);
  fclose(pFile);
}

bool FileExists(const std::string& path) {
  FILE* pFile = fopen(path.c_str(), "rb");
  if (pFile) fclose(pFile);
  return pFile != NULL;
}

class MirrorWriter : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    m_source = "html_mirror_" + name + ".html";
    m_output = "html_mirror_" + name + ".out";
    remove(m_source.c_str());
    remove(m_output.c_str());
  }
  void TearDown() override {
    remove(m_source.c_str());
    remove(m_output.c_str());
  }

  std::string Banner() const { return "<!-- Mirror Parser's Output of " + m_source + " HTML Document -->\n"; }

  // Mirrors source bytes; returns Run's result.
  BOOL Mirror(const std::string& source) {
    WriteFileBytes(m_source, source);
    CHtmlMirrorWriter writer(m_source.c_str(), m_output.c_str());
    return writer.Run();
  }

  std::string m_source;
  std::string m_output;
};

TEST_F(MirrorWriter, WritesOneLinePerTagAndCommentAndTextAsDelivered) {
  ASSERT_TRUE(Mirror("<HTML><BODY BGCOLOR=white>Hi &amp; bye<!-- c --></BODY></HTML>"));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() +
                                           "<HTML>\n"
                                           "<BODY BGCOLOR=\"white\">\n"
                                           "Hi & bye<!--  c -->\n"
                                           "</BODY>\n"
                                           "</HTML>\n"));
}

TEST_F(MirrorWriter, WritesAttributesWithoutValueAsBareNamesAndValuesUnescaped) {
  ASSERT_TRUE(Mirror("<input disabled><a title=''><img alt='say \"hi\"' src=a.gif/><br/>"));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() +
                                           "<input disabled>\n"
                                           "<a title>\n"
                                           "<img alt=\"say \"hi\"\" src=\"a.gif/\">\n"
                                           "<br>\n"
                                           "</br>\n"));
}

TEST_F(MirrorWriter, ReadsTheSourceInTextModeAndFoldsItsLineBreaks) {
  ASSERT_TRUE(Mirror("<p>\r\nline one\r\nline two\r\n</p>\r\n"));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() + "<p>\n line one line two </p>\n "));
}

TEST_F(MirrorWriter, WritesTextPendingAtTheEndOfTheSource) {
  ASSERT_TRUE(Mirror("<b>x&amp;</b>y&amp;"));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() + "<b>\nx&</b>\ny&"));
}

TEST_F(MirrorWriter, ReplacesALongerExistingOutputFile) {
  WriteFileBytes(m_output, std::string(5000, 'o'));
  ASSERT_TRUE(Mirror("<p>"));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() + "<p>\n"));
}

TEST_F(MirrorWriter, MirrorsASourceOfManyReadsAsIfReadAtOnce) {
  // 7 blocks of 97 bytes: tags, references and comments fall across every
  // 512-byte read boundary.
  const std::string block =
      "<li class=\"item\" data-n=42>Item &amp; &copy; text\r\n"
      "more text<!-- note -- here --><br/>&#65;&lt;</li>\r\n";
  const std::string expected =
      "<li class=\"item\" data-n=\"42\">\n"
      "Item & \xA9 text more text<!--  note -- here -->\n"
      "<br>\n"
      "</br>\n"
      "A<</li>\n"
      " ";
  std::string source, mirror;
  for (int i = 0; i < 40; ++i) {
    source += block;
    mirror += expected;
  }
  ASSERT_GT(source.size(), 6 * 512u);
  ASSERT_TRUE(Mirror(source));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() + mirror));
}

TEST_F(MirrorWriter, LongSourcePathInTheBanner) {
  m_source = "html_mirror_" + std::string(180, 'x') + ".html";
  ASSERT_TRUE(Mirror("<p>"));
  EXPECT_EQ(ReadFileBytes(m_output), Lines(Banner() + "<p>\n"));
  remove(m_source.c_str());
}

TEST_F(MirrorWriter, MissingSourceGivesZeroAndNoOutput) {
  CHtmlMirrorWriter writer(m_source.c_str(), m_output.c_str());
  EXPECT_FALSE(writer.Run());
  EXPECT_FALSE(FileExists(m_output));
}

TEST_F(MirrorWriter, EmptyOutputPathGivesZero) {
  WriteFileBytes(m_source, "<p>");
  CHtmlMirrorWriter writer(m_source.c_str(), "");
  EXPECT_FALSE(writer.Run());
}

TEST_F(MirrorWriter, OutputThatIsTheSourceGivesZeroAndKeepsTheSource) {
  WriteFileBytes(m_source, "<p>keep me</p>");
  CHtmlMirrorWriter writer(m_source.c_str(), ("./" + m_source).c_str());
  EXPECT_FALSE(writer.Run());
  EXPECT_EQ(ReadFileBytes(m_source), "<p>keep me</p>");
}

TEST_F(MirrorWriter, OutputThatCannotBeOpenedGivesZero) {
  WriteFileBytes(m_source, "<p>");
  CHtmlMirrorWriter writer(m_source.c_str(), "html_no_such_dir/sub/out.html");
  EXPECT_FALSE(writer.Run());
}

#if !defined(_WIN32)
TEST_F(MirrorWriter, FailedWriteGivesZero) {
  WriteFileBytes(m_source, "<p>" + std::string(3000, 'x'));
  CHtmlMirrorWriter writer(m_source.c_str(), "/dev/full");
  EXPECT_FALSE(writer.Run());
}
#endif

}  // namespace
