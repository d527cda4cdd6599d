#include "SetupWindows.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

constexpr UINT kMessageTimeout = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
    DWORD processId;
    SetupWindows* found;
};

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsExitDialog(HWND window) {
    return GetDlgItem(window, 1004) && GetDlgItem(window, 1006) && WindowText(window) == "Exit Setup";
}

void Classify(HWND window, SetupWindows& found) {
    std::string name = ClassName(window);
    if (name == "VSETUP_BKG") {
        found.background = window;
        return;
    }
    if (name != "#32770" || !IsWindowVisible(window)) return;
    if (GetDlgItem(window, kMessageBoxTextId)) {
        found.messageBoxes.push_back(window);
    } else if (IsExitDialog(window)) {
        found.exitDialog = window;
    } else if (CurrentPage(window)) {
        found.sheet = window;
    } else {
        found.dialogs.push_back(window);
    }
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    Search* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) Classify(window, *search->found);
    return TRUE;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeout, &result)) return 0;
    return static_cast<LRESULT>(result);
}

}  // namespace

SetupWindows FindSetupWindows(DWORD processId) {
    SetupWindows found;
    Search search = {processId, &found};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    return found;
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    Send(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    text[sizeof text - 1] = '\0';
    return text;
}

std::string ControlText(HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    return control ? WindowText(control) : std::string();
}

bool SetControlText(HWND control, const std::string& text) {
    return Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

HWND CurrentPage(HWND sheet) { return reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

int PageIndex(HWND sheet, HWND page) {
    return static_cast<int>(Send(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

// Page windows exist only once shown and a wizard has no tab items, but
// every page has its page handle from the start.
int PageCount(HWND sheet) {
    int count = 0;
    while (count < 64 && Send(sheet, PSM_INDEXTOPAGE, count, 0)) ++count;
    return count;
}

std::string PageTitle(HWND sheet) { return WindowText(sheet); }

bool ButtonUsable(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}
