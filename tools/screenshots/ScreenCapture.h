#pragma once
// Copying a window from the screen into a BMP file, for the screenshot tool.
#include <windows.h>

HINSTANCE Module();
// Lets the window repaint and its messages run for a moment, then flushes GDI.
void Settle(HWND window);
// Writes DIRECTORY\NAME.bmp from the window's screen area, widened to take in
// `extra` (a drop-down list, say) when given; prints what it wrote.
bool Capture(HWND window, const char* directory, const char* name, const RECT* extra = nullptr);

// Every dialog template and the background window, with sample texts.
bool CaptureTemplates(const char* directory);
// The real wizard pages in a property sheet and the folder chooser.
bool CapturePages(const char* directory);
