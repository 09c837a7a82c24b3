// Where Netscape keeps bookmarks, preferences and profiles, and where the
// Internet Explorer favorites are. Nothing is cached, so each set-up is
// asked in this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BrowserTestHost.h"
#include "FileTerritory.h"
#include "RegistrySandbox.h"
#include "RegistryTerritory.h"
#include "browser/BrowserProfiles.h"

namespace {

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kNavigator[] = "SOFTWARE\\Netscape\\Netscape Navigator";
const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string Key(const std::string& below) { return std::string(kNavigator) + "\\" + below; }

class ProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"Netscape.exe", "IEXPLORE.EXE"})
      m_registry.Own(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + program);
    m_registry.Own(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape");
    m_registry.Own(HKEY_CURRENT_USER, "SOFTWARE\\Netscape");
    m_sandbox.RemoveValue(HKEY_CURRENT_USER, kShellFolders, "Favorites");
    m_settings = BrowserTestHost::UserDataDir() + "ldglobal.ini";
    m_files.Own(m_settings);
    m_root = BrowserTestHost::ScratchRoot() + "profiles";
    m_files.MakeDir(m_root);
  }
  void TearDown() override {
    // The system keeps a copy of a profile file it has read: drop it.
    WritePrivateProfileStringA(NULL, NULL, NULL, m_settings.c_str());
  }

  // root\Communicator\Program\netscape.exe, registered.
  std::string InstallNetscape(const std::string& programDir = "\\Communicator\\Program") {
    std::string exe = m_root + programDir + "\\netscape.exe";
    m_files.Write(exe);
    m_registry.SetDefault(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "Netscape.exe", exe);
    return exe;
  }
  std::string ProfileFile(const std::string& profile, const char* name) {
    std::string path = m_root + "\\Users\\" + profile + "\\" + name;
    m_files.Write(path);
    return path;
  }
  void ChooseProfile(const char* profile) {
    WritePrivateProfileStringA("Browser Options", "NetscapeUser", profile, m_settings.c_str());
  }
  void SetHklm(const std::string& key, const char* name, const std::string& value) {
    m_registry.SetString(HKEY_LOCAL_MACHINE, Key(key), name, value);
  }
  void SetHkcu(const std::string& key, const char* name, const std::string& value) {
    m_registry.SetString(HKEY_CURRENT_USER, Key(key), name, value);
  }
  static std::string Bookmarks() {
    CString path("untouched");
    GetNetscapeBookmarkFile(path);
    return static_cast<LPCSTR>(path);
  }
  static std::string Prefs() {
    CString path("untouched");
    GetNetscapePrefsFile(path);
    return static_cast<LPCSTR>(path);
  }

  RegistryTerritory m_registry;
  RegistrySandbox m_sandbox;
  FileTerritory m_files;
  std::string m_settings;
  std::string m_root;  // installation root, without a trailing backslash
};

TEST_F(ProfilesTest, ChosenProfileIsFoundBesideTheProgram) {
  InstallNetscape();
  std::string bookmarks = ProfileFile("guest", "bookmark.htm");
  std::string prefs = ProfileFile("guest", "prefs.js");
  ProfileFile("other", "bookmark.htm");
  SetHkcu("biff", "CurrentUser", "other");
  ChooseProfile("guest");
  EXPECT_EQ(bookmarks, Bookmarks());  // two levels climbed from Communicator\Program
  EXPECT_EQ(prefs, Prefs());

  // Without a choice, Netscape's current profile.
  ChooseProfile(NULL);
  EXPECT_EQ(m_root + "\\Users\\other\\bookmark.htm", Bookmarks());
}

TEST_F(ProfilesTest, PreferencesAreLookedForThreeLevelsUpWithoutClimbing) {
  InstallNetscape("\\Program");
  std::string bookmarks = ProfileFile("guest", "bookmark.htm");
  ProfileFile("guest", "prefs.js");
  ChooseProfile("guest");
  EXPECT_EQ(bookmarks, Bookmarks());
  EXPECT_EQ("", Prefs());  // three elements up is above the root
}

TEST_F(ProfilesTest, RegistryProfilesAreTheFallback) {
  InstallNetscape();
  ProfileFile("guest", "bookmark.htm");  // not found without a profile name
  SetHklm("Users", "CurrentUser", "guest");
  SetHklm("Users\\guest", "DirRoot", "C:\\Profiles\\guest");
  SetHklm("Users\\chosen", "DirRoot", "C:\\Profiles\\chosen\\");
  SetHkcu("Bookmark List", "DirRoot", "C:\\Old\\bookmark.htm");
  // The file need not exist.
  EXPECT_EQ("C:\\Profiles\\guest\\bookmark.htm", Bookmarks());
  EXPECT_EQ("C:\\Profiles\\guest\\prefs.js", Prefs());

  ChooseProfile("chosen");  // no such directory beside the program
  EXPECT_EQ("C:\\Profiles\\chosen\\bookmark.htm", Bookmarks());
  EXPECT_EQ("C:\\Profiles\\chosen\\prefs.js", Prefs());

  // A profile without a directory: the bookmark list, taken as the whole
  // path; preferences have no such fallback.
  ChooseProfile("nobody");
  EXPECT_EQ("C:\\Old\\bookmark.htm", Bookmarks());
  EXPECT_EQ("", Prefs());

  // An empty directory names none (it would mean the current drive's root).
  ChooseProfile("chosen");
  SetHklm("Users\\chosen", "DirRoot", "");
  EXPECT_EQ("C:\\Old\\bookmark.htm", Bookmarks());
  EXPECT_EQ("", Prefs());
}

// The bookmark list stands in only for a known profile that has no
// directory recorded.
TEST_F(ProfilesTest, BookmarkListNeedsAKnownProfile) {
  InstallNetscape();
  SetHkcu("Bookmark List", "DirRoot", "C:\\Old\\bookmark.htm");
  EXPECT_EQ("", Bookmarks());  // no choice and no current profile
  SetHklm("Users", "CurrentUser", "");
  EXPECT_EQ("", Bookmarks());
  SetHklm("Users", "CurrentUser", "guest");
  EXPECT_EQ("C:\\Old\\bookmark.htm", Bookmarks());
}

TEST_F(ProfilesTest, NothingWithoutNetscapeInstalled) {
  std::string exe = m_root + "\\Communicator\\Program\\netscape.exe";
  ProfileFile("guest", "bookmark.htm");
  ProfileFile("guest", "prefs.js");
  ChooseProfile("guest");
  SetHklm("Users", "CurrentUser", "guest");
  SetHklm("Users\\guest", "DirRoot", "C:\\Profiles\\guest");
  SetHkcu("Bookmark List", "DirRoot", "C:\\Old\\bookmark.htm");
  SetHkcu("biff\\Users\\guest", "x", "1");
  EXPECT_EQ("", Bookmarks());
  EXPECT_EQ("", Prefs());
  // Registered, but the program is missing.
  m_registry.SetDefault(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "Netscape.exe", exe);
  EXPECT_EQ("", Bookmarks());
  EXPECT_EQ("", Prefs());
}

std::vector<std::string> Users(int* result, std::vector<std::string> start = {}) {
  CStringArray users;
  for (const std::string& name : start) users.Add(name.c_str());
  *result = GetNetscapeUsers(users);
  std::vector<std::string> names;
  for (int i = 0; i < users.GetSize(); ++i) names.push_back(static_cast<LPCSTR>(users[i]));
  return names;
}

TEST_F(ProfilesTest, ProfilesAreTheDirectoriesBesideTheProgramElseTheRegistryKeys) {
  InstallNetscape();
  ProfileFile("guest", "bookmark.htm");
  ProfileFile("Work Profile", "prefs.js");
  m_files.Write(m_root + "\\Users\\notes.txt");  // a file is no profile
  SetHklm("Users\\registered", "DirRoot", "C:\\Profiles\\registered");
  int result = -1;

  // Directories count only when Netscape records profiles in "biff\Users".
  EXPECT_EQ(std::vector<std::string>{"registered"}, Users(&result));
  EXPECT_EQ(1, result);
  CString sole("untouched");
  EXPECT_EQ(1, GetSoleNetscapeUser(sole));
  EXPECT_STREQ("registered", sole);

  SetHkcu("biff\\Users\\anything", "x", "1");
  std::vector<std::string> names = Users(&result);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"Work Profile", "guest"}), names);
  EXPECT_EQ(1, result);
  sole = "untouched";
  EXPECT_EQ(0, GetSoleNetscapeUser(sole));
  EXPECT_STREQ("untouched", sole);

  // The array is appended to.
  names = Users(&result, {"kept"});
  ASSERT_EQ(3u, names.size());
  EXPECT_EQ("kept", names[0]);
}

TEST_F(ProfilesTest, RegistryProfileListCanBeEmptyOrMissing) {
  int result = -1;
  // No profiles anywhere: nothing could be listed.
  EXPECT_TRUE(Users(&result).empty());
  EXPECT_EQ(0, result);
  CString sole("untouched");
  EXPECT_EQ(1, GetSoleNetscapeUser(sole));
  EXPECT_STREQ("untouched", sole);

  // A "Users" key without profiles lists none, successfully.
  m_registry.CreateKey(HKEY_LOCAL_MACHINE, Key("Users"));
  EXPECT_TRUE(Users(&result).empty());
  EXPECT_EQ(1, result);
  EXPECT_EQ(1, GetSoleNetscapeUser(sole));
  EXPECT_STREQ("untouched", sole);

  // Names already in the array do not stand for profiles found beside the
  // program: with none there, the registry is still asked.
  InstallNetscape();
  m_files.MakeDir(m_root + "\\Users");
  SetHkcu("biff\\Users\\anything", "x", "1");
  SetHklm("Users\\registered", "DirRoot", "C:\\Profiles\\registered");
  EXPECT_EQ((std::vector<std::string>{"kept", "registered"}), Users(&result, {"kept"}));
  EXPECT_EQ(1, result);
}

TEST_F(ProfilesTest, FavoritesFolderOfAnInstalledInternetExplorer) {
  std::string exe = m_root + "\\IE\\iexplore.exe";
  struct Case {
    bool installed;
    const char* favorites;  // NULL: no value
    const char* expected;
  };
  const Case cases[] = {
      {true, "C:\\Windows\\Favorites", "C:\\Windows\\Favorites\\"},
      {true, "C:\\Windows\\Favorites\\", "C:\\Windows\\Favorites\\"},
      {true, NULL, ""},
      {true, "", ""},  // an empty value names no folder
      {false, "C:\\Windows\\Favorites", ""},
  };
  m_registry.SetDefault(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "IEXPLORE.EXE", exe);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.installed ? "installed, " : "not installed, ") + (c.favorites ? c.favorites : "none"));
    if (c.installed) m_files.Write(exe);
    else DeleteFileA(exe.c_str());
    if (c.favorites != NULL) m_sandbox.SetString(HKEY_CURRENT_USER, kShellFolders, "Favorites", c.favorites);
    else m_sandbox.RemoveValue(HKEY_CURRENT_USER, kShellFolders, "Favorites");
    CString dir("untouched");
    GetIExploreFavoritesDir(dir);
    EXPECT_STREQ(c.expected, dir);
  }
}

}  // namespace
