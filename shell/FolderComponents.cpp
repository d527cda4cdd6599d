#include "shell/FolderComponents.h"

#include "setup/NameChars.h"

static const char* SkipBackslashes(const char* text) {
    while (*text == '\\') ++text;
    return text;
}

bool FolderComponents::Next(const char** start, size_t* length, bool* isLast) {
    const char* begin = SkipBackslashes(cursor_);
    if (*begin == '\0') return false;
    const char* end = begin;
    while (*end && *end != '\\') end = NextChar(end);
    *start = begin;
    *length = static_cast<size_t>(end - begin);
    cursor_ = end;
    *isLast = *SkipBackslashes(end) == '\0';
    return true;
}
