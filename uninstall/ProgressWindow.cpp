#include "uninstall/ProgressWindow.h"

#include <commctrl.h>

#include <string>

#include "uninstall/UninstallResource.h"

ProgressWindow::~ProgressWindow() { Destroy(); }

INT_PTR CALLBACK ProgressWindow::Procedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

bool ProgressWindow::Create(HINSTANCE instance, const char* appName) {
    window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL_PROGRESS), nullptr, Procedure, 0);
    if (!window_) return false;
    std::string heading = std::string("Removing ") + appName + "...";
    SetDlgItemTextA(window_, IDC_UNINSTALL_HEADING, heading.c_str());
    ShowWindow(window_, SW_SHOWNORMAL);
    PumpMessages();
    return true;
}

void ProgressWindow::Destroy() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
}

void ProgressWindow::Update(void* context, size_t done, size_t total, const char* item) {
    ProgressWindow* self = static_cast<ProgressWindow*>(context);
    if (!self->window_) return;
    SetDlgItemTextA(self->window_, IDC_UNINSTALL_ITEM, item);
    HWND bar = GetDlgItem(self->window_, IDC_UNINSTALL_BAR);
    SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    self->PumpMessages();
}

void ProgressWindow::PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
