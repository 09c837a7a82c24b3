// Commands of the user database binding: whether LDUSERDB.DLL loads, and
// one call of a forwarding member. With the stand-in library, what the
// library received is printed as well.
#include <afxwin.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "HostCommand.h"
#include "standins/lduserdb/lduserdb.h"
#include "userdb/CUserDbLink.h"

namespace {

// A record for the add and store members, with 12.5 in the 64-bit field at
// byte 40 that they reset on request.
struct Record : UserDbRecord {
  Record() {
    memset(bytes, 0, sizeof bytes);
    SetField(12.5);
  }
};

struct Member {
  const char* name;
  int argCount;  // numbers on the command line
  bool takesRecord;
  std::function<DWORD(CUserDbLink&, const DWORD*, Record&)> call;
};

template <typename... Args, size_t... Index>
DWORD Invoke(CUserDbLink& link, DWORD (CUserDbLink::*member)(Args...), const DWORD* args,
             std::index_sequence<Index...>) {
  return (link.*member)(args[Index]...);
}

template <typename... Args>
Member Plain(const char* name, DWORD (CUserDbLink::*member)(Args...)) {
  return {name, static_cast<int>(sizeof...(Args)), false, [member](CUserDbLink& link, const DWORD* args, Record&) {
            return Invoke(link, member, args, std::index_sequence_for<Args...>());
          }};
}

// The add and store members take the command's record, a value and the
// reset flag.
Member WithRecord(const char* name, DWORD (CUserDbLink::*member)(void*, DWORD, BOOL)) {
  return {name, 2, true, [member](CUserDbLink& link, const DWORD* args, Record& record) {
            return (link.*member)(&record, args[0], static_cast<BOOL>(args[1]));
          }};
}

const std::vector<Member>& Members() {
  typedef CUserDbLink L;
  static const std::vector<Member> members = {
      WithRecord("AddFavoriteSearch", &L::AddFavoriteSearch),
      Plain("RenameFavoriteSearch", &L::RenameFavoriteSearch),
      WithRecord("AddWorkInProgress", &L::AddWorkInProgress),
      Plain("EmptyHistory", &L::EmptyHistory),
      WithRecord("AddSearchHistory", &L::AddSearchHistory),
      Plain("UpdateSearchHistory", &L::UpdateSearchHistory),
      WithRecord("StoreReport", &L::StoreReport),
      Plain("SelectFolder", &L::SelectFolder),
      Plain("GetReportCount", &L::GetReportCount),
      Plain("GetWIPCount", &L::GetWIPCount),
      Plain("GetFavoriteCount", &L::GetFavoriteCount),
      Plain("MoveReports", &L::MoveReports),
      Plain("MarkReports", &L::MarkReports),
      Plain("MarkReport", &L::MarkReport),
      Plain("DeleteReports", &L::DeleteReports),
      Plain("GetReportStats", &L::GetReportStats),
      Plain("GetReports", &L::GetReports),
      Plain("ReleaseReports", &L::ReleaseReports),
      Plain("DeleteTrash", &L::DeleteTrash),
      Plain("FixFolderTotals", &L::FixFolderTotals),
      Plain("RemoveDeadWIPs", &L::RemoveDeadWIPs),
      Plain("RenameRptFolder", &L::RenameRptFolder),
      Plain("AddRptFolder", &L::AddRptFolder),
      Plain("DeleteRptFolder", &L::DeleteRptFolder),
      Plain("MoveRptFolder", &L::MoveRptFolder),
      Plain("GetReportFldrs", &L::GetReportFldrs),
      Plain("ReleaseRptFldrs", &L::ReleaseRptFldrs),
      Plain("GetReportList", &L::GetReportList),
      Plain("GetFavSearchItems", &L::GetFavSearchItems),
      Plain("ReleaseFavSearchItems", &L::ReleaseFavSearchItems),
      Plain("DeleteFavSearch", &L::DeleteFavSearch),
      Plain("GetFavSearch", &L::GetFavSearch),
      Plain("GetWIPItems", &L::GetWIPItems),
      Plain("ReleaseWIPItems", &L::ReleaseWIPItems),
      Plain("DeleteWIP", &L::DeleteWIP),
      Plain("GetWIP", &L::GetWIP),
      Plain("GetHistSearchItems", &L::GetHistSearchItems),
      Plain("ReleaseHistSearchItems", &L::ReleaseHistSearchItems),
      Plain("DeleteSearchHistory", &L::DeleteSearchHistory),
      Plain("GetSearchHistory", &L::GetSearchHistory),
      Plain("GetMonItemStats", &L::GetMonItemStats),
      Plain("GetMonItemStatsAll", &L::GetMonItemStatsAll),
      Plain("ViewItemReports", &L::ViewItemReports),
      Plain("DisplayMonReports", &L::DisplayMonReports),
      Plain("RenameWIPSearch", &L::RenameWIPSearch),
  };
  return members;
}

const Member* FindMember(const char* name) {
  for (const Member& member : Members())
    if (_stricmp(member.name, name) == 0) return &member;
  return nullptr;
}

bool ParseNumber(const char* text, DWORD* value) {
  if (*text == '\0' || *text == '-') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long number = strtoul(text, &end, 0);
  *value = static_cast<DWORD>(number);
  return errno == 0 && *end == '\0';
}

// What the stand-in library recorded of the last call, when the loaded
// library is the stand-in.
void PrintWhatTheStandinReceived(HMODULE module) {
  if (module == NULL) return;
  UserDbCallCountFn count =
      reinterpret_cast<UserDbCallCountFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, LDUSERDB_CALL_COUNT)));
  UserDbGetCallFn get =
      reinterpret_cast<UserDbGetCallFn>(reinterpret_cast<void (*)()>(GetProcAddress(module, LDUSERDB_GET_CALL)));
  UserDbCall call;
  if (count == nullptr || get == nullptr || count() == 0 || !get(count() - 1, &call)) return;
  printf("the stand-in received: \"%s\"(", call.entryPoint);
  for (int i = 0; i < call.argCount; ++i)
    if (i == 0 && call.hasRecordField)
      printf("record at 0x%llx", static_cast<unsigned long long>(call.args[i]));
    else
      printf("%s%llu", i > 0 ? ", " : "", static_cast<unsigned long long>(call.args[i]));
  printf(")\n");
  if (call.hasRecordField) printf("  record field at byte 40 as received: %g\n", call.recordField);
}

int RunAvailable(int argc) {
  if (argc != 1) return UsageError("userdb", "available takes no further arguments");
  CUserDbLink link;
  CString path;
  link.GetLibraryPath(path);
  printf("library: %s\n", path.IsEmpty() ? "(none: the program directory is not set)" : static_cast<LPCSTR>(path));
  BOOL available = link.IsAvailable();
  printf("available: %s\n", available ? "yes" : "no");
  return available ? kExitOk : kExitFailed;
}

int RunCall(int argc, char** argv) {
  if (argc < 2) return UsageError("userdb", "call expects NAME [ARGS...]");
  const Member* member = FindMember(argv[1]);
  if (member == nullptr) return UsageError("userdb", ("no member named " + std::string(argv[1])).c_str());
  if (argc - 2 != member->argCount)
    return UsageError("userdb", (std::string(member->name) + " takes " + std::to_string(member->argCount) +
                                 " number(s)")
                                    .c_str());
  DWORD args[5] = {0};
  for (int i = 0; i < member->argCount; ++i)
    if (!ParseNumber(argv[2 + i], &args[i]))
      return UsageError("userdb", "arguments are 32-bit numbers (decimal or 0x hexadecimal)");

  CUserDbLink link;
  Record record;
  if (member->takesRecord) printf("  record field at byte 40 before the call: %g\n", record.Field());
  DWORD result = member->call(link, args, record);
  printf("%s: result %lu\n", member->name, static_cast<unsigned long>(result));
  PrintWhatTheStandinReceived(link.GetModule());
  if (member->takesRecord) printf("  record field at byte 40 after the call: %g\n", record.Field());
  return result != 0 ? kExitOk : kExitFailed;
}

int RunUserDb(int argc, char** argv) {
  if (argc < 1) return UsageError("userdb", "expects available or call");
  if (strcmp(argv[0], "available") == 0) return RunAvailable(argc);
  if (strcmp(argv[0], "call") == 0) return RunCall(argc, argv);
  return UsageError("userdb", "unknown action (available or call)");
}

const HostCommand userdbCommand(
    "userdb", "load the user database library or call one of its entry points",
    "usage: ldhost userdb available\n"
    "       ldhost userdb call NAME [ARGS...]\n\n"
    "The binding loads LDUSERDB.DLL from the program directory (ProgramDir of\n"
    "the product key).\n\n"
    "  available  prints the library's path and whether it loads (exit code 1\n"
    "             when it does not); never shows a box\n"
    "  call       calls the member NAME (GetReportCount, MoveReports, ...) with\n"
    "             ARGS, 32-bit numbers, as many as the member takes, and prints\n"
    "             its result (exit code 1 for the result 0, which also stands\n"
    "             for an entry point that could not be bound). The add and\n"
    "             store members (AddFavoriteSearch, AddWorkInProgress,\n"
    "             AddSearchHistory, StoreReport) take VALUE RESET and pass a\n"
    "             record of this command whose 64-bit field at byte 40 holds\n"
    "             12.5; RESET 1 has the binding zero it first.\n\n"
    "When the library cannot be loaded, call shows the loader's box.\n"
    "With the stand-in library, call also prints what the library received.\n",
    RunUserDb);

}  // namespace
