#include "SyncTestHost.h"

#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "frame/LibraryEntry.h"

const char kAppCaption[] = "sync_tests";

namespace {

CWinApp theApp(kAppCaption);

class SyncTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW));
    InitExtensionDll();
  }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new SyncTestEnvironment);

}  // namespace

std::string UniqueName(const std::string& prefix) {
  return prefix + "_" + std::to_string(GetCurrentProcessId());
}
