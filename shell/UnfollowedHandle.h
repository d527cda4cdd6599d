#pragma once
// Files and folders opened once, without following a reparse point at the
// end of the path, and acted on through that handle: what the elevated
// programs remove or write, they first check on the handle they then use.
#include <windows.h>

#include <string>

class UnfollowedHandle {
public:
    UnfollowedHandle() = default;
    ~UnfollowedHandle() { Close(); }
    UnfollowedHandle(const UnfollowedHandle&) = delete;
    UnfollowedHandle& operator=(const UnfollowedHandle&) = delete;

    // CreateFileA with FILE_FLAG_OPEN_REPARSE_POINT and, so that folders
    // open too, FILE_FLAG_BACKUP_SEMANTICS. False with GetLastError() set.
    bool Open(const char* path, DWORD access, DWORD share, DWORD disposition);
    void Close();
    HANDLE Get() const { return handle_; }
    // Hands the handle over to the caller, who closes it.
    HANDLE Release() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

    // What the handle holds; false when Windows cannot tell.
    bool Attributes(DWORD& attributes) const;
    bool IsLink() const;  // a reparse point itself (or unknown)
    bool IsFolder() const;
    // The path Windows reports for the handle, "\\?\" left off.
    bool FinalPath(std::string& path) const;
    // The object goes when the last handle to it is closed.
    bool MarkForDeletion() const;
    bool SetReadOnly(bool readOnly) const;

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
