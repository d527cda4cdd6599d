#pragma once
// An in-memory file system side for the member loop, with injectable failures,
// and a recorder of every callback in order.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "install/ArchiveExtraction.h"
#include "archive/ArchiveFormat.h"
#include "archive/ArchiveSource.h"
#include "install/ExtractTarget.h"

namespace archive_test {

class FakeTarget : public ExtractTarget {
public:
    bool FileExists(const char* path) override { return files.count(path) != 0; }
    bool IsLink(const char* path) override { return links.count(path) != 0; }
    int CreateOutput(const char* path) override {
        DoHeldWrites();  // the closers have caught up by now
        std::string name(path);
        if (name.empty() || name.back() == '\\') return ExtractCreateError;  // a folder cannot become a file
        if (ThroughLink(name)) return ExtractLinkRefused;  // as the handle's final path shows
        if (failures.count(name)) return failures[name];
        files[name].clear();
        current = name;
        written = 0;
        return ExtractOk;
    }
    // As on disk: the end moves, the write position stays.
    void PlanOutput(uint32_t length) override {
        files[current].resize(length, '\0');
        ++plans;
    }
    // The first writesBeforeFailure writes succeed, the next one is short (half).
    bool WriteOutput(const void* data, uint32_t length) override {
        bool fails = failWrites || writesBeforeFailure == 0;
        if (writesBeforeFailure > 0) --writesBeforeFailure;
        uint32_t count = fails ? length / 2 : length;
        std::string& file = files[current];
        if (file.size() < written + count) file.resize(written + count);
        file.replace(written, count, static_cast<const char*>(data), count);
        written += count;
        ++writes;
        return !fails;
    }
    // With deferWhole, as setup.exe does with small members: the write is
    // done later, at the next creation or when the writes are settled.
    bool WriteWholeOutput(const void* data, uint32_t length) override {
        if (!deferWhole) return WriteOutput(data, length);
        held.push_back({current, std::string(static_cast<const char*>(data), length)});
        return true;
    }
    bool LaterWriteFailed() override { return laterFailed; }
    bool SettleWrites() override {
        DoHeldWrites();
        return !laterFailed;
    }
    // The first heldWritesBeforeFailure held writes succeed; the next one
    // writes half and leaves the file cut there.
    void DoHeldWrites() {
        for (const auto& write : held) {
            bool fails = heldWritesBeforeFailure == 0;
            --heldWritesBeforeFailure;  // only the one fails
            files[write.first] = fails ? write.second.substr(0, write.second.size() / 2) : write.second;
            laterFailed = laterFailed || fails;
        }
        held.clear();
    }
    void CutOutput() override { files[current].resize(written); }
    void CloseOutput() override {
        ++closes;
        current.clear();
    }
    int GetDocumentsFolder(char* buffer) override {
        if (documents.empty()) return ExtractCreateError;
        std::strcpy(buffer, documents.c_str());
        return ExtractOk;
    }

    int TrustFolder(const char* folder) override {
        checks.push_back(std::string("trust ") + folder);
        return ThroughLink(folder) ? ExtractLinkRefused : ExtractOk;
    }
    int CheckFolder(const char* folder) override {
        checks.push_back(std::string("check ") + folder);
        return ThroughLink(folder) ? ExtractLinkRefused : ExtractOk;
    }
    // The path is a link or lies below one.
    bool ThroughLink(const std::string& path) const {
        for (const std::string& link : links)
            if (path == link || path.compare(0, link.size() + 1, link + "\\") == 0) return true;
        return false;
    }
    void NameRefused(const char* storedName) override { refused.push_back(storedName); }

    std::map<std::string, std::string> files;
    std::set<std::string> links;  // junctions, symbolic links, mount points
    std::vector<std::string> checks;
    std::map<std::string, int> failures;
    std::vector<std::string> refused;
    std::string documents = "C:\\Docs";
    std::string current;
    size_t written = 0;
    bool failWrites = false;
    int writesBeforeFailure = -1;  // negative: no failure
    int closes = 0;
    int plans = 0;
    int writes = 0;
    bool deferWhole = false;
    int heldWritesBeforeFailure = -1;  // negative: no failure
    std::vector<std::pair<std::string, std::string>> held;  // path, data
    bool laterFailed = false;
};

struct Recorder {
    std::vector<std::string> events;
    std::set<std::string> own;  // existing files the installation made, earlier or in this run
    int directoryResult = 0;
    int steps = 0;

    static void Range(void* context, uint32_t steps) {
        static_cast<Recorder*>(context)->events.push_back("range " + std::to_string(steps));
    }
    static void Step(void* context) { static_cast<Recorder*>(context)->steps++; }
    static int Directory(void* context, const char* path) {
        Recorder* self = static_cast<Recorder*>(context);
        self->events.push_back(std::string("dir ") + path);
        return self->directoryResult;
    }
    // A file the installation recorded is its own when a later member names it again.
    static int File(void* context, const char* path, int keep) {
        Recorder* self = static_cast<Recorder*>(context);
        self->events.push_back(std::string(keep ? "keep " : "file ") + path);
        if (!keep) self->own.insert(path);
        return 0;
    }
    static int Existing(void* context, const char* path) {
        Recorder* self = static_cast<Recorder*>(context);
        self->events.push_back(std::string("existing ") + path);
        return self->own.count(path) ? 1 : 0;
    }
    static ExtractCallbacks All() { return ExtractCallbacks{Range, Step, Directory, File, Existing}; }
};

inline int ExtractWith(Decompression decompression, const std::vector<uint8_t>& archive, FakeTarget& target,
                       Recorder& recorder, const char* destination, ExtractCallbacks callbacks,
                       uint32_t bufferSize = kTransferBufferSize) {
    MemoryArchiveSource source(archive.data(), static_cast<uint32_t>(archive.size()));
    std::vector<uint8_t> buffer(bufferSize);
    return ExtractFromSource(source, target, destination, callbacks, &recorder, buffer.data(), decompression,
                             bufferSize);
}

// Extracts into `target` and `recorder` decompressing on the calling thread
// and writing chunk by chunk, and again into copies of them decompressing
// ahead on a thread of its own and writing whole blocks, as setup.exe does:
// putting off the writes of whole members: every case checks that both ways
// end exactly alike. Injected write failures count writes, so there both ways
// write chunk by chunk, and at once.
inline int Extract(const std::vector<uint8_t>& archive, FakeTarget& target, Recorder& recorder,
                   const char* destination = "D", ExtractCallbacks callbacks = Recorder::All()) {
    const bool failing = target.failWrites || target.writesBeforeFailure >= 0;
    const uint32_t aheadBuffer = failing ? kTransferBufferSize : kWriteBlockSize;
    FakeTarget aheadTarget = target;
    aheadTarget.deferWhole = !failing;
    Recorder aheadRecorder = recorder;
    int result = ExtractWith(Decompression::OnCallingThread, archive, target, recorder, destination, callbacks);
    int aheadResult = ExtractWith(Decompression::AheadOnOwnThread, archive, aheadTarget, aheadRecorder, destination,
                                  callbacks, aheadBuffer);
    EXPECT_EQ(result, aheadResult);
    EXPECT_EQ(target.files, aheadTarget.files);
    EXPECT_EQ(target.closes, aheadTarget.closes);
    EXPECT_EQ(target.plans, aheadTarget.plans);
    EXPECT_TRUE(aheadTarget.held.empty()) << "writes left undone";
    EXPECT_EQ(recorder.events, aheadRecorder.events);
    EXPECT_EQ(recorder.steps, aheadRecorder.steps);
    return result;
}

}  // namespace archive_test
