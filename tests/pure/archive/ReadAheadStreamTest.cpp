#include <gtest/gtest.h>

#include "archive/ReadAheadStream.h"
#include "pure/archive/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

// One stream over an archive's payload, positioned as the member loop finds it.
class OpenPayload {
public:
    explicit OpenPayload(const Bytes& archive) : source_(archive.data(), static_cast<uint32_t>(archive.size())) {
        source_.Seek(static_cast<int32_t>(PayloadStart(archive)));
        opened_ = stream.Open(&source_) == 0;
    }
    bool opened_;
    ArchiveStream stream;

private:
    MemoryArchiveSource source_;
};

// Every read's return value and the bytes delivered, with reads of the given
// sizes in turn until two reads in a row deliver nothing.
std::vector<std::string> ReadAll(PayloadReader& reader, const std::vector<uint32_t>& sizes) {
    std::vector<std::string> reads;
    std::vector<uint8_t> buffer(70000);
    int idle = 0;
    for (size_t i = 0; idle < 2 && i < 100000; ++i) {
        uint32_t size = sizes[i % sizes.size()];
        int32_t got = reader.Read(buffer.data(), size);
        std::string read = std::to_string(got) + ":";
        if (got > 0) read.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(got));
        reads.push_back(read);
        idle = got > 0 || size == 0 ? 0 : idle + 1;
    }
    return reads;
}

const std::vector<uint32_t> kOddSizes = {4, 0, 7, 1, 33000, 13, 4096, 65536, 250};

void ExpectSameReads(const Bytes& archive, uint32_t blockSize, uint32_t blockCount) {
    OpenPayload direct(archive), ahead(archive);
    ASSERT_TRUE(direct.opened_ && ahead.opened_);
    ReadAheadStream readAhead(ahead.stream, blockSize, blockCount);
    ASSERT_TRUE(readAhead.Threaded());
    EXPECT_EQ(ReadAll(direct.stream, kOddSizes), ReadAll(readAhead, kOddSizes));
}

Bytes LargeArchive() {
    return MakeArchive({{"a.txt", std::string(90000, 'a')}, {"noise.bin", Noise(200000, 5)}, {"e", ""}});
}

TEST(ReadAheadStream, DeliversTheSameReadsAsTheStreamWhateverTheBlocks) {
    ExpectSameReads(MakeArchive({{"one byte blocks", Noise(3000, 2)}}), 1, 1);
    Bytes archive = LargeArchive();
    ExpectSameReads(archive, 100, 3);
    ExpectSameReads(archive, 4096, 2);
    ExpectSameReads(archive, ReadAheadStream::kDefaultBlockSize, ReadAheadStream::kDefaultBlockCount);
    ExpectSameReads(MakeArchive({{"s.txt", "stored"}}, PayloadStored), 100, 3);
}

// Without blocks, as when their memory cannot be had, it reads the stream
// directly on the calling thread: slower, the same bytes.
TEST(ReadAheadStream, WithoutBlocksReadsTheStreamDirectly) {
    Bytes archive = LargeArchive();
    OpenPayload direct(archive), fallback(archive);
    ASSERT_TRUE(direct.opened_ && fallback.opened_);
    ReadAheadStream readAhead(fallback.stream, 4096, 0);
    EXPECT_FALSE(readAhead.Threaded());
    EXPECT_EQ(ReadAll(direct.stream, kOddSizes), ReadAll(readAhead, kOddSizes));
    EXPECT_TRUE(readAhead.VerifyToEnd());
}

// Partial read, then -1 for ever: as the stream itself reports a fault.
TEST(ReadAheadStream, EndsInTheSameWayOnDamagedPayloads) {
    Bytes good = LargeArchive();
    Bytes badCrc = good, badData = good;
    badCrc[CrcPosition(good)] ^= 1;
    badData[PayloadStart(good) + PayloadSize(good) / 2] ^= 0x55;
    for (const Bytes& archive : {badCrc, badData, TruncatePayload(good, PayloadSize(good) / 3)}) {
        ExpectSameReads(archive, 1000, 4);
        ExpectSameReads(archive, ReadAheadStream::kDefaultBlockSize, 2);
    }
}

TEST(ReadAheadStream, VerifiesTheTrailerAfterTheLastRecord) {
    Bytes good = LargeArchive();
    Bytes badSize = good;
    badSize[IsizePosition(good)] ^= 1;
    for (const Bytes* archive : {&good, &badSize}) {
        OpenPayload payload(*archive);
        ReadAheadStream readAhead(payload.stream, 512, 3);
        uint8_t first[20];
        ASSERT_TRUE(readAhead.ReadExact(first, sizeof first));
        EXPECT_EQ(readAhead.VerifyToEnd(), archive == &good);
    }
}

// The member loop stops at the first failure; the thread must stop with it,
// also while it waits for room with every block full.
TEST(ReadAheadStream, StopsWhenTheReaderGivesUpEarly) {
    Bytes archive = LargeArchive();
    for (int round = 0; round < 50; ++round) {
        OpenPayload payload(archive);
        ReadAheadStream readAhead(payload.stream, 64, 2);
        uint8_t some[10];
        if (round % 2) {
            EXPECT_TRUE(readAhead.ReadExact(some, sizeof some));
        }
    }
}

}  // namespace
