#include <cstdio>

#include "folderchooser/FolderChooser.h"
#include "ui/WideText.h"

namespace {

constexpr int kMargin = 4;
constexpr int kIndentPerLevel = 4;

// Paints the entry's background in the colours of its state and keeps the
// context's colours for RestoreColours.
struct EntryColours {
    COLORREF oldText;
    COLORREF oldBack;
};

EntryColours PaintBackground(const DRAWITEMSTRUCT* draw) {
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    EntryColours previous = {SetTextColor(draw->hDC, text), SetBkColor(draw->hDC, back)};
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(draw->hDC, &draw->rcItem, brush);
    DeleteObject(brush);
    return previous;
}

void FinishEntry(const DRAWITEMSTRUCT* draw, const EntryColours& previous) {
    if (draw->itemState & ODS_FOCUS) DrawFocusRect(draw->hDC, &draw->rcItem);
    SetTextColor(draw->hDC, previous.oldText);
    SetBkColor(draw->hDC, previous.oldBack);
}

int TextTop(const DRAWITEMSTRUCT* draw) {
    TEXTMETRICA metrics;
    GetTextMetricsA(draw->hDC, &metrics);
    return draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - metrics.tmHeight) / 2;
}

}  // namespace

void FolderChooser::DrawFolderItem(const DRAWITEMSTRUCT* draw) {
    int textTop = TextTop(draw);
    EntryColours previous = PaintBackground(draw);
    const FolderItem* item = reinterpret_cast<const FolderItem*>(draw->itemData);
    if (draw->itemID != static_cast<UINT>(-1) && item) {
        int x = draw->rcItem.left + kMargin + kIndentPerLevel * item->depth;
        HICON icon = item->onPath ? item->openIcon : item->closedIcon;
        if (icon) DrawIconEx(draw->hDC, x, draw->rcItem.top, icon, iconSize.cx, iconSize.cy, 0, nullptr, DI_NORMAL);
        const char* name = item->name.Get();
        DrawProcessTextLinked(draw->hDC, x + iconSize.cx, textTop, name);
    }
    FinishEntry(draw, previous);
}

void FolderChooser::DrawDriveItem(const DRAWITEMSTRUCT* draw) {
    int textTop = TextTop(draw);
    EntryColours previous = PaintBackground(draw);
    const DriveItem* drive = reinterpret_cast<const DriveItem*>(draw->itemData);
    if (draw->itemID != static_cast<UINT>(-1) && drive) {
        int x = draw->rcItem.left + kMargin;
        if (drive->icon) DrawIconEx(draw->hDC, x, draw->rcItem.top, drive->icon, iconSize.cx, iconSize.cy, 0, nullptr, DI_NORMAL);
        char text[8];
        snprintf(text, sizeof text, " %c:", drive->letter);
        DrawProcessText(draw->hDC, x + iconSize.cx, textTop, text);
    }
    FinishEntry(draw, previous);
}
