#pragma once
#include <cstddef>

#include "setup/NameChars.h"

// Paths are composed in buffers of this many characters (259 plus the NUL).
constexpr size_t kPathBufferSize = 260;

// Bounded copy/append: never write past size; return false (leaving a
// terminated, cut text) when the whole text did not fit.
bool CopyText(char* out, size_t size, const char* text);
bool AppendText(char* out, size_t size, const char* text);

// directory + "\" (unless it is non-empty and already ends with one) + name.
// Returns false, leaving out empty, when the result would not fit.
bool JoinPath(char* out, size_t size, const char* directory, const char* name);

// Appends "\" unless the text is non-empty and ends with one; returns the new
// length. When there is no room the text is left unchanged.
size_t EnsureTrailingBackslash(char* text, size_t size);

// "0"-"9", "A"-"F" for the low 4 bits of the number.
char HexDigit(unsigned number);
