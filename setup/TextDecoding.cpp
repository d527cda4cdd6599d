#include "setup/TextDecoding.h"

#include <cstdio>

#include "setup/NameChars.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace {

unsigned chosenSystemCodePage = 0;

// Length of the UTF-8 sequence at text (1 to 4), or 0 when it is not well formed;
// *value receives the character.
size_t Utf8Sequence(const unsigned char* text, size_t left, unsigned* value) {
    unsigned char lead = text[0];
    if (lead < 0x80) {
        *value = lead;
        return 1;
    }
    size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (size == 0 || size > left || lead > 0xF4) return 0;
    unsigned v = lead & (0x7F >> size);
    for (size_t i = 1; i < size; ++i) {
        if ((text[i] & 0xC0) != 0x80) return 0;
        v = (v << 6) | (text[i] & 0x3F);
    }
    static const unsigned kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kLeast[size] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    *value = v;
    return size;
}

#ifdef _WIN32

// UTF-8 takes no default character: it holds every character there is.
bool NarrowWithWindows(unsigned to, const wchar_t* characters, int wide, std::string* out) {
    bool utf8 = to == kCodePageUtf8 || (to == CP_ACP && GetACP() == CP_UTF8);
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(to, flags, characters, wide, nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault);
    if (bytes <= 0 || usedDefault) return false;
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(to, flags, characters, wide, &converted[0], bytes, nullptr, utf8 ? nullptr : &usedDefault);
    if (usedDefault) return false;
    out->swap(converted);
    return true;
}

bool ConvertWithWindows(unsigned from, unsigned to, const char* text, size_t length, std::string* out) {
    int size = static_cast<int>(length);
    int wide = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
    if (wide <= 0) return false;
    std::vector<wchar_t> characters(static_cast<size_t>(wide));
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text, size, characters.data(), wide);
    return NarrowWithWindows(to, characters.data(), wide, out);
}

#else

void AppendUtf8(unsigned value, std::string* out) {
    if (value < 0x80) {
        *out += static_cast<char>(value);
    } else if (value < 0x800) {
        *out += static_cast<char>(0xC0 | (value >> 6));
        *out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        *out += static_cast<char>(0xE0 | (value >> 12));
        *out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (value >> 18));
        *out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// 0x80 to 0x9F of code page 1252; 0 where it has no character.
const unsigned short k1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

unsigned From1252(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? k1252High[byte - 0x80] : byte; }

int To1252(unsigned value) {
    if (value < 0x80 || (value >= 0xA0 && value <= 0xFF)) return static_cast<int>(value);
    for (int i = 0; i < 32; ++i)
        if (k1252High[i] && k1252High[i] == value) return 0x80 + i;
    return -1;
}

bool ConvertNatively(unsigned from, unsigned to, const char* text, size_t length, std::string* out) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    std::string converted;
    if (from == 1252 && to == kCodePageUtf8) {
        for (size_t i = 0; i < length; ++i) {
            unsigned value = From1252(bytes[i]);
            if (value == 0 && bytes[i] != 0) return false;
            AppendUtf8(value, &converted);
        }
    } else if (from == kCodePageUtf8 && to == 1252) {
        for (size_t at = 0; at < length;) {
            unsigned value = 0;
            size_t size = Utf8Sequence(bytes + at, length - at, &value);
            int byte = size ? To1252(value) : -1;
            if (byte < 0) return false;
            converted += static_cast<char>(byte);
            at += size;
        }
    } else {
        return false;
    }
    out->swap(converted);
    return true;
}

#endif

}  // namespace

size_t Utf8BomLength(const char* text, size_t length) {
    return length >= 3 && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF' ? 3 : 0;
}

bool IsValidUtf8(const char* text, size_t length) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t at = 0; at < length;) {
        unsigned value = 0;
        size_t size = Utf8Sequence(bytes + at, length - at, &value);
        if (size == 0) return false;
        at += size;
    }
    return true;
}

bool IsAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    return true;
}

unsigned SystemAnsiCodePage() {
    if (chosenSystemCodePage) return chosenSystemCodePage;
#ifdef _WIN32
    // The locale's own page, not GetACP(): that is 65001 in a process whose manifest asks for UTF-8.
    DWORD codePage = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) &&
        codePage != 0)
        return codePage;
    return GetACP();
#else
    return 1252;
#endif
}

void SetSystemAnsiCodePage(unsigned codePage) { chosenSystemCodePage = codePage; }

bool ConvertCodePage(unsigned from, unsigned to, const char* text, size_t length, std::string* out) {
    if (from == to || IsAscii(text, length)) {  // the same bytes: nothing to judge
        out->assign(text, length);
        return true;
    }
#ifdef _WIN32
    return ConvertWithWindows(from, to, text, length, out);
#else
    return ConvertNatively(from, to, text, length, out);
#endif
}

bool DecodeStoredText(const char* text, size_t length, StoredEncoding encoding, std::string* out) {
    unsigned from = encoding == StoredEncoding::Utf8 ? kCodePageUtf8 : SystemAnsiCodePage();
    return ConvertCodePage(from, NameCodePage(), text, length, out);
}

std::string DescribeUtf8Name(const char* text, size_t length) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    std::string described;
    for (size_t at = 0; at < length;) {
        unsigned value = 0;
        size_t size = Utf8Sequence(bytes + at, length - at, &value);
        if (size == 0) value = bytes[at], size = 1;  // not UTF-8: the byte's own value
        if (value >= 0x20 && value < 0x7F) {
            described += static_cast<char>(value);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "<U+%04X>", value);
            described += code;
        }
        at += size;
    }
    return described;
}

#ifdef _WIN32
bool NarrowExactly(const wchar_t* text, size_t length, std::string* out) {
    if (length == 0) {
        out->clear();
        return true;
    }
    return NarrowWithWindows(CP_ACP, text, static_cast<int>(length), out);
}
#endif
