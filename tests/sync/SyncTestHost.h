// The test executable plays the host application: a framework application
// object named "sync_tests" (the caption of its message boxes), chained
// with the library.
#pragma once

#include <string>

extern const char kAppCaption[];  // "sync_tests"

// A name no other process of this desktop uses: the prefix and this
// process's id.
std::string UniqueName(const std::string& prefix);
