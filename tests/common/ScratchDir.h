// A directory of its own below the system's temporary directory, removed
// with everything in it when the object goes away.
#pragma once

#include <string>

class ScratchDir {
 public:
  // Makes "<temporary directory><stem><process id>_<n>\", n counting the
  // scratch directories of this process. A stem with blanks gives a path
  // with blanks.
  explicit ScratchDir(const std::string& stem);
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir();

  // Windows path of the directory, with its trailing backslash and without.
  const std::string& Path() const { return m_path; }
  std::string NoSlash() const { return m_path.substr(0, m_path.size() - 1); }
  // The path of an entry inside it.
  std::string operator/(const std::string& name) const { return m_path + name; }
  // A path inside it whose name was not handed out before.
  std::string NewFile(const char* extension = ".ini");

  static std::string ReadFile(const std::string& path);  // whole file; empty if missing
  static void WriteFile(const std::string& path, const std::string& text);

 private:
  std::string m_path;
  int m_nextFile = 0;
};
