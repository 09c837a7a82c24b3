// The module loader on real libraries built for these tests (loader-fixtures
// beside the executable), copied into directories whose paths hold spaces:
// the current directory during and after a load, the failure box as the user
// sees it, entry-point look-ups and the references the loader holds.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "BoxScript.h"
#include "ScratchDir.h"
#include "frame/CModuleLoader.h"

namespace {

const char kCaption[] = "loader_tests.exe";
const char kEntry[] = "ldxfix_entry.dll";
const char kPlain[] = "ldxfix_plain.dll";
const char kNeedsDependency[] = "ldxfix_needsdep.dll";
const char kDependency[] = "ldxfix_dep.dll";

typedef int(__cdecl* IntFunction)();
typedef const char*(__cdecl* TextFunction)();

// The loader's look-up, as a function of the entry's own type.
template <typename Function>
Function Lookup(CModuleLoader& loader, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(loader.GetProcAddress(name)));
}

std::string CurrentDirectory() {
  char dir[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, dir);
  return dir;
}

std::string FixtureSource(const char* name) {
  char exe[MAX_PATH];
  GetModuleFileNameA(NULL, exe, MAX_PATH);
  std::string path = exe;
  return path.substr(0, path.rfind('\\') + 1) + "loader-fixtures\\" + name;
}

bool IsLoaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != NULL; }

// The system's text for an error number, inserts left as they are.
std::string SystemText(DWORD error) {
  char* text = NULL;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                 error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, NULL);
  std::string result = text != NULL ? text : "";
  LocalFree(text);
  return result;
}

std::string BoxText(const std::string& path, DWORD error) {
  return "DLL load failed - " + path + "\nSystem error: " + std::to_string(error) + "\n" + SystemText(error);
}

// A fresh directory whose path holds spaces, with a subdirectory "lib dir"
// for the libraries; both are removed with everything in them at the end.
class FixtureDirs {
 public:
  FixtureDirs() : m_lib(m_scratch.NoSlash() + "\\lib dir") { CreateDirectoryA(m_lib.c_str(), NULL); }
  // Without a trailing backslash, as the current directory reads.
  std::string Root() const { return m_scratch.NoSlash(); }
  const std::string& Lib() const { return m_lib; }
  // Copies a fixture into "lib dir" and returns its full path.
  std::string Copy(const char* fixture, const char* as = NULL) const {
    std::string target = m_lib + "\\" + (as != NULL ? as : fixture);
    EXPECT_TRUE(CopyFileA(FixtureSource(fixture).c_str(), target.c_str(), FALSE)) << fixture;
    return target;
  }

 private:
  ScratchDir m_scratch{"ldx loader test "};
  std::string m_lib;
};

// Runs with the current directory set to a place of the test's choosing and
// puts the earlier one back.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir) : m_saved(CurrentDirectory()) {
    EXPECT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir;
  }
  ~InDirectory() { SetCurrentDirectoryA(m_saved.c_str()); }

 private:
  std::string m_saved;
};

TEST(ModuleLoader, LoadRunsInTheLibraryDirectoryAndSwitchesBack) {
  FixtureDirs dirs;
  char rootName[MAX_PATH];
  snprintf(rootName, sizeof rootName, "ldx loader root %lu.dll", GetCurrentProcessId());
  std::string drivePath = std::string("C:\\") + rootName;
  ASSERT_TRUE(CopyFileA(FixtureSource(kEntry).c_str(), drivePath.c_str(), FALSE));

  struct Case {
    const char* what;
    std::string path;           // as given to the loader
    std::string loadedFile;     // the file that must be loaded
    std::string dirDuringLoad;  // current directory the library saw
  } cases[] = {
      {"full path", dirs.Copy(kEntry), dirs.Lib() + "\\" + kEntry, dirs.Lib()},
      {"path relative to the current directory", std::string("lib dir\\") + kEntry, dirs.Lib() + "\\" + kEntry,
       dirs.Lib()},
      // The root, not the bare drive "C:", which would name the drive's
      // current directory (here the test's directory).
      {"file directly under a drive", drivePath, drivePath, "C:\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InDirectory inRoot(dirs.Root());
    {
      CModuleLoader loader(c.path.c_str());
      ASSERT_TRUE(loader.Load(TRUE));
      EXPECT_EQ(CurrentDirectory(), dirs.Root());
      EXPECT_EQ(loader.GetModule(), GetModuleHandleA(c.loadedFile.c_str()));
      TextFunction loadDirectory = Lookup<TextFunction>(loader, "LoadDirectory");
      ASSERT_NE(loadDirectory, nullptr);
      EXPECT_STREQ(loadDirectory(), c.dirDuringLoad.c_str());
    }
    EXPECT_FALSE(IsLoaded(c.loadedFile)) << "the destructor unloads";
  }
  DeleteFileA(drivePath.c_str());
}

TEST(ModuleLoader, BareFileNameLoadsThroughTheSearchOrderInTheCurrentDirectory) {
  FixtureDirs dirs;
  std::string loadedFile = dirs.Copy(kEntry);
  InDirectory inRoot(dirs.Root());
  ASSERT_TRUE(SetDllDirectoryA(dirs.Lib().c_str()));
  {
    CModuleLoader loader(kEntry);
    EXPECT_TRUE(loader.Load(TRUE));
    TextFunction loadDirectory = Lookup<TextFunction>(loader, "LoadDirectory");
    ASSERT_NE(loadDirectory, nullptr);
    EXPECT_STREQ(loadDirectory(), dirs.Root().c_str());
    EXPECT_EQ(CurrentDirectory(), dirs.Root());
  }
  SetDllDirectoryA(NULL);
  EXPECT_FALSE(IsLoaded(loadedFile));
}

TEST(ModuleLoader, DependencyBesideTheLibraryIsFound) {
  FixtureDirs dirs;
  dirs.Copy(kDependency);
  CModuleLoader loader(dirs.Copy(kNeedsDependency).c_str());
  IntFunction entry = Lookup<IntFunction>(loader, "FixtureEntry");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry(), 101);
}

// Each failure shows the box with the library path, the error number and the
// system's text, under the executable's file name, and leaves the current
// directory where it was.
TEST(ModuleLoader, FailedLoadShowsTheBoxAndRestoresTheDirectory) {
  FixtureDirs dirs;
  std::string notALibrary = dirs.Lib() + "\\not a library.dll";
  HANDLE file = CreateFileA(notALibrary.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD written;
  WriteFile(file, "plain text, not a library\r\n", 27, &written, NULL);
  CloseHandle(file);

  struct Case {
    const char* what;
    std::string path;
    DWORD error;
  } cases[] = {
      {"library missing", dirs.Lib() + "\\absent library.dll", ERROR_MOD_NOT_FOUND},
      {"dependency missing", dirs.Copy(kNeedsDependency), ERROR_MOD_NOT_FOUND},
      // The system's text for this one has an insert ("%1 is not a valid
      // ..."): the box shows it as the system gives it.
      {"not a library", notALibrary, ERROR_BAD_EXE_FORMAT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InDirectory inRoot(dirs.Root());
    BoxScript script;
    script.Expect().Caption(kCaption).Text(BoxText(c.path, c.error)).Icon(BoxIcon::Warning).Buttons({IDOK});
    CModuleLoader loader(c.path.c_str());
    EXPECT_FALSE(loader.Load(TRUE));
    EXPECT_EQ(GetLastError(), c.error) << "the error number is left for the caller";
    EXPECT_EQ(loader.GetModule(), nullptr);
    EXPECT_EQ(CurrentDirectory(), dirs.Root());
    EXPECT_FALSE(SystemText(c.error).empty());
  }
}

TEST(ModuleLoader, FailureBoxIsOwnedByTheActiveWindow) {
  HWND window = CreateWindowExA(0, "STATIC", "loader test window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                200, NULL, NULL, GetModuleHandleA(NULL), NULL);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  SetActiveWindow(window);
  ASSERT_EQ(GetActiveWindow(), window);
  {
    BoxScript script;
    script.Expect().Caption(kCaption);
    CModuleLoader loader("C:\\ldx absent\\absent.dll");
    EXPECT_FALSE(loader.Load(TRUE));
    ASSERT_EQ(script.Captured().size(), 1u);
    EXPECT_EQ(script.Captured()[0].owner, window);
  }
  DestroyWindow(window);
}

TEST(ModuleLoader, NoBoxWhenSwitchedOffOrWithoutPath) {
  FixtureDirs dirs;
  InDirectory inRoot(dirs.Root());
  BoxScript noBoxes;

  CModuleLoader missing((dirs.Lib() + "\\absent.dll").c_str());
  EXPECT_FALSE(missing.Load(FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(CurrentDirectory(), dirs.Root());

  CModuleLoader empty;
  EXPECT_FALSE(empty.Load(TRUE));
  EXPECT_EQ(empty.GetProcAddress("FixtureEntry"), nullptr);
  empty.SetPath("");
  EXPECT_FALSE(empty.Load(TRUE));
  EXPECT_EQ(CurrentDirectory(), dirs.Root());
  EXPECT_TRUE(noBoxes.Captured().empty());
}

TEST(ModuleLoader, GetProcAddressLoadsOnFirstUseAndLooksUpByName) {
  FixtureDirs dirs;
  BoxScript noBoxes;
  struct Case {
    const char* fixture;
    bool hasEntry;
  } cases[] = {{kEntry, true}, {kPlain, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    std::string path = dirs.Copy(c.fixture);
    CModuleLoader loader;
    loader.SetPath(path.c_str());
    EXPECT_EQ(loader.GetModule(), nullptr);
    IntFunction entry = Lookup<IntFunction>(loader, "FixtureEntry");
    EXPECT_EQ(loader.GetModule(), GetModuleHandleA(path.c_str()));
    EXPECT_NE(loader.GetModule(), nullptr);
    if (c.hasEntry) {
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry(), 4711);
    } else {
      EXPECT_EQ(entry, nullptr);
    }
    EXPECT_EQ(loader.GetProcAddress("NoSuchEntry"), nullptr);
  }
  EXPECT_TRUE(noBoxes.Captured().empty());
}

TEST(ModuleLoader, EveryFailingLookupTriesTheLoadAgainWithItsBox) {
  FixtureDirs dirs;
  std::string path = dirs.Lib() + "\\absent library.dll";
  BoxScript script;
  for (int i = 0; i < 3; ++i) script.Expect().Caption(kCaption).Text(BoxText(path, ERROR_MOD_NOT_FOUND));
  CModuleLoader loader(path.c_str());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(loader.GetProcAddress("FixtureEntry"), nullptr);
  EXPECT_EQ(script.Captured().size(), 3u);
}

// The loader holds at most one reference: a second load gives the earlier
// one back, the destructor gives back the one it holds, and Init forgets it.
// The test keeps a reference of its own so the count can be read.
TEST(ModuleLoader, HoldsOneReferenceAtATime) {
  FixtureDirs dirs;
  std::string path = dirs.Copy(kEntry);
  HMODULE own = LoadLibraryA(path.c_str());
  ASSERT_NE(own, nullptr);
  {
    CModuleLoader loader(path.c_str());
    ASSERT_TRUE(loader.Load(FALSE));
    IntFunction entry = Lookup<IntFunction>(loader, "FixtureEntry");
    ASSERT_TRUE(loader.Load(FALSE));
    ASSERT_TRUE(loader.Load(FALSE));
    EXPECT_EQ(loader.GetModule(), own);
    EXPECT_EQ(entry(), 4711) << "an entry looked up before stays valid";
  }
  ASSERT_TRUE(IsLoaded(path));
  FreeLibrary(own);
  EXPECT_FALSE(IsLoaded(path)) << "the loader leaked a reference";

  // A second load that fails gives back the reference it held.
  {
    CModuleLoader loader(path.c_str());
    ASSERT_TRUE(loader.Load(FALSE));
    loader.SetPath((dirs.Lib() + "\\absent.dll").c_str());
    EXPECT_FALSE(loader.Load(FALSE));
    EXPECT_EQ(loader.GetModule(), nullptr);
    EXPECT_FALSE(IsLoaded(path));
  }

  // Init forgets the handle: the library stays loaded.
  {
    CModuleLoader loader(path.c_str());
    ASSERT_TRUE(loader.Load(FALSE));
    own = loader.GetModule();
    loader.Init();
    EXPECT_EQ(loader.GetModule(), nullptr);
  }
  EXPECT_TRUE(IsLoaded(path));
  FreeLibrary(own);
  EXPECT_FALSE(IsLoaded(path));
}

}  // namespace
