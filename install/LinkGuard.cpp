#include "install/LinkGuard.h"

#include "install/ExtractArchive.h"
#include "setup/PathHelpers.h"
#include "shell/FinalPath.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string Folded(const char* path) {
    std::string text(path);
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int OpenError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? ExtractFileInUse : ExtractCreateError;
}

}  // namespace

int LinkGuard::Trust(const char* folder) {
    for (const Folder& known : trusted_)
        if (EqualsNoCase(known.path.c_str(), folder)) return ExtractOk;
    UnfollowedHandle handle;
    if (!handle.Open(*folder ? folder : "\\", FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING) || !handle.IsFolder())
        return ExtractCreateError;
    // Windows opens the link itself here; Wine opens where it leads, and
    // only the attributes of the path tell.
    DWORD attributes = GetFileAttributesA(*folder ? folder : "\\");
    if (handle.IsLink() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return ExtractLinkRefused;
    Folder trusted{folder, std::string()};
    if (!handle.FinalPath(trusted.finalPath)) return ExtractCreateError;
    trusted_.push_back(trusted);
    return ExtractOk;
}

int LinkGuard::CheckFolder(const char* folder) {
    std::string key = Folded(folder);
    if (checked_.count(key)) return ExtractOk;
    UnfollowedHandle handle;
    if (!handle.Open(folder, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING) || !handle.IsFolder())
        return ExtractCreateError;
    if (handle.IsLink() || !Reached(handle, folder)) return ExtractLinkRefused;
    checked_.insert(key);
    return ExtractOk;
}

// The longest trusted folder that holds the path decides.
bool LinkGuard::Reached(const UnfollowedHandle& handle, const char* path) const {
    std::string expected;
    size_t longest = 0;
    for (const Folder& folder : trusted_) {
        std::string candidate = ExpectedFinalPath(folder.path, folder.finalPath, path);
        if (!candidate.empty() && folder.path.size() >= longest) {
            expected = candidate;
            longest = folder.path.size();
        }
    }
    std::string reached;
    return !expected.empty() && handle.FinalPath(reached) && SameFinalPath(reached, expected);
}

// Sharing as a writer always asked for: a program that holds the file
// without letting others write keeps it, and the file counts as in use.
int LinkGuard::DeleteExisting(const char* path) {
    UnfollowedHandle existing;
    if (!existing.Open(path, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_WRITE, OPEN_EXISTING)) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ExtractOk : OpenError(error);
    }
    if (existing.IsLink() || !Reached(existing, path)) return ExtractLinkRefused;
    if (existing.IsFolder() || !existing.MarkForDeletion()) return ExtractCreateError;  // read-only: kept
    return ExtractOk;
}

int LinkGuard::CreateFile(const char* path, UnfollowedHandle& file, bool replaceExisting) {
    file.Close();
    int result = replaceExisting ? DeleteExisting(path) : ExtractOk;
    if (result != ExtractOk) return result;
    if (!file.Open(path, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_WRITE, CREATE_NEW))
        return OpenError(GetLastError());
    if (!Reached(file, path)) {  // a folder on the way became a link since it was checked
        file.MarkForDeletion();
        file.Close();
        return ExtractLinkRefused;
    }
    return ExtractOk;
}

int LinkGuard::WriteNewFile(const char* path, const void* data, unsigned long length) {
    UnfollowedHandle file;
    int result = CreateFile(path, file);
    if (result != ExtractOk) return result;
    DWORD written = 0;
    if (WriteFile(file.Get(), data, length, &written, nullptr) && written == length) return ExtractOk;
    file.MarkForDeletion();
    return ExtractWriteError;
}

bool LinkGuard::LeadsElsewhere(const char* path) const {
    UnfollowedHandle handle;
    if (!handle.Open(path, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING)) return false;
    return handle.IsLink() || !Reached(handle, path);
}
