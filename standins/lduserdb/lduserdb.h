// The stand-in user database library LDUSERDB.DLL: the 45 entry points the
// client's binding calls, each recording what it received and returning a
// result of its own, and the record access for tests (exported by name).
#pragma once

#include <windows.h>
#include <string.h>

// A record as the add and store entry points take it: the library's own
// business, except for the 64-bit floating-point field at byte 40 that the
// binding resets on request.
struct UserDbRecord {
  BYTE bytes[64];
  double Field() const {
    double value;
    memcpy(&value, bytes + 40, sizeof value);
    return value;
  }
  void SetField(double value) { memcpy(bytes + 40, &value, sizeof value); }
};

extern "C" {

// One recorded call.
struct UserDbCall {
  char entryPoint[40];  // the exported name it was called as
  int argCount;
  ULONG_PTR args[5];
  BOOL hasRecordField;  // an add or store call with a record
  double recordField;   // that record's 64-bit field at byte 40, as received
  DWORD result;
};

typedef int(__cdecl* UserDbCallCountFn)(void);
typedef BOOL(__cdecl* UserDbGetCallFn)(int index, UserDbCall* call);
typedef void(__cdecl* UserDbResetFn)(void);

#define LDUSERDB_CALL_COUNT "UserDbStandinCallCount"
#define LDUSERDB_GET_CALL "UserDbStandinGetCall"
#define LDUSERDB_RESET "UserDbStandinReset"

}
