// Runs browser_probe.exe (built beside the tests) and reads its report.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

typedef std::map<std::string, std::string> ProbeReport;

// The reports the probe printed, in order: one, or two when whilePaused is
// given (it runs while the probe waits between its two rounds).
std::vector<ProbeReport> RunProbe(const std::string& arguments,
                                  const std::function<void()>& whilePaused = nullptr);
