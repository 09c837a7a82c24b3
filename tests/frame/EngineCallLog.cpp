#include "EngineCallLog.h"

#include <stdio.h>

namespace {

// The stand-in's record functions are exported by ordinal only.
template <typename Function>
Function Entry(HMODULE module, WORD ordinal) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

EngineCallLog::EngineCallLog()
    : m_module(LoadLibraryA("ctreestd.dll")),
      m_count(Entry<CtreeCallCountFn>(m_module, kCtreeCallCountOrdinal)),
      m_get(Entry<CtreeGetCallFn>(m_module, kCtreeGetCallOrdinal)),
      m_reset(Entry<CtreeResetFn>(m_module, kCtreeResetOrdinal)) {}

EngineCallLog::~EngineCallLog() { FreeLibrary(m_module); }

void EngineCallLog::Reset() { m_reset(); }

std::vector<CtreeCall> EngineCallLog::Calls() const {
  std::vector<CtreeCall> calls(m_count());
  for (size_t i = 0; i < calls.size(); ++i) m_get(static_cast<int>(i), &calls[i]);
  return calls;
}

std::string EngineCallLog::OnThread(DWORD threadId) const {
  std::string text;
  for (const CtreeCall& call : Calls()) {
    if (call.threadId != threadId) continue;
    char item[64];
    if (call.argCount == 3)
      snprintf(item, sizeof item, "%d(%d,%d,%d)", call.ordinal, call.args[0], call.args[1], call.args[2]);
    else
      snprintf(item, sizeof item, "%d()", call.ordinal);
    if (!text.empty()) text += ' ';
    text += item;
  }
  return text;
}
