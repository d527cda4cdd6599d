#pragma once
// Turning a member's stored name into a destination path, creating its
// directories and its output file.
#include "install/ExtractArchive.h"
#include "install/ExtractTarget.h"

// Reset before each member.
struct PlacementFlags {
    bool overwrite = true;  // off: an existing file is left alone
    bool create = true;     // off: no file is created, the data is discarded
};

// Applies and removes leading "$Keep\", "$NoCreate\", "$DirOnly\" and
// "$MyDocuments\" (any order, any letter case). Returns the rest of the name;
// sets *myDocuments when the member goes under the documents folder.
const char* StripPlacementPrefixes(const char* name, PlacementFlags* flags, bool* myDocuments);

// False for a relative path that could reach outside the folder it is placed
// in or that Windows would open as something other than a file: a ".."
// component (or a spelling Windows reads as one), a drive or other colon, a
// leading "\\" (network path), a device name such as CON, NUL.TXT or LPT1, or
// a character no name can hold. Either separator counts.
bool IsSafeMemberPath(const char* path);

struct PlacementContext {
    const char* destination;
    ExtractTarget* target;
    const ExtractCallbacks* callbacks;
    void* context;
};

// Places one member (its name is rewritten in place: "/" becomes "\").
// On ExtractOk, *outputOpen tells whether the data is to be written.
int PlaceMember(const PlacementContext& placement, char* name, bool* outputOpen);
