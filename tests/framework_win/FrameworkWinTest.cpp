#include "FrameworkWinTest.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

CTestApp theApp;

namespace {

class FrameworkEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_HIDE));
  }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

BoxCatcher* g_pCatcher = NULL;

}  // namespace

void ReplaceAppString(LPCTSTR& rpsz, LPCTSTR lpszNew) {
  free(const_cast<LPTSTR>(rpsz));
  rpsz = lpszNew != NULL ? _strdup(lpszNew) : NULL;
}

const char ChainedFixture::kFileName[] = "fwchainfixture.dll";

ChainedFixture::ChainedFixture(bool chain) : m_hModule(LoadLibraryA(kFileName)) {
  if (chain) Chain();
}

ChainedFixture::~ChainedFixture() {
  if (m_hModule != NULL) FreeLibrary(m_hModule);
}

void ChainedFixture::Chain() {
  auto init = reinterpret_cast<void (*)()>(GetProcAddress(m_hModule, "InitChainFixture"));
  if (init != NULL) init();
}

BoxCatcher::BoxCatcher(int nAnswer) : m_nAnswer(nAnswer) {
  g_pCatcher = this;
  m_hHook = SetWindowsHookExA(WH_CBT, &BoxCatcher::Hook, NULL, GetCurrentThreadId());
}

BoxCatcher::~BoxCatcher() {
  UnhookWindowsHookEx(m_hHook);
  g_pCatcher = NULL;
}

LRESULT CALLBACK BoxCatcher::Hook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_ACTIVATE && g_pCatcher != NULL) {
    HWND hBox = reinterpret_cast<HWND>(wParam);
    char szClass[16] = "";
    GetClassNameA(hBox, szClass, sizeof(szClass));
    if (strcmp(szClass, "#32770") == 0) {
      CaughtBox& box = g_pCatcher->m_box;
      char szText[512] = "";
      GetWindowTextA(hBox, szText, sizeof(szText));
      box.caption = szText;
      szText[0] = '\0';
      GetDlgItemTextA(hBox, 0xFFFF, szText, sizeof(szText));
      box.text = szText;
      box.owner = GetWindow(hBox, GW_OWNER);
      box.hasIcon = false;
      for (HWND hChild = GetWindow(hBox, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(hChild, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE) &&
            SendMessageA(hChild, STM_GETICON, 0, 0) != 0) {
          box.hasIcon = true;
        }
      }
      ++box.count;
      PostMessageA(hBox, WM_COMMAND, g_pCatcher->m_nAnswer, 0);
    }
  }
  return CallNextHookEx(NULL, nCode, wParam, lParam);
}

TempDir::TempDir() {
  char szTemp[MAX_PATH];
  GetTempPathA(MAX_PATH, szTemp);
  char szName[MAX_PATH];
  GetTempFileNameA(szTemp, "afx", 0, szName);  // reserves a unique name
  DeleteFileA(szName);
  CreateDirectoryA(szName, NULL);
  m_path = szName;
}

TempDir::~TempDir() {
  WIN32_FIND_DATAA data;
  HANDLE hFind = FindFirstFileA((m_path + "\\*").c_str(), &data);
  if (hFind != INVALID_HANDLE_VALUE) {
    do {
      std::string path = m_path + "\\" + data.cFileName;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0) {
          RemoveDirectoryA(path.c_str());
        }
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
  }
  RemoveDirectoryA(m_path.c_str());
}

TopLevelWindow::TopLevelWindow() {
  Attach(CreateWindowExA(0, "STATIC", "top", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL));
}

std::string Text(const CString& s) { return static_cast<LPCSTR>(s); }
