#include "ui/ExitConfirmDialog.h"

#include "resource.h"

BOOL ExitConfirmDialog::InitialFocus(WPARAM) {
    SetFocus(GetDlgItem(window, IDC_RESUME));
    return FALSE;
}

BOOL ExitConfirmDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case IDOK:
        case IDCANCEL: return FALSE;  // Enter and Escape must not decide for the user
        case IDC_EXIT:
        case IDC_RESUME: EndDialog(window, static_cast<INT_PTR>(wParam)); return TRUE;
        default: return Dialog::OnCommand(wParam, lParam);
    }
}
