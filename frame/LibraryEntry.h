// The library's chain entry: the host, and every module that uses this
// library's resources or classes, calls it once from its own initialisation.
#pragma once

// Adds this library to the calling module's framework resource and class
// chain. The framework owns the chain entry and frees it at termination.
void InitExtensionDll();
