#include "setup/PathHelpers.h"

#include <cstring>

bool CopyText(char* out, size_t size, const char* text) {
    if (size == 0) return false;
    out[0] = '\0';
    return AppendText(out, size, text);
}

bool AppendText(char* out, size_t size, const char* text) {
    if (size == 0) return false;
    size_t used = strnlen(out, size);
    if (used >= size) {  // not terminated within size: terminate, count as cut
        out[size - 1] = '\0';
        return false;
    }
    size_t extra = text ? std::strlen(text) : 0;
    size_t room = size - 1 - used;
    size_t take = extra < room ? extra : room;
    if (take) std::memcpy(out + used, text, take);
    out[used + take] = '\0';
    return take == extra;
}

bool JoinPath(char* out, size_t size, const char* directory, const char* name) {
    if (size == 0) return false;
    const char* dir = directory ? directory : "";
    size_t dirLength = std::strlen(dir);
    bool needsSeparator = dirLength == 0 || dir[dirLength - 1] != '\\';
    size_t nameLength = name ? std::strlen(name) : 0;
    if (dirLength + (needsSeparator ? 1 : 0) + nameLength + 1 > size) {
        out[0] = '\0';
        return false;
    }
    std::memmove(out, dir, dirLength);  // out may alias directory
    size_t at = dirLength;
    if (needsSeparator) out[at++] = '\\';
    if (nameLength) std::memcpy(out + at, name, nameLength);
    out[at + nameLength] = '\0';
    return true;
}

size_t EnsureTrailingBackslash(char* text, size_t size) {
    size_t length = strnlen(text, size);
    if (length >= size) return length;
    if (length > 0 && text[length - 1] == '\\') return length;
    if (length + 2 > size) return length;
    text[length] = '\\';
    text[length + 1] = '\0';
    return length + 1;
}

char HexDigit(unsigned number) { return "0123456789ABCDEF"[number & 0xF]; }

static unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

int CompareNoCaseN(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
        unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x - y;
        if (x == 0) return 0;
    }
    return 0;
}

int CompareNoCase(const char* a, const char* b) { return CompareNoCaseN(a, b, static_cast<size_t>(-1)); }

bool EqualsNoCase(const char* a, const char* b) { return CompareNoCase(a, b) == 0; }
