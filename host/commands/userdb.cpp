// Commands of the user database binding: whether LDUSERDB.DLL loads, and
// one call of a forwarding member. With the stand-in library, what the
// library received is printed as well.
#include <afxwin.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "HostArguments.h"
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

typedef CUserDbLink L;

// One member of the binding: its name, how many numbers it takes from the
// command line, and the call itself.
struct Member {
  const char* name;
  int argCount;  // numbers on the command line
  bool takesRecord;
  DWORD (*call)(CUserDbLink& link, const DWORD* args, Record& record);
};

template <typename... Args>
constexpr int Arity(DWORD (L::*)(Args...)) {
  return sizeof...(Args);
}

DWORD Apply(L& link, DWORD (L::*member)(DWORD), const DWORD* a) { return (link.*member)(a[0]); }
DWORD Apply(L& link, DWORD (L::*member)(DWORD, DWORD), const DWORD* a) { return (link.*member)(a[0], a[1]); }
DWORD Apply(L& link, DWORD (L::*member)(DWORD, DWORD, DWORD), const DWORD* a) {
  return (link.*member)(a[0], a[1], a[2]);
}
DWORD Apply(L& link, DWORD (L::*member)(DWORD, DWORD, DWORD, DWORD), const DWORD* a) {
  return (link.*member)(a[0], a[1], a[2], a[3]);
}
DWORD Apply(L& link, DWORD (L::*member)(DWORD, DWORD, DWORD, DWORD, DWORD), const DWORD* a) {
  return (link.*member)(a[0], a[1], a[2], a[3], a[4]);
}

template <auto kMember>
DWORD CallPlain(L& link, const DWORD* args, Record&) {
  return Apply(link, kMember, args);
}

// The add and store members take the command's record, a value and the
// reset flag.
template <DWORD (L::*kMember)(void*, DWORD, BOOL)>
DWORD CallWithRecord(L& link, const DWORD* args, Record& record) {
  return (link.*kMember)(&record, args[0], static_cast<BOOL>(args[1]));
}

#define PLAIN(name) {#name, Arity(&L::name), false, CallPlain<&L::name>}
#define WITH_RECORD(name) {#name, 2, true, CallWithRecord<&L::name>}

const Member kMembers[] = {
    WITH_RECORD(AddFavoriteSearch),
    PLAIN(RenameFavoriteSearch),
    WITH_RECORD(AddWorkInProgress),
    PLAIN(EmptyHistory),
    WITH_RECORD(AddSearchHistory),
    PLAIN(UpdateSearchHistory),
    WITH_RECORD(StoreReport),
    PLAIN(SelectFolder),
    PLAIN(GetReportCount),
    PLAIN(GetWIPCount),
    PLAIN(GetFavoriteCount),
    PLAIN(MoveReports),
    PLAIN(MarkReports),
    PLAIN(MarkReport),
    PLAIN(DeleteReports),
    PLAIN(GetReportStats),
    PLAIN(GetReports),
    PLAIN(ReleaseReports),
    PLAIN(DeleteTrash),
    PLAIN(FixFolderTotals),
    PLAIN(RemoveDeadWIPs),
    PLAIN(RenameRptFolder),
    PLAIN(AddRptFolder),
    PLAIN(DeleteRptFolder),
    PLAIN(MoveRptFolder),
    PLAIN(GetReportFldrs),
    PLAIN(ReleaseRptFldrs),
    PLAIN(GetReportList),
    PLAIN(GetFavSearchItems),
    PLAIN(ReleaseFavSearchItems),
    PLAIN(DeleteFavSearch),
    PLAIN(GetFavSearch),
    PLAIN(GetWIPItems),
    PLAIN(ReleaseWIPItems),
    PLAIN(DeleteWIP),
    PLAIN(GetWIP),
    PLAIN(GetHistSearchItems),
    PLAIN(ReleaseHistSearchItems),
    PLAIN(DeleteSearchHistory),
    PLAIN(GetSearchHistory),
    PLAIN(GetMonItemStats),
    PLAIN(GetMonItemStatsAll),
    PLAIN(ViewItemReports),
    PLAIN(DisplayMonReports),
    PLAIN(RenameWIPSearch),
};

#undef PLAIN
#undef WITH_RECORD

const Member* FindMember(const char* name) {
  for (size_t i = 0; i < sizeof kMembers / sizeof kMembers[0]; ++i)
    if (_stricmp(kMembers[i].name, name) == 0) return &kMembers[i];
  return NULL;
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
  if (count == NULL || get == NULL || count() == 0 || !get(count() - 1, &call)) return;
  printf("the stand-in received: \"%s\"(", call.entryPoint);
  for (int i = 0; i < call.argCount; ++i)
    if (i == 0 && call.hasRecordField)
      printf("record at 0x%llx", static_cast<unsigned long long>(call.args[i]));
    else
      printf("%s%llu", i > 0 ? ", " : "", static_cast<unsigned long long>(call.args[i]));
  printf(")\n");
  if (call.hasRecordField) printf("  record field at byte 40 as received: %g\n", call.recordField);
}

int RunAvailable(const HostArguments& args) {
  if (args.OperandCount() != 1) return UsageError("userdb", "available takes no further arguments");
  CUserDbLink link;
  CString path;
  link.GetLibraryPath(path);
  printf("library: %s\n", path.IsEmpty() ? "(none: the program directory is not set)" : static_cast<LPCSTR>(path));
  BOOL available = link.IsAvailable();
  printf("available: %s\n", available ? "yes" : "no");
  return available ? kExitOk : kExitFailed;
}

int RunCall(const HostArguments& args) {
  if (args.OperandCount() < 2) return UsageError("userdb", "call expects NAME [ARGS...]");
  const Member* member = FindMember(args.Operand(1));
  if (member == NULL) return UsageError("userdb", CString("no member named ") + args.Operand(1));
  if (args.OperandCount() - 2 != member->argCount) {
    CString message;
    message.Format("%s takes %d number(s)", member->name, member->argCount);
    return UsageError("userdb", message);
  }
  DWORD numbers[5] = {0};
  for (int i = 0; i < member->argCount; ++i)
    if (!HostArguments::ParseNumber(args.Operand(2 + i), 0, 0xFFFFFFFF, &numbers[i]))
      return UsageError("userdb", "arguments are numbers from 0 to 4294967295 (decimal or 0x hexadecimal)");

  CUserDbLink link;
  Record record;
  if (member->takesRecord) printf("  record field at byte 40 before the call: %g\n", record.Field());
  DWORD result = member->call(link, numbers, record);
  printf("%s: result %lu\n", member->name, static_cast<unsigned long>(result));
  PrintWhatTheStandinReceived(link.GetModule());
  if (member->takesRecord) printf("  record field at byte 40 after the call: %g\n", record.Field());
  return result != 0 ? kExitOk : kExitFailed;
}

int RunUserDb(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("userdb", argc, argv)) return kExitUsage;
  if (args.OperandCount() < 1) return UsageError("userdb", "expects available or call");
  if (strcmp(args.Operand(0), "available") == 0) return RunAvailable(args);
  if (strcmp(args.Operand(0), "call") == 0) return RunCall(args);
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
