// Commands of the concurrency subsystem: the worker thread, the
// process-wide critical section and the values shared between processes.
#include <afxwin.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "HostArguments.h"
#include "HostCommand.h"
#include "sync/CProcCritSec.h"
#include "sync/CProcCritSecGuard.h"
#include "sync/CProcCritSecHost.h"
#include "sync/CVolatileStore.h"
#include "sync/TThread.h"

namespace {

const char* StatusName(int status) {
  static const char* const names[] = {"Created", "Running", "Suspended", "Finished", "Invalid"};
  return status >= 0 && status <= TThread::Invalid ? names[status] : "unknown";
}

// --- thread -----------------------------------------------------------------

class CCountingThread : public TThread {
 public:
  CCountingThread() : TThread(THREAD_PRIORITY_NORMAL, NULL), m_nCount(0) {}
  UINT Run() override {
    while (!IsStopRequested()) {
      InterlockedIncrement(&m_nCount);
      Sleep(1);
    }
    return kStoppedExitCode;
  }
  static constexpr UINT kStoppedExitCode = 0;
  volatile LONG m_nCount;
};

const HostOption kThreadOptions[] = {
    NumberOption("--timeout", 0, 600000, "milliseconds"),
};

int RunThread(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("thread", kThreadOptions, argc, argv)) return kExitUsage;
  if (args.OperandCount() > 0) return UsageError("thread", CString("unexpected argument ") + args.Operand(0));
  const long timeoutMs = static_cast<long>(args.Number("--timeout", 5000));
  CCountingThread worker;
  int previous = worker.Start();
  printf("start: previous suspend count %d, status %s\n", previous, StatusName(worker.GetStatus()));
  if (previous < 0) {
    fprintf(stderr, "ldhost thread: the worker thread could not be started\n");
    return kExitFailed;
  }
  while (worker.m_nCount == 0) Sleep(1);  // counting
  for (int round = 1; round <= 2; ++round) {
    previous = worker.Suspend();
    printf("suspend %d: previous suspend count %d, status %s\n", round, previous, StatusName(worker.GetStatus()));
  }
  BOOL ended = worker.End(static_cast<DWORD>(timeoutMs));
  printf("end within %ld ms: %s, status %s\n", timeoutMs, ended ? "ended" : "still running",
         StatusName(worker.GetStatus()));
  if (!ended) {
    fprintf(stderr, "ldhost thread: the worker did not end within %ld ms\n", timeoutMs);
    return kExitFailed;
  }
  DWORD exitCode = 0;
  worker.GetExitCode(&exitCode);
  printf("exit code %lu (the worker stopped on request)\n", exitCode);
  return kExitOk;
}

// --- critsec ----------------------------------------------------------------

const DWORD kMaxThreads = 64;

struct CritSecRun {
  long rounds;
  volatile LONG inside;
  volatile LONG mostInside;
  volatile LONG entries;
};

DWORD WINAPI CritSecWorker(LPVOID param) {
  CritSecRun* run = static_cast<CritSecRun*>(param);
  CProcCritSec section;  // one client object per thread, as modules have
  for (long round = 0; round < run->rounds; ++round) {
    CProcCritSecGuard guard(&section, "CritSecWorker");
    if (!guard.Enter()) continue;
    LONG now = InterlockedIncrement(&run->inside);
    if (now > run->mostInside) InterlockedExchange(&run->mostInside, now);
    InterlockedIncrement(&run->entries);
    Sleep(0);
    InterlockedDecrement(&run->inside);
  }
  return 0;
}

void ShowReentry() {
  CProcCritSec section;
  BOOL outer = section.Enter();
  printf("re-entry: first Enter %d\n", outer);
  BOOL nested = section.Enter();
  printf("re-entry: second Enter through the same object %d, entries still counted %d\n", nested,
         section.m_nCount);
  CProcCritSecGuard guard(&section, "ShowReentry");
  BOOL guarded = guard.Enter();
  printf("re-entry: guard of ShowReentry Enter %d, entries still counted %d\n", guarded, section.m_nCount);
  section.Leave();
}

const HostOption kCritSecOptions[] = {
    NumberOption("--threads", 1, kMaxThreads),
    NumberOption("--rounds", 1, 1000000),
    FlagOption("--reentry"),
};

int RunCritSec(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("critsec", kCritSecOptions, argc, argv)) return kExitUsage;
  if (args.OperandCount() > 0) return UsageError("critsec", CString("unexpected argument ") + args.Operand(0));
  const long threads = static_cast<long>(args.Number("--threads", 4));
  const long rounds = static_cast<long>(args.Number("--rounds", 200));
  const bool reentry = args.Has("--reentry");
  CProcCritSecHost host;
  if (!host.Init()) {
    fprintf(stderr, "ldhost critsec: the section could not be published\n");
    return kExitFailed;
  }
  printf("published the process's critical section\n");

  CritSecRun run = {rounds, 0, 0, 0};
  HANDLE handles[kMaxThreads];
  long started = 0;
  for (long i = 0; i < threads; ++i) {
    HANDLE thread = CreateThread(NULL, 0, CritSecWorker, &run, 0, NULL);
    if (thread != NULL) handles[started++] = thread;
  }
  for (long i = 0; i < started; ++i) {
    WaitForSingleObject(handles[i], INFINITE);
    CloseHandle(handles[i]);
  }
  long expected = started * rounds;
  printf("%ld threads x %ld rounds through their own client objects and guards: %ld entries, at most %ld inside at once\n",
         started, rounds, static_cast<long>(run.entries), static_cast<long>(run.mostInside));
  if (reentry) ShowReentry();
  if (run.entries != expected || run.mostInside != 1) {
    fprintf(stderr, "ldhost critsec: the section did not keep the threads apart\n");
    return kExitFailed;
  }
  return kExitOk;
}

// --- volatile ---------------------------------------------------------------

int VolatileSet(const HostArguments& args) {
  if (args.OperandCount() != 3) return UsageError("volatile", "set expects NAME and TEXT");
  const char* const operands[2] = {args.Operand(1), args.Operand(2)};
  const long holdSeconds = static_cast<long>(args.Number("--hold", 0));
  CVolatileStore store(operands[0]);
  if (!store.Register()) {
    fprintf(stderr, "ldhost volatile: could not register for %s\n", operands[0]);
    return kExitFailed;
  }
  if (!store.Set(operands[1])) {
    fprintf(stderr, "ldhost volatile: the value of %s was refused (at most %d characters, not empty)\n", operands[0],
            CVolatileStore::kMaxValueLength);
    return kExitFailed;
  }
  printf("%s = %s\n", operands[0], operands[1]);
  if (holdSeconds > 0) {
    printf("holding the registration for %ld s\n", holdSeconds);
    fflush(stdout);
    Sleep(static_cast<DWORD>(holdSeconds) * 1000);
  }
  return kExitOk;
}

int VolatileGet(const char* name) {
  CVolatileStore store(name);
  CString value;
  if (!store.Get(value)) {
    fprintf(stderr, "ldhost volatile: the value of %s could not be read\n", name);
    return kExitFailed;
  }
  printf("%s = %s\n", name, static_cast<LPCSTR>(value));
  return kExitOk;
}

// Withdraws one reference of a registration that another process left.
int VolatileUnregister(const char* name) {
  CVolatileStore store(name);
  store.m_atomReg = GlobalFindAtomA(store.m_strRegName);
  if (store.m_atomReg == 0) {
    fprintf(stderr, "ldhost volatile: no registration for %s\n", name);
    return kExitFailed;
  }
  store.Unregister();
  printf("%s: one registration withdrawn%s\n", name,
         GlobalFindAtomA(store.m_strRegName) == 0 ? ", none left" : ", others remain");
  return kExitOk;
}

const HostOption kVolatileOptions[] = {
    NumberOption("--hold", 0, 86400, "seconds"),
};

int RunVolatile(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("volatile", kVolatileOptions, argc, argv)) return kExitUsage;
  if (args.OperandCount() < 1) return UsageError("volatile", "expects set, get or unregister");
  CString action = args.Operand(0);
  if (action != "set" && action != "get" && action != "unregister")
    return UsageError("volatile", "unknown action '" + action + "' (set, get or unregister)");
  if (action != "set" && args.Has("--hold")) return UsageError("volatile", "--hold goes with set");
  if (action != "set" && args.OperandCount() != 2) return UsageError("volatile", action + " expects NAME");
  // The store would take an empty name as one more value ("LdVltlOpt_"
  // and so on); it is far likelier a name left out by mistake.
  if (args.OperandCount() >= 2 && *args.Operand(1) == '\0') return UsageError("volatile", "NAME must not be empty");
  if (action == "set") return VolatileSet(args);
  return action == "get" ? VolatileGet(args.Operand(1)) : VolatileUnregister(args.Operand(1));
}

const HostCommand threadCommand(
    "thread", "run a worker thread through its life cycle",
    "usage: ldhost thread [--timeout MS]\n\n"
    "Starts a worker thread that counts until it is asked to stop, suspends\n"
    "it twice, then ends it (End resumes it and waits up to MS milliseconds,\n"
    "5000 by default). Prints each step's result and status, and the exit code.\n"
    "Exit code 1 when the thread cannot be started or does not end in time.\n",
    RunThread);

const HostCommand critsecCommand(
    "critsec", "share one critical section between threads",
    "usage: ldhost critsec [--threads N] [--rounds R] [--reentry]\n\n"
    "Publishes this process's critical section, then runs N threads (4 by\n"
    "default) that each enter it R times (200 by default) through a client\n"
    "object and a guard of their own, and reports how many were inside at\n"
    "once. With --reentry one thread then enters twice through one client\n"
    "object and once more through a guard, which shows two message boxes\n"
    "(use 'ldhost --answer ok critsec --reentry' for an unattended run).\n"
    "Exit code 1 when the section cannot be published or two threads were\n"
    "inside at once.\n",
    RunCritSec);

const HostCommand volatileCommand(
    "volatile", "share a text value between processes",
    "usage: ldhost volatile set NAME TEXT [--hold SECONDS]\n"
    "       ldhost volatile get NAME\n"
    "       ldhost volatile unregister NAME\n\n"
    "set registers for the value NAME (not empty) and sets it to TEXT (at\n"
    "most 255 characters); with --hold the registration and the process stay\n"
    "that long, so other processes may set the value meanwhile. The value\n"
    "stays readable after the process ends, until the user logs off.\n"
    "get prints the value (empty when none was set).\n"
    "unregister withdraws one registration that another process left.\n"
    "Exit code 1 when the value is refused, cannot be read, or there is no\n"
    "registration to withdraw.\n",
    RunVolatile);

}  // namespace
