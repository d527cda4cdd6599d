#include "pages/ReadyPage.h"

#include "resource.h"
#include "setup/InstallSettings.h"

namespace {

void AppendToEdit(HWND edit, const char* text) {
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

}  // namespace

void ReadyPage::BuildSummary() {
    HWND edit = GetDlgItem(window, IDC_SUMMARY_TEXT);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    AppendToEdit(edit, "VARN Program Directory:\r\n    ");
    AppendToEdit(edit, settings->programDir.Get());
    AppendToEdit(edit, "\r\n\r\nStart Menu Folder:\r\n    ");
    AppendToEdit(edit, settings->startFolder.Get());
    if (settings->options & OptionAssociationsPage) {
        AppendToEdit(edit, "\r\n\r\nCreate File Type Associations:\r\n    ");
        AppendToEdit(edit, (settings->options & OptionCreateAssociations) ? "Yes" : "No");
    }
}

BOOL ReadyPage::OnNotify(NMHDR* header, WPARAM controlId) {
    if (header->code != static_cast<UINT>(PSN_SETACTIVE)) return WizardPage::OnNotify(header, controlId);
    BuildSummary();
    PostMessageA(GetDlgItem(window, IDC_SUMMARY_TEXT), EM_SETSEL, 0, 0);
    PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
    return WizardPage::OnNotify(header, controlId);
}
