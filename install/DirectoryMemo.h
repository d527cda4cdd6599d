#pragma once

// Remembers the deepest directory that the extraction has already created or
// found and recorded, so that the next members of the same folder (the packer
// sorts members by name) skip the file-system query and the search of the
// uninstall records that would give the same answer again.
class DirectoryMemo {
public:
    // True when the path is the remembered directory or one of its parents.
    bool Covers(const char* path) const;
    // Remembers a directory whose parents were all handled before it; a path
    // that does not fit is forgotten instead.
    void Remember(const char* path);

private:
    static const unsigned kCapacity = 260;
    char deepest_[kCapacity] = {};
};
