#pragma once
// Keeps the setup's writes inside the folders it was meant to write to. The
// destination, the documents folder and the Start Menu's Programs folder are
// trusted once each, when they are not links themselves; every folder and
// file below them is then checked on the handle that is used: Windows
// reports the path the handle reached, which must be the trusted folder's
// own followed by the rest of the path as written.
#include <set>
#include <string>
#include <vector>

#include "shell/UnfollowedHandle.h"

class LinkGuard {
public:
    // ExtractOk, ExtractLinkRefused when the folder is itself a link, or
    // ExtractCreateError when it cannot be opened.
    int Trust(const char* folder);
    // A folder below a trusted one: ExtractOk, ExtractLinkRefused, or
    // ExtractCreateError when it is not a folder that can be opened.
    int CheckFolder(const char* folder);
    // Whether something at path is a link or reached through one (a missing
    // path is not): asked before a file is recorded for the uninstaller.
    bool LeadsElsewhere(const char* path) const;
    // A new file at path, open for writing; one that is there already is
    // deleted through its own handle first, never truncated (another hard
    // link to it keeps its contents). ExtractOk, ExtractFileInUse,
    // ExtractLinkRefused or ExtractCreateError. Without replaceExisting a
    // file that is there already is left and the result is ExtractCreateError.
    int CreateFile(const char* path, UnfollowedHandle& file, bool replaceExisting = true);
    // Writes a whole new file: ExtractOk or the results of CreateFile, and
    // ExtractWriteError.
    int WriteNewFile(const char* path, const void* data, unsigned long length);

private:
    struct Folder {
        std::string path;
        std::string finalPath;
    };
    bool Reached(const UnfollowedHandle& handle, const char* path) const;
    int DeleteExisting(const char* path);

    std::vector<Folder> trusted_;
    std::set<std::string> checked_;  // folders found in order, case folded
};
