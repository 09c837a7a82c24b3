#include "TestHost.h"

#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <vector>

#include "config/ProductKey.h"
#include "frame/LibraryEntry.h"
#include "template/BrandingText.h"

const char kHostTitle[] = "Template Test Host";

namespace {

const char kProgramDirValue[] = "ProgramDir";

CWinApp theApp("template_tests");

// What "ProgramDir" held before the tests, put back at the end.
struct SavedProgramDir {
  bool saved = false;
  bool existed = false;
  std::vector<BYTE> data;
  DWORD type = REG_SZ;
};
SavedProgramDir g_saved;
std::string g_programDir;
NoProgramDirObservation g_noProgramDir;

HKEY OpenProductKey() {
  HKEY key = NULL;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, NULL, 0, KEY_READ | KEY_WRITE, NULL, &key, NULL);
  return key;
}

void SaveProgramDir() {
  if (g_saved.saved) return;
  g_saved.saved = true;
  HKEY key = OpenProductKey();
  DWORD size = 0;
  if (key != NULL && RegQueryValueExA(key, kProgramDirValue, NULL, &g_saved.type, NULL, &size) == ERROR_SUCCESS) {
    g_saved.existed = true;
    g_saved.data.resize(size);
    RegQueryValueExA(key, kProgramDirValue, NULL, &g_saved.type, g_saved.data.data(), &size);
  }
  if (key != NULL) RegCloseKey(key);
}

void RestoreProgramDir() {
  if (!g_saved.saved) return;
  HKEY key = OpenProductKey();
  if (key == NULL) return;
  if (g_saved.existed)
    RegSetValueExA(key, kProgramDirValue, 0, g_saved.type, g_saved.data.data(),
                   static_cast<DWORD>(g_saved.data.size()));
  else
    RegDeleteValueA(key, kProgramDirValue);
  RegCloseKey(key);
}

void ObserveWithoutProgramDir() {
  TestProgramDir::Forget();
  CString path("untouched");
  g_noProgramDir.pathFound = GetBrandingIniPath(path) != FALSE;
  g_noProgramDir.pathAfterCall = static_cast<LPCSTR>(path);
  char title[256] = "";
  g_noProgramDir.titleCopied = GetProductTitle(title, sizeof title) != FALSE;
  g_noProgramDir.title = title;
  g_noProgramDir.applied = static_cast<LPCSTR>(ApplyProductTitle("Welcome to %s."));
}

class TestHostEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW));
    InitExtensionDll();
    ObserveWithoutProgramDir();
  }
  void TearDown() override {
    RestoreProgramDir();
    if (!g_programDir.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(g_programDir, ignored);
    }
  }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new TestHostEnvironment);

}  // namespace

const NoProgramDirObservation& ObservedWithoutProgramDir() { return g_noProgramDir; }

void TestProgramDir::Forget() {
  SaveProgramDir();
  HKEY key = OpenProductKey();
  ASSERT_TRUE(key != NULL);
  RegDeleteValueA(key, kProgramDirValue);
  RegCloseKey(key);
}

const std::string& TestProgramDir::Use() {
  if (g_programDir.empty()) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    g_programDir = std::string(temp) + "ldx-template-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(g_programDir.c_str(), NULL);
    CreateDirectoryA((g_programDir + "Branding").c_str(), NULL);
  }
  SaveProgramDir();
  HKEY key = OpenProductKey();
  EXPECT_TRUE(key != NULL);
  if (key != NULL) {
    RegSetValueExA(key, kProgramDirValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(g_programDir.c_str()),
                   static_cast<DWORD>(g_programDir.size() + 1));
    RegCloseKey(key);
  }
  return g_programDir;
}

std::string TestProgramDir::BrandingFile() { return Use() + "Branding\\branding.ini"; }

// Written through the system's profile calls, so that the system's cache of
// the file always matches what is on disk.
void TestProgramDir::WriteBranding(const char* titleShort, const char* title) {
  RemoveBranding();
  const std::string file = BrandingFile();
  WritePrivateProfileStringA("Other", "TitleShort", "not this section", file.c_str());
  if (titleShort != NULL) WritePrivateProfileStringA("Product", "TitleShort", titleShort, file.c_str());
  if (title != NULL) WritePrivateProfileStringA("Product", "Title", title, file.c_str());
  WritePrivateProfileStringA(NULL, NULL, NULL, file.c_str());
}

void TestProgramDir::RemoveBranding() {
  const std::string file = BrandingFile();
  DeleteFileA(file.c_str());
  WritePrivateProfileStringA(NULL, NULL, NULL, file.c_str());  // drops the system's cached copy
}
