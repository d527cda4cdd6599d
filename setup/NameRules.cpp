#include "setup/NameRules.h"

#include <cstring>

#include "setup/NameChars.h"

namespace {

bool IsBlank(char c) { return c == ' '; }

// The part of a name Windows compares with the device names: up to the first
// dot, without the blanks before it.
size_t DeviceStemLength(const char* name, size_t length) {
    const char* dot = FindCharN(name, length, '.');
    size_t stem = dot ? static_cast<size_t>(dot - name) : length;
    while (stem > 0 && IsBlank(name[stem - 1])) --stem;
    return stem;
}

// The superscript digits one, two and three in the process's code page, which
// Windows reads as device numbers too: none in the double-byte pages.
const char* const* SuperscriptDigits() {
    static const char* const kAnsi[] = {"\xB9", "\xB2", "\xB3", nullptr};
    static const char* const kUtf8[] = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3", nullptr};
    static const char* const kNone[] = {nullptr};
    unsigned codePage = NameCodePage();
    if (codePage == kCodePageUtf8) return kUtf8;
    return IsLeadByte(codePage, 0x81) ? kNone : kAnsi;
}

bool IsNumberedDevice(const char* stem, size_t length) {
    if (length < 4 || (CompareNoCaseN(stem, "COM", 3) != 0 && CompareNoCaseN(stem, "LPT", 3) != 0)) return false;
    if (length == 4 && stem[3] >= '0' && stem[3] <= '9') return true;
    for (const char* const* digit = SuperscriptDigits(); *digit; ++digit) {
        if (std::strlen(*digit) == length - 3 && std::memcmp(stem + 3, *digit, length - 3) == 0) return true;
    }
    return false;
}

// The first problem of one name found in a path (separators already split off).
NameProblem CheckPathName(const char* name, size_t length) {
    for (size_t i = 0; i < length; i += CharSize(name + i, length - i)) {
        if (CharSize(name + i, length - i) > 1) continue;
        if (name[i] == ':') return NameDrive;
        if (IsForbiddenNameCharacter(name[i])) return NameForbiddenCharacter;
    }
    if (IsParentName(name, length)) return NameParent;
    if (IsDeviceName(name, length)) return NameDevice;
    return NameOk;
}

// Every name between separators, empty ones included, until the first problem.
template <typename Check>
NameProblem CheckEachName(const char* path, bool slashSeparates, Check check) {
    const char* start = path;
    for (const char* at = path;; at = NextChar(at)) {
        if (*at && *at != '\\' && !(slashSeparates && *at == '/')) continue;
        NameProblem problem = check(start, static_cast<size_t>(at - start));
        if (problem != NameOk) return problem;
        if (!*at) return NameOk;
        start = at + 1;
    }
}

bool EndsWithDotOrBlank(const char* name, size_t length) {
    return EndsWithChar(name, length, '.') || EndsWithChar(name, length, ' ');
}

}  // namespace

bool IsDeviceName(const char* name, size_t length) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    size_t stem = DeviceStemLength(name, length);
    for (const char* device : kDevices) {
        if (std::strlen(device) == stem && CompareNoCaseN(name, device, stem) == 0) return true;
    }
    return IsNumberedDevice(name, stem);
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
    if (FindCharN(name, length, '\\') || FindCharN(name, length, '/')) return NameSeparator;
    NameProblem problem = CheckPathName(name, length);
    if (problem != NameOk) return problem;
    return EndsWithDotOrBlank(name, length) ? NameDotsOrTrailingBlank : NameOk;
}

NameProblem CheckFolderPath(const char* path) {
    return CheckEachName(path, false, [](const char* name, size_t length) {
        if (!length) return NameOk;
        // Only backslashes separate folders here: a slash is a character no name can hold.
        return FindCharN(name, length, '/') ? NameForbiddenCharacter : CheckSingleName(name, length);
    });
}

NameProblem CheckRelativePath(const char* path, bool rootedAllowed) {
    if (IsPathSeparator(path[0]) && (!rootedAllowed || IsPathSeparator(path[1]))) return NameRooted;
    // Two separators in a row past the start: Windows would read another path.
    for (const char* at = path; *at; at = NextChar(at))
        if (at != path && IsPathSeparator(*at) && IsPathSeparator(at[1])) return NameEmptyComponent;
    return CheckEachName(path, true, CheckPathName);
}

NameProblem CheckCreatedPath(const char* path, bool rootedAllowed) {
    NameProblem problem = CheckRelativePath(path, rootedAllowed);
    if (problem != NameOk) return problem;
    return CheckEachName(path, true, [](const char* name, size_t length) {
        return EndsWithDotOrBlank(name, length) ? NameDotsOrTrailingBlank : NameOk;
    });
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
    for (const char* at = title; *at;) {
        const char* next = NextChar(at);
        bool single = next - at == 1;
        if (!single || !(IsForbiddenNameCharacter(*at) || IsPathSeparator(*at) || *at == ':')) {
            SetupString one;
            one.Assign(at, static_cast<size_t>(next - at));
            name.Append(one.Get());
        }
        at = next;
    }
    return name;
}
