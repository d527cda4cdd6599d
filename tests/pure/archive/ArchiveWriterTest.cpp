#include <gtest/gtest.h>

#include "archive/ArchiveHeader.h"
#include "pure/archive/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

TEST(ArchiveWriter, OutputIsDeterministicAndCarriesCountsCrcAndSize) {
    std::vector<Member> members = {{"a.txt", "alpha"}, {"dir\\b.bin", Noise(40000, 5)}};
    Bytes first = MakeArchive(members), second = MakeArchive(members);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);

    MemoryArchiveSource source(first.data(), static_cast<uint32_t>(first.size()));
    ArchiveHeader header;
    ASSERT_EQ(ReadArchiveHeader(source, &header), 0);
    EXPECT_EQ(header.headerOffset, 0u);
    EXPECT_EQ(header.memberCount, 2u);
    EXPECT_EQ(header.totalDataSize, 40005u);
    size_t gzip = PayloadStart(first);
    EXPECT_EQ(first[gzip], 0x1F);
    EXPECT_EQ(first[gzip + 1], 0x8B);
    EXPECT_EQ(first[gzip + 3], 0);                                // no optional fields
    EXPECT_EQ(ReadLe32(first.data() + gzip + 4), 0u);             // no time stamp
    uint32_t payloadBytes = 2 * 8 + 5 + 9 + 5 + 40000;
    EXPECT_EQ(ReadLe32(first.data() + IsizePosition(first)), payloadBytes);
}

TEST(ArchiveWriter, AppendedArchivePointsAtItsOwnHeader) {
    Bytes host(1234, 0xCC);
    Bytes archive = MakeArchive({{"a", "b"}}, PayloadGzip, host);
    EXPECT_TRUE(std::equal(host.begin(), host.end(), archive.begin()));
    EXPECT_EQ(HeaderOffsetOf(archive), 1234u);
}

TEST(ArchiveWriter, RefusesNamesTheReaderWouldReject) {
    std::vector<std::string> bad = {std::string(261, 'n'), "", "..\\x", "a/../x", "C:\\x", "\\\\srv\\x",
                                    "dir\\", "$Keep\\", "$Keep\\..\\x", "COM1", "sub\\LPT1", "nul.txt",
                                    "$Keep\\Con\\x", "a|b.txt", "what?.txt", "x<y", "aux.txt", "trail.",
                                    "blank ", "dir.\\x", "a\\.\\x", "$MyDocuments\\Games \\x"};
    for (const std::string& name : bad) {
        MemorySink sink;
        ArchiveWriter writer(sink);
        ASSERT_TRUE(writer.Begin());
        EXPECT_FALSE(writer.AddMember(name.c_str(), "x", 1)) << name;
        EXPECT_FALSE(writer.Error().empty()) << name;
        EXPECT_FALSE(writer.Finish()) << name;
    }
    MemorySink sink;
    ArchiveWriter writer(sink);
    ASSERT_TRUE(writer.Begin());
    EXPECT_TRUE(writer.AddMember(std::string(260, 'n').c_str(), "x", 1));
    EXPECT_TRUE(writer.AddMember("$Keep\\$MyDocuments\\Games\\x.sav", "x", 1));
    EXPECT_TRUE(writer.AddMember("COM10\\console.txt", "x", 1));
    EXPECT_TRUE(writer.AddMember(".profile\\a.b.c", "x", 1));
    EXPECT_TRUE(writer.Finish()) << writer.Error();
}

TEST(ArchiveWriter, RefusesMoreThan65534StepsWhoseBarRangeWouldNotFit16Bits) {
    MemorySink sink;
    ArchiveWriter writer(sink, PayloadStored);
    ASSERT_TRUE(writer.Begin());
    for (int i = 0; i < 65534; ++i) ASSERT_TRUE(writer.AddMember("e", "", 0)) << i;  // the bar's range: 65,535
    EXPECT_FALSE(writer.AddMember("e", "", 0));
    EXPECT_NE(writer.Error().find("65,535"), std::string::npos);

    MemorySink big;
    ArchiveWriter bigWriter(big, PayloadStored);
    ASSERT_TRUE(bigWriter.Begin());
    EXPECT_FALSE(bigWriter.BeginMember("huge", 0xFFFFFFFFu));  // 131,072 steps
    EXPECT_NE(bigWriter.Error().find("65,535"), std::string::npos);
}

// A sink that already holds close to 2 GB (an archive appended to a large file).
class LargeSink : public ArchiveSink {
public:
    explicit LargeSink(uint64_t start) : position_(start) {}
    bool Write(const void*, size_t size) override {
        position_ += size;
        return true;
    }
    bool WriteAt(uint64_t, const void*, size_t) override { return true; }
    uint64_t Position() const override { return position_; }

private:
    uint64_t position_;
};

TEST(ArchiveWriter, RefusesArchivesOf2GBOrMore) {
    LargeSink atLimit(kMaxArchiveFileSize);
    ArchiveWriter refused(atLimit);
    EXPECT_FALSE(refused.Begin());
    EXPECT_NE(refused.Error().find("2 GB"), std::string::npos);

    LargeSink nearLimit(kMaxArchiveFileSize - 100);
    ArchiveWriter growing(nearLimit, PayloadStored);
    ASSERT_TRUE(growing.Begin());
    std::string data(200, 'x');
    EXPECT_FALSE(growing.AddMember("a", data.data(), 200));
    EXPECT_NE(growing.Error().find("2 GB"), std::string::npos);
}

TEST(ArchiveWriter, DataMustMatchTheAnnouncedLength) {
    MemorySink sink;
    ArchiveWriter writer(sink);
    ASSERT_TRUE(writer.Begin());
    ASSERT_TRUE(writer.BeginMember("a", 3));
    ASSERT_TRUE(writer.WriteData("ab", 2));
    EXPECT_FALSE(writer.EndMember());
    MemorySink sink2;
    ArchiveWriter writer2(sink2);
    ASSERT_TRUE(writer2.Begin());
    ASSERT_TRUE(writer2.BeginMember("a", 1));
    EXPECT_FALSE(writer2.WriteData("ab", 2));
}

}  // namespace
