#pragma once
#include <windows.h>

#include <string>

// A text of the process's code page as UTF-16. GDI's "A" calls read their
// bytes in the system's ANSI code page, not the process's: in a process of
// the UTF-8 code page a name drawn with them would show as mojibake.
std::wstring WideText(const char* text);

// ExtTextOutW at (x, y), no options, no clipping rectangle.
BOOL DrawProcessText(HDC dc, int x, int y, const char* text);
