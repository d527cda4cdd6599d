#include <gtest/gtest.h>

#include <vector>

#include "archive/ArchiveFormat.h"
#include "archive/BundleMark.h"
#include "archive/ImageHeaders.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kPe = 0x80;
constexpr uint32_t kOptional = kPe + 24;

// Headers of a PE32 (i386) or PE32+ (x86-64) program, SizeOfHeaders 0x400.
Bytes Headers(bool plus, uint32_t certificateOffset = 0, uint32_t certificateSize = 0) {
    Bytes bytes(0x400, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    WriteLe32(&bytes[0x3C], kPe);
    bytes[kPe] = 'P';
    bytes[kPe + 1] = 'E';
    uint32_t optionalSize = plus ? 240 : 224;
    bytes[kPe + 20] = static_cast<uint8_t>(optionalSize);
    bytes[kOptional] = 0x0B;
    bytes[kOptional + 1] = plus ? 0x02 : 0x01;
    WriteLe32(&bytes[kOptional + (plus ? 24 : 28)], 0x00400000);  // ImageBase
    WriteLe32(&bytes[kOptional + 60], 0x400);                     // SizeOfHeaders
    WriteLe32(&bytes[kOptional + (plus ? 108 : 92)], 16);         // NumberOfRvaAndSizes
    uint32_t security = kOptional + (plus ? 112 : 96) + 8 * 4;
    WriteLe32(&bytes[security], certificateOffset);
    WriteLe32(&bytes[security + 4], certificateSize);
    return bytes;
}

TEST(ImageHeaders, FindsSizeImageBaseAndCertificateTableOfBothWordSizes) {
    for (bool plus : {false, true}) {
        ImageHeaders headers;
        Bytes bytes = Headers(plus, 0x5000, 0x700);
        ASSERT_TRUE(ParseImageHeaders(bytes.data(), bytes.size(), &headers)) << plus;
        EXPECT_EQ(headers.size, 0x400u);
        EXPECT_EQ(headers.imageBaseOffset, kOptional + (plus ? 24u : 28u));
        EXPECT_EQ(headers.imageBaseSize, plus ? 8u : 4u);
        EXPECT_EQ(headers.certificateOffset, 0x5000u);
        EXPECT_EQ(headers.certificateSize, 0x700u);
        Bytes unsigned_ = Headers(plus);
        ASSERT_TRUE(ParseImageHeaders(unsigned_.data(), unsigned_.size(), &headers));
        EXPECT_EQ(headers.certificateSize, 0u);
    }
}

TEST(ImageHeaders, RefusesWhatIsNoProgramOrDoesNotFit) {
    ImageHeaders headers;
    Bytes good = Headers(false);
    EXPECT_FALSE(ParseImageHeaders(good.data(), kOptional + 100, &headers));  // optional header cut
    Bytes noMz = good;
    noMz[0] = 'X';
    EXPECT_FALSE(ParseImageHeaders(noMz.data(), noMz.size(), &headers));
    Bytes noPe = good;
    noPe[kPe + 1] = 'X';
    EXPECT_FALSE(ParseImageHeaders(noPe.data(), noPe.size(), &headers));
    Bytes farPe = good;
    WriteLe32(&farPe[0x3C], 0xFFFFFFF0u);
    EXPECT_FALSE(ParseImageHeaders(farPe.data(), farPe.size(), &headers));
    Bytes rom = good;
    rom[kOptional + 1] = 0x07;  // neither PE32 nor PE32+
    EXPECT_FALSE(ParseImageHeaders(rom.data(), rom.size(), &headers));
    Bytes small = good;
    WriteLe32(&small[kOptional + 60], 0x100);  // ends inside the optional header
    EXPECT_FALSE(ParseImageHeaders(small.data(), small.size(), &headers));
    Bytes huge = good;
    WriteLe32(&huge[kOptional + 60], kMaxImageHeadersSize + 1);
    EXPECT_FALSE(ParseImageHeaders(huge.data(), huge.size(), &headers));
    Bytes fewDirectories = Headers(false, 0x5000, 0x700);
    WriteLe32(&fewDirectories[kOptional + 92], 4);  // no security entry
    ASSERT_TRUE(ParseImageHeaders(fewDirectories.data(), fewDirectories.size(), &headers));
    EXPECT_EQ(headers.certificateSize, 0u);
}

// The loader may rewrite the image base of a program it moves; any other
// difference means the file is not the one the image came from.
TEST(ImageHeaders, TheSameHeadersDifferOnlyInTheImageBase) {
    for (bool plus : {false, true}) {
        Bytes image = Headers(plus, 0x5000, 0x700);
        ImageHeaders headers;
        ASSERT_TRUE(ParseImageHeaders(image.data(), image.size(), &headers));
        Bytes file = image;
        EXPECT_TRUE(SameImageHeaders(image.data(), file.data(), headers));
        for (uint32_t at = headers.imageBaseOffset; at < headers.imageBaseOffset + headers.imageBaseSize; ++at) {
            Bytes moved = image;
            moved[at] ^= 0x10;
            EXPECT_TRUE(SameImageHeaders(moved.data(), file.data(), headers)) << at;
        }
        for (uint32_t at : {0u, kBundleMarkOffset, kBundleMarkEnd - 1, headers.imageBaseOffset - 1,
                            headers.imageBaseOffset + headers.imageBaseSize, 0x3FFu}) {
            Bytes other = file;
            other[at] ^= 0x01;
            EXPECT_FALSE(SameImageHeaders(image.data(), other.data(), headers)) << plus << " " << at;
        }
        Bytes otherCertificate = Headers(plus, 0x5008, 0x700);
        EXPECT_FALSE(SameImageHeaders(image.data(), otherCertificate.data(), headers));
    }
}

TEST(BundleMark, AnUnmarkedCopyIsThePlainProgramAgain) {
    for (bool plus : {false, true}) {
        Bytes plain = Headers(plus);
        Bytes bundled = Headers(plus, 0x5000, 0x700);  // signed after bundling
        WriteBundleMark(bundled.data(), 0xC0FFEE01u);
        UnmarkProgram(bundled.data(), bundled.size());
        EXPECT_EQ(bundled, plain) << plus;
        uint32_t crc = 0;
        EXPECT_FALSE(ReadBundleMark(bundled.data(), &crc));
    }
    Bytes tiny(kBundleMarkEnd - 1, 'x');
    UnmarkProgram(tiny.data(), tiny.size());  // too short to hold a mark: left alone
    EXPECT_EQ(tiny, Bytes(kBundleMarkEnd - 1, 'x'));
}

TEST(BundleMark, IsWrittenIntoTheReservedWordsAndReadBack) {
    Bytes program = Headers(false);
    uint32_t crc = 0;
    EXPECT_TRUE(HasRoomForBundleMark(program.data()));
    EXPECT_FALSE(ReadBundleMark(program.data(), &crc));
    WriteBundleMark(program.data(), 0xC0FFEE01u);
    EXPECT_FALSE(HasRoomForBundleMark(program.data()));
    ASSERT_TRUE(ReadBundleMark(program.data(), &crc));
    EXPECT_EQ(crc, 0xC0FFEE01u);
    EXPECT_EQ(ReadLe32(&program[0x3C]), kPe);  // the PE header stays where it was
    ImageHeaders headers;
    EXPECT_TRUE(ParseImageHeaders(program.data(), program.size(), &headers));
    Bytes used = Headers(false);
    used[kBundleMarkEnd - 1] = 1;
    EXPECT_FALSE(HasRoomForBundleMark(used.data()));
}

}  // namespace
