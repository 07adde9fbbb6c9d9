// HKEY_DYN_DATA, the root of Windows 9x's dynamic statistics, for the registry port (the probe's
// statistics) and the performance port (the CPU meter's start, read and stop keys). Headers for
// the NT family may leave it out.
#pragma once
#include <windows.h>

#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif
