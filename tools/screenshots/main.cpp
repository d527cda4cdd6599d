// Shows every dialog template and the background window in turn, copies each
// from the screen and writes it as a BMP into the directory given as the
// argument (scripts/screenshots.sh turns them into PNG files).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <initializer_list>

#include "resource.h"
#include "ui/BackgroundWindow.h"
#include "ui/ReadOnlyEdit.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

INT_PTR CALLBACK InertProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

bool WriteBmp(const char* path, HDC source, const RECT& area) {
    int width = area.right - area.left, height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return false;
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    GdiFlush();
    DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    FILE* out = std::fopen(path, "wb");
    bool written = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
                   std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                   std::fwrite(bits, imageSize, 1, out) == 1;
    if (out) std::fclose(out);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return written;
}

void Settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    GdiFlush();
}

bool Capture(HWND window, const char* directory, const char* name) {
    Settle(window);
    RECT area;
    GetWindowRect(window, &area);
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s\\%s.bmp", directory, name);
    HDC screen = GetDC(nullptr);
    bool written = WriteBmp(path, screen, area);
    ReleaseDC(nullptr, screen);
    std::printf("%s %s\n", written ? "wrote" : "FAILED", path);
    return written;
}

const char kSampleText[] =
    "VARNPLAY SOFTWARE LICENSE\r\n\r\nThis is sample text standing in for LICENSE.TXT, long enough to wrap "
    "across the width of the control and to show the scroll bar.\r\n";

void FillSamples(HWND dialog, int id) {
    if (id == IDD_LICENSE) SetDlgItemTextA(dialog, IDC_LICENSE_TEXT, kSampleText);
    if (id == IDD_READY)
        SetDlgItemTextA(dialog, IDC_SUMMARY_TEXT,
                        "Destination Directory:\r\n    C:\\Program Files\\Varnplay\r\n\r\nProgram Folder:\r\n    Varnplay");
    if (id == IDD_PROGRAM_DIR) SetDlgItemTextA(dialog, IDC_PROGRAM_DIR_TEXT, "C:\\Program Files\\Varnplay");
    if (id == IDD_ASSOCIATIONS) CheckDlgButton(dialog, IDC_ASSOC_YES, BST_CHECKED);
}

// Pages are child templates: they are shown in a captioned frame of their size.
bool CaptureTemplate(int id, const char* directory) {
    HWND frame = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, "#32770", "", WS_POPUP | WS_CAPTION, 40, 40, 100,
                                 100, nullptr, nullptr, Module(), nullptr);
    HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(id), frame, InertProc, 0);
    if (!dialog) {
        std::printf("FAILED to create dialog %d\n", id);
        DestroyWindow(frame);
        return false;
    }
    HWND shown = dialog;
    if (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD) {
        char caption[128] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        SetWindowTextA(frame, caption);
        SetWindowLongPtrA(dialog, GWL_STYLE, GetWindowLongPtrA(dialog, GWL_STYLE) & ~WS_CAPTION);
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        RECT size;
        GetClientRect(dialog, &size);
        AdjustWindowRectEx(&size, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
        SetWindowPos(frame, HWND_TOPMOST, 40, 40, size.right - size.left, size.bottom - size.top, SWP_SHOWWINDOW);
        ShowWindow(dialog, SW_SHOW);
        shown = frame;
    } else {
        SetWindowPos(dialog, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    FillSamples(dialog, id);
    char name[32];
    std::snprintf(name, sizeof name, "dialog-%d", id);
    bool ok = Capture(shown, directory, name);
    DestroyWindow(dialog);
    DestroyWindow(frame);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* directory = argc > 1 ? argv[1] : ".";
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    RegisterReadOnlyEdit(Module());
    bool ok = true;
    for (int id : {IDD_FOLDER_CHOOSER, IDD_WELCOME, IDD_PROGRESS, IDD_START_FOLDER, IDD_LICENSE, IDD_READY,
                   IDD_EXIT_SETUP, IDD_PROGRAM_DIR, IDD_ASSOCIATIONS})
        ok = CaptureTemplate(id, directory) && ok;
    HWND background = CreateBackgroundWindow(Module(), "varnplay");
    ok = background && Capture(background, directory, "background") && ok;
    if (background) DestroyWindow(background);
    return ok ? 0 : 1;
}
