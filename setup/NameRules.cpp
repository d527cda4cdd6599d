#include "setup/NameRules.h"

#include <cstring>

#include "setup/PathHelpers.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsBlank(char c) { return c == ' '; }

// The part of a name Windows compares with the device names: up to the first
// dot, without the blanks before it.
size_t DeviceStemLength(const char* name, size_t length) {
    size_t stem = 0;
    while (stem < length && name[stem] != '.') ++stem;
    while (stem > 0 && IsBlank(name[stem - 1])) --stem;
    return stem;
}

// The first problem of one name found in a path (separators already split off).
NameProblem CheckPathName(const char* name, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (name[i] == ':') return NameDrive;
        if (IsForbiddenNameCharacter(name[i])) return NameForbiddenCharacter;
    }
    if (IsParentName(name, length)) return NameParent;
    if (IsDeviceName(name, length)) return NameDevice;
    return NameOk;
}

}  // namespace

bool IsDeviceName(const char* name, size_t length) {
    // The last six are COM and LPT with the superscript digits of the ANSI
    // code page, which Windows reads as devices too.
    static const char* const kDevices[] = {
        "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM0",    "COM1",    "COM2",    "COM3",    "COM4",
        "COM5", "COM6", "COM7", "COM8", "COM9",   "LPT0",    "LPT1",    "LPT2",    "LPT3",    "LPT4",    "LPT5",
        "LPT6", "LPT7", "LPT8", "LPT9", "COM\xB9", "COM\xB2", "COM\xB3", "LPT\xB9", "LPT\xB2", "LPT\xB3"};
    size_t stem = DeviceStemLength(name, length);
    for (const char* device : kDevices) {
        if (std::strlen(device) == stem && CompareNoCaseN(name, device, stem) == 0) return true;
    }
    return false;
}

bool IsParentName(const char* name, size_t length) {
    size_t dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (name[i] == '.') {
            ++dots;
        } else if (!IsBlank(name[i])) {
            return false;
        }
    }
    return dots >= 2;
}

bool IsForbiddenNameCharacter(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return byte < 32 || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}

NameProblem CheckSingleName(const char* name, size_t length) {
    if (length == 0) return NameEmpty;
    for (size_t i = 0; i < length; ++i) {
        if (IsSeparator(name[i])) return NameSeparator;
    }
    NameProblem problem = CheckPathName(name, length);
    if (problem != NameOk) return problem;
    char last = name[length - 1];
    if (last == '.' || IsBlank(last)) return NameDotsOrTrailingBlank;
    return NameOk;
}

NameProblem CheckFolderPath(const char* path) {
    const char* start = path;
    for (const char* at = path;; ++at) {
        if (*at && *at != '\\') continue;
        size_t length = static_cast<size_t>(at - start);
        if (length) {
            // Only backslashes separate folders here: a slash is a character no name can hold.
            bool slash = std::memchr(start, '/', length) != nullptr;
            NameProblem problem = slash ? NameForbiddenCharacter : CheckSingleName(start, length);
            if (problem != NameOk) return problem;
        }
        if (!*at) return NameOk;
        start = at + 1;
    }
}

NameProblem CheckRelativePath(const char* path, bool rootedAllowed) {
    if (IsSeparator(path[0]) && (!rootedAllowed || IsSeparator(path[1]))) return NameRooted;
    const char* start = path;
    for (const char* at = path;; ++at) {
        if (*at && !IsSeparator(*at)) continue;
        if (at == start && *at && at != path) return NameEmptyComponent;
        NameProblem problem = CheckPathName(start, static_cast<size_t>(at - start));
        if (problem != NameOk) return problem;
        if (!*at) return NameOk;
        start = at + 1;
    }
}

NameProblem CheckCreatedPath(const char* path, bool rootedAllowed) {
    NameProblem problem = CheckRelativePath(path, rootedAllowed);
    if (problem != NameOk) return problem;
    for (const char* at = path; *at; ++at) {
        bool endsName = IsSeparator(at[1]) || !at[1];
        if (endsName && (*at == '.' || IsBlank(*at))) return NameDotsOrTrailingBlank;
    }
    return NameOk;
}

const char* NameProblemText(NameProblem problem) {
    switch (problem) {
        case NameOk: break;
        case NameEmpty: return "is empty";
        case NameForbiddenCharacter:
            return "holds a character that Windows does not allow in a name: / * ? \" < > | or a control character";
        case NameSeparator: return "must be a single name, without \\ or /";
        case NameDrive: return "holds a colon, which names a drive";
        case NameRooted: return "starts with \\ or /, which leads out of its folder";
        case NameParent: return "holds \"..\", which leads out of its folder";
        case NameDevice:
            return "holds a name that Windows reserves for a device, such as CON, NUL, COM1 or LPT1";
        case NameDotsOrTrailingBlank: return "holds a name that is only dots or ends with a dot or a blank";
        case NameEmptyComponent: return "holds two separators in a row, an empty folder name";
    }
    return "is fine";
}

SetupString LinkFileName(const char* title) {
    SetupString name("");
    char one[2] = {};
    for (const char* at = title; *at; ++at) {
        if (IsForbiddenNameCharacter(*at) || IsSeparator(*at) || *at == ':') continue;
        one[0] = *at;
        name.Append(one);
    }
    return name;
}
