// The second process of the concurrency tests. Reads one command per line
// from its input and answers each with one line:
//   host                  publishes a critical section: "RESULT ADDRESS"
//   enter | leave         through one client object: "RESULT ADDRESS" | "RESULT"
//   register NAME         "RESULT"  (one store object per name, kept)
//   unregister NAME       "RESULT"  (1 when the store had a registration)
//   set NAME TEXT         "RESULT"  (TEXT is the rest of the line)
//   get NAME              "RESULT|TEXT"
//   quit                  "bye", then ends
//   crash                 ends at once, without destructors or an answer
#include <stdio.h>
#include <windows.h>

#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "sync/CProcCritSec.h"
#include "sync/CProcCritSecHost.h"
#include "sync/CVolatileStore.h"

namespace {

CProcCritSecHost g_host;
CProcCritSec g_client;
std::map<std::string, std::unique_ptr<CVolatileStore>> g_stores;

CVolatileStore& Store(const std::string& name) {
  std::unique_ptr<CVolatileStore>& store = g_stores[name];
  if (!store) store.reset(new CVolatileStore(name.c_str()));
  return *store;
}

std::string Answer(const std::string& command, const std::string& name, const std::string& text) {
  char line[600];
  if (command == "host") {
    snprintf(line, sizeof line, "%d %p", g_host.Init(), static_cast<void*>(&g_host));
  } else if (command == "enter") {
    BOOL result = g_client.Enter();
    snprintf(line, sizeof line, "%d %p", result, static_cast<void*>(g_client.m_pCritSec));
  } else if (command == "leave") {
    snprintf(line, sizeof line, "%d", g_client.Leave());
  } else if (command == "register") {
    snprintf(line, sizeof line, "%d", Store(name).Register());
  } else if (command == "unregister") {
    BOOL registered = Store(name).m_atomReg != 0;
    Store(name).Unregister();
    snprintf(line, sizeof line, "%d", registered);
  } else if (command == "set") {
    snprintf(line, sizeof line, "%d", Store(name).Set(text.c_str()));
  } else if (command == "get") {
    CString value;
    BOOL result = Store(name).Get(value);
    snprintf(line, sizeof line, "%d|%s", result, static_cast<LPCSTR>(value));
  } else {
    snprintf(line, sizeof line, "unknown command %s", command.c_str());
  }
  return line;
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string command, name, text;
    words >> command >> name;
    std::getline(words >> std::ws, text);
    if (command == "crash") TerminateProcess(GetCurrentProcess(), 3);
    if (command == "quit") {
      printf("bye\n");
      fflush(stdout);
      break;
    }
    printf("%s\n", Answer(command, name, text).c_str());
    fflush(stdout);
  }
  g_stores.clear();
  return 0;
}
