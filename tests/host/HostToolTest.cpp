// The host tool run as a separate process: what it reports must match what
// reached the files and the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "TestProgram.h"

namespace {

// The host tool's run: standard output and standard error together.
ProgramRun RunHost(const std::string& arguments) { return RunTestProgram("ldhost.exe", arguments, true); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The system's text for an error as the host tool quotes it: without its
// line end and final full stop, followed by the number.
std::string SystemText(DWORD error) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, NULL);
  std::string message = length > 0 ? std::string(text, length) : "";
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == '.' ||
                              message.back() == ' '))
    message.pop_back();
  return message + " (error " + std::to_string(error) + ")";
}

std::string WindowsDir() {
  char dir[MAX_PATH];
  UINT length = GetWindowsDirectoryA(dir, MAX_PATH);
  std::string path(dir, length);
  return path.back() == '\\' ? path : path + "\\";
}

// Each failing call of the host tool: its exit code, and that its message
// names the path that failed and why.
TEST(HostErrorTest, FailuresNameThePathAndTheReason) {
  ScratchDir dir("ldx-host-errors-");
  const std::string page = dir / "page.html";
  const std::string folder = dir / "folder";
  const std::string missing = dir / "missing.html";
  const std::string missingFolder = dir / "no such folder";
  ScratchDir::WriteFile(page, "<p>text</p>");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
  ScratchDir::WriteFile(dir / "settings.ini", "[S]\r\nMain=" + folder + "\r\nLog=1\r\n");
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Lodestar.log").c_str(), NULL));
  const std::string isDirectory = "it is a directory";
  const std::string noFolder = "the folder " + missingFolder + " does not exist";

  struct Case {
    std::string arguments;
    std::vector<std::string> message;  // parts the message holds
  };
  const Case cases[] = {
      {"load \"" + dir / "nolib.dll" + "\"", {dir / "nolib.dll", "did not load: " + SystemText(ERROR_MOD_NOT_FOUND)}},
      {"tokens \"" + missing + "\"", {"cannot read " + missing + ": " + SystemText(ERROR_FILE_NOT_FOUND)}},
      {"tokens \"" + folder + "\"", {"cannot read " + folder + ": " + isDirectory}},
      {"expand \"" + missing + "\"", {"cannot read " + missing + ": " + SystemText(ERROR_FILE_NOT_FOUND)}},
      {"expand \"" + page + "\" --out \"" + folder + "\"", {"cannot create " + folder + ": " + isDirectory}},
      {"expand \"" + page + "\" --out \"" + missingFolder + "\\out.txt\"",
       {"cannot create " + missingFolder + "\\out.txt: " + noFolder}},
      {"mirror \"" + missing + "\" \"" + dir / "out.txt" + "\"",
       {"cannot read the source " + missing + ": " + SystemText(ERROR_FILE_NOT_FOUND)}},
      {"mirror \"" + folder + "\" \"" + dir / "out.txt" + "\"", {"cannot read the source " + folder + ": " + isDirectory}},
      {"mirror \"" + page + "\" \"" + folder + "\"", {"cannot write the output " + folder + ": " + isDirectory}},
      {"mirror \"" + page + "\" \"" + missingFolder + "\\out.txt\"",
       {"cannot write the output " + missingFolder + "\\out.txt: " + noFolder}},
      {"mirror \"" + page + "\" \"" + page + "\"", {"the output " + page + " is the source itself"}},
      {"log \"" + folder + "\" S", {"cannot read the settings file " + folder + ": " + isDirectory}},
      {"log \"" + missing + "\" S", {"cannot read the settings file " + missing + ": " + SystemText(ERROR_FILE_NOT_FOUND)}},
      {"log \"" + dir / "settings.ini" + "\" S entry",
       {"the entries did not arrive in " + folder + "\\Lodestar.log: " + isDirectory}},
      {"settings set --ini \"" + folder + "\" S name value", {"of " + folder + ": " + isDirectory}},
      {"settings set --ini \"" + missingFolder + "\\x.ini\" S name value",
       {"of " + missingFolder + "\\x.ini: " + noFolder}},
      {"settings set --ini \"" + dir / "x.ini" + "\" S a=b value", {"of " + dir / "x.ini" + ": an INI name cannot hold '='"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    ProgramRun run = RunHost(c.arguments);
    EXPECT_EQ(1u, run.exitCode) << run.output;
    for (const std::string& part : c.message) EXPECT_TRUE(Contains(run.output, part)) << run.output;
  }
  // The failed mirrors left no output behind and the source as it was.
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "out.txt").c_str()));
  EXPECT_EQ("<p>text</p>", ScratchDir::ReadFile(page));
}

// Usage errors exit with 2 and go to standard error only, with what was
// wrong: an unknown option is not taken for a command, a missing option value
// is named, and a proxy server must be HOST:PORT as the help says.
TEST(HostErrorTest, UsageErrorsSayWhatIsWrongOnStandardError) {
  const std::string internetSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  RegistrySandbox sandbox;
  sandbox.TrackValue(HKEY_CURRENT_USER, internetSettings, "ProxyServer");
  sandbox.TrackValue(HKEY_CURRENT_USER, internetSettings, "ProxyEnable");
  const std::string serverBefore = ReadRawString(HKEY_CURRENT_USER, internetSettings, "ProxyServer");

  struct Case {
    const char* arguments;
    const char* message;
  };
  const Case cases[] = {
      {"--frob", "ldhost: unknown option '--frob'"},
      {"frob", "ldhost: unknown command 'frob'"},
      {"--answer", "ldhost: --answer needs a button"},
      {"--answer maybe thread", "ldhost: --answer expects a button"},
      {"thread --timeout", "ldhost thread: --timeout needs a value"},
      {"thread --frob", "ldhost thread: unknown option --frob"},
      {"critsec --rounds", "ldhost critsec: --rounds needs a value"},
      {"volatile set --hold", "ldhost volatile: --hold needs a value"},
      {"tokens page.html --chunk", "ldhost tokens: --chunk needs a value"},
      {"expand page.tpl --out", "ldhost expand: --out needs a value"},
      {"settings get --ini", "ldhost settings: --ini needs a value"},
      {"proxy set nohostport", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set :8080", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set host:", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set host:0", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set host:65536", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set host:80x", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set ftp=host:21", "ldhost proxy: set expects HOST:PORT"},
      {"proxy set a:1;b:2", "ldhost proxy: set expects HOST:PORT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    ProgramRun both = RunHost(c.arguments);
    EXPECT_EQ(2u, both.exitCode) << both.output;
    EXPECT_TRUE(Contains(both.output, c.message)) << both.output;
    EXPECT_TRUE(Contains(both.output, "Try 'ldhost")) << both.output;
    EXPECT_EQ("", RunTestProgram("ldhost.exe", c.arguments, false).output);
  }
  EXPECT_EQ(serverBefore, ReadRawString(HKEY_CURRENT_USER, internetSettings, "ProxyServer"));

  // Without a command the overview is the usage error; asked for, it is
  // the output, its synopses in one column.
  ProgramRun bare = RunTestProgram("ldhost.exe", "", false);
  EXPECT_EQ(2u, bare.exitCode);
  EXPECT_EQ("", bare.output);
  ProgramRun help = RunTestProgram("ldhost.exe", "--help", false);
  EXPECT_EQ(0u, help.exitCode);
  size_t commands = help.output.find("commands:");
  ASSERT_NE(std::string::npos, commands) << help.output;
  std::vector<size_t> columns;
  size_t line = help.output.find('\n', commands) + 1;
  for (size_t end; (end = help.output.find('\n', line)) != std::string::npos && end > line + 1; line = end + 1) {
    std::string text = help.output.substr(line, end - line);
    columns.push_back(text.find_first_not_of(' ', text.find(' ', 2)));
  }
  ASSERT_GE(columns.size(), 10u) << help.output;
  for (size_t column : columns) EXPECT_EQ(columns.front(), column) << help.output;
}

// Every command reads its options through one table and one parser: the
// same words for an unknown option, a missing or empty value and a number
// out of range, whichever command it is; and what the tool would otherwise
// take as an empty name or a number out of range is refused before anything
// is written.
TEST(HostErrorTest, EveryCommandRefusesBadOptionsAndEmptyNamesAlike) {
  ScratchDir dir("ldx-host-options-");
  const std::string ini = dir / "options.ini";
  RegistrySandbox sandbox;
  sandbox.TrackValue(HKEY_CURRENT_USER, "", "ldx-host-name");

  struct Case {
    std::string arguments;
    const char* message;
  };
  const Case cases[] = {
      {"version --frob", "ldhost version: unknown option --frob"},
      {"settings get --reg --frob \\ N", "ldhost settings: unknown option --frob"},
      {"packages offer help --frob", "ldhost packages: unknown option --frob"},
      {"open http://example.com/ --wait", "ldhost open: --wait needs a value"},
      {"open http://example.com/ --wait 3601", "ldhost open: --wait expects a number of seconds from 0 to 3600"},
      {"tokens page.html --chunk 0", "ldhost tokens: --chunk expects a number of bytes from 1 to 2147483647"},
      {"expand page.tpl --width 4294967296", "ldhost expand: --width expects a number from 0 to 4294967295"},
      {"expand page.tpl --out \"\"", "ldhost expand: --out must not be empty"},
      {"thread --timeout -1", "ldhost thread: --timeout expects a number of milliseconds from 0 to 600000"},
      {"critsec --threads 65", "ldhost critsec: --threads expects a number from 1 to 64"},
      {"volatile set Q v --hold 1x", "ldhost volatile: --hold expects a number of seconds from 0 to 86400"},
      {"volatile get Q --hold 1", "ldhost volatile: --hold goes with set"},
      // Empty names and roots, and numbers out of range as operands.
      {"settings set --reg --user --root \"\" \\ ldx-host-name v", "ldhost settings: --root must not be empty"},
      {"settings set --reg --user \"\" ldx-host-name v",
       "ldhost settings: SECTION must not be empty (\"\\\" is the key itself)"},
      {"settings set --ini \"" + ini + "\" \"\" N v", "ldhost settings: SECTION must not be empty"},
      {"settings set --ini \"" + ini + "\" S \"\" v", "ldhost settings: NAME must not be empty in an INI file"},
      {"settings set --ini \"\" S N v", "ldhost settings: --ini must not be empty"},
      {"volatile set \"\" v", "ldhost volatile: NAME must not be empty"},
      {"volatile get \"\"", "ldhost volatile: NAME must not be empty"},
      {"help 4294967296", "ldhost help: the topic must be a number from 0 to 4294967295"},
      {"help -1", "ldhost help: the topic must be a number from 0 to 4294967295"},
      {"string 65536", "ldhost string: the id must be a number from 0 to 65535"},
      {"userdb call GetReportCount 4294967296",
       "ldhost userdb: arguments are numbers from 0 to 4294967295 (decimal or 0x hexadecimal)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    ProgramRun run = RunHost(c.arguments);
    EXPECT_EQ(2u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, std::string(c.message) + "\r\n")) << run.output;
  }
  EXPECT_EQ("<missing>", ReadRawString(HKEY_CURRENT_USER, "", "ldx-host-name"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ini.c_str()));

  // A value is the next argument whatever it starts with, and "--" ends
  // the options.
  ProgramRun apply = RunHost("title --apply --%s");
  EXPECT_EQ(0u, apply.exitCode) << apply.output;
  EXPECT_EQ("--", apply.output.substr(0, 2)) << apply.output;
  for (const char* word : {"--frob", "--help"}) {
    ProgramRun text = RunHost(std::string("normalize -- ") + word);
    EXPECT_EQ(0u, text.exitCode) << text.output;
    EXPECT_EQ(std::string(word) + "\r\n", text.output);
  }
}

// A bare INI file name is one of the Windows directory (where the profile
// functions look when no GlobalDataDir is set), and that is the file named.
TEST(HostErrorTest, MissingIniValueNamesTheFileActuallyRead) {
  RegistrySandbox sandbox;
  sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "GlobalDataDir");
  ProgramRun run = RunHost("settings get --ini ldx-host-missing.ini S name");
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(Contains(run.output, "of " + WindowsDir() + "ldx-host-missing.ini")) << run.output;
}

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

// --level gives the log its level from the command line, in place of the
// settings' value, which may be missing or 0.
TEST(HostLogTest, LevelFromTheCommandLineReplacesTheSettings) {
  struct Case {
    const char* settingsLevel;  // NULL: no "Log" value
    const char* level;
    DWORD exitCode;
    const char* message;
  };
  const Case cases[] = {
      {NULL, "1", 0, "1 entry at level 1"},
      {"0", "3", 0, "1 entry at level 3"},
      {"1", "0", 1, "ldhost log: level 0 writes nothing"},
      {"1", "2", 1, "level 2 has no file output"},
      {"1", "65536", 2, "--level expects a number from 0 to 65535"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("--level ") + c.level);
    ScratchDir dir("ldx-host-");
    std::string settings = dir / "settings.ini";
    WritePrivateProfileStringA("S", "Main", dir.NoSlash().c_str(), settings.c_str());
    WritePrivateProfileStringA("S", "Log", c.settingsLevel, settings.c_str());
    ProgramRun run = RunHost(std::string("log --level ") + c.level + " \"" + settings + "\" S entry");
    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, c.message)) << run.output;
    EXPECT_EQ(c.exitCode == 0, Contains(ScratchDir::ReadFile(dir / "Lodestar.log"), "]entry\r\n"));
  }
}

// test-install records an install in a folder: the product key's
// directories point into it, its folders exist, and the library's per-user
// INI settings, which write nothing without them, work. A folder that
// cannot be made leaves the key as it was.
TEST(HostInstallTest, TestInstallGivesTheLibraryItsDirectories) {
  const char* const names[] = {"ProductDir", "ProgramDir", "GlobalDataDir", "DefaultUserDataDir"};
  RegistrySandbox sandbox;
  for (const char* name : names) sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, name);
  ScratchDir dir("ldx-host-install-");
  const std::string install = dir / "my install";
  for (const char* before : {"dirs", "settings set --ini ldx-host.ini --user S name value"}) {
    ProgramRun run = RunHost(before);
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "'ldhost test-install DIR' records a test install")) << run.output;
  }

  ProgramRun run = RunHost("test-install \"" + install + "\"");
  ASSERT_EQ(0u, run.exitCode) << run.output;
  const std::string expected[] = {install + "\\", install + "\\Program\\", install + "\\Data\\",
                                  install + "\\Users\\"};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(expected[i], ReadRawString(HKEY_LOCAL_MACHINE, kProductKey, names[i]));
  EXPECT_TRUE(Contains(run.output, "user data directory " + install + "\\Users\\User1\\")) << run.output;
  for (const char* folder : {"\\Program\\Packages", "\\Data", "\\Users\\User1"}) {
    DWORD attributes = GetFileAttributesA((install + folder).c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << folder;
  }
  run = RunHost("settings set --ini ldx-host.ini --user S name value");
  EXPECT_EQ(0u, run.exitCode) << run.output;
  EXPECT_TRUE(Contains(ScratchDir::ReadFile(install + "\\Users\\User1\\ldx-host.ini"), "name=value"));

  ScratchDir::WriteFile(dir / "a file", "");
  run = RunHost("test-install \"" + dir / "a file" + "\\sub\"");
  EXPECT_EQ(1u, run.exitCode) << run.output;
  EXPECT_TRUE(Contains(run.output, "ldhost test-install: " + dir / "a file" + " is a file, not a folder")) << run.output;
  EXPECT_EQ(expected[0], ReadRawString(HKEY_LOCAL_MACHINE, kProductKey, "ProductDir"));
  EXPECT_EQ(2u, RunHost("test-install \"\"").exitCode);
}

// What proxy save wrote, proxy restore puts back exactly, whatever set,
// enable and disable changed in between, and a value that was absent is
// removed again: the machine-wide values, and the value of the dial-up
// connection that the user's settings name.
TEST(HostProxyTest, RestorePutsBackWhatSaveFound) {
  const std::string internet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  const std::string connections = internet + "\\Connections";
  const std::string dialUp = "ldx-host-dialup";
  struct Raw {
    bool present;
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const Raw& other) const {
      return present == other.present && (!present || (type == other.type && data == other.data));
    }
  };
  auto read = [](const std::string& path, const std::string& name) {
    Raw raw{false, 0, {}};
    raw.present = ReadRaw(HKEY_CURRENT_USER, path, name, &raw.type, &raw.data);
    return raw;
  };
  struct Case {
    const char* what;
    const char* server;  // NULL: no ProxyServer value
    DWORD enabled;
    bool viaDialUp;  // the user's settings choose the dial-up connection
  };
  const Case cases[] = {
      {"a server list", "http=a.example:1;ftp=b.example:2", 1, false},
      {"no server list", NULL, 0, false},
      {"a dial-up connection", "http=a.example:1", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistrySandbox sandbox;
    ScratchDir dir("ldx-host-proxy-");
    sandbox.SetStringOrRemove(HKEY_CURRENT_USER, internet, "ProxyServer", c.server);
    sandbox.SetDword(HKEY_CURRENT_USER, internet, "ProxyEnable", c.enabled);
    sandbox.SetString(HKEY_LOCAL_MACHINE, kProductKey, "DefaultUserDataDir", dir.NoSlash());
    sandbox.TrackKey(HKEY_CURRENT_USER, connections);
    sandbox.TrackValue(HKEY_CURRENT_USER, connections, dialUp);
    ASSERT_TRUE(CreateDirectoryA((dir / "User1").c_str(), NULL));
    ScratchDir::WriteFile(dir / "User1\\ldglobal.ini", std::string("[Connection Options]\r\nModemEnabled=") +
                                                           (c.viaDialUp ? "1" : "0") + "\r\nModemProfile=" + dialUp +
                                                           "\r\n");
    // Flags 3, then the list "p.example:9" of 11 bytes.
    const BYTE connection[] = {70, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0, 11, 0, 0, 0, 'p', '.', 'e', 'x',
                               'a', 'm', 'p', 'l', 'e', ':', '9', 7, 0, 0, 0, 0, 0, 0, 0};
    WriteRaw(HKEY_CURRENT_USER, connections, dialUp, REG_BINARY, connection, sizeof connection);
    const Raw before[] = {read(internet, "ProxyEnable"), read(internet, "ProxyServer"), read(connections, dialUp)};

    const std::string saved = dir / "proxy.txt";
    ProgramRun run = RunHost("proxy save \"" + saved + "\"");
    ASSERT_EQ(0u, run.exitCode) << run.output;
    for (const char* change : {"proxy set c.example:3", "proxy disable"}) EXPECT_EQ(0u, RunHost(change).exitCode);
    ASSERT_FALSE(before[c.viaDialUp ? 2 : 1] == read(c.viaDialUp ? connections : internet,
                                                   c.viaDialUp ? dialUp : "ProxyServer"));
    run = RunHost("proxy restore \"" + saved + "\"");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(before[0] == read(internet, "ProxyEnable"));
    EXPECT_TRUE(before[1] == read(internet, "ProxyServer"));
    EXPECT_TRUE(before[2] == read(connections, dialUp));

    // A file that save did not write changes nothing.
    RunHost("proxy set c.example:3");
    ScratchDir::WriteFile(dir / "other.txt", "ProxyEnable=4 00000000\r\n");
    const Raw changed = read(internet, "ProxyEnable");
    run = RunHost("proxy restore \"" + dir / "other.txt" + "\"");
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "it is not a file that 'ldhost proxy save' wrote")) << run.output;
    EXPECT_TRUE(changed == read(internet, "ProxyEnable"));
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
