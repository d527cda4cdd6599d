#pragma once
#include <windows.h>

#include <string>

// Limits DLL loading to the system directory, where the call exists (it is
// resolved at run time so that older systems still start). True when made.
bool RestrictDllSearchToSystem();

// Cuts a module path at its last '\', '/' or ':' (the separator removed).
void CutAtLastSeparator(wchar_t* path);

// Makes the program's own folder the current directory, by its full name
// (a folder named outside the ANSI code page included), so that a folder
// set's files are found there and nowhere else. False when it could not.
bool MakeProgramFolderCurrent();

// Empty when the code page holds every character of the text; otherwise the
// text for a message, its characters beyond ASCII written as <U+0418>. Where
// Windows ignores the UTF-8 code page, the "A" command line has a '?' there.
std::string UnrepresentableText(const wchar_t* text, unsigned codePage);

// Opens the readme with the file type's default action from the installed directory.
void OpenReadme(const char* readme, const char* directory);
