#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "folderchooser/FolderChooser.h"

// One entry of the folder list as the user sees it.
struct ListedFolder {
    std::string name;
    std::string fullPath;
    int depth;
    bool onPath;
    bool hasIcon;
};

// A FolderChooser created from template 102 as a modeless window, so that
// a test can look at it between messages.
class OpenChooser {
public:
    explicit OpenChooser(const char* path, const char* label = nullptr, const char* title = nullptr);
    ~OpenChooser();

    std::vector<ListedFolder> Folders() const;
    std::vector<std::string> FolderNamesAtDepth(int depth) const;
    int SelectedFolder() const;
    int IndexOf(const std::string& fullPath) const;
    std::string PathBox() const;
    std::vector<DriveItem*> Drives() const;
    DriveItem* SelectedDrive() const;

    void ClickFolder(int index);
    void DoubleClickFolder(int index);
    void SelectDrive(char letter);
    void Command(int id, int code = 0);

    FolderChooser* chooser;
    HWND window;
    int deletedRecords = 0;
};
