#include "ui/WideText.h"

#include "setup/TextDecoding.h"

std::wstring WideText(const char* text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

namespace {

bool IsAsciiText(const std::wstring& text) {
    for (wchar_t c : text)
        if (c >= 0x80) return false;
    return true;
}

// The character set of the system's own script: where that is not Western,
// the font mapper then takes a face that has it even if the named one lacks it.
BYTE SystemCharset() {
    CHARSETINFO info = {};
    UINT_PTR codePage = SystemAnsiCodePage();
    if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(codePage), &info, TCI_SRCCODEPAGE) &&
        info.ciCharset != ANSI_CHARSET)
        return static_cast<BYTE>(info.ciCharset);
    return DEFAULT_CHARSET;
}

// The selected font at its size, as a TrueType face that Windows and Wine
// link to the fonts of other scripts; a bitmap font such as the dialogs' MS
// Sans Serif has the Western characters only.
HFONT LinkedFontLike(HDC dc) {
    LOGFONTW font = {};
    if (!GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font)) return nullptr;
    font.lfCharSet = SystemCharset();
    font.lfOutPrecision = OUT_TT_PRECIS;
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

}  // namespace

BOOL DrawProcessText(HDC dc, int x, int y, const char* text) {
    std::wstring wide = WideText(text);
    return ExtTextOutW(dc, x, y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
}

BOOL DrawProcessTextLinked(HDC dc, int x, int y, const char* text) {
    std::wstring wide = WideText(text);
    HFONT linked = IsAsciiText(wide) ? nullptr : LinkedFontLike(dc);
    HGDIOBJ previous = linked ? SelectObject(dc, linked) : nullptr;
    BOOL drawn = ExtTextOutW(dc, x, y, 0, nullptr, wide.c_str(), static_cast<UINT>(wide.size()), nullptr);
    if (linked) {
        SelectObject(dc, previous);
        DeleteObject(linked);
    }
    return drawn;
}
