// A subcommand of the host tool. Each command file defines one static
// HostCommand object; constructing it registers the command.
#pragma once

#include <afx.h>

enum HostExitCode {
  kExitOk = 0,
  kExitFailed = 1,  // the library reported a failure
  kExitUsage = 2,   // bad command line
};

class HostCommand {
 public:
  typedef int (*RunFunction)(int argc, char** argv);

  // name: the subcommand word; synopsis: one line for the overview;
  // help: the full text for "ldhost NAME --help"; run receives the
  // arguments after the subcommand word.
  HostCommand(const char* name, const char* synopsis, const char* help, RunFunction run);

  const char* Name() const { return m_name; }
  const char* Synopsis() const { return m_synopsis; }
  const char* Help() const { return m_help; }
  int Run(int argc, char** argv) const { return m_run(argc, argv); }

  // The registered commands, in the order they registered (at most
  // kMaxCommands).
  enum { kMaxCommands = 64 };
  static int Count();
  static const HostCommand* At(int index);
  static const HostCommand* Find(const char* name);

 private:
  const char* m_name;
  const char* m_synopsis;
  const char* m_help;
  RunFunction m_run;
};

// Prints "ldhost NAME: message" to standard error and returns kExitUsage.
int UsageError(const char* command, const char* message);
// The usage errors every command shares: "unknown option OPTION" and
// "OPTION needs a value".
int UnknownOption(const char* command, const char* option);
int MissingValue(const char* command, const char* option);

// Prints "ldhost NAME: message" to standard error and returns kExitFailed.
int Failure(const char* command, const char* message);

// True when argv holds "--help" or "-h" before any "--".
bool WantsHelp(int argc, char** argv);

// Appends the whole file, byte for byte, to bytes; false when it cannot be
// read (a directory cannot), with the reason in why when given.
bool ReadWholeFile(const char* path, CString& bytes, CString* why = NULL);

// Appends count bytes to text (which may hold zero bytes).
void AppendBytes(CString& text, const char* bytes, int count);
