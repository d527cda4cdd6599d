#include "shell/UnfollowedHandle.h"

#include "setup/TextDecoding.h"
#include "shell/FinalPath.h"

bool UnfollowedHandle::Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
    Close();
    handle_ = CreateFileA(path, access, share, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return handle_ != INVALID_HANDLE_VALUE;
}

void UnfollowedHandle::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

// The basic information, not GetFileInformationByHandle: that one also asks
// the volume for its serial number, a round trip to the mount manager under
// Wine for every folder and file checked.
bool UnfollowedHandle::Attributes(DWORD& attributes) const {
    FILE_BASIC_INFO basic = {};
    if (handle_ == INVALID_HANDLE_VALUE || !GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic))
        return false;
    attributes = basic.FileAttributes;
    return true;
}

bool UnfollowedHandle::IsLink() const {
    DWORD attributes = 0;
    return !Attributes(attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool UnfollowedHandle::IsFolder() const {
    DWORD attributes = 0;
    return Attributes(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// FILE_NAME_OPENED: the name as opened, with every reparse on the way
// applied, so that a short name the caller used still compares equal. The
// wide call answers in one query (the "A" one asks twice, for the length
// first), and its name is narrowed only when every character has its exact
// equal in the process's code page.
bool UnfollowedHandle::FinalPath(std::string& path) const {
    WCHAR buffer[1024];
    DWORD length = GetFinalPathNameByHandleW(handle_, buffer, ARRAYSIZE(buffer), FILE_NAME_OPENED | VOLUME_NAME_DOS);
    std::string narrow;
    if (length == 0 || length >= ARRAYSIZE(buffer) || !NarrowExactly(buffer, length, &narrow)) return false;
    path = PlainFinalPath(narrow);
    return true;
}

bool UnfollowedHandle::MarkForDeletion() const {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(handle_, FileDispositionInfo, &disposition, sizeof disposition);
}

bool UnfollowedHandle::SetReadOnly(bool readOnly) const {
    FILE_BASIC_INFO basic = {};
    if (!GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic)) return false;
    if (readOnly)
        basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    else
        basic.FileAttributes &= ~FILE_ATTRIBUTE_READONLY;
    if (!basic.FileAttributes) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;  // 0: left as they are
    basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
    return SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic);
}
