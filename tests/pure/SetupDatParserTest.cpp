#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pure/NameCharsSupport.h"
#include "setup/SetupDatParser.h"
#include "setup/TextDecoding.h"

namespace {

SetupConfig Parse(const std::string& text) {
    SetupConfig config;
    ParseSetupDat(text.data(), text.size(), config);
    return config;
}

TEST(SetupDatParser, EmptyFileKeepsEveryDefault) {
    SetupConfig config = Parse("");
    EXPECT_STREQ(config.appname.Get(), "Varnplay");
    EXPECT_STREQ(config.progdir.Get(), "Varnplay");
    EXPECT_STREQ(config.startfolder.Get(), "Varnplay");
    EXPECT_STREQ(config.mainexe.Get(), "varnplay.exe");
    EXPECT_STREQ(config.savesuffix.Get(), "SAV");
    EXPECT_STREQ(config.license.Get(), "LICENSE.TXT");
    EXPECT_FALSE(config.readme.IsSet());
    EXPECT_FALSE(config.readme_title.IsSet());
    EXPECT_FALSE(config.debugger || config.game || config.v3 || config.quiet);
}

TEST(SetupDatParser, KeysMatchIgnoringCaseButNotWithBlankBeforeEquals) {
    SetupConfig config = Parse("APPNAME=Devi Dezir\nProgDir =Elsewhere\nstartFolder=Games\\Varn\n");
    EXPECT_STREQ(config.appname.Get(), "Devi Dezir");
    EXPECT_STREQ(config.progdir.Get(), "Varnplay");
    EXPECT_STREQ(config.startfolder.Get(), "Games\\Varn");
}

TEST(SetupDatParser, ValueIsVerbatimAfterFirstEquals) {
    SetupConfig config = Parse("appname= Spaced = name  \r\nmainexe=\n");
    EXPECT_STREQ(config.appname.Get(), " Spaced = name  ");
    EXPECT_STREQ(config.mainexe.Get(), "");
}

TEST(SetupDatParser, CommentsNeedHashAsFirstNonBlank) {
    SetupConfig config = Parse("   \t# appname=Hidden\nappname=Shown # not a comment\n#game\n");
    EXPECT_STREQ(config.appname.Get(), "Shown # not a comment");
    EXPECT_FALSE(config.game);
}

TEST(SetupDatParser, LeadingBlanksAreSkippedBeforeTheKey) {
    SetupConfig config = Parse(" \t\v\fsavesuffix=SVX");
    EXPECT_STREQ(config.savesuffix.Get(), "SVX");
}

TEST(SetupDatParser, FlagsIgnoreTheirValueAndNeedNoLineEnd) {
    EXPECT_TRUE(Parse("game").game);
    EXPECT_TRUE(Parse("game=0").game);
    EXPECT_TRUE(Parse("debugger=no\n").debugger);
    EXPECT_TRUE(Parse("V3").v3);
    EXPECT_FALSE(Parse("games").game);
}

TEST(SetupDatParser, TextKeyWithoutEqualsTakesOne) {
    EXPECT_STREQ(Parse("readme").readme.Get(), "1");
}

TEST(SetupDatParser, LastTextLineWins) {
    EXPECT_STREQ(Parse("appname=A\nappname=B\n").appname.Get(), "B");
}

TEST(SetupDatParser, NoLicenseAndLicenseOrderDecides) {
    EXPECT_STREQ(Parse("nolicense\nlicense=EULA.TXT\n").license.Get(), "EULA.TXT");
    EXPECT_STREQ(Parse("license=EULA.TXT\nnolicense\n").license.Get(), "");
    EXPECT_TRUE(Parse("license=").license.IsEmpty());
}

TEST(SetupDatParser, CrLfCrAndLfGiveTheSameResult) {
    for (const char* separator : {"\r\n", "\r", "\n", "\n\n\r\r"}) {
        std::string text = std::string("appname=X") + separator + "game" + separator + "readme=r.txt";
        SetupConfig config = Parse(text);
        EXPECT_STREQ(config.appname.Get(), "X") << "separator length " << std::strlen(separator);
        EXPECT_TRUE(config.game);
        EXPECT_STREQ(config.readme.Get(), "r.txt");
    }
}

TEST(SetupDatParser, EmptyKeyAndUnknownKeysAreIgnored) {
    SetupConfig config = Parse("=value\nunknown=1\nappname\n");
    EXPECT_STREQ(config.appname.Get(), "1");
}

TEST(SetupDatParser, LinesAreNumberedAndReadAsTheSetupReadsThem) {
    std::string text = "appname=A\r\n\r\n  # c\rAppName =B\nnolicence\n\ngame=0\r\n" + std::string("mainexe=x\0y", 11) +
                       "\nprogdir=" + std::string(260, 'd') + "\n=v";
    using Kind = SetupDatLineKind;
    struct Expected {
        size_t number;
        Kind kind;
        const char* key;   // as written
        const char* name;  // of the table, or null
    } expected[] = {
        {1, Kind::Setting, "appname", "appname"}, {3, Kind::Comment, nullptr, nullptr},
        {4, Kind::UnknownKey, "AppName ", nullptr}, {5, Kind::UnknownKey, "nolicence", nullptr},
        {7, Kind::Setting, "game", "game"},         {8, Kind::HoldsNul, nullptr, nullptr},
        {9, Kind::ValueTooLong, "progdir", "progdir"}, {10, Kind::UnknownKey, "", nullptr},
    };
    size_t at = 0, lineEnds = 0, index = 0;
    SetupDatLine line;
    while (NextSetupDatLine(text.data(), text.size(), &at, &lineEnds, &line)) {
        ASSERT_LT(index, sizeof expected / sizeof expected[0]);
        const Expected& e = expected[index++];
        EXPECT_EQ(line.number, e.number);
        EXPECT_EQ(line.kind, e.kind) << e.number;
        if (e.key) {
            EXPECT_EQ(std::string(line.key, line.keyLength), e.key) << e.number;
        }
        EXPECT_STREQ(line.name ? line.name : "", e.name ? e.name : "") << e.number;
    }
    EXPECT_EQ(index, sizeof expected / sizeof expected[0]);
}

TEST(SetupDatParser, HighBytesAreNeverBlanks) {
    SetupConfig config = Parse("\xA0game\n\xE9=1\n");
    EXPECT_FALSE(config.game);
}

TEST(SetupDatParser, OverlongLinesAreIgnoredAndTheEarlierValueStays) {
    std::string longest(259, 'd'), tooLong(260, 'e');
    EXPECT_EQ(Parse("progdir=" + longest).progdir.Get(), longest);
    SetupConfig config = Parse("progdir=Kept\nprogdir=" + tooLong + "\n");
    EXPECT_STREQ(config.progdir.Get(), "Kept");
    // Flag lines too: the whole line is malformed, whatever the key.
    SetupConfig flags = Parse("game=" + tooLong + "\ndebugger=" + longest + "\nnolicense=" + tooLong + "\n");
    EXPECT_FALSE(flags.game);
    EXPECT_TRUE(flags.debugger);
    EXPECT_STREQ(flags.license.Get(), "LICENSE.TXT");
}

TEST(SetupDatParser, HugeLineDoesNotDisturbTheOthers) {
    std::string text = "appname=" + std::string(100 * 1024, 'x') + "\ngame\nappname=Fine\n";
    SetupConfig config = Parse(text);
    EXPECT_STREQ(config.appname.Get(), "Fine");
    EXPECT_TRUE(config.game);
}

TEST(SetupDatParser, LinesWithNulBytesAreIgnored) {
    std::string text("appname=Bad\0Name\nmainexe=good.exe\n", 34);
    SetupConfig config = Parse(text);
    EXPECT_STREQ(config.appname.Get(), "Varnplay");
    EXPECT_STREQ(config.mainexe.Get(), "good.exe");
}

TEST(SetupDatParser, NulAndBinaryFilesLeaveDefaults) {
    std::string zeros(4096, '\0');
    EXPECT_STREQ(Parse(zeros).appname.Get(), "Varnplay");
    std::string binary;
    for (int i = 0; i < 65536; ++i) binary.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
    SetupConfig config = Parse(binary);
    EXPECT_STREQ(config.mainexe.Get(), "varnplay.exe");
}

TEST(SetupDatParser, TenMegabyteFileIsReadToTheEnd) {
    std::string text;
    text.reserve(10u << 20);
    while (text.size() < (10u << 20)) text += "# filler line of a large configuration file\r\n";
    text += "appname=AtTheEnd";
    EXPECT_STREQ(Parse(text).appname.Get(), "AtTheEnd");
}

}  // namespace

// The same SETUP.DAT, as a publisher may save it, read in processes of each
// code page, on a system whose ANSI code page is `system`.
TEST(SetupDatParser, EncodingsAreReadIntoTheProcessCodePage) {
    struct Case {
        const char* what;
        std::string file;
        unsigned process, system;
        const char* startfolder;  // null: refused as unrepresentable
    } cases[] = {
        {"BOM, UTF-8 process", "\xEF\xBB\xBFstartfolder=\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0\r\n", 65001, 1252,
         "\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0"},
        {"UTF-8 into 1252", "startfolder=Caf\xC3\xA9\n", 1252, 1252, "Caf\xE9"},
        {"Cyrillic cannot be 1252", "startfolder=\xD0\x98\xD0\xB3\xD1\x80\xD0\xB0\n", 1252, 1252, nullptr},
        {"old 1252 file as ever", "startfolder=Caf\xE9\n", 1252, 1252, "Caf\xE9"},
        {"old 1252 file, UTF-8 process", "startfolder=Caf\xE9\n", 65001, 1252, "Caf\xC3\xA9"},
        {"Shift-JIS on Japanese Windows", "startfolder=\x83\x54\x83\x7C\x81\x5B\x83\x67\\\x95\x5C\x8E\xA6\n", 932,
         932, "\x83\x54\x83\x7C\x81\x5B\x83\x67\\\x95\x5C\x8E\xA6"},
    };
    for (const Case& c : cases) {
        ScopedNameCodePage process(c.process);
        SetSystemAnsiCodePage(c.system);
        SetupConfig config = Parse(c.file);
        SetSystemAnsiCodePage(0);
        if (c.startfolder) {
            EXPECT_STREQ(config.startfolder.Get(), c.startfolder) << c.what;
            EXPECT_EQ(config.unrepresentableKey, nullptr) << c.what;
        } else {
            EXPECT_STREQ(config.unrepresentableKey, "startfolder") << c.what;
            EXPECT_STREQ(config.startfolder.Get(), "Varnplay") << c.what;
        }
    }
}

TEST(SetupDatParser, ByteOrderMarkIsNotPartOfTheFirstKey) {
    SetupConfig config = Parse("\xEF\xBB\xBF" "appname=First\r\ngame\r\n");
    EXPECT_STREQ(config.appname.Get(), "First");
    EXPECT_TRUE(config.game);
    size_t at = 0, lineEnds = 0;
    SetupDatLine line;
    std::string text = "\xEF\xBB\xBFmainexe=a.exe";
    ASSERT_TRUE(NextSetupDatLine(text.data(), text.size(), &at, &lineEnds, &line));
    EXPECT_EQ(line.kind, SetupDatLineKind::Setting);
    EXPECT_EQ(line.number, 1u);
}

TEST(TextDecoding, Utf8IsJudgedStrictly) {
    struct Case {
        std::string text;
        bool valid;
    } cases[] = {
        {"", true},
        {"Caf\xC3\xA9", true},
        {"\xE3\x82\xBD", true},      // ソ
        {"\xF0\x9F\x8E\xAE", true},  // a four-byte character
        {"Caf\xE9", false},          // 1252
        {"\x83\x5C", false},         // ソ in 932
        {"\xC0\xAF", false},         // an overlong '/'
        {"\xED\xA0\x80", false},     // a surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"\xE3\x82", false},         // cut short
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.text.data(), c.text.size()), c.valid) << c.text;
    EXPECT_EQ(Utf8BomLength("\xEF\xBB\xBFx", 4), 3u);
    EXPECT_EQ(Utf8BomLength("\xEF\xBB", 2), 0u);
    std::string name = "\xD0\x98gra\xC3\xA9.txt";
    EXPECT_EQ(DescribeUtf8Name(name.data(), name.size()), "<U+0418>gra<U+00E9>.txt");
}
