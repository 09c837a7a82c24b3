#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegistrySandbox.h"
#include "config/CRegSettingsStore.h"
#include "config/Scramble.h"

namespace {

const char kStoreRoot[] = "Software\\LDExCoreTests\\ConfigRegStore";

// A per-user store rooted at a scratch key (not the product key), so the
// tests see exactly what the store writes.
class RegSettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(HKEY_CURRENT_USER, kStoreRoot);
    m_sandbox.TrackKey(HKEY_CURRENT_USER, kStoreRoot);
  }
  static std::string Key(const char* sub) { return std::string(kStoreRoot) + sub; }

  RegistrySandbox m_sandbox;
};

TEST_F(RegSettingsStoreTest, ProductKeyIsTheRootOfTheDefaultStores) {
  m_sandbox.TrackKey(HKEY_CURRENT_USER, kProductKey);
  m_sandbox.TrackKey(HKEY_LOCAL_MACHINE, kProductKey);
  m_sandbox.TrackValue(HKEY_CURRENT_USER, kProductKey, "ConfigTestValue");
  m_sandbox.TrackValue(HKEY_LOCAL_MACHINE, kProductKey, "ConfigTestValue");
  {
    CRegSettingsStore user(TRUE);
    CRegSettingsStore machine(FALSE);
    EXPECT_TRUE(user.m_bPerUser);
    EXPECT_FALSE(machine.m_bPerUser);
    ASSERT_TRUE(user.SetString("\\", "ConfigTestValue", "per user", FALSE));
    ASSERT_TRUE(machine.SetString("\\", "ConfigTestValue", "machine", FALSE));
  }
  EXPECT_EQ("per user", ReadRawString(HKEY_CURRENT_USER, kProductKey, "ConfigTestValue"));
  EXPECT_EQ("machine", ReadRawString(HKEY_LOCAL_MACHINE, kProductKey, "ConfigTestValue"));
}

TEST_F(RegSettingsStoreTest, RootPathOrTheHiveItself) {
  {
    CRegSettingsStore rooted(TRUE, kStoreRoot);  // created when missing
    ASSERT_TRUE(rooted.SetString("\\Section", "Name", "below the root path", FALSE));
    CRegSettingsStore hive(TRUE, NULL);
    std::string absolute = std::string("\\") + kStoreRoot + "\\Section";
    CString value;
    ASSERT_TRUE(hive.GetString(absolute.c_str(), "Name", value, FALSE));
    EXPECT_STREQ("below the root path", value);
  }
  EXPECT_EQ("below the root path", ReadRawString(HKEY_CURRENT_USER, Key("\\Section"), "Name"));
}

TEST_F(RegSettingsStoreTest, StringsOfAnyLengthRoundTrip) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  const int lengths[] = {0, 1, 510, 511, 512, 513, 3000, 70000};
  for (int length : lengths) {
    for (BOOL scrambled : {FALSE, TRUE}) {
      SCOPED_TRACE(std::to_string(length) + (scrambled ? " scrambled" : ""));
      std::string text;
      for (int i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
      ASSERT_TRUE(store.SetString("\\Strings", "Text", text.c_str(), scrambled));
      CString back("untouched");
      ASSERT_TRUE(store.GetString("\\Strings", "Text", back, scrambled));
      EXPECT_EQ(text, std::string(back));
    }
  }
}

TEST_F(RegSettingsStoreTest, ScrambledStringsAreStoredScrambled) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  ASSERT_TRUE(store.SetString("\\S", "Secret", "abc", TRUE));
  EXPECT_EQ("vxz", ReadRawString(HKEY_CURRENT_USER, Key("\\S"), "Secret"));
  CString value("untouched");
  ASSERT_TRUE(store.GetString("\\S", "Secret", value, FALSE));
  EXPECT_STREQ("vxz", value);

  // A text that cannot be scrambled is not written at all.
  EXPECT_FALSE(store.SetString("\\S", "Secret", "caf\xe9", TRUE));
  EXPECT_EQ("vxz", ReadRawString(HKEY_CURRENT_USER, Key("\\S"), "Secret"));
  // A stored text that cannot be unscrambled fails the scrambled read.
  ASSERT_TRUE(store.SetString("\\S", "Plain", "caf\xe9", FALSE));
  EXPECT_FALSE(store.GetString("\\S", "Plain", value, TRUE));
}

TEST_F(RegSettingsStoreTest, ReadsFailOnMissingValuesAndOtherTypes) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  DWORD number = 7;
  BYTE bytes[4] = {1, 2, 3, 4};
  DWORD byteCount = sizeof bytes;
  ASSERT_TRUE(store.SetInt("\\T", "Number", number, FALSE));
  ASSERT_TRUE(store.SetString("\\T", "Text", "7", FALSE));
  ASSERT_TRUE(store.SetBinary("\\T", "Bytes", bytes, &byteCount));

  CString text("untouched");
  DWORD value = 99;
  EXPECT_FALSE(store.GetString("\\T", "Number", text, FALSE));
  EXPECT_FALSE(store.GetString("\\T", "Missing", text, FALSE));
  EXPECT_FALSE(store.GetString("\\Missing", "Text", text, FALSE));
  EXPECT_STREQ("untouched", text);
  EXPECT_FALSE(store.GetInt("\\T", "Text", &value, FALSE));
  EXPECT_FALSE(store.GetInt("\\T", "Bytes", &value, FALSE));
  EXPECT_FALSE(store.GetInt("\\T", "Bytes", &value, TRUE));
  EXPECT_FALSE(store.GetInt("\\T", "Missing", &value, TRUE));
  EXPECT_EQ(99u, value);
  BYTE buffer[8];
  DWORD size = sizeof buffer;
  EXPECT_FALSE(store.GetBinary("\\T", "Number", buffer, &size));
}

struct ScrambledIntCase {
  DWORD value;
  DWORD storedType;
  const char* stored;  // the number or text kept in the registry
};

// A scrambled integer is kept as the number its scrambled decimal text spells
// (as existing installations read it) when that text converts back exactly,
// and as the text otherwise.
TEST_F(RegSettingsStoreTest, ScrambledIntegersReadBackAsWritten) {
  const ScrambledIntCase cases[] = {
      {0, REG_DWORD, "1"},
      {9, REG_DWORD, "0"},
      {123, REG_DWORD, "246"},
      {95, REG_SZ, "07"},                           // leading zero
      {static_cast<DWORD>(-5), REG_SZ, "$7"},       // negative
      {0xFFFFFFFFu, REG_SZ, "$3"},                  // -1
      {2147483647u, REG_SZ, "3371940437"},          // beyond a 32-bit integer
      {0x80000000u, REG_SZ, "$4482051549"},
  };
  CRegSettingsStore store(TRUE, kStoreRoot);
  for (const ScrambledIntCase& c : cases) {
    SCOPED_TRACE(c.value);
    ASSERT_TRUE(store.SetInt("\\Ints", "N", c.value, TRUE));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, Key("\\Ints"), "N", &type, &data));
    EXPECT_EQ(c.storedType, type);
    if (type == REG_DWORD)
      EXPECT_EQ(std::to_string(*reinterpret_cast<int*>(data.data())), c.stored);
    else
      EXPECT_EQ(std::string(c.stored), ReadRawString(HKEY_CURRENT_USER, Key("\\Ints"), "N"));
    DWORD back = 12345;
    ASSERT_TRUE(store.GetInt("\\Ints", "N", &back, TRUE));
    EXPECT_EQ(c.value, back);
  }
}

TEST_F(RegSettingsStoreTest, UnscrambledIntegersAreDwords) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  for (DWORD value : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    ASSERT_TRUE(store.SetInt("\\Ints", "N", value, FALSE));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRaw(HKEY_CURRENT_USER, Key("\\Ints"), "N", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    DWORD back = 0;
    ASSERT_TRUE(store.GetInt("\\Ints", "N", &back, FALSE));
    EXPECT_EQ(value, back);
  }
}

TEST_F(RegSettingsStoreTest, ScrambledIntegersOfExistingInstallationsStillRead) {
  DWORD legacy = 246;  // what "123" scrambles to
  WriteRaw(HKEY_CURRENT_USER, Key("\\Ints"), "Legacy", REG_DWORD, &legacy, sizeof legacy);
  CRegSettingsStore store(TRUE, kStoreRoot);
  DWORD value = 0;
  ASSERT_TRUE(store.GetInt("\\Ints", "Legacy", &value, TRUE));
  EXPECT_EQ(123u, value);
}

TEST_F(RegSettingsStoreTest, BinaryValues) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  BYTE bytes[5] = {0, 1, 0x7F, 0x80, 0xFF};
  DWORD count = sizeof bytes;
  ASSERT_TRUE(store.SetBinary("\\Bin", "Data", bytes, &count));

  BYTE buffer[16] = {0};
  DWORD size = sizeof buffer;
  ASSERT_TRUE(store.GetBinary("\\Bin", "Data", buffer, &size));
  EXPECT_EQ(5u, size);
  EXPECT_EQ(0, memcmp(bytes, buffer, 5));

  size = 3;  // too small: the registry's refusal, with the size it needs
  EXPECT_FALSE(store.GetBinary("\\Bin", "Data", buffer, &size));
  EXPECT_EQ(5u, size);

  size = sizeof buffer;  // a section that does not open reports size 0
  EXPECT_FALSE(store.GetBinary("\\Missing", "Data", buffer, &size));
  EXPECT_EQ(0u, size);
}

TEST_F(RegSettingsStoreTest, RelativeSectionsAreTakenBelowTheKeyLeftOpen) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  ASSERT_TRUE(store.SetString("\\A", "Name", "in A", FALSE));
  ASSERT_TRUE(store.SetString("B", "Name", "in A\\B", FALSE));
  EXPECT_EQ("in A\\B", ReadRawString(HKEY_CURRENT_USER, Key("\\A\\B"), "Name"));
}

TEST_F(RegSettingsStoreTest, DeleteSectionAndValue) {
  struct Case {
    const char* section;
    BOOL result;
    const char* gone;       // key that no longer exists afterwards, or NULL
    const char* survivor;   // key that still exists
  };
  const Case cases[] = {
      {"\\Outer\\Inner", TRUE, "\\Outer\\Inner", "\\Outer"},
      {"Outer\\Inner", TRUE, "\\Outer\\Inner", "\\Outer"},
      {"Outer", TRUE, "\\Outer", ""},
      {"\\Outer", TRUE, "\\Outer", ""},
      {"\\Missing", FALSE, NULL, "\\Outer\\Inner"},
      {"\\Outer", FALSE, NULL, "\\Outer\\Inner"},  // still has a subkey
      {"\\", FALSE, NULL, ""},                     // never the store's root
      {"", FALSE, NULL, ""},
      {"Outer\\", FALSE, NULL, "\\Outer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section);
    DWORD one = 1;
    WriteRaw(HKEY_CURRENT_USER, Key("\\Outer\\Inner"), "V", REG_DWORD, &one, sizeof one);
    WriteRaw(HKEY_CURRENT_USER, Key(""), "RootValue", REG_DWORD, &one, sizeof one);
    if (c.gone != NULL && std::string(c.gone) == "\\Outer") DeleteTree(HKEY_CURRENT_USER, Key("\\Outer\\Inner"));
    CRegSettingsStore store(TRUE, kStoreRoot);
    EXPECT_EQ(c.result, store.DeleteSection(c.section));
    if (c.gone != NULL) {
      EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(c.gone)));
    }
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key(c.survivor)));
    EXPECT_NE("<missing>", ReadRawString(HKEY_CURRENT_USER, Key(""), "RootValue"));
  }

  CRegSettingsStore store(TRUE, kStoreRoot);
  EXPECT_TRUE(store.DeleteValue("\\Outer\\Inner", "V"));
  EXPECT_EQ("<missing>", ReadRawString(HKEY_CURRENT_USER, Key("\\Outer\\Inner"), "V"));
  EXPECT_FALSE(store.DeleteValue("\\Outer\\Inner", "V"));
  EXPECT_FALSE(store.DeleteValue("\\Missing", "V"));
}

TEST_F(RegSettingsStoreTest, StoreWithoutAKeyObjectFailsEverything) {
  CRegSettingsStore store(TRUE, kStoreRoot);
  delete store.m_pKey;
  store.m_pKey = NULL;
  CString text;
  DWORD value = 0, size = 4;
  BYTE bytes[4] = {0};
  EXPECT_FALSE(store.SetString("\\", "N", "v", FALSE));
  EXPECT_FALSE(store.SetInt("\\", "N", 1, FALSE));
  EXPECT_FALSE(store.SetBinary("\\", "N", bytes, &size));
  EXPECT_FALSE(store.GetString("\\", "N", text, FALSE));
  EXPECT_FALSE(store.GetInt("\\", "N", &value, FALSE));
  EXPECT_FALSE(store.GetBinary("\\", "N", bytes, &size));
  EXPECT_EQ(0u, size);
  EXPECT_FALSE(store.DeleteSection("\\X"));
  EXPECT_FALSE(store.DeleteValue("\\", "N"));
}

}  // namespace
