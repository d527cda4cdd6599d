#include "install/ExtractArchive.h"

#include <windows.h>

#include "install/ArchiveExtraction.h"
#include "archive/ArchiveFormat.h"
#include "archive/Win32ArchiveSource.h"
#include "install/Win32ExtractTarget.h"
#include "setup/InstallationSet.h"
#include "setup/TextDecoding.h"

namespace {

// The transfer buffer: moveable, zero-initialised global memory, locked for
// the call; large enough for several chunks to be written at once.
class TransferBuffer {
public:
    TransferBuffer() {
        handle_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kWriteBlockSize);
        if (handle_) bytes_ = static_cast<uint8_t*>(GlobalLock(handle_));
    }
    ~TransferBuffer() {
        if (bytes_) GlobalUnlock(handle_);
        if (handle_) GlobalFree(handle_);
    }
    TransferBuffer(const TransferBuffer&) = delete;
    TransferBuffer& operator=(const TransferBuffer&) = delete;
    uint8_t* Bytes() const { return bytes_; }

private:
    HGLOBAL handle_ = nullptr;
    uint8_t* bytes_ = nullptr;
};

std::string refusedMemberName;

}  // namespace

const char* RefusedMemberName() { return refusedMemberName.c_str(); }

int ExtractArchive(const char* archiveName, const char* destination, ExtractCallbacks callbacks, void* context) {
    TransferBuffer buffer;
    if (!buffer.Bytes()) return ExtractNoMemory;
    Win32ArchiveSource source;
    if (!OpenSetFile(archiveName, source)) return source.OutOfMemory() ? ExtractNoMemory : ExtractReadError;
    Win32ExtractTarget target;
    int result = ExtractFromSource(source, target, destination, callbacks, context, buffer.Bytes(),
                                   Decompression::AheadOnOwnThread, kWriteBlockSize);
    refusedMemberName = DescribeUtf8Name(target.refusedName.data(), target.refusedName.size());
    return result;
}
