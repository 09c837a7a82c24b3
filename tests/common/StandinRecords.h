// Reads the log file of a program stand-in: records that open with a line
// such as "[run]" and close with "[end]", each line between them
// "Name=value" with the value escaped ("\\", "\r", "\n"). A record still
// being written is left out.
#pragma once

#include <map>
#include <string>
#include <vector>

typedef std::map<std::string, std::string> StandinRecord;

std::vector<StandinRecord> ReadStandinRecords(const std::string& logPath, const std::string& openingLine);
// Waits until the log holds `count` records (or the time is up) and returns
// them all.
std::vector<StandinRecord> WaitForStandinRecords(const std::string& logPath, const std::string& openingLine,
                                                 size_t count);
