#include "RegistryTerritory.h"

#include <gtest/gtest.h>

namespace {

std::string ParentOf(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastPart(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

HKEY OpenForAll(HKEY hive, const std::string& path) {
  HKEY key = NULL;
  if (path.empty()) return hive;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return NULL;
  return key;
}

void CloseOpened(HKEY hive, HKEY key) {
  if (key != NULL && key != hive) RegCloseKey(key);
}

// The name of a subkey as the registry spells it (names match without
// regard to case).
std::string SpelledName(HKEY parent, const std::string& name) {
  char found[256];
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof found;
    if (RegEnumKeyExA(parent, index, found, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) return name;
    if (_stricmp(found, name.c_str()) == 0) return found;
  }
}

}  // namespace

bool RegistryTerritory::Save(HKEY key, SavedKey& saved) {
  for (DWORD index = 0;; ++index) {
    char name[16384];
    DWORD nameSize = sizeof name;
    DWORD type = 0, dataSize = 0;
    if (RegEnumValueA(key, index, name, &nameSize, NULL, &type, NULL, &dataSize) != ERROR_SUCCESS) break;
    SavedValue value{name, type, std::vector<BYTE>(dataSize)};
    nameSize = sizeof name;
    RegEnumValueA(key, index, name, &nameSize, NULL, &type, value.data.data(), &dataSize);
    value.data.resize(dataSize);
    saved.values.push_back(value);
  }
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, index, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) break;
    SavedKey subkey;
    subkey.name = name;
    HKEY child = NULL;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) return false;
    bool ok = Save(child, subkey);
    RegCloseKey(child);
    if (!ok) return false;
    saved.subkeys.push_back(subkey);
  }
  return true;
}

void RegistryTerritory::Restore(HKEY parent, const SavedKey& saved) {
  HKEY key = NULL;
  if (RegCreateKeyExA(parent, saved.name.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
    return;
  for (const SavedValue& value : saved.values)
    RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
  for (const SavedKey& subkey : saved.subkeys) Restore(key, subkey);
  RegCloseKey(key);
}

void RegistryTerritory::Own(HKEY hive, const std::string& path) {
  OwnedKey owned{hive, ParentOf(path), false, {}};
  owned.saved.name = LastPart(path);
  HKEY key = NULL;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    owned.existed = true;
    HKEY parent = OpenForAll(hive, owned.parent);
    if (parent != NULL) owned.saved.name = SpelledName(parent, owned.saved.name);
    CloseOpened(hive, parent);
    bool saved = Save(key, owned.saved);
    RegCloseKey(key);
    ASSERT_TRUE(saved) << "could not save " << path;
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeA(hive, path.c_str())) << "could not clear " << path;
    ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key)) << path << " is still there";
  }
  m_owned.push_back(owned);
}

void RegistryTerritory::SetString(HKEY hive, const std::string& path, const char* name, const std::string& value,
                                  DWORD type) {
  HKEY key = NULL;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(hive, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>(value.size() + 1)));
  RegCloseKey(key);
}

void RegistryTerritory::CreateKey(HKEY hive, const std::string& path) {
  HKEY key = NULL;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(hive, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
  RegCloseKey(key);
}

RegistryTerritory::~RegistryTerritory() {
  for (auto it = m_owned.rbegin(); it != m_owned.rend(); ++it) {
    std::string path = it->parent.empty() ? it->saved.name : it->parent + "\\" + it->saved.name;
    RegDeleteTreeA(it->hive, path.c_str());
    if (!it->existed) continue;
    HKEY parent = NULL;
    if (it->parent.empty())
      parent = it->hive;
    else if (RegCreateKeyExA(it->hive, it->parent.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &parent, NULL) !=
             ERROR_SUCCESS)
      continue;
    Restore(parent, it->saved);
    CloseOpened(it->hive, parent);
  }
}
