#include "uninstall/RemovalScope.h"

#include <cstring>

#include "setup/NameChars.h"
#include "setup/NameRules.h"
#include "setup/PathHelpers.h"
#include "shell/RegistryPlaces.h"
#include "shell/UninstallLogName.h"

namespace {

constexpr uint32_t kClassesRoot = 0x80000000u, kCurrentUser = 0x80000001u, kLocalMachine = 0x80000002u;

// The settings key's parents, which the setup creates when they are missing.
const char* const kSettingsParents[] = {"Software\\VARN", "Software\\VARN\\Varnplay", "Software\\VARN\\Varnplay\\1.0"};
const char* const kProductFileTypes[] = {"VARN.Game", "VARN.Save", "VARN.DebugConfig"};

bool IsPlainComponent(const char* component, size_t length) {
    if (length == 0) return false;
    // A last dot or blank also rules out "." and "..".
    if (EndsWithChar(component, length, '.') || EndsWithChar(component, length, ' ')) return false;
    if (FindCharN(component, length, '/') || FindCharN(component, length, ':')) return false;
    return !IsDeviceName(component, length);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && CompareNoCaseN(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

// Strictly below folder: "folder\something".
bool IsBelow(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.size() > folder.size() + 1 && StartsWithNoCase(path, folder) &&
           path[folder.size()] == '\\' && IsCharBoundary(path.c_str(), folder.size());
}

bool IsSameOrBelow(const std::string& path, const std::string& folder) {
    return !folder.empty() && (EqualsNoCase(path.c_str(), folder.c_str()) || IsBelow(path, folder));
}

// A folder of the scope, or empty when it is a drive's root (a Documents
// folder redirected to D:\, a log there), which would put the whole drive in reach.
std::string ScopeFolder(const std::string& folder) {
    return IsCanonicalPath(folder.c_str()) ? folder : std::string();
}

// The log's folder, by the same rule.
std::string LogFolder(const RemovalScope& scope) {
    const char* separator = FindLastChar(scope.logPath.c_str(), '\\');
    if (!separator) return std::string();
    return ScopeFolder(std::string(scope.logPath.c_str(), separator));
}

bool IsPlainKeyPath(const char* keyPath) {
    if (!keyPath[0] || keyPath[0] == '\\' || EndsWithChar(keyPath, std::strlen(keyPath), '\\')) return false;
    for (const char* at = keyPath; *at; at = NextChar(at)) {
        if (at[0] == '\\' && at[1] == '\\') return false;  // at is a whole character, so at[1] starts one
    }
    return true;
}

bool IsProductEntryKey(const RemovalScope& scope, const char* keyPath) {
    if (scope.entryName.empty() || FindChar(scope.entryName.c_str(), '\\')) return false;
    // A second installation's entry "name (2)" has the App Paths key of "name".
    std::string program = scope.entryName.substr(0, MainProgramLength(scope.entryName.c_str()));
    return IsSameOrBelow(keyPath, kAppPathsKey + program) ||
           IsSameOrBelow(keyPath, kUninstallEntriesKey + scope.entryName);
}

bool IsSettingsKey(const char* keyPath) {
    for (const char* parent : kSettingsParents)
        if (EqualsNoCase(keyPath, parent)) return true;
    return IsSameOrBelow(keyPath, kSettingsKey);
}

bool IsExtensionKey(const char* keyPath) {
    return keyPath[0] == '.' && keyPath[1] != '\0' && !FindChar(keyPath, '\\');
}

}  // namespace

bool IsCanonicalPath(const char* path) {
    bool driveLetter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    if (!driveLetter || path[1] != ':' || path[2] != '\\') return false;
    const char* component = path + 3;
    for (;;) {
        const char* end = FindChar(component, '\\');
        size_t length = end ? static_cast<size_t>(end - component) : std::strlen(component);
        if (!IsPlainComponent(component, length)) return false;
        if (!end) return true;
        component = end + 1;
    }
}

bool FileInScope(const RemovalScope& scope, const char* path) {
    if (!IsCanonicalPath(path)) return false;
    return IsBelow(path, LogFolder(scope)) || IsBelow(path, ScopeFolder(scope.programsFolder)) ||
           IsBelow(path, ScopeFolder(scope.documentsFolder));
}

bool FolderInScope(const RemovalScope& scope, const char* path) {
    if (FileInScope(scope, path)) return true;
    if (!IsCanonicalPath(path)) return false;
    std::string logFolder = LogFolder(scope);
    return IsSameOrBelow(logFolder, path);  // the log's folder or one of its parents
}

size_t TrustedPrefixLength(const RemovalScope& scope, const char* path) {
    bool inScope = FileInScope(scope, path) || FolderInScope(scope, path);
    return inScope ? 2 : std::strlen(path);  // canonical: "X:\..."
}

KeyPlace PlaceOfKey(const RemovalScope& scope, uint32_t rootKey, const char* keyPath) {
    if (!IsPlainKeyPath(keyPath)) return KeyOutside;
    switch (rootKey) {
    case kLocalMachine: return IsProductEntryKey(scope, keyPath) ? KeyOfInstallation : KeyOutside;
    case kCurrentUser: return IsSettingsKey(keyPath) ? KeyOfInstallation : KeyOutside;
    case kClassesRoot:
        if (!FileTypeOfKey(scope, rootKey, keyPath).empty()) return KeyOfInstallation;
        return IsExtensionKey(keyPath) ? KeyExtension : KeyOutside;
    default: return KeyOutside;
    }
}

std::string FileTypeOfKey(const RemovalScope& scope, uint32_t rootKey, const char* keyPath) {
    if (rootKey != kClassesRoot) return std::string();
    const char* end = FindChar(keyPath, '\\');
    std::string first = end ? std::string(keyPath, end) : std::string(keyPath);
    for (const char* type : kProductFileTypes)
        if (EqualsNoCase(first.c_str(), type)) return first;
    // A single game's saved games: its name and ".Save", one key name.
    bool gameType = !scope.appName.empty() && !FindChar(scope.appName.c_str(), '\\') &&
                    EqualsNoCase(first.c_str(), (scope.appName + ".Save").c_str());
    return gameType ? first : std::string();
}

bool IsLogFile(const RemovalScope& scope, const char* path) { return EqualsNoCase(path, scope.logPath.c_str()); }

bool IsUninstallEntryKey(const RemovalScope& scope, uint32_t rootKey, const char* keyPath) {
    return rootKey == kLocalMachine && !scope.entryName.empty() &&
           IsSameOrBelow(keyPath, kUninstallEntriesKey + scope.entryName);
}
