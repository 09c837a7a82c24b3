// Start-up support shared by the DLL and program entry points of the
// Windows-ABI flavour: the static constructors of the module and the list
// of functions to call when it ends.
#pragma once

// Runs the module's static constructors (the .CRT$XC* pointers).
void LdxRunStaticConstructors();
// Calls the functions registered with atexit, last first, once.
void LdxRunExitList();
