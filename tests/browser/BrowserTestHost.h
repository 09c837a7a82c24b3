// The test executable plays the host application: a framework application
// object named "browser_tests" (the caption of its message boxes), chained
// with the library. While the tests run, the product key records this
// executable's directory (where brwsapp.exe and the probe are built) as the
// program directory and a scratch directory as the users' data directory;
// both values are put back at exit.
#pragma once

#include <string>

extern const char kAppCaption[];  // "browser_tests"

namespace BrowserTestHost {

// The program directory recorded for the tests, ending in a backslash.
const std::string& ProgramDir();
// Scratch root of this process (no blank, "-", "/" or "%" in it), ending in a backslash.
const std::string& ScratchRoot();
// "DefaultUserDataDir" for the tests, and the data directory of user 0
// inside it ("User1\"); both end in a backslash.
const std::string& UsersDir();
const std::string& UserDataDir();

}  // namespace BrowserTestHost
