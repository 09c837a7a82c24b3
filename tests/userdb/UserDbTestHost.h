// While the user database tests run, the product key records a scratch
// directory (its path holds blanks) as the program directory, and the
// stand-in LDUSERDB.DLL lies in it. The library keeps the program directory
// for the life of the process once it has read it, so it is recorded before
// any test runs; "ProgramDir" is put back at exit.
#pragma once

#include <string>

namespace UserDbTestHost {

const std::string& ProgramDir();  // ends in a backslash
std::string LibraryPath();        // ProgramDir() + "LDUSERDB.DLL"
// Directory of the test executable, where the stand-in builds and the probe
// are; ends in a backslash.

// Puts a build of the stand-in (the folder it was built into below the
// executable's directory) in the program directory as LDUSERDB.DLL, or
// takes it away with NULL. Only while no one has the library loaded.
void InstallStandin(const char* buildFolder);

extern const char kStandin[];         // "userdb-standin": the name with its blank
extern const char kStandinNoBlank[];  // "userdb-standin-noblank"

}  // namespace UserDbTestHost

// Installs a stand-in build for one test and puts the usual one back.
class StandinSwap {
 public:
  explicit StandinSwap(const char* buildFolder) { UserDbTestHost::InstallStandin(buildFolder); }
  ~StandinSwap() { UserDbTestHost::InstallStandin(UserDbTestHost::kStandin); }
  StandinSwap(const StandinSwap&) = delete;
  StandinSwap& operator=(const StandinSwap&) = delete;
};
