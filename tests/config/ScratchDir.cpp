#include "ScratchDir.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

ScratchDir::ScratchDir() {
  static int s_count = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  m_path = std::string(temp) + "ldx-config-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++s_count) + "\\";
  CreateDirectoryA(m_path.c_str(), NULL);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(m_path), ignored);
}

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
