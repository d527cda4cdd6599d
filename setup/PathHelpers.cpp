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
    bool needsSeparator = !EndsWithChar(dir, dirLength, '\\');
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
    if (EndsWithChar(text, length, '\\')) return length;
    if (length + 2 > size) return length;
    text[length] = '\\';
    text[length + 1] = '\0';
    return length + 1;
}

char HexDigit(unsigned number) { return "0123456789ABCDEF"[number & 0xF]; }
