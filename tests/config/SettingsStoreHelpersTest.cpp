#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "config/CIniSettingsStore.h"
#include "config/CRegSettingsStore.h"
#include "config/Scramble.h"

namespace {

const char kStoreRoot[] = "Software\\LDExCoreTests\\ConfigHelpers";

// The helpers work through the virtual slots, so each test runs on both
// stores.
class SettingsStoreHelpersTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    DeleteTree(HKEY_CURRENT_USER, kStoreRoot);
    m_sandbox.TrackKey(HKEY_CURRENT_USER, kStoreRoot);
    if (GetParam()) {
      m_reg.reset(new CRegSettingsStore(TRUE, kStoreRoot));
      m_store = m_reg.get();
      m_section = "\\Section";
    } else {
      m_ini.reset(new CIniSettingsStore(m_dir.NewFile().c_str(), FALSE, 0));
      m_store = m_ini.get();
      m_section = "Section";
    }
  }

  RegistrySandbox m_sandbox;
  ScratchDir m_dir{"ldx-config-"};
  std::unique_ptr<CRegSettingsStore> m_reg;
  std::unique_ptr<CIniSettingsStore> m_ini;
  CSettingsStore* m_store = nullptr;
  const char* m_section = nullptr;
};

TEST_P(SettingsStoreHelpersTest, SignedIntegers) {
  for (BOOL scrambled : {FALSE, TRUE}) {
    ASSERT_TRUE(m_store->SetInt(m_section, "N", static_cast<DWORD>(-5), scrambled));
    int value = 0;
    ASSERT_TRUE(m_store->GetInt(m_section, "N", &value, scrambled));
    EXPECT_EQ(-5, value);
    value = 42;
    EXPECT_FALSE(m_store->GetInt(m_section, "Missing", &value, scrambled));
    EXPECT_EQ(42, value);
  }
}

TEST_P(SettingsStoreHelpersTest, DefaultsWhenTheReadFails) {
  ASSERT_TRUE(m_store->SetInt(m_section, "N", 7, FALSE));
  ASSERT_TRUE(m_store->SetString(m_section, "S", "text", FALSE));
  DWORD value = 0;
  EXPECT_TRUE(m_store->GetIntDefault(m_section, "N", &value, 99, FALSE));
  EXPECT_EQ(7u, value);
  EXPECT_TRUE(m_store->GetIntDefault(m_section, "Missing", &value, 99, FALSE));
  EXPECT_EQ(99u, value);
  CString text;
  EXPECT_TRUE(m_store->GetStringDefault(m_section, "S", text, "fallback", FALSE));
  EXPECT_STREQ("text", text);
  EXPECT_TRUE(m_store->GetStringDefault(m_section, "Missing", text, "fallback", FALSE));
  EXPECT_STREQ("fallback", text);
}

TEST_P(SettingsStoreHelpersTest, HiddenNames) {
  ASSERT_TRUE(m_store->SetStringHiddenName(m_section, "Owner", "Ann", TRUE, TRUE));
  CString scrambledName, text;
  ASSERT_TRUE(ScrambleText("Owner", scrambledName));
  ASSERT_TRUE(m_store->GetString(m_section, scrambledName, text, TRUE));  // kept under the scrambled name
  EXPECT_STREQ("Ann", text);
  EXPECT_FALSE(m_store->GetString(m_section, "Owner", text, TRUE));

  EXPECT_TRUE(m_store->GetStringHiddenName(m_section, "Owner", text, "nobody", TRUE, TRUE));
  EXPECT_STREQ("Ann", text);
  EXPECT_FALSE(m_store->GetStringHiddenName(m_section, "Other", text, "nobody", TRUE, TRUE));
  EXPECT_STREQ("nobody", text);

  ASSERT_TRUE(m_store->SetStringHiddenName(m_section, "Plain", "v", FALSE, FALSE));
  EXPECT_TRUE(m_store->GetString(m_section, "Plain", text, FALSE));
  EXPECT_STREQ("v", text);

  // A name that cannot be scrambled: nothing read, written or assigned.
  text = "untouched";
  EXPECT_FALSE(m_store->GetStringHiddenName(m_section, "Nam\xe9", text, "nobody", FALSE, TRUE));
  EXPECT_STREQ("untouched", text);
  EXPECT_FALSE(m_store->SetStringHiddenName(m_section, "Nam\xe9", "v", FALSE, TRUE));
  EXPECT_FALSE(m_store->GetString(m_section, "Nam\xe9", text, FALSE));
}

// A host module's own store, derived from the library's: the helpers and
// the library's slots reach its override through the exported tables.
class CCountingRegStore : public CRegSettingsStore {
 public:
  CCountingRegStore() : CRegSettingsStore(TRUE, kStoreRoot) {}
  BOOL GetString(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, BOOL bScrambled) override {
    ++m_nReads;
    return CRegSettingsStore::GetString(lpszSection, lpszName, strValue, bScrambled);
  }
  int m_nReads = 0;
};

TEST(HostDerivedStore, HelpersCallTheHostsOverride) {
  RegistrySandbox sandbox;
  sandbox.TrackKey(HKEY_CURRENT_USER, kStoreRoot);
  CCountingRegStore store;
  ASSERT_TRUE(store.SetString("\\S", "N", "v", FALSE));
  CString value;
  EXPECT_TRUE(store.GetStringDefault("\\S", "N", value, "default", FALSE));
  EXPECT_STREQ("v", value);
  EXPECT_EQ(1, store.m_nReads);
  CSettingsStore* base = &store;
  EXPECT_NE(nullptr, dynamic_cast<CRegSettingsStore*>(base));
  EXPECT_EQ(nullptr, dynamic_cast<CIniSettingsStore*>(base));
}

INSTANTIATE_TEST_SUITE_P(BothStores, SettingsStoreHelpersTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Registry" : "Ini");
                         });

}  // namespace
