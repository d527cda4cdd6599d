#include "support/TempTree.h"

#include <windows.h>

TempTree::TempTree(const char* tag) {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static int serial = 0;
    for (;;) {
        root_ = std::string(base) + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
        if (CreateDirectoryA(root_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempTree::~TempTree() { RemoveTree(root_); }

std::string TempTree::MakeDir(const std::string& relative) const {
    std::string full = Path(relative);
    for (size_t at = root_.size() + 1; at <= full.size(); ++at) {
        if (at == full.size() || full[at] == '\\') CreateDirectoryA(full.substr(0, at).c_str(), nullptr);
    }
    return full;
}

std::string TempTree::MakeFile(const std::string& relative, const std::string& content) const {
    std::string full = Path(relative);
    HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (!content.empty()) WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    return full;
}

void RemoveTree(const std::string& path) {
    if (path.empty()) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}
