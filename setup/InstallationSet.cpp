#include "setup/InstallationSet.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "archive/BundleDirectory.h"
#include "archive/BundleMark.h"
#include "archive/ImageHeaders.h"
#include "setup/BundleTrust.h"
#include "setup/SignatureCheck.h"
#include "setup/PathHelpers.h"

const char kDamagedBundleText[] =
    "The installation files in this Setup program are damaged or incomplete.  You should obtain a new copy of the "
    "Setup program.";

namespace {

HANDLE programFile = INVALID_HANDLE_VALUE;
BundleDirectory bundle;
SetOrigin origin = SetOrigin::Folder;

constexpr uint32_t kCheckBufferSize = 1024 * 1024;
constexpr DWORD kLongPathSize = 32768;  // the longest name Windows gives a file
constexpr size_t kMappedHeaderBytes = 4096;  // the loader maps at least one page of headers

bool FindBundledRange(const char* name, uint32_t* offset, uint32_t* length) {
    if (origin != SetOrigin::Bundle) return false;
    if (SameBundleName(name, "setup.exe")) {
        *offset = 0;
        *length = bundle.imageEnd;
        return true;
    }
    const BundleEntry* entry = bundle.Find(name);
    if (!entry) return false;
    *offset = entry->offset;
    *length = entry->size;
    return true;
}

// The setup's own file, by the name Windows gives in full (a folder named in
// characters outside the ANSI code page included), shared for reading only:
// while it is open nobody may write, rename or delete it.
HANDLE OpenOwnFile(std::wstring* path) {
    std::vector<wchar_t> name(kLongPathSize);
    DWORD length = GetModuleFileNameW(nullptr, name.data(), kLongPathSize);
    if (length == 0 || length >= kLongPathSize) return INVALID_HANDLE_VALUE;
    path->assign(name.data(), length);
    return CreateFileW(path->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool FileHeadersMatch(const uint8_t* image, const ImageHeaders& headers) {
    std::vector<uint8_t> bytes(headers.size);
    DWORD got = 0;
    return SetFilePointer(programFile, 0, nullptr, FILE_BEGIN) == 0 &&
           ReadFile(programFile, bytes.data(), headers.size, &got, nullptr) && got == headers.size &&
           SameImageHeaders(image, bytes.data(), headers);
}

void FindBundle(OwnFileFindings* findings) {
    DWORD high = 0, size = GetFileSize(programFile, &high);
    if (size == INVALID_FILE_SIZE || high != 0) return;
    Win32ArchiveSource whole;
    // Without memory to check it, the bundle cannot be trusted.
    if (!whole.OpenWindow(programFile, 0, size)) {
        findings->bundle = BundleState::Damaged;
        return;
    }
    findings->bundle = ReadBundleDirectory(whole, &bundle);
    findings->directoryCrc = bundle.directoryCrc;
    if (findings->bundle != BundleState::Intact || !findings->marked) return;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCheckBufferSize]);
    findings->entriesSound = buffer && !FindDamagedEntry(whole, bundle, buffer.get(), kCheckBufferSize);
}

// The running image, as the loader mapped it, is the reference: the file is
// read only as far as it shows itself to be that image.
SetOrigin CheckOwnFile() {
    const uint8_t* image = reinterpret_cast<const uint8_t*>(GetModuleHandleA(nullptr));
    OwnFileFindings findings;
    ImageHeaders headers;
    bool parsed = ParseImageHeaders(image, kMappedHeaderBytes, &headers);
    findings.marked = ReadBundleMark(image, &findings.markedCrc);
    findings.signedImage = parsed && headers.certificateSize != 0;
    std::wstring path;
    programFile = OpenOwnFile(&path);
    findings.opened = programFile != INVALID_HANDLE_VALUE;
    findings.sameHeaders = findings.opened && parsed && FileHeadersMatch(image, headers);
    if (findings.sameHeaders && findings.signedImage)
        findings.signatureSound = SignatureStatusAccepted(VerifyFileSignature(programFile, path.c_str()));
    if (findings.sameHeaders && (findings.signatureSound || !findings.signedImage)) FindBundle(&findings);
    return JudgeOwnFile(findings);
}

bool WriteWindow(HANDLE out, uint32_t offset, uint32_t length) {
    Win32ArchiveSource source;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCheckBufferSize]);
    if (!buffer || !source.OpenWindow(programFile, offset, length)) return false;
    for (uint32_t left = length; left;) {
        uint32_t chunk = left < kCheckBufferSize ? left : kCheckBufferSize;
        DWORD written = 0;
        if (!source.ReadFully(buffer.get(), chunk) || !WriteFile(out, buffer.get(), chunk, &written, nullptr) ||
            written != chunk)
            return false;
        left -= chunk;
    }
    return true;
}

// Never leaves a cut program; a file it could not open it does not touch.
bool WriteWindowTo(const char* path, uint32_t offset, uint32_t length) {
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    bool complete = WriteWindow(out, offset, length);
    complete = CloseHandle(out) && complete;
    if (!complete) DeleteFileA(path);
    return complete;
}

// Through a temporary file beside the destination, so that an existing file
// (the uninstaller other installations use) is replaced only by a complete
// copy, with a rename on the same volume. Where no temporary name fits, the
// copy goes straight to the destination, as CopyFileA's would.
bool CopyWindow(uint32_t offset, uint32_t length, const char* destination) {
    char directory[kPathBufferSize];
    char temporary[MAX_PATH];
    char* slash = nullptr;
    if (CopyText(directory, sizeof directory, destination)) slash = const_cast<char*>(FindLastChar(directory, '\\'));
    if (slash) slash[1] = '\0';
    if (!slash || !GetTempFileNameA(directory, "vsu", 0, temporary)) return WriteWindowTo(destination, offset, length);
    if (WriteWindowTo(temporary, offset, length) && MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(temporary);
    return false;
}

}  // namespace

SetOrigin OpenInstallationSet() {
    CloseInstallationSet();
    origin = CheckOwnFile();
    // A folder set works exactly as before; a refused bundle is not read again.
    if (origin != SetOrigin::Bundle) {
        SetOrigin judged = origin;
        CloseInstallationSet();
        origin = judged;
    }
    return origin;
}

void CloseInstallationSet() {
    if (programFile != INVALID_HANDLE_VALUE) CloseHandle(programFile);
    programFile = INVALID_HANDLE_VALUE;
    bundle = BundleDirectory();
    origin = SetOrigin::Folder;
}

bool OpenBundledFile(const char* name, Win32ArchiveSource& source) {
    uint32_t offset = 0, length = 0;
    return FindBundledRange(name, &offset, &length) && source.OpenWindow(programFile, offset, length);
}

bool IsBundledSet() { return origin == SetOrigin::Bundle; }

// A bundle is the whole set: a file it lacks is not taken from the folder it
// runs from (a Downloads folder), where anybody may have put one.
bool OpenSetFile(const char* name, Win32ArchiveSource& source) {
    if (IsBundledSet()) return OpenBundledFile(name, source);
    return source.Open(name);
}

bool CopySetFile(const char* name, const char* destination) {
    uint32_t offset = 0, length = 0;
    if (IsBundledSet()) return FindBundledRange(name, &offset, &length) && CopyWindow(offset, length, destination);
    return CopyFileA(name, destination, FALSE) != 0;
}
