#include "folderchooser/FolderChain.h"
#include "folderchooser/FolderChooser.h"
#include "resource.h"
#include "setup/PathHelpers.h"

namespace {

constexpr DWORD kDriveStringsSize = 512;

// The directory the process last used on a drive, or its root.
void CurrentDirectoryOfDrive(const char* root, char* out) {
    char drive[3] = {root[0], ':', '\0'};
    DWORD length = GetFullPathNameA(drive, kPathBufferSize, out, nullptr);
    if (length == 0 || length >= kPathBufferSize) CopyText(out, kPathBufferSize, root);
}

}  // namespace

void FolderChooser::FillDriveList() {
    HWND list = GetDlgItem(window, IDC_DRIVE_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char roots[kDriveStringsSize];
    DWORD length = GetLogicalDriveStringsA(kDriveStringsSize, roots);
    if (length == 0 || length >= kDriveStringsSize) return;  // too small a buffer holds nothing usable
    char current = path.IsSet() ? DriveLetterOf(path.Get()) : 0;
    for (char* root = roots; *root; root += lstrlenA(root) + 1) {
        if (root[0] >= 'a' && root[0] <= 'z') root[0] = static_cast<char>(root[0] - 32);
        DriveItem* drive = new DriveItem;
        drive->letter = root[0];
        drive->icon = GetShellSmallIcon(root, FALSE);
        LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
        if (index < 0) {  // not added: the list will never release it
            FreeDriveItem(drive);
            continue;
        }
        if (current && drive->letter == current) {
            SendMessageA(list, CB_SETCURSEL, index, 0);
            drive->lastDir.Assign(path.Get());
        } else {
            char directory[kPathBufferSize];
            CurrentDirectoryOfDrive(root, directory);
            drive->lastDir.Assign(directory);
        }
    }
}

FolderItem* FolderChooser::AddPathItems(HWND list, const char* text) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    FolderItem* last = nullptr;
    LRESULT lastIndex = LB_ERR;
    PathChainWalker walker(text);
    ChainLevel level;
    while (walker.Next(&level)) {
        FolderItem* item = NewFolderItem(text + level.nameStart, level.nameLength, text, level.fullPathLength,
                                         level.depth, 1);
        LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        if (index < 0) {
            FreeFolderItem(item);
            continue;
        }
        last = item;
        lastIndex = index;
    }
    if (!last) return nullptr;
    // Later levels sort after earlier ones, so the index of the last one holds.
    SendMessageA(list, LB_SETCURSEL, lastIndex, 0);
    return last;
}

void FolderChooser::FillFolderList() {
    HWND list = GetDlgItem(window, IDC_FOLDER_LIST);
    SetCursor(waitCursor);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    FolderItem* last = AddPathItems(list, path.Get());
    if (last) SetDlgItemTextA(window, IDC_PATH_EDIT, last->fullPath.Get());
    if (!path.IsEmpty()) AddSubfolders(last ? last->depth + 1 : 0);
    SetCursor(arrowCursor);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// One directory level only; hidden and system folders stay out of sight.
// A path too long for the search pattern or a child too long for a path
// buffer is left out rather than shown cut.
void FolderChooser::AddSubfolders(int depth) {
    char pattern[kPathBufferSize];
    if (!JoinPath(pattern, sizeof pattern, path.Get(), "*.*")) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    HWND list = GetDlgItem(window, IDC_FOLDER_LIST);
    const DWORD unwanted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (found.dwFileAttributes & unwanted)) continue;
        if (IsDotEntry(found.cFileName)) continue;
        char fullPath[kPathBufferSize];
        if (!JoinPath(fullPath, sizeof fullPath, path.Get(), found.cFileName)) continue;
        FolderItem* item = NewFolderItem(found.cFileName, lstrlenA(found.cFileName), fullPath, lstrlenA(fullPath),
                                         depth, 0);
        if (SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)) < 0) FreeFolderItem(item);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
