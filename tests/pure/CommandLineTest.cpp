#include <gtest/gtest.h>

#include <string>

#include "setup/CommandLine.h"

namespace {

SetupConfig ParseLine(const char* line) {
    SetupConfig config;
    config.progdir.Assign("FromSetupDat");
    ParseCommandLine(line, config);
    return config;
}

TEST(CommandLine, DashQOrDashSBlankDirectoryIsQuietAndDashSUnattended) {
    SetupConfig config = ParseLine("-q C:\\Games\\Varn");
    EXPECT_TRUE(config.quiet);
    EXPECT_FALSE(config.unattended);
    EXPECT_STREQ(config.progdir.Get(), "C:\\Games\\Varn");
    SetupConfig unattended = ParseLine(" -s\tC:\\Games\\Varn ");
    EXPECT_TRUE(unattended.quiet);
    EXPECT_TRUE(unattended.unattended);
    EXPECT_STREQ(unattended.progdir.Get(), "C:\\Games\\Varn ");
}

TEST(CommandLine, BlanksAroundAreSkippedButTrailingOnesStay) {
    SetupConfig config = ParseLine("  \t-q \t  D:\\My Dir  ");
    EXPECT_TRUE(config.quiet);
    EXPECT_STREQ(config.progdir.Get(), "D:\\My Dir  ");
}

// A Windows path cannot hold a quote: one pair around the directory is taken off.
TEST(CommandLine, OnePairOfEnclosingQuotesIsRemovedAndNothingElse) {
    struct Case {
        const char* line;
        const char* directory;
    } cases[] = {
        {"-q \"C:\\Program Files\\Varnplay Demo\"", "C:\\Program Files\\Varnplay Demo"},
        {"-q \"D:\\My Dir\"  \t", "D:\\My Dir"},
        {"-q \"\"", ""},
        {"-q \"\"D:\\x\"\"", "\"D:\\x\""},
        {"-q \"D:\\open", "\"D:\\open"},
        {"-q \"", "\""},
        {"-q D:\\x\"", "D:\\x\""},
        {"-q \"D:\\a\" b", "\"D:\\a\" b"},
    };
    for (const Case& c : cases) {
        SetupConfig config = ParseLine(c.line);
        EXPECT_TRUE(config.quiet) << c.line;
        EXPECT_STREQ(config.progdir.Get(), c.directory) << c.line;
    }
}

TEST(CommandLine, DirectoryMayBeEmpty) {
    SetupConfig config = ParseLine("-q   ");
    EXPECT_TRUE(config.quiet);
    EXPECT_STREQ(config.progdir.Get(), "");
}

TEST(CommandLine, OtherFormsAreNotQuiet) {
    for (const char* line : {"-q", "-qC:\\dir", "/q C:\\dir", "-Q C:\\dir", "x -q C:\\dir", "", "--q dir", "-s",
                             "-S C:\\dir", "/s C:\\dir", "-sC:\\dir"}) {
        SetupConfig config = ParseLine(line);
        EXPECT_FALSE(config.quiet) << line;
        EXPECT_FALSE(config.unattended) << line;
        EXPECT_STREQ(config.progdir.Get(), "FromSetupDat") << line;
    }
}

TEST(CommandLine, AbsentCommandLineChangesNothing) {
    SetupConfig config = ParseLine(nullptr);
    EXPECT_FALSE(config.quiet);
}

TEST(CommandLine, OverlongDirectoryIsRefusedNotCut) {
    std::string line = "-q C:\\" + std::string(993, 'x');
    SetupConfig config = ParseLine(line.c_str());
    EXPECT_TRUE(config.quiet);
    EXPECT_TRUE(config.quietDirTooLong);
    EXPECT_STREQ(config.progdir.Get(), "");
    std::string fits = "-q \"" + std::string(259, 'y') + "\"";  // the quotes do not count
    SetupConfig ok = ParseLine(fits.c_str());
    EXPECT_FALSE(ok.quietDirTooLong);
    EXPECT_EQ(std::string(ok.progdir.Get()).size(), 259u);
}

}  // namespace
