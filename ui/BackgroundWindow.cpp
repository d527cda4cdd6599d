#include "ui/BackgroundWindow.h"

#include "ui/WideText.h"

namespace {

// Set after the first attempt, successful or not, so the class brush is
// created at most once per process.
bool classRegistrationTried = false;

void RegisterBackgroundClass(HINSTANCE instance) {
    LOGBRUSH brush = {BS_SOLID, kBackgroundColour, 0};
    WNDCLASSA cls = {};
    cls.style = CS_OWNDC;
    cls.lpfnWndProc = BackgroundWindowProc;
    cls.cbWndExtra = sizeof(BackgroundWindowData*);
    cls.hInstance = instance;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = CreateBrushIndirect(&brush);
    cls.lpszClassName = kBackgroundWindowClass;
    RegisterClassA(&cls);
    classRegistrationTried = true;
}

HFONT CreateTitleFont() {
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    int height = -MulDiv(36, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(desktop, screen);
    // No face name: the font mapper picks a proportional serif face.
    return CreateFontA(height, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, nullptr);
}

void StoreTitle(SetupString& stored, const char* title) {
    if (!title || title[0] < 'a' || title[0] > 'z') {
        stored.Assign(title);
        return;
    }
    const char capital[2] = {static_cast<char>(title[0] - 'a' + 'A'), '\0'};
    stored.Assign(capital);
    stored.Append(title + 1);
}

BackgroundWindowData* DataOf(HWND window) {
    return reinterpret_cast<BackgroundWindowData*>(GetWindowLongPtrA(window, 0));
}

void PaintTitle(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    BackgroundWindowData* data = DataOf(window);
    if (data) {
        HGDIOBJ previous = SelectObject(dc, data->font);
        SetTextColor(dc, kBackgroundTextColour);
        SetBkColor(dc, kBackgroundColour);
        DrawProcessText(dc, 5, 5, data->title.Get());
        SelectObject(dc, previous);
    }
    EndPaint(window, &paint);
}

}  // namespace

HWND CreateBackgroundWindow(HINSTANCE instance, const char* title) {
    if (!classRegistrationTried) RegisterBackgroundClass(instance);
    HFONT font = CreateTitleFont();
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    BackgroundWindowData* data = new BackgroundWindowData;
    StoreTitle(data->title, title);
    data->font = font;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kBackgroundWindowClass, "Setup", WS_CAPTION, desktop.left,
                                  desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top, nullptr,
                                  nullptr, instance, data);
    if (!window) {
        // WM_DESTROY never came, so the data is still ours.
        DeleteObject(font);
        delete data;
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            SetWindowLongPtrA(window, 0,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
            break;
        case WM_PAINT: PaintTitle(window); return 0;
        case WM_DESTROY:
            if (BackgroundWindowData* data = DataOf(window)) {
                SetWindowLongPtrA(window, 0, 0);
                DeleteObject(data->font);
                delete data;
            }
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
