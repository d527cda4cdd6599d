#include "setup/ExtensionRules.h"

namespace {

// Programs, scripts, links, installers, drivers and settings Windows acts on.
const char* const kSystemExtensions[] = {
    "exe",  "com",     "bat",    "cmd",         "pif",        "scr",      "lnk",      "url",      "msi",
    "msp",  "mst",     "msc",    "dll",         "cpl",        "sys",      "drv",      "ocx",      "vxd",
    "vbs",  "vbe",     "js",     "jse",         "wsf",        "wsh",      "ws",       "ps1",      "psm1",
    "psd1", "ps1xml",  "reg",    "hta",         "inf",        "chm",      "hlp",      "scf",      "shb",
    "shs",  "jar",     "msh",    "application", "appref-ms",  "gadget",   "xbap",     "cab",      "diagcab",
    "appx", "msix",    "appxbundle", "msixbundle", "library-ms", "search-ms", "settingcontent-ms", "theme",
    "themepack", "cer", "crt",   "der",         "p7b",        "pfx",
};

const char* const kCommonDocumentExtensions[] = {
    "txt", "htm", "html", "pdf", "doc", "docx", "rtf", "odt", "xls", "xlsx", "ppt", "pptx", "csv", "xml",
    "ini", "log", "jpg", "jpeg", "png", "gif", "bmp", "ico", "tif", "tiff", "zip", "rar", "7z", "mp3",
    "wav", "mp4", "avi", "mkv", "mov", "wma", "wmv", "ttf", "json",
};

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (FoldAscii(*a) != FoldAscii(*b)) return false;
    return *a == *b;
}

template <size_t N>
bool Listed(const char* const (&list)[N], const char* suffix) {
    for (const char* entry : list)
        if (SameIgnoringAsciiCase(entry, suffix)) return true;
    return false;
}

}  // namespace

bool IsSystemExtension(const char* suffix) { return Listed(kSystemExtensions, suffix); }

bool IsCommonDocumentExtension(const char* suffix) { return Listed(kCommonDocumentExtensions, suffix); }
