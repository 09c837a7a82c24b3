#include "HostCommand.h"

#include <errno.h>
#include <io.h>
#include <stdio.h>
#include <string.h>

#include "FileProblem.h"

namespace {

// Commands register while static objects are built, before main; a
// zero-initialised array needs no construction of its own first.
const HostCommand* g_commands[HostCommand::kMaxCommands];
int g_commandCount;

// The most bytes a CString holds.
const long long kMaxBytes = 0x7FFFFFF0;

}  // namespace

HostCommand::HostCommand(const char* name, const char* synopsis, const char* help, RunFunction run)
    : m_name(name), m_synopsis(synopsis), m_help(help), m_run(run) {
  if (g_commandCount < HostCommand::kMaxCommands) g_commands[g_commandCount++] = this;
}

int HostCommand::Count() { return g_commandCount; }

const HostCommand* HostCommand::At(int index) { return g_commands[index]; }

const HostCommand* HostCommand::Find(const char* name) {
  for (int i = 0; i < g_commandCount; ++i)
    if (strcmp(g_commands[i]->Name(), name) == 0) return g_commands[i];
  return NULL;
}

int UsageError(const char* command, const char* message) {
  fprintf(stderr, "ldhost %s: %s\n", command, message);
  fprintf(stderr, "Try 'ldhost %s --help'.\n", command);
  return kExitUsage;
}

int UnknownOption(const char* command, const char* option) {
  return UsageError(command, CString("unknown option ") + option);
}

int MissingValue(const char* command, const char* option) {
  return UsageError(command, CString(option) + " needs a value");
}

int Failure(const char* command, const char* message) {
  fprintf(stderr, "ldhost %s: %s\n", command, message);
  return kExitFailed;
}

bool WantsHelp(int argc, char** argv) {
  for (int i = 0; i < argc && strcmp(argv[i], "--") != 0; ++i)  // "--" ends the options
    if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return true;
  return false;
}

void AppendBytes(CString& text, const char* bytes, int count) {
  if (count <= 0) return;
  // Appending a CString leaves room for more, so many appends do not copy
  // the whole text each time.
  text += CString(bytes, count);
}

bool ReadWholeFile(const char* path, CString& bytes, CString* why) {
  FILE* file = fopen(path, "rb");
  if (!file) {
    if (why) *why = WhyNotReadable(path);
    if (why && why->IsEmpty()) *why = strerror(errno);
    return false;
  }
  const long long size = _filelengthi64(_fileno(file));
  if (size > kMaxBytes - bytes.GetLength()) {
    if (why) *why = "it is too large";
    fclose(file);
    return false;
  }
  const int length = bytes.GetLength();
  if (size > 0) {
    bytes.GetBuffer(length + static_cast<int>(size));  // room for the whole file at once
    bytes.ReleaseBuffer(length);
  }
  char buffer[65536];
  size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) AppendBytes(bytes, buffer, static_cast<int>(read));
  bool ok = !ferror(file);
  if (!ok && why) *why = strerror(errno);
  fclose(file);
  return ok;
}
