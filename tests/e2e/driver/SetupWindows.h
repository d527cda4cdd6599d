#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What the setup process shows at one moment: its top-level windows sorted
// by kind.
struct SetupWindows {
    HWND sheet = nullptr;           // the wizard (a dialog with a current page)
    HWND background = nullptr;      // "VSETUP_BKG"
    HWND exitDialog = nullptr;      // "Exit Setup" (Exit and Resume buttons)
    std::vector<HWND> messageBoxes; // dialogs with the message text static 0xFFFF
    std::vector<HWND> dialogs;      // any other visible dialog (folder chooser...)
};

SetupWindows FindSetupWindows(DWORD processId);

// Window and control texts across the process boundary (WM_GETTEXT is
// marshalled; a hung target gives an empty text instead of a hang).
std::string WindowText(HWND window);
std::string ControlText(HWND parent, int id);
bool SetControlText(HWND control, const std::string& text);

// The wizard's current page, its index and the number of pages.
HWND CurrentPage(HWND sheet);
int PageIndex(HWND sheet, HWND page);
int PageCount(HWND sheet);

// Wine shows the current page's title in the wizard's title bar.
std::string PageTitle(HWND sheet);

// Sheet buttons (Wine's wizard ids): Back, Next, Finish and Cancel.
enum { kBackButton = 0x3023, kNextButton = 0x3024, kFinishButton = 0x3025, kCancelButton = IDCANCEL };
bool ButtonUsable(HWND dialog, int id);
