#include <gtest/gtest.h>
#include <windows.h>

#include "ChooserFixture.h"
#include "resource.h"

namespace {

// Paints one entry into a memory bitmap through the chooser's own drawing.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, width, height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DRAWITEMSTRUCT Item(UINT state, ULONG_PTR data, int top, int bottom) const {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_LISTBOX;
        draw.itemID = 0;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hDC = dc_;
        draw.rcItem = {0, top, width_, bottom};
        draw.itemData = data;
        return draw;
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    // True when some pixel in the box differs from the colour.
    bool AnyOtherThan(COLORREF colour, int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) != colour) return true;
        return false;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

TEST(FolderDrawing, SelectedEntryIsHighlightedAndIndentedByDepth) {
    OpenChooser open("C:\\windows\\system32");
    HWND list = GetDlgItem(open.window, IDC_FOLDER_LIST);
    auto* item = reinterpret_cast<FolderItem*>(SendMessageA(list, LB_GETITEMDATA, 2, 0));
    ASSERT_EQ(item->depth, 2);
    ASSERT_NE(item->openIcon, nullptr);
    RECT rect;
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    int height = rect.bottom - rect.top;
    int icon = open.chooser->iconSize.cx;
    Canvas canvas(200, height);
    DRAWITEMSTRUCT draw = canvas.Item(ODS_SELECTED, reinterpret_cast<ULONG_PTR>(item), 0, height);
    SelectObject(draw.hDC, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    open.chooser->DrawFolderItem(&draw);

    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    int x = 4 + 4 * 2;
    EXPECT_FALSE(canvas.AnyOtherThan(highlight, 0, 0, x, height));            // margin and indentation
    EXPECT_TRUE(canvas.AnyOtherThan(highlight, x, 0, x + icon, height));      // the icon
    EXPECT_TRUE(canvas.AnyOtherThan(highlight, x + icon, 0, 200, height));    // the name
    EXPECT_FALSE(canvas.AnyOtherThan(highlight, 150, 0, 200, height));        // nothing past a short name
    EXPECT_EQ(canvas.At(199, height - 1), highlight);
}

TEST(FolderDrawing, UnselectedEntryUsesWindowColoursAndFocusGetsARectangle) {
    OpenChooser open("C:\\windows");
    HWND list = GetDlgItem(open.window, IDC_FOLDER_LIST);
    auto* item = reinterpret_cast<FolderItem*>(SendMessageA(list, LB_GETITEMDATA, 0, 0));
    Canvas canvas(120, 40);
    DRAWITEMSTRUCT plain = canvas.Item(0, reinterpret_cast<ULONG_PTR>(item), 0, 20);
    open.chooser->DrawFolderItem(&plain);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(canvas.At(1, 1), window);
    EXPECT_EQ(canvas.At(119, 19), window);
    EXPECT_EQ(canvas.At(60, 30), RGB(0, 0, 0));  // nothing outside the item

    DRAWITEMSTRUCT focused = canvas.Item(ODS_FOCUS, reinterpret_cast<ULONG_PTR>(item), 20, 40);
    open.chooser->DrawFolderItem(&focused);
    EXPECT_TRUE(canvas.AnyOtherThan(window, 0, 20, 120, 21));  // the dotted frame
    EXPECT_EQ(canvas.At(100, 30), window);
}

TEST(FolderDrawing, EmptyControlGetsOnlyItsBackground) {
    OpenChooser open("C:\\");
    Canvas canvas(100, 20);
    DRAWITEMSTRUCT empty = canvas.Item(0, 0, 0, 20);
    empty.itemID = static_cast<UINT>(-1);
    open.chooser->DrawDriveItem(&empty);
    EXPECT_FALSE(canvas.AnyOtherThan(GetSysColor(COLOR_WINDOW), 0, 0, 100, 20));
}

TEST(DriveDrawing, DriveEntryShowsIconThenLetter) {
    OpenChooser open("C:\\");
    DriveItem* drive = open.SelectedDrive();
    ASSERT_NE(drive, nullptr);
    Canvas canvas(100, 18);
    DRAWITEMSTRUCT draw = canvas.Item(0, reinterpret_cast<ULONG_PTR>(drive), 0, 18);
    open.chooser->DrawDriveItem(&draw);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    int icon = open.chooser->iconSize.cx;
    EXPECT_FALSE(canvas.AnyOtherThan(window, 0, 0, 4, 18));
    EXPECT_TRUE(canvas.AnyOtherThan(window, 4, 0, 4 + icon, 18));
    EXPECT_TRUE(canvas.AnyOtherThan(window, 4 + icon, 0, 60, 18));
}

}  // namespace
