#include <gtest/gtest.h>

#include <string>

#include "RegistrySandbox.h"
#include "config/CRegistryKey.h"

namespace {

const char kScratch[] = "Software\\LDExCoreTests\\ConfigRegistryKey";

// A scratch tree below HKEY_CURRENT_USER: the root and the keys A, A\B and
// E\F, each holding a value "Where" with its own name, so a test can tell
// which key an object has open. The objects under test use the scratch key
// as their root.
class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(HKEY_CURRENT_USER, kScratch);
    m_sandbox.TrackKey(HKEY_CURRENT_USER, kScratch);
    Mark("", "root");
    Mark("\\A", "A");
    Mark("\\A\\B", "B");
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_ALL_ACCESS, &m_hScratch));
  }
  void TearDown() override { RegCloseKey(m_hScratch); }

  void Mark(const std::string& sub, const char* where) {
    WriteRaw(HKEY_CURRENT_USER, kScratch + sub, "Where", REG_SZ, where, static_cast<DWORD>(strlen(where) + 1));
  }

  // The "Where" marker of the key the object has open; "-" when none is open.
  static std::string Where(CRegistryKey& key) {
    if (key.m_hKey == NULL) return "-";
    char buffer[64] = {0};
    DWORD size = sizeof buffer - 1;
    if (key.QueryValue("Where", NULL, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) return "?";
    return buffer;
  }

  static bool IsValidKey(HKEY hKey) {
    DWORD subKeys = 0;
    return RegQueryInfoKeyA(hKey, NULL, NULL, NULL, &subKeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL) ==
           ERROR_SUCCESS;
  }

  RegistrySandbox m_sandbox;
  HKEY m_hScratch = NULL;
};

struct ChangeStep {
  const char* argument;
  BOOL result;
  const char* path;   // m_strPath afterwards
  const char* where;  // marker of the open key, "-" at the root
};

TEST_F(RegistryKeyTest, ChangeKeyMovesLikeAShell) {
  const ChangeStep steps[] = {
      {"", FALSE, "", "-"},
      {"..", TRUE, "", "-"},  // already at the root
      {"\\A\\B", TRUE, "\\A\\B", "B"},
      {"..", TRUE, "\\A", "A"},
      {"..", TRUE, "", "-"},  // from a first-level key back to the root
      {"A", TRUE, "\\A", "A"},
      {"B", TRUE, "\\A\\B", "B"},  // relative: below the open key
      {"\\Missing", FALSE, "\\A\\B", "B"},
      {"Missing", FALSE, "\\A\\B", "B"},
      {"\\", TRUE, "\\", "root"},  // a second handle to the root itself
      {"A", TRUE, "\\A", "A"},
      {"\\A\\B", TRUE, "\\A\\B", "B"},
      {"\\A", TRUE, "\\A", "A"},
      {"..", TRUE, "", "-"},
  };
  CRegistryKey key(m_hScratch);
  for (const ChangeStep& step : steps) {
    SCOPED_TRACE(std::string("ChangeKey(\"") + step.argument + "\")");
    EXPECT_EQ(step.result, key.ChangeKey(step.argument));
    EXPECT_STREQ(step.path, key.m_strPath);
    EXPECT_EQ(step.where, Where(key));
  }
}

TEST_F(RegistryKeyTest, ChangingToTheOpenAbsolutePathDoesNotTouchTheRegistry) {
  CRegistryKey key(m_hScratch);
  ASSERT_TRUE(key.ChangeKey("\\A"));
  HKEY hOpened = key.m_hKey;
  DeleteTree(HKEY_CURRENT_USER, std::string(kScratch) + "\\A");

  // Opening again would now fail: success shows the key was not reopened.
  EXPECT_TRUE(key.ChangeKey("\\A"));
  EXPECT_EQ(hOpened, key.m_hKey);

  ASSERT_TRUE(key.ChangeKey("\\"));
  EXPECT_FALSE(key.ChangeKey("\\A"));
  EXPECT_STREQ("\\", key.m_strPath);
}

struct OpenStep {
  enum Kind { kOpen, kCreate, kClose } kind;
  const char* argument;
  LONG result;
  const char* path;
  const char* where;
};

TEST_F(RegistryKeyTest, OpenAndCreateTrackThePathOfTheKeyTheyOpen) {
  const OpenStep steps[] = {
      {OpenStep::kOpen, "", ERROR_INVALID_NAME, "", "-"},
      {OpenStep::kOpen, "Missing", ERROR_FILE_NOT_FOUND, "", "-"},
      {OpenStep::kOpen, "A", ERROR_SUCCESS, "A", "A"},
      {OpenStep::kOpen, "B", ERROR_SUCCESS, "A\\B", "B"},
      {OpenStep::kOpen, "", ERROR_INVALID_NAME, "A\\B", "B"},
      {OpenStep::kOpen, "Missing", ERROR_FILE_NOT_FOUND, "A\\B", "B"},
      {OpenStep::kOpen, "\\A", ERROR_SUCCESS, "\\A", "A"},
      {OpenStep::kCreate, "C\\D", ERROR_SUCCESS, "\\A\\C\\D", "?"},
      {OpenStep::kCreate, "\\E", ERROR_SUCCESS, "\\E", "?"},
      {OpenStep::kClose, NULL, TRUE, "\\E", "-"},  // the path stays
      // With no key open a relative path is taken from the root, and the
      // path says so.
      {OpenStep::kOpen, "A", ERROR_SUCCESS, "A", "A"},
      {OpenStep::kClose, NULL, TRUE, "A", "-"},
      {OpenStep::kCreate, "G", ERROR_SUCCESS, "G", "?"},
  };
  CRegistryKey key(m_hScratch);
  for (const OpenStep& step : steps) {
    SCOPED_TRACE(std::string(step.kind == OpenStep::kOpen ? "Open" : step.kind == OpenStep::kCreate ? "Create"
                                                                                                    : "Close") +
                 "(\"" + (step.argument ? step.argument : "") + "\")");
    LONG result = step.kind == OpenStep::kOpen     ? key.Open(step.argument)
                  : step.kind == OpenStep::kCreate ? key.Create(step.argument)
                                                   : key.Close();
    EXPECT_EQ(step.result, result);
    EXPECT_STREQ(step.path, key.m_strPath);
    EXPECT_EQ(step.where, Where(key));
  }
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\A\\C\\D"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\E"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\G"));
}

TEST_F(RegistryKeyTest, OpenWithAMaskGrantsOnlyThatAccess) {
  CRegistryKey key(m_hScratch);
  ASSERT_EQ(ERROR_SUCCESS, key.Open("A", KEY_READ));
  DWORD value = 1;
  EXPECT_EQ(ERROR_ACCESS_DENIED, key.SetValue("New", REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value));
  EXPECT_EQ("A", Where(key));

  ASSERT_EQ(ERROR_SUCCESS, key.Open("\\A"));  // the default mask reads and writes
  EXPECT_EQ(ERROR_SUCCESS, key.SetValue("New", REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value));
}

struct ConstructCase {
  const char* path;
  BOOL create;
  BOOL makeRoot;
  LONG result;
  BOOL ownsRoot;
  const char* pathAfter;
  const char* where;      // of the open key
  const char* rootWhere;  // of the key that "\" opens
};

TEST_F(RegistryKeyTest, FullConstructorOpensCreatesAndRebases) {
  const ConstructCase cases[] = {
      {"A", FALSE, FALSE, ERROR_SUCCESS, FALSE, "A", "A", "root"},
      {"Missing", FALSE, FALSE, ERROR_FILE_NOT_FOUND, FALSE, "", "-", "root"},
      {"Missing", FALSE, TRUE, ERROR_FILE_NOT_FOUND, FALSE, "", "-", "root"},  // no rebase
      {"New\\Sub", TRUE, FALSE, ERROR_SUCCESS, FALSE, "New\\Sub", "?", "root"},
      {"A\\B", FALSE, TRUE, ERROR_SUCCESS, TRUE, "", "-", "B"},
      {"\\A", TRUE, TRUE, ERROR_SUCCESS, TRUE, "", "-", "A"},
  };
  for (const ConstructCase& c : cases) {
    SCOPED_TRACE(std::string(c.path) + (c.create ? " create" : "") + (c.makeRoot ? " make-root" : ""));
    HKEY hOwnedRoot = NULL;
    {
      CRegistryKey key(m_hScratch, c.path, c.create, c.makeRoot);
      EXPECT_EQ(c.result, key.m_lResult);
      EXPECT_EQ(c.ownsRoot, key.m_bOwnsRoot);
      EXPECT_STREQ(c.pathAfter, key.m_strPath);
      EXPECT_EQ(c.where, Where(key));
      EXPECT_EQ(c.ownsRoot, key.m_hRoot != m_hScratch);
      if (key.m_bOwnsRoot) hOwnedRoot = key.m_hRoot;
      ASSERT_TRUE(key.ChangeKey("\\"));
      EXPECT_EQ(c.rootWhere, Where(key));
    }
    // The destructor closes a root it opened, never the one it was given.
    if (hOwnedRoot != NULL) {
      EXPECT_FALSE(IsValidKey(hOwnedRoot));
    }
    EXPECT_TRUE(IsValidKey(m_hScratch));
  }
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\New\\Sub"));
}

TEST_F(RegistryKeyTest, SetRootReleasesARootTheObjectOpened) {
  CRegistryKey key(m_hScratch, "A", FALSE, TRUE);
  ASSERT_TRUE(key.m_bOwnsRoot);
  HKEY hOwnedRoot = key.m_hRoot;
  key.SetRoot(m_hScratch);
  EXPECT_FALSE(key.m_bOwnsRoot);
  EXPECT_EQ(m_hScratch, key.m_hRoot);
  EXPECT_FALSE(IsValidKey(hOwnedRoot));
  ASSERT_TRUE(key.ChangeKey("\\A\\B"));
  EXPECT_EQ("B", Where(key));
}

TEST_F(RegistryKeyTest, CloseRefusedByTheRegistryKeepsTheHandle) {
  CRegistryKey key(m_hScratch);
  HKEY hBogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7ffff0));
  key.m_hKey = hBogus;
  EXPECT_FALSE(key.Close());
  EXPECT_EQ(hBogus, key.m_hKey);
  key.m_hKey = NULL;
  EXPECT_TRUE(key.Close());  // nothing open: nothing to do
}

TEST_F(RegistryKeyTest, ValueOperationsPassTheRegistryResultThrough) {
  CRegistryKey key(m_hScratch);
  DWORD size = 0;
  char name[64];
  DWORD nameLength = sizeof name;
  // No key open: the registry sees a null handle.
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.QueryValue("Where", NULL, NULL, &size));
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.EnumKey(0, name, &nameLength));
  EXPECT_EQ(ERROR_INVALID_HANDLE, key.DeleteValue("Where"));

  ASSERT_TRUE(key.ChangeKey("\\A"));
  nameLength = sizeof name;
  ASSERT_EQ(ERROR_SUCCESS, key.EnumKey(0, name, &nameLength));
  EXPECT_STREQ("B", name);
  nameLength = sizeof name;
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, key.EnumKey(1, name, &nameLength));

  char data[16] = {0};
  DWORD type = 0, dataSize = sizeof data;
  nameLength = sizeof name;
  ASSERT_EQ(ERROR_SUCCESS, key.EnumValue(0, name, &nameLength, &type, reinterpret_cast<BYTE*>(data), &dataSize));
  EXPECT_STREQ("Where", name);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_STREQ("A", data);

  DWORD subKeys = 0, values = 0;
  FILETIME written;
  ASSERT_EQ(ERROR_SUCCESS, key.QueryInfo(NULL, NULL, &subKeys, NULL, NULL, &values, NULL, NULL, NULL, &written));
  EXPECT_EQ(1u, subKeys);
  EXPECT_EQ(1u, values);

  EXPECT_EQ(ERROR_SUCCESS, key.DeleteValue("Where"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.DeleteValue("Where"));
  EXPECT_EQ(ERROR_SUCCESS, key.DeleteKey("B"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.DeleteKey("B"));
}

TEST_F(RegistryKeyTest, ParentKeyNameIsWhatChangeKeyStepsUpOn) {
  CRegistryKey::ParentKeyName = "up";
  CRegistryKey reset(m_hScratch);
  EXPECT_STREQ("..", CRegistryKey::ParentKeyName);  // every construction sets it back

  CRegistryKey::ParentKeyName = "up";
  ASSERT_TRUE(reset.ChangeKey("\\A\\B"));
  EXPECT_TRUE(reset.ChangeKey("up"));
  EXPECT_EQ("A", Where(reset));
  CRegistryKey::ParentKeyName = "..";
}

}  // namespace
