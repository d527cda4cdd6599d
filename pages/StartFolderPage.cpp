#include "pages/StartFolderPage.h"

#include "folderchooser/FolderChain.h"
#include "resource.h"
#include "setup/InstallSettings.h"
#include "setup/PathHelpers.h"
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
    char pattern[kPathBufferSize];
    GetProgramsFolder(pattern);
    EnsureTrailingBackslash(pattern, sizeof pattern);
    bool fits = AppendText(pattern, sizeof pattern, "*.*");
    HANDLE search = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA found;
    if (fits) search = FindFirstFileA(pattern, &found);
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

BOOL StartFolderPage::OnNext() {
    char name[kPathBufferSize];
    GetDlgItemTextA(window, IDC_START_FOLDER_EDIT, name, sizeof name);
    if (name[0] == '\0') {
        SetMessageResult(-1);  // stays on the page, without a message
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
