#include "pages/StartFolderPage.h"

#include "folderchooser/FolderChain.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"
#include "shell/ProgramsFolder.h"

BOOL StartFolderPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_EXISTING_FOLDERS && HIWORD(wParam) == LBN_DBLCLK) CopySelectedName();
    return WizardPage::OnCommand(wParam, lParam);
}

void StartFolderPage::CopySelectedName() {
    HWND list = GetDlgItem(window, IDC_EXISTING_FOLDERS);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    // LB_GETTEXT takes no buffer size: make sure the entry fits first.
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length < 0 || length >= static_cast<LRESULT>(kPathBufferSize)) return;
    char name[kPathBufferSize];
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name));
    SetDlgItemTextA(window, IDC_START_FOLDER_EDIT, name);
}

// Once per page: the list is not refreshed after Back and Next.
void StartFolderPage::FillFolderList() {
    SetDlgItemTextA(window, IDC_START_FOLDER_EDIT, settings->startFolder.Get());
    char programs[kPathBufferSize];
    GetProgramsFolder(programs);
    // Without the Programs folder the list stays empty: an empty path would
    // make the pattern "\*.*", the root of the current drive.
    char pattern[kPathBufferSize];
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA found;
    if (programs[0] && JoinPath(pattern, sizeof pattern, programs, "*.*")) search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        HWND list = GetDlgItem(window, IDC_EXISTING_FOLDERS);
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(found.cFileName))
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    listFilled = true;
}

// Why the typed name cannot be the Start Menu folder, or empty when it can:
// it would be cut, lead out of the Programs folder or be changed by Windows.
SetupString StartFolderPage::Refusal(const char* name) const {
    if (GetWindowTextLengthA(GetDlgItem(window, IDC_START_FOLDER_EDIT)) >= static_cast<int>(kPathBufferSize))
        return SetupString("The Start Menu folder name is longer than 259 characters.  Please type a shorter one.");
    NameProblem problem = CheckFolderPath(name);
    if (problem == NameOk) return SetupString();
    SetupString text("The Start Menu folder name ");
    text.Append(NameProblemText(problem));
    text.Append(".  Please type another name.");
    return text;
}

BOOL StartFolderPage::OnNext() {
    char name[kPathBufferSize];
    GetDlgItemTextA(window, IDC_START_FOLDER_EDIT, name, sizeof name);
    if (name[0] == '\0') {
        SetMessageResult(-1);  // stays on the page, without a message
        return TRUE;
    }
    SetupString refusal = Refusal(name);
    if (!refusal.IsEmpty()) {
        ShowSetupMessage(wizardSheet, refusal.Get(), MB_OK | MB_ICONWARNING);
        SetMessageResult(-1);
        return TRUE;
    }
    settings->startFolder.Assign(name);
    return FALSE;
}

BOOL StartFolderPage::OnNotify(NMHDR* header, WPARAM controlId) {
    switch (header->code) {
        case PSN_SETACTIVE:
            WizardPage::OnNotify(header, controlId);
            if (!listFilled) {
                SetCursor(settings->waitCursor);
                SendMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, 0);
                FillFolderList();
                SetCursor(settings->arrowCursor);
            }
            PostMessageA(header->hwndFrom, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
            return TRUE;
        case PSN_WIZNEXT: return OnNext();
        default: return WizardPage::OnNotify(header, controlId);
    }
}
