#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "pure/NameCharsSupport.h"
#include "setup/TextDecoding.h"
#include "shell/EarlierDefault.h"
#include "shell/UninstallLogDecoding.h"
#include "shell/UninstallLogMerge.h"
#include "shell/UninstallLogReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Append32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Hand-built records, independent of the encoder under test elsewhere.
Bytes TextRecord(uint8_t kind, const std::string& text) {
    Bytes out = {kind, 0, 0, 0};
    Append32(out, static_cast<uint32_t>(text.size() + 12));
    out.insert(out.end(), text.begin(), text.end());
    out.insert(out.end(), {0, 0, 0, 0});
    return out;
}

Bytes KeyRecord(uint32_t root, const std::string& keyPath) {
    Bytes out = {1, 0, 0, 0};
    Append32(out, static_cast<uint32_t>(keyPath.size() + 16));
    Append32(out, root);
    out.insert(out.end(), keyPath.begin(), keyPath.end());
    out.insert(out.end(), {0, 0, 0, 0});
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

void SetLength(Bytes& image, size_t recordOffset, uint32_t length) {
    for (int i = 0; i < 4; ++i) image[recordOffset + 4 + i] = static_cast<uint8_t>(length >> (8 * i));
}

// Validates the image and returns the error (offset and message) it gives.
UninstallLogError ExpectDamage(const Bytes& image, size_t soundRecords) {
    UninstallLogError error;
    size_t count = 99;
    EXPECT_FALSE(ValidateUninstallLog(image.data(), image.size(), &count, &error));
    EXPECT_EQ(count, soundRecords);
    EXPECT_NE(error.message[0], '\0');
    return error;
}

const Bytes kAppName = TextRecord(6, "Varnplay");                            // 20 bytes at 0
const Bytes kFile = TextRecord(3, "C:\\Program Files\\Varnplay\\a b.txt");  // 45 bytes at 20
const Bytes kKey = KeyRecord(0x80000001u, "Software\\Alpha");               // 30 bytes at 65
const Bytes kDir = TextRecord(2, "C:\\Program Files\\Varnplay");            // 37 bytes at 95

TEST(UninstallLogReader, ReadsEveryKindWithOffsetRootAndText) {
    Bytes image = Concat({kAppName, kFile, kKey, kDir});
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.kind, 6);
    EXPECT_EQ(record.offset, 0u);
    EXPECT_STREQ(record.text, "Varnplay");
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.kind, 3);
    EXPECT_EQ(record.offset, 20u);
    EXPECT_EQ(std::string(record.text, record.textLength), "C:\\Program Files\\Varnplay\\a b.txt");
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.kind, 1);
    EXPECT_EQ(record.offset, 65u);
    EXPECT_EQ(record.rootKey, 0x80000001u);
    EXPECT_STREQ(record.text, "Software\\Alpha");
    EXPECT_EQ(record.textLength, 14u);
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.kind, 2);
    EXPECT_EQ(record.offset, 95u);
    EXPECT_FALSE(reader.Next(record));
    EXPECT_FALSE(reader.Failed());
}

TEST(UninstallLogReader, EmptyTextsAreSoundButAnEmptyFileIsNot) {
    size_t count = 99;
    Bytes image = Concat({TextRecord(6, ""), KeyRecord(0x80000000u, "")});
    EXPECT_TRUE(ValidateUninstallLog(image.data(), image.size(), &count, nullptr));
    EXPECT_EQ(count, 2u);
    UninstallLogError error = ExpectDamage(Bytes(), 0);
    EXPECT_EQ(error.offset, 0u);
    EXPECT_STREQ(error.message, "the log is empty");
}

TEST(UninstallLogReader, FillerBytesAreIgnored) {
    Bytes image = kFile;
    image[1] = image[2] = image[3] = 0xAB;
    image[image.size() - 1] = 0x7E;
    EXPECT_TRUE(ValidateUninstallLog(image.data(), image.size(), nullptr, nullptr));
}

TEST(UninstallLogReader, TruncatedHeaderOrRecordNamesItsOffset) {
    Bytes image = Concat({kAppName, kFile});
    image.resize(20 + 5);  // half a header after the first record
    UninstallLogError error = ExpectDamage(image, 1);
    EXPECT_EQ(error.offset, 20u);
    EXPECT_NE(std::string(error.message).find("truncated"), std::string::npos) << error.message;

    image = Concat({kAppName, kFile});
    image.pop_back();  // the last filler byte is missing
    error = ExpectDamage(image, 1);
    EXPECT_EQ(error.offset, 20u);
    EXPECT_NE(std::string(error.message).find("truncated"), std::string::npos) << error.message;
}

TEST(UninstallLogReader, ExtremeLengthsAreDamageNotCrashes) {
    for (uint32_t length : {0u, 1u, 11u, 0xFFFFFFFFu, 0x80000000u, 46u}) {
        Bytes image = Concat({kAppName, kFile, kDir});
        SetLength(image, 20, length);  // 46 points one byte past the record into the next
        UninstallLogError error = ExpectDamage(image, 1);
        EXPECT_EQ(error.offset, 20u) << length;
    }
    Bytes key = kKey;
    SetLength(key, 0, 15);  // a key record needs at least 16
    EXPECT_EQ(ExpectDamage(key, 0).offset, 0u);
}

TEST(UninstallLogReader, LengthPastTheEndIsReported) {
    Bytes image = Concat({kAppName, kDir});
    SetLength(image, 20, 38);
    UninstallLogError error = ExpectDamage(image, 1);
    EXPECT_EQ(error.offset, 20u);
    EXPECT_NE(std::string(error.message).find("38"), std::string::npos) << error.message;
}

TEST(UninstallLogReader, TextWithoutNulIsReported) {
    Bytes image = kAppName;
    for (size_t i = 8; i < image.size(); ++i) image[i] = 'x';
    UninstallLogError error = ExpectDamage(image, 0);
    EXPECT_EQ(error.offset, 0u);
    EXPECT_NE(std::string(error.message).find("NUL"), std::string::npos) << error.message;
}

TEST(UninstallLogReader, LengthDisagreeingWithTextIsReported) {
    // NUL earlier than the length says: a text 3 characters shorter.
    Bytes image = Concat({kAppName, kFile});
    image[20 + 8 + 30] = 0;
    UninstallLogError error = ExpectDamage(image, 1);
    EXPECT_EQ(error.offset, 20u);
    EXPECT_NE(std::string(error.message).find("does not match"), std::string::npos) << error.message;
    // NUL later than the length says (inside the filler).
    image = kAppName;
    image[16] = 'y';  // where the NUL belongs
    error = ExpectDamage(image, 0);
    EXPECT_NE(std::string(error.message).find("does not match"), std::string::npos) << error.message;
}

TEST(UninstallLogReader, UnknownKindsAndRootsAreReported) {
    for (uint8_t kind : {0, 4, 5, 7, 255}) {
        Bytes image = Concat({kAppName, kDir});
        image[20] = kind;
        UninstallLogError error = ExpectDamage(image, 1);
        EXPECT_EQ(error.offset, 20u);
        EXPECT_NE(std::string(error.message).find("kind " + std::to_string(kind)), std::string::npos)
            << error.message;
    }
    Bytes image = Concat({kAppName, KeyRecord(0x80000003u, "Software")});
    UninstallLogError error = ExpectDamage(image, 1);
    EXPECT_EQ(error.offset, 20u);
    EXPECT_NE(std::string(error.message).find("0x80000003"), std::string::npos) << error.message;
}

// Texts come from SETUP.DAT verbatim: any byte but NUL belongs to them.
TEST(UninstallLogReader, EveryByteButNulIsText) {
    std::string text = "Varnplay\t";
    for (int c = 1; c < 256; ++c) text += static_cast<char>(c);
    Bytes image = Concat({TextRecord(6, text), KeyRecord(0x80000001u, "Software\nX")});
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(std::string(record.text, record.textLength), text);
    EXPECT_EQ(RecordedAppName(image.data(), image.size()), text);
    ASSERT_TRUE(reader.Next(record));
    EXPECT_STREQ(record.text, "Software\nX");
    EXPECT_FALSE(reader.Next(record));
    EXPECT_FALSE(reader.Failed());
}

TEST(UninstallLogReader, StopsAtDamageAndStaysStopped) {
    Bytes image = Concat({kAppName, kFile});
    image[20] = 9;
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    EXPECT_TRUE(reader.Next(record));
    EXPECT_FALSE(reader.Next(record));
    EXPECT_TRUE(reader.Failed());
    EXPECT_FALSE(reader.Next(record));
    EXPECT_EQ(reader.Error().offset, 20u);
}

TEST(UninstallLogNames, KindsAndRoots) {
    EXPECT_STREQ(UninstallKindName(1), "KEY");
    EXPECT_STREQ(UninstallKindName(2), "DIR");
    EXPECT_STREQ(UninstallKindName(3), "FILE");
    EXPECT_STREQ(UninstallKindName(6), "APPNAME");
    EXPECT_STREQ(RootKeyName(0x80000000u), "HKEY_CLASSES_ROOT");
    EXPECT_STREQ(RootKeyName(0x80000001u), "HKEY_CURRENT_USER");
    EXPECT_STREQ(RootKeyName(0x80000002u), "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(RootKeyName(0x80000003u), nullptr);
}

// A reinstallation's log carries the earlier log's other records, in their
// order, repeats included; items named again (letter case aside) and the
// earlier application name are left out.
TEST(UninstallLogMerge, CarriesTheEarlierRecordsNotRecordedAgain) {
    Bytes earlier = Concat({TextRecord(6, "Varnplay"), TextRecord(3, "C:\\P\\UnInst0001.inf"),
                            KeyRecord(0x80000001u, "Software\\VARN\\Varnplay"), TextRecord(3, "C:\\P\\old.gam"),
                            TextRecord(2, "C:\\P\\GAMES"), KeyRecord(0x80000001u, "Software\\VARN\\Varnplay"),
                            KeyRecord(0x80000000u, "Software\\VARN\\Varnplay")});
    Bytes dir = TextRecord(2, "c:\\p\\games"), key = KeyRecord(0x80000000u, "software\\varn\\varnplay");
    std::vector<RecordSpan> carried = RecordsToCarryOver(earlier.data(), earlier.size(), {dir.data(), key.data()});
    std::vector<size_t> offsets;
    for (const RecordSpan& span : carried) offsets.push_back(span.offset);
    // UnInst0001.inf at 20, the key at 51, old.gam at 89 and the key again at 135.
    EXPECT_EQ(offsets, (std::vector<size_t>{20, 51, 89, 135}));
    EXPECT_EQ(carried[1].length, 38u);
    EXPECT_TRUE(RecordsToCarryOver(nullptr, 0, {}).empty());
}

// The files an earlier installation made, whatever their letter case: the
// only existing files a reinstallation may replace.
TEST(UninstallLogMerge, RecordedFilesAreTheEarlierFileRecordsFolded) {
    Bytes earlier = Concat({TextRecord(6, "Varnplay"), TextRecord(3, "C:\\P\\UnInst0001.inf"),
                            TextRecord(3, "C:\\P\\Doc\\Intro.HTM"), TextRecord(2, "C:\\P\\Doc"),
                            KeyRecord(0x80000001u, "Software\\VARN\\Varnplay")});
    EXPECT_EQ(RecordedFiles(earlier.data(), earlier.size()),
              (std::set<std::string>{"c:\\p\\uninst0001.inf", "c:\\p\\doc\\intro.htm"}));
    EXPECT_EQ(FoldedPath("C:\\P\\Doc\\Intro.HTM"), "c:\\p\\doc\\intro.htm");
    EXPECT_TRUE(RecordedFiles(nullptr, 0).empty());
    Bytes damaged = earlier;
    damaged.resize(damaged.size() - 5);  // sound records before the damage still count
    EXPECT_EQ(RecordedFiles(damaged.data(), damaged.size()).size(), 2u);
}

// What extensions held before the earlier installation (default values and
// content types) goes on to the new log, unless the new one recorded the
// same; other names never do.
TEST(UninstallLogMerge, CarriesWhatExtensionsNamedBefore) {
    std::string plain = "text/plain";
    Bytes sav = TextRecord(6, EncodeEarlierDefault(".SAV", "Other.Save"));
    Bytes gam = TextRecord(6, EncodeEarlierDefault(".GAM", ""));
    Bytes savType = TextRecord(6, EncodeEarlierContentType(".SAV", &plain));
    Bytes gamType = TextRecord(6, EncodeEarlierContentType(".GAM", nullptr));
    Bytes earlier = Concat({TextRecord(6, "Varnplay"), sav, TextRecord(6, "Second Name"), gam, savType, gamType});
    Bytes again = TextRecord(6, EncodeEarlierDefault(".gam", ""));
    Bytes againType = TextRecord(6, EncodeEarlierContentType(".gam", nullptr));
    std::vector<RecordSpan> carried =
        RecordsToCarryOver(earlier.data(), earlier.size(), {again.data(), againType.data()});
    ASSERT_EQ(carried.size(), 2u);
    EXPECT_EQ(carried[0].offset, 20u);
    EXPECT_EQ(carried[0].length, sav.size());
    EXPECT_EQ(carried[1].offset, 20u + sav.size() + TextRecord(6, "Second Name").size() + gam.size());
    EXPECT_EQ(carried[1].length, savType.size());
}

}  // namespace

namespace {

// Logs as setups of either code page wrote them, read by uninstallers of each.
TEST(UninstallLogDecoding, WholeLogIsOneEncodingTurnedIntoTheProcessCodePage) {
    const std::string utf8Cafe = "C:\\Caf\xC3\xA9\\a.txt", ansiCafe = "C:\\Caf\xE9\\a.txt";
    struct Case {
        const char* what;
        unsigned process;
        Bytes log;
        Bytes expected;  // empty: refused
    } cases[] = {
        {"old 1252 log, 1252 uninstaller", 1252,
         Concat({TextRecord(6, "Caf\xE9"), TextRecord(3, ansiCafe)}),
         Concat({TextRecord(6, "Caf\xE9"), TextRecord(3, ansiCafe)})},
        {"old 1252 log, UTF-8 uninstaller", 65001,
         Concat({TextRecord(6, "Caf\xE9"), KeyRecord(0x80000000u, "Caf\xE9.Save")}),
         Concat({TextRecord(6, "Caf\xC3\xA9"), KeyRecord(0x80000000u, "Caf\xC3\xA9.Save")})},
        {"UTF-8 log, 1252 uninstaller", 1252, Concat({TextRecord(3, utf8Cafe)}), Concat({TextRecord(3, ansiCafe)})},
        {"UTF-8 log, UTF-8 uninstaller", 65001, Concat({TextRecord(3, utf8Cafe)}), Concat({TextRecord(3, utf8Cafe)})},
        // One record that is not UTF-8 makes the whole log ANSI, the valid-looking one too.
        {"mixed is ANSI", 65001, Concat({TextRecord(3, utf8Cafe), TextRecord(3, ansiCafe)}),
         Concat({TextRecord(3, "C:\\Caf\xC3\x83\xC2\xA9\\a.txt"), TextRecord(3, utf8Cafe)})},
        {"Cyrillic, 1252 uninstaller", 1252, Concat({TextRecord(2, "C:\\\xD0\x98")}), {}},
    };
    for (const Case& c : cases) {
        ScopedNameCodePage process(c.process);
        SetSystemAnsiCodePage(1252);
        Bytes decoded;
        std::string refused;
        bool ok = DecodeUninstallLog(c.log, &decoded, &refused);
        SetSystemAnsiCodePage(0);
        EXPECT_EQ(ok, !c.expected.empty()) << c.what;
        EXPECT_EQ(decoded, c.expected) << c.what;
        EXPECT_EQ(refused, ok ? "" : "C:\\<U+0418>") << c.what;
    }
}

}  // namespace
