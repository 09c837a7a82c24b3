// The product's registry key, below HKEY_LOCAL_MACHINE for machine-wide
// settings and below HKEY_CURRENT_USER for the user's own.
#pragma once

const char kProductKey[] = "Software\\Corvane\\Lodestar\\CurrentVersion";
