// The diagnostic log, on real files and real profile settings: where the file
// goes, which levels write what, the banners and entries byte for byte, and
// entries from many threads at once.
#include <gtest/gtest.h>
#include <time.h>
#include <windows.h>

#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "ExecutableDir.h"
#include "ScratchDir.h"
#include "frame/CLogFile.h"

namespace {

const char kStars[] = "******************";
// Log directories hold blanks in their paths.
const char kDirStem[] = "ldx log test ";

std::string ThreadPrefix(DWORD threadId = GetCurrentThreadId()) {
  char prefix[16];
  snprintf(prefix, sizeof prefix, "[%.8x]", static_cast<unsigned>(threadId));
  return prefix;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadBytes(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char block[65536];
  DWORD read = 0;
  while (ReadFile(file, block, sizeof block, &read, NULL) && read > 0) bytes.append(block, read);
  CloseHandle(file);
  return bytes;
}

// A settings file in its own directory; the log's file goes beside it
// unless a test says otherwise.
struct LogSettings {
  ScratchDir dir{kDirStem};
  std::string ini = dir / "log settings.ini";

  void Set(const char* section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), ini.c_str());
  }
  // Level and directory in the default section and keys.
  void Set(const std::string& level, const std::string& directory) {
    Set("DI-Lodestar", "Log", level);
    Set("DI-Lodestar", "Main", directory);
  }
  std::string LogFile() const { return dir / "Lodestar.log"; }
};

// A log reading the default section and keys from the settings file.
struct LogOn {
  CLogFile log{FALSE};
  explicit LogOn(const LogSettings& settings, const char* prefix = "") {
    log.SetLocation(settings.ini.c_str(), prefix, "Lodestar.log");
  }
};

// The banner "\n<stars>\n<section> Log <event> : <date>, <time>\n<stars>\n"
// as stored in text mode, with the run-time library's date and time.
std::string BannerPattern(const std::string& section, const std::string& event) {
  return "\r\n\\*{18}\r\n" + section + " Log " + event + " : \\d\\d/\\d\\d/\\d\\d, \\d\\d:\\d\\d:\\d\\d\r\n\\*{18}\r\n";
}

std::string EscapeForRegex(const std::string& text) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(text, special, R"(\$&)");
}

TEST(LogFile, LevelOneWritesBannersAndThreadTaggedEntriesAsCrLfLines) {
  LogSettings settings;
  settings.Set("1", settings.dir.NoSlash());
  char dateBefore[9];
  _strdate(dateBefore);
  {
    LogOn on(settings);
    on.log.Start();
    on.log.Write("abc\n");
    on.log.WriteFormat("%s=%d %.8x|\n", "count", 42, 0x1a4u);
    on.log.WriteRaw("raw");
    on.log.Write("two\nlines\n");
    on.log.End();
  }
  std::string text = ReadBytes(settings.LogFile());
  std::string prefix = ThreadPrefix();
  std::string expected = BannerPattern("DI-Lodestar", "Started") + EscapeForRegex(prefix + "abc\r\n") +
                         EscapeForRegex(prefix + "count=42 000001a4|\r\n") + "raw" +
                         EscapeForRegex(prefix + "two\r\nlines\r\n") + BannerPattern("DI-Lodestar", "Ended");
  EXPECT_TRUE(std::regex_match(text, std::regex(expected))) << text;

  // The date and time are the run-time library's strings of the moment.
  std::smatch started;
  ASSERT_TRUE(std::regex_search(text, started, std::regex("Started : (\\S+),")));
  char dateAfter[9];
  _strdate(dateAfter);
  EXPECT_TRUE(started[1] == dateBefore || started[1] == dateAfter) << started[1];
}

TEST(LogFile, LevelsDecideWhatIsEnabledAndWhetherAFileIsWritten) {
  struct Case {
    const char* level;
    BOOL enabled, file, extra;
  } cases[] = {
      {"", 0, 0, 0},       {"0", 0, 0, 0},     {"1", 1, 1, 0},         {"2", 1, 0, 1},
      {"3", 1, 1, 1},      {"65536", 0, 0, 0},  {"65537", 1, 1, 0},     {"-1", 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("level \"") + c.level + "\"");
    LogSettings settings;
    settings.Set(c.level, settings.dir.NoSlash());
    LogOn on(settings);
    on.log.Start();
    EXPECT_EQ(on.log.IsEnabled(), c.enabled);
    EXPECT_EQ(on.log.IsFileEnabled(), c.file);
    EXPECT_EQ(on.log.IsExtraEnabled(), c.extra);
    on.log.Write("entry\n");
    on.log.WriteFormat("entry %d\n", 2);
    on.log.WriteRaw("raw\n");
    on.log.End();
    std::string file = settings.LogFile();
    EXPECT_EQ(FileExists(file), c.file == TRUE);
    if (c.file) {
      EXPECT_NE(ReadBytes(file).find(ThreadPrefix() + "entry 2\r\n"), std::string::npos);
    }
  }
}

// The level given from code replaces the settings' value (even when the
// settings have none, or say 0 or 1); the directory still comes from them.
TEST(LogFile, LevelFromCodeOverridesTheSettings) {
  struct Case {
    const char* settingsLevel;
    WORD level;
    BOOL enabled, file, extra;
  } cases[] = {
      {"", 1, 1, 1, 0}, {"0", 3, 1, 1, 1}, {"1", 0, 0, 0, 0}, {"1", 2, 1, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("settings \"") + c.settingsLevel + "\", level " + std::to_string(c.level));
    LogSettings settings;
    settings.Set(c.settingsLevel, settings.dir.NoSlash());
    LogOn on(settings);
    on.log.StartAtLevel(c.level);
    EXPECT_EQ(on.log.GetLevel(), c.level);
    EXPECT_EQ(on.log.IsEnabled(), c.enabled);
    EXPECT_EQ(on.log.IsFileEnabled(), c.file);
    EXPECT_EQ(on.log.IsExtraEnabled(), c.extra);
    EXPECT_STREQ(on.log.GetLogPath(), settings.LogFile().c_str());
    on.log.Write("from code\n");
    on.log.End();
    std::string text = ReadBytes(settings.LogFile());
    EXPECT_EQ(FileExists(settings.LogFile()), c.file == TRUE);
    if (c.file) {
      EXPECT_TRUE(std::regex_match(text, std::regex(BannerPattern("DI-Lodestar", "Started") +
                                                    EscapeForRegex(ThreadPrefix() + "from code\r\n") +
                                                    BannerPattern("DI-Lodestar", "Ended"))))
          << text;
    }
  }

  // Started at a level while open: ended first, then begun anew; a later
  // Start reads the settings' level again.
  LogSettings settings;
  settings.Set("0", settings.dir.NoSlash());
  LogOn on(settings);
  on.log.StartAtLevel(1);
  on.log.Write("first\n");
  on.log.StartAtLevel(1);
  on.log.Write("second\n");
  on.log.End();
  std::string text = ReadBytes(settings.LogFile());
  EXPECT_EQ(text.find("first"), std::string::npos) << text;
  EXPECT_NE(text.find(ThreadPrefix() + "second\r\n"), std::string::npos) << text;
  on.log.Start();
  EXPECT_FALSE(on.log.IsEnabled());
}

TEST(LogFile, PathComesFromPrefixOrDirectoryValue) {
  ScratchDir logDir(kDirStem);
  std::string dirNoSlash = logDir.NoSlash();
  struct Case {
    const char* what;
    std::string directoryValue;  // "Main" in the settings
    std::string prefix;          // given to SetLocation
    std::string expectedPath;
  } cases[] = {
      {"directory value", dirNoSlash, "", logDir / "Lodestar.log"},
      {"directory value ending in a backslash", logDir.Path(), "", logDir.Path() + "\\Lodestar.log"},
      {"prefix taken as it is", "C:\\elsewhere", logDir / "run1-", logDir / "run1-Lodestar.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LogSettings settings;
    settings.Set("1", c.directoryValue);
    LogOn on(settings, c.prefix.c_str());
    // A second reading of the settings, as a host may do before Start,
    // gives the same path.
    on.log.ReadSettings();
    EXPECT_STREQ(on.log.GetLogPath(), c.expectedPath.c_str());
    on.log.Start();
    EXPECT_STREQ(on.log.GetLogPath(), c.expectedPath.c_str());
    on.log.Write("x\n");
    on.log.End();
    EXPECT_TRUE(FileExists(c.expectedPath));
    EXPECT_TRUE(DeleteFileA(c.expectedPath.c_str()));
  }
}

TEST(LogFile, WithoutDirectoryTheFileGoesToTheCurrentDirectory) {
  LogSettings settings;
  settings.Set("1", "");
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(settings.dir.Path().c_str()));
  {
    LogOn on(settings);
    on.log.Start();
    EXPECT_STREQ(on.log.GetLogPath(), "Lodestar.log");
    on.log.End();
  }
  SetCurrentDirectoryA(saved);
  EXPECT_TRUE(FileExists(settings.LogFile()));
}

TEST(LogFile, ConstructorsSetNamesAndPrefix) {
  ScratchDir logDir(kDirStem);
  std::string dirNoSlash = logDir.NoSlash();
  struct Case {
    const char* what;
    const char* directory;
    std::string expectedPath;
  } cases[] = {
      {"directory without backslash", dirNoSlash.c_str(), logDir / "named.log"},
      {"directory with backslash", logDir.Path().c_str(), logDir / "named.log"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CLogFile log("named.log", c.directory);
    EXPECT_STREQ(log.GetLogPath(), logDir.Path().c_str());
    log.ReadSettings();
    log.ReadSettings();
    EXPECT_STREQ(log.GetLogPath(), c.expectedPath.c_str());
  }
  CLogFile noDirectory("named.log", NULL);
  EXPECT_STREQ(noDirectory.GetLogPath(), "");
}

// Section, keys and file name of the four-name constructor, read from the
// system profile (no settings file given).
TEST(LogFile, NamedSectionAndKeysFromTheSystemProfile) {
  ScratchDir logDir(kDirStem);
  char section[64];
  snprintf(section, sizeof section, "LDX-Log-Test-%lu", GetCurrentProcessId());
  WriteProfileStringA(section, "Where", logDir.NoSlash().c_str());
  WriteProfileStringA(section, "Level", "1");
  {
    CLogFile log(section, "Where", "Level", "custom.log");
    log.Start();
    log.Write("hello\n");
    log.End();
  }
  WriteProfileStringA(section, NULL, NULL);
  std::string text = ReadBytes(logDir / "custom.log");
  EXPECT_TRUE(std::regex_match(text, std::regex(BannerPattern(section, "Started") +
                                                EscapeForRegex(ThreadPrefix() + "hello\r\n") +
                                                BannerPattern(section, "Ended"))))
      << text;
}

// The log started by its constructor reads the default section of the system
// profile, and only such a log is ended by its destructor.
TEST(LogFile, AutoStartedLogEndsOnDestruction) {
  ScratchDir logDir(kDirStem);
  struct Case {
    const char* level;
    bool fileExpected;
  } cases[] = {{"1", true}, {"0", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("level ") + c.level);
    WriteProfileStringA("DI-Lodestar", "Main", logDir.NoSlash().c_str());
    WriteProfileStringA("DI-Lodestar", "Log", c.level);
    {
      CLogFile log(TRUE);
      log.Write("auto\n");
    }
    WriteProfileStringA("DI-Lodestar", NULL, NULL);
    std::string path = logDir / "Lodestar.log";
    ASSERT_EQ(FileExists(path), c.fileExpected);
    if (c.fileExpected) {
      EXPECT_TRUE(std::regex_match(ReadBytes(path), std::regex(BannerPattern("DI-Lodestar", "Started") +
                                                               EscapeForRegex(ThreadPrefix() + "auto\r\n") +
                                                               BannerPattern("DI-Lodestar", "Ended"))));
      DeleteFileA(path.c_str());
    }
  }

  // A log started explicitly is not ended by its destructor.
  LogSettings settings;
  settings.Set("1", settings.dir.NoSlash());
  {
    LogOn on(settings);
    on.log.Start();
  }
  EXPECT_EQ(ReadBytes(settings.LogFile()).find("Ended"), std::string::npos);
}

TEST(LogFile, StartEmptiesTheFileAndEndStopsEntriesButNotRawText) {
  LogSettings settings;
  settings.Set("1", settings.dir.NoSlash());
  std::string file = settings.LogFile();
  {
    HANDLE old = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(old, "earlier run\r\n", 13, &written, NULL);
    CloseHandle(old);
  }
  LogOn on(settings);
  on.log.Start();
  on.log.Write("first\n");
  // Started again while open: ended first, then emptied and begun anew.
  on.log.Start();
  on.log.Write("second\n");
  on.log.End();
  on.log.End();
  on.log.Write("after end\n");
  on.log.WriteFormat("after end %d\n", 2);
  on.log.WriteRaw("raw after end\n");
  std::string prefix = ThreadPrefix();
  EXPECT_TRUE(std::regex_match(ReadBytes(file), std::regex(BannerPattern("DI-Lodestar", "Started") +
                                                           EscapeForRegex(prefix + "second\r\n") +
                                                           BannerPattern("DI-Lodestar", "Ended") +
                                                           "raw after end\r\n")))
      << ReadBytes(file);
}

TEST(LogFile, FileRemovedWhileOpenIsNotCreatedAgain) {
  LogSettings settings;
  settings.Set("1", settings.dir.NoSlash());
  std::string file = settings.LogFile();
  LogOn on(settings);
  on.log.Start();
  ASSERT_TRUE(DeleteFileA(file.c_str()));
  on.log.Write("lost\n");
  on.log.WriteFormat("lost %d\n", 2);
  on.log.End();
  EXPECT_FALSE(FileExists(file));
}

TEST(LogFile, FormattedEntriesAreCutToTheEntryBufferAndLongFormatsDropped) {
  const int kMessageRoom = CLogFile::kEntryBufferSize - 1 - 10;  // behind "[xxxxxxxx]"
  LogSettings settings;
  settings.Set("1", settings.dir.NoSlash());
  LogOn on(settings);
  on.log.Start();
  std::string file = settings.LogFile();
  size_t bannerEnd = ReadBytes(file).size();
  std::string prefix = ThreadPrefix();

  struct Case {
    const char* what;
    std::string format;
    std::string argument;
    std::string expectedEntry;  // as stored, without a following entry
  } cases[] = {
      {"expansion that just fits", "%s", std::string(kMessageRoom, 'a'), prefix + std::string(kMessageRoom, 'a')},
      {"expansion far past the buffer", "<%s>", std::string(20000, 'b'),
       prefix + "<" + std::string(kMessageRoom - 1, 'b')},
      {"format of 2,047 characters", std::string(2047, 'c'), "", prefix + std::string(2047, 'c')},
      {"format of 2,048 characters", std::string(2048, 'd'), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    on.log.WriteFormat(c.format.c_str(), c.argument.c_str());
    on.log.Write("next\n");
    std::string text = ReadBytes(file);
    EXPECT_EQ(text.substr(bannerEnd), c.expectedEntry + prefix + "next\r\n");
    bannerEnd = text.size();
  }
  on.log.End();
}

TEST(LogFile, LongSectionNamesAreCutInTheBanners) {
  struct Case {
    size_t length;
    size_t printed;
  } cases[] = {{CLogFile::kMaxBannerSection, CLogFile::kMaxBannerSection},
               {CLogFile::kMaxBannerSection + 1, CLogFile::kMaxBannerSection},
               {1000, CLogFile::kMaxBannerSection}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    ScratchDir logDir(kDirStem);
    std::string section(c.length, 'S');
    WriteProfileStringA(section.c_str(), "Main", logDir.NoSlash().c_str());
    WriteProfileStringA(section.c_str(), "Log", "1");
    {
      CLogFile log(section.c_str(), "Main", "Log", "long.log");
      log.Start();
      log.Write("entry\n");
      log.End();
    }
    WriteProfileStringA(section.c_str(), NULL, NULL);
    std::string printed = section.substr(0, c.printed);
    std::string text = ReadBytes(logDir / "long.log");
    EXPECT_TRUE(std::regex_match(text, std::regex(BannerPattern(printed, "Started") +
                                                  EscapeForRegex(ThreadPrefix() + "entry\r\n") +
                                                  BannerPattern(printed, "Ended"))))
        << text.substr(0, 400);
  }
}

// Entries of many threads each arrive whole on their own line: none lost,
// none doubled, none mixed with another.
TEST(LogFile, EntriesFromManyThreadsArriveWhole) {
  const int kThreads = 8;
  const int kEntriesPerThread = 2000;
  LogSettings settings;
  settings.Set("1", settings.dir.NoSlash());
  LogOn on(settings);
  on.log.Start();

  std::vector<std::thread> threads;
  std::vector<DWORD> ids(kThreads);
  DWORD started = GetTickCount();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ids[t] = GetCurrentThreadId();
      for (int i = 0; i < kEntriesPerThread; ++i) {
        // Half the threads write plain entries (two appends each), half
        // formatted ones (one append).
        if (t % 2 == 0) {
          char text[64];
          snprintf(text, sizeof text, "thread %d entry %d\n", t, i);
          on.log.Write(text);
        } else {
          on.log.WriteFormat("thread %d entry %d\n", t, i);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  on.log.End();
  printf("  %d entries in %lu ms\n", kThreads * kEntriesPerThread, GetTickCount() - started);

  std::map<std::string, int> expected;  // line -> times seen
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kEntriesPerThread; ++i) {
      expected[ThreadPrefix(ids[t]) + "thread " + std::to_string(t) + " entry " + std::to_string(i)] = 0;
    }
  }
  // Lines between the four of the start banner and the four of the end one.
  std::string text = ReadBytes(settings.LogFile());
  std::vector<std::string> lines;
  for (size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
    lines.push_back(text.substr(pos, end - pos));
  }
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "entry without its line end at the end";
  EXPECT_EQ(lines.size(), expected.size() + 8);
  ASSERT_GE(lines.size(), 8u);
  EXPECT_NE(lines[2].find("Log Started"), std::string::npos);
  EXPECT_NE(lines[lines.size() - 2].find("Log Ended"), std::string::npos);
  int unexpected = 0;
  for (size_t i = 4; i < lines.size() - 4; ++i) {
    auto found = expected.find(lines[i]);
    if (found == expected.end()) {
      if (++unexpected <= 5) ADD_FAILURE() << "unexpected line: " << lines[i];
    } else {
      ++found->second;
    }
  }
  int missing = 0, doubled = 0;
  for (const auto& line : expected) {
    if (line.second == 0) ++missing;
    if (line.second > 1) ++doubled;
  }
  EXPECT_EQ(unexpected, 0);
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(doubled, 0);
}

// Several processes log to one file at once (log_writer, built beside the
// tests): each process's entries all arrive, each whole on a line of its own.
TEST(LogFile, EntriesFromSeveralProcessesOnOneFileArriveWhole) {
  const int kProcesses = 3;
  const int kEntries = 1000;
  ScratchDir dir{kDirStem};
  const std::string names = "ldx-log-test-" + std::to_string(GetCurrentProcessId());
  HANDLE go = CreateEventA(NULL, TRUE, FALSE, (names + "-go").c_str());
  ASSERT_NE(go, nullptr);
  std::vector<HANDLE> ready, processes;
  for (int p = 0; p < kProcesses; ++p) {
    std::string readyName = names + "-ready-" + std::to_string(p);
    ready.push_back(CreateEventA(NULL, TRUE, FALSE, readyName.c_str()));
    std::string program = TestExecutableDir() + "log_writer.exe";
    std::string commandLine = "log_writer.exe \"" + dir.NoSlash() + "\" " + std::to_string(p) + " " +
                              std::to_string(kEntries) + " " + readyName + " " + names + "-go";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                               &process))
        << program << ": error " << GetLastError();
    CloseHandle(process.hThread);
    processes.push_back(process.hProcess);
  }
  // Every log is started (each start empties the file) before any writes.
  EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(kProcesses, ready.data(), TRUE, 60000));
  SetEvent(go);
  for (HANDLE process : processes) {
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 120000));
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(0u, exitCode);
    CloseHandle(process);
  }
  for (HANDLE event : ready) CloseHandle(event);
  CloseHandle(go);

  const std::string text = ReadBytes(dir / "Lodestar.log");
  ASSERT_GE(text.size(), 2u);
  const std::regex entry(R"(\[[0-9a-f]{8}\]P(\d) entry (\d+) the quick brown fox jumps over the lazy dog)");
  const std::regex bannerLine(R"(|\*{18}|DI-Lodestar Log (Started|Ended) : .*)");
  std::vector<std::vector<int>> seen(kProcesses, std::vector<int>(kEntries, 0));
  int unexpected = 0, ends = 0;
  for (size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
    const std::string line = text.substr(pos, end - pos);
    std::smatch match;
    if (std::regex_match(line, match, entry) && std::stoi(match[1]) < kProcesses &&
        std::stoi(match[2]) < kEntries) {
      ++seen[std::stoi(match[1])][std::stoi(match[2])];
    } else if (std::regex_match(line, bannerLine)) {
      if (line.find("Log Ended") != std::string::npos) ++ends;
    } else if (++unexpected <= 5) {
      ADD_FAILURE() << "mixed or broken line: " << line;
    }
  }
  int missing = 0, doubled = 0;
  for (const std::vector<int>& counts : seen) {
    for (int count : counts) {
      if (count == 0) ++missing;
      if (count > 1) ++doubled;
    }
  }
  EXPECT_EQ(unexpected, 0);
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(doubled, 0);
  EXPECT_EQ(ends, kProcesses) << "end banners";
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

}  // namespace
