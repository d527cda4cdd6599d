#include "Checks.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

struct FolderName {
    const char* placeholder;
    int csidl;
};
const FolderName kFolders[] = {
    {"<Programs>", CSIDL_PROGRAMS},
    {"<Windows>", CSIDL_WINDOWS},
    {"<Documents>", CSIDL_PERSONAL},
    {"<ProgramFiles>", CSIDL_PROGRAM_FILES},
};

bool SplitKey(const std::string& key, HKEY& root, std::string& path) {
    size_t slash = key.find('\\');
    std::string rootName = key.substr(0, slash);
    path = slash == std::string::npos ? std::string() : key.substr(slash + 1);
    if (rootName == "HKCR") root = HKEY_CLASSES_ROOT;
    else if (rootName == "HKCU") root = HKEY_CURRENT_USER;
    else if (rootName == "HKLM") root = HKEY_LOCAL_MACHINE;
    else return false;
    return true;
}

class Key {
public:
    Key(const std::string& name, REGSAM access) {
        HKEY root;
        std::string path;
        if (SplitKey(name, root, path)) status_ = RegOpenKeyExA(root, path.c_str(), 0, access, &key_);
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    HKEY get() const { return key_; }
    LONG status() const { return status_; }

private:
    HKEY key_ = nullptr;
    LONG status_ = ERROR_INVALID_PARAMETER;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

bool Matches(const std::string& actual, const std::string& expected) {
    if (!expected.empty() && expected.back() == '*') return actual.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
    return actual == expected;
}

std::string ExpandFolders(const std::string& path) {
    std::string expanded = path;
    for (const FolderName& folder : kFolders) {
        std::string placeholder = folder.placeholder;
        size_t at = expanded.find(placeholder);
        if (at == std::string::npos) continue;
        char location[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathA(nullptr, location, folder.csidl, FALSE)) continue;
        for (; at != std::string::npos; at = expanded.find(placeholder, at)) {
            expanded.replace(at, placeholder.size(), location);
            at += std::strlen(location);
        }
    }
    return expanded;
}

std::string CheckFileExists(const std::string& path, bool wanted) {
    DWORD attributes = GetFileAttributesA(ExpandFolders(path).c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists == wanted) return "";
    return wanted ? "missing: " + path : "present: " + path;
}

std::string CheckFileContains(const std::string& path, const std::string& text) {
    std::ifstream file(ExpandFolders(path), std::ios::binary);
    if (!file) return "cannot read " + path;
    std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (contents.find(text) != std::string::npos) return "";
    return path + " does not contain " + Quoted(text);
}

std::string CheckRegistryValue(const std::string& key, const std::string& value, const std::string& data) {
    Key opened(key, KEY_QUERY_VALUE);
    if (opened.status() != ERROR_SUCCESS) return "no key " + key;
    char buffer[2048] = {};
    DWORD type = 0, size = sizeof buffer - 1;
    LONG status = RegQueryValueExA(opened.get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS) return "no value " + Quoted(value) + " in " + key;
    if (type == REG_DWORD && size == sizeof(DWORD)) {  // compared as its decimal text
        DWORD number;
        std::memcpy(&number, buffer, sizeof number);
        std::string text = std::to_string(number);
        if (Matches(text, data)) return "";
        return key + " " + Quoted(value) + " is the number " + text + ", not " + Quoted(data);
    }
    if (type != REG_SZ) return key + " " + Quoted(value) + " is not REG_SZ";
    if (!Matches(buffer, data)) return key + " " + Quoted(value) + " is " + Quoted(buffer) + ", not " + Quoted(data);
    return "";
}

std::string CheckRegistryKeyExists(const std::string& key, bool wanted) {
    Key opened(key, KEY_QUERY_VALUE);
    bool exists = opened.status() == ERROR_SUCCESS;
    if (exists == wanted) return "";
    return wanted ? "no key " + key : "key present: " + key;
}

std::string CheckShortcut(const std::string& link, const std::string& target, const std::string& arguments) {
    std::string linkPath = ExpandFolders(link);
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink))))
        return "no shell link object";
    std::string problem;
    IPersistFile* file = nullptr;
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
    char foundTarget[MAX_PATH] = {}, foundArguments[1024] = {};
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        FAILED(file->Load(widePath, STGM_READ))) {
        problem = "cannot load shortcut " + link;
    } else {
        shellLink->GetPath(foundTarget, MAX_PATH, nullptr, SLGP_RAWPATH);
        shellLink->GetArguments(foundArguments, sizeof foundArguments);
        if (!Matches(foundTarget, ExpandFolders(target))) problem = link + " points to " + Quoted(foundTarget);
        else if (!Matches(foundArguments, arguments)) problem = link + " has arguments " + Quoted(foundArguments);
    }
    if (file) file->Release();
    shellLink->Release();
    return problem;
}

std::string DeleteRegistryTree(const std::string& key) {
    HKEY root;
    std::string path;
    if (!SplitKey(key, root, path) || path.empty()) return "bad key " + key;
    LONG status = RegDeleteTreeA(root, path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyA(root, path.c_str());
        return "";
    }
    return "cannot delete " + key;
}

namespace {

bool EnablePrivilege(const char* name) {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid) &&
                   AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr) &&
                   GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled;
}

}  // namespace

// Both views (a 32-bit driver too): the 32-bit one is the Wow6432Node subkey.
std::string SaveRegistryTree(const std::string& key, const std::string& file) {
    if (!EnablePrivilege(SE_BACKUP_NAME)) return "cannot enable the backup privilege";
    Key opened(key, KEY_READ | KEY_WOW64_64KEY);
    if (opened.status() != ERROR_SUCCESS) return "cannot open " + key;
    DeleteFileA(file.c_str());  // the save makes a new file
    LONG status = RegSaveKeyA(opened.get(), file.c_str(), nullptr);
    return status == ERROR_SUCCESS ? "" : "cannot save " + key + " (error " + std::to_string(status) + ")";
}

std::string DeleteDirectoryTree(const std::string& path) {
    std::string directory = ExpandFolders(path);
    DWORD attributes = GetFileAttributesA(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return "";
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(directory.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(directory.c_str()) ? "" : "cannot delete " + path;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return "";
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        std::string child = directory + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteDirectoryTree(child);
        } else {
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(child.c_str());
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return RemoveDirectoryA(directory.c_str()) ? "" : "cannot remove " + path;
}

namespace {

bool ReadShortcut(const std::string& path, std::string& target, std::string& arguments) {
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink))))
        return false;
    IPersistFile* file = nullptr;
    wchar_t widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    char foundTarget[MAX_PATH] = {}, foundArguments[1024] = {};
    bool loaded = SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                  SUCCEEDED(file->Load(widePath, STGM_READ));
    if (loaded) {
        shellLink->GetPath(foundTarget, MAX_PATH, nullptr, SLGP_RAWPATH);
        shellLink->GetArguments(foundArguments, sizeof foundArguments);
        target = foundTarget;
        arguments = foundArguments;
    }
    if (file) file->Release();
    shellLink->Release();
    return loaded;
}

void DescribeKeyInto(HKEY root, const std::string& rootName, const std::string& path, std::string& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char name[256], data[2048];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        data[type == REG_SZ ? dataSize : 0] = '\0';
        out += rootName + "\\" + path + "  " + (nameSize ? Quoted(name) : std::string("(default)")) + " = " +
               Quoted(data) + "\n";
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        DescribeKeyInto(root, rootName, path + "\\" + name, out);
    }
    RegCloseKey(key);
}

}  // namespace

std::string DescribeShortcuts(const std::string& folder) {
    std::string directory = ExpandFolders(folder), out;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((directory + "\\*.lnk").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return "(no shortcuts in " + directory + ")\n";
    do {
        std::string target, arguments;
        std::string link = directory + "\\" + entry.cFileName;
        if (!ReadShortcut(link, target, arguments)) target = "(unreadable)";
        out += link + "  ->  " + target + (arguments.empty() ? "" : " " + arguments) + "\n";
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return out;
}

std::string DescribeKey(const std::string& key) {
    HKEY root;
    std::string path, out;
    if (!SplitKey(key, root, path)) return "(bad key " + key + ")\n";
    DescribeKeyInto(root, key.substr(0, 4), path, out);
    return out.empty() ? "(no key " + key + ")\n" : out;
}
