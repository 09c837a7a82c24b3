// The test executable plays the host application: it has a framework
// application object, is chained with the library like the client, and owns
// the application title string (57344). The program directory of the
// product is a scratch directory of this process, recorded in the product
// key only while the tests run.
#pragma once

#include <string>

extern const char kHostTitle[];  // the test executable's string 57344

// What the branding functions gave at start-up, before the program directory
// was recorded: the library caches that directory for the life of the
// process once found, so this is the only moment the case can be seen.
struct NoProgramDirObservation {
  bool pathFound;
  std::string pathAfterCall;  // "untouched" unless the call changed it
  bool titleCopied;
  std::string title;
  std::string applied;  // "Welcome to %s." with the title
};
const NoProgramDirObservation& ObservedWithoutProgramDir();

class TestProgramDir {
 public:
  // Removes "ProgramDir" from the product key (it is put back at exit).
  static void Forget();
  // Creates the scratch program directory with its "Branding" folder and
  // records it as "ProgramDir". Returns its path, ending in a backslash.
  static const std::string& Use();
  // Path of the branding file inside it.
  static std::string BrandingFile();

  // Writes the branding values anew; NULL leaves a value out.
  static void WriteBranding(const char* titleShort, const char* title);
  static void RemoveBranding();
};
