#include <gtest/gtest.h>

#include "archive/ArchiveStream.h"
#include "pure/archive/ArchiveTestSupport.h"
#include "pure/FakeExtractTarget.h"

using namespace archive_test;

namespace {

using Files = std::map<std::string, std::string>;

const std::vector<Member> kThreeMembers = {
    {"readme.txt", "hello"}, {"sub\\big.bin", Noise(70000, 1)}, {"empty.dat", ""}};

Files ExpectedThree() {
    return {{"D\\readme.txt", "hello"}, {"D\\sub\\big.bin", Noise(70000, 1)}, {"D\\empty.dat", ""}};
}

TEST(ArchiveReader, ExtractsEveryMemberWithRangeDirectoriesAndFilesInOrder) {
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(Extract(MakeArchive(kThreeMembers), target, recorder), ExtractOk);
    EXPECT_EQ(target.files, ExpectedThree());
    // 70005 bytes: 2 whole 32 KB units + 3 members; big.bin makes 3 chunks, readme 1, empty none.
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"range 5", "file D\\readme.txt", "dir D\\sub",
                                                         "file D\\sub\\big.bin", "file D\\empty.dat"}));
    EXPECT_EQ(recorder.steps, 4);
}

TEST(ArchiveReader, AppendedArchiveIsFoundThroughItsHeaderOffset) {
    Bytes host(5000, 'M');
    host[0] = 'M';
    host[1] = 'Z';
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(Extract(MakeArchive(kThreeMembers, PayloadGzip, host), target, recorder), ExtractOk);
    EXPECT_EQ(target.files, ExpectedThree());
}

TEST(ArchiveReader, ChunkBoundariesMakeOneStepPerStartedChunk) {
    struct Case {
        size_t size;
        int steps;
    } cases[] = {{0, 0}, {1, 1}, {32767, 1}, {32768, 1}, {32769, 2}, {65536, 2}, {65537, 3}};
    for (const Case& c : cases) {
        FakeTarget target;
        Recorder recorder;
        std::string data = Noise(c.size, 7);
        ASSERT_EQ(Extract(MakeArchive({{"m.bin", data}}), target, recorder), ExtractOk) << c.size;
        EXPECT_EQ(recorder.steps, c.steps) << c.size;
        EXPECT_EQ(target.files["D\\m.bin"], data) << c.size;
        EXPECT_LE(static_cast<uint32_t>(c.steps), ProgressRangeFor(1, static_cast<uint32_t>(c.size)));
    }
}

TEST(ArchiveReader, NoMembersAnnouncesRangeOfDataUnitsOnlyAndWritesNothing) {
    FakeTarget target;
    Recorder recorder;
    Bytes archive = MakeRawArchive(Bytes(), 0, 3 * 32768 + 100);
    ASSERT_EQ(Extract(archive, target, recorder), ExtractOk);
    EXPECT_EQ(recorder.events, std::vector<std::string>{"range 3"});
    EXPECT_TRUE(target.files.empty());
}

TEST(ArchiveReader, FilesTooShortForTheTrailerOrHeaderFailBeforeAnyCallback) {
    Bytes good = MakeArchive(kThreeMembers);
    std::vector<Bytes> broken = {Bytes(), Bytes(1, 0), Bytes(3, 0)};
    Bytes pastEnd = good;
    WriteLe32(pastEnd.data() + pastEnd.size() - 4, static_cast<uint32_t>(pastEnd.size()));
    broken.push_back(pastEnd);
    Bytes negative = good;
    WriteLe32(negative.data() + negative.size() - 4, 0x80000000u);
    broken.push_back(negative);
    Bytes headerCut(good.begin(), good.begin() + 13);  // the file ends inside the counts
    headerCut.insert(headerCut.end(), {0, 0, 0, 0});
    broken.push_back(headerCut);
    for (size_t i = 0; i < broken.size(); ++i) {
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(broken[i], target, recorder), ExtractReadError) << i;
        EXPECT_TRUE(recorder.events.empty()) << i;
    }
}

TEST(ArchiveReader, EverySignatureByteIncludingTheFinalZeroIsChecked) {
    Bytes good = MakeArchive(kThreeMembers);
    for (size_t i = 0; i < kArchiveSignatureSize; ++i) {
        Bytes bad = good;
        bad[i] ^= 0x20;
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(bad, target, recorder), ExtractReadError) << i;
        EXPECT_TRUE(recorder.events.empty()) << i;
    }
}

TEST(ArchiveReader, NameLength260IsAcceptedAnd261Refused) {
    std::string name260 = "$NoCreate\\" + std::string(250, 'n');
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(Extract(MakeArchive({{name260, "x"}}), target, recorder), ExtractOk);
    EXPECT_EQ(recorder.events.back(), "file D\\" + std::string(250, 'n'));

    FakeTarget target2;
    Recorder recorder2;
    EXPECT_EQ(Extract(MakeArchive({{"first", "1"}, {name260 + "n", "x"}}), target2, recorder2), ExtractReadError);
    EXPECT_EQ(recorder2.events, (std::vector<std::string>{"range 2", "file D\\first"}));
}

TEST(ArchiveReader, PayloadEndingInsideTheLastMemberIsAReadError) {
    Bytes good = MakeArchive({{"a.txt", "alpha"}, {"b.bin", Noise(50000, 3)}});
    size_t payload = PayloadSize(good);
    for (size_t keep : {payload - 8, payload - 9, payload / 2, size_t(12), size_t(0)}) {
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(TruncatePayload(good, keep), target, recorder), ExtractReadError) << keep;
    }
}

// The output is given its full length before the data arrives; a member cut
// short must not be left at that length, padded with zeros, looking whole.
TEST(ArchiveReader, MemberCutShortKeepsOnlyTheChunksReadWhole) {
    std::string big = Noise(300000, 4);  // ten chunks: more than one write block, so planned
    Bytes good = MakeArchive({{"a.txt", "alpha"}, {"b.bin", big}});
    size_t payload = PayloadSize(good);
    for (size_t keep : {payload - 8 - 1000, payload / 2, size_t(40000)}) {
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(TruncatePayload(good, keep), target, recorder), ExtractReadError) << keep;
        EXPECT_EQ(target.files["D\\a.txt"], "alpha");
        const std::string& cut = target.files["D\\b.bin"];
        EXPECT_EQ(cut.size() % kTransferBufferSize, 0u) << keep;
        EXPECT_LT(cut.size(), big.size()) << keep;
        EXPECT_TRUE(cut == big.substr(0, cut.size())) << keep;
        EXPECT_EQ(recorder.steps, 1 + static_cast<int>(cut.size() / kTransferBufferSize)) << keep;
        EXPECT_EQ(target.plans, 1);  // b.bin only: a.txt takes one write
    }
}

TEST(ArchiveReader, FailedWriteLeavesWhatWasWrittenAndCountsNoStepForIt) {
    std::string big = Noise(kWriteBlockSize + 70000, 5);
    for (int before : {0, 1, 3}) {
        FakeTarget target;
        target.writesBeforeFailure = before;
        Recorder recorder;
        EXPECT_EQ(Extract(MakeArchive({{"b.bin", big}}), target, recorder), ExtractWriteError) << before;
        // Whole chunks, then half of the failed one.
        size_t kept = before * kTransferBufferSize + kTransferBufferSize / 2;
        EXPECT_TRUE(target.files["D\\b.bin"] == big.substr(0, kept)) << before;
        EXPECT_EQ(recorder.steps, before) << before;
    }
    // Written in blocks as setup.exe writes: the block's chunks are not counted either.
    FakeTarget target;
    target.writesBeforeFailure = 0;
    Recorder recorder;
    EXPECT_EQ(ExtractWith(Decompression::AheadOnOwnThread, MakeArchive({{"b.bin", big}}), target, recorder, "D",
                          Recorder::All(), kWriteBlockSize),
              ExtractWriteError);
    EXPECT_TRUE(target.files["D\\b.bin"] == big.substr(0, kWriteBlockSize / 2));
    EXPECT_EQ(recorder.steps, 0);
}

// A write put off fails: nothing more is made once the loop knows it, and
// that failure is the one reported, before any fault met after it.
TEST(ArchiveReader, LaterWriteFailureStopsTheLoopAndIsReportedBeforeLaterFaults) {
    const std::vector<Member> four = {{"a.txt", "alpha"}, {"b.txt", "beta"}, {"c.txt", "gamma"}, {"d.txt", "delta"}};
    Bytes good = MakeArchive(four);
    Bytes badCrc = good;
    badCrc[CrcPosition(good)] ^= 1;
    // b.txt's header read, its data cut short.
    Bytes cutInB = TruncatePayload(MakeArchive({{"a.txt", "alpha"}, {"b.bin", Noise(9000, 3)}}), 8000);
    struct Case {
        const char* what;
        const Bytes* archive;
        int failingWrite;  // which held write fails, from 0
        const char* failingCreate;
        std::vector<std::string> events;
        Files files;
    } cases[] = {
        // a's write fails while b is made; c is never begun.
        {"first write", &good, 0, nullptr, {"range 4", "file D\\a.txt", "file D\\b.txt"},
         {{"D\\a.txt", "al"}, {"D\\b.txt", "beta"}}},
        {"last write before a bad trailer", &badCrc, 3, nullptr,
         {"range 4", "file D\\a.txt", "file D\\b.txt", "file D\\c.txt", "file D\\d.txt"},
         {{"D\\a.txt", "alpha"}, {"D\\b.txt", "beta"}, {"D\\c.txt", "gamma"}, {"D\\d.txt", "de"}}},
        {"before a damaged member", &cutInB, 0, nullptr, {"range 2", "file D\\a.txt", "file D\\b.bin"},
         {{"D\\a.txt", "al"}, {"D\\b.bin", ""}}},
        {"before a failed creation", &good, 0, "D\\b.txt", {"range 4", "file D\\a.txt", "file D\\b.txt"},
         {{"D\\a.txt", "al"}}},
    };
    for (const Case& c : cases) {
        FakeTarget target;
        target.deferWhole = true;
        target.heldWritesBeforeFailure = c.failingWrite;
        if (c.failingCreate) target.failures[c.failingCreate] = ExtractCreateError;
        Recorder recorder;
        EXPECT_EQ(ExtractWith(Decompression::AheadOnOwnThread, *c.archive, target, recorder, "D", Recorder::All(),
                              kWriteBlockSize),
                  ExtractWriteError)
            << c.what;
        EXPECT_EQ(recorder.events, c.events) << c.what;
        EXPECT_EQ(target.files, c.files) << c.what;
        EXPECT_TRUE(target.held.empty()) << c.what;
    }
}

TEST(ArchiveReader, LargeMembersAreWrittenInWholeBlocksAndSmallOnesInOneWrite) {
    std::string big = Noise(3 * kWriteBlockSize + 5, 6);
    Bytes archive = MakeArchive({{"big.bin", big}, {"small.txt", "s"}, {"empty.txt", ""}});
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(ExtractWith(Decompression::AheadOnOwnThread, archive, target, recorder, "D", Recorder::All(),
                          kWriteBlockSize),
              ExtractOk);
    EXPECT_TRUE(target.files["D\\big.bin"] == big);
    EXPECT_EQ(target.writes, 4 + 1);
    EXPECT_EQ(target.plans, 1);  // only the file of several writes
    EXPECT_EQ(recorder.steps, 3 * 8 + 1 + 1);
}

TEST(ArchiveReader, TrailerFaultsFailTheExtractionEvenAfterTheLastMember) {
    Bytes good = MakeArchive(kThreeMembers);
    Bytes badCrc = good, badSize = good;
    badCrc[CrcPosition(good)] ^= 1;
    badSize[IsizePosition(good)] ^= 1;
    Bytes noTrailer = TruncatePayload(good, PayloadSize(good) - 8);
    for (const Bytes* archive : {&badCrc, &badSize, &noTrailer}) {
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(*archive, target, recorder), ExtractReadError);
        EXPECT_EQ(target.files, ExpectedThree());  // written before the fault could be known
    }
}

TEST(ArchiveReader, MoreMembersAnnouncedThanThePayloadHoldsIsAReadError) {
    Bytes records = Record("a", "1");
    FakeTarget target;
    Recorder recorder;
    EXPECT_EQ(Extract(MakeRawArchive(records, 2, 2), target, recorder), ExtractReadError);
    EXPECT_EQ(target.files["D\\a"], "1");
}

TEST(ArchiveReader, CorruptDeflateDataIsAReadError) {
    Bytes good = MakeArchive({{"b.txt", std::string(5000, 'b')}});
    Bytes bad = good;
    bad[PayloadStart(good) + 10] = 0xFF;  // first byte of the deflate data: reserved block type 3
    FakeTarget target;
    Recorder recorder;
    EXPECT_EQ(Extract(bad, target, recorder), ExtractReadError);
}

TEST(ArchiveReader, StoredPayloadIsExtractedVerbatim) {
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(Extract(MakeArchive(kThreeMembers, PayloadStored), target, recorder), ExtractOk);
    EXPECT_EQ(target.files, ExpectedThree());
}

// Like the setup's buffered file, which stops each read at the end of its
// 64 KB buffer: a short read is not the end of the file.
class ShortReadSource : public MemoryArchiveSource {
public:
    ShortReadSource(const Bytes& bytes, uint32_t most)
        : MemoryArchiveSource(bytes.data(), static_cast<uint32_t>(bytes.size())), most_(most) {}
    uint32_t Read(void* buffer, uint32_t count) override {
        return MemoryArchiveSource::Read(buffer, count < most_ ? count : most_);
    }

private:
    uint32_t most_;
};

TEST(ArchiveReader, ShortReadsOfTheSourceAreNotTheEndOfTheFile) {
    for (ArchivePayloadKind kind : {PayloadStored, PayloadGzip}) {
        Bytes archive = MakeArchive(kThreeMembers, kind);
        for (Decompression decompression : {Decompression::OnCallingThread, Decompression::AheadOnOwnThread}) {
            ShortReadSource source(archive, 1000);
            FakeTarget target;
            Recorder recorder;
            std::vector<uint8_t> buffer(kTransferBufferSize);
            EXPECT_EQ(ExtractFromSource(source, target, "D", Recorder::All(), &recorder, buffer.data(), decompression),
                      ExtractOk)
                << kind << " " << static_cast<int>(decompression);
            EXPECT_EQ(target.files, ExpectedThree()) << kind << " " << static_cast<int>(decompression);
        }
    }
}

TEST(ArchiveReader, StoredPayloadStartingWithTheFirstGzipByteKeepsBothBytes) {
    // nameLength 31 begins with 0x1F, followed by 0x00 instead of 0x8B.
    std::string name(31, 'q');
    FakeTarget target;
    Recorder recorder;
    ASSERT_EQ(Extract(MakeArchive({{name, "data"}}, PayloadStored), target, recorder), ExtractOk);
    EXPECT_EQ(target.files["D\\" + name], "data");
}

TEST(ArchiveReader, OptionalGzipHeaderFieldsAreSkippedInTheirOrder) {
    Bytes good = MakeArchive(kThreeMembers);
    // Each field holds bytes that would derail a parser that skipped them in another order.
    Bytes extra = {3, 0, 0, 'x', 0};
    Bytes fname = {'n', 'a', 'm', 'e', 0};
    Bytes comment = {'c', 0};
    Bytes hcrc = {0x12, 0x34};
    struct Case {
        uint8_t flags;
        Bytes fields;
    } cases[] = {
        {kGzipFlagExtra, extra},
        {kGzipFlagName, fname},
        {kGzipFlagComment, comment},
        {kGzipFlagHeaderCrc, hcrc},
        {kGzipFlagText, {}},
        {kGzipFlagExtra | kGzipFlagName | kGzipFlagComment | kGzipFlagHeaderCrc, {}},
    };
    cases[5].fields = extra;
    for (const Bytes* part : {&fname, &comment, &hcrc}) cases[5].fields.insert(cases[5].fields.end(), part->begin(), part->end());
    for (const Case& c : cases) {
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(WithGzipFields(good, c.flags, c.fields), target, recorder), ExtractOk) << int(c.flags);
        EXPECT_EQ(target.files, ExpectedThree()) << int(c.flags);
    }
}

TEST(ArchiveReader, ReservedFlagsWrongMethodOrACutHeaderFailEveryMember) {
    Bytes good = MakeArchive(kThreeMembers);
    std::vector<Bytes> bad;
    for (uint8_t reserved : {0x20, 0x40, 0x80}) bad.push_back(WithGzipFields(good, reserved, {}));
    Bytes method = good;
    method[PayloadStart(good) + 2] = 7;
    bad.push_back(method);
    bad.push_back(TruncatePayload(good, 6));  // inside the fixed header
    bad.push_back(TruncatePayload(WithGzipFields(good, kGzipFlagName, {'n', 'o', 'e', 'n', 'd'}), 15));
    for (size_t i = 0; i < bad.size(); ++i) {
        FakeTarget target;
        Recorder recorder;
        EXPECT_EQ(Extract(bad[i], target, recorder), ExtractReadError) << i;
        EXPECT_TRUE(target.files.empty()) << i;
    }
}

TEST(ArchiveReader, EmptyPayloadReadsAsNoData) {
    Bytes archive = MakeRawArchive(Bytes(), 0, 0, PayloadStored);
    FakeTarget target;
    Recorder recorder;
    EXPECT_EQ(Extract(archive, target, recorder), ExtractOk);
    Bytes claimsOne = MakeRawArchive(Bytes(), 1, 0, PayloadStored);
    EXPECT_EQ(Extract(claimsOne, target, recorder), ExtractReadError);
}

TEST(ArchiveStream, ReadAfterEndReturnsZeroAndAfterCorruptionMinusOne) {
    Bytes good = MakeArchive({{"a", "abc"}});
    MemoryArchiveSource source(good.data(), static_cast<uint32_t>(good.size()));
    source.Seek(static_cast<int32_t>(PayloadStart(good)));
    ArchiveStream stream;
    ASSERT_EQ(stream.Open(&source), 0);
    uint8_t buffer[64];
    EXPECT_EQ(stream.Read(buffer, 0), 0);
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 1 + 4 + 4 + 3);
    EXPECT_EQ(stream.Status(), StreamEnd);
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
    EXPECT_EQ(stream.Close(), Z_OK);

    Bytes bad = good;
    bad[CrcPosition(good)] ^= 1;
    MemoryArchiveSource badSource(bad.data(), static_cast<uint32_t>(bad.size()));
    badSource.Seek(static_cast<int32_t>(PayloadStart(bad)));
    ArchiveStream badStream;
    ASSERT_EQ(badStream.Open(&badSource), 0);
    EXPECT_EQ(badStream.Read(buffer, sizeof buffer), 12);  // the bytes arrive, the status turns
    EXPECT_EQ(badStream.Read(buffer, sizeof buffer), -1);
    EXPECT_NE(badStream.Close(), Z_OK);
}

}  // namespace
