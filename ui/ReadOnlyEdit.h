#pragma once
#include <windows.h>

// "EDIT_VSETUP_RO": the system edit control, except that Enter and Ctrl+Enter
// press the parent's OK (which a wizard page turns into Next).
constexpr const char* kReadOnlyEditClass = "EDIT_VSETUP_RO";

void RegisterReadOnlyEdit(HINSTANCE instance);
LRESULT CALLBACK ReadOnlyEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
