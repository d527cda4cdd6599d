#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "shell/Sha256.h"
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

// The SHA-256 that guards the log and its journal, against the published
// test vectors and lengths at the padding's edges (55 bytes still take the
// length in their block, 56 do not), in one piece, in parts, and as the
// journal reads it: the digest so far, after which adding goes on.
TEST(LogDigest, KnownAnswers) {
    auto pattern = [](size_t n) {
        std::string bytes;
        for (size_t i = 0; i < n; ++i) bytes += static_cast<char>((i * 7 + 3) & 0xFF);
        return bytes;
    };
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {pattern(55), "e7313d333c272e639f790978283f9eb392e843d0f29b7016828bb1daa4aac70b"},
        {pattern(56), "4324d65f3c103567f5589c710bc08f8523f929a9272e3af36fc968e52abc6c27"},
        {pattern(63), "81c80242132f230c3bd41b3e63bbcff16107339549214a99614ff26664625055"},
        {pattern(64), "39e3d7b6b5d075d37d053ad89b24b41bef4f3c29760c84447cab3f3be1882241"},
        {pattern(119), "9ce7368e4daf32341631b492e80359dc9f594b48453cd0dd5bf0b19279cc177e"},
        {pattern(120), "7836b787757e95e58b3ca5aec90b1b004e8deba1e50e9675af9cabf1a13a04b5"},
    };
    char text[kSha256TextSize];
    for (const auto& vector : vectors) {
        ASSERT_TRUE(Sha256Text(vector.first.data(), vector.first.size(), text));
        EXPECT_STREQ(text, vector.second) << vector.first.size();
        Sha256 parts;
        for (size_t at = 0; at < vector.first.size(); at += 4099)
            parts.Add(vector.first.data() + at, std::min<size_t>(4099, vector.first.size() - at));
        ASSERT_TRUE(parts.FinishText(text));
        EXPECT_STREQ(text, vector.second);
    }
    Sha256 running;
    running.Add("ab", 2);
    ASSERT_TRUE(running.TextSoFar(text));
    char whole[kSha256TextSize];
    ASSERT_TRUE(Sha256Text("ab", 2, whole));
    EXPECT_STREQ(text, whole);
    running.Add("c", 1);
    ASSERT_TRUE(running.TextSoFar(text));
    EXPECT_STREQ(text, vectors[1].second);
}

}  // namespace
