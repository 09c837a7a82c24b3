// How the host and the clients of the process-wide critical section name
// its desktop-window property, and which section this process published.
#pragma once

#include <windows.h>

#include <afx.h>

// The executable's file name without its directory (the text after the
// last backslash of its path).
enum ModuleNameResult { kModuleNameOk, kNoModulePath, kNoBackslash };
ModuleNameResult GetExecutableFileName(CString& rName);

// The property name for an executable's file name in this process.
CString HostPropertyName(const CString& strExecutable);

// Shows one of the set-up errors with the support address appended.
void ShowSupportError(LPCSTR lpszMessage);

// The desktop window that holds the publications, once it and the
// executable's name (nameResult, which found a path) have passed the checks
// both sides make; NULL, after the box with the matching message, when one
// fails.
HWND CheckedPublicationDesktop(ModuleNameResult nameResult, LPCSTR lpszNoDesktop, LPCSTR lpszBadName);

// Removes the properties "EXECUTABLE:ID" (this executable's name) of
// processes that no longer run: a host that ended without its destructor
// (a crash) leaves its property, and the atom of its name, behind.
void RemoveStalePublications(HWND hDesktop, const CString& strExecutable);

// The process remembers the section it published last: a property found
// under this process's name that holds any other address was left by an
// ended process that had the same id, and is no section here.
void RecordPublishedSection(CRITICAL_SECTION* pSection);
void ForgetPublishedSection(CRITICAL_SECTION* pSection);  // only if it is the one recorded
// This process's published section, or NULL (none, withdrawn, or foreign).
CRITICAL_SECTION* FindPublishedSection(const CString& strPropertyName);
