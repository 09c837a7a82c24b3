// The in-memory record of calls that a stand-in library keeps for tests to
// read: up to kMaxCalls entries (later calls are dropped), guarded so that
// calls from several threads are recorded whole.
#pragma once

#include <windows.h>

template <typename Call, int kMaxCalls>
class CallRecorder {
 public:
  CallRecorder() : m_count(0) { InitializeCriticalSection(&m_lock); }
  ~CallRecorder() { DeleteCriticalSection(&m_lock); }
  CallRecorder(const CallRecorder&) = delete;
  CallRecorder& operator=(const CallRecorder&) = delete;

  // Has fill(Call&) write the next entry while the record is locked.
  template <typename Fill>
  void Add(Fill fill) {
    EnterCriticalSection(&m_lock);
    if (m_count < kMaxCalls) fill(m_calls[m_count++]);
    LeaveCriticalSection(&m_lock);
  }

  int Count() {
    EnterCriticalSection(&m_lock);
    int count = m_count;
    LeaveCriticalSection(&m_lock);
    return count;
  }

  BOOL Get(int index, Call* call) {
    EnterCriticalSection(&m_lock);
    BOOL found = index >= 0 && index < m_count;
    if (found) *call = m_calls[index];
    LeaveCriticalSection(&m_lock);
    return found;
  }

  void Reset() {
    EnterCriticalSection(&m_lock);
    m_count = 0;
    LeaveCriticalSection(&m_lock);
  }

 private:
  CRITICAL_SECTION m_lock;
  Call m_calls[kMaxCalls];
  int m_count;
};
