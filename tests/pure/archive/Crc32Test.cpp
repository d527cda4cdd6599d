#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/Crc32.h"

namespace {

// VSETUP_CRC32_PATH=table|clmul128|clmul256 runs the program with that path
// forced (CTest runs the CRC-32 users once per path); one this processor
// cannot run ends the program with kSkipped, which CTest reports as skipped.
constexpr int kSkipped = 77;
class ForcedCrc32Path : public ::testing::Environment {
public:
    void SetUp() override {
        const char* name = std::getenv("VSETUP_CRC32_PATH");
        if (!name || !*name) return;
        const struct { const char* name; Crc32Path path; } paths[] = {
            {"table", Crc32Path::Table}, {"clmul128", Crc32Path::Clmul128}, {"clmul256", Crc32Path::Clmul256}};
        for (const auto& known : paths) {
            if (std::strcmp(name, known.name) != 0) continue;
            if (!ForceCrc32Path(known.path)) {
                // GTEST_SKIP here would report every test as passed.
                std::printf("CRC-32 path %s: this processor cannot run it; skipped\n", name);
                std::fflush(stdout);
                std::exit(kSkipped);
            }
            std::printf("CRC-32 path %s forced: %s\n", name, Crc32Method());
            return;
        }
        FAIL() << "unknown VSETUP_CRC32_PATH " << name;
    }
};
::testing::Environment* const kForcedCrc32Path = ::testing::AddGlobalTestEnvironment(new ForcedCrc32Path);

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    return bytes;
}

uint32_t ZlibCrc(uint32_t crc, const uint8_t* data, size_t length) {
    return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(length)));
}

TEST(Crc32, KnownValues) {
    const char* check = "123456789";
    EXPECT_EQ(0xCBF43926u, UpdateCrc32(0, reinterpret_cast<const uint8_t*>(check), 9));
    EXPECT_EQ(0u, UpdateCrc32(0, nullptr, 0));
    std::vector<uint8_t> zeros(4096, 0);
    EXPECT_EQ(ZlibCrc(0, zeros.data(), zeros.size()), UpdateCrc32(0, zeros.data(), zeros.size()));
}

// Every length around the folding thresholds, from every alignment, and with
// a running CRC carried in: the folded path must agree with zlib bit for bit.
TEST(Crc32, AgreesWithZlibForEveryLengthAndAlignment) {
    std::vector<uint8_t> data = Noise(1024 + 16, 7);
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length = 0; length <= 1024; length += (length < 200 ? 1 : 13)) {
            const uint8_t* start = data.data() + offset;
            uint32_t seed = static_cast<uint32_t>(length * 2654435761u);
            ASSERT_EQ(ZlibCrc(seed, start, length), UpdateCrc32(seed, start, length))
                << "offset " << offset << ", length " << length;
        }
    }
}

TEST(Crc32, ChainsAcrossUnevenPieces) {
    std::vector<uint8_t> data = Noise(3u << 20, 99);
    uint32_t whole = ZlibCrc(0, data.data(), data.size());
    const size_t pieces[] = {1, 63, 64, 65, 4096, 32768, 17, 200000, 15, 16, 1 << 20};
    uint32_t crc = 0;
    size_t at = 0;
    for (size_t i = 0; at < data.size(); ++i) {
        size_t take = pieces[i % (sizeof pieces / sizeof pieces[0])];
        if (take > data.size() - at) take = data.size() - at;
        crc = UpdateCrc32(crc, data.data() + at, take);
        at += take;
    }
    EXPECT_EQ(whole, crc);
}

}  // namespace
