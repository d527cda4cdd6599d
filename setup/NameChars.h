#pragma once
// Names are characters, not bytes. In the double-byte code pages (932, 936,
// 949, 950) a lead byte starts a character whose second byte may be '\',
// '|' or any other ASCII symbol: ソ is 83 5C, ポ is 83 7C. Every split,
// separator test, check, case folding and comparison of a name steps through
// it here, so a trail byte is never taken for a separator or folded.
#include <cstddef>

constexpr unsigned kCodePageUtf8 = 65001;

// The code page the process's "A" calls take names in: GetACP() on Windows
// (65001 where the manifest's UTF-8 code page is honoured). Natively 1252
// unless a test or fuzzer chose another.
unsigned NameCodePage();
// 0 goes back to the process's own.
void SetNameCodePage(unsigned codePage);

// A lead byte of a double-byte character in that code page (932, 936, 949,
// 950); single-byte pages and UTF-8 have none.
bool IsLeadByte(unsigned codePage, unsigned char byte);

// Bytes of the character at `at`, at most `left`: 1 for a lead byte at the
// end or before a byte that cannot be its second, 0 only when left is 0.
// UTF-8 sequences count as one character.
size_t CharSize(const char* at, size_t left);
// The same in a terminated text: never steps over the NUL.
const char* NextChar(const char* at);

// strchr, strrchr and memchr by character: c is a single-byte character and
// is never found as the second byte of a double-byte one.
const char* FindChar(const char* text, char c);
const char* FindCharN(const char* text, size_t length, char c);
const char* FindLastChar(const char* text, char c);
// The last character of the text that is one of `set` (single-byte ones).
const char* FindLastOf(const char* text, const char* set);
// Whether a character of the text starts at byte `at` (not a trail byte).
bool IsCharBoundary(const char* text, size_t at);
// Whether the last character of the first `length` bytes is c.
bool EndsWithChar(const char* text, size_t length, char c);
inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// Case-insensitive comparison of names: only the ASCII letters A to Z are
// folded, never a trail byte. With slashesAlike, '/' and '\' compare equal.
// n bounds the bytes compared.
int CompareNamesN(const char* a, const char* b, size_t n, bool slashesAlike);
inline int CompareNoCaseN(const char* a, const char* b, size_t n) { return CompareNamesN(a, b, n, false); }
inline int CompareNoCase(const char* a, const char* b) { return CompareNamesN(a, b, static_cast<size_t>(-1), false); }
inline bool EqualsNoCase(const char* a, const char* b) { return CompareNoCase(a, b) == 0; }
// File names inside a set (bundle entries, archive members): '/' and '\' alike.
inline bool SameSetName(const char* a, const char* b) { return CompareNamesN(a, b, static_cast<size_t>(-1), true) == 0; }

// In place: ASCII letters in lower case and, with slashesAlike, '/' made '\',
// trail bytes untouched. Two names fold alike when CompareNamesN finds them equal.
void FoldNameN(char* text, size_t length, bool slashesAlike);
void FoldSetName(char* text);
