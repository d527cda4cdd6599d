#include <gtest/gtest.h>

#include <cstring>

#include "archive/BundleDirectory.h"
#include "pure/archive/BundleTestSupport.h"

using namespace bundle_test;

namespace {

const Files kSet = {{"SETUP.DAT", "appname=Bundled\r\n"},
                    {"LICENSE.TXT", "Read me."},
                    {"empty.txt", ""},
                    {"insfiles.vsa", std::string(3000, 'a')},
                    {"docs\\VARNUINS.EXE", "MZ uninstaller"}};

BundleState Read(const Bytes& file, BundleDirectory* directory) {
    MemoryArchiveSource source(file.data(), static_cast<uint32_t>(file.size()));
    return ReadBundleDirectory(source, directory);
}

BundleState Read(const Bytes& file) {
    BundleDirectory directory;
    return Read(file, &directory);
}

// A directory of hand-made entries with a correct directory CRC, so that only
// the rule under test can refuse it.
struct RawEntry {
    std::string name;
    uint32_t offset, size;
};

Bytes RawDirectory(const std::vector<RawEntry>& entries, uint32_t count, uint32_t extraBytes = 0) {
    Bytes records;
    auto put = [&](uint32_t value) {
        uint8_t bytes[4];
        WriteLe32(bytes, value);
        records.insert(records.end(), bytes, bytes + 4);
    };
    for (const RawEntry& entry : entries) {
        put(static_cast<uint32_t>(entry.name.size()));
        records.insert(records.end(), entry.name.begin(), entry.name.end());
        put(entry.offset);
        put(entry.size);
        put(0);
    }
    records.resize(records.size() + extraBytes);
    Bytes header(kBundleHeaderSize);
    std::memcpy(header.data(), kBundleSignature, kBundleSignatureSize);
    WriteLe32(&header[kBundleSignatureSize], count);
    WriteLe32(&header[kBundleSignatureSize + 4], static_cast<uint32_t>(records.size()));
    WriteLe32(&header[kBundleSignatureSize + 8], UpdateCrc32(0, records.data(), records.size()));
    Bytes out = FakeProgram();
    size_t at = out.size();
    out.resize(at + header.size() + records.size() + 100, 'd');  // 100 bytes of data area
    std::memcpy(&out[at], header.data(), header.size());
    if (!records.empty()) std::memcpy(&out[at + header.size()], records.data(), records.size());
    return out;
}

}  // namespace

TEST(BundleDirectory, IntactBundleListsEveryEntryAfterTheImageAndFindsNamesLikeWindows) {
    Bytes file = MakeBundle(kSet);
    BundleDirectory directory;
    ASSERT_EQ(Read(file, &directory), BundleState::Intact);
    EXPECT_EQ(directory.imageEnd, 0x400u);
    ASSERT_EQ(directory.entries.size(), kSet.size());
    for (size_t i = 0; i < kSet.size(); ++i) {
        const BundleEntry& entry = directory.entries[i];
        EXPECT_STREQ(entry.name, kSet[i].first.c_str());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[entry.offset]), entry.size), kSet[i].second);
    }
    EXPECT_EQ(directory.Find("setup.dat"), &directory.entries[0]);
    EXPECT_EQ(directory.Find("Docs/varnuins.exe"), &directory.entries[4]);
    EXPECT_EQ(directory.Find("VARNUINS.EXE"), nullptr);
    EXPECT_EQ(directory.Find("SETUP.DA"), nullptr);
    MemoryArchiveSource source(file.data(), static_cast<uint32_t>(file.size()));
    uint8_t buffer[7];  // smaller than an entry: the check goes chunk by chunk
    EXPECT_EQ(FindDamagedEntry(source, directory, buffer, sizeof buffer), nullptr);
}

TEST(BundleDirectory, PlainProgramsAndForeignTrailingDataAreNoBundle) {
    Bytes signed_program = FakeProgram();
    signed_program.resize(signed_program.size() + 600, 0x30);  // where a certificate table would be
    Bytes not_pe = MakeBundle(kSet);
    not_pe[0] = 'X';
    Bytes section_past_end = FakeProgram(0x400);
    section_past_end.resize(0x3FF);
    for (const Bytes& file : {FakeProgram(), signed_program, not_pe, section_past_end, Bytes{'M', 'Z'}})
        EXPECT_EQ(Read(file), BundleState::None);
}

// A download cut anywhere after the image, even inside the signature, is a
// damaged bundle, never a plain program nor an intact bundle.
TEST(BundleDirectory, CutAtEveryByteAfterTheImageIsDamaged) {
    Bytes file = MakeBundle(kSet);
    for (size_t keep = 0x401; keep < file.size(); ++keep) {
        Bytes cut(file.begin(), file.begin() + static_cast<long>(keep));
        ASSERT_EQ(Read(cut), BundleState::Damaged) << "cut at " << keep;
    }
}

TEST(BundleDirectory, EntriesOutOfRangeOverlappingOrMisnamedAreDamaged) {
    const uint32_t data = kBundleHeaderSize + 2 * kBundleEntryFixedSize + 2;  // two one-letter names
    struct Case {
        const char* what;
        std::vector<RawEntry> entries;
        uint32_t count, extra;
    } cases[] = {
        {"sound", {{"a", data, 10}, {"b", data + 10, 90}}, 2, 0},
        {"inside the directory", {{"a", data - 1, 10}, {"b", data + 10, 10}}, 2, 0},
        {"past the end", {{"a", data, 10}, {"b", data + 10, 91}}, 2, 0},
        {"size wraps around", {{"a", data, 10}, {"b", data + 10, 0xFFFFFFFFu}}, 2, 0},
        {"overlapping", {{"a", data, 10}, {"b", data + 9, 10}}, 2, 0},
        {"same range", {{"a", data, 10}, {"b", data, 10}}, 2, 0},
        {"duplicate name", {{"a", data, 10}, {"A", data + 10, 10}}, 2, 0},
        {"no entries", {}, 0, 0},
        {"count above the records", {{"a", data, 10}, {"b", data + 10, 10}}, 3, 0},
        {"count below the records", {{"a", data, 10}, {"b", data + 10, 10}}, 1, 0},
        {"bytes after the records", {{"a", data + 4, 10}, {"b", data + 14, 10}}, 2, 4},
        {"empty name", {{"", data - 1, 10}, {"b", data + 10, 10}}, 2, 0},
        {"NUL in a name", {{std::string("\0", 1), data, 10}, {"b", data + 10, 10}}, 2, 0},
        {"name too long", {{std::string(260, 'n'), data + 259, 1}}, 1, 0},
        {"name too long among room enough", {{"a", data + 259, 10}, {std::string(260, 'n'), data + 269, 10}}, 2, 0},
        {"too many entries", {{"a", data, 10}}, kMaxBundleEntries + 1, 0},
    };
    for (const Case& c : cases) {
        BundleState expected = std::strcmp(c.what, "sound") == 0 ? BundleState::Intact : BundleState::Damaged;
        EXPECT_EQ(Read(RawDirectory(c.entries, c.count, c.extra)), expected) << c.what;
    }
    Bytes flipped = RawDirectory({{"a", data, 10}, {"b", data + 10, 90}}, 2);
    flipped[0x400 + kBundleHeaderSize + 4] ^= 1;  // a name byte: the directory's CRC no longer holds
    EXPECT_EQ(Read(flipped), BundleState::Damaged);
}

TEST(BundleDirectory, ADamagedByteInAnyEntryIsFoundByItsCrc) {
    Bytes file = MakeBundle(kSet);
    BundleDirectory directory;
    ASSERT_EQ(Read(file, &directory), BundleState::Intact);
    for (const BundleEntry& entry : directory.entries) {
        if (entry.size == 0) continue;
        Bytes damaged = file;
        damaged[entry.offset + entry.size - 1] ^= 0x40;
        MemoryArchiveSource source(damaged.data(), static_cast<uint32_t>(damaged.size()));
        uint8_t buffer[1024];
        EXPECT_EQ(FindDamagedEntry(source, directory, buffer, sizeof buffer), &entry) << entry.name;
    }
}
