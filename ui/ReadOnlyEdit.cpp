#include "ui/ReadOnlyEdit.h"

static WNDPROC systemEditProc = nullptr;

void RegisterReadOnlyEdit(HINSTANCE instance) {
    WNDCLASSEXA cls = {};
    cls.cbSize = sizeof(cls);
    if (!GetClassInfoExA(nullptr, "EDIT", &cls)) return;
    systemEditProc = cls.lpfnWndProc;
    cls.hInstance = instance;
    cls.lpfnWndProc = ReadOnlyEditProc;
    cls.lpszClassName = kReadOnlyEditClass;
    RegisterClassExA(&cls);
}

LRESULT CALLBACK ReadOnlyEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && (wParam == '\r' || wParam == '\n')) {
        PostMessageA(GetParent(window), WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(window));
        return 0;
    }
    return CallWindowProcA(systemEditProc, window, message, wParam, lParam);
}
