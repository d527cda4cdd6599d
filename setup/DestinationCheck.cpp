#include "setup/DestinationCheck.h"

#include <cstring>

#include "setup/NameRules.h"
#include "setup/PathHelpers.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the root, "X:\" or "\\server\share" (with the backslash after it
// when there is one), or 0 when the path has neither.
size_t RootLength(const char* path) {
    if (IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\') return 3;
    if (path[0] != '\\' || path[1] != '\\') return 0;
    const char* server = path + 2;
    const char* share = FindChar(server, '\\');
    if (!share || share == server || share[1] == '\0' || share[1] == '\\') return 0;
    const char* end = FindChar(share + 1, '\\');
    return end ? static_cast<size_t>(end + 1 - path) : std::strlen(path);
}

DestinationProblem NameOfDestination(const char* name, size_t length) {
    if (FindCharN(name, length, '/') || FindCharN(name, length, ':')) return DestinationBadCharacter;
    switch (CheckSingleName(name, length)) {
        case NameOk: return DestinationOk;
        case NameDevice: return DestinationDeviceName;
        case NameParent:
        case NameDotsOrTrailingBlank: return DestinationBadFolderName;
        default: return DestinationBadCharacter;
    }
}

// Every name of the path, the server and share of a network path included;
// runs of backslashes make no names. Sets *names to how many there were after the root.
DestinationProblem CheckNames(const char* path, size_t rootLength, size_t* names) {
    *names = 0;
    const char* start = path;
    for (const char* at = path;; at = NextChar(at)) {
        if (*at && *at != '\\') continue;
        size_t length = static_cast<size_t>(at - start);
        bool isDrive = start == path && rootLength == 3;
        // "C:\Games\\Varn": Windows reads one folder less than the log would record.
        if (!length && *at && static_cast<size_t>(start - path) >= rootLength) return DestinationEmptyName;
        if (length && !isDrive) {
            DestinationProblem problem = NameOfDestination(start, length);
            if (problem != DestinationOk) return problem;
            if (static_cast<size_t>(start - path) >= rootLength) ++*names;
        }
        if (!*at) return DestinationOk;
        start = at + 1;
    }
}

// The folder as Windows reads it: runs of backslashes as one, none at the end.
void Normalized(const char* path, char* out) {
    size_t used = 0;
    bool afterSeparator = false;
    for (const char* at = path; *at;) {
        const char* next = NextChar(at);
        size_t size = static_cast<size_t>(next - at);
        bool separator = *at == '\\';
        if (used + size > kPathBufferSize - 1) break;
        if (!(separator && afterSeparator)) {
            std::memcpy(out + used, at, size);
            used += size;
        }
        afterSeparator = separator;
        at = next;
    }
    out[used] = '\0';
    while (used && EndsWithChar(out, used, '\\')) out[--used] = '\0';
}

bool SameFolder(const char* a, const char* b) {
    char first[kPathBufferSize], second[kPathBufferSize];
    Normalized(a, first);
    Normalized(b, second);
    return first[0] && EqualsNoCase(first, second);
}

// The root must be there; below it, the first level that exists as a file
// makes the path unusable, and the first that does not exist ends the walk.
DestinationProblem ProbeLevels(const char* path, size_t rootLength, PathProbe& probe) {
    char level[kPathBufferSize];
    std::memcpy(level, path, rootLength);
    level[rootLength] = '\0';  // "X:\" or "\\server\share\"
    bool isDirectory = false;
    if (!probe.Exists(level, &isDirectory) || !isDirectory) return DestinationNoSuchRoot;
    size_t length = std::strlen(path);
    bool afterSeparator = true;  // the root ends with its separator
    for (size_t at = rootLength; at <= length; at += at < length ? CharSize(path + at, length - at) : 1) {
        bool separator = path[at] == '\\';
        bool repeated = afterSeparator;
        afterSeparator = separator;
        if ((!separator && path[at] != '\0') || repeated) continue;
        std::memcpy(level, path, at);
        level[at] = '\0';
        if (!probe.Exists(level, &isDirectory)) return DestinationOk;
        if (!isDirectory) return DestinationIsFile;
    }
    return DestinationOk;
}

}  // namespace

DestinationProblem CheckDestination(const char* path, const char* programFiles, PathProbe& probe) {
    if (!path || !*path) return DestinationEmpty;
    if (std::strlen(path) > kPathBufferSize - 1) return DestinationTooLong;
    size_t rootLength = RootLength(path);
    if (rootLength == 0) return DestinationNotFullPath;
    if (path[0] == '\\') return DestinationNetwork;
    size_t names = 0;
    DestinationProblem problem = CheckNames(path, rootLength, &names);
    if (problem != DestinationOk) return problem;
    if (names == 0) return DestinationRoot;
    if (SameFolder(path, programFiles) || probe.IsOtherProgramFiles(path)) return DestinationProgramFiles;
    return ProbeLevels(path, rootLength, probe);
}

const char* DestinationProblemText(DestinationProblem problem) {
    switch (problem) {
        case DestinationOk: break;
        case DestinationEmpty: return "No installation directory was given.";
        case DestinationNotFullPath:
            return "The installation directory is not a full path.  It must start with a drive letter, as in "
                   "C:\\Games.";
        case DestinationNetwork:
            return "The installation directory is on a network share.  Setup installs onto local drives only, "
                   "where the uninstaller can remove the installation again.";
        case DestinationTooLong: return "The installation directory is longer than 259 characters.";
        case DestinationBadCharacter:
            return "The installation directory holds a character that Windows does not allow in a folder name: "
                   "/ : * ? \" < > | or a control character.";
        case DestinationDeviceName:
            return "The installation directory holds a name that Windows reserves for a device, such as CON, NUL, "
                   "COM1 or LPT1.";
        case DestinationBadFolderName:
            return "The installation directory holds a folder name that is only dots or ends with a dot or a blank.";
        case DestinationEmptyName:
            return "The installation directory holds two backslashes in a row, an empty folder name.";
        case DestinationRoot: return "The installation directory is the root folder of a drive or network share.";
        case DestinationProgramFiles: return "The installation directory is the Program Files folder itself.";
        case DestinationNoSuchRoot: return "The drive or network share of the installation directory does not exist.";
        case DestinationIsFile: return "The installation directory is a file, not a folder.";
    }
    return "";
}
