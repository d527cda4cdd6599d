#include "folderchooser/FolderChain.h"

#include <cstring>

#include "setup/PathHelpers.h"

PathChainWalker::PathChainWalker(const char* text)
    : text_(text ? text : ""), length_(std::strlen(text_)), done_(length_ == 0) {}

bool PathChainWalker::Next(ChainLevel* level) {
    if (done_) return false;
    const char* found = FindCharN(text_ + position_, length_ - position_, '\\');
    size_t end = found ? static_cast<size_t>(found - text_) : length_;
    // The first level takes the separator after it; at the end of the text
    // that character would be the terminator, which the length leaves out.
    size_t extra = (depth_ == 0 && end < length_) ? 1 : 0;
    level->nameStart = position_;
    level->nameLength = end - position_ + extra;
    level->fullPathLength = end + extra;
    level->depth = depth_++;
    position_ = found ? end + 1 : length_;
    done_ = position_ >= length_;
    return true;
}

char DriveLetterOf(const char* path) {
    if (!path || path[0] == '\0' || path[1] != ':') return 0;
    char letter = path[0];
    return (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 32) : letter;
}

int CompareFolderOrder(int depth1, const char* name1, int depth2, const char* name2) {
    if (depth1 != depth2) return depth1 - depth2;
    return CompareNoCase(name1 ? name1 : "", name2 ? name2 : "");
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
