#pragma once
// Whether a directory may receive an installation. One check, made before
// anything is written, by the program directory page at Next and by quiet
// mode once a relative -q directory has been placed under Program Files.

enum DestinationProblem {
    DestinationOk,
    DestinationEmpty,
    DestinationNotFullPath,   // no drive letter and no \\server\share
    DestinationNetwork,       // \\server\share\...: the uninstaller works on local drives only
    DestinationTooLong,       // over 259 characters
    DestinationBadCharacter,  // / : * ? " < > | or a control character in a name
    DestinationDeviceName,    // CON, NUL, COM1 and the like
    DestinationBadFolderName, // a name of dots only, or ending in a dot or a blank
    DestinationEmptyName,     // two backslashes in a row below the root
    DestinationRoot,          // the root folder of a drive or share
    DestinationProgramFiles,  // the Program Files folder itself
    DestinationNoSuchRoot,    // the drive or share does not exist
    DestinationIsFile,        // the directory, or one of its parents, is a file
};

// What the check needs to know of the file system.
class PathProbe {
public:
    virtual ~PathProbe() = default;
    // True when something exists at the path; *isDirectory says whether it is a folder.
    virtual bool Exists(const char* path, bool* isDirectory) = 0;
    // True when the path leads to a Program Files folder under another
    // spelling: a short name, a share of the local drive, or the Program
    // Files of the other word size on 64-bit Windows.
    virtual bool IsOtherProgramFiles(const char* /*path*/) { return false; }
};

// The first problem of the path, in the order of the enumeration; the written
// form is judged before the probe is asked anything.
DestinationProblem CheckDestination(const char* path, const char* programFiles, PathProbe& probe);

// One sentence saying what is wrong, such as "The installation directory is
// the Program Files folder itself."
const char* DestinationProblemText(DestinationProblem problem);
