#pragma once
// Text the programs read from stored files (SETUP.DAT, archive member names,
// uninstall logs) is UTF-8 when it is valid UTF-8, a leading byte order mark
// dropped, and otherwise in the system's ANSI code page, as every file made
// before names were stored as UTF-8 is. It is turned into the code page the
// process's "A" calls take (NameCodePage), or refused where that page cannot
// hold one of its characters: a name is never written with a '?' in it.
#include <cstddef>
#include <string>

enum class StoredEncoding { Utf8, SystemAnsi };

// 3 when the text starts with the UTF-8 byte order mark, else 0.
size_t Utf8BomLength(const char* text, size_t length);

// Well-formed UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool IsValidUtf8(const char* text, size_t length);
bool IsAscii(const char* text, size_t length);

inline StoredEncoding JudgeStoredText(const char* text, size_t length) {
    return IsValidUtf8(text, length) ? StoredEncoding::Utf8 : StoredEncoding::SystemAnsi;
}

// The system's ANSI code page, which old files are in even where the process
// itself runs in UTF-8. Natively 1252 unless a test chose another; 0 goes
// back to the system's.
unsigned SystemAnsiCodePage();
void SetSystemAnsiCodePage(unsigned codePage);

// Text in the code page `from` turned into the code page `to`; false when
// `to` has no character for one of them or the text is not valid in `from`.
// Text goes into its own page unchanged. Natively only UTF-8 and 1252 are known.
bool ConvertCodePage(unsigned from, unsigned to, const char* text, size_t length, std::string* out);

// Stored text in the given encoding, in the process's code page; false when
// it cannot be represented there.
bool DecodeStoredText(const char* text, size_t length, StoredEncoding encoding, std::string* out);

// A name for a message that the process's code page may not hold: its
// characters outside ASCII written as <U+0418>. The text is UTF-8.
std::string DescribeUtf8Name(const char* text, size_t length);

#ifdef _WIN32
// Wide text in the code page the process's "A" calls take; false when a
// character has no exact equal there. The "A" calls would put a best fit
// ("a" for a full-width one) or a '?' in its place, and a name that is not
// the one on disk could compare equal to one that is.
bool NarrowExactly(const wchar_t* text, size_t length, std::string* out);
#endif
