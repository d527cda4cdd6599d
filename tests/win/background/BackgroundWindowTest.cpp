#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/WindowScript.h"
#include "ui/BackgroundWindow.h"

// One process per suite: the class registration flag cannot be reset, and the
// last test here depends on what the earlier ones registered.
namespace {

using namespace wscript;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

BackgroundWindowData* DataOf(HWND window) {
    return reinterpret_cast<BackgroundWindowData*>(GetWindowLongPtrA(window, 0));
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(BackgroundWindow, CoversTheDesktopTopmostWithoutSystemMenuOrActivation) {
    HWND before = GetForegroundWindow();
    HWND window = CreateBackgroundWindow(Module(), "Varnplay");
    ASSERT_NE(window, nullptr);
    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    EXPECT_TRUE(EqualRect(&desktop, &own));
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(GetActiveWindow(), window);
    EXPECT_EQ(GetForegroundWindow(), before);
    EXPECT_EQ(WindowText(window), "Setup");
    DestroyWindow(window);
}

TEST(BackgroundWindow, TitleFontIs36PointBoldItalicSerif) {
    HWND window = CreateBackgroundWindow(Module(), "Varnplay");
    ASSERT_NE(window, nullptr);
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(DataOf(window)->font, sizeof font, &font));
    EXPECT_EQ(font.lfHeight, -MulDiv(36, ScreenDpi(), 72));
    if (ScreenDpi() == 96) {
        EXPECT_EQ(font.lfHeight, -48);
    }
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(font.lfPitchAndFamily, VARIABLE_PITCH | FF_ROMAN);
    EXPECT_EQ(font.lfFaceName[0], '\0');
    DestroyWindow(window);
}

TEST(BackgroundWindow, CapitalisesOnlyALowerCaseFirstLetter) {
    const struct {
        const char* given;
        const char* shown;
    } cases[] = {{"varnplay", "Varnplay"}, {"devi Dezir", "Devi Dezir"}, {"Varnplay", "Varnplay"},
                 {"3d maze", "3d maze"}, {"\xE9tude", "\xE9tude"}, {"", ""}, {nullptr, ""}};
    for (const auto& c : cases) {
        HWND window = CreateBackgroundWindow(Module(), c.given);
        ASSERT_NE(window, nullptr);
        EXPECT_STREQ(DataOf(window)->title.Get(), c.shown);
        DestroyWindow(window);
    }
}

TEST(BackgroundWindow, PaintsWhiteTitleOnTealAtFivePixels) {
    HWND window = CreateBackgroundWindow(Module(), "Varnplay");
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    // The topmost window's client corner, copied once and then examined.
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, 400, 120);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 400, 120, windowDc, 0, 0, SRCCOPY);
    int white = 0, teal = 0, other = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 400; ++x) {
            COLORREF c = GetPixel(memory, x, y);
            if (c == kBackgroundTextColour) ++white;
            else if (c == kBackgroundColour) ++teal;
            else ++other;
        }
    bool whiteInMargin = false;  // rows and columns 0 to 4 stay teal
    for (int i = 0; i < 400; ++i)
        for (int m = 0; m < 5; ++m)
            whiteInMargin |= GetPixel(memory, i, m) == kBackgroundTextColour ||
                             (i < 120 && GetPixel(memory, m, i) == kBackgroundTextColour);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    EXPECT_GT(white, 200) << "title letters";
    EXPECT_GT(teal, 400 * 120 / 2) << "background";
    EXPECT_FALSE(whiteInMargin) << "text starts 5 pixels in";
}

TEST(BackgroundWindow, ClassIsRegisteredOnlyOnce) {
    WNDCLASSA cls = {};
    ASSERT_TRUE(GetClassInfoA(Module(), kBackgroundWindowClass, &cls));
    EXPECT_EQ(cls.style, static_cast<UINT>(CS_OWNDC));
    EXPECT_EQ(cls.cbWndExtra, static_cast<int>(sizeof(void*)));
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectA(cls.hbrBackground, sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, kBackgroundColour);
    // Take the class away: a background window that registered again would
    // come back; one that trusts its flag cannot be created any more.
    ASSERT_TRUE(UnregisterClassA(kBackgroundWindowClass, Module()));
    HWND window = CreateBackgroundWindow(Module(), "Varnplay");
    EXPECT_EQ(window, nullptr);
    if (window) DestroyWindow(window);
}

}  // namespace
