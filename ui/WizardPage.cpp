#include "ui/WizardPage.h"

#include "setup/InstallSettings.h"

namespace {
// The sheet is centred when the first page of the process is shown, never
// again, so that a sheet the user has moved stays where it was put.
bool sheetCentred = false;
}  // namespace

void ResetSheetCentredFlag() { sheetCentred = false; }

BOOL WizardPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case IDOK: PostMessageA(wizardSheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0); return TRUE;
        case IDCANCEL: PostMessageA(wizardSheet, WM_COMMAND, IDCANCEL, lParam); return TRUE;
        default: return Dialog::OnCommand(wParam, lParam);
    }
}

BOOL WizardPage::OnNotify(NMHDR* header, WPARAM) {
    switch (header->code) {
        case PSN_SETACTIVE:
            wizardSheet = header->hwndFrom;
            settings->sheetWindow = header->hwndFrom;
            if (!sheetCentred) {
                CenterWindowOnDesktop(header->hwndFrom);
                sheetCentred = true;
            }
            return TRUE;
        case PSN_QUERYCANCEL:
            if (!settings->ConfirmExit(header->hwndFrom)) SetMessageResult(TRUE);
            return TRUE;
        default: return FALSE;
    }
}
