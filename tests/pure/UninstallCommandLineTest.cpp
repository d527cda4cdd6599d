#include <gtest/gtest.h>

#include <string>

#include "uninstall/UninstallCommandLine.h"

namespace {

TEST(UninstallCommandLine, LogPathIsTheUnquotedRestWithBlanks) {
    UninstallCommand command;
    ASSERT_EQ(ParseUninstallCommandLine("\"C:\\WINDOWS\\VARNUINS.EXE\" C:\\Program Files\\Varn Play\\UnInst0A1B.inf",
                                        command),
              UninstallCommandOk);
    EXPECT_FALSE(command.quiet);
    EXPECT_STREQ(command.logPath, "C:\\Program Files\\Varn Play\\UnInst0A1B.inf");
}

TEST(UninstallCommandLine, QuietOptionComesBeforeThePath) {
    UninstallCommand command;
    ASSERT_EQ(ParseUninstallCommandLine("\"C:\\Win dows\\VARNUINS.EXE\" -q   C:\\a b\\UnInst0001.inf  ", command),
              UninstallCommandOk);
    EXPECT_TRUE(command.quiet);
    EXPECT_STREQ(command.logPath, "C:\\a b\\UnInst0001.inf");
    // "-q" only counts as a word of its own.
    ASSERT_EQ(ParseUninstallCommandLine("\"VARNUINS.EXE\" -quick.inf", command), UninstallCommandOk);
    EXPECT_FALSE(command.quiet);
    EXPECT_STREQ(command.logPath, "-quick.inf");
}

TEST(UninstallCommandLine, UnquotedProgramAndQuotedLogAreAccepted) {
    UninstallCommand command;
    ASSERT_EQ(ParseUninstallCommandLine("VARNUINS.EXE \"C:\\a b\\log.inf\"", command), UninstallCommandOk);
    EXPECT_STREQ(command.logPath, "C:\\a b\\log.inf");
}

TEST(UninstallCommandLine, MissingLogIsReported) {
    UninstallCommand command;
    EXPECT_EQ(ParseUninstallCommandLine("\"C:\\WINDOWS\\VARNUINS.EXE\"", command), UninstallCommandNoLog);
    EXPECT_EQ(ParseUninstallCommandLine("\"C:\\WINDOWS\\VARNUINS.EXE\" -q ", command), UninstallCommandNoLog);
    EXPECT_TRUE(command.quiet);
    EXPECT_EQ(ParseUninstallCommandLine("\"unterminated -q x", command), UninstallCommandNoLog);
    EXPECT_EQ(ParseUninstallCommandLine(nullptr, command), UninstallCommandNoLog);
}

TEST(UninstallCommandLine, OverlongPathIsRefusedNotCut) {
    UninstallCommand command;
    std::string longest(259, 'x');
    ASSERT_EQ(ParseUninstallCommandLine(("\"u.exe\" " + longest).c_str(), command), UninstallCommandOk);
    EXPECT_EQ(std::string(command.logPath), longest);
    EXPECT_EQ(ParseUninstallCommandLine(("\"u.exe\" -q " + longest + "y").c_str(), command),
              UninstallCommandPathTooLong);
    EXPECT_STREQ(command.logPath, "");
}

}  // namespace
