#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>

#include "setup/NameChars.h"
#include "setup/Startup.h"
#include "setup/TextDecoding.h"

namespace {

// The stepping table the native tests and fuzzers run is the one Windows has.
TEST(NameChars, LeadByteTableIsWindowsOwn) {
    for (unsigned codePage : {932u, 936u, 949u, 950u, 1252u, 1251u}) {
        if (!IsValidCodePage(codePage)) continue;
        for (unsigned byte = 0; byte < 256; ++byte) {
            EXPECT_EQ(IsLeadByte(codePage, static_cast<unsigned char>(byte)),
                      IsDBCSLeadByteEx(codePage, static_cast<BYTE>(byte)) != FALSE)
                << "code page " << codePage << " byte " << byte;
        }
    }
}

// Every pair Windows reads as one character is stepped over as one, so no
// second byte of a real character is ever taken for a separator.
TEST(NameChars, EveryCharacterOfWindowsIsSteppedWhole) {
    for (unsigned codePage : {932u, 936u, 949u, 950u}) {
        ASSERT_TRUE(IsValidCodePage(codePage)) << codePage;
        SetNameCodePage(codePage);
        int pairs = 0;
        for (unsigned lead = 0x81; lead < 0x100; ++lead) {
            for (unsigned trail = 1; trail < 0x100; ++trail) {
                const char pair[3] = {static_cast<char>(lead), static_cast<char>(trail), '\0'};
                WCHAR wide[2];
                if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) != 1) continue;
                ++pairs;
                EXPECT_EQ(CharSize(pair, 2), 2u) << "code page " << codePage << " bytes " << lead << " " << trail;
            }
        }
        EXPECT_GT(pairs, 5000) << codePage;
    }
    SetNameCodePage(0);
}

TEST(TextDecoding, WindowsConversionRefusesWhatThePageLacks) {
    std::string out;
    ASSERT_TRUE(ConvertCodePage(932, kCodePageUtf8, "\x83\x5C\x83\x7C\x95\x5C", 6, &out));
    EXPECT_EQ(out, "\xE3\x82\xBD\xE3\x83\x9D\xE8\xA1\xA8");  // ソポ表
    ASSERT_TRUE(ConvertCodePage(kCodePageUtf8, 932, out.data(), out.size(), &out));
    EXPECT_EQ(out, "\x83\x5C\x83\x7C\x95\x5C");
    EXPECT_FALSE(ConvertCodePage(kCodePageUtf8, 1252, "\xD0\x98", 2, &out));  // И
    EXPECT_FALSE(ConvertCodePage(kCodePageUtf8, 1252, "\xC5\x81", 2, &out));  // Ł, no best fit to L
    ASSERT_TRUE(ConvertCodePage(1252, kCodePageUtf8, "Caf\xE9", 4, &out));
    EXPECT_EQ(out, "Caf\xC3\xA9");
    EXPECT_NE(SystemAnsiCodePage(), 0u);
    EXPECT_NE(SystemAnsiCodePage(), unsigned(CP_UTF8));
}

// A name Windows reports is compared with the one the setup meant, so it is
// narrowed only when exact: the test programs run in UTF-8, where a lone
// surrogate (a name NTFS can hold) would otherwise become U+FFFD; the page
// of the "A" calls elsewhere refuses best fits the same way (above, 1252).
TEST(TextDecoding, ReportedNamesAreNarrowedOnlyWhenExact) {
    ASSERT_EQ(GetACP(), unsigned(CP_UTF8));
    std::string out = "left";
    EXPECT_TRUE(NarrowExactly(L"C:\\\x0418\x30BD", 5, &out));
    EXPECT_EQ(out, "C:\\\xD0\x98\xE3\x82\xBD");
    EXPECT_TRUE(NarrowExactly(L"", 0, &out));
    EXPECT_EQ(out, "");
    for (const wchar_t* name : {L"C:\\G\xD800mes", L"C:\\\xDC00"}) {
        out = "left";
        EXPECT_FALSE(NarrowExactly(name, wcslen(name), &out));
        EXPECT_EQ(out, "left");
    }
}

}  // namespace

namespace {

// Where Windows ignores the UTF-8 code page, the "A" command line would hold
// a '?' for each character its page lacks: such a directory is named and refused.
TEST(Startup, CommandLineBeyondTheCodePageIsDescribed) {
    const wchar_t* cyrillic = L"setup.exe -s C:\\\x0418\x0433\x0440\x0430";
    EXPECT_EQ(UnrepresentableText(cyrillic, 1252), "setup.exe -s C:\\<U+0418><U+0433><U+0440><U+0430>");
    EXPECT_EQ(UnrepresentableText(cyrillic, 1251), "");
    EXPECT_EQ(UnrepresentableText(cyrillic, CP_UTF8), "");
    EXPECT_EQ(UnrepresentableText(L"setup.exe -s C:\\Caf\x00E9", 1252), "");
    EXPECT_EQ(UnrepresentableText(L"setup.exe -s C:\\\x0141odz", 1252), "setup.exe -s C:\\<U+0141>odz");  // no best fit to L
}

}  // namespace
