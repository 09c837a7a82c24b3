// The user database binding on the stand-in LDUSERDB.DLL, a real library
// loaded from the program directory: which entry point each member reaches
// and what crosses, the record field reset, when the library is loaded and
// entry points looked up, the references held, and the failure box.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "BoxScript.h"
#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "StackBalance.h"
#include "TestProgram.h"
#include "UserDbCallLog.h"
#include "UserDbTestHost.h"
#include "userdb/CUserDbLink.h"

namespace {

const char kCaption[] = "userdb_tests.exe";

// Exposes the binding's state.
class ExposedLink : public CUserDbLink {
 public:
  using CUserDbLink::m_bPrepared;
  using CUserDbLink::m_pfnEntryPoints;
  int CachedCount() const {
    int count = 0;
    for (FARPROC pfn : m_pfnEntryPoints) count += pfn != NULL;
    return count;
  }
};

bool IsLoaded() { return GetModuleHandleA(UserDbTestHost::LibraryPath().c_str()) != NULL; }

// A caller's record: a recognisable byte pattern with 12.5 in the 64-bit
// field at byte 40.
struct Record : UserDbRecord {
  Record() {
    for (int i = 0; i < 64; ++i) bytes[i] = static_cast<BYTE>(0xa0 + i);
    SetField(12.5);
  }
  bool SameOutsideTheField(const Record& other) const {
    return memcmp(bytes, other.bytes, 40) == 0 && memcmp(bytes + 48, other.bytes + 48, 16) == 0;
  }
};

const DWORD A1 = 0x1001, A2 = 0x1002, A3 = 0x1003, A4 = 0x1004, A5 = 0x80000005;

struct Member {
  const char* entryPoint;
  int argCount;
  bool takesRecord;
  std::function<DWORD(CUserDbLink&, Record*)> call;
};

#define CALL(expression) [](CUserDbLink& link, Record* record) -> DWORD { return link.expression; }

// Every member with the entry point it must reach: record members get
// (record, A2, no reset), the others A1, A2, ... as many as they take.
const std::vector<Member>& Members() {
  static const std::vector<Member> members = {
      {"LDUserDB_AddFavoriteSearch", 2, true, CALL(AddFavoriteSearch(record, A2, FALSE))},
      {"LDUserDB_RenameFavoriteSearch", 2, false, CALL(RenameFavoriteSearch(A1, A2))},
      {"LDUserDB_AddWorkInProgress", 2, true, CALL(AddWorkInProgress(record, A2, FALSE))},
      {"LDUserDB_EmptyHistory", 1, false, CALL(EmptyHistory(A1))},
      {"LDUserDB_AddSearchHistory", 2, true, CALL(AddSearchHistory(record, A2, FALSE))},
      {"LDUserDB_UpdateSearchHistory", 1, false, CALL(UpdateSearchHistory(A1))},
      {"LDUserDB_StoreReport", 2, true, CALL(StoreReport(record, A2, FALSE))},
      {"LDUserDB_SelectFolder", 4, false, CALL(SelectFolder(A1, A2, A3, A4))},
      {"LDUserDB_GetReportCount", 1, false, CALL(GetReportCount(A1))},
      {"LDUserDB_GetWIPCount", 1, false, CALL(GetWIPCount(A1))},
      {"LDUserDB_GetFavoriteCount", 1, false, CALL(GetFavoriteCount(A1))},
      {"LDUserDB_MoveReports", 4, false, CALL(MoveReports(A1, A2, A3, A4))},
      {"LDUserDB_MarkReports", 3, false, CALL(MarkReports(A1, A2, A3))},
      {"LDUserDB_MarkReport", 3, false, CALL(MarkReport(A1, A2, A3))},
      {"LDUserDB_DeleteReports", 3, false, CALL(DeleteReports(A1, A2, A3))},
      {"LDUserDB_GetReportStats ", 4, false, CALL(GetReportStats(A1, A2, A3, A4))},
      {"LDUserDB_GetReports", 3, false, CALL(GetReports(A1, A2, A3))},
      {"LDUserDB_ReleaseReports", 1, false, CALL(ReleaseReports(A1))},
      {"LDUserDB_DeleteTrash", 2, false, CALL(DeleteTrash(A1, A2))},
      {"LDUserDB_FixFolderTotals", 4, false, CALL(FixFolderTotals(A1, A2, A3, A4))},
      {"LDUserDB_RemoveDeadWIPs", 1, false, CALL(RemoveDeadWIPs(A1))},
      {"LDUserDB_RenameRptFolder", 3, false, CALL(RenameRptFolder(A1, A2, A3))},
      {"LDUserDB_AddRptFolder", 4, false, CALL(AddRptFolder(A1, A2, A3, A4))},
      {"LDUserDB_DeleteRptFolder", 2, false, CALL(DeleteRptFolder(A1, A2))},
      {"LDUserDB_MoveRptFolder", 3, false, CALL(MoveRptFolder(A1, A2, A3))},
      {"LDUserDB_GetReportFldrs", 2, false, CALL(GetReportFldrs(A1, A2))},
      {"LDUserDB_ReleaseRptFldrs", 1, false, CALL(ReleaseRptFldrs(A1))},
      {"LDUserDB_GetReportList", 3, false, CALL(GetReportList(A1, A2, A3))},
      {"LDUserDB_GetFavSearchItems", 2, false, CALL(GetFavSearchItems(A1, A2))},
      {"LDUserDB_ReleaseFavSearchItems", 1, false, CALL(ReleaseFavSearchItems(A1))},
      {"LDUserDB_DeleteFavSearch", 2, false, CALL(DeleteFavSearch(A1, A2))},
      {"LDUserDB_GetFavSearch", 3, false, CALL(GetFavSearch(A1, A2, A3))},
      {"LDUserDB_GetWIPItems", 2, false, CALL(GetWIPItems(A1, A2))},
      {"LDUserDB_ReleaseWIPItems", 1, false, CALL(ReleaseWIPItems(A1))},
      {"LDUserDB_DeleteWIP", 2, false, CALL(DeleteWIP(A1, A2))},
      {"LDUserDB_GetWIP", 3, false, CALL(GetWIP(A1, A2, A3))},
      {"LDUserDB_GetHistSearchItems", 2, false, CALL(GetHistSearchItems(A1, A2))},
      {"LDUserDB_ReleaseHistSearchItems", 1, false, CALL(ReleaseHistSearchItems(A1))},
      {"LDUserDB_DeleteSearchHistory", 2, false, CALL(DeleteSearchHistory(A1, A2))},
      {"LDUserDB_GetSearchHistory", 3, false, CALL(GetSearchHistory(A1, A2, A3))},
      {"LDUserDB_GetMonItemStats", 5, false, CALL(GetMonItemStats(A1, A2, A3, A4, A5))},
      {"LDUserDB_GetMonItemStatsAll", 4, false, CALL(GetMonItemStatsAll(A1, A2, A3, A4))},
      {"LDUserDB_ViewItemReports", 2, false, CALL(ViewItemReports(A1, A2))},
      {"LDUserDB_DisplayMonReports", 3, false, CALL(DisplayMonReports(A1, A2, A3))},
      {"LDUserDB_RenameWIPSearch", 2, false, CALL(RenameWIPSearch(A1, A2))},
  };
  return members;
}

struct RecordMember {
  const char* entryPoint;
  DWORD (CUserDbLink::*call)(void* pRecord, DWORD dwValue, BOOL bReset);
};
const RecordMember kRecordMembers[] = {
    {"LDUserDB_AddFavoriteSearch", &CUserDbLink::AddFavoriteSearch},
    {"LDUserDB_AddWorkInProgress", &CUserDbLink::AddWorkInProgress},
    {"LDUserDB_AddSearchHistory", &CUserDbLink::AddSearchHistory},
    {"LDUserDB_StoreReport", &CUserDbLink::StoreReport},
};

std::vector<ULONG_PTR> ExpectedArgs(const Member& member, const Record* record) {
  if (member.takesRecord) return {reinterpret_cast<ULONG_PTR>(record), A2};
  const ULONG_PTR all[] = {A1, A2, A3, A4, A5};
  return std::vector<ULONG_PTR>(all, all + member.argCount);
}

TEST(UserDbLink, EveryMemberCallsItsOwnEntryPointWithItsArguments) {
  ASSERT_EQ(static_cast<size_t>(CUserDbLink::kEntryPointCount), Members().size());
  UserDbCallLog log;
  BoxScript noBoxes;
  ExposedLink link;
  std::set<DWORD> results;
  for (size_t i = 0; i < Members().size(); ++i) {
    const Member& member = Members()[i];
    SCOPED_TRACE(member.entryPoint);
    log.Reset();
    Record record;
    DWORD result = member.call(link, &record);
    std::vector<UserDbCall> calls = log.Calls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_STREQ(member.entryPoint, calls[0].entryPoint);
    ASSERT_EQ(member.argCount, calls[0].argCount);
    EXPECT_EQ(ExpectedArgs(member, &record),
              std::vector<ULONG_PTR>(calls[0].args, calls[0].args + calls[0].argCount));
    EXPECT_EQ(calls[0].result, result) << "the entry point's result, unchanged";
    results.insert(result);
    EXPECT_NE(nullptr, link.m_pfnEntryPoints[i]) << "cached in the member's own slot";
    EXPECT_EQ(static_cast<int>(i + 1), link.CachedCount());
  }
  EXPECT_EQ(Members().size(), results.size()) << "each member reached a different entry point";
}

// The entry points remove no arguments of their own (the caller cleans the
// stack): a binding that called them as callee-cleans functions would move
// the stack pointer with every call on the 32-bit build, and so would a
// member whose own convention disagreed with the header's.
TEST(UserDbLink, EveryMemberLeavesTheStackAsItFoundIt) {
  UserDbCallLog log;
  BoxScript noBoxes;
  CUserDbLink link;
  for (const Member& member : Members()) {
    SCOPED_TRACE(member.entryPoint);
    Record record;
    DWORD first = member.call(link, &record);
    bool sameResults = true;
    EXPECT_TRUE(StackBalance::KeptOver(200, [&] { sameResults &= member.call(link, &record) == first; }));
    EXPECT_TRUE(sameResults);
  }
  for (const RecordMember& member : kRecordMembers) {
    SCOPED_TRACE(std::string(member.entryPoint) + " with the reset");
    Record record;
    EXPECT_TRUE(StackBalance::KeptOver(200, [&] { (link.*member.call)(&record, 9, TRUE); }));
    EXPECT_EQ(0.0, record.Field());
  }
}

// With the flag set, the add and store members zero the 64-bit field at byte
// 40 of the caller's record before the call; a null record is passed on.
TEST(UserDbLink, AddAndStoreMembersResetTheRecordFieldOnRequest) {
  UserDbCallLog log;
  CUserDbLink link;
  struct Case {
    const char* what;
    bool withRecord;
    BOOL reset;
    double seen;  // by the entry point
  } const cases[] = {
      {"reset", true, TRUE, 0.0},
      {"reset with another non-zero flag", true, 7, 0.0},
      {"no reset", true, FALSE, 12.5},
      {"null record with reset", false, TRUE, 0.0},
  };
  for (const RecordMember& member : kRecordMembers) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(member.entryPoint) + ": " + c.what);
      log.Reset();
      Record record, before;
      Record* passed = c.withRecord ? &record : NULL;
      DWORD result = (link.*member.call)(passed, 9, c.reset);
      std::vector<UserDbCall> calls = log.Calls();
      ASSERT_EQ(1u, calls.size());
      EXPECT_STREQ(member.entryPoint, calls[0].entryPoint);
      EXPECT_EQ(calls[0].result, result);
      EXPECT_EQ(reinterpret_cast<ULONG_PTR>(passed), calls[0].args[0]);
      EXPECT_EQ(9u, calls[0].args[1]);
      EXPECT_EQ(c.withRecord, calls[0].hasRecordField != FALSE);
      if (!c.withRecord) continue;
      EXPECT_EQ(c.seen, calls[0].recordField);
      EXPECT_EQ(c.seen, record.Field()) << "the caller's record keeps the value";
      EXPECT_TRUE(record.SameOutsideTheField(before)) << "nothing else of the record is touched";
    }
  }
}

// The library is loaded by the first call and stays; each member looks up
// its own entry point only, once. Prepare fixes the path and loads nothing;
// Reset forgets the entry points but keeps the library.
TEST(UserDbLink, LoadsOnFirstUseAndLooksUpEachEntryPointOnce) {
  BoxScript noBoxes;
  {
    ExposedLink link;
    EXPECT_FALSE(link.m_bPrepared);
    EXPECT_EQ(0, link.CachedCount());
    EXPECT_STREQ("", link.GetPath());
    CString path("untouched");
    link.GetLibraryPath(path);
    EXPECT_EQ(UserDbTestHost::LibraryPath(), static_cast<LPCSTR>(path));

    EXPECT_EQ(TRUE, link.Prepare());
    EXPECT_TRUE(link.m_bPrepared);
    EXPECT_STREQ(path, link.GetPath());
    EXPECT_EQ(nullptr, link.GetModule());
    EXPECT_FALSE(IsLoaded());

    EXPECT_NE(0u, link.GetReportCount(1));
    HMODULE module = link.GetModule();
    EXPECT_EQ(GetModuleHandleA(UserDbTestHost::LibraryPath().c_str()), module);
    ASSERT_NE(nullptr, module);
    FARPROC reportCount = link.m_pfnEntryPoints[8];
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(module, "LDUserDB_GetReportCount")), reportCount);
    EXPECT_EQ(1, link.CachedCount());

    EXPECT_NE(0u, link.GetWIPCount(1));
    EXPECT_NE(0u, link.GetReportCount(2));
    EXPECT_EQ(module, link.GetModule());
    EXPECT_EQ(reportCount, link.m_pfnEntryPoints[8]);
    EXPECT_EQ(2, link.CachedCount());

    link.Reset();
    EXPECT_FALSE(link.m_bPrepared);
    EXPECT_EQ(0, link.CachedCount());
    EXPECT_EQ(module, link.GetModule());
    EXPECT_NE(0u, link.GetFavoriteCount(1));
    EXPECT_EQ(1, link.CachedCount());
  }
  EXPECT_FALSE(IsLoaded()) << "the binding gives the library back when it goes";
}

// IsAvailable on a library already held takes no further reference: after
// any number of calls, destroying the binding unloads the library.
TEST(UserDbLink, IsAvailableHoldsOneReference) {
  BoxScript noBoxes;
  for (int forwardFirst = 0; forwardFirst < 2; ++forwardFirst) {
    SCOPED_TRACE(forwardFirst ? "after a forwarding call" : "before any call");
    {
      ExposedLink link;
      if (forwardFirst) {
        EXPECT_NE(0u, link.EmptyHistory(1));
      }
      for (int i = 0; i < 5; ++i) EXPECT_TRUE(link.IsAvailable());
      EXPECT_TRUE(link.m_bPrepared);
      EXPECT_NE(0u, link.EmptyHistory(2));
      EXPECT_EQ(GetModuleHandleA(UserDbTestHost::LibraryPath().c_str()), link.GetModule());
    }
    EXPECT_FALSE(IsLoaded());
  }
}

TEST(UserDbLink, ReportStatisticsNeedTheNameWithItsBlank) {
  StandinSwap noBlank(UserDbTestHost::kStandinNoBlank);
  {
    UserDbCallLog log;
    BoxScript noBoxes;
    ExposedLink link;
    EXPECT_TRUE(link.IsAvailable());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(0u, link.GetReportStats(1, 2, 3, 4));
    EXPECT_EQ(nullptr, link.m_pfnEntryPoints[15]);
    EXPECT_TRUE(log.Calls().empty()) << "nothing was called";
    EXPECT_NE(0u, link.GetReports(1, 2, 3));
    EXPECT_EQ(1u, log.Calls().size());
  }
}

// Without the library, IsAvailable says no silently; each forwarding call
// tries the load again, shows the loader's box, calls nothing and leaves
// the record alone.
TEST(UserDbLink, MissingLibraryShowsTheLoadBoxOnEveryCall) {
  StandinSwap removed(NULL);
  std::string path = UserDbTestHost::LibraryPath();
  char* systemText = NULL;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                 ERROR_MOD_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&systemText),
                 0, NULL);
  std::string text = "DLL load failed - " + path + "\nSystem error: 126\n" + (systemText ? systemText : "");
  LocalFree(systemText);

  ExposedLink link;
  {
    BoxScript noBoxes;
    EXPECT_FALSE(link.IsAvailable());
    EXPECT_FALSE(link.IsAvailable());
  }
  BoxScript script;
  for (int i = 0; i < 3; ++i) script.Expect().Caption(kCaption).Text(text).Icon(BoxIcon::Warning).Buttons({IDOK});
  Record record, before;
  EXPECT_EQ(0u, link.GetReportCount(1));
  EXPECT_EQ(0u, link.GetReportCount(1));
  EXPECT_EQ(0u, link.AddSearchHistory(&record, 1, TRUE));
  EXPECT_EQ(12.5, record.Field());
  EXPECT_TRUE(record.SameOutsideTheField(before));
  EXPECT_EQ(0, link.CachedCount());
  EXPECT_EQ(3u, script.Captured().size());
}

}  // namespace

namespace {

// Runs userdb_probe.exe and returns what it printed, without carriage returns.
std::string RunProbe() {
  std::string text = RunTestProgram("userdb_probe.exe", "", false).output;
  std::string withoutCarriageReturns;
  for (char ch : text)
    if (ch != '\r') withoutCarriageReturns += ch;
  return withoutCarriageReturns;
}

// Without a program directory the path is empty: nothing is loaded, no box
// is shown, and every member gives 0.
TEST(UserDbLink, WithoutProgramDirectoryNothingIsLoaded) {
  RegistrySandbox sandbox;
  sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir");
  EXPECT_EQ("Path=\nPrepared=\nAvailable=0\nResult=0\nBoxes=0\n", RunProbe());
}

}  // namespace
