// Files and directories a test takes over: owned files are saved and
// removed, so the test starts without them, and written files and the
// directories made for them are removed at the end; saved files come back as
// they were.
#pragma once

#include <string>
#include <vector>

class FileTerritory {
 public:
  FileTerritory() = default;
  FileTerritory(const FileTerritory&) = delete;
  FileTerritory& operator=(const FileTerritory&) = delete;
  ~FileTerritory();

  void Own(const std::string& path);
  // Creates the file (and its missing directories) with the text.
  void Write(const std::string& path, const std::string& text = std::string());
  void MakeDir(const std::string& path);

  // The Windows directory, ending in a backslash.
  static std::string WindowsDir();

 private:
  struct SavedFile {
    std::string path;
    bool existed;
    std::string text;
  };
  std::vector<SavedFile> m_files;
  std::vector<std::string> m_createdDirs;  // in the order they were made
};

bool FileExists(const std::string& path);
