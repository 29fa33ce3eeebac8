#pragma once
#include <windows.h>

#include <string>

// The system's own text for a Windows error code (FormatMessage), in UTF-8 without the
// trailing line break; "Windows error N" when the system has none.
std::string SystemErrorText(DWORD error);
