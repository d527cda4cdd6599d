#pragma once
#include <windows.h>

#include <string>

// A text of the process's code page as UTF-16. GDI's "A" calls read their
// bytes in the system's ANSI code page, not the process's: in a process of
// the UTF-8 code page a name drawn with them would show as mojibake.
std::wstring WideText(const char* text);

// ExtTextOutW at (x, y), no options, no clipping rectangle.
BOOL DrawProcessText(HDC dc, int x, int y, const char* text);
// The same, but a text beyond ASCII is drawn in a TrueType face of the
// selected font's size, which font linking completes with the characters of
// other scripts: for controls in the dialogs' bitmap font.
BOOL DrawProcessTextLinked(HDC dc, int x, int y, const char* text);
