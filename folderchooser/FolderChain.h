#pragma once
#include <cstddef>

// One level of the folder chain shown for a path: the entry's name and its
// full path are pieces of the path text itself.
struct ChainLevel {
    size_t nameStart;
    size_t nameLength;
    size_t fullPathLength;  // the full path is the first fullPathLength characters
    int depth;
};

// Walks a path component by component. The first level keeps the character
// after its component (the backslash of "C:\"), so a drive root stays a
// root; one trailing backslash adds no level.
class PathChainWalker {
public:
    explicit PathChainWalker(const char* text);
    bool Next(ChainLevel* level);

private:
    const char* text_;
    size_t length_;
    size_t position_ = 0;
    int depth_ = 0;
    bool done_;
};

// The upper-case drive letter of a path such as "c:\x", or 0 when the path
// names no drive (relative or network paths).
char DriveLetterOf(const char* path);

// Order of the folder list: the chain by depth, then the subfolders by name,
// ignoring ASCII letter case. Negative, zero or positive.
int CompareFolderOrder(int depth1, const char* name1, int depth2, const char* name2);

// "." and "..", which a directory search returns but no list shows.
bool IsDotEntry(const char* name);
