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
        {"-q \"D:\\open", "\"D:\\open"},
        {"-q \"", "\""},
        {"-q D:\\x\"", "D:\\x\""},
    };
    for (const Case& c : cases) {
        SetupConfig config = ParseLine(c.line);
        EXPECT_TRUE(config.quiet) << c.line;
        EXPECT_STREQ(config.progdir.Get(), c.directory) << c.line;
        EXPECT_EQ(config.commandLineProblem, nullptr) << c.line;
    }
}

// -q or -s with nothing after it, as /S or /VERYSILENT are used: the
// directory from SETUP.DAT, placed as the wizard would propose it.
TEST(CommandLine, NoDirectoryKeepsTheProposedOne) {
    for (const char* line : {"-q", "-s", "-q   ", " -s\t", "-l C:\\log.txt -s", "-s -l C:\\log.txt"}) {
        SetupConfig config = ParseLine(line);
        EXPECT_TRUE(config.quiet) << line;
        EXPECT_EQ(config.unattended, std::string(line).find("-s") != std::string::npos) << line;
        EXPECT_STREQ(config.progdir.Get(), "FromSetupDat") << line;
        EXPECT_EQ(config.commandLineProblem, nullptr) << line;
    }
}

// Switches in any order before the directory, or after it in quotes: the
// order a package manager puts its switches in must not matter.
TEST(CommandLine, LogSwitchInAnyPlace) {
    struct Case {
        const char* line;
        const char* log;
        const char* directory;
        bool unattended;
    } cases[] = {
        {"-l C:\\log.txt -s D:\\Varn", "C:\\log.txt", "D:\\Varn", true},
        {"-s -l \"C:\\My Logs\\v.log\" D:\\My Varn ", "C:\\My Logs\\v.log", "D:\\My Varn ", true},
        {"-q \"D:\\My Varn\" -l \"C:\\My Logs\\v.log\"", "C:\\My Logs\\v.log", "D:\\My Varn", false},
        {"-s \"D:\\Varn\"   -l log.txt  ", "log.txt", "D:\\Varn", true},
        {"-q -s -l x.log \"D:\\V\"", "x.log", "D:\\V", true},
        {"-l C:\\log.txt", "C:\\log.txt", "FromSetupDat", false},  // the wizard, logged
        {"-l C:\\log.txt D:\\Varn", "C:\\log.txt", "FromSetupDat", false},
    };
    for (const Case& c : cases) {
        SetupConfig config = ParseLine(c.line);
        EXPECT_EQ(config.commandLineProblem, nullptr) << c.line;
        EXPECT_STREQ(config.logFile.Get(), c.log) << c.line;
        EXPECT_STREQ(config.progdir.Get(), c.directory) << c.line;
        EXPECT_EQ(config.unattended, c.unattended) << c.line;
    }
}

TEST(CommandLine, MalformedSwitchesAreReported) {
    std::string tooLong = "-s -l C:\\" + std::string(260, 'x');
    for (const char* line : {"-s -l", "-l   ", "-s -l \"C:\\open", "-s -l \"\" D:\\x", "-q \"D:\\a\" b",
                             "-q \"D:\\a\" -l", "-q \"\"D:\\x\"\"", tooLong.c_str()}) {
        SetupConfig config = ParseLine(line);
        EXPECT_NE(config.commandLineProblem, nullptr) << line;
    }
}

TEST(CommandLine, OtherFormsAreNotQuiet) {
    for (const char* line : {"-qC:\\dir", "/q C:\\dir", "-Q C:\\dir", "x -q C:\\dir", "", "--q dir",
                             "-S C:\\dir", "/s C:\\dir", "-sC:\\dir", "-L x -q C:\\dir"}) {
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
