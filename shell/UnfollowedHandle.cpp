#include "shell/UnfollowedHandle.h"

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

bool UnfollowedHandle::Information(BY_HANDLE_FILE_INFORMATION& information) const {
    return handle_ != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle_, &information);
}

bool UnfollowedHandle::IsLink() const {
    BY_HANDLE_FILE_INFORMATION information;
    return !Information(information) || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// FILE_NAME_OPENED: the name as opened, with every reparse on the way
// applied, so that a short name the caller used still compares equal.
bool UnfollowedHandle::FinalPath(std::string& path) const {
    char buffer[1024];
    DWORD length = GetFinalPathNameByHandleA(handle_, buffer, sizeof buffer, FILE_NAME_OPENED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof buffer) return false;
    path = PlainFinalPath(std::string(buffer, length));
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
