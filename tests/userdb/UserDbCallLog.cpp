#include "UserDbCallLog.h"

#include <gtest/gtest.h>

#include "UserDbTestHost.h"

namespace {

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

UserDbCallLog::UserDbCallLog()
    : m_module(LoadLibraryA(UserDbTestHost::LibraryPath().c_str())),
      m_count(Lookup<UserDbCallCountFn>(m_module, LDUSERDB_CALL_COUNT)),
      m_get(Lookup<UserDbGetCallFn>(m_module, LDUSERDB_GET_CALL)),
      m_reset(Lookup<UserDbResetFn>(m_module, LDUSERDB_RESET)) {
  EXPECT_NE(nullptr, m_module) << UserDbTestHost::LibraryPath();
  EXPECT_TRUE(m_count != nullptr && m_get != nullptr && m_reset != nullptr);
  Reset();
}

UserDbCallLog::~UserDbCallLog() {
  if (m_module != NULL) FreeLibrary(m_module);
}

void UserDbCallLog::Reset() {
  if (m_reset != nullptr) m_reset();
}

std::vector<UserDbCall> UserDbCallLog::Calls() const {
  std::vector<UserDbCall> calls;
  if (m_count == nullptr || m_get == nullptr) return calls;
  int count = m_count();
  for (int i = 0; i < count; ++i) {
    UserDbCall call;
    if (m_get(i, &call)) calls.push_back(call);
  }
  return calls;
}
