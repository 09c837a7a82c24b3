// What the brwsapp.exe stand-in recorded in the user's data directory
// ("brwsapp.log"): one record per start, its values unescaped.
#pragma once

#include <string>
#include <vector>

#include "StandinRecords.h"

typedef StandinRecord LauncherRecord;

std::vector<LauncherRecord> ReadLauncherLog(const std::string& dataDir);
// Waits until the log holds `count` records (or the time is up) and returns
// them all.
std::vector<LauncherRecord> WaitForLauncherRecords(const std::string& dataDir, size_t count);
// Names of the request files (msg*.tmp) in the directory.
std::vector<std::string> RequestFiles(const std::string& dataDir);
