#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/UninstallRecord.h"

namespace {

// Expected bytes are spelled out by hand: kind, 3 zero filler bytes, length
// (little-endian), payload, NUL, 3 zero filler bytes.
TEST(UninstallRecordEncoding, TextRecordIsTextLengthPlusTwelve) {
    const char* path = "C:\\x\\y";  // 6 characters
    ASSERT_EQ(TextRecordLength(6), 18u);
    std::vector<uint8_t> out(18, 0xCC);
    EncodeTextRecord(out.data(), UninstallFile, path, 6);
    const uint8_t expected[18] = {3, 0, 0, 0, 18, 0, 0, 0, 'C', ':', '\\', 'x', '\\', 'y', 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(out.data(), expected, sizeof expected));
}

TEST(UninstallRecordEncoding, KeyRecordIsPathLengthPlusSixteenWithRootValue) {
    const char* keyPath = "Software\\Alpha";  // 14 characters
    ASSERT_EQ(KeyRecordLength(14), 30u);
    std::vector<uint8_t> out(30, 0xCC);
    EncodeKeyRecord(out.data(), 0x80000001u, keyPath, 14);
    const uint8_t expected[30] = {1,   0,   0,   0,   30,  0,   0,   0,    0x01, 0x00, 0x00, 0x80, 'S', 'o', 'f',
                                  't', 'w', 'a', 'r', 'e', '\\', 'A', 'l', 'p',  'h',  'a',  0,    0,   0,   0};
    EXPECT_EQ(0, std::memcmp(out.data(), expected, sizeof expected));
}

TEST(UninstallRecordEncoding, EmptyTextsStillCarryNulAndFiller) {
    std::vector<uint8_t> out(16, 0xCC);
    EncodeTextRecord(out.data(), UninstallAppName, "", 0);
    const uint8_t name[12] = {6, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(out.data(), name, 12));
    EXPECT_EQ(out[12], 0xCC);  // nothing written past the record
    EncodeKeyRecord(out.data(), 0x80000000u, "", 0);
    const uint8_t key[16] = {1, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(out.data(), key, 16));
}

TEST(UninstallRecordEncoding, LengthFieldIsLittleEndianBeyondOneByte) {
    std::vector<char> text(300, 'a');
    std::vector<uint8_t> out(312);
    EncodeTextRecord(out.data(), UninstallDirectory, text.data(), text.size());
    EXPECT_EQ(out[4], 0x38);  // 312 = 0x0138
    EXPECT_EQ(out[5], 0x01);
    EXPECT_EQ(out[6], 0);
    EXPECT_EQ(out[7], 0);
    EXPECT_EQ(LoadLittleEndian32(out.data() + 4), 312u);
    uint8_t word[4];
    StoreLittleEndian32(word, 0xFFFFFFFEu);
    EXPECT_EQ(word[0], 0xFE);
    EXPECT_EQ(word[3], 0xFF);
}

}  // namespace
