#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resource.h"
#include "support/WindowScript.h"
#include "ui/ReadOnlyEdit.h"

namespace {

using namespace wscript;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

INT_PTR CALLBACK InertProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Control {
    HWND window;
    std::string cls;
    std::string text;
    RECT rect;  // in the dialog's client coordinates
    LONG_PTR style;
};

// Every template, created as the program creates it (pages inside a parent).
class Templates : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&init);
        RegisterReadOnlyEdit(Module());
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, Module(), nullptr);
        dialog_ = CreateDialogParamA(Module(), MAKEINTRESOURCEA(GetParam()), parent_, InertProc, 0);
        ASSERT_NE(dialog_, nullptr);
        for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            Control c = {child, "", WindowText(child), {}, GetWindowLongPtrA(child, GWL_STYLE)};
            char cls[64] = {};
            GetClassNameA(child, cls, sizeof cls);
            c.cls = cls;
            GetWindowRect(child, &c.rect);
            MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&c.rect), 2);
            controls_.push_back(c);
        }
    }
    void TearDown() override { DestroyWindow(parent_); }

    bool IsTextStatic(const Control& c) const {
        return lstrcmpiA(c.cls.c_str(), "Static") == 0 && (c.style & SS_TYPEMASK) == SS_LEFT && !c.text.empty();
    }
    bool IsGroupBox(const Control& c) const {
        return lstrcmpiA(c.cls.c_str(), "Button") == 0 && (c.style & 0x0F) == BS_GROUPBOX;
    }
    bool IsBitmap(const Control& c) const {
        return lstrcmpiA(c.cls.c_str(), "Static") == 0 && (c.style & SS_TYPEMASK) == SS_BITMAP;
    }

    HWND parent_ = nullptr, dialog_ = nullptr;
    std::vector<Control> controls_;
};

// The test prefixes hold Windows' fonts (scripts/wine-prefix.sh): every
// template is laid out in the bitmap "MS Sans Serif" of 8 points at 96 dots
// per inch, whose dialog base units are 6 by 13 pixels as on Windows.
TEST_P(Templates, TextsFitTheirControlsInTheTemplateFont) {
    HDC dc = GetDC(dialog_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0)));
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    EXPECT_STREQ(face, "MS Sans Serif");
    RECT units = {0, 0, 4, 8};
    MapDialogRect(dialog_, &units);
    EXPECT_EQ(units.right, 6);
    EXPECT_EQ(units.bottom, 13);
    for (const Control& c : controls_) {
        if (!IsTextStatic(c)) continue;
        RECT client;
        GetClientRect(c.window, &client);
        RECT needed = client;
        DrawTextA(dc, c.text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        EXPECT_LE(needed.bottom, client.bottom) << "\"" << c.text << "\" is cut off at the bottom (" << face << ")";
        EXPECT_LE(needed.right, client.right) << "\"" << c.text << "\" is cut off at the right (" << face << ")";
    }
    SelectObject(dc, old);
    ReleaseDC(dialog_, dc);
}

TEST_P(Templates, VisibleControlsLieInsideAndDoNotOverlap) {
    RECT client;
    GetClientRect(dialog_, &client);
    for (size_t i = 0; i < controls_.size(); ++i) {
        const Control& a = controls_[i];
        RECT inside;
        IntersectRect(&inside, &a.rect, &client);
        // A drop-down combo box's rectangle includes its closed list.
        if (lstrcmpiA(a.cls.c_str(), "ComboBox") != 0) {
            EXPECT_TRUE(EqualRect(&inside, &a.rect)) << a.text;
        }
        if (!(a.style & WS_VISIBLE) || IsGroupBox(a)) continue;
        for (size_t j = i + 1; j < controls_.size(); ++j) {
            const Control& b = controls_[j];
            if (!(b.style & WS_VISIBLE) || IsGroupBox(b)) continue;
            // Adjacent rectangles in dialog units may share a pixel row after rounding.
            RECT shrunkA = a.rect, shrunkB = b.rect, overlap;
            InflateRect(&shrunkA, -1, -1);
            InflateRect(&shrunkB, -1, -1);
            EXPECT_FALSE(IntersectRect(&overlap, &shrunkA, &shrunkB))
                << "\"" << a.text << "\" (" << a.cls << ") overlaps \"" << b.text << "\" (" << b.cls << ")";
        }
    }
}

TEST_P(Templates, PicturesAreLoadedAtTheirOwnSize) {
    for (const Control& c : controls_) {
        if (!IsBitmap(c)) continue;
        HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageA(c.window, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(image, nullptr);
        BITMAP info = {};
        GetObjectA(image, sizeof info, &info);
        bool sidePicture = info.bmWidth == 123 && info.bmHeight == 262;
        bool stepMark = info.bmWidth == 16 && info.bmHeight == 16;
        EXPECT_TRUE(sidePicture || stepMark) << info.bmWidth << " x " << info.bmHeight;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, Templates,
                         ::testing::Values(IDD_FOLDER_CHOOSER, IDD_WELCOME, IDD_PROGRESS, IDD_START_FOLDER,
                                           IDD_LICENSE, IDD_READY, IDD_EXIT_SETUP, IDD_PROGRAM_DIR,
                                           IDD_ASSOCIATIONS));

// 16-colour bitmaps drawn as described: size, depth and a few telling pixels.
void ExpectBitmap(int id, int width, int height, std::vector<std::pair<POINT, COLORREF>> pixels) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << id;
    DIBSECTION dib = {};
    ASSERT_TRUE(GetObjectA(bitmap, sizeof dib, &dib));
    EXPECT_EQ(dib.dsBm.bmWidth, width) << id;
    EXPECT_EQ(dib.dsBm.bmHeight, height) << id;
    EXPECT_EQ(dib.dsBmih.biBitCount, 4) << id;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (const auto& p : pixels) EXPECT_EQ(GetPixel(dc, p.first.x, p.first.y), p.second) << id << " at " << p.first.x << "," << p.first.y;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(Pictures, StepMarksAndSidePicture) {
    const COLORREF grey = RGB(192, 192, 192), shadow = RGB(128, 128, 128);
    ExpectBitmap(IDB_STEP_CURRENT, 16, 16, {{{0, 0}, grey}, {{6, 8}, RGB(0, 0, 255)}, {{5, 14}, shadow}});
    ExpectBitmap(IDB_STEP_SKIPPED, 16, 16, {{{0, 0}, grey}, {{7, 7}, RGB(255, 0, 0)}, {{13, 13}, shadow}});
    ExpectBitmap(IDB_STEP_DONE, 16, 16, {{{0, 0}, grey}, {{6, 11}, RGB(0, 0, 255)}});
    ExpectBitmap(IDB_SIDE_PICTURE, 123, 262, {{{0, 0}, RGB(0, 0, 128)}});
}

TEST(Pictures, OneIconGroupWithEveryRequiredImage) {
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(IDI_SETUP), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(Module(), found)));
    int count = group[4] | group[5] << 8;
    std::vector<std::pair<int, int>> images;  // size, bits per pixel
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + 14 * i;
        images.push_back({entry[0] ? entry[0] : 256, entry[6] | entry[7] << 8});
    }
    std::vector<std::pair<int, int>> expected = {{32, 4}, {16, 4}, {32, 8}, {16, 8}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
    EXPECT_EQ(images, expected);
    HICON large = static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, 48, 48, 0));
    EXPECT_NE(large, nullptr);
    DestroyIcon(large);
}

TEST(Strings, PageTitles) {
    const char* titles[] = {"Copyright Information", "Welcome", "Select Program Folder", "Setup Progress",
                            "Ready To Install", "Program Directory", "File Type Associations"};
    for (int id = 1; id <= 7; ++id) {
        char text[64] = {};
        LoadStringA(Module(), id, text, sizeof text);
        EXPECT_STREQ(text, titles[id - 1]);
    }
}

}  // namespace
