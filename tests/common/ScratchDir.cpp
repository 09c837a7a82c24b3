#include "ScratchDir.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

ScratchDir::ScratchDir(const std::string& stem) {
  static int s_count = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  m_path = std::string(temp) + stem + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++s_count) + "\\";
  CreateDirectoryA(m_path.c_str(), NULL);
}

namespace {

// Removes what it can: a file still held open (a library the system keeps
// mapped) does not keep the rest from going.
void RemoveTree(const std::filesystem::path& dir) {
  std::error_code ignored;
  std::vector<std::filesystem::path> entries;
  for (std::filesystem::directory_iterator it(dir, ignored), end; !ignored && it != end; it.increment(ignored))
    entries.push_back(it->path());
  for (const std::filesystem::path& entry : entries) {
    if (std::filesystem::is_directory(entry, ignored))
      RemoveTree(entry);
    else
      std::filesystem::remove(entry, ignored);
  }
  std::filesystem::remove(dir, ignored);
}

}  // namespace

ScratchDir::~ScratchDir() { RemoveTree(std::filesystem::path(m_path)); }

std::string ScratchDir::NewFile(const char* extension) {
  return m_path + "file" + std::to_string(++m_nextFile) + extension;
}

std::string ScratchDir::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void ScratchDir::WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}
