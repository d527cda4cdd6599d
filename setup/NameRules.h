#pragma once
// What Windows accepts as the name of a file or folder, and the names it
// reads as something else: a device, the parent folder, another drive.
// Shared by the checks of SETUP.DAT values, of the destination directory and
// of archive member names, so that the setup and the packer agree.
#include <cstddef>
#include <cstring>

#include "setup/SetupString.h"

enum NameProblem {
    NameOk,
    NameEmpty,
    NameForbiddenCharacter,  // control characters and * ? " < > |, or / where it cannot separate
    NameSeparator,           // \ or / where one single name is wanted
    NameDrive,               // a colon: a drive, or a stream of a file
    NameRooted,              // starts at the root of a drive
    NameParent,              // "..", or a spelling Windows reads as it ("...", ".. ")
    NameDevice,              // CON, PRN, AUX, NUL, COM1, LPT1 and the like
    NameDotsOrTrailingBlank, // only dots, or ends in a dot or a blank: Windows would change it
    NameEmptyComponent,      // two separators in a row: Windows would read another path
};

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 and LPT0 to LPT9 (also
// with superscript digits), in any letter case, with or without an extension
// and blanks before it: Windows opens the device.
bool IsDeviceName(const char* name, size_t length);

// Only dots and blanks, at least two dots: Windows drops trailing dots and
// blanks, so this means the parent folder.
bool IsParentName(const char* name, size_t length);

// Control characters and * ? " < > |; separators and the colon are judged
// by the callers, which know whether they may stand there.
bool IsForbiddenNameCharacter(char c);

// One name of a file or folder as it will be created (no separators): not
// empty, no forbidden character, separator or colon, not a device, not only
// dots, not ending in a dot or a blank.
NameProblem CheckSingleName(const char* name, size_t length);
inline NameProblem CheckSingleName(const char* name) { return CheckSingleName(name, std::strlen(name)); }

// A path of names separated by backslashes (a slash counts as a forbidden
// character), each a CheckSingleName; leading, trailing and doubled
// backslashes make no names. Empty is fine.
NameProblem CheckFolderPath(const char* path);

// A relative path that must stay inside the folder it is placed in, either
// separator: no "..", no colon, no device, no forbidden character, and no
// separator at the start when rootedAllowed is false (a single leading one
// is harmless where the path is appended to a folder; two never are), no
// empty name between two separators.
NameProblem CheckRelativePath(const char* path, bool rootedAllowed);

// CheckRelativePath, and every name in the path is created as written: none
// is "." or ends with a dot or a blank, which Windows would drop.
NameProblem CheckCreatedPath(const char* path, bool rootedAllowed);

// What is wrong, to complete a sentence such as "The value of mainexe ...".
const char* NameProblemText(NameProblem problem);

// The title with every character a file name cannot hold left out, for the
// file name of a shortcut; the title itself stays the shortcut's description.
SetupString LinkFileName(const char* title);
