#include "HostCommand.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "FileProblem.h"

static std::vector<const HostCommand*>& Registry() {
  static std::vector<const HostCommand*> commands;
  return commands;
}

HostCommand::HostCommand(const char* name, const char* synopsis, const char* help, RunFunction run)
    : m_name(name), m_synopsis(synopsis), m_help(help), m_run(run) {
  Registry().push_back(this);
}

const std::vector<const HostCommand*>& HostCommand::All() { return Registry(); }

const HostCommand* HostCommand::Find(const char* name) {
  for (const HostCommand* command : Registry())
    if (strcmp(command->Name(), name) == 0) return command;
  return nullptr;
}

int UsageError(const char* command, const char* message) {
  fprintf(stderr, "ldhost %s: %s\n", command, message);
  fprintf(stderr, "Try 'ldhost %s --help'.\n", command);
  return kExitUsage;
}

int UnknownOption(const char* command, const char* option) {
  return UsageError(command, ("unknown option " + std::string(option)).c_str());
}

int MissingValue(const char* command, const char* option) {
  return UsageError(command, (std::string(option) + " needs a value").c_str());
}

int Failure(const char* command, const std::string& message) {
  fprintf(stderr, "ldhost %s: %s\n", command, message.c_str());
  return kExitFailed;
}

bool WantsHelp(int argc, char** argv) {
  for (int i = 0; i < argc; ++i)
    if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return true;
  return false;
}

bool ReadWholeFile(const char* path, std::string& bytes, std::string* why) {
  FILE* file = fopen(path, "rb");
  if (!file) {
    if (why) *why = WhyNotReadable(path);
    if (why && why->empty()) *why = strerror(errno);
    return false;
  }
  char buffer[65536];
  size_t read;
  while ((read = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
  bool ok = !ferror(file);
  if (!ok && why) *why = strerror(errno);
  fclose(file);
  return ok;
}
