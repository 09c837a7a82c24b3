#include "FileTerritory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "ScratchDir.h"

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string FileTerritory::WindowsDir() {
  char dir[MAX_PATH] = {0};
  GetWindowsDirectoryA(dir, MAX_PATH);
  std::string text = dir;
  if (text.empty() || text.back() != '\\') text += '\\';
  return text;
}

void FileTerritory::Own(const std::string& path) {
  for (const SavedFile& file : m_files)
    if (_stricmp(file.path.c_str(), path.c_str()) == 0) return;
  SavedFile saved{path, FileExists(path), std::string()};
  if (saved.existed) {
    saved.text = ScratchDir::ReadFile(path);
    ASSERT_TRUE(DeleteFileA(path.c_str())) << "could not clear " << path;
  }
  m_files.push_back(saved);
}

void FileTerritory::MakeDir(const std::string& path) {
  if (FileExists(path)) return;
  size_t slash = path.find_last_of('\\', path.size() >= 2 ? path.size() - 2 : 0);
  if (slash != std::string::npos && slash > 2) MakeDir(path.substr(0, slash));
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL)) << "could not make " << path;
  m_createdDirs.push_back(path);
}

void FileTerritory::Write(const std::string& path, const std::string& text) {
  Own(path);
  size_t slash = path.rfind('\\');
  if (slash != std::string::npos && slash > 2) MakeDir(path.substr(0, slash));
  std::ofstream out(path, std::ios::binary);
  out << text;
  ASSERT_TRUE(out.good()) << "could not write " << path;
}

FileTerritory::~FileTerritory() {
  for (auto it = m_files.rbegin(); it != m_files.rend(); ++it) {
    DeleteFileA(it->path.c_str());
    if (it->existed) ScratchDir::WriteFile(it->path, it->text);
  }
  for (auto it = m_createdDirs.rbegin(); it != m_createdDirs.rend(); ++it) RemoveDirectoryA(it->c_str());
}
