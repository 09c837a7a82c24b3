#include "StandinRecords.h"

#include <windows.h>

#include "ScratchDir.h"

namespace {

const DWORD kWaitMs = 20000;

std::string Unescape(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    char next = text[++i];
    plain += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
  }
  return plain;
}

}  // namespace

std::vector<StandinRecord> ReadStandinRecords(const std::string& logPath, const std::string& openingLine) {
  std::vector<StandinRecord> records;
  std::string text = ScratchDir::ReadFile(logPath);
  StandinRecord current;
  bool inRecord = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) break;  // a line still being written
    std::string line = text.substr(start, end - start);
    start = end + 2;
    if (line == openingLine) {
      current.clear();
      inRecord = true;
    } else if (line == "[end]" && inRecord) {
      records.push_back(current);
      inRecord = false;
    } else if (inRecord) {
      size_t equals = line.find('=');
      if (equals != std::string::npos) current[line.substr(0, equals)] = Unescape(line.substr(equals + 1));
    }
  }
  return records;
}

std::vector<StandinRecord> WaitForStandinRecords(const std::string& logPath, const std::string& openingLine,
                                                 size_t count) {
  DWORD started = GetTickCount();
  for (;;) {
    std::vector<StandinRecord> records = ReadStandinRecords(logPath, openingLine);
    if (records.size() >= count || GetTickCount() - started > kWaitMs) return records;
    Sleep(20);
  }
}
