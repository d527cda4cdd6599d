#include "pages/ProgramDirPage.h"

#include "folderchooser/FolderChooser.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"

void ProgramDirPage::OnInitDialog() {
    CenterOnDesktop();
    // The box is one line high: a long path would wrap and lose its end, so
    // it is shortened in its middle instead (the text itself stays whole).
    HWND shown = GetDlgItem(window, IDC_PROGRAM_DIR_TEXT);
    SetWindowLongPtrA(shown, GWL_STYLE, GetWindowLongPtrA(shown, GWL_STYLE) | SS_PATHELLIPSIS);
    SetDlgItemTextA(window, IDC_PROGRAM_DIR_TEXT, settings->programDir.Get());
    dirChanged = false;
}

BOOL ProgramDirPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != IDC_BROWSE) return WizardPage::OnCommand(wParam, lParam);
    Browse();
    return TRUE;
}

void ProgramDirPage::Browse() {
    char chosen[kPathBufferSize];
    if (!ChooseFolder(window, settings->instance, "Destination &Path:", "Select Installation Directory", chosen,
                      sizeof chosen, settings->programDir.Get(), nullptr, nullptr))
        return;
    if (EqualsNoCase(chosen, settings->programDir.Get())) return;  // the display keeps its letter case
    SetDlgItemTextA(window, IDC_PROGRAM_DIR_TEXT, chosen);
    settings->programDir.Assign(chosen);
    dirChanged = true;
}

bool ProgramDirPage::CheckDestination() {
    if (!dirChanged) return true;  // the wizard's own proposal is taken as it is
    DWORD attributes = GetFileAttributesA(settings->programDir.Get());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return true;
        if (ShowSetupMessage(wizardSheet, "The directory you selected does not exist.  Do you want to create it?",
                             MB_YESNO | MB_ICONQUESTION) == IDNO)
            return false;
        dirChanged = false;
        return true;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    ShowSetupMessage(wizardSheet,
                     "The path you selected is not a directory.  Please select a directory as the destination.",
                     MB_OK | MB_ICONWARNING);
    return false;
}

BOOL ProgramDirPage::OnNotify(NMHDR* header, WPARAM controlId) {
    switch (header->code) {
        case PSN_SETACTIVE:
            PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
            return WizardPage::OnNotify(header, controlId);
        case PSN_WIZNEXT:
            if (!CheckDestination()) SetMessageResult(-1);
            return TRUE;
        default: return WizardPage::OnNotify(header, controlId);
    }
}
