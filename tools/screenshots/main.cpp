// Screenshots of the dialogs: `screenshots templates DIR` shows every dialog
// template and the background window, `screenshots pages DIR` the real wizard
// pages and the folder chooser; each is written as a BMP into DIR
// (scripts/screenshots.sh makes PNG files of them).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "ScreenCapture.h"

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "templates") != 0 && std::strcmp(argv[1], "pages") != 0)) {
        std::fputs("usage: screenshots templates|pages DIRECTORY\n", stderr);
        return 2;
    }
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    bool ok = std::strcmp(argv[1], "templates") == 0 ? CaptureTemplates(argv[2]) : CapturePages(argv[2]);
    return ok ? 0 : 1;
}
