#pragma once
#include <windows.h>

#include "setup/SetupString.h"

// What a "VSETUP_BKG" window paints; owned by the window and freed with it.
struct BackgroundWindowData {
    SetupString title;
    HFONT font = nullptr;
};

constexpr const char* kBackgroundWindowClass = "VSETUP_BKG";
constexpr COLORREF kBackgroundColour = 0x808000;  // dark teal
constexpr COLORREF kBackgroundTextColour = 0xFFFFFF;

// The captioned, topmost window covering the desktop behind the wizard, with
// the title (first letter capitalised) in large white letters. The caller
// destroys it with DestroyWindow.
HWND CreateBackgroundWindow(HINSTANCE instance, const char* title);
LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
