#include "install/Win32InstallSystem.h"

#include <cstring>

#include "install/ExtractArchive.h"
#include "setup/InstallSettings.h"
#include "setup/SetupMessages.h"
#include "setup/PathHelpers.h"
#include "shell/RegisteredLog.h"
#include "shell/Sha256.h"
#include "setup/NameChars.h"

// On 64-bit Windows the predefined handles are sign-extended: mapped, not cast.
HKEY RootKeyOf(uint32_t root) {
    switch (root) {
    case kRootClasses: return HKEY_CLASSES_ROOT;
    case kRootCurrentUser: return HKEY_CURRENT_USER;
    case kRootLocalMachine: return HKEY_LOCAL_MACHINE;
    default: return nullptr;
    }
}

InstallSystem::PathState Win32InstallSystem::StateOf(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathMissing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathFolder : PathOther;
}

bool Win32InstallSystem::MakeFolder(const char* path) {
    if (CreateDirectoryA(path, nullptr)) return true;
    DWORD error = GetLastError();  // a deployment tool must tell a full disk from other failures
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) NoteExitCause(ExitDiskFull);
    return false;
}

void Win32InstallSystem::RemoveEmptyFolder(const char* path) { RemoveDirectoryA(path); }

namespace {

// Calls visit with each name in the folder matching the pattern but "." and
// "..", until it returns false.
template <typename Visit>
void ForEachName(const char* folder, const char* pattern, Visit visit) {
    std::string search = std::string(folder) + "\\" + pattern;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(search.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
        if (!visit(found)) break;
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// The whole file when it begins as a journal does (a log is small).
bool ReadJournal(const std::string& path, std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr), got = 0;
    bool read = size != INVALID_FILE_SIZE && size < (16u << 20);
    if (read) {
        bytes.resize(size);
        read = size == 0 || (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
    }
    CloseHandle(file);
    return read && BeginsAsJournal(bytes.data(), bytes.size());
}

}  // namespace

bool Win32InstallSystem::HoldsOnly(const char* folder, const std::vector<std::string>& items) {
    bool only = true;
    ForEachName(folder, "*", [&](const WIN32_FIND_DATAA& found) {
        std::string path = std::string(folder) + "\\" + found.cFileName;
        only = false;
        for (const std::string& item : items) only = only || EqualsNoCase(item.c_str(), path.c_str());
        return only;
    });
    return only;
}

std::vector<std::string> Win32InstallSystem::UnclaimedJournals(const char* folder) {
    std::vector<std::string> journals;
    ForEachName(folder, "UnInst????.inf", [&](const WIN32_FIND_DATAA& found) {
        std::string path = std::string(folder) + (EndsWithChar(folder, std::strlen(folder), '\\') ? "" : "\\") +
                           found.cFileName;
        std::vector<uint8_t> bytes;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ReadJournal(path, bytes) &&
            !FindEntryOfLog(path.c_str(), nullptr, nullptr))
            journals.push_back(path);
        return true;
    });
    return journals;
}

bool Win32InstallSystem::KeyExists(uint32_t root, const char* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKeyOf(root), keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void Win32InstallSystem::CloseValueKey() {
    if (valueKey_) RegCloseKey(valueKey_);
    valueKey_ = nullptr;
    valueKeyPath_.clear();
}

// A key deleted since it was opened takes no value: it is opened (and made)
// again once.
bool Win32InstallSystem::SetValue(uint32_t root, const char* keyPath, const char* name, const char* text) {
    const BYTE* data = reinterpret_cast<const BYTE*>(text);
    DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    bool same = valueKey_ && root == valueRoot_ && valueKeyPath_ == keyPath;
    if (same && RegSetValueExA(valueKey_, name, 0, REG_SZ, data, size) == ERROR_SUCCESS) return true;
    CloseValueKey();
    if (RegCreateKeyExA(RootKeyOf(root), keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        &valueKey_, nullptr) != ERROR_SUCCESS) {
        valueKey_ = nullptr;
        return false;
    }
    valueRoot_ = root;
    valueKeyPath_ = keyPath;
    return RegSetValueExA(valueKey_, name, 0, REG_SZ, data, size) == ERROR_SUCCESS;
}

void Win32InstallSystem::DeleteValue(uint32_t root, const char* keyPath, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKeyOf(root), keyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void Win32InstallSystem::DeleteKey(uint32_t root, const char* keyPath) {
    CloseValueKey();
    RegDeleteKeyA(RootKeyOf(root), keyPath);
}

// A new file only, in the program directory as it was made, never through a
// link: anything that took the name is somebody else's.
bool Win32InstallSystem::OpenNewLog(const char* path) {
    CloseLog();
    const char* separator = FindLastChar(path, '\\');
    std::string folder(path, separator ? static_cast<size_t>(separator - path) : 0);
    return guard_.Trust(folder.c_str()) == ExtractOk && guard_.CreateFile(path, log_, false) == ExtractOk;
}

bool Win32InstallSystem::AppendLog(const uint8_t* data, uint32_t length) {
    DWORD written = 0;
    if (log_.Get() == INVALID_HANDLE_VALUE) return false;
    bool wrote = WriteFile(log_.Get(), data, length, &written, nullptr) != 0;
    if (wrote && written == length) return true;
    // The log is on the disk being filled (a short write says so too):
    // nothing more is installed, for that reason.
    DWORD error = wrote ? ERROR_DISK_FULL : GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) NoteExitCause(ExitDiskFull);
    return false;
}

void Win32InstallSystem::CloseLog() { log_.Close(); }

bool Win32InstallSystem::WriteWholeFile(const char* path, const uint8_t* data, size_t size) {
    return guard_.WriteNewFile(path, data, static_cast<unsigned long>(size)) == ExtractOk;
}

bool Win32InstallSystem::PutInPlace(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Win32InstallSystem::RemoveFile(const char* path) { DeleteFileA(path); }

bool Win32InstallSystem::DigestText(const uint8_t* data, size_t size, char* text) {
    return Sha256Text(data, size, text);
}
