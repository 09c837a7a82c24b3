// Stand-in for the user database library: every entry point records its
// call in memory and returns 1000 plus its own number, so that callers can
// tell which entry point answered.
#include "lduserdb.h"

#include <string.h>

#include "standins/CallRecorder.h"

namespace {

CallRecorder<UserDbCall, 1024> g_calls;

#ifdef LDUSERDB_STATS_WITHOUT_BLANK
const char kReportStatsName[] = "LDUserDB_GetReportStats";
#else
const char kReportStatsName[] = "LDUserDB_GetReportStats ";
#endif

DWORD Record(const char* name, DWORD number, const UserDbRecord* record, int argCount, ULONG_PTR a1 = 0,
             ULONG_PTR a2 = 0, ULONG_PTR a3 = 0, ULONG_PTR a4 = 0, ULONG_PTR a5 = 0) {
  DWORD result = 1000 + number;
  g_calls.Add([&](UserDbCall& call) {
    memset(&call, 0, sizeof call);
    strncpy(call.entryPoint, name, sizeof call.entryPoint - 1);
    call.argCount = argCount;
    ULONG_PTR args[5] = {a1, a2, a3, a4, a5};
    memcpy(call.args, args, sizeof args);
    if (record != NULL) {
      call.hasRecordField = TRUE;
      call.recordField = record->Field();
    }
    call.result = result;
  });
  return result;
}

}  // namespace

// An add or store entry point: a record and a value.
#define RECORD_ENTRY(number, name) \
  DWORD __cdecl LDUserDB_##name(void* record, DWORD value) {                                    \
    return Record("LDUserDB_" #name, number, static_cast<const UserDbRecord*>(record), 2,       \
                  reinterpret_cast<ULONG_PTR>(record), value);                                  \
  }
#define ENTRY1(number, name) \
  DWORD __cdecl LDUserDB_##name(DWORD a1) { return Record("LDUserDB_" #name, number, NULL, 1, a1); }
#define ENTRY2(number, name) \
  DWORD __cdecl LDUserDB_##name(DWORD a1, DWORD a2) { return Record("LDUserDB_" #name, number, NULL, 2, a1, a2); }
#define ENTRY3(number, name)                                        \
  DWORD __cdecl LDUserDB_##name(DWORD a1, DWORD a2, DWORD a3) {     \
    return Record("LDUserDB_" #name, number, NULL, 3, a1, a2, a3); \
  }
#define ENTRY4(number, name)                                                \
  DWORD __cdecl LDUserDB_##name(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {   \
    return Record("LDUserDB_" #name, number, NULL, 4, a1, a2, a3, a4);     \
  }

extern "C" {

RECORD_ENTRY(1, AddFavoriteSearch)
ENTRY2(2, RenameFavoriteSearch)
RECORD_ENTRY(3, AddWorkInProgress)
ENTRY1(4, EmptyHistory)
RECORD_ENTRY(5, AddSearchHistory)
ENTRY1(6, UpdateSearchHistory)
RECORD_ENTRY(7, StoreReport)
ENTRY4(8, SelectFolder)
ENTRY1(9, GetReportCount)
ENTRY1(10, GetWIPCount)
ENTRY1(11, GetFavoriteCount)
ENTRY4(12, MoveReports)
ENTRY3(13, MarkReports)
ENTRY3(14, MarkReport)
ENTRY3(15, DeleteReports)
ENTRY3(17, GetReports)
ENTRY1(18, ReleaseReports)
ENTRY2(19, DeleteTrash)
ENTRY4(20, FixFolderTotals)
ENTRY1(21, RemoveDeadWIPs)
ENTRY3(22, RenameRptFolder)
ENTRY4(23, AddRptFolder)
ENTRY2(24, DeleteRptFolder)
ENTRY3(25, MoveRptFolder)
ENTRY2(26, GetReportFldrs)
ENTRY1(27, ReleaseRptFldrs)
ENTRY3(28, GetReportList)
ENTRY2(29, GetFavSearchItems)
ENTRY1(30, ReleaseFavSearchItems)
ENTRY2(31, DeleteFavSearch)
ENTRY3(32, GetFavSearch)
ENTRY2(33, GetWIPItems)
ENTRY1(34, ReleaseWIPItems)
ENTRY2(35, DeleteWIP)
ENTRY3(36, GetWIP)
ENTRY2(37, GetHistSearchItems)
ENTRY1(38, ReleaseHistSearchItems)
ENTRY2(39, DeleteSearchHistory)
ENTRY3(40, GetSearchHistory)
ENTRY4(42, GetMonItemStatsAll)
ENTRY2(43, ViewItemReports)
ENTRY3(44, DisplayMonReports)
ENTRY2(45, RenameWIPSearch)

// Exported as "LDUserDB_GetReportStats " (with its blank) by the
// module-definition file; the second build exports it without the blank.
DWORD __cdecl ReportStats(DWORD a1, DWORD a2, DWORD a3, DWORD a4) {
  return Record(kReportStatsName, 16, NULL, 4, a1, a2, a3, a4);
}

DWORD __cdecl LDUserDB_GetMonItemStats(DWORD a1, DWORD a2, DWORD a3, DWORD a4, DWORD a5) {
  return Record("LDUserDB_GetMonItemStats", 41, NULL, 5, a1, a2, a3, a4, a5);
}

int __cdecl UserDbStandinCallCount(void) { return g_calls.Count(); }

BOOL __cdecl UserDbStandinGetCall(int index, UserDbCall* call) { return g_calls.Get(index, call); }

void __cdecl UserDbStandinReset(void) { g_calls.Reset(); }

}
