#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "config/CIniSettingsStore.h"

namespace {

const char kSentinel[] = "defaultdefaultdefaultdefaultdefaultdefault";

// The text after "name=" on the line of that value, or "<missing>".
std::string FileValue(const std::string& file, const std::string& name) {
  std::string text = ScratchDir::ReadFile(file);
  std::string key = "\n" + name + "=";
  size_t at = ("\n" + text).find(key);
  if (at == std::string::npos) return "<missing>";
  size_t start = at + key.size() - 1;
  size_t end = text.find_first_of("\r\n", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// What the system's own reader returns for a value.
std::string SystemRead(const std::string& file, const char* section, const char* name) {
  char buffer[256];
  GetPrivateProfileStringA(section, name, "<missing>", buffer, sizeof buffer, file.c_str());
  return buffer;
}

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  ScratchDir m_dir{"ldx-config-"};
};

TEST_F(IniSettingsStoreTest, QuotationMarksAndBlanksSurviveTheRoundTrip) {
  struct Case {
    const char* value;
    const char* inFile;
  };
  const Case cases[] = {
      {"'word'", "''word''"},
      {"\"word\"", "\"\"word\"\""},
      {"'word", "'word"},  // a mark at one end only is written unchanged
      {"word\"", "word\""},
      {"'mixed\"", "'mixed\""},
      {"'", "'''"},
      {"\"", "\"\"\""},
      {"''", "''''"},
      {" padded ", "\" padded \""},  // the reader would drop the blanks
      {"\tlead", "\"\tlead\""},
      {"", ""},
      {"plain text", "plain text"},
  };
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("[") + c.value + "]");
    ASSERT_TRUE(store.SetString("Quotes", "Name", c.value, FALSE));
    EXPECT_EQ(c.inFile, FileValue(file, "Name"));
    CString back("untouched");
    ASSERT_TRUE(store.GetString("Quotes", "Name", back, FALSE));
    EXPECT_STREQ(c.value, back);
    EXPECT_EQ(c.value, SystemRead(file, "Quotes", "Name"));  // other readers see the same
  }
}

TEST_F(IniSettingsStoreTest, MissingValuesAndTheDefaultSentinel) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  CString value("untouched");
  EXPECT_FALSE(store.GetString("S", "Name", value, FALSE));
  DWORD number = 77;
  EXPECT_FALSE(store.GetInt("S", "Name", &number, FALSE));
  EXPECT_STREQ("untouched", value);
  EXPECT_EQ(77u, number);

  ASSERT_TRUE(store.SetString("S", "Empty", "", FALSE));
  ASSERT_TRUE(store.GetString("S", "Empty", value, FALSE));
  EXPECT_STREQ("", value);

  // A stored value that happens to equal the text the reader uses for
  // "missing" is still a value.
  ASSERT_TRUE(store.SetString("S", "Sentinel", kSentinel, FALSE));
  value = "untouched";
  ASSERT_TRUE(store.GetString("S", "Sentinel", value, FALSE));
  EXPECT_STREQ(kSentinel, value);
}

TEST_F(IniSettingsStoreTest, LongValuesAreReadWhole) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  for (int length : {544, 545, 546, 1091, 1092, 2183, 3000, 20000}) {
    SCOPED_TRACE(length);
    std::string text;
    for (int i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(store.SetString("Long", "Text", text.c_str(), FALSE));
    CString back;
    ASSERT_TRUE(store.GetString("Long", "Text", back, FALSE));
    EXPECT_EQ(text, std::string(back));
  }
}

// The system's profile functions keep a value of at most 32,766 characters
// as written (quotation marks included); a longer one reads back as missing
// or as garbage, or breaks the file, while the write reports success.
TEST_F(IniSettingsStoreTest, ValuesLongerThanTheFileKeepsAreRefusedAndTheOldValueStays) {
  const int kLongestKept = 32766;
  struct Case {
    int length;
    const char* ends;  // put at both ends of a run of letters
    BOOL scrambled;
    bool stored;
  };
  const Case cases[] = {
      {kLongestKept, "", FALSE, true},
      {kLongestKept + 1, "", FALSE, false},
      {65536, "", FALSE, false},
      {kLongestKept - 2, " ", FALSE, true},  // protected by quotation marks: just fits
      {kLongestKept - 1, " ", FALSE, false},
      {kLongestKept, "", TRUE, true},
      {kLongestKept + 1, "", TRUE, false},
  };
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + (c.scrambled ? " scrambled" : "") + " [" + c.ends + "]");
    std::string ends(c.ends);
    std::string value = ends + std::string(c.length - 2 * ends.size(), 'q') + ends;
    ASSERT_TRUE(store.SetString("Long", "Text", "kept", c.scrambled));
    EXPECT_EQ(c.stored, store.SetString("Long", "Text", value.c_str(), c.scrambled) != FALSE);
    CString back;
    ASSERT_TRUE(store.GetString("Long", "Text", back, c.scrambled));
    EXPECT_EQ(c.stored ? value : "kept", std::string(back));
  }

  // Binary values: two hex digits a byte and two for the checksum.
  const DWORD kLongestBinary = (kLongestKept - 2) / 2;
  std::vector<BYTE> bytes(kLongestBinary + 1, 0x5A);
  for (DWORD count : {kLongestBinary, kLongestBinary + 1}) {
    SCOPED_TRACE(count);
    BYTE old = 7;
    DWORD one = 1;
    ASSERT_TRUE(store.SetBinary("Long", "Data", &old, &one));
    DWORD size = count;
    EXPECT_EQ(count == kLongestBinary, store.SetBinary("Long", "Data", bytes.data(), &size) != FALSE);
    std::vector<BYTE> back(bytes.size() + 1, 0);
    size = static_cast<DWORD>(back.size());
    ASSERT_TRUE(store.GetBinary("Long", "Data", back.data(), &size));
    EXPECT_EQ(count == kLongestBinary ? kLongestBinary : 1u, size);
  }
}

TEST_F(IniSettingsStoreTest, IntegersInDecimalHexadecimalAndOctal) {
  struct Case {
    const char* text;
    DWORD value;
  };
  const Case cases[] = {
      {"42", 42}, {"0x1F", 31}, {"0X1f", 31}, {"017", 15}, {"0", 0},
      {"4294967295", 0xFFFFFFFFu}, {"-1", 0xFFFFFFFFu},
  };
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(WritePrivateProfileStringA("Ints", "N", c.text, file.c_str()));
    DWORD value = 12345;
    ASSERT_TRUE(store.GetInt("Ints", "N", &value, FALSE));
    EXPECT_EQ(c.value, value);
  }

  ASSERT_TRUE(store.SetInt("Ints", "N", 0xFFFFFFFFu, FALSE));
  EXPECT_EQ("4294967295", FileValue(file, "N"));  // unsigned decimal text
  for (DWORD value : {0u, 9u, 95u, 123u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(value);
    ASSERT_TRUE(store.SetInt("Ints", "S", value, TRUE));
    DWORD back = 12345;
    ASSERT_TRUE(store.GetInt("Ints", "S", &back, TRUE));
    EXPECT_EQ(value, back);
  }
  ASSERT_TRUE(store.SetInt("Ints", "S", 123, TRUE));
  EXPECT_EQ("246", FileValue(file, "S"));
}

TEST_F(IniSettingsStoreTest, ScrambledStrings) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  ASSERT_TRUE(store.SetString("S", "Secret", "abc", TRUE));
  EXPECT_EQ("vxz", FileValue(file, "Secret"));
  CString value;
  ASSERT_TRUE(store.GetString("S", "Secret", value, TRUE));
  EXPECT_STREQ("abc", value);

  EXPECT_FALSE(store.SetString("S", "Secret", "caf\xe9", TRUE));  // nothing written
  EXPECT_EQ("vxz", FileValue(file, "Secret"));
  ASSERT_TRUE(store.SetString("S", "Plain", "caf\xe9", FALSE));
  EXPECT_FALSE(store.GetString("S", "Plain", value, TRUE));
}

TEST_F(IniSettingsStoreTest, LineBreaksCannotPlantOtherValues) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  ASSERT_TRUE(store.SetString("S", "Name", "kept", FALSE));
  EXPECT_FALSE(store.SetString("S", "Name", "x\r\nInjected=1", FALSE));
  EXPECT_FALSE(store.SetString("S", "Name", "x\nInjected=1", FALSE));
  EXPECT_FALSE(store.SetString("S", "Bad\nInjected", "1", FALSE));
  EXPECT_FALSE(store.SetString("S", "Injected=1", "1", FALSE));
  EXPECT_FALSE(store.SetString("S]\r\n[Other", "Name", "1", FALSE));
  BYTE byte = 1;
  DWORD size = 1;
  EXPECT_FALSE(store.SetBinary("S", "Bad\nInjected", &byte, &size));
  EXPECT_EQ("kept", FileValue(file, "Name"));
  EXPECT_EQ(std::string::npos, ScratchDir::ReadFile(file).find("Injected"));
}

TEST_F(IniSettingsStoreTest, BinaryValuesRoundTripByteForByte) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  std::vector<BYTE> bytes(256);
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<BYTE>(255 - i);
  DWORD count = static_cast<DWORD>(bytes.size());
  ASSERT_TRUE(store.SetBinary("Bin", "Data", bytes.data(), &count));
  EXPECT_EQ(2u * 256 + 2, FileValue(file, "Data").size());  // hex digits and a checksum

  std::vector<BYTE> back(300, 0xAA);
  DWORD size = static_cast<DWORD>(back.size());
  ASSERT_TRUE(store.GetBinary("Bin", "Data", back.data(), &size));
  EXPECT_EQ(256u, size);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), back.begin()));
  EXPECT_EQ(0xAA, back[256]);  // nothing written past the value

  size = 255;  // too small: fails and says how much is needed
  EXPECT_FALSE(store.GetBinary("Bin", "Data", back.data(), &size));
  EXPECT_EQ(256u, size);

  DWORD none = 0;
  ASSERT_TRUE(store.SetBinary("Bin", "Empty", NULL, &none));
  size = 4;
  ASSERT_TRUE(store.GetBinary("Bin", "Empty", back.data(), &size));
  EXPECT_EQ(0u, size);
}

TEST_F(IniSettingsStoreTest, DamagedBinaryValuesFail) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  BYTE bytes[3] = {0x10, 0x20, 0x30};
  DWORD count = sizeof bytes;
  ASSERT_TRUE(store.SetBinary("Bin", "Data", bytes, &count));
  std::string good = FileValue(file, "Data");
  ASSERT_EQ(8u, good.size());

  std::string flipped = good;
  flipped[1] = flipped[1] == '0' ? '1' : '0';  // checksum no longer matches
  const std::string damaged[] = {flipped, good.substr(1), good.substr(0, 7), "zz" + good.substr(2), "text",
                                 "0"};
  for (const std::string& text : damaged) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(WritePrivateProfileStringA("Bin", "Data", text.c_str(), file.c_str()));
    BYTE back[8] = {0};
    DWORD size = sizeof back;
    EXPECT_FALSE(store.GetBinary("Bin", "Data", back, &size));
  }
  BYTE back[8];
  DWORD size = sizeof back;
  EXPECT_FALSE(store.GetBinary("Bin", "Missing", back, &size));
}

TEST_F(IniSettingsStoreTest, DeleteSectionAndValue) {
  std::string file = m_dir.NewFile();
  CIniSettingsStore store(file.c_str(), FALSE, 0);
  ASSERT_TRUE(store.SetString("Gone", "A", "1", FALSE));
  ASSERT_TRUE(store.SetString("Gone", "B", "2", FALSE));
  ASSERT_TRUE(store.SetString("Kept", "A", "3", FALSE));
  ASSERT_TRUE(store.SetString("Kept", "B", "4", FALSE));

  EXPECT_TRUE(store.DeleteSection("Gone"));
  EXPECT_TRUE(store.DeleteValue("Kept", "A"));
  EXPECT_EQ("<missing>", SystemRead(file, "Gone", "A"));
  EXPECT_EQ("<missing>", SystemRead(file, "Gone", "B"));
  EXPECT_EQ("<missing>", SystemRead(file, "Kept", "A"));
  EXPECT_EQ("4", SystemRead(file, "Kept", "B"));
  EXPECT_EQ(std::string::npos, ScratchDir::ReadFile(file).find("[Gone]"));
}

// The file's place depends on the product key's directories.
class IniStorePathTest : public IniSettingsStoreTest {
 protected:
  void SetUp() override {
    m_sandbox.TrackKey(HKEY_LOCAL_MACHINE, kProductKey);
    m_sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "GlobalDataDir");
    m_sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "DefaultUserDataDir");
  }
  void SetProductValue(const char* name, const char* value) {
    m_sandbox.SetStringOrRemove(HKEY_LOCAL_MACHINE, kProductKey, name, value);
  }
  RegistrySandbox m_sandbox;
};

TEST_F(IniStorePathTest, MachineWideFilesLieInTheGlobalDataDirectory) {
  struct Case {
    const char* globalDataDir;  // NULL: not set
    const char* fileName;
    const char* path;
  };
  const Case cases[] = {
      {"C:\\Global", "f.ini", "C:\\Global\\f.ini"},
      {"C:\\Global\\", "f.ini", "C:\\Global\\f.ini"},
      {"C:\\Global", "sub\\f.ini", "C:\\Global\\sub\\f.ini"},
      {"C:\\Global", "D:\\x.ini", "D:\\x.ini"},
      {"C:\\Global", "\\\\server\\share\\x.ini", "\\\\server\\share\\x.ini"},
      {"C:\\Global", "x", "C:\\Global\\x"},
      {NULL, "f.ini", "f.ini"},
      {"", "f.ini", "f.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    SetProductValue("GlobalDataDir", c.globalDataDir);
    CIniSettingsStore store(c.fileName, FALSE, 0);
    EXPECT_STREQ(c.path, store.m_strFile);
    EXPECT_FALSE(store.m_bPerUser);
  }
}

TEST_F(IniStorePathTest, PerUserFilesLieInTheUsersDataDirectory) {
  SetProductValue("DefaultUserDataDir", "C:\\Data");
  CIniSettingsStore user0("ldglobal.ini", TRUE, 0);
  EXPECT_STREQ("C:\\Data\\User1\\ldglobal.ini", user0.m_strFile);
  EXPECT_TRUE(user0.m_bPerUser);
  CIniSettingsStore user1("ldglobal.ini", TRUE, 1);
  EXPECT_STREQ("", user1.m_strFile);

  // Through to the file itself.
  SetProductValue("DefaultUserDataDir", m_dir.Path().c_str());
  CreateDirectoryA((m_dir.Path() + "User1").c_str(), NULL);
  CIniSettingsStore store("settings.ini", TRUE, 0);
  ASSERT_TRUE(store.SetString("S", "Name", "value", FALSE));
  EXPECT_EQ("value", FileValue(m_dir.Path() + "User1\\settings.ini", "Name"));
}

TEST_F(IniStorePathTest, PerUserStoreWithoutADataDirectoryFailsEverything) {
  CIniSettingsStore store("ldglobal.ini", TRUE, 0);
  ASSERT_STREQ("", store.m_strFile);
  CString text("untouched");
  DWORD value = 5, size = 1;
  BYTE byte = 1;
  EXPECT_FALSE(store.SetString("S", "N", "v", FALSE));
  EXPECT_FALSE(store.SetInt("S", "N", 1, FALSE));
  EXPECT_FALSE(store.SetBinary("S", "N", &byte, &size));
  EXPECT_FALSE(store.GetString("S", "N", text, FALSE));
  EXPECT_FALSE(store.GetInt("S", "N", &value, FALSE));
  EXPECT_FALSE(store.GetBinary("S", "N", &byte, &size));
  EXPECT_FALSE(store.DeleteSection("S"));
  EXPECT_FALSE(store.DeleteValue("S", "N"));
  EXPECT_STREQ("untouched", text);
  EXPECT_EQ(5u, value);
}

// The system's profile functions join a file name into a MAX_PATH buffer
// without checking it (a bare name after the Windows directory): a path
// that does not fit is refused before they see it.
TEST_F(IniStorePathTest, FileWhosePathDoesNotFitMaxPathIsRefusedWithoutTouchingAnything) {
  char windowsDir[MAX_PATH];
  const size_t windowsDirLength = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
  ASSERT_GT(windowsDirLength, 0u);
  const std::string dir = m_dir.Path();
  struct Case {
    std::string name;
    std::string fileMade;  // where the file lies when the name fits
    bool fits;
  };
  const size_t longestBare = MAX_PATH - 1 - windowsDirLength - 1;
  const std::string bareFits(longestBare, 'B');
  const Case cases[] = {
      {dir + std::string(MAX_PATH - 1 - dir.size(), 'F'), "", true},
      {dir + std::string(MAX_PATH - dir.size(), 'F'), "", false},
      {bareFits, std::string(windowsDir) + "\\" + bareFits, true},
      {std::string(longestBare + 1, 'B'), "", false},
      {std::string(600, 'A'), "", false},
      {std::string(2000, 'A'), "", false},
      {std::string(32000, 'A'), "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.name.size()) + " characters: " + c.name.substr(0, 60));
    const std::string file = c.fileMade.empty() ? c.name : c.fileMade;
    CIniSettingsStore store(c.name.c_str(), FALSE, 0);
    EXPECT_EQ(c.fits, store.SetString("S", "N", "v", FALSE) != FALSE);
    CString text("untouched");
    DWORD value = 5, size = 1;
    BYTE byte = 1;
    EXPECT_EQ(c.fits, store.GetString("S", "N", text, FALSE) != FALSE);
    EXPECT_EQ(c.fits, store.SetInt("S", "I", 1, FALSE) != FALSE);
    EXPECT_EQ(c.fits, store.GetInt("S", "I", &value, FALSE) != FALSE);
    EXPECT_EQ(c.fits, store.SetBinary("S", "B", &byte, &size) != FALSE);
    EXPECT_EQ(c.fits, store.GetBinary("S", "B", &byte, &size) != FALSE);
    EXPECT_EQ(c.fits, store.DeleteValue("S", "N") != FALSE);
    EXPECT_EQ(c.fits, store.DeleteSection("S") != FALSE);
    if (c.fits) {
      EXPECT_STREQ(c.name.c_str(), store.m_strFile);
      EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
      DeleteFileA(file.c_str());
    } else {
      EXPECT_STREQ("", store.m_strFile);
      EXPECT_STREQ("untouched", text);
      EXPECT_EQ(5u, value);
    }
  }

  // A host may set the path itself: the operations check it too.
  CIniSettingsStore store(m_dir.NewFile().c_str(), FALSE, 0);
  store.m_strFile = std::string(600, 'A').c_str();
  EXPECT_FALSE(store.SetString("S", "N", "v", FALSE));
}

}  // namespace
