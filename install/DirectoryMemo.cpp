#include "install/DirectoryMemo.h"

#include <cstring>

#include "setup/NameChars.h"

bool DirectoryMemo::Covers(const char* path) const {
    size_t length = std::strlen(path);
    if (length == 0 || std::strncmp(deepest_, path, length) != 0) return false;
    // The backslash must be a character of its own, not the second byte of one.
    return deepest_[length] == '\0' || (deepest_[length] == '\\' && IsCharBoundary(deepest_, length));
}

void DirectoryMemo::Remember(const char* path) {
    size_t length = std::strlen(path);
    if (length >= kCapacity) {
        deepest_[0] = '\0';
        return;
    }
    std::memcpy(deepest_, path, length + 1);
}
