#include "folderchooser/FolderChooser.h"

#include <winnetwk.h>

#include "resource.h"
#include "setup/PathHelpers.h"
#include "setup/SetupMessages.h"
#include "setup/SystemLibrary.h"

int ChooseFolder(HWND owner, HINSTANCE instance, const char* label, const char* title, char* result,
                 size_t resultSize, const char* initialPath, FolderAcceptProc acceptProc, void* acceptData) {
    FolderChooser* chooser = new FolderChooser(label, title, initialPath, acceptProc, acceptData);
    if (!chooser->acceptedAtStart && chooser->RunModal(IDD_FOLDER_CHOOSER, owner, instance) != IDOK) {
        delete chooser;
        return 0;
    }
    if (result && resultSize) CopyText(result, resultSize, chooser->path.Get());
    delete chooser;
    return 1;
}

FolderChooser::FolderChooser(const char* labelText, const char* title, const char* initialPath,
                             FolderAcceptProc accept, void* data)
    : acceptProc(accept), acceptData(data) {
    ReadIconSize();
    if (initialPath) {
        path.Assign(initialPath);
    } else {
        char current[kPathBufferSize];
        DWORD length = GetCurrentDirectoryA(sizeof current, current);
        path.Assign(length > 0 && length < sizeof current ? current : "");
    }
    if (title) caption.Assign(title);
    if (labelText) label.Assign(labelText);
    if (acceptProc && acceptProc(acceptData, path.Get(), FolderAcceptOpened, nullptr)) acceptedAtStart = true;
}

void FolderChooser::ReadIconSize() {
    iconSize.cx = GetSystemMetrics(SM_CXSMICON);
    iconSize.cy = GetSystemMetrics(SM_CYSMICON);
}

void FolderChooser::OnInitDialog() {
    CenterOnDesktop();
    if (label.IsSet()) SetDlgItemTextA(window, IDC_PATH_LABEL, label.Get());
    if (caption.IsSet()) SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.Get()));
    ReadIconSize();
    arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
    waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    FillDriveList();
    FillFolderList();
}

// The records go with their entries; afterwards the controls are destroyed
// while this object no longer receives their WM_DELETEITEM.
void FolderChooser::OnDestroy() {
    SendDlgItemMessageA(window, IDC_DRIVE_LIST, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(window, IDC_FOLDER_LIST, LB_RESETCONTENT, 0, 0);
    Dialog::OnDestroy();
}

BOOL FolderChooser::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    switch (id) {
        case IDOK: OnOk(lParam); return TRUE;
        case IDCANCEL: return Dialog::OnCommand(IDCANCEL, lParam);
        case IDC_NETWORK: OnNetwork(); return TRUE;
        case IDC_FOLDER_LIST:
            if (code == LBN_SELCHANGE) {
                OnFolderSelected();
                return TRUE;
            }
            if (code == LBN_DBLCLK) {
                OnFolderDoubleClick(wParam, lParam);
                return TRUE;
            }
            break;
        case IDC_DRIVE_LIST:
            if (code == CBN_SELCHANGE) {
                OnDriveSelected();
                return TRUE;
            }
            break;
    }
    return Dialog::OnCommand(wParam, lParam);
}

void FolderChooser::OnOk(LPARAM lParam) {
    // A longer path would be cut to another folder than the one typed.
    if (GetWindowTextLengthA(GetDlgItem(window, IDC_PATH_EDIT)) >= static_cast<int>(kPathBufferSize)) {
        ShowSetupMessage(window, "The path is longer than 259 characters.  Please type a shorter one.",
                         MB_OK | MB_ICONWARNING);
        return;
    }
    char typed[kPathBufferSize];
    GetDlgItemTextA(window, IDC_PATH_EDIT, typed, sizeof typed);
    path.Assign(typed);
    if (acceptProc && !acceptProc(acceptData, path.Get(), FolderAcceptTyped, window)) return;
    Dialog::OnCommand(IDOK, lParam);
}

void FolderChooser::OnNetwork() {
    typedef DWORD(WINAPI * ConnectionDialogFn)(HWND, DWORD);
    ConnectionDialogFn connectionDialog = SystemEntryAs<ConnectionDialogFn>("mpr.dll", "WNetConnectionDialog");
    if (connectionDialog && connectionDialog(window, RESOURCETYPE_DISK) == NO_ERROR) FillDriveList();
}

FolderItem* FolderChooser::SelectedFolder() const {
    LRESULT index = SendDlgItemMessageA(window, IDC_FOLDER_LIST, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return nullptr;
    LRESULT data = SendDlgItemMessageA(window, IDC_FOLDER_LIST, LB_GETITEMDATA, index, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<FolderItem*>(data);
}

DriveItem* FolderChooser::SelectedDrive() const {
    LRESULT index = SendDlgItemMessageA(window, IDC_DRIVE_LIST, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return nullptr;
    LRESULT data = SendDlgItemMessageA(window, IDC_DRIVE_LIST, CB_GETITEMDATA, index, 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<DriveItem*>(data);
}

void FolderChooser::OnFolderSelected() {
    FolderItem* item = SelectedFolder();
    if (item) SetDlgItemTextA(window, IDC_PATH_EDIT, item->fullPath.Get());
}

void FolderChooser::OnFolderDoubleClick(WPARAM wParam, LPARAM lParam) {
    FolderItem* item = SelectedFolder();
    if (!item) {
        Dialog::OnCommand(wParam, lParam);
        return;
    }
    if (EqualsNoCase(item->fullPath.Get(), path.Get())) return;
    SetCurrentPath(item->fullPath.Get());  // copies: the rebuild below frees the item
    if (acceptProc && acceptProc(acceptData, path.Get(), FolderAcceptOpened, window)) {
        EndDialog(window, IDOK);
        return;
    }
    FillFolderList();
}

void FolderChooser::OnDriveSelected() {
    DriveItem* drive = SelectedDrive();
    if (!drive) return;
    SetCurrentPath(drive->lastDir.Get());
    FillFolderList();
}

void FolderChooser::SetCurrentPath(const char* text) {
    path.Assign(text);
    DriveItem* drive = SelectedDrive();
    if (drive) drive->lastDir.Assign(path.Get());
}

BOOL FolderChooser::OnDrawItem(int controlId, DRAWITEMSTRUCT* item) {
    if (controlId == IDC_FOLDER_LIST) {
        DrawFolderItem(item);
        return TRUE;
    }
    if (controlId == IDC_DRIVE_LIST) {
        DrawDriveItem(item);
        return TRUE;
    }
    return FALSE;
}

BOOL FolderChooser::OnDeleteItem(int controlId, DELETEITEMSTRUCT* item) {
    if (controlId == IDC_FOLDER_LIST) {
        FreeFolderItem(reinterpret_cast<FolderItem*>(item->itemData));
        return TRUE;
    }
    if (controlId == IDC_DRIVE_LIST) {
        FreeDriveItem(reinterpret_cast<DriveItem*>(item->itemData));
        return TRUE;
    }
    return FALSE;
}

int FolderChooser::OnCompareItem(int controlId, COMPAREITEMSTRUCT* item) {
    if (controlId != IDC_FOLDER_LIST) return 0;
    return CompareFolderItems(reinterpret_cast<const FolderItem*>(item->itemData1),
                              reinterpret_cast<const FolderItem*>(item->itemData2));
}
