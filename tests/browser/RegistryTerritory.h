// Whole registry keys that a test takes over: each owned key is saved with
// everything below it and removed, so the test starts from nothing there
// (whatever the Wine prefix registered), and is put back exactly as it was
// when the territory goes away.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RegistryTerritory {
 public:
  RegistryTerritory() = default;
  RegistryTerritory(const RegistryTerritory&) = delete;
  RegistryTerritory& operator=(const RegistryTerritory&) = delete;
  ~RegistryTerritory();

  // Saves and removes the key; a key that does not exist is removed again
  // at the end if the test creates it.
  void Own(HKEY hive, const std::string& path);

  // Writes below an owned key, creating keys as needed. A null name is the
  // key's unnamed value.
  void SetString(HKEY hive, const std::string& path, const char* name, const std::string& value,
                 DWORD type = REG_SZ);
  void SetDefault(HKEY hive, const std::string& path, const std::string& value) {
    SetString(hive, path, NULL, value);
  }
  void CreateKey(HKEY hive, const std::string& path);

 private:
  struct SavedValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  struct SavedKey {
    std::string name;  // as the registry spells it
    std::vector<SavedValue> values;
    std::vector<SavedKey> subkeys;
  };
  struct OwnedKey {
    HKEY hive;
    std::string parent;  // empty: the key is directly below the hive
    bool existed;
    SavedKey saved;
  };

  static bool Save(HKEY key, SavedKey& saved);
  static void Restore(HKEY parent, const SavedKey& saved);

  std::vector<OwnedKey> m_owned;
};
