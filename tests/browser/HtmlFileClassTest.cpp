// How the system's HTML browser is found: the class of ".htm" (or ".html")
// files and the program of its open command.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "BrowserTestHost.h"
#include "FileTerritory.h"
#include "RegistryTerritory.h"
#include "browser/BrowserDiscovery.h"

namespace {

const char kClass[] = "LdxTest.HtmlClass";

void SetExtension(RegistryTerritory& registry, const char* extension, const char* className,
                  const char* contentType, const char* contentTypeName = "Content Type") {
  registry.CreateKey(HKEY_CLASSES_ROOT, extension);
  if (className != NULL) registry.SetDefault(HKEY_CLASSES_ROOT, extension, className);
  if (contentType != NULL) registry.SetString(HKEY_CLASSES_ROOT, extension, contentTypeName, contentType);
}

TEST(HtmlFileClassTest, ClassNeedsAClassNameAndExactlyTextHtml) {
  typedef RegistryTerritory R;
  struct Case {
    const char* what;
    std::function<void(R&)> setUp;
    const char* className;  // NULL: not found
  };
  const Case cases[] = {
      {"no .htm, no .html", [](R&) {}, NULL},
      {".htm", [](R& r) { SetExtension(r, ".htm", "htmA", "text/html"); }, "htmA"},
      {"content type name in another case",
       [](R& r) { SetExtension(r, ".htm", "htmA", "text/html", "content TYPE"); }, "htmA"},
      {"content type value in another case",
       [](R& r) {
         SetExtension(r, ".htm", "htmA", "TEXT/HTML");
         SetExtension(r, ".html", "htmlB", "text/html");
       },
       NULL},
      {".htm missing, .html used", [](R& r) { SetExtension(r, ".html", "htmlB", "text/html"); }, "htmlB"},
      {".htm without content type: .html not consulted",
       [](R& r) {
         SetExtension(r, ".htm", "htmA", NULL);
         SetExtension(r, ".html", "htmlB", "text/html");
       },
       NULL},
      {".htm without values: .html not consulted",
       [](R& r) {
         SetExtension(r, ".htm", NULL, NULL);
         SetExtension(r, ".html", "htmlB", "text/html");
       },
       NULL},
      {"no class name", [](R& r) { SetExtension(r, ".htm", NULL, "text/html"); }, NULL},
      {"empty class name", [](R& r) { SetExtension(r, ".htm", "", "text/html"); }, NULL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistryTerritory registry;
    registry.Own(HKEY_CLASSES_ROOT, ".htm");
    registry.Own(HKEY_CLASSES_ROOT, ".html");
    c.setUp(registry);
    CString className("untouched");
    EXPECT_EQ(c.className != NULL, GetHtmlFileClass(className) != FALSE);
    EXPECT_STREQ(c.className != NULL ? c.className : "untouched", className);
  }
}

class ShellOpenExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_registry.Own(HKEY_CLASSES_ROOT, kClass);
    m_root = BrowserTestHost::ScratchRoot() + "cmd\\";
    m_files.Write(m_root + "browse.exe");
    m_files.Write(m_root + "web-x\\browse.exe");
    m_files.Write(m_root + "Tools\\web-view\\viewer.exe");
    m_files.Write(m_root + "Program Files\\Web\\web.exe");
  }
  void SetCommand(const std::string& verb, const std::string& command) {
    m_registry.SetDefault(HKEY_CLASSES_ROOT, std::string(kClass) + "\\Shell\\" + verb + "\\command", command);
  }
  RegistryTerritory m_registry;
  FileTerritory m_files;
  std::string m_root;
};

TEST_F(ShellOpenExecutableTest, ProgramIsCutAtTheFirstMarkerOfThePriorityList) {
  const std::string r = m_root;
  const std::string blank = m_root + "Program Files\\Web\\web.exe";
  struct Case {
    std::string command;
    std::string program;  // empty: not found
  };
  const Case cases[] = {
      {"\"" + blank + "\" -nohome", "\"" + blank + "\""},
      {"\"" + r + "browse.exe\" \"%1\"", r + "browse.exe"},
      {"\"" + r + "browse.exe", r + "browse.exe"},  // no closing quote
      {r + "browse.exe \"%1\"", r + "browse.exe"},
      {r + "browse.exe \"%s\"", r + "browse.exe"},
      {r + "browse.exe /dde", r + "browse.exe"},
      {r + "browse.exe -nohome", r + "browse.exe"},
      {r + "browse.exe %1", r + "browse.exe"},
      {r + "browse.exe %s", r + "browse.exe"},
      {r + "browse.exe", r + "browse.exe"},
      {" \t" + r + "browse.exe \t", r + "browse.exe"},
      {blank + " %1", "\"" + blank + "\""},
      // Priority, not position: "-" is tried before "%1", "/" before "-",
      // and "%1" in quotes before a bare "%1".
      {r + "Tools\\web-view\\viewer.exe %1", ""},
      {r + "web-x\\browse.exe /n", r + "web-x\\browse.exe"},
      {r + "browse.exe %1 \"%1\"", ""},
      {r + "Tools %1", r + "Tools"},  // a directory passes the existence test
      {r + "missing.exe %1", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    SetCommand("open", c.command);
    CString program("untouched");
    EXPECT_EQ(!c.program.empty(), GetShellOpenExecutable(kClass, program) != FALSE);
    EXPECT_EQ(c.program.empty() ? "untouched" : c.program, static_cast<LPCSTR>(program));
  }
}

TEST_F(ShellOpenExecutableTest, DefaultVerbChoosesTheCommand) {
  const std::string open = m_root + "browse.exe";
  const std::string view = m_root + "web-x\\browse.exe";
  CString program;
  EXPECT_FALSE(GetShellOpenExecutable(kClass, program));  // no class at all

  SetCommand("open", open + " %1");
  SetCommand("view", "\"" + view + "\"");
  EXPECT_TRUE(GetShellOpenExecutable(kClass, program));
  EXPECT_EQ(open, static_cast<LPCSTR>(program));

  m_registry.SetDefault(HKEY_CLASSES_ROOT, std::string(kClass) + "\\Shell", "view");
  EXPECT_TRUE(GetShellOpenExecutable(kClass, program));
  EXPECT_EQ(view, static_cast<LPCSTR>(program));

  // A default verb without a command does not fall back to "open".
  m_registry.SetDefault(HKEY_CLASSES_ROOT, std::string(kClass) + "\\Shell", "print");
  program = "untouched";
  EXPECT_FALSE(GetShellOpenExecutable(kClass, program));
  EXPECT_STREQ("untouched", program);

  m_registry.SetDefault(HKEY_CLASSES_ROOT, std::string(kClass) + "\\Shell", "");
  EXPECT_TRUE(GetShellOpenExecutable(kClass, program));
  EXPECT_EQ(open, static_cast<LPCSTR>(program));
}

}  // namespace
