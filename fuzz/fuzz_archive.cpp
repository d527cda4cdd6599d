// Feeds arbitrary bytes to the archive reader and member placement as a whole
// archive file, and checks that every path handed out stays short and inside.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "install/ArchiveExtraction.h"
#include "archive/ArchiveFormat.h"
#include "install/MemberPlacement.h"

namespace {

class DiscardTarget : public ExtractTarget {
public:
    bool FileExists(const char* path) override { return std::strlen(path) % 2 == 0; }
    int CreateOutput(const char* path) override {
        Check(path);
        return ExtractOk;
    }
    bool WriteOutput(const void*, uint32_t) override { return true; }
    void CloseOutput() override {}
    int GetDocumentsFolder(char* buffer) override {
        std::strcpy(buffer, "C:\\Docs");
        return ExtractOk;
    }
    static void Check(const char* path) {
        if (std::strlen(path) > 259) std::abort();
        if (std::strncmp(path, "D\\", 2) != 0 && std::strncmp(path, "C:\\Docs\\", 8) != 0) std::abort();
        if (!IsSafeMemberPath(std::strchr(path, '\\') + 1)) std::abort();
    }
};

int OnDirectory(void*, const char* path) {
    DiscardTarget::Check(path);
    return 0;
}

int OnFile(void*, const char* path, int) {
    DiscardTarget::Check(path);
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    MemoryArchiveSource source(data, static_cast<uint32_t>(size));
    DiscardTarget target;
    ExtractCallbacks callbacks = {nullptr, nullptr, OnDirectory, OnFile, nullptr};
    static std::vector<uint8_t> buffer(kTransferBufferSize);
    ExtractFromSource(source, target, "D", callbacks, nullptr, buffer.data(), Decompression::OnCallingThread);
    return 0;
}
