#pragma once
#include <windows.h>

#include "folderchooser/FolderItem.h"
#include "setup/SetupString.h"
#include "ui/Dialog.h"

// Phases of a FolderAcceptProc call.
enum { FolderAcceptOpened = 0, FolderAcceptTyped = 1 };

// A caller's test of a path: non-zero accepts it. Phase 0 for the initial
// path (window none) and for a folder just opened; 1 for the path box at OK.
typedef int (*FolderAcceptProc)(void* acceptData, const char* path, int phase, HWND window);

// Runs "Choose a Folder" (template 102). Returns 1 and copies at most
// resultSize - 1 characters of the chosen path into result; returns 0 and
// leaves result untouched when cancelled.
int ChooseFolder(HWND owner, HINSTANCE instance, const char* label, const char* title, char* result,
                 size_t resultSize, const char* initialPath, FolderAcceptProc acceptProc, void* acceptData);

class FolderChooser : public Dialog {
public:
    FolderChooser(const char* labelText, const char* title, const char* initialPath, FolderAcceptProc accept,
                  void* data);

    void OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnDrawItem(int controlId, DRAWITEMSTRUCT* item) override;
    BOOL OnDeleteItem(int controlId, DELETEITEMSTRUCT* item) override;
    int OnCompareItem(int controlId, COMPAREITEMSTRUCT* item) override;

    void SetCurrentPath(const char* text);
    void FillDriveList();
    FolderItem* AddPathItems(HWND list, const char* text);
    void FillFolderList();
    void DrawFolderItem(const DRAWITEMSTRUCT* draw);
    void DrawDriveItem(const DRAWITEMSTRUCT* draw);

    SIZE iconSize = {};
    HCURSOR waitCursor = nullptr;
    HCURSOR arrowCursor = nullptr;
    SetupString path;
    SetupString caption;
    SetupString label;
    FolderAcceptProc acceptProc = nullptr;
    void* acceptData = nullptr;
    bool acceptedAtStart = false;

private:
    void ReadIconSize();
    void OnOk(LPARAM lParam);
    void OnNetwork();
    void OnFolderDoubleClick(WPARAM wParam, LPARAM lParam);
    void OnFolderSelected();
    void OnDriveSelected();
    FolderItem* SelectedFolder() const;
    DriveItem* SelectedDrive() const;
    void AddSubfolders(int depth);
};
