// The host tool run as a separate process: what it reports must match what
// reached the files and the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "TestProgram.h"

namespace {

// The host tool's run: standard output and standard error together.
ProgramRun RunHost(const std::string& arguments) { return RunTestProgram("ldhost.exe", arguments, true); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HostLogTest, SuccessOnlyWhenTheEntriesReachedTheLog) {
  struct Case {
    const char* what;
    // Sets the log's path up; returns a handle to close after the run.
    HANDLE (*prepare)(const std::string& logPath);
    DWORD exitCode;
  };
  const Case cases[] = {
      {"a new log", [](const std::string&) { return INVALID_HANDLE_VALUE; }, 0},
      {"the log path is a directory",
       [](const std::string& log) {
         CreateDirectoryA(log.c_str(), NULL);
         return INVALID_HANDLE_VALUE;
       },
       1},
      {"a log from an earlier run, held open by another program",
       [](const std::string& log) {
         ScratchDir::WriteFile(log, "\n******************\nS Log Started : 01/01/26, 00:00:00\n"
                                    "[00000001]first entry\n[00000001]second\n"
                                    "\n******************\nS Log Ended : 01/01/26, 00:00:01\n");
         return CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
       },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir("ldx-host-");
    std::string settings = dir / "settings.ini";
    std::string log = dir / "Lodestar.log";
    WritePrivateProfileStringA("S", "Main", dir.NoSlash().c_str(), settings.c_str());
    WritePrivateProfileStringA("S", "Log", "1", settings.c_str());
    HANDLE held = c.prepare(log);
    ProgramRun run = RunHost("log \"" + settings + "\" S \"first entry\" second");
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    if (c.exitCode == 0) {
      EXPECT_TRUE(Contains(run.output, "2 entries at level 1")) << run.output;
      EXPECT_TRUE(Contains(ScratchDir::ReadFile(log), "]second\r\n"));
    } else {
      EXPECT_TRUE(Contains(run.output, "ldhost log: the entries did not arrive in " + log)) << run.output;
      EXPECT_FALSE(Contains(run.output, "entries at level")) << run.output;
    }
  }
}

TEST(HostSettingsTest, RegistryRootThatCannotBeOpenedWritesNothing) {
  const std::string good = "Software\\ldx-host-root";
  const std::string bad = "Software\\" + std::string(300, 'k');  // longer than a key name may be
  RegistrySandbox sandbox;
  sandbox.TrackKey(HKEY_CURRENT_USER, good);
  sandbox.TrackValue(HKEY_CURRENT_USER, "", "ldx-host-value");

  ProgramRun run = RunHost("settings set --reg --user --root " + bad + " \\ ldx-host-value written");
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(Contains(run.output, "ldhost settings: cannot open or create HKEY_CURRENT_USER\\" + bad)) << run.output;
  EXPECT_EQ("<missing>", ReadRawString(HKEY_CURRENT_USER, "", "ldx-host-value"));
  run = RunHost("settings get --reg --user --root " + bad + " \\ ldx-host-value");
  EXPECT_EQ(1u, run.exitCode) << run.output;

  run = RunHost("settings set --reg --user --root " + good + " \\ ldx-host-value written");
  EXPECT_EQ(0u, run.exitCode) << run.output;
  EXPECT_EQ("written", ReadRawString(HKEY_CURRENT_USER, good, "ldx-host-value"));
  EXPECT_EQ("<missing>", ReadRawString(HKEY_CURRENT_USER, "", "ldx-host-value"));
}

}  // namespace
