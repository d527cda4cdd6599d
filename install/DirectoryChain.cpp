#include "install/DirectoryChain.h"

#include <cstring>

#include "setup/PathHelpers.h"

static bool IsBareDrive(const char* level, size_t length) {
    return length == 2 && level[1] == ':' && ((level[0] | 0x20) >= 'a' && (level[0] | 0x20) <= 'z');
}

// Length of "\\server\share" at the start of a UNC path, 0 for other paths.
static size_t UncRootLength(const char* path) {
    if (!IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) return 0;
    const char* at = path + 2;
    for (int part = 0; part < 2; ++part) {
        while (*at && !IsPathSeparator(*at)) at = NextChar(at);
        if (part == 0 && *at) ++at;
    }
    return static_cast<size_t>(at - path);
}

bool ForEachDirectoryLevel(const char* path, DirectoryLevelHandler handler, void* context) {
    size_t length = std::strlen(path);
    if (length >= kPathBufferSize) return false;
    char level[kPathBufferSize];
    size_t uncRoot = UncRootLength(path);
    bool afterSeparator = true;  // at the start, as after a separator: no level there
    for (size_t at = 0; at <= length; at += at < length ? CharSize(path + at, length - at) : 1) {
        bool separator = IsPathSeparator(path[at]);
        bool skip = afterSeparator || at <= uncRoot || IsBareDrive(path, at);
        afterSeparator = separator;
        if ((path[at] != '\0' && !separator) || skip) continue;
        std::memcpy(level, path, at);
        level[at] = '\0';
        handler(context, level);
    }
    return true;
}
