// A directory of its own below the system's temporary directory, removed
// with everything in it when the object goes away.
#pragma once

#include <string>

class ScratchDir {
 public:
  ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir();

  // Windows path of the directory, ending with a backslash.
  const std::string& Path() const { return m_path; }
  // A path inside it whose name was not handed out before.
  std::string NewFile(const char* extension = ".ini");

  static std::string ReadFile(const std::string& path);  // whole file; empty if missing
  static void WriteFile(const std::string& path, const std::string& text);

 private:
  std::string m_path;
  int m_nextFile = 0;
};
