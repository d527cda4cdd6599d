// Shows every dialog template and the background window in turn and copies
// each from the screen.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <initializer_list>

#include "ScreenCapture.h"
#include "resource.h"
#include "ui/BackgroundWindow.h"
#include "ui/ReadOnlyEdit.h"

namespace {

INT_PTR CALLBACK InertProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

const char kSampleText[] =
    "VARNPLAY SOFTWARE LICENSE\r\n\r\nThis is sample text standing in for LICENSE.TXT, long enough to wrap "
    "across the width of the control and to show the scroll bar.\r\n";

void FillSamples(HWND dialog, int id) {
    if (id == IDD_LICENSE) SetDlgItemTextA(dialog, IDC_LICENSE_TEXT, kSampleText);
    if (id == IDD_READY)
        SetDlgItemTextA(dialog, IDC_SUMMARY_TEXT,
                        "Destination Directory:\r\n    C:\\Program Files\\Varnplay\r\n\r\nProgram Folder:\r\n    Varnplay");
    if (id == IDD_PROGRAM_DIR) SetDlgItemTextA(dialog, IDC_PROGRAM_DIR_TEXT, "C:\\Program Files\\Varnplay");
    if (id == IDD_ASSOCIATIONS) CheckDlgButton(dialog, IDC_ASSOC_YES, BST_CHECKED);
}

// Pages are child templates: they are shown in a captioned frame of their size.
bool CaptureTemplate(int id, const char* directory) {
    HWND frame = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, "#32770", "", WS_POPUP | WS_CAPTION, 40, 40, 100,
                                 100, nullptr, nullptr, Module(), nullptr);
    HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), frame, InertProc, 0);
    if (!dialog) {
        std::printf("FAILED to create dialog %d\n", id);
        DestroyWindow(frame);
        return false;
    }
    HWND shown = dialog;
    if (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD) {
        char caption[128] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        SetWindowTextA(frame, caption);
        SetWindowLongPtrA(dialog, GWL_STYLE, GetWindowLongPtrA(dialog, GWL_STYLE) & ~WS_CAPTION);
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        RECT size;
        GetClientRect(dialog, &size);
        AdjustWindowRectEx(&size, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
        SetWindowPos(frame, HWND_TOPMOST, 40, 40, size.right - size.left, size.bottom - size.top, SWP_SHOWWINDOW);
        ShowWindow(dialog, SW_SHOW);
        shown = frame;
    } else {
        SetWindowPos(dialog, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    FillSamples(dialog, id);
    char name[32];
    std::snprintf(name, sizeof name, "dialog-%d", id);
    bool ok = Capture(shown, directory, name);
    DestroyWindow(dialog);
    DestroyWindow(frame);
    return ok;
}

}  // namespace

bool CaptureTemplates(const char* directory) {
    RegisterReadOnlyEdit(Module());
    bool ok = true;
    for (int id : {IDD_FOLDER_CHOOSER, IDD_WELCOME, IDD_PROGRESS, IDD_START_FOLDER, IDD_LICENSE, IDD_READY,
                   IDD_EXIT_SETUP, IDD_PROGRAM_DIR, IDD_ASSOCIATIONS})
        ok = CaptureTemplate(id, directory) && ok;
    HWND background = CreateBackgroundWindow(Module(), "varnplay");
    ok = background && Capture(background, directory, "background") && ok;
    if (background) DestroyWindow(background);
    return ok;
}
