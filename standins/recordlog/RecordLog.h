// Records of what a stand-in program was asked, appended to a log file:
// lines "Name=value" whose values are escaped so that each stays on its
// line ("\\" for a backslash, "\r" and "\n" for line breaks; see
// TextBuffer::AppendEscaped).
#pragma once

#include "TextBuffer.h"

// Appends the whole file to text; false when it cannot be opened.
bool ReadWholeFile(const char* path, TextBuffer& text);
// Appends under exclusive access, so that records of stand-ins running at
// the same time do not interleave; waits up to ten seconds for the file.
bool AppendToLog(const char* path, const TextBuffer& record);
