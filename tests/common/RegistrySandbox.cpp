#include "RegistrySandbox.h"

#include <gtest/gtest.h>

namespace {

// The first component of path (from the left) that does not exist yet, as a
// full path; empty when the whole path exists.
std::string FirstMissing(HKEY hive, const std::string& path) {
  size_t end = 0;
  while (end != std::string::npos) {
    end = path.find('\\', end + 1);
    std::string prefix = path.substr(0, end);
    if (!KeyExists(hive, prefix)) return prefix;
  }
  return std::string();
}

}  // namespace

bool KeyExists(HKEY hive, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ReadRaw(HKEY hive, const std::string& path, const std::string& name, DWORD* type, std::vector<BYTE>* data) {
  HKEY key;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name.c_str(), NULL, type, NULL, &size);
  if (result == ERROR_SUCCESS) {
    data->assign(size, 0);
    result = RegQueryValueExA(key, name.c_str(), NULL, type, data->data(), &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string ReadRawString(HKEY hive, const std::string& path, const std::string& name) {
  DWORD type;
  std::vector<BYTE> data;
  if (!ReadRaw(hive, path, name, &type, &data)) return "<missing>";
  std::string text(data.begin(), data.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

void WriteRaw(HKEY hive, const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(hive, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
  RegCloseKey(key);
}

void DeleteTree(HKEY hive, const std::string& path) { RegDeleteTreeA(hive, path.c_str()); }

void RegistrySandbox::TrackKey(HKEY hive, const std::string& path) {
  std::string missing = FirstMissing(hive, path);
  if (!missing.empty()) m_keys.push_back({hive, missing});
}

void RegistrySandbox::TrackValue(HKEY hive, const std::string& path, const std::string& name) {
  for (const SavedValue& saved : m_values)
    if (saved.hive == hive && saved.path == path && saved.name == name) return;
  TrackKey(hive, path);
  SavedValue saved{hive, path, name, false, REG_NONE, {}};
  saved.existed = ReadRaw(hive, path, name, &saved.type, &saved.data);
  m_values.push_back(saved);
}

void RegistrySandbox::SetString(HKEY hive, const std::string& path, const std::string& name,
                                const std::string& value) {
  TrackValue(hive, path, name);
  WriteRaw(hive, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void RegistrySandbox::SetDword(HKEY hive, const std::string& path, const std::string& name, DWORD value) {
  TrackValue(hive, path, name);
  WriteRaw(hive, path, name, REG_DWORD, &value, sizeof value);
}

void RegistrySandbox::RemoveValue(HKEY hive, const std::string& path, const std::string& name) {
  TrackValue(hive, path, name);
  HKEY key;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name.c_str());
  RegCloseKey(key);
}

RegistrySandbox::~RegistrySandbox() {
  for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
    HKEY key;
    if (RegOpenKeyExA(it->hive, it->path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
    if (it->existed)
      RegSetValueExA(key, it->name.c_str(), 0, it->type, it->data.data(), static_cast<DWORD>(it->data.size()));
    else
      RegDeleteValueA(key, it->name.c_str());
    RegCloseKey(key);
  }
  for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it) DeleteTree(it->hive, it->path);
}

void RegistrySandbox::SetStringOrRemove(HKEY hive, const std::string& path, const std::string& name,
                                        const char* value) {
  if (value == NULL)
    RemoveValue(hive, path, name);
  else
    SetString(hive, path, name, value);
}
