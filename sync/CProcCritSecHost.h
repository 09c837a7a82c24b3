// The critical section that an executable shares with every module it
// loads. The executable creates one and calls Init, which publishes the
// section's address as a property of the desktop window; the modules reach
// it through CProcCritSec. The object is itself the published section.
//
// The desktop window is shared by every process on the desktop, so the
// property's name carries the publishing process's id as well as the
// executable's file name ("ldhost.exe:1234"), and a client accepts only
// the section its own process published: two processes of one executable
// each have their own.
#pragma once

#include <windows.h>

#include <afx.h>

class CProcCritSecHost : public CRITICAL_SECTION {
 public:
  CProcCritSecHost();
  // Withdraws the publication and deletes the section if Init initialised it.
  ~CProcCritSecHost();

  // Initialises and publishes the section; a failure is shown in a message
  // box and returns FALSE. Once published, it also removes what hosts of
  // the same executable that ended without their destructor (a crash) left
  // on the desktop window: their properties, and with them the atoms of
  // their names.
  BOOL Init();

 private:
  BOOL IsInitialized() const;

  CProcCritSecHost(const CProcCritSecHost&);
  CProcCritSecHost& operator=(const CProcCritSecHost&);
};

// Removes this process's publication from the desktop window; does nothing
// when the executable's name or the desktop window cannot be had.
void RemoveHostProperty();
