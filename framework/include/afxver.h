// Basic types and the import/export switch of the framework layer. Needs no
// <windows.h>: the string and collection classes also build natively.
#pragma once

#include <stddef.h>

// The framework and LDExCore are single-byte: TCHAR is char. A host built
// with UNICODE or _UNICODE stops here with one error; the T types below are
// then left to <windows.h>, so that no page of conflicting typedefs follows.
#if defined(UNICODE) || defined(_UNICODE)
#  error "LDExCore and its framework are single-byte (TCHAR is char): build the host without UNICODE and _UNICODE."
#endif

#if defined(_WIN32)
#  if defined(AFX_BUILDING_FRAMEWORK)
#    define AFX_API __declspec(dllexport)
#  else
#    define AFX_API __declspec(dllimport)
#  endif
#else
#  define AFX_API
#endif

// Data that an extension DLL exports (by ordinal, from its module-definition
// file) is declared AFX_EXT_DATA in its headers. The linker of the Windows
// C++ ABI imports no data unless told, so there a host's declarations say
// dllimport; the extension DLL itself is built with _AFXEXT defined.
#if defined(_MSC_VER) && !defined(_AFXEXT)
#  define AFX_EXT_DATA __declspec(dllimport)
#else
#  define AFX_EXT_DATA
#endif

// Same definitions as <windows.h> (a repeated identical typedef is allowed).
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef long LONG;
#if defined(_WIN32)
typedef unsigned long DWORD;
#else
typedef unsigned int DWORD;  // 32 bits, as on Windows
#endif
typedef char CHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
#if !defined(UNICODE) && !defined(_UNICODE)
typedef char TCHAR;
typedef LPSTR LPTSTR;
typedef LPCSTR LPCTSTR;
#endif
typedef void* LPVOID;

#ifndef TRUE
#  define TRUE 1
#endif
#ifndef FALSE
#  define FALSE 0
#endif
#ifndef NULL
#  define NULL 0
#endif

// Opaque iteration handle of the collection classes.
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)
