#pragma once
#include <windows.h>

// An object attached to one control of a dialog (the framework's extension
// point; the setup's dialogs attach none).
class DialogControl {
public:
    virtual ~DialogControl() = default;
    virtual void Draw(DRAWITEMSTRUCT* item) = 0;
    virtual void Command() = 0;
    HWND window = nullptr;
};

// Base of every dialog and wizard page: binds a window to its object through
// the process-wide registry of live dialogs and fans messages out to virtuals.
class Dialog {
public:
    Dialog();
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    virtual void OnInitDialog();
    virtual BOOL InitialFocus(WPARAM proposedFocus);
    virtual void OnDestroy();
    virtual BOOL OnDrawItem(int controlId, DRAWITEMSTRUCT* item);
    virtual BOOL OnDeleteItem(int controlId, DELETEITEMSTRUCT* item);
    virtual int OnCompareItem(int controlId, COMPAREITEMSTRUCT* item);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(NMHDR* header, WPARAM controlId);
    virtual INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Runs the dialog modally with the owner's other windows disabled;
    // returns the EndDialog value (or DialogBoxParamA's failure value).
    INT_PTR RunModal(int resourceId, HWND owner, HINSTANCE instance);
    void CenterOnDesktop();
    void AttachControl(DialogControl* control);

    static INT_PTR CALLBACK SharedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    int controlCount = 0;
    int controlCapacity = 0;
    DialogControl** controls = nullptr;
};

// The process-wide registry of live dialogs.
void RegisterDialog(Dialog* dialog);
void UnregisterDialog(Dialog* dialog);
Dialog* FindDialog(HWND window);
int DialogRegistryCount();
int DialogRegistryCapacity();
Dialog* DialogRegistryAt(int index);  // null outside 0..count-1

// Moves a window to the centre of the desktop (truncating halves).
void CenterWindowOnDesktop(HWND window);

// What DisableOwnedWindows disabled, to be undone by EnableOwnedWindows.
struct DisabledWindows {
    int count;
    HWND owner;  // null when the owner was not disabled here
    HWND windows[1];
};
DisabledWindows* DisableOwnedWindows(HWND owner, BOOL disableOwner);
void EnableOwnedWindows(DisabledWindows* record);
