// Extracts arbitrary archives twice, decompressing on the calling thread and
// on a read-ahead thread, and stops on any difference in what happens: the
// result, the callbacks and the bytes written must be the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "install/ArchiveExtraction.h"
#include "archive/ArchiveFormat.h"

namespace {

// Everything a run does, in order, as one string.
class TranscriptTarget : public ExtractTarget {
public:
    bool FileExists(const char* path) override { return std::strlen(path) % 3 == 0; }
    int CreateOutput(const char* path) override {
        transcript += std::string("create ") + path + "\n";
        return std::strlen(path) % 7 == 0 ? ExtractFileInUse : ExtractOk;
    }
    bool WriteOutput(const void* data, uint32_t length) override {
        transcript.append(static_cast<const char*>(data), length);
        return length != 777;
    }
    void CloseOutput() override { transcript += "close\n"; }
    int GetDocumentsFolder(char* buffer) override {
        std::strcpy(buffer, "C:\\Docs");
        return ExtractOk;
    }
    std::string transcript;
};

void OnRange(void* context, uint32_t steps) {
    static_cast<TranscriptTarget*>(context)->transcript += "range " + std::to_string(steps) + "\n";
}
void OnStep(void* context) { static_cast<TranscriptTarget*>(context)->transcript += "step\n"; }
int OnDirectory(void* context, const char* path) {
    static_cast<TranscriptTarget*>(context)->transcript += std::string("dir ") + path + "\n";
    return 0;
}
int OnFile(void* context, const char* path, int keep) {
    static_cast<TranscriptTarget*>(context)->transcript += std::string(keep ? "keep " : "file ") + path + "\n";
    return 0;
}

std::string Run(const uint8_t* data, size_t size, Decompression decompression) {
    MemoryArchiveSource source(data, static_cast<uint32_t>(size));
    TranscriptTarget target;
    ExtractCallbacks callbacks = {OnRange, OnStep, OnDirectory, OnFile, nullptr};
    std::vector<uint8_t> buffer(kTransferBufferSize);
    int result = ExtractFromSource(source, target, "D", callbacks, &target, buffer.data(), decompression);
    return target.transcript + "result " + std::to_string(result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFFu) return 0;
    if (Run(data, size, Decompression::OnCallingThread) != Run(data, size, Decompression::AheadOnOwnThread))
        std::abort();
    return 0;
}
