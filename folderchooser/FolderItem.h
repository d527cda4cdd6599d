#pragma once
#include <windows.h>

#include "setup/SetupString.h"

// The record behind one entry of the folder list. Owned by the list entry:
// released when the list deletes the entry.
struct FolderItem {
    SetupString name;
    SetupString fullPath;
    int depth = 0;
    DWORD onPath = 0;  // 1 for the chain, 0 for subfolders
    HICON closedIcon = nullptr;
    HICON openIcon = nullptr;
};

// The record behind one entry of the drive list.
struct DriveItem {
    char letter = 0;
    HICON icon = nullptr;
    SetupString lastDir;  // where the drive returns to when selected again
};

// The shell's small icon for a path (none when the shell knows nothing of it).
HICON GetShellSmallIcon(const char* path, BOOL open);

// A folder record with its name, path and both icons; name and path are
// given with their lengths since they are pieces of a longer text.
FolderItem* NewFolderItem(const char* name, size_t nameLength, const char* fullPath, size_t fullPathLength,
                          int depth, DWORD onPath);
void FreeFolderItem(FolderItem* item);
void FreeDriveItem(DriveItem* item);

int CompareFolderItems(const FolderItem* item1, const FolderItem* item2);
