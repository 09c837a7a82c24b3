// Puts registry keys and values back as they were: every key and value a test
// touches (itself or through the library) is recorded first, and restored or
// removed when the sandbox goes away.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/ProductKey.h"

class RegistrySandbox {
 public:
  RegistrySandbox() = default;
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;
  ~RegistrySandbox();

  // Records the key (and its missing ancestors) so that whatever of it did
  // not exist before is removed again.
  void TrackKey(HKEY hive, const std::string& path);
  // Records a value so that it is restored (or removed) afterwards.
  void TrackValue(HKEY hive, const std::string& path, const std::string& name);

  void SetString(HKEY hive, const std::string& path, const std::string& name, const std::string& value);
  void SetDword(HKEY hive, const std::string& path, const std::string& name, DWORD value);
  void RemoveValue(HKEY hive, const std::string& path, const std::string& name);
  // Sets the string value, or removes it when value is NULL.
  void SetStringOrRemove(HKEY hive, const std::string& path, const std::string& name, const char* value);

 private:
  struct SavedValue {
    HKEY hive;
    std::string path, name;
    bool existed;
    DWORD type;
    std::vector<BYTE> data;
  };
  struct CreatedKey {
    HKEY hive;
    std::string path;
  };
  std::vector<SavedValue> m_values;
  std::vector<CreatedKey> m_keys;
};

// Direct registry reads for checking what the library wrote.
bool KeyExists(HKEY hive, const std::string& path);
bool ReadRaw(HKEY hive, const std::string& path, const std::string& name, DWORD* type, std::vector<BYTE>* data);
std::string ReadRawString(HKEY hive, const std::string& path, const std::string& name);  // "<missing>" if absent
void WriteRaw(HKEY hive, const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size);
void DeleteTree(HKEY hive, const std::string& path);
