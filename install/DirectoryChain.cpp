#include "install/DirectoryChain.h"

#include <cstring>

#include "setup/PathHelpers.h"

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

static bool IsBareDrive(const char* level, size_t length) {
    return length == 2 && level[1] == ':' && ((level[0] | 0x20) >= 'a' && (level[0] | 0x20) <= 'z');
}

// Length of "\\server\share" at the start of a UNC path, 0 for other paths.
static size_t UncRootLength(const char* path) {
    if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
    size_t at = 2;
    for (int part = 0; part < 2; ++part) {
        while (path[at] && !IsSeparator(path[at])) ++at;
        if (part == 0 && path[at]) ++at;
    }
    return at;
}

bool ForEachDirectoryLevel(const char* path, DirectoryLevelHandler handler, void* context) {
    size_t length = std::strlen(path);
    if (length >= kPathBufferSize) return false;
    char level[kPathBufferSize];
    size_t uncRoot = UncRootLength(path);
    for (size_t at = 0; at <= length; ++at) {
        if (path[at] != '\0' && !IsSeparator(path[at])) continue;
        if (at == 0 || IsSeparator(path[at - 1]) || at <= uncRoot || IsBareDrive(path, at)) continue;
        std::memcpy(level, path, at);
        level[at] = '\0';
        handler(context, level);
    }
    return true;
}
