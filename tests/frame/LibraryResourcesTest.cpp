// A host chained with the library's entry finds its strings and dialogs by
// number; the library exports nothing by name.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

namespace {

CWinApp theApp("frame_tests");

class FrameworkEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_HIDE)); }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

const WORD kInitExtensionDllOrdinal = 361;

CString Load(UINT id) {
  CString text;
  text.LoadString(id);
  return text;
}

class ChainedLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_library = LoadLibraryA("LDExCore.dll");
    ASSERT_NE(m_library, nullptr);
  }
  void TearDown() override {
    if (m_library) FreeLibrary(m_library);
  }
  void Chain() {
    auto init = reinterpret_cast<void (*)()>(
        reinterpret_cast<void*>(GetProcAddress(m_library, MAKEINTRESOURCEA(kInitExtensionDllOrdinal))));
    ASSERT_NE(init, nullptr);
    init();
  }
  HMODULE m_library = nullptr;
};

TEST_F(ChainedLibraryTest, StringsAreFoundOnlyOnceChained) {
  EXPECT_TRUE(Load(20334).IsEmpty());
  Chain();

  const std::map<UINT, const char*> expected = {
      {708, "Error:  Can not locate the directory where the area definitions are stored."},
      {718, "Error:  There is no configuration DLL defined for %s."},
      {751, "Track a &Search"},
      {752, "Track a Web &Page"},
      {9000, "No Error"},
      {9002, "Key value already exists"},
      {9012, "Could not open file: not there or locked"},
      {9156, "timeout error"},
      {9400, "Resource already enabled"},
      {9573, "primary\\mirror out-of-sync. Copy good file over bad."},
      {9600, "no more client threads"},
      {20333, "In order to use this feature you must install the following package(s):\n\n%s\n"
              "Do you wish to download and install the package(s) now?"},
      {20334, "Missing Package(s)"},
      {20337, "ERROR:  Unable to install package(s).  The Smart Downloader (ldsdnl.exe) failed to run.  "},
      {33000, "Track a new item"},
      {33199, "Track a new item"},
  };
  for (const auto& [id, text] : expected) EXPECT_STREQ(Load(id), text) << "string " << id;
  EXPECT_TRUE(Load(33200).IsEmpty());
}

TEST_F(ChainedLibraryTest, EveryEngineErrorCodeHasItsDescription) {
  Chain();
  int found = 0;
  for (UINT code = 0; code < 1000; ++code) found += Load(9000 + code).IsEmpty() ? 0 : 1;
  EXPECT_EQ(found, 398);
  EXPECT_TRUE(Load(9001).IsEmpty());
  EXPECT_TRUE(Load(9157).IsEmpty());
}

TEST_F(ChainedLibraryTest, DialogsAndIconAreFoundThroughTheChain) {
  Chain();
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(101), RT_DIALOG), m_library);
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(5031), RT_DIALOG), m_library);
  EXPECT_NE(FindResourceA(m_library, MAKEINTRESOURCEA(129), RT_GROUP_ICON), nullptr);
}

TEST_F(ChainedLibraryTest, UnloadingRemovesTheLibraryFromTheChain) {
  Chain();
  ASSERT_FALSE(Load(20334).IsEmpty());
  FreeLibrary(m_library);
  m_library = nullptr;
  EXPECT_TRUE(Load(20334).IsEmpty());
}

TEST_F(ChainedLibraryTest, ExportsNothingByName) {
  EXPECT_EQ(GetProcAddress(m_library, "InitExtensionDll"), nullptr);
  EXPECT_EQ(GetProcAddress(m_library, "_Z16InitExtensionDllv"), nullptr);
  EXPECT_NE(GetProcAddress(m_library, MAKEINTRESOURCEA(kInitExtensionDllOrdinal)), nullptr);
}

// The library and the framework DLL carry the same version.
TEST(LibraryVersion, FileAndProductVersionRead3000) {
  for (const char* module : {"LDExCore.dll", "afx.dll"}) {
    SCOPED_TRACE(module);
    char path[MAX_PATH];
    HMODULE library = LoadLibraryA(module);
    ASSERT_NE(library, nullptr);
    GetModuleFileNameA(library, path, MAX_PATH);
    FreeLibrary(library);

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &block[0]));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(info->dwFileVersionMS, 0x00030000u);
    EXPECT_EQ(info->dwFileVersionLS, 0u);
    EXPECT_EQ(info->dwProductVersionMS, 0x00030000u);
    EXPECT_EQ(info->dwProductVersionLS, 0u);
    char* originalName = nullptr;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\StringFileInfo\\040904b0\\OriginalFilename",
                               reinterpret_cast<void**>(&originalName), &length));
    EXPECT_STREQ(module, originalName);
  }
}

}  // namespace
