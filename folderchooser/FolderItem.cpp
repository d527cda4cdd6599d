#include "folderchooser/FolderItem.h"

#include <shellapi.h>

#include "folderchooser/FolderChain.h"

HICON GetShellSmallIcon(const char* path, BOOL open) {
    SHFILEINFOA info = {};
    UINT flags = SHGFI_ICON | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, flags)) return nullptr;
    return info.hIcon;
}

FolderItem* NewFolderItem(const char* name, size_t nameLength, const char* fullPath, size_t fullPathLength,
                          int depth, DWORD onPath) {
    FolderItem* item = new FolderItem;
    item->name.Assign(name, nameLength);
    item->fullPath.Assign(fullPath, fullPathLength);
    item->depth = depth;
    item->onPath = onPath;
    item->closedIcon = GetShellSmallIcon(item->fullPath.Get(), FALSE);
    item->openIcon = GetShellSmallIcon(item->fullPath.Get(), TRUE);
    return item;
}

// The shell hands out a new icon per call; the records own theirs.
void FreeFolderItem(FolderItem* item) {
    if (!item) return;
    if (item->closedIcon) DestroyIcon(item->closedIcon);
    if (item->openIcon) DestroyIcon(item->openIcon);
    delete item;
}

void FreeDriveItem(DriveItem* item) {
    if (!item) return;
    if (item->icon) DestroyIcon(item->icon);
    delete item;
}

int CompareFolderItems(const FolderItem* item1, const FolderItem* item2) {
    return CompareFolderOrder(item1->depth, item1->name.Get(), item2->depth, item2->name.Get());
}
