#include "setup/NameChars.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

unsigned chosenCodePage = 0;

unsigned char Fold(unsigned char c, bool slashesAlike) {
    if (slashesAlike && c == '/') return '\\';
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Length of the UTF-8 sequence a byte starts, 1 for anything else.
size_t Utf8SequenceSize(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

}  // namespace

unsigned NameCodePage() {
    if (chosenCodePage) return chosenCodePage;
#ifdef _WIN32
    return GetACP();
#else
    return 1252;
#endif
}

void SetNameCodePage(unsigned codePage) { chosenCodePage = codePage; }

// The same table on Windows as natively, so that what the native tests and
// fuzzers run is what ships; a Windows test holds it against IsDBCSLeadByteEx.
bool IsLeadByte(unsigned codePage, unsigned char byte) {
    switch (codePage) {
        case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 936:
        case 949:
        case 950: return byte >= 0x81 && byte <= 0xFE;
        default: return false;
    }
}

// A byte that can follow a lead byte in that code page. A lead byte before
// anything else stands alone, so that a '/' or '.' after it is always seen:
// Windows might not take the two for one character.
bool IsTrailByte(unsigned codePage, unsigned char byte) {
    switch (codePage) {
        case 932: return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
        case 936: return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
        case 949: return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) || byte >= 0x81;
        case 950: return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
        default: return false;
    }
}

size_t CharSize(const char* at, size_t left) {
    if (left == 0) return 0;
    unsigned codePage = NameCodePage();
    unsigned char lead = static_cast<unsigned char>(at[0]);
    size_t size = 1;
    if (codePage == kCodePageUtf8) {
        size = Utf8SequenceSize(lead);
        for (size_t i = 1; i < size; ++i) {  // a broken sequence ends where it breaks
            if (i >= left || (static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return i;
        }
    } else if (IsLeadByte(codePage, lead) && left > 1 && IsTrailByte(codePage, static_cast<unsigned char>(at[1]))) {
        size = 2;
    }
    return size;
}

const char* NextChar(const char* at) {
    if (!*at) return at;
    // A NUL is never a trail byte, so the bound of 4 is never read past.
    return at + CharSize(at, at[1] ? (at[2] ? (at[3] ? 4 : 3) : 2) : 1);
}

const char* FindCharN(const char* text, size_t length, char c) {
    for (size_t at = 0; at < length; at += CharSize(text + at, length - at)) {
        if (text[at] == c) return text + at;
    }
    return nullptr;
}

const char* FindChar(const char* text, char c) {
    for (const char* at = text; *at; at = NextChar(at)) {
        if (*at == c) return at;
    }
    return c == '\0' ? text + std::strlen(text) : nullptr;
}

const char* FindLastOf(const char* text, const char* set) {
    const char* last = nullptr;
    for (const char* at = text; *at; at = NextChar(at)) {
        if (std::strchr(set, *at)) last = at;
    }
    return last;
}

const char* FindLastChar(const char* text, char c) {
    const char set[2] = {c, '\0'};
    return c ? FindLastOf(text, set) : text + std::strlen(text);
}

bool IsCharBoundary(const char* text, size_t at) {
    size_t length = std::strlen(text);
    if (at > length) return false;
    size_t position = 0;
    while (position < at) position += CharSize(text + position, length - position);
    return position == at;
}

bool EndsWithChar(const char* text, size_t length, char c) {
    size_t last = length;
    for (size_t at = 0; at < length; at += CharSize(text + at, length - at)) last = at;
    return last < length && last + 1 == length && text[last] == c;
}

int CompareNamesN(const char* a, const char* b, size_t n, bool slashesAlike) {
    size_t at = 0;
    while (at < n) {
        // Both texts are equal up to here, so a character of a starts where one of b does.
        size_t size = CharSize(a + at, n - at);
        if (size == 0) return 0;
        for (size_t i = 0; i < size; ++i, ++at) {
            unsigned char x = static_cast<unsigned char>(a[at]), y = static_cast<unsigned char>(b[at]);
            if (size == 1) x = Fold(x, slashesAlike), y = Fold(y, slashesAlike);
            if (x != y) return x - y;
            if (x == 0) return 0;
        }
    }
    return 0;
}

void FoldNameN(char* text, size_t length, bool slashesAlike) {
    for (size_t at = 0; at < length;) {
        size_t size = CharSize(text + at, length - at);
        if (size == 1) text[at] = static_cast<char>(Fold(static_cast<unsigned char>(text[at]), slashesAlike));
        at += size;
    }
}

void FoldSetName(char* text) { FoldNameN(text, std::strlen(text), true); }
