#include <windows.h>

#include "platform/AnsiString.h"

// The system's ANSI code page decides: a Western system has no lead bytes at all.
bool IsLeadByte(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }
