// What the host tool says when a file or library cannot be used: the
// system's own message text for an error, and the reason a given path cannot
// be read or written, found by asking the system about that path.
#pragma once

#include <windows.h>

#include <afx.h>

// The system's message for error, without its line end or final full stop,
// followed by the number: "File not found (error 2)". A "%1" in the message
// becomes subject when one is given.
CString SystemMessage(DWORD error, const char* subject = NULL);

// Why path cannot be opened for reading: "it is a directory", or the
// system's message. Empty when it can be opened.
CString WhyNotReadable(const char* path);

// Why path cannot be opened for writing: "it is a directory", "the folder
// FOLDER does not exist", or the system's message. Empty when it can be
// opened (a file that did not exist is not left behind).
CString WhyNotWritable(const char* path);

// The file that the profile functions use for name: a name without any
// directory lies in the Windows directory, anything else is taken as a
// path (relative ones against the current directory).
CString ProfileFilePath(const char* name);

// The full path of path, or path itself when it has none.
CString FullPath(const char* path);
