// Where the running test program lies: the stand-ins, fixtures and helper
// programs are built beside it.
#pragma once

#include <string>

// The directory of the running executable, with its trailing backslash.
std::string TestExecutableDir();
