#pragma once
#include <cstddef>

// The levels of a destination directory that may have to be created, parent
// first: the text before each backslash, slash and the end. A bare drive
// ("C:"), the server and share of a UNC path, and the empty text before a
// leading or doubled separator are not levels.
using DirectoryLevelHandler = void (*)(void* context, const char* level);

// Returns false, calling nothing, when the path does not fit the 260-byte
// buffers the levels are composed in.
bool ForEachDirectoryLevel(const char* path, DirectoryLevelHandler handler, void* context);
