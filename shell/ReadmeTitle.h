#pragma once
#include <cstddef>

// The readme shortcut's default title: the file name after the last
// backslash, cut at its last dot. Returns the title's length and sets start
// to its first character inside readmeFile.
size_t ReadmeTitleFromFile(const char* readmeFile, const char** start);
