// Throughput of the archive reader (decompress and walk every member, nothing
// written) against plain zlib inflate of the same deflate data, and the
// reader's peak memory and CRC-32 speed.
//   archive_bench generate OUT.vsa MEGABYTES
//   archive_bench compare ARCHIVE [ROUNDS]   (inflate and reader, best of ROUNDS)
//   archive_bench reader ARCHIVE             (reader only, then peak memory)
//   archive_bench crc                        (our CRC-32 against zlib's)
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "install/ArchiveExtraction.h"
#include "archive/ArchiveHeader.h"
#include "archive/ArchiveWriter.h"
#include "archive/Crc32.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

#include "archive/Win32ArchiveSource.h"
typedef Win32ArchiveSource BenchSource;
#else
#include <sys/resource.h>

#include "archive/FileArchiveSource.h"
typedef FileArchiveSource BenchSource;
#endif

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double PeakMemoryMB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / 1048576.0;
#else
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
#endif
}

struct Lcg {
    uint32_t state;
    uint32_t Next() { return state = state * 1664525u + 1013904223u; }
};

void FillText(std::vector<char>& data, Lcg& rng) {
    static const char* words[] = {"the ", "player ", "room ", "north ", "lamp ", "take ", "door ", "brass ",
                                  "you ", "cannot ", "see ", "any ", "such ", "thing.\n", "score ", "inventory "};
    size_t at = 0;
    while (at < data.size()) {
        const char* word = words[(rng.Next() >> 16) % 16];
        for (; *word && at < data.size(); ++word) data[at++] = *word;
    }
}

void FillNoise(std::vector<char>& data, Lcg& rng) {
    for (char& c : data) c = static_cast<char>(rng.Next() >> 24);
}

// Half text, half incompressible; many small members and a few large ones.
int Generate(const char* output, uint64_t megabytes) {
    std::FILE* file = std::fopen(output, "wb");
    if (!file) return 1;
    FileSink sink(file);
    ArchiveWriter writer(sink);
    Lcg rng{12345};
    uint64_t target = megabytes << 20, written = 0;
    bool ok = writer.Begin();
    std::vector<char> data;
    for (uint32_t index = 0; ok && written < target; ++index) {
        bool large = index % 400 == 399;
        size_t size = large ? (24u << 20) : 1024 + (rng.Next() >> 8) % (48u << 10);
        if (size > target - written) size = static_cast<size_t>(target - written);
        data.resize(size);
        if ((large ? index / 400 : index) % 2) {
            FillNoise(data, rng);
        } else {
            FillText(data, rng);
        }
        std::string name = "dir" + std::to_string(index % 37) + "\\file" + std::to_string(index) + ".dat";
        ok = writer.AddMember(name.c_str(), data.data(), static_cast<uint32_t>(size));
        written += size;
    }
    ok = ok && writer.Finish();
    std::fclose(file);
    if (!ok) std::fprintf(stderr, "generate: %s\n", writer.Error().c_str());
    else std::printf("%s: %u members, %u bytes of data\n", output, writer.MemberCount(), writer.TotalDataSize());
    return ok ? 0 : 1;
}

class NullTarget : public ExtractTarget {
public:
    bool FileExists(const char*) override { return false; }
    int CreateOutput(const char*) override { return ExtractOk; }
    bool WriteOutput(const void*, uint32_t length) override {
        bytes += length;
        return true;
    }
    void CloseOutput() override {}
    int GetDocumentsFolder(char* buffer) override {
        std::strcpy(buffer, "C:\\Docs");
        return ExtractOk;
    }
    uint64_t bytes = 0;
};

int OnDirectory(void*, const char*) { return 0; }

// The reader: 4 KB reads, 32 KB chunks, CRC-32, placement; decompressing on
// the walking thread, or ahead on a thread of its own as setup.exe does.
bool RunReader(const char* archive, uint64_t* bytes, Decompression decompression) {
    BenchSource source;
    if (!source.Open(archive)) return false;
    NullTarget target;
    ExtractCallbacks callbacks = {nullptr, nullptr, OnDirectory, nullptr, nullptr};
    std::vector<uint8_t> buffer(kTransferBufferSize);
    int result = ExtractFromSource(source, target, "C:\\Bench", callbacks, nullptr, buffer.data(), decompression);
    *bytes = target.bytes;
    return result == ExtractOk;
}

bool RunReaderOnOneThread(const char* archive, uint64_t* bytes) {
    return RunReader(archive, bytes, Decompression::OnCallingThread);
}

bool RunReaderAsSetup(const char* archive, uint64_t* bytes) {
    return RunReader(archive, bytes, Decompression::AheadOnOwnThread);
}

// Plain inflate of the same deflate data: 1 MB reads, 32 KB output, no CRC.
bool RunInflate(const char* archive, uint64_t* bytes) {
    BenchSource source;
    ArchiveHeader header;
    if (!source.Open(archive) || ReadArchiveHeader(source, &header) != 0) return false;
    uint8_t gzipHeader[10];
    if (source.Read(gzipHeader, 10) != 10 || gzipHeader[3] != 0) return false;  // the packer writes no extras
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    std::vector<uint8_t> input(1 << 20), output(kTransferBufferSize);
    int result = Z_OK;
    *bytes = 0;
    while (result == Z_OK) {
        if (stream.avail_in == 0) {
            stream.avail_in = source.Read(input.data(), static_cast<uint32_t>(input.size()));
            stream.next_in = input.data();
            if (stream.avail_in == 0) break;
        }
        stream.next_out = output.data();
        stream.avail_out = static_cast<uInt>(output.size());
        result = inflate(&stream, Z_NO_FLUSH);
        *bytes += output.size() - stream.avail_out;
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END;
}

typedef bool (*Runner)(const char*, uint64_t*);

double Best(Runner run, const char* archive, int rounds, uint64_t* bytes) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!run(archive, bytes)) {
            std::fprintf(stderr, "run failed\n");
            std::exit(1);
        }
        double took = Seconds(start);
        if (took < best) best = took;
    }
    return best;
}

int Compare(const char* archive, int rounds) {
    uint64_t inflated = 0, walked = 0;
    Best(RunInflate, archive, 1, &inflated);  // warm the file cache
    // Alternating rounds, so that load from other programs hits all alike.
    const Runner readers[] = {RunReaderOnOneThread, RunReaderAsSetup};
    const char* names[] = {"reader, one thread:       ", "reader, decompressing ahead:"};
    double inflate = 1e30, reader[2] = {1e30, 1e30};
    for (int i = 0; i < rounds; ++i) {
        double took = Best(RunInflate, archive, 1, &inflated);
        if (took < inflate) inflate = took;
        for (int r = 0; r < 2; ++r) {
            took = Best(readers[r], archive, 1, &walked);
            if (took < reader[r]) reader[r] = took;
        }
    }
    std::printf("CRC-32 by %s\n", Crc32Method());
    std::printf("raw inflate:                 %.3f s, %.1f MB/s (%llu payload bytes)\n", inflate,
                inflated / inflate / 1048576.0, static_cast<unsigned long long>(inflated));
    for (int r = 0; r < 2; ++r) {
        std::printf("%s %.3f s, %.1f MB/s (%llu member bytes), %.1f%% of raw inflate's throughput\n", names[r],
                    reader[r], walked / reader[r] / 1048576.0, static_cast<unsigned long long>(walked),
                    100.0 * inflate / reader[r]);
    }
    return 0;
}

// CRC-32 of one 32 KB buffer over and over (as the reader checks its blocks),
// ours against zlib's crc32.
int CrcSpeed() {
    std::vector<uint8_t> data(kTransferBufferSize);
    Lcg rng{7};
    for (uint8_t& byte : data) byte = static_cast<uint8_t>(rng.Next() >> 24);
    const int rounds = 20000;
    uint32_t ours = 0;
    uLong zlib = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) ours = UpdateCrc32(ours, data.data(), data.size());
    double oursSeconds = Seconds(start);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) zlib = crc32(zlib, data.data(), static_cast<uInt>(data.size()));
    double zlibSeconds = Seconds(start);
    double bytes = static_cast<double>(rounds) * data.size();
    std::printf("CRC-32 by %s: %.1f GB/s; zlib's crc32: %.1f GB/s; %s\n", Crc32Method(), bytes / oursSeconds / 1e9,
                bytes / zlibSeconds / 1e9, ours == zlib ? "same result" : "RESULTS DIFFER");
    return ours == zlib ? 0 : 1;
}

int ReaderOnly(const char* archive) {
    uint64_t walked = 0;
    double took = Best(RunReaderAsSetup, archive, 1, &walked);
    std::printf("reader: %.3f s, %llu member bytes, peak memory %.1f MB\n", took,
                static_cast<unsigned long long>(walked), PeakMemoryMB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && !std::strcmp(argv[1], "generate")) return Generate(argv[2], std::strtoull(argv[3], nullptr, 10));
    if ((argc == 3 || argc == 4) && !std::strcmp(argv[1], "compare"))
        return Compare(argv[2], argc == 4 ? std::atoi(argv[3]) : 3);
    if (argc == 3 && !std::strcmp(argv[1], "reader")) return ReaderOnly(argv[2]);
    if (argc == 2 && !std::strcmp(argv[1], "crc")) return CrcSpeed();
    std::fputs("usage: archive_bench generate OUT.vsa MEGABYTES | compare ARCHIVE [ROUNDS] | reader ARCHIVE | crc\n", stderr);
    return 2;
}
