// Reads the database engine stand-in's record of calls. The test keeps its
// own reference to ctreestd.dll so the record outlives LDExCore's unload.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ctreestd.h"

class EngineCallLog {
 public:
  EngineCallLog();
  ~EngineCallLog();

  void Reset();
  std::vector<CtreeCall> Calls() const;
  // Calls made on one thread, in order, written as "ordinal(args)" items,
  // e.g. "50(2,0,0) 119(10,54,32)".
  std::string OnThread(DWORD threadId) const;

 private:
  HMODULE m_module;
  CtreeCallCountFn m_count;
  CtreeGetCallFn m_get;
  CtreeResetFn m_reset;
};
