// The registry and path routines that discovery and the profile searches
// share, on a scratch key of HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RegistryTerritory.h"
#include "browser/BrowserRegistry.h"

namespace {

const char kScratchKey[] = "Software\\LdxBrowserRoutinesTest";

class RegistryRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override { m_registry.Own(HKEY_CURRENT_USER, kScratchKey); }
  RegistryTerritory m_registry;
};

TEST_F(RegistryRoutinesTest, ReadRegStringTakesOnlyTextThatFits) {
  const std::string fits(259, 'a');  // 260 bytes with its terminating zero
  const std::string tooLong(260, 'b');
  m_registry.SetString(HKEY_CURRENT_USER, kScratchKey, "Text", "C:\\Program Files\\x.exe");
  m_registry.SetString(HKEY_CURRENT_USER, kScratchKey, "Empty", "");
  m_registry.SetString(HKEY_CURRENT_USER, kScratchKey, "Expand", "%SystemRoot%\\x.exe", REG_EXPAND_SZ);
  m_registry.SetString(HKEY_CURRENT_USER, kScratchKey, "Fits", fits);
  m_registry.SetString(HKEY_CURRENT_USER, kScratchKey, "TooLong", tooLong);
  DWORD number = 7;
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_ALL_ACCESS, &key));
  RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
  // Text stored without its terminating zero.
  RegSetValueExA(key, "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdefgh"), 4);
  RegCloseKey(key);

  struct Case {
    const char* key;
    const char* name;
    LONG result;
    std::string value;  // "untouched" when the output is left alone
  };
  const std::string subKey = std::string(kScratchKey) + "\\Missing";
  const Case cases[] = {
      {kScratchKey, "Text", ERROR_SUCCESS, "C:\\Program Files\\x.exe"},
      {kScratchKey, "Empty", ERROR_SUCCESS, ""},
      {kScratchKey, "Fits", ERROR_SUCCESS, fits},
      {kScratchKey, "Unterminated", ERROR_SUCCESS, "abcd"},
      {kScratchKey, "Expand", ERROR_INVALID_DATA, "untouched"},
      {kScratchKey, "Number", ERROR_INVALID_DATA, "untouched"},
      {kScratchKey, "TooLong", ERROR_MORE_DATA, "untouched"},
      {kScratchKey, "Absent", ERROR_FILE_NOT_FOUND, "untouched"},
      {subKey.c_str(), "Text", ERROR_FILE_NOT_FOUND, "untouched"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CString value("untouched");
    EXPECT_EQ(c.result, ReadRegString(HKEY_CURRENT_USER, c.key, c.name, value));
    EXPECT_EQ(c.value, static_cast<LPCSTR>(value));
  }
}

TEST_F(RegistryRoutinesTest, ReadRegDefaultReadsTheUnnamedValue) {
  CString value("untouched");
  m_registry.CreateKey(HKEY_CURRENT_USER, kScratchKey);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRegDefault(HKEY_CURRENT_USER, kScratchKey, value));
  EXPECT_STREQ("untouched", value);
  m_registry.SetDefault(HKEY_CURRENT_USER, kScratchKey, "C:\\Browser\\browse.exe");
  m_registry.SetString(HKEY_CURRENT_USER, kScratchKey, "Other", "not this one");
  EXPECT_EQ(ERROR_SUCCESS, ReadRegDefault(HKEY_CURRENT_USER, kScratchKey, value));
  EXPECT_STREQ("C:\\Browser\\browse.exe", value);
}

TEST_F(RegistryRoutinesTest, EnumRegSubkeysAppendsEveryName) {
  CStringArray names;
  names.Add("kept");
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, EnumRegSubkeys(HKEY_CURRENT_USER, kScratchKey, names));
  m_registry.CreateKey(HKEY_CURRENT_USER, kScratchKey);
  EXPECT_EQ(ERROR_SUCCESS, EnumRegSubkeys(HKEY_CURRENT_USER, kScratchKey, names));
  EXPECT_EQ(1, names.GetSize());

  for (const char* name : {"guest", "Second Profile", "z"})
    m_registry.CreateKey(HKEY_CURRENT_USER, std::string(kScratchKey) + "\\" + name);
  m_registry.CreateKey(HKEY_CURRENT_USER, std::string(kScratchKey) + "\\guest\\nested");
  EXPECT_EQ(ERROR_SUCCESS, EnumRegSubkeys(HKEY_CURRENT_USER, kScratchKey, names));
  ASSERT_EQ(4, names.GetSize());
  EXPECT_STREQ("kept", names[0]);
  EXPECT_STREQ("guest", names[1]);
  EXPECT_STREQ("Second Profile", names[2]);
  EXPECT_STREQ("z", names[3]);
}

TEST(QuoteIfContainsBlankTest, QuotesPathsWithBlanksOnce) {
  const struct {
    const char* path;
    const char* quoted;
  } cases[] = {
      {"C:\\Program Files\\Netscape\\netscape.exe", "\"C:\\Program Files\\Netscape\\netscape.exe\""},
      {"\"C:\\Program Files\\x.exe\"", "\"C:\\Program Files\\x.exe\""},
      {"\"C:\\Program Files\\x.exe", "\"\"C:\\Program Files\\x.exe\""},
      {"C:\\Program Files\\x.exe\"", "\"C:\\Program Files\\x.exe\"\""},
      {"C:\\NETSCAPE\\netscape.exe", "C:\\NETSCAPE\\netscape.exe"},
      {"C:\\Tab\there.exe", "C:\\Tab\there.exe"},  // only the blank counts
      {" ", "\" \""},
      {"", ""},
  };
  for (const auto& c : cases) {
    CString path(c.path);
    QuoteIfContainsBlank(path);
    EXPECT_STREQ(c.quoted, path) << c.path;
  }
}

}  // namespace
