// A second process for the log's tests: opens a log on a file that other
// processes log to as well, waits until all of them are ready, then writes
// its entries.
//
//   log_writer DIRECTORY TAG ENTRIES READY_EVENT GO_EVENT
//
// Writes ENTRIES entries "P<TAG> entry <n> <filler>\n", alternately with
// Write and WriteFormat, after setting READY_EVENT and waiting for GO_EVENT
// (both named events), then ends the log. Exit code 0, or 2 on bad arguments
// and 3 when the go signal never came.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "frame/CLogFile.h"

namespace {

const char kFiller[] = "the quick brown fox jumps over the lazy dog";

bool SignalReadyAndWait(const char* readyName, const char* goName) {
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
  HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, goName);
  bool bGo = ready != NULL && go != NULL && SetEvent(ready) && WaitForSingleObject(go, 60000) == WAIT_OBJECT_0;
  if (ready != NULL) CloseHandle(ready);
  if (go != NULL) CloseHandle(go);
  return bGo;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    fprintf(stderr, "usage: log_writer DIRECTORY TAG ENTRIES READY_EVENT GO_EVENT\n");
    return 2;
  }
  const char* tag = argv[2];
  int entries = atoi(argv[3]);
  CLogFile log("Lodestar.log", argv[1]);
  log.StartAtLevel(1);
  if (!SignalReadyAndWait(argv[4], argv[5])) return 3;
  for (int i = 0; i < entries; ++i) {
    if (i % 2 == 0) {
      char text[128];
      snprintf(text, sizeof text, "P%s entry %d %s\n", tag, i, kFiller);
      log.Write(text);
    } else {
      log.WriteFormat("P%s entry %d %s\n", tag, i, kFiller);
    }
  }
  log.End();
  return 0;
}
