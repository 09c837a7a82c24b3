// Records of what a stand-in program was asked, appended to a log file:
// lines "Name=value" whose values are escaped so that each stays on its
// line ("\\" for a backslash, "\r" and "\n" for line breaks).
#pragma once

#include <string>

std::string EscapeValue(const std::string& text);
// The whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& text);
// Appends under exclusive access, so that records of stand-ins running at
// the same time do not interleave; waits up to ten seconds for the file.
bool AppendToLog(const std::string& path, const std::string& record);
