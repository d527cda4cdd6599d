#pragma once
#include <cstddef>

// Walks the levels of a Start Menu folder such as "Games\Adventures":
// leading, trailing and repeated backslashes separate but never make an
// empty level.
class FolderComponents {
public:
    explicit FolderComponents(const char* folder) : cursor_(folder ? folder : "") {}

    // Sets the next level (not terminated) and whether it is the last one;
    // false when there are no more levels.
    bool Next(const char** start, size_t* length, bool* isLast);

private:
    const char* cursor_;
};
