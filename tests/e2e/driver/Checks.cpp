#include "Checks.h"

#include <windows.h>
#include <shlobj.h>

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

std::string ExpandFolders(const std::string& path) {
    for (const FolderName& folder : kFolders) {
        std::string placeholder = folder.placeholder;
        if (path.compare(0, placeholder.size(), placeholder) != 0) continue;
        char location[MAX_PATH] = {};
        if (!SHGetSpecialFolderPathA(nullptr, location, folder.csidl, FALSE)) return path;
        return location + path.substr(placeholder.size());
    }
    return path;
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
    if (type != REG_SZ) return key + " " + Quoted(value) + " is not REG_SZ";
    if (data != buffer) return key + " " + Quoted(value) + " is " + Quoted(buffer) + ", not " + Quoted(data);
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
        if (ExpandFolders(target) != foundTarget) problem = link + " points to " + Quoted(foundTarget);
        else if (arguments != foundArguments) problem = link + " has arguments " + Quoted(foundArguments);
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
